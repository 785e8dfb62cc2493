#include "editor/CodeFormat.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

QString nonBlanks(QStringView s)
{
    QString out;
    for (const QChar c : s) {
        if (!isLayoutBlank(c))
            out += c;
    }
    return out;
}

QString applied(const QString& text, const std::vector<TextEdit>& edits)
{
    QString out;
    qsizetype at = 0;
    for (const TextEdit& e : edits) {
        out += text.mid(at, e.start - at) + e.text;
        at = e.start + e.length;
    }
    return out + text.mid(at);
}

}  // namespace

// The check of clang-format's answer: only blanks may differ, and the edits it
// gives take the page exactly to the answer.
TEST(CodeFormat, BlankEditsOnlyForBlankChanges)
{
    struct Row {
        const char* name;
        QString from, to;
        bool accepted;
    } rows[] = {
        {"indentation", "int f()\n{\nreturn 1;\n}\n", "int f()\n{\n    return 1;\n}\n", true},
        {"joined lines", "if (a)\n  {\n  b();\n  }", "if (a) {\n  b();\n}", true},
        {"blanks at both ends", "  x;", "x;\n", true},
        {"nothing changes", "x;", "x;", true},
        {"a comment added", "}", "} // namespace", false},
        {"a brace added", "if (a) b();", "if (a) { b(); }", false},
        {"lines moved", "#include <b>\n#include <a>\n", "#include <a>\n#include <b>\n", false},
        {"the end cut", "a; b;", "a;", false},
        {"Japanese kept", "puts(\"日本\") ;", "puts(\"日本\");", true},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::optional<std::vector<TextEdit>> edits = blankEdits(r.from, r.to);
        ASSERT_EQ(edits.has_value(), r.accepted);
        if (edits) {
            EXPECT_EQ(applied(r.from, *edits), r.to);
        }
    }
}

// The caret stays beside the character it was beside.
TEST(CodeFormat, CaretKeepsItsStatement)
{
    const QString from = QStringLiteral("int main(){\nint  x=1;\n   return x;}\n");
    const QString to = QStringLiteral("int main()\n{\n    int x = 1;\n    return x;\n}\n");
    auto at = [&](const char* before) { return from.indexOf(QString::fromUtf8(before)); };
    EXPECT_EQ(caretAfterLayout(from, to, at("x=1")), to.indexOf(QStringLiteral("x = 1")));
    EXPECT_EQ(caretAfterLayout(from, to, at("=1")), to.indexOf(QStringLiteral(" = 1")));  // right after x
    EXPECT_EQ(caretAfterLayout(from, to, at("   return") + 1), to.indexOf(QStringLiteral("return")));
    EXPECT_EQ(caretAfterLayout(from, to, 0), 0);
    EXPECT_EQ(caretAfterLayout(from, to, from.size()), to.size());
}

TEST(CodeFormat, PageIndentationAndStyleFile)
{
    EXPECT_TRUE(indentsWithTabs(QStringLiteral("{\n\ta;\n\tb;\n  c;\n}")));
    EXPECT_FALSE(indentsWithTabs(QStringLiteral("{\n    a;\n\tb;\n    c;\n}")));
    EXPECT_FALSE(indentsWithTabs(QStringLiteral("a;")));

    test::TempDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a/b")));
    QFile f(dir.path() + QStringLiteral("a/.clang-format"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_EQ(styleFileAbove(dir.path() + QStringLiteral("a/b")), dir.path() + QStringLiteral("a/.clang-format"));
}

namespace {

FormatResult format(const QString& text, const QString& file = QString(), int tabWidth = 4)
{
    FormatRequest r;
    r.text = text;
    r.file = file;
    r.tabWidth = tabWidth;
    return formatCode(r);
}

}  // namespace

// clang-format itself: the textbook style, a page that does not compile, a
// style file of the page's folder, and a style that would change more than blanks.
TEST(CodeFormat, RunsClangFormat)
{
    const FormatResult good = format(QStringLiteral("int main(){if(1){return 0;}}\n"));
    ASSERT_EQ(good.status, FormatResult::Done) << good.why.toStdString();
    EXPECT_EQ(good.formatted, QStringLiteral("int main()\n{\n    if (1) {\n        return 0;\n    }\n}\n"));

    const QString broken = QStringLiteral("#include <stdio.h>\nint main( {\nprintf(\"a  b\"\nfor(;;{\n}}}\n");
    const FormatResult r = format(broken);
    ASSERT_EQ(r.status, FormatResult::Done) << r.why.toStdString();
    EXPECT_EQ(nonBlanks(r.formatted), nonBlanks(broken));
    EXPECT_TRUE(r.formatted.contains(QStringLiteral("\"a  b\"")));

    const FormatResult tabs = format(QStringLiteral("void f()\n{\n\tif (1)\n\t\tg();\n}\n"), QString(), 8);
    EXPECT_EQ(tabs.formatted, QStringLiteral("void f()\n{\n\tif (1)\n\t\tg();\n}\n"));

    test::TempDir dir;
    QFile style(dir.path() + QStringLiteral(".clang-format"));
    ASSERT_TRUE(style.open(QIODevice::WriteOnly));
    style.write("BasedOnStyle: LLVM\nIndentWidth: 3\nBreakBeforeBraces: Allman\n");
    style.close();
    const FormatResult own = format(QStringLiteral("void f(){g();h();}\n"), dir.path() + QStringLiteral("a.c"));
    EXPECT_EQ(own.formatted.toStdString(), "void f()\n{\n   g();\n   h();\n}\n");

    ASSERT_TRUE(style.open(QIODevice::WriteOnly | QIODevice::Truncate));
    style.write("BasedOnStyle: LLVM\nColumnLimit: 20\n");
    style.close();
    const FormatResult longComment =
        format(QStringLiteral("int x; // a comment far too long for twenty columns\n"), dir.path() + QStringLiteral("a.c"));
    EXPECT_EQ(longComment.status, FormatResult::NotOnlyBlanks);
}

TEST(CodeFormat, WithoutClangFormatSaysSo)
{
    FormatRequest r;
    r.program = QStringLiteral("nollex-no-such-clang-format");
    r.text = QStringLiteral("int x;");
    const FormatResult missing = formatCode(r);
    EXPECT_EQ(missing.status, FormatResult::Missing);
    EXPECT_TRUE(missing.why.contains(QStringLiteral("clang-format")));
}
