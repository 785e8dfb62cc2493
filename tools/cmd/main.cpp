// cmd.exe, the stand-in command interpreter.
//
//   cmd.exe /C PROGRAM [ARGS...]   run the program (or batch file) and end
//   cmd.exe /K PROGRAM [ARGS...]   run it, report its exit status, then prompt until EXIT
//   cmd.exe                        prompt until EXIT
//
// The words after /C or /K arrive already separated by whoever started us, so they
// are used as they are: no second splitting and no redirection, so a path holding
// blanks, quotes or ">" stays one word. Redirection belongs in batch lines.
//
// Exit status: that of the last program run (128 + N when signal N killed it), 127
// when a program is not found, 126 when it cannot be started, 1 for other failures.
// Messages start with "cmd.exe: " and go where the failing line's output goes.
#include "cmd/Interpreter.h"
#include "common/Process.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    using nollex::tools::AsciiLower;
    enum class Mode { Prompt, Run, RunThenPrompt } mode = Mode::Prompt;
    int i = 1;
    bool ignored = false;
    for (; i < argc; ++i) {
        const std::string a = AsciiLower(argv[i]);
        if (a == "/c" || a == "/k") {
            mode = a == "/c" ? Mode::Run : Mode::RunThenPrompt;
            ++i;
            break;
        }
        // Switches that change echoing, colours or code pages have nothing to change here.
        if (a == "/q" || a == "/d" || a == "/a" || a == "/u" || a == "/s" || a.starts_with("/e:")
            || a.starts_with("/f:") || a.starts_with("/v:") || a.starts_with("/t:"))
            continue;
        ignored = true;
        break;
    }

    nollex::cmd::Interpreter interpreter;
    if (mode == Mode::Prompt) {
        if (ignored)
            nollex::tools::WriteAll(1, "cmd.exe: コマンドの前に /C か /K を付けてください。プロンプトを開きます。\n");
        return interpreter.interactive();
    }
    const std::vector<std::string> words(argv + i, argv + argc);
    const int status = interpreter.runWords(words, mode == Mode::RunThenPrompt);
    if (mode == Mode::Run || interpreter.exitRequested())
        return status;
    return interpreter.interactive();
}
