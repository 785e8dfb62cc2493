#include "platform/WinCommandLine.h"

namespace nollex {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isSpecial(char c)
{
    switch (c) {
    case '"': case '<': case '>': case '|': case '&': case '^': case '%':
        return true;
    default:
        return isBlank(c);
    }
}

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line)
{
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;  // a word has started, even if it is still empty ("")
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c != '"') {
                word += c;
            } else if (i + 1 < line.size() && line[i + 1] == '"') {
                word += '"';
                ++i;
            } else {
                quoted = false;
            }
        } else if (c == '"') {
            quoted = true;
            inWord = true;
        } else if (isBlank(c)) {
            if (inWord) {
                words.push_back(std::move(word));
                word.clear();
                inWord = false;
            }
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord)
        words.push_back(std::move(word));
    return words;
}

std::string QuoteWindowsArgument(std::string_view word)
{
    bool needsQuotes = word.empty();
    for (char c : word)
        needsQuotes = needsQuotes || isSpecial(c);
    if (!needsQuotes)
        return std::string(word);
    std::string out = "\"";
    for (char c : word) {
        out += c;
        if (c == '"')
            out += '"';
    }
    out += '"';
    return out;
}

std::string JoinWindowsCommandLine(const std::vector<std::string>& words)
{
    std::string line;
    for (const std::string& w : words) {
        if (!line.empty())
            line += ' ';
        line += QuoteWindowsArgument(w);
    }
    return line;
}

}  // namespace nollex
