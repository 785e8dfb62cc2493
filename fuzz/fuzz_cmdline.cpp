// The Windows command-line splitter and the quoting that writes words for it.
// Any line splits without crashing into words that quote back to the same words;
// any list of words, quoted and joined, splits back into exactly that list (the
// input's NUL bytes separate the words, since no word can hold one).

#include "FuzzSupport.h"

#include "platform/WinCommandLine.h"

using namespace nollex;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // The input as one command line.
    const std::vector<std::string> words = SplitWindowsCommandLine(input);
    for (const std::string& w : words)
        FUZZ_CHECK(w.size() <= input.size());
    FUZZ_CHECK(SplitWindowsCommandLine(JoinWindowsCommandLine(words)) == words);

    // The input as a list of words.
    const std::vector<std::string> list = fuzz::splitAtNul(input);
    const std::string line = JoinWindowsCommandLine(list);
    FUZZ_CHECK(SplitWindowsCommandLine(line) == list);
    for (const std::string& w : list) {
        const std::string quoted = QuoteWindowsArgument(w);
        FUZZ_CHECK(SplitWindowsCommandLine(quoted) == std::vector<std::string>{w});
        // A quoted word never lets a character that a command interpreter treats
        // specially stand outside quotes.
        bool inQuotes = false;
        for (char c : quoted) {
            if (c == '"')
                inQuotes = !inQuotes;
            else if (!inQuotes)
                FUZZ_CHECK(std::string_view(" \t<>|&^%").find(c) == std::string_view::npos);
        }
    }
    return 0;
}
