// nollex-console READY PID AFTER
//
// The console window of a program run under the debugger. The window starts it in a
// terminal window; it makes a pseudo-terminal of its own, writes the name of its
// terminal side and its own process id, a line each, to READY (whole, through
// READY.tmp: the window signals it by that id), and relays bytes
// between the terminal window and that pseudo-terminal, on which the debugger then
// runs the program. A terminal of its own, because the program's process makes it
// its controlling terminal, which fails while any session owns it (the terminal
// window's own is owned by this tool's session).
//
// The debugger's keys (F4, F5, Shift+F5, F7, Shift+F7, Ctrl+F7) typed here are the
// window's, not the program's: each goes as a line ("F7", "S-F7", ...) to the file
// READY.keys, which the window makes before it starts the tool and watches.
//
// SIGUSR1: the program has ended; what it wrote is relayed, then AFTER = "close"
// ends at once and "wait" says so and waits for Enter. SIGTERM or SIGHUP ends at
// once, and so does the end of process PID (the window) or of READY.keys (the
// window ended the session, maybe before this tool could tell it where it is: READY
// goes too). Exit status 0 when the program's end closed it, 2 for bad usage.
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace {

volatile sig_atomic_t gEnded = 0;    // SIGUSR1
volatile sig_atomic_t gQuit = 0;     // the signal that ends at once
volatile sig_atomic_t gResized = 0;  // SIGWINCH
int gWakeWrite = -1;                 // the self-pipe: wakes the poll for any of them

void onSignal(int signal)
{
    const int saved = errno;
    if (signal == SIGUSR1)
        gEnded = 1;
    else if (signal == SIGWINCH)
        gResized = 1;
    else
        gQuit = signal;
    const char byte = 0;
    [[maybe_unused]] const ssize_t n = write(gWakeWrite, &byte, 1);  // a full pipe wakes the poll already
    errno = saved;
}

constexpr int kWindowCheckMs = 200;
constexpr std::string_view kEndedMessage =
    "\r\nプログラムが終了しました。Enter キーを押すとこのウィンドウを閉じます。";

long long nowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void complain(const std::string& text)
{
    const std::string line = "nollex-console: " + text + "\n";
    [[maybe_unused]] const ssize_t n = write(2, line.data(), line.size());
}

// Writes all bytes; false on an error (the terminal window is gone) or when a signal
// that ends the tool interrupted a write that could not go on.
bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR && gQuit == 0)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Picks the debugger's keys out of what the terminal window sends. A key's sequence
// cut across reads is held until the rest comes; an escape that no more follows
// (the Escape key itself) goes on after a moment.
class KeyFilter {
public:
    // Adds keys to the program's input and the debugger's keys' names, a line each,
    // to window.
    void feed(std::string_view keys, std::string& program, std::string& window)
    {
        held_.append(keys);
        std::size_t i = 0;
        while (i < held_.size()) {
            if (held_[i] != '\x1b') {
                program += held_[i++];
                continue;
            }
            const std::string_view rest = std::string_view(held_).substr(i);
            const Match match = find(rest);
            if (match.partial) {  // the rest of it is still to come
                held_.erase(0, i);
                heldSince_ = nowMs();
                return;
            }
            if (match.key) {
                window.append(match.key->name).append("\n");
                i += match.key->sequence.size();
            } else {
                program += held_[i++];
            }
        }
        held_.clear();
    }
    bool holding() const { return !held_.empty(); }
    // When a held escape goes on as it is, in ms from now.
    long long flushIn() const { return heldSince_ + kHoldMs - nowMs(); }
    void flush(std::string& program)
    {
        program += held_;
        held_.clear();
    }

private:
    struct Key {
        std::string_view sequence;
        std::string_view name;
    };
    struct Match {
        const Key* key = nullptr;
        bool partial = false;
    };
    // xterm's sequences: with the application keypad and without, and with Shift or Ctrl.
    static constexpr Key kKeys[] = {
        {"\x1bOS", "F4"},          {"\x1b[14~", "F4"},        {"\x1b[15~", "F5"},
        {"\x1b[15;2~", "S-F5"},    {"\x1b[18~", "F7"},        {"\x1b[18;2~", "S-F7"},
        {"\x1b[18;5~", "C-F7"},
    };
    static Match find(std::string_view rest)
    {
        Match match;
        for (const Key& key : kKeys) {
            if (rest.starts_with(key.sequence))
                match.key = &key;
            else if (key.sequence.starts_with(rest))
                match.partial = true;
        }
        if (match.key)
            match.partial = false;
        return match;
    }

    static constexpr int kHoldMs = 50;
    std::string held_;
    long long heldSince_ = 0;
};

