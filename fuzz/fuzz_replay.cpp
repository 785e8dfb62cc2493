// The replay's reader over arbitrary bytes: memcheck's XML report, then the page's
// text after a NUL. Neither may crash or hang; every report kept is of a value
// never set, its frames' lines are none or positive, and an explanation is placed
// in the page (or at no line) and names the page, never the build's copy.

#include "FuzzSupport.h"

#include "explain/Replay.h"

using namespace nollex;

namespace {

const ReplayExplainer& explainer()
{
    static const ReplayExplainer e = ReplayExplainer::installed();
    return e;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts =
        fuzz::splitAtNul(std::string_view(reinterpret_cast<const char*>(data), size));
    const QByteArray xml = QByteArray::fromStdString(parts[0]);
    const QList<ReplayError> errors = parseMemcheckXml(xml);
    FUZZ_CHECK(errors.size() <= 100);
    for (const ReplayError& e : errors) {
        FUZZ_CHECK(e.kind == u"UninitCondition" || e.kind == u"UninitValue" || e.kind == u"SyscallParam");
        for (const QList<ReplayFrame>* s : {&e.stack, &e.originStack}) {
            for (const ReplayFrame& f : *s)
                FUZZ_CHECK(f.line >= 0);
        }
    }
    FUZZ_CHECK(parseMemcheckXml(xml) == errors);

    const QString text = parts.size() > 1 ? QString::fromUtf8(parts[1]).left(4000) : QString::fromUtf8(parts[0]).left(4000);
    const BuiltPage page{QStringLiteral("/w/__out.c"), QStringLiteral("hello.c"), text};
    const std::optional<Explanation> e = explainer().explain(errors, page);
    if (e) {
        FUZZ_CHECK(!e->text.isEmpty() && e->kind.startsWith(QStringLiteral("uninit-")));
        FUZZ_CHECK(e->place.file == page.source && e->place.line >= 0);
        FUZZ_CHECK(!e->text.contains(QStringLiteral("__out")) && e->text.contains(page.name));
    }
    const int line = e ? e->place.line : int(size % 40);
    const Explanation fault{0, QStringLiteral("signed-overflow"), MessagePlace{page.source, line, 1, MessageKind::Error},
                            QStringLiteral("overflow")};
    if (const std::optional<Explanation> f = explainer().explainFault(fault, errors, page)) {
        FUZZ_CHECK(f->place == fault.place && f->kind == u"fault-from-uninit");
        FUZZ_CHECK(!f->text.contains(QStringLiteral("__out")));
    }
    return 0;
}
