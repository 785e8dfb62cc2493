#include "debug/MiFacts.h"

#include <csignal>

namespace nollex {

namespace {

int number(const QString& text, int base = 10)
{
    bool ok = false;
    const int n = text.toInt(&ok, base);
    return ok ? n : 0;
}

// The signals a learner's program meets; gdb names them, the window shows numbers too.
int signalNumber(const QString& name)
{
    static const std::pair<const char16_t*, int> Known[] = {
        {u"SIGHUP", SIGHUP},   {u"SIGINT", SIGINT},   {u"SIGQUIT", SIGQUIT}, {u"SIGILL", SIGILL},
        {u"SIGTRAP", SIGTRAP}, {u"SIGABRT", SIGABRT}, {u"SIGBUS", SIGBUS},   {u"SIGFPE", SIGFPE},
        {u"SIGKILL", SIGKILL}, {u"SIGUSR1", SIGUSR1}, {u"SIGSEGV", SIGSEGV}, {u"SIGUSR2", SIGUSR2},
        {u"SIGPIPE", SIGPIPE}, {u"SIGALRM", SIGALRM}, {u"SIGTERM", SIGTERM}, {u"SIGCHLD", SIGCHLD},
        {u"SIGCONT", SIGCONT}, {u"SIGSTOP", SIGSTOP}, {u"SIGTSTP", SIGTSTP}, {u"SIGXCPU", SIGXCPU},
        {u"SIGXFSZ", SIGXFSZ}, {u"SIGSYS", SIGSYS},
    };
    for (const auto& [known, n] : Known) {
        if (name == QStringView(known))
            return n;
    }
    return 0;
}

}  // namespace

std::optional<StopFacts> stopFacts(const MiRecord& stopped)
{
    if (stopped.kind != MiKind::Exec || stopped.cls != u"stopped")
        return std::nullopt;
    const MiValue& r = stopped.results;
    StopFacts f;
    f.reason = r.string(u"reason");
    if (const MiValue* frame = r.field(u"frame")) {
        f.file = frame->string(u"file");
        f.fullname = frame->string(u"fullname");
        f.line = number(frame->string(u"line"));
        f.func = frame->string(u"func");
    }
    f.signal = signalNumber(r.string(u"signal-name"));
    // gdb writes the exit status in octal ("012" for 10), and none when it is 0.
    if (f.reason == u"exited")
        f.exitCode = number(r.string(u"exit-code"), 8);
    else if (f.reason == u"exited-normally")
        f.exitCode = 0;
    return f;
}

QList<FrameFacts> stackFrames(const MiRecord& done)
{
    QList<FrameFacts> frames;
    const MiValue* stack = done.kind == MiKind::Result ? done.results.field(u"stack") : nullptr;
    if (!stack)
        return frames;
    for (const auto& [key, frame] : stack->fields) {
        if (key != u"frame")
            continue;
        frames.append({number(frame.string(u"level")), frame.string(u"func"), frame.string(u"file"),
                       frame.string(u"fullname"), number(frame.string(u"line"))});
    }
    return frames;
}

QList<VariableFacts> variables(const MiRecord& done)
{
    QList<VariableFacts> out;
    const MiValue* list = done.kind == MiKind::Result ? done.results.field(u"variables") : nullptr;
    if (!list)
        return out;
    for (const MiValue& v : list->items) {
        if (v.kind == MiValue::Kind::Tuple)
            out.append({v.string(u"name"), v.string(u"type"), v.string(u"value")});
    }
    return out;
}

// Everything outside printable ASCII goes as octal bytes of UTF-8, so the argument
// reaches gdb the same whatever encoding the command line is written in.
QString miQuoted(const QString& text)
{
    QString out(u'"');
    for (const char c : text.toUtf8()) {
        const auto b = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += u'\\' + QChar(c);
        else if (b >= 0x20 && b < 0x7F)
            out += QChar(c);
        else
            out += QStringLiteral("\\%1").arg(b, 3, 8, QChar(u'0'));
    }
    return out + u'"';
}

}  // namespace nollex