// Appends the debugger's keys to the window's file; false once the file is gone.
bool tellWindow(const std::string& keysFile, std::string_view lines)
{
    const int fd = open(keysFile.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);  // never made here
    if (fd < 0)
        return false;
    const bool written = writeAll(fd, lines);
    close(fd);
    return written;
}

// The terminal window's mode, raw while the tool relays and put back at every exit.
class RawMode {
public:
    RawMode()
    {
        if (!isatty(0) || tcgetattr(0, &saved_) != 0)
            return;
        termios raw = saved_;
        cfmakeraw(&raw);
        active_ = tcsetattr(0, TCSANOW, &raw) == 0;
    }
    ~RawMode()
    {
        if (active_)
            tcsetattr(0, TCSANOW, &saved_);
    }
    RawMode(const RawMode&) = delete;
    RawMode& operator=(const RawMode&) = delete;

private:
    termios saved_{};
    bool active_ = false;
};

// The pseudo-terminal pair. The terminal side stays open (never as the controlling
// terminal) for the tool's whole life, so the pair outlives each program run on it.
struct Pty {
    int master = -1;
    int slave = -1;
    std::string name;

    Pty() = default;
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;
    ~Pty()
    {
        if (slave >= 0)
            close(slave);
        if (master >= 0)
            close(master);
    }
    bool open()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return false;
        const char* path = ptsname(master);
        if (!path)
            return false;
        name = path;
        slave = ::open(path, O_RDWR | O_NOCTTY | O_CLOEXEC);
        return slave >= 0 && fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) == 0;
    }
};

// The terminal window's size onto the inner terminal, whose foreground program is told.
void copyWindowSize(int master)
{
    winsize size{};
    for (int fd : {0, 1})
        if (isatty(fd) && ioctl(fd, TIOCGWINSZ, &size) == 0) {
            ioctl(master, TIOCSWINSZ, &size);
            return;
        }
}

// READY gets the terminal's name whole or not at all: the window polls for the file.
// 0, or the error that kept it from being written.
int announce(const std::string& ready, const std::string& name)
{
    const std::string tmp = ready + ".tmp";
    unlink(tmp.c_str());  // a leftover of an earlier console; O_EXCL refuses anything there
    const int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return errno;
    const bool written = writeAll(fd, name + "\n" + std::to_string(getpid()) + "\n");
    int error = written ? 0 : errno;
    if (close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && rename(tmp.c_str(), ready.c_str()) == 0)
        return 0;
    error = error == 0 ? errno : error;
    unlink(tmp.c_str());
    return error;
}

void installHandlers()
{
    struct sigaction action{};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // No SA_RESTART: a write to a stalled terminal window gives way to SIGTERM.
    for (int signal : {SIGUSR1, SIGWINCH, SIGTERM, SIGHUP})
        sigaction(signal, &action, nullptr);
    // Ctrl+C and Ctrl+\ are bytes for the inner terminal, which signals the program.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGQUIT, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);  // a closed terminal window is a failed write
}

// The relay between the terminal window (standard input and output) and the inner
// terminal's master side.
class Relay {
public:
    Relay(int master, int wake, pid_t window, std::string ready)
        : master_(master), wake_(wake), window_(window), ready_(std::move(ready)), keysFile_(ready_ + ".keys")
    {
    }

    // Until the program's end (0), or a reason to end at once (its exit status).
    int untilProgramEnds()
    {
        while (gEnded == 0) {
            if (const int status = checks(); status >= 0)
                return status;
            if (!pollOnce(true))
                return 1;
        }
        drainOutput();
        return 0;
    }

    // Until Enter, the end of input, or a reason to end at once.
    int untilEnter()
    {
        if (!writeAll(1, kEndedMessage))
            return 1;
        while (inputOpen_ && !enter_) {
            if (const int status = checks(); status >= 0)
                return status;
            if (!pollOnce(false))
                return 1;
        }
        return 0;
    }

private:
    // The exit status when a signal or the window's end stops the tool, else -1.
    int checks()
    {
        if (gQuit != 0)
            return 128 + gQuit;
        if (gResized != 0) {
            gResized = 0;
            copyWindowSize(master_);
        }
        const long long now = nowMs();
        if (filter_.holding() && filter_.flushIn() <= 0)
            filter_.flush(pending_);
        if (now >= nextWindowCheck_) {
            nextWindowCheck_ = now + kWindowCheckMs;
            if (kill(window_, 0) != 0 && errno == ESRCH)
                return 1;
            struct stat keys{};
            if (gEnded == 0 && stat(keysFile_.c_str(), &keys) != 0 && errno == ENOENT) {
                unlink(ready_.c_str());  // announced after the window gave up on it
                return 1;
            }
        }
        return -1;
    }

