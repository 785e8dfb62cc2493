#pragma once
// One line of gdb's machine-interface output as a record: its kind, token, class
// and results, or a stream record's text.

#include <QList>
#include <QString>
#include <QStringView>

#include <utility>

namespace nollex {

// A value of gdb's output: a C string, a tuple {a=..,b=..} or a list [..] of values
// or of results. Strings are decoded: gdb's C escapes (\n \t \" \\ and octal \ooo
// bytes, which carry UTF-8 text) become the text's characters.
struct MiValue {
    enum class Kind { String, Tuple, List };
    Kind kind = Kind::Tuple;
    QString text;                                 // a string's text
    QList<std::pair<QString, MiValue>> fields;    // a tuple, or a list of results, in order
    QList<MiValue> items;                         // a list of values

    // The first field of that name; nullptr when none.
    const MiValue* field(QStringView name) const;
    // That field's text when it is a string, "" otherwise.
    QString string(QStringView name) const;
};

enum class MiKind { Result, Exec, Status, Notify, Console, Target, Log, Prompt, Unknown };

struct MiRecord {
    MiKind kind = MiKind::Unknown;
    qint64 token = -1;  // the number before it, -1 when none
    QString cls;        // "done", "running", "connected", "error", "exit", "stopped", ...
    MiValue results;    // a tuple of the record's results
    QString stream;     // a stream record's decoded text; an unknown line as it came
};

// One line of gdb's output (without its line end). Never throws: a line that is not
// well formed gives MiKind::Unknown with the raw line in stream.
MiRecord parseMiLine(QStringView line);

}  // namespace nollex
