// nollex-case PARENT PROGRAM
//
// Runs a sample case's program for the window, which starts this tool with the
// case's input as standard input, the output pipe as standard output and a report
// pipe as standard error. PARENT is the window's process id.
//
// Why a process between them: a process the window starts itself counts the
// window's own peak memory as its own (the kernel carries the old memory's high
// mark over an exec), so the window would show its own size for every case. A
// program forked from this small tool starts from the tool's size. And the tool
// ties the program's life to the window's: when the window ends, however it ends,
// this tool is told (its parent-death signal) and kills the program's group.
//
// The program runs in a process group of its own with standard error on
// /dev/null. Report lines, each "KEY numbers\n":
//   P pid                  the program started
//   E errno                it could not be started
//   S status maxrss_kb us  it ended: the wait status, its peak resident set and
//                          its wall time in microseconds
// SIGTERM (or the window's end) kills the program's whole group; when the program
// ends by itself, what it left running in its group is killed too. Exit status 0
// after S, 127 when the program could not be started, 2 for bad usage.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t gProgram = 0;  // its group is killed on SIGTERM while it is unreaped

void onTerm(int)
{
    const int saved = errno;
    if (gProgram > 0)
        kill(-gProgram, SIGKILL);
    errno = saved;
}

void report(const char* text)
{
    std::size_t done = 0;
    std::size_t size = 0;
    while (text[size] != '\0')
        ++size;
    while (done < size) {
        const ssize_t n = write(2, text + done, size - done);
        if (n > 0)
            done += std::size_t(n);
        else if (errno != EINTR)
            return;  // the window is gone: nobody to tell
    }
}

long long nowUs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000 + t.tv_nsec / 1000;
}

[[noreturn]] void failChild(int failed, int error)
{
    (void)!write(failed, &error, sizeof error);
    _exit(127);
}

// In the forked child: the program, tied to this tool's life. Only
// async-signal-safe calls; a failed step writes its errno to failed.
[[noreturn]] void runProgram(char* program, pid_t tool, int failed)
{
    const auto fail = [failed](int error) { failChild(failed, error); };
    setpgid(0, 0);
    if (prctl(PR_SET_PDEATHSIG, SIGKILL) != 0)
        fail(errno);
    if (getppid() != tool)
        _exit(127);  // the tool is gone already
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0 || dup2(null, 2) < 0)
        fail(errno);
    signal(SIGPIPE, SIG_DFL);
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    char* argv[] = {program, nullptr};
    execv(program, argv);
    failChild(failed, errno);
}

// Waits for the program's end, leaving it unreaped: while it is a zombie its group
// id is still its own, so killing the group cannot hit another process.
void awaitEnd(pid_t pid)
{
    siginfo_t info{};
    while (waitid(P_PID, id_t(pid), &info, WEXITED | WNOWAIT) != 0 && errno == EINTR) {
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        report("usage: nollex-case PARENT PROGRAM\n");
        return 2;
    }
    signal(SIGPIPE, SIG_IGN);
    struct sigaction term {};
    term.sa_handler = onTerm;
    sigaction(SIGTERM, &term, nullptr);
    if (prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || getppid() != pid_t(std::atoll(argv[1])))
        return 2;  // no tie to the window, or the window is gone already
    int failedPipe[2];
    if (pipe2(failedPipe, O_CLOEXEC) != 0)
        return 2;
    const long long start = nowUs();
    const pid_t tool = getpid();
    const pid_t pid = fork();
    if (pid == 0)
        runProgram(argv[2], tool, failedPipe[1]);
    close(failedPipe[1]);
    if (pid > 0)
        setpgid(pid, pid);  // as the child does, so that no kill can come before it
    char line[96];
    int error = pid < 0 ? errno : 0;
    if (pid > 0) {
        gProgram = pid;
        // Ends with the exec (close on exec) or the errno of the step that failed.
        while (read(failedPipe[0], &error, sizeof error) < 0 && errno == EINTR) {
        }
    }
    if (error != 0) {
        if (pid > 0)
            awaitEnd(pid);
        std::snprintf(line, sizeof line, "E %d\n", error);
        report(line);
        return 127;
    }
    std::snprintf(line, sizeof line, "P %d\n", int(pid));
    report(line);
    // The output's end is the end of the program's group, not this tool's.
    close(0);
    close(1);
    awaitEnd(pid);
    const long long us = nowUs() - start;
    kill(-pid, SIGKILL);
    // Reaped, its id may be another's: no more killing by it.
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGTERM);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    std::snprintf(line, sizeof line, "S %d %ld %lld\n", status, usage.ru_maxrss, us);
    report(line);
    return 0;
}
