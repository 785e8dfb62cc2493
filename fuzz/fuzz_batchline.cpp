// The stand-in command interpreter's batch-line parser. Any line parses without
// crashing into something it can carry out or refuse with a reason. And the lines
// a build writes, with any folder and file names in them, parse back to exactly
// those names: a name can never add a word, a redirection or a command.

#include "FuzzSupport.h"

#include "cmd/BatchLine.h"
#include "platform/WinCommandLine.h"

using namespace nollex;
using nollex::cmd::BatchLine;
using nollex::cmd::ParseBatchLine;

namespace {

void checkWellFormed(const BatchLine& b)
{
    for (const cmd::Redirect& r : b.redirects) {
        FUZZ_CHECK(r.fd >= 0 && r.fd <= 2);
        FUZZ_CHECK(r.toFd == -1 || r.toFd == 1 || r.toFd == 2);
        FUZZ_CHECK(r.toFd != -1 || !r.file.empty());
    }
    if (!b.error.empty())
        return;
    switch (b.kind) {
    case BatchLine::Kind::Run:
        FUZZ_CHECK(!b.words.empty() && !b.words.front().empty());
        break;
    case BatchLine::Kind::Empty:
    case BatchLine::Kind::Rem:
    case BatchLine::Kind::Cls:
    case BatchLine::Kind::Exit:
        FUZZ_CHECK(b.words.empty());
        break;
    case BatchLine::Kind::Cd:
        FUZZ_CHECK(b.words.empty());
        if (b.folder)
            FUZZ_CHECK(b.folder->find('"') == std::string::npos);
        break;
    }
}

bool oneLine(const std::string& s)
{
    return s.find_first_of("\r\n") == std::string::npos;
}

// The three lines of a build's batch file, written as the build writes them:
//   cd "COMPILER FOLDER"
//   bcc32.exe -n"OUTPUT FOLDER" "SOURCE" > "MESSAGE FILE"
//   rem PROGRAM FOLDER
void checkBuildLines(const std::vector<std::string>& names)
{
    const std::string& compilerFolder = names[0];
    const std::string& outputFolder = names[1];
    const std::string& source = names[2];
    const std::string& messageFile = names[3];
    for (const std::string& n : names)
        if (!oneLine(n))
            return;  // the build refuses such names before writing any line
    if (source.empty() || messageFile.empty())
        return;

    const std::string text = "cd \"" + compilerFolder + "\"\r\n" +
                             "bcc32.exe -n" + QuoteWindowsArgument(outputFolder) + ' ' +
                             QuoteWindowsArgument(source) + " > " + QuoteWindowsArgument(messageFile) +
                             "\r\nrem " + compilerFolder + "\r\n";
    const std::vector<std::string> lines = cmd::SplitBatchText(text);
    FUZZ_CHECK(lines.size() == 3);

    // "cd" takes the rest of the line with every quote removed, so a folder name
    // holding a quote cannot be written (that folder is the user's own setting).
    const BatchLine cd = ParseBatchLine(lines[0]);
    checkWellFormed(cd);
    if (compilerFolder.find('"') == std::string::npos) {
        FUZZ_CHECK(cd.kind == BatchLine::Kind::Cd);
        FUZZ_CHECK(cd.error.empty() && cd.folder && *cd.folder == compilerFolder);
    }

    const BatchLine compile = ParseBatchLine(lines[1]);
    FUZZ_CHECK(compile.error.empty());
    FUZZ_CHECK(compile.kind == BatchLine::Kind::Run);
    const std::vector<std::string> expected{"bcc32.exe", "-n" + outputFolder, source};
    FUZZ_CHECK(compile.words == expected);
    FUZZ_CHECK(compile.redirects.size() == 1);
    FUZZ_CHECK(compile.redirects[0] == (cmd::Redirect{1, messageFile, false, -1}));

    FUZZ_CHECK(ParseBatchLine(lines[2]).kind == BatchLine::Kind::Rem);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    for (const std::string& line : cmd::SplitBatchText(input))
        checkWellFormed(ParseBatchLine(line));
    checkWellFormed(ParseBatchLine(input));

    std::vector<std::string> names = fuzz::splitAtNul(input);
    if (names.size() >= 4) {
        names.resize(4);
        checkBuildLines(names);
    }
    return 0;
}
