#include "cmd/Interpreter.h"

#include "cmd/BatchLine.h"
#include "cmd/InputRelay.h"
#include "cmd/WatchedRun.h"
#include "common/Process.h"

#include <chrono>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <termios.h>
#include <unistd.h>

namespace nollex::cmd {

using tools::AsciiLower;
using tools::WriteAll;

namespace {

// Batch files may run batch files; a file that runs itself must end, not exhaust the
// machine.
constexpr int kMaxBatchDepth = 16;

// name in folder; an empty folder is the current one.
std::string pathIn(const std::string& folder, const std::string& name)
{
    if (folder.empty())
        return name;
    std::string path = folder;
    if (!path.ends_with('/'))
        path += '/';
    path += name;
    return path;
}

bool hasExtension(const std::string& name)
{
    const std::size_t slash = name.rfind('/');
    const std::size_t dot = name.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

bool isBatchName(const std::string& name)
{
    const std::string lower = AsciiLower(name);
    return lower.ends_with(".bat") || lower.ends_with(".cmd");
}

std::string errorText(int err)
{
    return tools::ErrorPhrase(err);
}

// The name the learner knows the program by: "__out.exe", not its whole path.
std::string shownName(const std::string& word)
{
    const std::size_t slash = word.rfind('/');
    return slash == std::string::npos ? word : word.substr(slash + 1);
}

// One line from standard input, read byte by byte: whatever follows the line stays
// unread for the program that the line starts.
bool readLine(std::string& line)
{
    line.clear();
    char c = 0;
    while (true) {
        const ssize_t n = ::read(0, &c, 1);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return !line.empty();
        if (c == '\n')
            return true;
        line += c;
    }
}

// While a program runs in the console, Ctrl+Z at the start of a line ends its
// input as in a Windows console, instead of the terminal's Ctrl+D; Ctrl+Z no longer
// stops the program either (the window would wait for it for ever). The terminal's
// own settings come back afterwards, whatever the program left in them.
// The input a replay is fed: a learner's program reads a few lines.
constexpr std::size_t kKeptInputLimit = 1 << 20;

class WindowsEndOfInput {
public:
    WindowsEndOfInput()
    {
        // Only the terminal's foreground may change it; in the background the change
        // would stop the interpreter instead.
        if (!isatty(0) || tcgetpgrp(0) != getpgrp() || tcgetattr(0, &saved_) != 0)
            return;
        termios mode = saved_;
        mode.c_cc[VEOF] = kCtrlZ;
        mode.c_cc[VSUSP] = _POSIX_VDISABLE;
        active_ = tcsetattr(0, TCSANOW, &mode) == 0;
    }
    ~WindowsEndOfInput()
    {
        if (active_)
            tcsetattr(0, TCSANOW, &saved_);
    }
    WindowsEndOfInput(const WindowsEndOfInput&) = delete;
    WindowsEndOfInput& operator=(const WindowsEndOfInput&) = delete;

private:
    static constexpr cc_t kCtrlZ = 0x1A;
    termios saved_{};
    bool active_ = false;
};

}  // namespace

std::string CurrentFolder()
{
    std::string buf(256, '\0');
    while (getcwd(buf.data(), buf.size()) == nullptr) {
        if (errno != ERANGE)
            return "?";
        buf.resize(buf.size() * 2);
    }
    buf.resize(std::strlen(buf.c_str()));
    return buf;
}

ResolvedProgram ResolveProgram(const std::string& name, std::string_view pathValue)
{
    ResolvedProgram out;
    if (name.empty()) {
        out.problem = "プログラムの名前がありません";
        return out;
    }
    std::vector<std::string> folders;
    if (name.find('/') != std::string::npos) {
        folders.push_back("");
    } else {
        folders.push_back(".");
        for (std::string& f : tools::PathFolders(pathValue))
            folders.push_back(std::move(f));
    }
    std::vector<std::string> names{name};
    if (!hasExtension(name)) {
        names.push_back(name + ".exe");
        names.push_back(name + ".bat");
    }
    std::string notExecutable;
    for (const std::string& folder : folders) {
        for (const std::string& n : names) {
            const std::string candidate = pathIn(folder, n);
            if (!tools::IsRegularFile(candidate))
                continue;
            if (isBatchName(candidate)) {
                out.path = candidate;
                out.isBatch = true;
                return out;
            }
            if (tools::IsExecutableFile(candidate)) {
                out.path = candidate;
                return out;
            }
            if (notExecutable.empty())
                notExecutable = candidate;
        }
    }
    if (!notExecutable.empty())
        out.problem = "\"" + notExecutable + "\" は実行できるファイルではありません";
    else if (name.find('/') != std::string::npos)
        out.problem = "\"" + name + "\" が見つかりません";
    else
        out.problem = "\"" + name + "\" が見つかりません（今のフォルダ " + CurrentFolder() + " にも PATH にもありません）";
    return out;
}

void Interpreter::report(const std::string& message, int fd)
{
    WriteAll(fd, "cmd.exe: " + message + "\n");
    if (fd == 1 && batchDepth_ > 0)
        pending_.push_back("cmd.exe: " + message + "\n");
}

void Interpreter::deliverPending(int fd)
{
    for (const std::string& m : pending_)
        WriteAll(fd, m);
    pending_.clear();
}

int Interpreter::runBatchFile(const std::string& path, int depth)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        report("バッチファイル \"" + path + "\" を読めません（" + errorText(errno) + "）", 1);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    ++batchDepth_;
    int status = 0;
    for (const std::string& line : SplitBatchText(text.str())) {
        // Comments and blank lines keep the status of the line before, so the build's
        // closing rem line does not hide a failed compile.
        const BatchLine parsed = ParseBatchLine(line);
        const bool idle = parsed.kind == BatchLine::Kind::Rem
                          || (parsed.kind == BatchLine::Kind::Empty && parsed.redirects.empty()
                              && parsed.error.empty());
        const int lineStatus = runLine(line, depth);
        if (!idle)
            status = lineStatus;
        if (exitRequested_)
            break;
    }
    if (--batchDepth_ == 0)
        pending_.clear();
    return exitRequested_ ? exitCode_ : status;
}

// The streams of a line's redirections, open while the line runs.
struct Interpreter::Streams {
    int fds[3] = {-1, -1, -1};  // our descriptor in place of stream k of the program; -1 keeps ours
    int messageFd = 1;          // where the line's messages go
    std::vector<int> opened;

