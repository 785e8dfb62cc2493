#include "cmd/BatchLine.h"

#include "platform/WinCommandLine.h"

#include <cctype>

namespace nollex::cmd {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix)
{
    if (s.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[i])) != prefix[i])
            return false;
    return true;
}

bool equalsNoCase(std::string_view s, std::string_view lower)
{
    return s.size() == lower.size() && startsWithNoCase(s, lower);
}

// The operator of the redirection at line[i] ('<' or '>'), i moved past it, op
// its text for messages. A lone 1 or 2 written right before ">" names the stream,
// as in 2>&1, and is taken back from command.
Redirect readOperator(std::string_view line, std::size_t& i, std::string& command, std::string& op)
{
    const std::size_t n = line.size();
    const char c = line[i];
    Redirect r;
    op.assign(1, c);
    ++i;
    if (c == '<') {
        r.fd = 0;
        return r;
    }
    if (!command.empty() && (command.back() == '1' || command.back() == '2')
        && (command.size() == 1 || isBlank(command[command.size() - 2]))) {
        r.fd = command.back() - '0';
        op.insert(op.begin(), command.back());
        command.pop_back();
    }
    if (i < n && line[i] == '>') {
        r.append = true;
        op += '>';
        ++i;
    }
    if (i + 1 < n && line[i] == '&' && (line[i + 1] == '1' || line[i + 1] == '2')) {
        r.toFd = line[i + 1] - '0';
        i += 2;
    }
    return r;
}

// The file named after a redirection's operator, quotes removed, i moved past it;
// empty when there is none.
std::string readTarget(std::string_view line, std::size_t& i)
{
    const std::size_t n = line.size();
    while (i < n && isBlank(line[i]))
        ++i;
    const std::size_t start = i;
    bool quoted = false;
    while (i < n) {
        const char d = line[i];
        if (d == '"')
            quoted = !quoted;
        else if (!quoted && (isBlank(d) || d == '<' || d == '>'))
            break;
        ++i;
    }
    const std::vector<std::string> target = SplitWindowsCommandLine(line.substr(start, i - start));
    return target.empty() ? std::string() : target.front();
}

// Takes the redirections out of the line; what stays is the command with a blank
// where each redirection was. Sets out.error for a redirection without a target.
std::string cutRedirections(std::string_view line, BatchLine& out)
{
    std::string command;
    bool quoted = false;
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '"')
            quoted = !quoted;
        if (quoted || c == '"' || (c != '>' && c != '<')) {
            command += c;
            ++i;
            continue;
        }
        std::string op;
        Redirect r = readOperator(line, i, command, op);
        if (r.toFd < 0) {
            r.file = readTarget(line, i);
            if (r.file.empty()) {
                out.error = "\"" + op + "\" の後にファイルの名前がありません";
                return command;
            }
        }
        out.redirects.push_back(r);
        command += ' ';
    }
    return command;
}

// A "cd" or "chdir" line into out; false when the command is none.
bool takeChangeFolder(std::string_view command, BatchLine& out)
{
    for (std::string_view name : {std::string_view("chdir"), std::string_view("cd")}) {
        if (!startsWithNoCase(command, name))
            continue;
        if (command.size() == name.size()) {
            out.kind = BatchLine::Kind::Cd;
            return true;
        }
        const char next = command[name.size()];
        if (!isBlank(next) && next != '.' && next != '/' && next != '\\' && next != '"')
            return false;  // a program whose name begins with "cd"
        std::string_view rest = trim(command.substr(name.size()));
        if (startsWithNoCase(rest, "/d") && rest.size() > 2 && isBlank(rest[2]))
            rest = trim(rest.substr(2));  // drive switching has no meaning here
        out.kind = BatchLine::Kind::Cd;
        if (!rest.empty()) {
            std::string folder;
            for (char c : rest)
                if (c != '"')
                    folder += c;
            out.folder = folder;
        }
        return true;
    }
    return false;
}

// "exit", "exit N" and "exit /b N" into out.
void takeExit(const std::vector<std::string>& words, BatchLine& out)
{
    out.kind = BatchLine::Kind::Exit;
    std::size_t k = 1;
    if (k < words.size() && equalsNoCase(words[k], "/b"))
        ++k;
    if (k < words.size()) {
        try {
            out.exitCode = std::stoi(words[k]);
        } catch (const std::exception&) {
            out.exitCode = 0;
        }
    }
}

}  // namespace

BatchLine ParseBatchLine(std::string_view raw)
{
    BatchLine out;
    std::string_view line = trim(raw);
    if (!line.empty() && line.front() == '@')
        line = trim(line.substr(1));
    if (line.empty())
        return out;
    if (startsWithNoCase(line, "rem") && (line.size() == 3 || isBlank(line[3]))) {
        out.kind = BatchLine::Kind::Rem;
        return out;
    }

    const std::string commandText = cutRedirections(line, out);
    if (!out.error.empty())
        return out;
    const std::string_view command = trim(commandText);
    if (takeChangeFolder(command, out))
        return out;

    std::vector<std::string> words = SplitWindowsCommandLine(command);
    if (words.empty())
        return out;  // only redirections: their files are still created
    if (equalsNoCase(words[0], "exit")) {
        takeExit(words, out);
        return out;
    }
    if (words.size() == 1 && equalsNoCase(words[0], "cls")) {
        out.kind = BatchLine::Kind::Cls;
        return out;
    }
    out.kind = BatchLine::Kind::Run;
    if (words[0].empty())
        out.error = "実行するプログラムの名前がありません";
    out.words = std::move(words);
    return out;
}

std::vector<std::string> SplitBatchText(std::string_view text)
{
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view l = text.substr(start, end - start);
        if (!l.empty() && l.back() == '\r')
            l.remove_suffix(1);
        lines.emplace_back(l);
        start = end + 1;
    }
    return lines;
}

}  // namespace nollex::cmd
