#pragma once
// The stand-in command interpreter: runs batch files, single commands and a small
// prompt loop. Programs are started directly (posix_spawn with an argument vector);
// no line ever reaches a shell.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nollex::cmd {

struct BatchLine;

struct ResolvedProgram {
    std::string path;     // empty: nothing to run
    bool isBatch = false; // ".bat" or ".cmd": run by the interpreter itself
    std::string problem;  // why nothing runs, for the user
};

// A name holding a "/" is taken as written (relative to the current folder). A bare
// name is looked for in the current folder first, then in every PATH folder; a name
// without an extension also matches NAME.exe and NAME.bat there, as "__out" does on
// Windows. Only executable regular files and batch files match.
ResolvedProgram ResolveProgram(const std::string& name, std::string_view pathValue);

class Interpreter {
public:
    // Runs a batch file line by line; the result is the last line's status.
    int runBatchFile(const std::string& path, int depth = 0);

    // Runs a program or batch file given as already separated words (the rest of
    // "/C" or "/K"). With reportStatus a line with the program's exit status or signal
    // follows, for a window that stays open.
    int runWords(const std::vector<std::string>& words, bool reportStatus);

    // The prompt loop: folder and ">", each line handled like a batch line, until EXIT
    // (any case) or end of input.
    int interactive();

    bool exitRequested() const { return exitRequested_; }

private:
    struct Streams;
    int runLine(std::string_view text, int depth);
    // Opens a line's redirections into streams; false (reported) when a file cannot be opened.
    bool openRedirections(const BatchLine& line, Streams& streams);
    int changeFolder(const std::optional<std::string>& folder, int messageFd);
    int runResolved(const ResolvedProgram& program, const std::vector<std::string>& words,
                    const int fds[3], int messageFd, int depth);
    void report(const std::string& message, int fd);
    void deliverPending(int fd);

    // Messages of lines whose output went to the interpreter's own output: in a build
    // that output is seen by nobody, so they are also written into the next file that
    // a line redirects its output to (the compile line's message.txt).
    std::vector<std::string> pending_;
    int batchDepth_ = 0;
    bool exitRequested_ = false;
    int exitCode_ = 0;
    bool lastRanProgram_ = false;  // the last line started a program (not a batch file)
    std::string lastProgram_;      // the first word of the line that started it
    int lastWaitStatus_ = 0;
    int lastPid_ = 0;
    // The bytes typed to the watched run's program, kept for its replay; none: not kept.
    std::string* keptInput_ = nullptr;
    bool keptWhole_ = true;
};

std::string CurrentFolder();

}  // namespace nollex::cmd
