#pragma once
// One run of a sample case: the built program with the case's input file as its
// standard input, its output collected, within a time limit and an output cap.
// Blocking and free of shared state, so that the window runs it in a worker thread.
// The program is started through nollex-case (tools/case), which measures its
// memory apart from this process's and ends it when this process ends.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <atomic>

namespace nollex {

// The output a case may write, and the most of an expected output that is compared.
constexpr qint64 kOutputCap = 64LL * 1024 * 1024;

struct CaseRequest {
    QString program;    // absolute path
    QString folder;     // current folder
    QString inputPath;  // standard input
    int timeLimitMs = 2000;
    qint64 outputCap = kOutputCap;
    QStringList environment;  // "NAME=value" added to the inherited environment
    QString launcher;         // the nollex-case tool, absolute
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
    bool inputNotFile = false;     // StartFailed because the input is no regular file (a FIFO, a device)
};

// The program runs in a process group of its own, stdin the input file (a regular
// file only, opened without blocking), stdout a pipe read as it comes, stderr to
// /dev/null. On the time limit, the cap, or `stop` becoming true (checked at least
// every 20 ms) the whole group is killed and the program reaped; when the program
// ends, what it left running in its group is killed too. Returns within about a
// second of the limit or the stop, whatever the program does.
CaseResult runCase(const CaseRequest& request, const std::atomic<bool>& stop);

}  // namespace nollex
