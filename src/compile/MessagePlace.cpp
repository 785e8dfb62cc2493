#include "MessagePlace.h"

#include "platform/FileSystem.h"

#include <algorithm>

namespace nollex {

namespace {

// What follows the place says the kind; gcc translates the words.
MessageKind kindOf(QStringView rest)
{
    rest = rest.trimmed();
    const auto startsWithAny = [&](std::initializer_list<const char16_t*> words) {
        for (const char16_t* w : words) {
            if (rest.startsWith(QStringView(w)))
                return true;
        }
        return false;
    };
    if (startsWithAny({u"error", u"fatal error", u"エラー", u"致命的エラー"}))
        return MessageKind::Error;
    if (startsWithAny({u"warning", u"警告"}))
        return MessageKind::Warning;
    if (startsWithAny({u"note", u"備考"}))
        return MessageKind::Note;
    return MessageKind::Other;
}

int number(QStringView digits)
{
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : 0;
}

// The readers below look at each character a bounded number of times, so a line of
// any length (a compiler echoing a 100,000-character source line) costs time in
// proportion to its length. Blanks and digits are the ASCII ones.
bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\v' || c == u'\f' || c == u'\r';
}

qsizetype skipBlanks(QStringView s, qsizetype i)
{
    while (i < s.size() && isBlank(s[i]))
        ++i;
    return i;
}

qsizetype skipDigits(QStringView s, qsizetype i)
{
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
        ++i;
    return i;
}

bool charAt(QStringView s, qsizetype i, char16_t c) { return i < s.size() && s[i] == c; }

bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// The next colon at or after i, or -1. The library's search runs fast over long
// stretches; where colons lie close together a look at the next few characters
// costs less than a call for each.
qsizetype nextColon(QStringView s, qsizetype i)
{
    constexpr qsizetype kNear = 32;
    for (const qsizetype near = std::min(i + kNear, s.size()); i < near; ++i) {
        if (s[i] == u':')
            return i;
    }
    return i < s.size() ? s.indexOf(u':', i) : -1;
}

// Where the digits that end right before end start, looking no further back than
// floor; end itself when there are none.
qsizetype digitsBefore(QStringView s, qsizetype end, qsizetype floor)
{
    while (end > floor && isDigit(s[end - 1]))
        --end;
    return end;
}

// "file:line:column" or "file:line" whose last digits end at end, the file not
// starting before floor nor empty. With a column, the file is the shorter: that is
// what a reader taking the shortest file that fits would take. The file's end
// (its colon), the line and the column (0 for none); nothing when neither fits.
struct PlaceEnd {
    qsizetype fileEnd;
    int line;
    int column;
};
std::optional<PlaceEnd> placeEndingAt(QStringView s, qsizetype end, qsizetype floor)
{
    const qsizetype last = digitsBefore(s, end, floor);
    if (last == end || last - 1 <= floor || s[last - 1] != u':')
        return std::nullopt;
    const qsizetype first = digitsBefore(s, last - 1, floor);
    if (first < last - 1 && first - 1 > floor && s[first - 1] == u':')
        return PlaceEnd{first - 1, number(s.sliced(first, last - 1 - first)), number(s.sliced(last, end - last))};
    return PlaceEnd{last - 1, number(s.sliced(last, end - last)), 0};
}

// "In file included from a.h:3:" and its "from b.cpp:1," continuation lines: the
// file from the first non-blank, ":line", maybe ":column", maybe one ':' or ',',
// and then only blanks, so the place is read from the line's end.
std::optional<MessagePlace> includedFrom(QStringView line)
{
    static const char16_t* const leads[] = {u"In file included from", u"from", u"次のファイルから読み込み:",
                                            u"次から読み込み:"};
    const QStringView rest = line.sliced(skipBlanks(line, 0));
    qsizetype after = -1;
    for (const char16_t* lead : leads) {
        if (rest.startsWith(QStringView(lead))) {
            after = line.size() - rest.size() + QStringView(lead).size();
            break;
        }
    }
    if (after < 0 || after >= line.size() || !isBlank(line[after]))
        return std::nullopt;
    const qsizetype file = skipBlanks(line, after);
    qsizetype end = line.size();
    while (end > file && isBlank(line[end - 1]))
        --end;
    if (end > file && (line[end - 1] == u':' || line[end - 1] == u','))
        --end;
    const std::optional<PlaceEnd> place = placeEndingAt(line, end, file);
    if (!place)
        return std::nullopt;
    return MessagePlace{line.sliced(file, place->fileEnd - file).toString(), place->line, place->column,
                        MessageKind::IncludedFrom};
}

// The older Windows compilers' "Error E2451 hello.cpp 5: text": the file runs to
// the last " line: " of the line, so it may hold blanks.
std::optional<MessagePlace> windowsForm(QStringView line)
{
    const bool warning = line.startsWith(u"Warning ");
    if (!warning && !line.startsWith(u"Error ") && !line.startsWith(u"Fatal "))
        return std::nullopt;
    const MessageKind kind = warning ? MessageKind::Warning : MessageKind::Error;
    const qsizetype i = warning ? 8 : 6;
    if (!(charAt(line, i, u'E') || charAt(line, i, u'W') || charAt(line, i, u'F')))
        return std::nullopt;
    const qsizetype file = skipDigits(line, i + 1);
    if (file == i + 1 || !charAt(line, file, u' '))
        return std::nullopt;
    for (qsizetype blank = line.size() - 1; blank > file + 1; --blank) {
        if (line[blank] != u' ')
            continue;
        const qsizetype digitsEnd = skipDigits(line, blank + 1);
        if (digitsEnd > blank + 1 && charAt(line, digitsEnd, u':') && charAt(line, digitsEnd + 1, u' '))
            return MessagePlace{line.sliced(file + 1, blank - file - 1).toString(),
                                number(line.sliced(blank + 1, digitsEnd - blank - 1)), 0, kind};
    }
    return std::nullopt;
}

// "file:line:column: kind: text" and "file:line: text": the file is the shortest
// start of the line after which the rest fits; it never starts with a blank, which
// source excerpts ("    5 | x") do. The place ends at a colon followed by a blank
// or the line's end; the first such colon that a place fits before decides.
std::optional<MessagePlace> gccForm(QStringView line)
{
    const qsizetype n = line.size();
    if (n == 0 || isBlank(line[0]))
        return std::nullopt;
    for (qsizetype end = nextColon(line, 1); end >= 0; end = nextColon(line, end + 1)) {
        if (end + 1 < n && !isBlank(line[end + 1]))
            continue;
        const std::optional<PlaceEnd> place = placeEndingAt(line, end, 0);
        if (!place)
            continue;
        if (place->line <= 0)
            return std::nullopt;
        return MessagePlace{line.first(place->fileEnd).toString(), place->line, place->column,
                            kindOf(line.sliced(std::min(end + 2, n)))};
    }
    return std::nullopt;
}

}  // namespace

