#pragma once
// What the debugger needs out of gdb's records: where and why the program stopped,
// the call stack, a frame's variables; and the quoting of a command's argument.

#include "debug/MiRecord.h"

#include <optional>

namespace nollex {

struct StopFacts {
    QString reason;    // "breakpoint-hit", "end-stepping-range", "signal-received", "exited", ...
    QString file;
    QString fullname;
    int line = 0;      // 0 when the frame has no line
    QString func;
    int signal = 0;    // the signal's number (SIGSEGV is 11), 0 when none
    int exitCode = -1; // the program's exit status once it exited, -1 before
};
// Nothing unless the record is "*stopped".
std::optional<StopFacts> stopFacts(const MiRecord& stopped);

struct FrameFacts {
    int level = 0;
    QString func;
    QString file;
    QString fullname;
    int line = 0;
};
// The frames of ^done,stack=[frame={...},...], innermost first.
QList<FrameFacts> stackFrames(const MiRecord& done);

struct VariableFacts {
    QString name;
    QString type;   // "" unless asked for
    QString value;  // "" for a compound value asked for with simple values
};
// The variables of ^done,variables=[{name=..,type=..,value=..},...].
QList<VariableFacts> variables(const MiRecord& done);

// A command argument as an MI C string, quotes included: a file name with blanks or
// Japanese goes through whatever encoding the command is written in.
QString miQuoted(const QString& text);

}  // namespace nollex
