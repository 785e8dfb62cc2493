#include "common/Process.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

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
    Launch waited = launch;
    waited.detach = false;
    waited.defaultKeyboardSignals = true;
    IgnoreKeyboardSignals ignore;
    return host::StartProcess(waited);
}

namespace {

// Moves what standard input has until it ends, or the program does, into the pipe.
void relayInput(Outcome& out, int to, std::string& kept, std::size_t limit, bool* whole)
{
    // How soon the program's end is seen.
    constexpr int kPollMs = 10;
    while (!host::ProcessEnded(out.pid, &out.waitStatus)) {
        pollfd in{0, POLLIN, 0};
        if (poll(&in, to >= 0 ? 1 : 0, kPollMs) <= 0)
            continue;
        char buf[4096];
        const ssize_t n = ::read(0, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0 || !WriteAll(to, std::string_view(buf, std::size_t(n)))) {
            ::close(to);  // the program sees its input end
            to = -1;
        }
        if (n > 0 && kept.size() + std::size_t(n) <= limit)
            kept.append(buf, std::size_t(n));
        else if (n > 0)
            *whole = false;
    }
    if (to >= 0)
        ::close(to);
}

}  // namespace

Outcome RunAndKeepInput(const Launch& launch, std::string& kept, std::size_t limit, bool* whole)
{
    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        *whole = false;
        return RunAndWait(launch);
    }
    Launch fed = launch;
    fed.detach = false;
    fed.defaultKeyboardSignals = true;
    fed.stdinFd = pipeFds[0];
    IgnoreKeyboardSignals ignore;
    // A program that ended with input unread is a failed write, not our end.
    struct sigaction ignorePipe {}, oldPipe {};
    ignorePipe.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignorePipe, &oldPipe);
    Outcome out;
    out.pid = host::SpawnProcess(fed, &out.startError);
    ::close(pipeFds[0]);
    if (out.pid < 0) {
        ::close(pipeFds[1]);
        out.pid = 0;
    } else {
        relayInput(out, pipeFds[1], kept, limit, whole);
    }
    sigaction(SIGPIPE, &oldPipe, nullptr);
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

std::string TellWaitStatus(int waitStatus)
{
    if (WIFSIGNALED(waitStatus)) {
        const int sig = WTERMSIG(waitStatus);
        const char* name = sigabbrev_np(sig);
        std::string text = "シグナル " + std::to_string(sig);
        if (name)
            text += std::string("（SIG") + name + "）";
        return text + "で強制終了しました";
    }
    return "終了しました（終了コード " + std::to_string(WEXITSTATUS(waitStatus)) + "）";
}

std::string ErrorPhrase(int err)
{
    switch (err) {
    case ENOENT:
        return "ファイルまたはフォルダがありません";
    case EACCES:
    case EPERM:
        return "アクセスが許可されていません";
    case ENOTDIR:
        return "途中の名前がフォルダではありません";
    case EISDIR:
        return "フォルダです";
    case ENOEXEC:
        return "実行できる形式ではありません";
    case ENOSPC:
        return "ディスクに空きがありません";
    case EROFS:
        return "読み取り専用です";
    case ENAMETOOLONG:
        return "名前が長すぎます";
    case EMFILE:
    case ENFILE:
        return "開いているファイルが多すぎます";
    default:
        return std::strerror(err);
    }
}

int ExitCodeOf(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return WEXITSTATUS(waitStatus);
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

std::string OwnFolder()
{
    std::string buf(4096, '\0');
    const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size());
    if (n <= 0)
        return {};
    buf.resize(static_cast<std::size_t>(n));
    return buf.substr(0, buf.rfind('/') + 1);
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
