#include "cmd/WatchedRun.h"

#include "common/Process.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace nollex::cmd {

namespace {

// The record appears whole: the window may read it at any moment.
void writeRecord(const std::string& stem, const RunEnd& end)
{
    const std::string part = stem + ".end.part";
    const int fd = ::open(part.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    const bool written = tools::WriteAll(fd, RunRecordText(end));
    if (::close(fd) == 0 && written)
        std::rename(part.c_str(), (stem + ".end").c_str());
    else
        ::unlink(part.c_str());
}

bool hasReport(const std::string& stem, int pid)
{
    const std::string id = "." + std::to_string(pid);
    return tools::IsRegularFile(stem + ".asan" + id) || tools::IsRegularFile(stem + ".ubsan" + id);
}

// The bytes the replay is fed, beside the run's other files; false when they cannot be.
bool writeInput(const std::string& stem, const std::string& input)
{
    const std::string path = stem + ".input";
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    const bool written = tools::WriteAll(fd, input);
    return ::close(fd) == 0 && written;
}

// The explaining tool's output on the console; false when it showed nothing.
bool explain(const std::string& stem, const RunEnd& end, const Replay& replay)
{
    const int signal = WIFSIGNALED(end.waitStatus) ? WTERMSIG(end.waitStatus) : 0;
    const bool replays = !replay.program.empty() && tools::IsRegularFile(replay.program) && writeInput(stem, replay.input);
    if (signal == 0 && !hasReport(stem, end.pid) && !replays)
        return false;
    const std::string tool = tools::OwnFolder() + "nollex-explain";
    if (!tools::IsExecutableFile(tool))
        return false;
    tools::Launch launch;
    launch.program = tool;
    launch.argv = {tool, stem, std::to_string(end.pid), std::to_string(signal)};
    if (replays)
        launch.argv.push_back(replay.program);
    const tools::Outcome outcome = tools::RunAndWait(launch);
    if (replays)
        ::unlink((stem + ".input").c_str());
    return outcome.startError == 0 && WIFEXITED(outcome.waitStatus) && WEXITSTATUS(outcome.waitStatus) == 0;
}

}  // namespace

std::string RunRecordText(const RunEnd& end)
{
    std::string text = "pid=" + std::to_string(end.pid) + "\n";
    if (WIFSIGNALED(end.waitStatus))
        text += "signal=" + std::to_string(WTERMSIG(end.waitStatus)) + "\n";
    else
        text += "exit=" + std::to_string(WEXITSTATUS(end.waitStatus)) + "\n";
    text += "ms=" + std::to_string(end.ms) + "\n";
    if (end.held)
        text += "held=1\n";
    return text;
}

void FinishWatchedRun(const std::string& stem, const RunEnd& end, bool waitToClose, const Replay& replay)
{
    // The record comes after the explanation: the window takes the page's file
    // away once it has read the record, and the tool reads that file.
    RunEnd record = end;
    record.held = explain(stem, end, replay) && waitToClose && ::isatty(0);
    writeRecord(stem, record);
    if (!record.held)
        return;
    tools::WriteAll(1, "\n（Enter キーを押すとこのウィンドウを閉じます）");
    char c = 0;
    while (::read(0, &c, 1) == 1 && c != '\n') {
    }
}

}  // namespace nollex::cmd
