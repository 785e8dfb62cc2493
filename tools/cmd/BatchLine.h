#pragma once
// One line of a batch file, or one line typed at the interpreter's prompt, taken apart
// without running anything. Pure: no file system, no processes.
//
// What a line can be:
//   (empty)                     nothing; a leading "@" is dropped
//   rem ...                     nothing (any letter case; no redirection is read)
//   cd FOLDER   chdir FOLDER    change the current folder. Everything after "cd" is the
//                               folder, blanks kept and quotes removed, so
//                               cd "/a b/" and cd /a b/ are the same; "cd /d" is
//                               accepted; a bare "cd" shows the current folder
//   exit [N]                    leave the interpreter (N: its exit status)
//   cls                         clear the screen
//   PROGRAM ARGS...             run a program (or a .bat file) with arguments, split by
//                               the Windows word rules
// Redirections, anywhere outside quotes, on every line but rem:
//   > FILE  >> FILE  1> FILE    standard output into FILE (created or replaced /
//                               appended to); FILE may be quoted
//   2> FILE  2>> FILE  2>&1     standard error likewise, or into standard output
//   < FILE                      standard input from FILE
// "|" and "&" are ordinary characters: lines are never chained or piped, and nothing
// on a line is given to a shell.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace nollex::cmd {

struct Redirect {
    int fd = 1;          // 0, 1 or 2: the stream that is redirected
    std::string file;    // the target file; empty when toFd is set
    bool append = false; // ">>"
    int toFd = -1;       // "2>&1" gives fd 2, toFd 1
    bool operator==(const Redirect&) const = default;
};

struct BatchLine {
    enum class Kind { Empty, Rem, Cd, Exit, Cls, Run };
    Kind kind = Kind::Empty;
    std::optional<std::string> folder;  // Cd: the folder; none for a bare "cd"
    int exitCode = 0;                   // Exit
    std::vector<std::string> words;     // Run: the program and its arguments
    std::vector<Redirect> redirects;    // in the order written
    std::string error;                  // not empty: the line cannot run as written
};

BatchLine ParseBatchLine(std::string_view line);

// The lines of a batch file: split at LF, a CR before it dropped.
std::vector<std::string> SplitBatchText(std::string_view text);

}  // namespace nollex::cmd
