#include "common/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace nollex::tools {

namespace {

// Ignores the keyboard signals for the lifetime of the object, restoring the old
// dispositions afterwards.
class IgnoreKeyboardSignals {
public:
    IgnoreKeyboardSignals()
    {
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        sigaction(SIGINT, &ignore, &oldInt_);
        sigaction(SIGQUIT, &ignore, &oldQuit_);
    }
    ~IgnoreKeyboardSignals()
    {
        sigaction(SIGINT, &oldInt_, nullptr);
        sigaction(SIGQUIT, &oldQuit_, nullptr);
    }
    IgnoreKeyboardSignals(const IgnoreKeyboardSignals&) = delete;
    IgnoreKeyboardSignals& operator=(const IgnoreKeyboardSignals&) = delete;

private:
    struct sigaction oldInt_ {};
    struct sigaction oldQuit_ {};
};

}  // namespace

Outcome RunAndWait(const Launch& launch)
{
    std::vector<char*> argv;
    for (const std::string& a : launch.argv)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (launch.stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.stdinFd, 0);
    if (launch.stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.stdoutFd, 1);
    if (launch.stderrFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, launch.stderrFd, 2);
    if (launch.stderrToStdout)
        posix_spawn_file_actions_adddup2(&actions, 1, 2);

    // The child gets the default signal dispositions and an empty mask whatever the
    // interpreter has set for itself.
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGQUIT);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    sigset_t empty;
    sigemptyset(&empty);
    posix_spawnattr_setsigmask(&attr, &empty);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    Outcome out;
    IgnoreKeyboardSignals ignore;
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, launch.program.c_str(), &actions, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    if (rc != 0) {
        out.startError = rc;
        return out;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            out.startError = errno;
            return out;
        }
    }
    out.waitStatus = status;
    return out;
}

std::string DescribeWaitStatus(int waitStatus)
{
    if (WIFSIGNALED(waitStatus)) {
        const int sig = WTERMSIG(waitStatus);
        const char* name = strsignal(sig);
        std::string text = "killed by signal " + std::to_string(sig);
        if (name)
            text += std::string(" (") + name + ")";
        return text;
    }
    return "exit status " + std::to_string(WEXITSTATUS(waitStatus));
}

int ExitCodeOf(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
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

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string AsciiLower(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace nollex::tools
