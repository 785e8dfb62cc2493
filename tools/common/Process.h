#pragma once
// Starting programs for the stand-in tools, over the start and the PATH lookup
// they share with Nollex (platform/HostProcess.h).
#include "platform/HostProcess.h"

#include <string>
#include <string_view>
#include <vector>

namespace nollex::tools {

using host::IsExecutableFile;
using host::IsFolder;
using host::IsRegularFile;
using host::Launch;
using host::Outcome;
using host::PathFolders;

// Starts the program, waits for it, and gives its status. While it runs the caller
// ignores Ctrl+C and Ctrl+\, so that these reach the program, not the interpreter.
Outcome RunAndWait(const Launch& launch);

// RunAndWait with the program's standard input a pipe from this process's, whose
// bytes are kept too (up to limit; *whole becomes false past it). For a standard
// input that is no terminal: the bytes typed are read as they come.
Outcome RunAndKeepInput(const Launch& launch, std::string& kept, std::size_t limit, bool* whole);

// "exit status 3" or "killed by signal 11 (Segmentation fault)", for the
// compiler front end's English lines.
std::string DescribeWaitStatus(int waitStatus);

// How a program ended, for the learner on the console: "終了しました（終了コード 3）"
// or "シグナル 11（SIGSEGV）で強制終了しました".
std::string TellWaitStatus(int waitStatus);

// An error number as a short Japanese phrase ("ファイルまたはフォルダがありません");
// the system's own text for the rare ones.
std::string ErrorPhrase(int err);

// The exit status, or 128 + the signal number for a killed program (as shells do).
int ExitCodeOf(int waitStatus);

// Writes all bytes to a file descriptor; false on a write error.
bool WriteAll(int fd, std::string_view bytes);

// The folder of this program's executable, with its final "/"; empty when unknown.
std::string OwnFolder();

// Lower-case ASCII copy, for case-insensitive comparisons of names and switches.
std::string AsciiLower(std::string_view text);

}  // namespace nollex::tools
