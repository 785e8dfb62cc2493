#include "CaseRunner.h"

#include "platform/HostProcess.h"

#include <QFile>
#include <QProcessEnvironment>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <sys/syscall.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nollex {

namespace {

using Clock = std::chrono::steady_clock;

// The files of one run, closed however it ends.
struct Files {
    int input = -1;
    int null = -1;
    int readEnd = -1;
    int writeEnd = -1;
    int exitFd = -1;  // readable once the program has ended; -1 where the kernel has none

    ~Files()
    {
        for (int fd : {input, null, readEnd, writeEnd, exitFd}) {
            if (fd >= 0)
                close(fd);
        }
    }
    static void drop(int& fd)
    {
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
    launch.program = QFile::encodeName(request.program).toStdString();
    launch.argv = {launch.program};
    launch.folder = QFile::encodeName(request.folder).toStdString();
    if (!request.environment.isEmpty())
        launch.environment = environmentWith(request.environment);
    launch.stdinFd = files.input;
    launch.stdoutFd = files.writeEnd;
    launch.stderrFd = files.null;
    launch.closeOtherFiles = true;
    launch.newProcessGroup = true;
    return launch;
}

// Opens /dev/null and the pipe: 0, or the errno.
int openFiles(Files& files)
{
    files.null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    int pipeEnds[2];
    if (files.null < 0 || pipe2(pipeEnds, O_CLOEXEC) != 0)
        return errno;
    files.readEnd = pipeEnds[0];
    files.writeEnd = pipeEnds[1];
    return 0;
}

void reap(int pid, CaseResult& result)
{
    int status = 0;
    rusage usage {};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    result.peakKb = usage.ru_maxrss;
    if (result.end != CaseEnd::Exited)
        return;
    if (WIFSIGNALED(status)) {
        result.end = CaseEnd::Signaled;
        result.signal = WTERMSIG(status);
    } else {
        result.exitCode = WEXITSTATUS(status);
    }
}

}  // namespace

CaseResult runCase(const CaseRequest& request, const std::atomic<bool>& stop)
{
    CaseResult result;
    Files files;
    files.input = open(QFile::encodeName(request.inputPath).constData(), O_RDONLY | O_CLOEXEC);
    if (files.input < 0) {
        result.startError = errno;
        result.inputUnreadable = true;
        return result;
    }
    if ((result.startError = openFiles(files)) != 0)
        return result;
    const Clock::time_point start = Clock::now();
    int error = 0;
    const int pid = host::SpawnProcess(launchFor(request, files), &error);
    if (pid < 0) {
        result.startError = error;
        return result;
    }
    result.pid = pid;
    Files::drop(files.writeEnd);
    Files::drop(files.input);
    files.exitFd = int(syscall(SYS_pidfd_open, pid, 0));
    result.end = watch(request, stop, files, pid, start, result.output);
    result.ms = msSince(start);
    // Whatever of the group is left, the program itself on a limit.
    kill(-pid, SIGKILL);
    if (result.end == CaseEnd::Exited)
        result.end = drain(request, stop, files, start, result.output);
    reap(pid, result);
    return result;
}

}  // namespace nollex