    Streams() = default;
    Streams(const Streams&) = delete;
    Streams& operator=(const Streams&) = delete;
    ~Streams()
    {
        for (int fd : opened)
            close(fd);
    }
};

bool Interpreter::openRedirections(const BatchLine& line, Streams& streams)
{
    for (const Redirect& r : line.redirects) {
        int fd = -1;
        if (r.toFd >= 0) {
            fd = fcntl(streams.fds[r.toFd] >= 0 ? streams.fds[r.toFd] : r.toFd, F_DUPFD_CLOEXEC, 3);
        } else {
            const int flags = r.fd == 0 ? O_RDONLY : O_WRONLY | O_CREAT | (r.append ? O_APPEND : O_TRUNC);
            fd = open(r.file.c_str(), flags | O_CLOEXEC, 0666);
            if (fd < 0) {
                report("\"" + r.file + "\" を開けません（" + errorText(errno) + "）", streams.messageFd);
                return false;
            }
        }
        if (fd < 0)
            continue;  // 2>&1 on a closed stream: leave the stream as it is
        streams.opened.push_back(fd);
        streams.fds[r.fd] = fd;
        if (r.fd == 1) {
            streams.messageFd = fd;
            if (r.toFd < 0)
                deliverPending(fd);
        }
    }
    return true;
}

int Interpreter::changeFolder(const std::optional<std::string>& folder, int messageFd)
{
    if (!folder) {
        WriteAll(messageFd, CurrentFolder() + "\n");
        return 0;
    }
    if (folder->empty()) {
        report("cd \"\": フォルダの名前がありません。今のフォルダ " + CurrentFolder() + " のままです", messageFd);
        return 1;
    }
    if (chdir(folder->c_str()) != 0) {
        const int err = errno;
        report("フォルダ \"" + *folder + "\" に移れません（" + errorText(err) + "）。今のフォルダ " + CurrentFolder()
                   + " のままです",
               messageFd);
        return 1;
    }
    return 0;
}

int Interpreter::runLine(std::string_view text, int depth)
{
    lastRanProgram_ = false;
    const BatchLine line = ParseBatchLine(text);
    if (line.kind == BatchLine::Kind::Rem)
        return 0;
    if (!line.error.empty()) {
        report(line.error + ": " + std::string(text), 1);
        return 1;
    }
    Streams streams;
    if (!openRedirections(line, streams))
        return 1;
    switch (line.kind) {
    case BatchLine::Kind::Empty:
    case BatchLine::Kind::Rem:
        return 0;
    case BatchLine::Kind::Cd:
        return changeFolder(line.folder, streams.messageFd);
    case BatchLine::Kind::Exit:
        exitRequested_ = true;
        exitCode_ = line.exitCode;
        return line.exitCode;
    case BatchLine::Kind::Cls:
        if (isatty(streams.messageFd))
            WriteAll(streams.messageFd, "\033[H\033[2J");
        return 0;
    case BatchLine::Kind::Run:
        break;
    }
    const char* path = std::getenv("PATH");
    const ResolvedProgram program = ResolveProgram(line.words[0], path ? path : "");
    if (program.path.empty()) {
        report(program.problem, streams.messageFd);
        return 127;
    }
    return runResolved(program, line.words, streams.fds, streams.messageFd, depth);
}

int Interpreter::runResolved(const ResolvedProgram& program, const std::vector<std::string>& words,
                             const int fds[3], int messageFd, int depth)
{
    if (program.isBatch) {
        if (depth + 1 >= kMaxBatchDepth) {
            report("バッチファイルの呼び出しが深すぎるので、\"" + program.path + "\" は実行しません", messageFd);
            return 1;
        }
        // The batch file runs here, so its redirections apply to our own streams for
        // the time it runs.
        int saved[3] = {-1, -1, -1};
        for (int k = 0; k < 3; ++k) {
            if (fds[k] >= 0) {
                saved[k] = fcntl(k, F_DUPFD_CLOEXEC, 3);
                dup2(fds[k], k);
            }
        }
        const int status = runBatchFile(program.path, depth + 1);
        for (int k = 0; k < 3; ++k) {
            if (fds[k] >= 0) {
                if (saved[k] >= 0) {
                    dup2(saved[k], k);
                    close(saved[k]);
                } else {
                    close(k);
                }
            }
        }
        return status;
    }

    tools::Launch launch;
    launch.program = program.path;
    launch.argv = words;
    launch.stdinFd = fds[0];
    launch.stdoutFd = fds[1];
    launch.stderrFd = fds[2];
    const tools::Outcome outcome = [this, &launch] {
        if (keptInput_ && launch.stdinFd < 0 && !isatty(0))
            return tools::RunAndKeepInput(launch, *keptInput_, kKeptInputLimit, &keptWhole_);
        if (keptInput_ && launch.stdinFd < 0 && launch.stdoutFd < 0 && launch.stderrFd < 0 &&
            tcgetpgrp(0) == getpgrp())
            return RunOnRelay(launch, *keptInput_, kKeptInputLimit, &keptWhole_);
        keptWhole_ = !keptInput_;
        const WindowsEndOfInput endOfInput;
        return tools::RunAndWait(launch);
    }();
    if (outcome.startError != 0) {
        report("\"" + words[0] + "\" を起動できません（" + errorText(outcome.startError) + "）", messageFd);
        return 126;
    }
    lastRanProgram_ = true;
    lastProgram_ = words[0];
    lastWaitStatus_ = outcome.waitStatus;
    lastPid_ = outcome.pid;
    return tools::ExitCodeOf(outcome.waitStatus);
}

int Interpreter::runWords(const std::vector<std::string>& words, bool reportStatus)
{
    if (words.empty())
        return 0;
    lastRanProgram_ = false;
    const char* path = std::getenv("PATH");
    const ResolvedProgram program = ResolveProgram(words[0], path ? path : "");
    if (program.path.empty()) {
        report(program.problem, 1);
        return 127;
    }
    // Only this run is watched: the program and what it starts never see the name.
    const char* watched = std::getenv("NOLLEX_RUN");
    const std::string stem = watched ? watched : "";
    // The replay's build is named to the compiler too, whose batch file runs unwatched.
    const char* replayed = stem.empty() ? nullptr : std::getenv("NOLLEX_REPLAY");
    std::string replay = replayed ? replayed : "";
    ::unsetenv("NOLLEX_RUN");
    if (!stem.empty())
        ::unsetenv("NOLLEX_REPLAY");
    std::string input;
    keptInput_ = replay.empty() ? nullptr : &input;
    keptWhole_ = true;
    const int fds[3] = {-1, -1, -1};
    const auto started = std::chrono::steady_clock::now();
    const int status = runResolved(program, words, fds, 1, 0);
    const auto ran = std::chrono::steady_clock::now() - started;
    keptInput_ = nullptr;
    // A replay fed other bytes than the program read would explain another run.
    if (!keptWhole_)
        replay.clear();
    if (reportStatus && lastRanProgram_)
        WriteAll(1, "\n-- " + shownName(words[0]) + " は" + tools::TellWaitStatus(lastWaitStatus_) + "\n");
    if (!stem.empty() && lastRanProgram_) {
        const RunEnd end{lastPid_, lastWaitStatus_,
                         std::chrono::duration_cast<std::chrono::milliseconds>(ran).count()};
        FinishWatchedRun(stem, end, !reportStatus, Replay{replay, input});
    }
    return status;
}

int Interpreter::interactive()
{
    // Ctrl+C stops the program that runs, never the window's interpreter.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGQUIT, SIG_IGN);
    WriteAll(1, "EXIT と入力するとこのウィンドウを閉じます。\n");
    std::string line;
    while (!exitRequested_) {
        WriteAll(1, "\n" + CurrentFolder() + ">");
        if (!readLine(line)) {
            WriteAll(1, "\n");
            break;
        }
        runLine(line, 0);
        if (lastRanProgram_ && lastWaitStatus_ != 0)
            WriteAll(1, "-- " + shownName(lastProgram_) + " は" + tools::TellWaitStatus(lastWaitStatus_) + "\n");
    }
    return exitCode_;
}

}  // namespace nollex::cmd
