// The explanations' readers over arbitrary bytes: the compiler's output, a run-time
// checker's report, a message catalog, and a catalog's translation of one of the
// table's formats. None may crash or hang; every explanation must belong to a line
// of the output, name the page and never the build's copy, and reading twice must
// give the same. A report's explanation is placed in the page or at no line.

#include "FuzzSupport.h"

#include "explain/Explainer.h"
#include "explain/MoCatalog.h"

#include <QRegularExpressionMatch>

using namespace nollex;

namespace {

const Explainer& explainer()
{
    static const Explainer e = Explainer::installed();
    return e;
}

const KindTable& table()
{
    static const KindTable t = parseKindTable(builtInKindTableText()).value_or(KindTable{});
    return t;
}

// A translation of one of the table's formats, chosen by the input, turned into a
// pattern and matched against the output.
void translatedFormat(const QString& translation, const QString& output)
{
    QStringList formats;
    for (const ExplainedKind& k : table().kinds)
        formats += k.formats;
    FUZZ_CHECK(!formats.isEmpty());
    const QString& format = formats[int(qHash(translation) % uint(formats.size()))];
    const std::optional<MessagePattern> p = compileFormat(format, &translation);
    if (!p)
        return;
    FUZZ_CHECK(p->regex.isValid());
    for (const int hole : p->holeOfGroup)
        FUZZ_CHECK(hole >= 0);
    (void)p->regex.match(output.left(2000)).hasMatch();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> parts =
        fuzz::splitAtNul(std::string_view(reinterpret_cast<const char*>(data), size));
    const QString output = QString::fromUtf8(parts[0]);
    const BuiltPage page{QStringLiteral("/w/__out.c"), QStringLiteral("hello.c"), output.left(4000)};

    const QList<Explanation> got = explainer().explain(output, page);
    const qsizetype lines = output.count(u'\n') + 1;
    for (const Explanation& e : got) {
        FUZZ_CHECK(e.messageLine >= 0 && e.messageLine < lines);
        FUZZ_CHECK(!e.text.isEmpty() && !e.kind.isEmpty());
        FUZZ_CHECK(e.place.line >= 0 && e.place.column >= 0);
    }
    FUZZ_CHECK(explainer().explain(output, page) == got);

    const QList<Explanation> faults = explainer().explainReport(output, page);
    for (const Explanation& e : faults) {
        FUZZ_CHECK(!e.text.isEmpty() && !e.kind.isEmpty());
        FUZZ_CHECK(e.place.file == page.source && e.place.line >= 0 && e.place.column >= 0);
        FUZZ_CHECK(!e.text.contains(QStringLiteral("__out")));
    }
    FUZZ_CHECK(faults.size() <= lines);
    FUZZ_CHECK(explainer().explainReport(output, page) == faults);

    if (parts.size() > 1) {
        const std::string& mo = parts.size() > 2 ? parts[1] + '\0' + parts[2] : parts[1];
        if (const std::optional<QHash<QString, QString>> c = parseMoCatalog(QByteArrayView(mo.data(), qsizetype(mo.size()))))
            FUZZ_CHECK(!c->contains(QString()));
        translatedFormat(QString::fromUtf8(parts.back()), output);
    }
    return 0;
}
