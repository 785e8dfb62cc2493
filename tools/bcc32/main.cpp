// bcc32.exe, the stand-in compiler: takes the option set's switches, reads bcc32.cfg
// from its own folder, and has the machine's gcc/g++ make NAME.obj and NAME.exe in
// the "-n" folder.
//
//   bcc32.exe [SWITCHES...] FILE...
//
// The compatibility headers in compat/include beside it (conio.h, dos.h, windows.h)
// come after every other include folder; a program that includes one of them is
// linked with compat/lib/libnollexcompat.a, any other exactly as without them.
//
// Every message, the host compiler's included, goes to standard output, so that one
// redirection captures all of it. The exit status is the host compiler's (127 when it
// cannot be found, 1 for a command line with nothing to build).
#include "bcc32/Switches.h"
#include "common/Process.h"
#include "platform/WinCommandLine.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using nollex::tools::WriteAll;

void say(const std::string& text)
{
    WriteAll(1, text + "\n");
}

std::vector<std::string> configWords()
{
    const std::string folder = nollex::tools::OwnFolder();
    if (folder.empty())
        return {};
    std::ifstream in(folder + "bcc32.cfg", std::ios::binary);
    if (!in)
        return {};  // no configuration file is normal
    std::ostringstream text;
    text << in.rdbuf();
    return nollex::bcc::ParseConfigText(text.str());
}

std::vector<std::string> hostCommand(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    std::vector<std::string> words = nollex::SplitWindowsCommandLine(value ? value : "");
    if (words.empty() || words[0].empty())
        return {fallback};
    return words;
}

