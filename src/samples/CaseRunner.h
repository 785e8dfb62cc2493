#pragma once
// One run of a sample case: the built program with the case's input file as its
// standard input, its output collected, within a time limit and an output cap.
// Blocking and free of shared state, so that the window runs it in a worker thread.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

namespace nollex {

struct CaseRequest {
    QString program;    // absolute path
    QString folder;     // current folder
    QString inputPath;  // standard input
    int timeLimitMs = 2000;
    qint64 outputCap = 64LL * 1024 * 1024;
    QStringList environment;  // "NAME=value" added to the inherited environment
};

enum class CaseEnd { Exited, Signaled, TimedOut, OutputLimit, Stopped, StartFailed };

struct CaseResult {
    CaseEnd end = CaseEnd::StartFailed;
    int exitCode = 0;
    int signal = 0;
    qint64 pid = 0;
    qint64 ms = 0;       // wall time
    qint64 peakKb = 0;   // peak resident set of the program
    QByteArray output;   // standard output, at most outputCap bytes
    int startError = 0;  // errno when it could not start (or the input could not be opened)
    bool inputUnreadable = false;  // StartFailed because the input file could not be opened
};

// The program runs in a process group of its own, stdin the input file, stdout a
// pipe read as it comes, stderr to /dev/null. On the time limit, the cap, or `stop`
// becoming true (checked at least every 20 ms) the whole group is killed and the
// program reaped; when the program ends, what it left running in its group is
// killed too.
CaseResult runCase(const CaseRequest& request, const std::atomic<bool>& stop);

}  // namespace nollex
