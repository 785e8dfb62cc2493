#include "TextSearch.h"

#include <algorithm>

namespace nollex {

namespace {

// The second half of a surrogate pair: a place inside one character.
bool insideCharacter(QStringView text, qsizetype k)
{
    return k > 0 && k < text.size() && text[k].isLowSurrogate() && text[k - 1].isHighSurrogate();
}

// Horspool's search in both directions over UTF-16 units. A page may hold ten
// megabytes, so a miss must not compare at every position. The shift tables are
// keyed by a unit's low byte; units that share it share the smaller shift.
class Horspool {
public:
    explicit Horspool(QStringView pattern) : p_(pattern)
    {
        const qsizetype m = p_.size();
        std::fill(std::begin(down_), std::end(down_), m);
        std::fill(std::begin(up_), std::end(up_), m);
        for (qsizetype i = 0; i + 1 < m; ++i)
            down_[key(p_[i])] = m - 1 - i;
        for (qsizetype i = m - 1; i >= 1; --i)
            up_[key(p_[i])] = i;
    }

    // First occurrence starting at from or later.
    qsizetype forward(QStringView t, qsizetype from) const
    {
        const qsizetype m = p_.size();
        for (qsizetype i = from; i + m <= t.size(); i += down_[key(t[i + m - 1])]) {
            if (t[i + m - 1] == p_[m - 1] && t.sliced(i, m - 1) == p_.first(m - 1))
                return i;
        }
        return -1;
    }

    // Last occurrence starting at from or earlier.
    qsizetype backward(QStringView t, qsizetype from) const
    {
        const qsizetype m = p_.size();
        for (qsizetype i = std::min(from, t.size() - m); i >= 0; i -= up_[key(t[i])]) {
            if (t[i] == p_[0] && t.sliced(i + 1, m - 1) == p_.sliced(1))
                return i;
        }
        return -1;
    }

private:
    static unsigned key(QChar c) { return c.unicode() & 0xFF; }

    QStringView p_;
    qsizetype down_[256];
    qsizetype up_[256];
};

}  // namespace

std::optional<qsizetype> findInText(QStringView text, qsizetype caret, QStringView pattern,
                                     FindDirection d)
{
    if (pattern.isEmpty() || pattern.size() > text.size())
        return std::nullopt;
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    const Horspool search(pattern);

    if (d != FindDirection::Up) {
        qsizetype from = caret;
        if (d == FindDirection::Down && from < text.size())
            from += insideCharacter(text, from + 1) ? 2 : 1;
        else if (d == FindDirection::Down)
            return std::nullopt;  // nothing lies after the end
        for (qsizetype k = search.forward(text, from); k >= 0; k = search.forward(text, k + 1)) {
            if (!insideCharacter(text, k))
                return k;
        }
        return std::nullopt;
    }

    // Upward: the nearest occurrence that starts before the caret.
    for (qsizetype k = search.backward(text, caret - 1); k >= 0; k = search.backward(text, k - 1)) {
        if (!insideCharacter(text, k))
            return k;
    }
    return std::nullopt;
}

QString documentPattern(const QString& searchText)
{
    QString p = searchText;
    p.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    p.replace(u'\r', u'\n');
    return p;
}

}  // namespace nollex