// The host compiler's file, looked up as execvp would; empty when there is none.
std::string findProgram(const std::string& name)
{
    if (name.find('/') != std::string::npos)
        return nollex::host::IsExecutableFile(name) ? name : std::string();
    const char* path = std::getenv("PATH");
    return nollex::host::FindExecutable(name, nollex::host::PathFolders(path ? path : "/usr/bin:/bin"));
}

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A source that is not UTF-8 is a Shift-JIS page (the editor saves no other
// encoding); an unreadable one is left for the host compiler to report.
bool isShiftJisSource(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in && !nollex::bcc::IsValidUtf8(readFile(path));
}

// The compatibility headers and library in compat/ beside this program, when both are there.
nollex::bcc::Compat findCompat()
{
    const std::string folder = nollex::tools::OwnFolder() + "compat/";
    nollex::bcc::Compat compat;
    if (nollex::tools::IsFolder(folder + "include") && nollex::tools::IsRegularFile(folder + "lib/libnollexcompat.a")) {
        compat.includeFolder = folder + "include";
        compat.library = folder + "lib/libnollexcompat.a";
    }
    return compat;
}

// A private folder for the compiles' header lists, removed with what is in it.
class ScratchFolder {
public:
    ScratchFolder()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/bcc32-XXXXXX";
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~ScratchFolder()
    {
        if (path_.empty())
            return;
        for (const std::string& file : files_)
            unlink(file.c_str());
        rmdir(path_.c_str());
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& path() const { return path_; }
    void holds(const std::string& file) { files_.push_back(file); }

private:
    std::string path_;
    std::vector<std::string> files_;
};

void usage()
{
    say("usage: bcc32.exe [switches] file.cpp|file.c ...\n"
        "  -3..-6 CPU   -B via assembly   -C nested comments   -K unsigned char\n"
        "  -N stack check   -P force C++   -S assembly only   -b int-sized enums\n"
        "  -c compile only   -p Pascal calls   -O1 size   -O2 speed   -w warnings\n"
        "  -gN stop after N warnings   -jN stop after N errors   -H precompiled headers\n"
        "  -Ifolders   -Lfolders   -Toption   -nfolder (output)   -Dname   -Uname   -v   -ename\n"
        "Builds NAME.obj and NAME.exe with this machine's gcc/g++; switches that have no\n"
        "equivalent here are accepted and noted.");
}

// Says the plan's notes; the exit status when nothing can be built, else nothing.
std::optional<int> refusePlan(const nollex::bcc::Plan& plan)
{
    for (const std::string& note : plan.notes)
        say("bcc32: note: " + note);
    if (!plan.error.empty()) {
        say("bcc32: " + plan.error);
        return 1;
    }
    if (!plan.outputFolder.empty() && !nollex::tools::IsFolder(plan.outputFolder)) {
        say("bcc32: the output folder \"" + plan.outputFolder + "\" (-n) does not exist");
        return 1;
    }
    return std::nullopt;
}

// The message pane shows what the host compiler says and nothing else; the
// commands it was given are shown only when asked for.
bool showHostCommands()
{
    const char* show = std::getenv("NOLLEX_SHOW_HOST_COMMANDS");
    return show && *show && std::string_view(show) != "0";
}

// Runs one host command; 0, or the exit status that ends the build.
int runStep(const nollex::bcc::Step& step, const nollex::bcc::Host& host, bool showCommands)
{
    const std::string program = findProgram(step.argv[0]);
    if (program.empty()) {
        const bool cxx = step.argv[0] == host.cxx[0];
        say("bcc32: the " + std::string(cxx ? "C++" : "C") + " compiler \"" + step.argv[0]
            + "\" was not found. Install it (Debian: apt install " + (cxx ? "g++" : "gcc")
            + ") or name another with " + (cxx ? "NOLLEX_CXX" : "NOLLEX_CC") + ".");
        return 127;
    }
    // A file left from an earlier build must not pass for this build's result.
    if (nollex::tools::IsRegularFile(step.output))
        unlink(step.output.c_str());
    if (showCommands)
        say(nollex::JoinWindowsCommandLine(step.argv));
    nollex::tools::Launch launch;
    launch.program = program;
    launch.argv = step.argv;
    launch.stderrToStdout = true;
    const nollex::tools::Outcome outcome = nollex::tools::RunAndWait(launch);
    if (outcome.startError != 0) {
        say("bcc32: \"" + program + "\" cannot be started: " + std::strerror(outcome.startError));
        return 126;
    }
    if (outcome.waitStatus != 0) {
        say("bcc32: " + step.argv[0] + " ended with " + nollex::tools::DescribeWaitStatus(outcome.waitStatus)
            + "; " + step.output + " was not made");
        return nollex::tools::ExitCodeOf(outcome.waitStatus);
    }
    return 0;
}

// Whether the environment variable is "1".
bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value && std::string_view(value) == "1";
}

// The replay's build, made beside the guarded one so that F9 waits for the slower of
// the two only. Its messages would repeat the guarded build's: they go nowhere.
class ReplayBuild {
public:
    ReplayBuild(const std::vector<nollex::bcc::Step>& steps, const nollex::bcc::Host& host, const std::string& program)
    {
        unlink(program.c_str());  // a failed build leaves no program of an earlier one
        pid_ = fork();
        if (pid_ != 0)
            return;
        const int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
        if (quiet >= 0)
            dup2(quiet, 1);
        int status = 0;
        for (const nollex::bcc::Step& step : steps)
            if (status == 0)
                status = runStep(step, host, false);
        for (const nollex::bcc::Step& step : steps)
            if (status != 0 || step.output != program)
                unlink(step.output.c_str());
        _exit(status == 0 ? 0 : 1);
    }
    ~ReplayBuild()
    {
        int status = 0;
        if (pid_ > 0)
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
    }
    ReplayBuild(const ReplayBuild&) = delete;
    ReplayBuild& operator=(const ReplayBuild&) = delete;

private:
    pid_t pid_ = -1;
};

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty()) {
        usage();
        return 0;
    }
    nollex::bcc::Plan plan = nollex::bcc::PlanBuild(configWords(), words);
    for (nollex::bcc::SourceFile& source : plan.sources)
        source.shiftJis = isShiftJisSource(source.path);
    if (const std::optional<int> refused = refusePlan(plan))
        return *refused;

    nollex::bcc::Host host{hostCommand("NOLLEX_CC", "gcc"), hostCommand("NOLLEX_CXX", "g++"), findCompat()};
    std::optional<ReplayBuild> replayBuild;
    // The debugger steps through the program itself: the checks' instrumented code
    // would only get in its way, so a debug build has none.
    if (isSet("NOLLEX_DEBUG")) {
        nollex::bcc::AddDebugInfo(plan);
    } else if (isSet("NOLLEX_GUARD")) {
        const char* replay = std::getenv("NOLLEX_REPLAY");
        if (replay && *replay && !plan.compileOnly && !plan.assemblyOnly)
            replayBuild.emplace(nollex::bcc::ReplaySteps(plan, host, replay), host, replay);
        const std::string library = nollex::tools::OwnFolder() + "compat/lib/libnollexguard.a";
        nollex::bcc::AddRunTimeChecks(plan, nollex::tools::IsRegularFile(library) ? library : std::string());
    }
    const bool showCommands = showHostCommands();
    const bool links = !plan.compileOnly && !plan.assemblyOnly;
    std::optional<ScratchFolder> scratch;
    if (!host.compat.includeFolder.empty() && links) {
        scratch.emplace();
        host.compat.scratchFolder = scratch->path();
    }
    // Without a place for the header lists, every link takes the library: it adds
    // nothing that a program does not call.
    bool usesCompat = !host.compat.includeFolder.empty() && host.compat.scratchFolder.empty();
    std::vector<nollex::bcc::Step> steps = nollex::bcc::HostSteps(plan, host, usesCompat);
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (links && i + 1 == steps.size() && usesCompat)
            steps[i] = nollex::bcc::HostSteps(plan, host, true).back();
        const nollex::bcc::Step& step = steps[i];
        if (!step.headerList.empty())
            scratch->holds(step.headerList);
        if (const int status = runStep(step, host, showCommands); status != 0)
            return status;
        if (!step.headerList.empty())
            usesCompat = usesCompat || nollex::bcc::ListsFileIn(readFile(step.headerList), host.compat.includeFolder);
    }
    return 0;
}
