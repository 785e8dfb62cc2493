#include "TextReplace.h"

#include "TextSearch.h"

namespace nollex {

namespace {

bool insideCharacter(QStringView text, qsizetype k)
{
    return k > 0 && k < text.size() && text[k].isLowSurrogate() && text[k - 1].isHighSurrogate();
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// The replacement of one regular-expression match: \0..\9 name its groups.
QString expand(const QString& replacement, const QRegularExpressionMatch& m)
{
    QString out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const QChar c = replacement[i];
        if (c != u'\\' || i + 1 == replacement.size()) {
            out += c;
            continue;
        }
        const QChar n = replacement[++i];
        if (n.isDigit() && n.unicode() < 128)
            out += m.captured(n.unicode() - u'0');
        else if (n == u'n')
            out += u'\n';
        else if (n == u't')
            out += u'\t';
        else if (n == u'\\')
            out += u'\\';
        else
            out += QStringView(replacement).sliced(i - 1, 2);
    }
    return out;
}

}  // namespace

TextMatcher::TextMatcher(const ReplaceQuery& query) : q_(query)
{
    if (q_.find.isEmpty()) {
        error_ = QStringLiteral("検索する文字列がありません。");
        return;
    }
    if (!q_.regex) {
        pattern_ = documentPattern(q_.find);
        replacement_ = documentPattern(q_.replacement);
        return;
    }
    // ^ and $ match at every line, as in the editors learners know.
    auto options = QRegularExpression::UseUnicodePropertiesOption | QRegularExpression::MultilineOption;
    if (!q_.matchCase)
        options |= QRegularExpression::CaseInsensitiveOption;
    re_ = QRegularExpression(q_.find, options);
    if (!re_.isValid())
        error_ = QStringLiteral("正規表現が正しくありません: ") + re_.errorString();
    else
        re_.optimize();
}

bool TextMatcher::wordBounded(QStringView text, qsizetype start, qsizetype length) const
{
    if (!q_.wholeWord)
        return true;
    const qsizetype end = start + length;
    return (start == 0 || !isWordChar(text[start - 1])) && (end == text.size() || !isWordChar(text[end]));
}

std::optional<TextEdit> TextMatcher::plainNext(const QString& text, qsizetype from) const
{
    for (qsizetype k = from; k <= text.size();) {
        qsizetype at = -1;
        if (q_.matchCase) {
            // The exact search steps over a character's second half itself.
            at = findInText(text, k, pattern_, FindDirection::Ask).value_or(-1);
        } else {
            at = QStringView(text).indexOf(pattern_, k, Qt::CaseInsensitive);
            if (at >= 0 && insideCharacter(text, at)) {
                k = at + 1;
                continue;
            }
        }
        if (at < 0)
            return std::nullopt;
        if (wordBounded(text, at, pattern_.size()))
            return TextEdit{at, pattern_.size(), replacement_};
        k = at + 1;
    }
    return std::nullopt;
}

std::optional<TextEdit> TextMatcher::regexNext(const QString& text, qsizetype from) const
{
    for (qsizetype k = from; k <= text.size();) {
        const QRegularExpressionMatch m = re_.match(text, k);
        if (!m.hasMatch())
            return std::nullopt;
        const qsizetype at = m.capturedStart();
        if (!insideCharacter(text, at) && wordBounded(text, at, m.capturedLength()))
            return TextEdit{at, m.capturedLength(), expand(q_.replacement, m)};
        k = at + 1;
    }
    return std::nullopt;
}

std::optional<TextEdit> TextMatcher::next(const QString& text, qsizetype from) const
{
    if (!error_.isEmpty())
        return std::nullopt;
    from = std::clamp<qsizetype>(from, 0, text.size());
    return q_.regex ? regexNext(text, from) : plainNext(text, from);
}

std::vector<TextEdit> TextMatcher::all(const QString& text) const
{
    std::vector<TextEdit> edits;
    qsizetype from = 0;
    while (std::optional<TextEdit> e = next(text, from)) {
        // An empty match (^, x*) replaces once there and the search moves on.
        from = e->start + std::max<qsizetype>(e->length, 1);
        if (e->length == 0 && e->start < text.size() && text[e->start].isHighSurrogate())
            ++from;
        edits.push_back(std::move(*e));
        if (from > text.size())
            break;
    }
    return edits;
}

}  // namespace nollex
