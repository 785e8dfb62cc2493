// The reader of gdb's machine-interface output over arbitrary lines, and the facts
// read from each record. None may crash or hang; a line that is no record comes
// back whole; facts come only from the records they belong to; and any text quoted
// for a command reads back as itself.

#include "FuzzSupport.h"

#include "debug/MiFacts.h"

using namespace nollex;

namespace {

void oneLine(const QString& line)
{
    const MiRecord r = parseMiLine(line);
    QStringView bare(line);
    if (bare.endsWith(u'\r'))
        bare.chop(1);
    if (r.kind == MiKind::Unknown)
        FUZZ_CHECK(r.stream == bare && r.token == -1 && r.cls.isEmpty() && r.results.fields.isEmpty());
    FUZZ_CHECK(parseMiLine(line).kind == r.kind);

    const std::optional<StopFacts> stop = stopFacts(r);
    FUZZ_CHECK(!stop || (r.kind == MiKind::Exec && r.cls == u"stopped"));
    const QList<FrameFacts> frames = stackFrames(r);
    FUZZ_CHECK(frames.isEmpty() || r.kind == MiKind::Result);
    const QList<VariableFacts> vars = variables(r);
    FUZZ_CHECK(vars.isEmpty() || r.kind == MiKind::Result);

    const MiRecord quoted = parseMiLine(QStringLiteral("^done,x=") + miQuoted(line));
    FUZZ_CHECK(quoted.kind == MiKind::Result && quoted.results.string(u"x") == line);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    for (const QString& line : text.split(u'\n'))
        oneLine(line);
    return 0;
}
