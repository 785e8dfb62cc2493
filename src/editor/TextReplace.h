#pragma once
// Search and replace over a page's text, without a window: the occurrences of a
// search text (exact or any case, whole words only, or a regular expression) and
// the text each one is replaced with. Positions count UTF-16 units, as the
// page's interface does; an occurrence never starts inside a character.

#include <QRegularExpression>
#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace nollex {

struct ReplaceQuery {
    QString find;
    QString replacement;
    bool matchCase = true;
    bool wholeWord = false;
    bool regex = false;  // the replacement then takes \0..\9, \n, \t and \\ too
};

// Text [start, start + length) becomes text.
struct TextEdit {
    qsizetype start = 0;
    qsizetype length = 0;
    QString text;
};

class TextMatcher {
public:
    explicit TextMatcher(const ReplaceQuery& query);

    // Empty when the query can search; otherwise why not (a regular expression
    // that does not compile, an empty search text).
    QString error() const { return error_; }

    // The first occurrence starting at from or later, as the edit replacing it.
    std::optional<TextEdit> next(const QString& text, qsizetype from) const;
    // Every occurrence, in order, none overlapping.
    std::vector<TextEdit> all(const QString& text) const;

private:
    std::optional<TextEdit> plainNext(const QString& text, qsizetype from) const;
    std::optional<TextEdit> regexNext(const QString& text, qsizetype from) const;
    bool wordBounded(QStringView text, qsizetype start, qsizetype length) const;

    ReplaceQuery q_;
    QString pattern_;      // the plain search text as the page holds line breaks
    QString replacement_;  // the plain replacement, the same way
    QRegularExpression re_;
    QString error_;
};

}  // namespace nollex
