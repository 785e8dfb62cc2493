#pragma once
// A watched run's files and what its end tells the learner. Nollex names a stem
// for each run; the console's interpreter writes STEM.end when the program ends,
// the run-time checkers write STEM.asan.PID or STEM.ubsan.PID, and Nollex leaves
// STEM.page for the explaining tool on the console. The window and that tool read
// the same files through this.

#include "Explainer.h"

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace nollex {

class ReplayExplainer;
struct ReplayError;

// What the explaining tool needs of the built page.
QByteArray runPageBytes(const BuiltPage& page);
BuiltPage parseRunPage(const QByteArray& bytes);

// How the program ended, as the interpreter recorded it.
struct RunRecord {
    qint64 pid = 0;
    int exitCode = 0;
    int signal = 0;  // the signal that ended it; 0 when it exited
    qint64 ms = 0;   // how long it ran
    bool held = false;  // the console stays open, waiting for Enter under its explanation
};

// Nothing for a record that is not whole.
std::optional<RunRecord> parseRunRecord(const QByteArray& bytes);

// The console's environment entries: the stem for the interpreter and where the
// checkers write their reports (leaks are no fault of a learner's program).
// Empty for a stem the checkers' options cannot hold (both kinds of quote).
QStringList runEnvironment(const QString& stem);

struct RunFault {
    QList<Explanation> explanations;
    QString report;      // the raw report's file; empty when the checkers wrote none
    QString signalText;  // the signal that ended the program, explained; empty when none
};

// What the run's checkers reported of the process, or the signal that ended it.
RunFault readRunFault(const Explainer& explainer, const QString& stem, const RunRecord& record,
                      const BuiltPage& page);

// memcheck's report of the run's replay, which the console leaves for the window.
QString replayReportPath(const QString& stem);

// What the replay saw, added to the run's fault: a guarded fault whose line used a
// value never set is told as that; the first value never set at any other line
// follows the faults.
void addReplayFindings(RunFault& fault, const ReplayExplainer& replay, const QList<ReplayError>& errors,
                       const BuiltPage& page);

// The lines that tell the learner of a fault: each explanation, then the raw
// report's file; or the signal's explanation. Empty when there was no fault.
QStringList runFaultLines(const RunFault& fault);

// The pane's line after a run whose console closes at the program's end: how it
// ended and how long it ran, and, when the console closed by itself (not held),
// how to keep it open.
QString runToldLine(const RunRecord& record);

}  // namespace nollex
