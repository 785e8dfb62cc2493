#include "CaseRunner.h"

#include "platform/HostProcess.h"

#include <QFile>
#include <QProcessEnvironment>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <string>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nollex {

namespace {

using Clock = std::chrono::steady_clock;

// The files of one run, closed however it ends.
struct Files {
    int input = -1;
    int readEnd = -1;
    int writeEnd = -1;
    int reportRead = -1;  // what nollex-case tells of the program
    int reportWrite = -1;
    int exitFd = -1;  // readable once the tool has ended; -1 where the kernel has none

    ~Files()
    {
        for (int fd : {input, readEnd, writeEnd, reportRead, reportWrite, exitFd}) {
            if (fd >= 0)
                close(fd);
        }
    }
    static void drop(int& fd)
    {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
};

std::vector<std::string> environmentWith(const QStringList& extra)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString& entry : extra) {
        const qsizetype equals = entry.indexOf(u'=');
        if (equals > 0)
            environment.insert(entry.left(equals), entry.mid(equals + 1));
    }
    std::vector<std::string> result;
    for (const QString& entry : environment.toStringList())
        result.push_back(QFile::encodeName(entry).toStdString());
    return result;
}

qint64 msSince(Clock::time_point start)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

// Whether the program has ended, leaving it unreaped: while it is a zombie its
// process group id cannot be taken by another process, so killing the group stays safe.
bool programEnded(int pid)
{
    siginfo_t info {};
    return waitid(P_PID, id_t(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

// Reads what is there into output: false once more than cap bytes came. EOF
// closes the pipe.
bool readSome(Files& files, QByteArray& output, qint64 cap)
{
    char buffer[65536];
    ssize_t n;
    do {
        n = read(files.readEnd, buffer, sizeof buffer);
    } while (n < 0 && errno == EINTR);
    if (n <= 0) {
        if (n == 0 || errno != EAGAIN)
            Files::drop(files.readEnd);
        return true;
    }
    const qint64 room = cap - output.size();
    output.append(buffer, qsizetype(std::min<qint64>(n, room)));
    return n <= room;
}

// Waits up to timeoutMs for output or the program's end, and reads the output.
bool waitAndRead(Files& files, QByteArray& output, qint64 cap, int timeoutMs)
{
    pollfd fds[2];
    nfds_t count = 0;
    if (files.readEnd >= 0)
        fds[count++] = {files.readEnd, POLLIN, 0};
    if (files.exitFd >= 0)
        fds[count++] = {files.exitFd, POLLIN, 0};
    // Without an exit descriptor and with the pipe closed, look again soon.
    if (files.exitFd < 0 && files.readEnd < 0)
        timeoutMs = std::min(timeoutMs, 2);
    if (poll(fds, count, timeoutMs) <= 0)
        return true;
    if (files.readEnd >= 0 && (fds[0].revents & (POLLIN | POLLHUP | POLLERR)))
        return readSome(files, output, cap);
    return true;
}

// Runs until the program ends, the time limit, the cap or stop: how it ended
// (Exited for an end of its own).
CaseEnd watch(const CaseRequest& request, const std::atomic<bool>& stop, Files& files, int pid,
              Clock::time_point start, QByteArray& output)
{
    while (true) {
        if (stop.load())
            return CaseEnd::Stopped;
        const qint64 remaining = request.timeLimitMs - msSince(start);
        if (remaining <= 0)
            return CaseEnd::TimedOut;
        if (programEnded(pid))
            return CaseEnd::Exited;
        if (!waitAndRead(files, output, request.outputCap, int(std::min<qint64>(remaining, 20))))
            return CaseEnd::OutputLimit;
    }
}

// After the program's own end (and its group killed): the output still in the
// pipe, up to the time limit in case something outside the group holds it open.
CaseEnd drain(const CaseRequest& request, const std::atomic<bool>& stop, Files& files,
              Clock::time_point start, QByteArray& output)
{
    Files::drop(files.exitFd);
    while (files.readEnd >= 0 && !stop.load()) {
        const qint64 remaining = request.timeLimitMs - msSince(start);
        if (remaining <= 0)
            break;
        if (!waitAndRead(files, output, request.outputCap, int(std::min<qint64>(remaining, 20))))
            return CaseEnd::OutputLimit;
    }
    return CaseEnd::Exited;
}

host::Launch launchFor(const CaseRequest& request, const Files& files)
{
    host::Launch launch;
    launch.program = QFile::encodeName(request.launcher).toStdString();
    launch.argv = {launch.program, std::to_string(getpid()), QFile::encodeName(request.program).toStdString()};
    launch.folder = QFile::encodeName(request.folder).toStdString();
    if (!request.environment.isEmpty())
        launch.environment = environmentWith(request.environment);
    launch.stdinFd = files.input;
    launch.stdoutFd = files.writeEnd;
    launch.stderrFd = files.reportWrite;
    launch.closeOtherFiles = true;
    launch.newProcessGroup = true;
    return launch;
}

// Opens the input, a regular file only, without blocking on a FIFO or a device:
// 0, or the errno (EINVAL for no regular file, with notFile set).
int openInput(const QString& path, Files& files, bool& notFile)
{
    files.input = open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (files.input < 0)
        return errno;
    struct stat st {};
    if (fstat(files.input, &st) != 0)
        return errno;
    if (!S_ISREG(st.st_mode)) {
        notFile = true;
        return EINVAL;
    }
    // The program reads it as an ordinary file.
    fcntl(files.input, F_SETFL, fcntl(files.input, F_GETFL) & ~O_NONBLOCK);
    return 0;
}

// Opens the output pipe and the report pipe: 0, or the errno.
int openFiles(Files& files)
{
    int pipeEnds[2];
    int reportEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0)
        return errno;
    files.readEnd = pipeEnds[0];
    files.writeEnd = pipeEnds[1];
    if (pipe2(reportEnds, O_CLOEXEC) != 0)
        return errno;
    files.reportRead = reportEnds[0];
    files.reportWrite = reportEnds[1];
    // Read once the tool has ended, never waited on.
    fcntl(files.reportRead, F_SETFL, O_NONBLOCK);
    return 0;
}

// Waits up to ms for the tool's end.
bool awaitTool(const Files& files, int tool, int ms)
{
    const Clock::time_point start = Clock::now();
    while (!programEnded(tool)) {
        const qint64 remaining = ms - msSince(start);
        if (remaining <= 0)
            return false;
        pollfd fd{files.exitFd, POLLIN, 0};
        if (files.exitFd < 0 || poll(&fd, 1, int(std::min<qint64>(remaining, 20))) < 0)
            usleep(2000);
    }
    return true;
}

// The ended tool's report into result: the program's id, its start failure, or
// its end, memory and time. The tool's own status when it said nothing of an end.
void readReport(const Files& files, int toolStatus, CaseResult& result)
{
    QByteArray text;
    char buffer[512];
    ssize_t n;
    while ((n = read(files.reportRead, buffer, sizeof buffer)) > 0 || (n < 0 && errno == EINTR)) {
        if (n > 0)
            text.append(buffer, n);
    }
    int status = toolStatus;
    for (const QByteArray& line : text.split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() == 2 && words[0] == "P") {
            result.pid = words[1].toLongLong();
        } else if (words.size() == 2 && words[0] == "E") {
            result.end = CaseEnd::StartFailed;
            result.startError = words[1].toInt();
        } else if (words.size() == 4 && words[0] == "S") {
            status = words[1].toInt();
            result.peakKb = words[2].toLongLong();
            result.ms = words[3].toLongLong() / 1000;
        }
    }
    if (result.end != CaseEnd::Exited)
        return;
    if (result.pid == 0) {  // the tool ended before it could start the program
        result.end = CaseEnd::StartFailed;
        result.startError = ECHILD;
    } else if (WIFSIGNALED(status)) {
        result.end = CaseEnd::Signaled;
        result.signal = WTERMSIG(status);
    } else {
        result.exitCode = WEXITSTATUS(status);
    }
}

// Ends the tool's program on a limit or a stop: the tool kills the group; a tool
// that does not end in time is killed, and its program with it.
void endProgram(const Files& files, int tool)
{
    kill(tool, SIGTERM);
    if (!awaitTool(files, tool, 1000)) {
        kill(tool, SIGKILL);
        awaitTool(files, tool, 1000);
    }
}

}  // namespace

CaseResult runCase(const CaseRequest& request, const std::atomic<bool>& stop)
{
    CaseResult result;
    Files files;
    if ((result.startError = openInput(request.inputPath, files, result.inputNotFile)) != 0) {
        result.inputUnreadable = true;
        return result;
    }
    if ((result.startError = openFiles(files)) != 0)
        return result;
    const Clock::time_point start = Clock::now();
    int error = 0;
    const int tool = host::SpawnProcess(launchFor(request, files), &error);
    if (tool < 0) {
        result.startError = error;
        return result;
    }
    Files::drop(files.writeEnd);
    Files::drop(files.reportWrite);
    Files::drop(files.input);
    files.exitFd = int(syscall(SYS_pidfd_open, tool, 0));
    result.end = watch(request, stop, files, tool, start, result.output);
    result.ms = msSince(start);
    if (result.end != CaseEnd::Exited)
        endProgram(files, tool);
    else
        result.end = drain(request, stop, files, start, result.output);
    int status = 0;
    while (waitpid(tool, &status, 0) < 0 && errno == EINTR) {
    }
    readReport(files, status, result);
    return result;
}

}  // namespace nollex
