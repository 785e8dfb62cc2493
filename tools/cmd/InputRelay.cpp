#include "cmd/InputRelay.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace nollex::cmd {

namespace {

bool isContinuation(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u;
}

void eraseCharacter(std::string& line, bool utf8)
{
    while (!line.empty() && line.back() != '\n') {
        const char last = line.back();
        line.pop_back();
        if (!utf8 || !isContinuation(last))
            return;
    }
}

void eraseWord(std::string& line)
{
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t'))
        line.pop_back();
    while (!line.empty() && line.back() != ' ' && line.back() != '\t')
        line.pop_back();
}

// The program's own terminal: the one it was started from, with the end-of-input key
// of the Windows textbooks (Ctrl+Z, as the interpreter sets it for a program it runs).
[[noreturn]] void startOnTerminal(const tools::Launch& launch, const char* terminal, const termios* mode,
                                  const winsize* size, int report)
{
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int s : {SIGINT, SIGQUIT, SIGPIPE})
        std::signal(s, SIG_DFL);
    int fd = -1;
    if (setsid() < 0 || (fd = ::open(terminal, O_RDWR)) < 0)
        _exit(126);
    if (mode) {
        termios own = *mode;
        own.c_cc[VEOF] = 0x1A;
        own.c_cc[VSUSP] = _POSIX_VDISABLE;
        tcsetattr(fd, TCSANOW, &own);
    }
    if (size)
        ioctl(fd, TIOCSWINSZ, size);
    for (int k = 0; k < 3; ++k)
        dup2(fd, k);
    if (fd > 2)
        ::close(fd);
    std::vector<char*> argv;
    for (const std::string& word : launch.argv)
        argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execv(launch.program.c_str(), argv.data());
    const int err = errno;
    [[maybe_unused]] const ssize_t n = ::write(report, &err, sizeof err);
    _exit(127);
}

struct Relay {
    int master = -1;
    int pid = -1;
    std::string typed;
    bool whole = true;
};

// Copies the program's output to the terminal; false once there is no more.
bool relayOutput(int master)
{
    char buf[4096];
    const ssize_t n = ::read(master, buf, sizeof buf);
    if (n > 0) {
        tools::WriteAll(1, std::string_view(buf, std::size_t(n)));  // a terminal gone ends us by SIGHUP
        return true;
    }
    return n < 0 && (errno == EAGAIN || errno == EINTR);
}

// Relays both ways until the program has ended and its output is through.
void relay(Relay& r, tools::Outcome& out)
{
    bool ended = false, output = true, input = true;
    for (;;) {
        ended = ended || host::ProcessEnded(r.pid, &out.waitStatus);
        pollfd fds[2] = {{output ? r.master : -1, POLLIN, 0}, {input && !ended ? 0 : -1, POLLIN, 0}};
        const int ready = poll(fds, 2, ended ? 0 : 10);
        if (ready < 0 && errno == EINTR)
            continue;
        if (output && fds[0].revents != 0)
            output = relayOutput(r.master);
        else if (ended)
            return;
        if (fds[1].revents == 0)
            continue;
        char buf[1024];
        const ssize_t n = ::read(0, buf, sizeof buf);
        if (n <= 0) {
            input = n < 0 && errno == EINTR;
            continue;
        }
        termios mode{};
        if (tcgetattr(r.master, &mode) != 0 || (mode.c_lflag & ICANON) == 0)
            r.whole = false;  // read key by key: no line discipline tells what it read
        r.typed.append(buf, std::size_t(n));
        tools::WriteAll(r.master, std::string_view(buf, std::size_t(n)));
    }
}

}  // namespace

std::string CookedInput(std::string_view typed, const termios& mode)
{
    const cc_t* cc = mode.c_cc;
    const bool utf8 = (mode.c_iflag & IUTF8) != 0;
    std::string out, line;
    for (char c : typed) {
        const auto key = static_cast<cc_t>(c);
        if (c == '\r' && (mode.c_iflag & IGNCR))
            continue;
        if (c == '\r' && (mode.c_iflag & ICRNL))
            c = '\n';
        if (key == cc[VEOF] && key != _POSIX_VDISABLE) {
            if (line.empty())
                return out;
            out += line;
            line.clear();
        } else if (key == cc[VINTR] || key == cc[VQUIT]) {
            return out;
        } else if (key == cc[VERASE]) {
            eraseCharacter(line, utf8);
        } else if (key == cc[VWERASE]) {
            eraseWord(line);
        } else if (key == cc[VKILL]) {
            line.clear();
        } else {
            line += c;
            if (c == '\n' || (key == cc[VEOL] && key != _POSIX_VDISABLE)) {
                out += line;
                line.clear();
            }
        }
    }
    return out;
}

tools::Outcome RunOnRelay(const tools::Launch& launch, std::string& kept, std::size_t limit, bool* whole)
{
    tools::Outcome out;
    Relay r;
    termios mode{};
    winsize size{};
    const bool haveMode = tcgetattr(0, &mode) == 0;
    const bool haveSize = ioctl(0, TIOCGWINSZ, &size) == 0;
    int report[2] = {-1, -1};
    r.master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    const char* terminal = r.master >= 0 && grantpt(r.master) == 0 && unlockpt(r.master) == 0 ? ptsname(r.master) : nullptr;
    if (!terminal || pipe2(report, O_CLOEXEC) != 0) {
        if (r.master >= 0)
            ::close(r.master);
        *whole = false;
        return tools::RunAndWait(launch);
    }
    const std::string name = terminal;
    r.pid = fork();
    if (r.pid == 0)
        startOnTerminal(launch, name.c_str(), haveMode ? &mode : nullptr, haveSize ? &size : nullptr, report[1]);
    ::close(report[1]);
    int err = 0;
    if (r.pid < 0 || ::read(report[0], &err, sizeof err) == sizeof err) {
        out.startError = r.pid < 0 ? errno : err;
        if (r.pid > 0)
            waitpid(r.pid, nullptr, 0);
        ::close(report[0]);
        ::close(r.master);
        return out;
    }
    ::close(report[0]);
    out.pid = r.pid;
    fcntl(r.master, F_SETFL, fcntl(r.master, F_GETFL) | O_NONBLOCK);
    // The keys go to the program's terminal as they are typed: its line discipline,
    // not this one's, edits, echoes and signals.
    termios raw = mode;
    cfmakeraw(&raw);
    const bool madeRaw = haveMode && tcsetattr(0, TCSANOW, &raw) == 0;
    relay(r, out);
    if (madeRaw)
        tcsetattr(0, TCSANOW, &mode);
    ::close(r.master);
    termios own = mode;
    own.c_cc[VEOF] = 0x1A;
    kept = CookedInput(r.typed, own);
    *whole = r.whole && haveMode && r.typed.size() <= limit;
    return out;
}

}  // namespace nollex::cmd
