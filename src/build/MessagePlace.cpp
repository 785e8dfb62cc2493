#include "MessagePlace.h"

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

}  // namespace nollex