    // One wait for input, output or a signal, and what it brought; false when the
    // terminal window can no longer be written.
    bool pollOnce(bool relaying)
    {
        const long long now = nowMs();
        const bool masterQuiet = now < quietUntil_;  // no program on the inner terminal
        pollfd fds[3] = {{wake_, POLLIN, 0}, {-1, 0, 0}, {-1, 0, 0}};
        if (relaying && !masterQuiet)
            fds[1] = {master_, static_cast<short>(POLLIN | (pending_.empty() ? 0 : POLLOUT)), 0};
        // Keys wait in the window while the inner terminal has not taken the last ones.
        if (inputOpen_ && (pending_.empty() || !relaying))
            fds[2] = {0, POLLIN, 0};
        long long timeout = nextWindowCheck_ - now;
        if (masterQuiet)
            timeout = std::min(timeout, quietUntil_ - now);
        if (filter_.holding())
            timeout = std::min(timeout, filter_.flushIn());
        if (poll(fds, 3, static_cast<int>(std::max(timeout, 0LL))) <= 0)
            return true;  // a signal or the time for a check
        if (fds[0].revents != 0) {
            char drain[64];
            while (read(wake_, drain, sizeof drain) > 0) {
            }
        }
        if (fds[1].revents & (POLLIN | POLLHUP | POLLERR))
            if (readMaster() < 0)
                return false;
        if ((fds[1].revents & POLLOUT) && !pending_.empty())
            writeKeys();
        if (fds[2].revents != 0)
            readKeys(relaying);
        return true;
    }

    // Relays one read of the program's output: bytes relayed, 0 for none now, -1
    // when the terminal window can no longer be written.
    int readMaster()
    {
        char buf[4096];
        const ssize_t n = read(master_, buf, sizeof buf);
        if (n > 0)
            return writeAll(1, std::string_view(buf, std::size_t(n))) ? int(n) : -1;
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            quietUntil_ = nowMs() + kQuietMs;  // EIO: no program has the terminal open yet
        return 0;
    }

    void writeKeys()
    {
        const ssize_t n = write(master_, pending_.data(), pending_.size());
        if (n > 0)
            pending_.erase(0, std::size_t(n));
    }

    void readKeys(bool relaying)
    {
        char buf[4096];
        const ssize_t n = read(0, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            return;
        if (n <= 0) {
            inputOpen_ = false;  // the program's output still comes
            return;
        }
        const std::string_view keys(buf, std::size_t(n));
        if (relaying) {
            std::string window;
            filter_.feed(keys, pending_, window);
            if (!window.empty())
                tellWindow(keysFile_, window);
        } else {
            enter_ = keys.find_first_of("\r\n") != std::string_view::npos;
        }
    }

    // What the program wrote before it ended, until the inner terminal is quiet.
    void drainOutput()
    {
        const long long deadline = nowMs() + 1000;  // a child left behind may write on
        while (nowMs() < deadline && gQuit == 0) {
            pollfd fd{master_, POLLIN, 0};
            if (poll(&fd, 1, kDrainQuietMs) <= 0 || readMaster() <= 0)
                return;
        }
    }

    static constexpr int kQuietMs = 20;
    static constexpr int kDrainQuietMs = 50;
    int master_;
    int wake_;
    pid_t window_;
    std::string ready_;
    std::string keysFile_;
    KeyFilter filter_;
    std::string pending_;  // keys not yet taken by the inner terminal
    bool inputOpen_ = true;
    bool enter_ = false;
    long long nextWindowCheck_ = 0;
    long long quietUntil_ = 0;
};

// A process id: decimal digits only, above 0 (0 and below name process groups).
bool parsePid(const char* text, pid_t& pid)
{
    if (!*text || std::strspn(text, "0123456789") != std::strlen(text) || std::strlen(text) > 9)
        return false;
    pid = static_cast<pid_t>(std::atol(text));
    return pid > 0;
}

}  // namespace

int main(int argc, char** argv)
{
    pid_t window = 0;
    const std::string_view after = argc == 4 ? argv[3] : "";
    if (argc != 4 || !parsePid(argv[2], window) || (after != "close" && after != "wait")) {
        complain("usage: nollex-console READY PID close|wait");
        return 2;
    }
    int wake[2];
    if (pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        complain(std::string("no pipe: ") + std::strerror(errno));
        return 1;
    }
    gWakeWrite = wake[1];
    installHandlers();
    Pty pty;
    if (!pty.open()) {
        complain(std::string("no pseudo-terminal: ") + std::strerror(errno));
        return 1;
    }
    copyWindowSize(pty.master);
    if (const int error = announce(argv[1], pty.name); error != 0) {
        complain(std::string("cannot write ") + argv[1] + ": " + std::strerror(error));
        return 2;
    }
    const RawMode raw;
    Relay relay(pty.master, wake[0], window, argv[1]);
    if (const int status = relay.untilProgramEnds(); status != 0 || after == "close")
        return status;
    return relay.untilEnter();
}
