#pragma once
// Starting programs and finding them on PATH, shared by Nollex and its stand-in
// tools. Plain C++ and POSIX, no Qt, so that the tools start fast. A program is
// always an argument vector handed to the kernel, never a line for a shell.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nollex::host {

struct Launch {
    std::string program;            // path of the file to execute
    std::vector<std::string> argv;  // argv[0] included
    std::string folder;             // its current folder; empty = this process's
    // Its whole environment, "NAME=value" each; none = this process's.
    std::optional<std::vector<std::string>> environment;
    int stdinFd = -1;             // -1: inherit
    int stdoutFd = -1;            // -1: inherit
    int stderrFd = -1;            // -1: inherit
    bool stderrToStdout = false;  // after stdoutFd is in place
    // Not waited for: it runs in a session of its own, re-parented so that
    // nobody has to reap it.
    bool detach = false;
    bool closeOtherFiles = false;         // only standard input, output and error stay open
    bool defaultKeyboardSignals = false;  // Ctrl+C and Ctrl+\ act on it whatever this process does
    // A process group of its own (not detached), so that it and everything it
    // starts can be ended together.
    bool newProcessGroup = false;
};

struct Outcome {
    int startError = 0;  // errno when the program could not be started, else 0
    int waitStatus = 0;  // as waitpid reports it, when it was waited for and started
    int pid = 0;         // the program's process id, when it was waited for and started
};

// Starts the program and, unless it is detached, waits for it.
Outcome StartProcess(const Launch& launch);

// Starts the program (not detached) without waiting for it: its process id, or
// -1 with the errno in *startError.
int SpawnProcess(const Launch& launch, int* startError);

// Whether the program has ended, without blocking; its wait status then goes to
// *waitStatus. A process that cannot be waited for counts as ended, with status -1.
bool ProcessEnded(int pid, int* waitStatus);

// Ends the process group of a program started with newProcessGroup, and reaps it.
void KillProcessGroup(int pid);

// The folders of a PATH value; an empty entry means the current folder.
std::vector<std::string> PathFolders(std::string_view pathValue);

// The first folder/name among folders that is an executable file; empty when none is.
std::string FindExecutable(const std::string& name, const std::vector<std::string>& folders);

bool IsRegularFile(const std::string& path);
bool IsExecutableFile(const std::string& path);
bool IsFolder(const std::string& path);

}  // namespace nollex::host
