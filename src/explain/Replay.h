#pragma once
// Values never set, caught by a replay: after a guarded run, the page built again
// without the checkers and without optimisation runs under valgrind's memcheck with
// the bytes the learner typed, and memcheck's first report of an uninitialised value
// is explained at the learner's line. The address and undefined-behaviour checkers
// cannot see definedness, and no one process can run both kinds of checker.
// No widgets: the reader, the explanation and the runner are each usable alone.

#include "Explainer.h"
#include "KindTable.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <atomic>
#include <optional>

namespace nollex {

struct ReplayFrame {
    QString function;  // "main", "printf", "(below main)"
    QString file;      // as the debug information names it: "__out.c"; empty when unknown
    int line = 0;      // 0 when unknown

    bool operator==(const ReplayFrame&) const = default;
};

// One of memcheck's reports of a value never set.
struct ReplayError {
    QString kind;    // memcheck's: UninitCondition, UninitValue, SyscallParam
    QString what;    // "Conditional jump or move depends on uninitialised value(s)"
    QList<ReplayFrame> stack;        // where the value was used, innermost first
    QString origin;                  // "stack", "heap", or empty when memcheck did not say
    QList<ReplayFrame> originStack;  // where the memory was allocated

    bool operator==(const ReplayError&) const = default;
};

// memcheck's XML report (--xml=yes) → its reports of values never set, in order, at
// most 100; reports of other kinds are left out. A report cut off keeps those it
// finished; bytes that are no report give nothing.
QList<ReplayError> parseMemcheckXml(const QByteArray& xml);

class ReplayExplainer {
public:
    // The table's kinds whose formats are memcheck's ("report memcheck: …").
    explicit ReplayExplainer(const KindTable& table);
    static ReplayExplainer installed();  // from the built-in table

    // The first report that can be explained, placed at the first frame in the
    // page's file (page.source, or page.name) with the page's name in its text;
    // nothing when no report is of a kind the table knows.
    std::optional<Explanation> explain(const QList<ReplayError>& errors, const BuiltPage& page) const;

    // A guarded fault (an explanation of Explainer::explainReport) whose line used a
    // value the replay saw was never set, explained as that: its place kept, the text
    // naming the variable. Nothing when the fault's line did not use one.
    std::optional<Explanation> explainFault(const Explanation& fault, const QList<ReplayError>& errors,
                                            const BuiltPage& page) const;

    struct Kind {
        QString name;
        QList<MessagePattern> patterns;  // over "memcheck: WHAT"
        QStringList texts;
        HoleLimit source;  // of the line the value was used at
    };

private:
    std::optional<QString> text(const QString& kind, const QString& what, const QString& useLine,
                                const QHash<QString, QString>& values) const;

    QList<Kind> kinds_;
};

// How a replay ended.
enum class ReplayEnd {
    Finished,     // the program ended by itself
    TimeLimit,    // it ran past the time limit (a loop, or a path the guarded run did not take)
    OutputLimit,  // it wrote more than the output limit
    Stopped,      // the caller's stop flag was set
    Missing,      // valgrind is not installed: the window says once which package adds the check
    Failed,       // valgrind or the report's file could not be used
};

struct ReplayRequest {
    QString valgrind = QStringLiteral("valgrind");  // a name on PATH or a path
    QString program;       // the unchecked build
    QStringList arguments;
    QByteArray input;      // what the learner typed to the guarded run
    QString folder;        // private: the working folder and the report's file, never the page's folder
    int timeLimitMs = 10000;
    qint64 outputLimit = 1 << 20;  // bytes of the program's output, which is discarded
    // memcheck's report; empty: a file in folder, removed once read. A file named
    // here stays for another reader (the window reads the console's replay).
    QString reportFile;
};

struct ReplayResult {
    ReplayEnd end = ReplayEnd::Failed;
    QList<ReplayError> errors;  // what memcheck reported before the end, whatever the end
};

// Runs the program under memcheck and reads its report. Blocks: call it on a worker
// thread. The process group is killed at a limit or when *stop becomes true (checked
// every few tens of milliseconds).
ReplayResult runReplay(const ReplayRequest& request, const std::atomic<bool>* stop = nullptr);

// memcheck's command line for a request (for the runner and for tests).
QStringList replayArguments(const ReplayRequest& request, const QString& reportFile);

}  // namespace nollex