std::optional<MessagePlace> parseMessagePlace(QStringView line)
{
    if (std::optional<MessagePlace> place = includedFrom(line))
        return place;
    if (std::optional<MessagePlace> place = windowsForm(line))
        return place;
    return gccForm(line);
}

bool isWideCharacter(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

int characterIndexForColumn(QStringView lineText, int column)
{
    constexpr int kTabStop = 8;
    int cell = 1;  // the column the next character starts at
    qsizetype i = 0;
    while (i < lineText.size() && cell < column) {
        char32_t c = lineText[i].unicode();
        qsizetype units = 1;
        if (QChar::isHighSurrogate(c) && i + 1 < lineText.size() && lineText[i + 1].isLowSurrogate()) {
            c = QChar::surrogateToUcs4(lineText[i], lineText[i + 1]);
            units = 2;
        }
        if (c == u'\t')
            cell = ((cell - 1) / kTabStop + 1) * kTabStop + 1;
        else
            cell += isWideCharacter(c) ? 2 : 1;
        i += units;
    }
    return int(i);
}

int pageForMessageFile(const QString& file, const QString& builtSource, int builtPage,
                       const QStringList& pageFiles, const FileSystem& fs)
{
    if (builtPage >= 0 && fs.sameEntry(file, builtSource))
        return builtPage;
    for (int i = 0; i < pageFiles.size(); ++i) {
        if (fs.sameEntry(file, pageFiles[i]))
            return i;
    }
    return -1;
}

}  // namespace nollex
