#include "Compare.h"

#include <algorithm>
#include <cmath>

namespace nollex {

namespace {

// A text cut into lines: blanks at line ends and empty lines at the end do not count.
struct Lines {
    QString text;
    QList<QStringView> lines;  // with their blanks, into text
    qsizetype count = 0;       // lines that count

    explicit Lines(const QString& source) : text(source)
    {
        if (text.contains(u'\r')) {
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text.replace(u'\r', u'\n');
        }
        lines = QStringView(text).split(u'\n');
        count = lines.size();
        while (count > 0 && trimmed(count - 1).isEmpty())
            --count;
    }
    QStringView trimmed(qsizetype i) const
    {
        QStringView line = lines[i];
        while (!line.isEmpty() && (line.back() == u' ' || line.back() == u'\t'))
            line.chop(1);
        return line;
    }
    QString shown(qsizetype i) const { return i < count ? shownFromCompared(lines[i].toString()) : QString(); }
};

qsizetype digits(QStringView s, qsizetype i)
{
    while (i < s.size() && s[i] >= u'0' && s[i] <= u'9')
        ++i;
    return i;
}

// A decimal number as programs print them: [+-]digits[.digits][e[+-]digits], with
// digits on at least one side of the point. "nan", "inf" and hex are words.
bool decimal(QStringView s)
{
    qsizetype i = !s.isEmpty() && (s[0] == u'+' || s[0] == u'-') ? 1 : 0;
    const qsizetype whole = digits(s, i);
    qsizetype end = whole;
    if (end < s.size() && s[end] == u'.')
        end = digits(s, end + 1);
    if (whole == i && end <= whole + 1)
        return false;
    if (end < s.size() && (s[end] == u'e' || s[end] == u'E')) {
        qsizetype e = end + 1;
        if (e < s.size() && (s[e] == u'+' || s[e] == u'-'))
            ++e;
        end = digits(s, e);
        if (end == e)
            return false;
    }
    return end == s.size();
}

std::optional<double> number(QStringView token)
{
    if (!decimal(token))
        return std::nullopt;
    bool ok = false;
    const double value = token.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool tokensMatch(QStringView a, QStringView b, double tolerance)
{
    if (a == b)
        return true;
    const std::optional<double> x = number(a);
    const std::optional<double> y = number(b);
    if (!x || !y)
        return false;
    const double difference = std::fabs(*x - *y);
    return difference <= std::max(tolerance, tolerance * std::max(std::fabs(*x), std::fabs(*y)));
}

bool linesMatch(QStringView a, QStringView b, const CompareOptions& options)
{
    if (a == b)
        return true;
    if (!options.numbersWithin)
        return false;
    const QList<QStringView> x = a.split(u' ', Qt::SkipEmptyParts);
    const QList<QStringView> y = b.split(u' ', Qt::SkipEmptyParts);
    QList<QStringView> xs, ys;
    for (QStringView t : x)
        xs += t.split(u'\t', Qt::SkipEmptyParts);
    for (QStringView t : y)
        ys += t.split(u'\t', Qt::SkipEmptyParts);
    if (xs.size() != ys.size())
        return false;
    for (qsizetype i = 0; i < xs.size(); ++i) {
        if (!tokensMatch(xs[i], ys[i], options.tolerance))
            return false;
    }
    return true;
}

// Whether line i matches on both sides (a line past one side's end never does).
bool sameLine(const Lines& e, const Lines& a, qsizetype i, const CompareOptions& options)
{
    return i < e.count && i < a.count && linesMatch(e.trimmed(i), a.trimmed(i), options);
}

void appendEscaped(QString& out, uint byte)
{
    out += QStringLiteral("\\x") + QString::number(byte, 16).rightJustified(2, u'0');
}

bool continuation(uchar c) { return (c & 0xC0) == 0x80; }

// The length of the valid UTF-8 sequence at s[i], 0 when there is none.
int sequenceLength(const uchar* s, qsizetype i, qsizetype n)
{
    const uchar b = s[i];
    const int length = b < 0x80 ? 1 : b >= 0xC2 && b <= 0xDF ? 2 : b >= 0xE0 && b <= 0xEF ? 3
                                    : b >= 0xF0 && b <= 0xF4 ? 4 : 0;
    if (length == 0 || i + length > n)
        return 0;
    for (int k = 1; k < length; ++k) {
        if (!continuation(s[i + k]))
            return 0;
    }
    // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
    const uchar second = s[i + 1];
    if ((b == 0xE0 && second < 0xA0) || (b == 0xED && second > 0x9F) || (b == 0xF0 && second < 0x90) ||
        (b == 0xF4 && second > 0x8F))
        return 0;
    return length;
}

}  // namespace

std::optional<Difference> firstDifference(const QString& expected, const QString& actual,
                                          const CompareOptions& options)
{
    const Lines e(expected), a(actual);
    const qsizetype lines = std::max(e.count, a.count);
    for (qsizetype i = 0; i < lines; ++i) {
        if (!sameLine(e, a, i, options))
            return Difference{int(i + 1), e.shown(i), a.shown(i)};
    }
    return std::nullopt;
}

LineMarks differingLines(const QString& expected, const QString& actual, const CompareOptions& options)
{
    const Lines e(expected), a(actual);
    LineMarks marks;
    const qsizetype lines = std::max(e.count, a.count);
    for (qsizetype i = 0; i < lines; ++i) {
        if (sameLine(e, a, i, options))
            continue;
        if (i < e.count)
            marks.expected.append(int(i));
        if (i < a.count)
            marks.actual.append(int(i));
    }
    return marks;
}

QString comparedText(const QByteArray& bytes)
{
    if (QByteArrayView(bytes).isValidUtf8())
        return QString::fromUtf8(bytes);
    QString text;
    text.reserve(bytes.size());
    const auto* s = reinterpret_cast<const uchar*>(bytes.constData());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const int length = sequenceLength(s, i, n);
        if (length == 0) {
            text += QChar(char16_t(0xDC00 + s[i]));
            ++i;
            continue;
        }
        text += QString::fromUtf8(reinterpret_cast<const char*>(s + i), length);
        i += length;
    }
    return text;
}

QString shownFromCompared(const QString& text)
{
    const auto escaped = [](QChar c, QChar before) {
        const char16_t u = c.unicode();
        return (u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || u == 0x7F ||
               (u >= 0xDC80 && u <= 0xDCFF && !before.isHighSurrogate());
    };
    qsizetype first = 0;
    while (first < text.size() && !escaped(text[first], first > 0 ? text[first - 1] : QChar()))
        ++first;
    if (first == text.size())
        return text;
    QString out = text.left(first);
    for (qsizetype i = first; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!escaped(c, i > 0 ? text[i - 1] : QChar()))
            out += c;
        else
            appendEscaped(out, c.unicode() >= 0xDC80 ? c.unicode() - 0xDC00 : c.unicode());
    }
    return out;
}

QString shownText(const QByteArray& bytes)
{
    return shownFromCompared(comparedText(bytes));
}

}  // namespace nollex
