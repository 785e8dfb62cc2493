#pragma once
// The stand-in compiler's switches and what they become for the machine's gcc/g++.
// Pure: words in, host argument vectors out; nothing here touches files or processes.
#include <string>
#include <string_view>
#include <vector>

namespace nollex::bcc {

enum class Language { C, Cxx };

struct SourceFile {
    std::string path;
    Language language = Language::Cxx;  // by extension: ".c" (any case) is C, all else C++
    bool shiftJis = false;  // not valid UTF-8: read as Shift-JIS (set by the caller, which reads the file)
};

struct Plan {
    std::vector<SourceFile> sources;
    std::vector<std::string> linkInputs;    // object files and archives given by name
    std::vector<std::string> compileFlags;  // host switches for every compile
    std::vector<std::string> linkFlags;     // host switches for the link
    std::string outputFolder;               // "-n", with a final "/"; empty: current folder
    std::string exeName;                    // "-e"; empty: named after the first file
    bool compileOnly = false;               // "-c"
    bool assemblyOnly = false;              // "-S"
    bool forceCxx = false;                  // "-P"
    std::vector<std::string> notes;         // accepted switches the host cannot honour
    std::string error;                      // not empty: nothing can be built
};

// The run-time checks of a guarded build (NOLLEX_GUARD=1 in the environment):
// address and undefined-behaviour checks that stop at the first fault, with line
// information. Added last, to every compile and to the link. Both checkers'
// runtimes are linked in statically: only then do both honour log_path. guardLibrary, when not empty, is linked whole: it
// has the program write its buffered output when a check stops it.
void AddRunTimeChecks(Plan& plan, const std::string& guardLibrary);

// A build for the debugger (NOLLEX_DEBUG=1): line information and no optimisation,
// added last so that they win over the switches' -O1/-O2, and every line of the
// page stays a place the debugger can stop at.
void AddDebugInfo(Plan& plan);

// configWords (from bcc32.cfg) come first, so the command line has the last word.
Plan PlanBuild(const std::vector<std::string>& configWords,
               const std::vector<std::string>& commandWords);

// The headers and library for programs written for the old compilers (conio.h,
// dos.h, windows.h). Their folder is searched after every other, and the library
// is linked only into programs that included one of the headers.
struct Compat {
    std::string includeFolder;  // empty: there is none
    std::string library;        // the archive's path
    std::string scratchFolder;  // where each compile lists the headers it read
};

struct Host {
    std::vector<std::string> cc{"gcc"};   // may carry its own words, e.g. "ccache gcc"
    std::vector<std::string> cxx{"g++"};
    Compat compat;
};

struct Step {
    std::vector<std::string> argv;  // the host compiler's command
    std::string output;             // the file it makes
    std::string headerList;         // a compile's list of the headers it read, if any
    bool operator==(const Step&) const = default;
};

// The compile of every source, then the link unless "-c" or "-S" stops before it.
// withCompatLibrary: the link takes the compatibility library. Object files given
// by name always have it added, since nothing tells what they included.
std::vector<Step> HostSteps(const Plan& plan, const Host& host, bool withCompatLibrary = false);

// The replay's build of a guarded build (NOLLEX_REPLAY=PROGRAM): the same sources
// and switches without the checks, with line information and no optimisation, its
// objects and program at PROGRAM and PROGRAM.N.o (the private runs folder, never
// the page's). Every link takes the compatibility library when there is one: it adds
// nothing a program does not call, and no header lists are kept for it.
std::vector<Step> ReplaySteps(Plan plan, const Host& host, const std::string& program);

// Whether a compile's dependency list (make's syntax, as gcc's -MD writes it)
// names a file in folder.
bool ListsFileIn(std::string_view dependencies, std::string_view folder);

// Whether bytes are well-formed UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
bool IsValidUtf8(std::string_view bytes);

// The words of bcc32.cfg: every line split by the Windows word rules, so
// -I"/usr/x/include" gives -I/usr/x/include.
std::vector<std::string> ParseConfigText(std::string_view text);

}  // namespace nollex::bcc
