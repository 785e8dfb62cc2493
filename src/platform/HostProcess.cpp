#include "HostProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nollex::host {

namespace {

std::vector<char*> pointers(const std::vector<std::string>& words)
{
    std::vector<char*> result;
    result.reserve(words.size() + 1);
    for (const std::string& w : words)
        result.push_back(const_cast<char*>(w.c_str()));
    result.push_back(nullptr);
    return result;
}

[[noreturn]] void failChild(int report, int error)
{
    (void)!write(report, &error, sizeof error);
    _exit(127);
}

// In the child of a detached start: sets it up as the launch says, leaves this
// session and executes the program from a grandchild that nobody has to reap.
// Only async-signal-safe calls; a failed step writes its errno to report.
[[noreturn]] void runChild(const Launch& l, char* const* argv, char* const* envp, int report)
{
    const auto fail = [report](int e) { failChild(report, e); };
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    signal(SIGPIPE, SIG_DFL);
    if (l.defaultKeyboardSignals) {
        signal(SIGINT, SIG_DFL);
        signal(SIGQUIT, SIG_DFL);
    }
    const int targets[] = {l.stdinFd, l.stdoutFd, l.stderrFd};
    for (int fd = 0; fd < 3; ++fd) {
        if (targets[fd] >= 0 && dup2(targets[fd], fd) < 0)
            fail(errno);
    }
    if (l.stderrToStdout && dup2(1, 2) < 0)
        fail(errno);
    if (l.closeOtherFiles)
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
    setsid();
    const pid_t grandchild = fork();
    if (grandchild < 0)
        fail(errno);
    if (grandchild > 0)
        _exit(0);
    if (!l.folder.empty() && chdir(l.folder.c_str()) != 0)
        fail(errno);
    execve(l.program.c_str(), argv, envp ? envp : environ);
    failChild(report, errno);
}

// Waits for the child, on through interruptions.
bool reap(pid_t pid, int* status)
{
    while (waitpid(pid, status, 0) < 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

// A program that is waited for starts without a copy of this process: a fork
// copies the page tables of the whole (large, graphical) program, which costs
// several ms on every build. The child is set up as runChild does it.
int spawnChild(const Launch& l, char* const* argv, char* const* envp, int* startError)
{
    posix_spawn_file_actions_t actions;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_init(&actions);
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    if (l.defaultKeyboardSignals) {
        sigaddset(&defaults, SIGINT);
        sigaddset(&defaults, SIGQUIT);
    }
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    short flags = POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (l.newProcessGroup) {
        posix_spawnattr_setpgroup(&attributes, 0);
        flags |= POSIX_SPAWN_SETPGROUP;
    }
    posix_spawnattr_setflags(&attributes, flags);
    const int targets[] = {l.stdinFd, l.stdoutFd, l.stderrFd};
    for (int fd = 0; fd < 3; ++fd) {
        if (targets[fd] >= 0)
            posix_spawn_file_actions_adddup2(&actions, targets[fd], fd);
    }
    if (l.stderrToStdout)
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    if (l.closeOtherFiles)
        posix_spawn_file_actions_addclosefrom_np(&actions, 3);
    if (!l.folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, l.folder.c_str());

    pid_t pid = 0;
    *startError = posix_spawn(&pid, l.program.c_str(), &actions, &attributes, argv, envp ? envp : environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return *startError == 0 ? pid : -1;
}

}  // namespace

Outcome StartProcess(const Launch& launch)
{
    std::vector<char*> argv = pointers(launch.argv);
    std::vector<char*> envp;
    if (launch.environment)
        envp = pointers(*launch.environment);
    Outcome out;
    if (!launch.detach) {
        const pid_t pid = spawnChild(launch, argv.data(), launch.environment ? envp.data() : nullptr,
                                     &out.startError);
        if (pid > 0 && !reap(pid, &out.waitStatus))
            out.startError = errno;
        out.pid = pid > 0 ? pid : 0;
        return out;
    }

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0) {
        out.startError = errno;
        return out;
    }
    const pid_t pid = fork();
    if (pid < 0) {
        out.startError = errno;
        close(report[0]);
        close(report[1]);
        return out;
    }
    if (pid == 0)
        runChild(launch, argv.data(), launch.environment ? envp.data() : nullptr, report[1]);
    close(report[1]);
    int error = 0;
    ssize_t n;
    do {
        n = read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    close(report[0]);
    out.startError = n == sizeof error ? error : 0;
    // The short-lived parent of the detached program, or a child that failed.
    int status = 0;
    if (!reap(pid, &status) && out.startError == 0)
        out.startError = errno;
    return out;
}

int SpawnProcess(const Launch& launch, int* startError)
{
    std::vector<char*> argv = pointers(launch.argv);
    std::vector<char*> envp;
    if (launch.environment)
        envp = pointers(*launch.environment);
    return spawnChild(launch, argv.data(), launch.environment ? envp.data() : nullptr, startError);
}

bool ProcessEnded(int pid, int* waitStatus)
{
    pid_t got;
    do {
        got = waitpid(pid, waitStatus, WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got < 0)
        *waitStatus = -1;
    return got != 0;
}

void KillProcessGroup(int pid)
{
    kill(-pid, SIGKILL);
    int status = 0;
    reap(pid, &status);
}

std::vector<std::string> PathFolders(std::string_view pathValue)
{
    std::vector<std::string> folders;
    std::size_t start = 0;
    while (true) {
        const std::size_t colon = pathValue.find(':', start);
        std::string part(pathValue.substr(start, colon == std::string_view::npos ? std::string_view::npos
                                                                                  : colon - start));
        folders.push_back(part.empty() ? std::string(".") : part);
        if (colon == std::string_view::npos)
            break;
        start = colon + 1;
    }
    return folders;
}

std::string FindExecutable(const std::string& name, const std::vector<std::string>& folders)
{
    for (const std::string& folder : folders) {
        std::string candidate = folder;
        if (!candidate.ends_with('/'))
            candidate += '/';
        candidate += name;
        if (IsExecutableFile(candidate))
            return candidate;
    }
    return {};
}

bool IsRegularFile(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool IsExecutableFile(const std::string& path)
{
    return IsRegularFile(path) && access(path.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path)
{
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace nollex::host
