#include "editor/TextReplace.h"
#include "editor/TextSearch.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

std::optional<qsizetype> find(const QString& text, qsizetype caret, const QString& s, int d)
{
    return findInText(text, caret, documentPattern(s), FindDirection(d));
}

}  // namespace

// The search's own rules: where each direction starts, no wrap-around, exact case.
TEST(FindInText, DirectionsStartsAndCase)
{
    const std::optional<qsizetype> none;
    struct Row {
        const char* name;
        QString text;
        qsizetype caret;
        QString s;
        int d;
        std::optional<qsizetype> expected;
    } rows[] = {
        {"find at the caret", "abcabc", 0, "abc", 0, 0},
        {"again down skips the caret", "abcabc", 0, "abc", 1, 3},
        {"again down finds no more", "abcabc", 3, "abc", 1, none},
        {"again up from 3", "abcabc", 3, "abc", -1, 0},
        {"up from the end finds the last bytes", "xxabc", 5, "abc", -1, 2},
        {"down from 0 reaches the last byte", "xxabc", 0, "abc", 0, 2},
        {"up at 0 finds nothing", "abcabc", 0, "abc", -1, none},
        {"up from 1 finds the start", "abcabc", 1, "abc", -1, 0},
        {"case counts", "int main()", 0, "Main", 0, none},
        {"occurrences overlap", "aaaa", 0, "aa", 1, 1},
        {"down does not wrap", "abcxx", 1, "abc", 0, none},
        {"up does not wrap", "xxabc", 2, "abc", -1, none},
        {"again down at the end", "abc", 3, "c", 1, none},
        {"longer than the text", "ab", 0, "abc", 0, none},
        {"empty search text", "abc", 0, "", 0, none},
        {"caret beyond the text", "abc", 99, "c", -1, 2},
        {"Japanese text", "日本語の日本", 1, "日本", 0, 4},
        {"across a line break, typed as LF", QStringLiteral("ab\ncd"), 0, "b\nc", 0, 1},
        {"across a line break, pasted as CR LF", QStringLiteral("ab\ncd"), 0, "b\r\nc", 0, 1},
        {"a line break is needed", QStringLiteral("ab\ncd"), 0, "bc", 0, none},
        // The search is exact: a no-break space is not a blank.
        {"no-break space", QString::fromUtf16(u"a\u00A0b"), 0, "a b", 0, none},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(find(r.text, r.caret, r.s, r.d), r.expected);
    }
}

// Positions count characters: a match never starts inside a character made of
// two UTF-16 units, and "one after the caret" steps over a whole character.
TEST(FindInText, NeverStartsInsideACharacter)
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");  // one character, two units
    const QString lowHalf(face[1]);
    const QString text = face + QStringLiteral("x") + face;
    EXPECT_EQ(findInText(text, 0, lowHalf, FindDirection::Ask), std::nullopt);
    EXPECT_EQ(findInText(text, text.size(), lowHalf, FindDirection::Up), std::nullopt);
    EXPECT_EQ(findInText(text, 0, face, FindDirection::Down), 3);
    EXPECT_EQ(findInText(text, 0, QStringLiteral("x"), FindDirection::Down), 2);
}

namespace {

// Every start position, in order: what the search must agree with.
std::optional<qsizetype> naiveFind(const QString& t, qsizetype caret, const QString& p, int d)
{
    auto at = [&](qsizetype k) {
        return k >= 0 && k + p.size() <= t.size() && QStringView(t).sliced(k, p.size()) == p &&
               !(k > 0 && t[k].isLowSurrogate() && t[k - 1].isHighSurrogate());
    };
    if (p.isEmpty())
        return std::nullopt;
    if (d < 0) {
        for (qsizetype k = std::min(caret, t.size()) - 1; k >= 0; --k)
            if (at(k))
                return k;
        return std::nullopt;
    }
    qsizetype from = caret;
    if (d > 0) {
        if (from >= t.size())
            return std::nullopt;
        from += (from + 1 < t.size() && t[from + 1].isLowSurrogate() && t[from].isHighSurrogate()) ? 2 : 1;
    }
    for (qsizetype k = from; k + p.size() <= t.size(); ++k)
        if (at(k))
            return k;
    return std::nullopt;
}

}  // namespace

