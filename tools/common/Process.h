#pragma once
// Starting programs for the stand-in tools: always an argument vector handed to the
// kernel directly, never a command line handed to a shell.
#include <string>
#include <string_view>
#include <vector>

namespace nollex::tools {

struct Launch {
    std::string program;            // path of the file to execute
    std::vector<std::string> argv;  // argv[0] included
    int stdinFd = -1;               // -1: inherit
    int stdoutFd = -1;              // -1: inherit
    int stderrFd = -1;              // -1: inherit
    bool stderrToStdout = false;    // after stdoutFd is in place
};

struct Outcome {
    int startError = 0;  // errno when the program could not be started, else 0
    int waitStatus = 0;  // as waitpid reports it, valid when startError is 0
};

// Starts the program, waits for it, and gives its status. While it runs the caller
// ignores Ctrl+C and Ctrl+\, so that these reach the program, not the interpreter.
Outcome RunAndWait(const Launch& launch);

// "exit status 3" or "killed by signal 11 (Segmentation fault)".
std::string DescribeWaitStatus(int waitStatus);

// The exit status, or 128 + the signal number for a killed program (as shells do).
int ExitCodeOf(int waitStatus);

// The folders of a PATH value; an empty entry means the current folder.
std::vector<std::string> PathFolders(std::string_view pathValue);

bool IsRegularFile(const std::string& path);
bool IsExecutableFile(const std::string& path);
bool IsFolder(const std::string& path);

// Writes all bytes to a file descriptor; false on a write error.
bool WriteAll(int fd, std::string_view bytes);

// Lower-case ASCII copy, for case-insensitive comparisons of names and switches.
std::string AsciiLower(std::string_view text);

}  // namespace nollex::tools
