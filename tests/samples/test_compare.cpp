// The comparison of a program's output with the expected one, and how bytes are
// shown: the faults are a wrong verdict on blanks, line ends or numbers, and bytes
// lost or made to look like others.
#include "samples/Compare.h"

#include <gtest/gtest.h>

using namespace nollex;

namespace {

struct CompareRow {
    const char* name;
    const char* expected;
    const char* actual;
    bool numbers;
    int line;  // the first differing line, 0 when they match
};

const CompareRow Rows[] = {
    {"same", "1 2\n3\n", "1 2\n3\n", false, 0},
    {"blanks at line ends", "1 2\n3\n", "1 2  \n3\t\n", false, 0},
    {"blanks inside a line count", "1 2\n", "1  2\n", false, 1},
    {"blanks at a line start count", "1\n", " 1\n", false, 1},
    {"empty lines at the end", "a\n", "a\n\n \n\n", false, 0},
    {"no line end at the end", "a\nb\n", "a\nb", false, 0},
    {"an empty line before counts", "a\n", "\na\n", false, 1},
    {"crlf", "a\r\nb\r\n", "a\nb\n", false, 0},
    {"cr", "a\rb\r", "a\nb", false, 0},
    {"japanese", "こんにちは 世界\n", "こんにちは 世界 \n", false, 0},
    {"japanese differing", "こんにちは\n", "こんばんは\n", false, 1},
    {"extra line", "a\n", "a\nb\n", false, 2},
    {"missing line", "a\nb\nc\n", "a\nb\n", false, 3},
    {"nothing printed", "a\n", "", false, 1},
    {"the first of two differing lines", "1\n2\n3\n4\n", "1\nx\n3\ny\n", false, 2},
    {"numbers exact by default", "1.0\n", "1.0000001\n", false, 1},
    {"absolute within", "0.1234567\n", "0.1234572\n", true, 0},
    {"absolute beyond", "0.5\n", "0.500002\n", true, 1},
    {"1e-7 and 0", "0\n", "1e-7\n", true, 0},
    {"relative within", "1000000000\n", "1000000500\n", true, 0},
    {"relative beyond", "1000000000\n", "1000002000\n", true, 1},
    {"negative and sign", "-0.5 +2\n", "-0.5000001 2\n", true, 0},
    {"nan is a word", "nan\n", "nan\n", true, 0},
    {"nan is no number", "0\n", "nan\n", true, 1},
    {"nan expected", "nan\n", "0\n", true, 1},
    {"hex is a word", "16\n", "0x10\n", true, 1},
    {"a word compared exactly", "1.0 yes\n", "1.0000001 Yes\n", true, 1},
    {"a word and a number", "1.0 yes\n", "1.0000001 yes\n", true, 0},
    {"one token more", "1 2\n", "1 2 3\n", true, 1},
    {"numbers on a later line", "a\n3.14159\n", "a\n3.1416\n", true, 2},
};

}  // namespace

// Every row's first difference, and the marks of the side-by-side view agreeing
// with it: none when they match, else the first mark on that line.
TEST(Compare, Table)
{
    for (const CompareRow& row : Rows) {
        CompareOptions options;
        options.numbersWithin = row.numbers;
        const QString e = QString::fromUtf8(row.expected), a = QString::fromUtf8(row.actual);
        const std::optional<Difference> d = firstDifference(e, a, options);
        EXPECT_EQ(d ? d->line : 0, row.line) << row.name;
        const LineMarks marks = differingLines(e, a, options);
        const QList<int> both = marks.expected + marks.actual;
        EXPECT_EQ(both.isEmpty() ? 0 : *std::min_element(both.begin(), both.end()) + 1, row.line) << row.name;
    }
}

// The difference names each side's line as it was, and nothing past a side's end;
// the marks name each side's own lines only.
TEST(Compare, DifferenceAndMarks)
{
    const CompareOptions exact;
    const std::optional<Difference> extra = firstDifference(QStringLiteral("a\n"), QStringLiteral("a\nb c \n"), exact);
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->expected, QString());
    EXPECT_EQ(extra->actual, QStringLiteral("b c "));

    const LineMarks marks = differingLines(QStringLiteral("1\r\n2\r\n3\r\n"), QStringLiteral("1\nx\n3\n4\n\n"), exact);
    EXPECT_EQ(marks.expected, QList<int>({1}));
    EXPECT_EQ(marks.actual, QList<int>({1, 3}));
}

// Invalid bytes and control characters are shown escaped, each byte once, and a
// program's literal "\xff" never passes for the byte.
TEST(Compare, ShownText)
{
    const struct {
        const char* name;
        QByteArray bytes;
        const char* shown;
    } rows[] = {
        {"utf-8 as it is", "あい\tう\r\n", "あい\tう\r\n"},
        {"a stray byte", "あ\xffい", "あ\\xffい"},
        {"a cut sequence", "a\xe3\x81", "a\\xe3\\x81"},
        {"overlong", "\xc0\xaf", "\\xc0\\xaf"},
        {"a surrogate", "\xed\xa0\x80", "\\xed\\xa0\\x80"},
        {"past U+10FFFF", "\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"},
        {"four bytes", "\xf0\x9f\x98\x80\xff", "\xf0\x9f\x98\x80\\xff"},
        {"control characters", QByteArray("a\x01\x7f", 3) + QByteArray(1, '\0'), "a\\x01\\x7f\\x00"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(shownText(row.bytes), QString::fromUtf8(row.shown)) << row.name;

    EXPECT_NE(comparedText("\xff"), comparedText("\\xff"));
    EXPECT_EQ(shownFromCompared(comparedText("\xff")), QStringLiteral("\\xff"));
}