// The skipping search finds exactly what a position-by-position scan finds, on
// random texts over few letters (many near misses), with letters that share
// their low byte and with characters of two units.
TEST(FindInText, AgreesWithAScanOnRandomTexts)
{
    const QString letters = QStringLiteral("ab\u0161\u0261") + QString::fromUtf8("\xF0\x9F\x98\x80");
    QRandomGenerator rng(20240601);
    auto randomText = [&](int maxLength) {
        QString t;
        const int n = int(rng.bounded(maxLength + 1));
        for (int i = 0; i < n; ++i) {
            const int c = int(rng.bounded(5));
            t += c < 4 ? QString(letters[c]) : letters.right(2);
        }
        return t;
    };
    for (int round = 0; round < 3000; ++round) {
        const QString t = randomText(40);
        const QString p = rng.bounded(4) == 0 ? t.mid(int(rng.bounded(t.size() + 1)), 3) : randomText(4);
        const qsizetype caret = rng.bounded(t.size() + 2);
        const int d = int(rng.bounded(3)) - 1;
        ASSERT_EQ(findInText(t, caret, p, FindDirection(d)), naiveFind(t, std::min(caret, t.size()), p, d))
            << "text " << t.toStdString() << " pattern " << p.toStdString() << " caret " << caret
            << " d " << d;
    }
}

namespace {

// The page after Replace All, or the matcher's error.
QString replacedAll(const QString& text, const ReplaceQuery& q)
{
    const TextMatcher m(q);
    if (!m.error().isEmpty())
        return QStringLiteral("error");
    QString out;
    qsizetype at = 0;
    for (const TextEdit& e : m.all(text)) {
        out += text.mid(at, e.start - at) + e.text;
        at = e.start + e.length;
    }
    return out + text.mid(at);
}

}  // namespace

// Replace All's switches beside Find's exact search: case, whole words, regular
// expressions with their groups, empty matches, line breaks, characters of two units.
TEST(ReplaceInText, SwitchesAndReplacements)
{
    const QString face = QString::fromUtf8("\xF0\x9F\x98\x80");
    struct Row {
        const char* name;
        QString text;
        ReplaceQuery q;
        QString expected;
    } rows[] = {
        {"exact", "int i; Int j;", {"int", "long"}, "long i; Int j;"},
        {"any case", "int i; Int j; INT", {"int", "long", false}, "long i; long j; long"},
        {"any case, Japanese kept", "日本int日本", {"INT", "x", false}, "日本x日本"},
        {"occurrences do not overlap", "aaaa", {"aa", "b"}, "bb"},
        {"replacement holding the search text", "aa", {"a", "aa"}, "aaaa"},
        {"whole words", "i = i + in + i_2 + (i)", {"i", "k", true, true}, "k = k + in + i_2 + (k)"},
        {"whole words, any case", "Sum sum summary", {"SUM", "t", false, true}, "t t summary"},
        {"whole word next to Japanese letters", "x変数 x", {"x", "y", true, true}, "x変数 y"},
        {"line break typed as CR LF", "a;\nb;", {"\r\n", " "}, "a; b;"},
        {"regex groups", "f(a, b); f(c, d);", {R"(f\((\w), (\w)\))", R"(g(\2, \1))", true, false, true}, "g(b, a); g(d, c);"},
        {"regex whole match and escapes", "ab", {"b", R"([\0]\t\\)", true, false, true}, "a[b]\t\\"},
        {"regex any case", "Ab ab", {"ab", "x", false, false, true}, "x x"},
        {"regex lines", "a\nb\n", {"^", "> ", true, false, true}, "> a\n> b\n"},
        {"regex empty matches", "abc", {"x*", "-", true, false, true}, "-a-b-c-"},
        {"regex across lines", "a\n\n\nb", {R"(\n+)", "\n", true, false, true}, "a\nb"},
        {"regex whole word", "cat concat cat", {"c.t", "dog", true, true, true}, "dog concat dog"},
        {"regex that does not compile", "abc", {"(a", "x", true, false, true}, "error"},
        {"empty search text", "abc", {"", "x"}, "error"},
        {"second half of a pair is no match", face + face, {face.right(1), "x", false}, face + face},
        {"regex dot takes a whole pair", face + "a", {".", "x", true, false, true}, "xx"},
        {"a pair replaced whole", "a" + face + "b", {face, "c"}, "acb"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(replacedAll(r.text, r.q), r.expected);
    }
}

// Replace's step: the next occurrence at or after a place, as each switch finds it.
TEST(ReplaceInText, NextFromAPlace)
{
    const TextMatcher exact(ReplaceQuery{"ab", "x"});
    EXPECT_EQ(exact.next("abab", 0)->start, 0);
    EXPECT_EQ(exact.next("abab", 1)->start, 2);
    EXPECT_FALSE(exact.next("abab", 3));
    EXPECT_FALSE(exact.next("abab", 99));
    const TextMatcher word(ReplaceQuery{"ab", "x", true, true});
    EXPECT_EQ(word.next("abc ab", 0)->start, 4);
    const TextMatcher re(ReplaceQuery{"[0-9]+", "n", true, false, true});
    const std::optional<TextEdit> e = re.next("x = 12 + 345", 7);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->start, 9);
    EXPECT_EQ(e->length, 3);
}
