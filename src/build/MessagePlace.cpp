#include "MessagePlace.h"

#include "platform/FileSystem.h"

#include <QRegularExpression>

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

int number(const QString& digits)
{
    bool ok = false;
    const int n = digits.toInt(&ok);
    return ok ? n : 0;
}

}  // namespace

std::optional<MessagePlace> parseMessagePlace(const QString& line)
{
    // "In file included from a.h:3:" and its "from b.cpp:1," continuation lines.
    static const QRegularExpression included(QStringLiteral(
        "^\\s*(?:In file included from|from|次のファイルから読み込み:|次から読み込み:)\\s+(.+?):(\\d+)(?::(\\d+))?[:,]?\\s*$"));
    // The file is the shortest prefix after which ":line:" (and ":column:") follow;
    // it never starts with a blank, which source excerpts ("    5 | x") do.
    static const QRegularExpression gcc(QStringLiteral("^(\\S.*?):(\\d+):(?:(\\d+):)?(?:\\s(.*))?$"));
    static const QRegularExpression windows(
        QStringLiteral("^(Error|Warning|Fatal) [EWF]\\d+ (.+) (\\d+): (.*)$"));

    if (const QRegularExpressionMatch m = included.match(line); m.hasMatch())
        return MessagePlace{m.captured(1), number(m.captured(2)), number(m.captured(3)), MessageKind::IncludedFrom};
    if (const QRegularExpressionMatch m = windows.match(line); m.hasMatch()) {
        const QString word = m.captured(1);
        const MessageKind kind = word == QStringLiteral("Warning") ? MessageKind::Warning : MessageKind::Error;
        return MessagePlace{m.captured(2), number(m.captured(3)), 0, kind};
    }
    if (const QRegularExpressionMatch m = gcc.match(line); m.hasMatch()) {
        const int lineNumber = number(m.captured(2));
        if (lineNumber <= 0)
            return std::nullopt;
        return MessagePlace{m.captured(1), lineNumber, number(m.captured(3)), kindOf(m.captured(4))};
    }
    return std::nullopt;
}

namespace {

bool isWide(char32_t c)
{
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
           (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
           (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x1F300 && c <= 0x1F64F) ||
           (c >= 0x20000 && c <= 0x3FFFD);
}

}  // namespace

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
            cell += isWide(c) ? 2 : 1;
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
