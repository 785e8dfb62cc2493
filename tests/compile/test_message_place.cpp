// The places that compiler message lines name, English and Japanese, with and
// without a column, include chains, blanks and Japanese in paths, and the older
// Windows compilers' form; lines that name no place give nothing.
#include "FakePlatform.h"
#include "compile/MessagePlace.h"

#include <gtest/gtest.h>

using namespace nollex;

TEST(MessagePlace, EveryForm)
{
    using K = MessageKind;
    const struct Row {
        const char* name;
        const char* line;
        std::optional<MessagePlace> place;
    } rows[] = {
        {"error with column", "/w/__out.cpp:5:13: error: ‘x’ was not declared in this scope",
         MessagePlace{"/w/__out.cpp", 5, 13, K::Error}},
        {"without column", "/w/__out.cpp:5: error: expected ‘;’", MessagePlace{"/w/__out.cpp", 5, 0, K::Error}},
        {"fatal", "a.cpp:1:10: fatal error: graphics.h: No such file or directory",
         MessagePlace{"a.cpp", 1, 10, K::Error}},
        {"blanks and Japanese in the path", "/my work/作業 フォルダ/a b.cpp:12:3: warning: unused variable",
         MessagePlace{"/my work/作業 フォルダ/a b.cpp", 12, 3, K::Warning}},
        {"note", "a.cpp:3:5: note: declared here", MessagePlace{"a.cpp", 3, 5, K::Note}},
        {"Japanese error", "inc.h:1:9: エラー: ‘q’ was not declared in this scope",
         MessagePlace{"inc.h", 1, 9, K::Error}},
        {"Japanese fatal", "inc.h:1:9: 致命的エラー: conio2.h: そのようなファイルやディレクトリはありません",
         MessagePlace{"inc.h", 1, 9, K::Error}},
        {"Japanese warning", "j.cpp:2:47: 警告: comparison of integer expressions",
         MessagePlace{"j.cpp", 2, 47, K::Warning}},
        {"Japanese note", "j.cpp:2:5: 備考: ここで宣言されています", MessagePlace{"j.cpp", 2, 5, K::Note}},
        {"link with line", "/w/a.cpp:7: undefined reference to `f()'", MessagePlace{"/w/a.cpp", 7, 0, K::Other}},
        {"drive path", "C:\\work\\a.cpp:5:3: error: x", MessagePlace{"C:\\work\\a.cpp", 5, 3, K::Error}},
        {"colon in a folder", "/a:1:b/c.cpp:4:2: warning: w", MessagePlace{"/a:1:b/c.cpp", 4, 2, K::Warning}},
        {"included from", "In file included from /w/a.h:3,", MessagePlace{"/w/a.h", 3, 0, K::IncludedFrom}},
        {"included from, last", "In file included from /w/__out.cpp:1:",
         MessagePlace{"/w/__out.cpp", 1, 0, K::IncludedFrom}},
        {"from", "                 from /w/my dir/x.cpp:2:", MessagePlace{"/w/my dir/x.cpp", 2, 0, K::IncludedFrom}},
        {"Japanese included from", "次のファイルから読み込み:  j.cpp:1:", MessagePlace{"j.cpp", 1, 0, K::IncludedFrom}},
        {"Japanese from", "         次から読み込み: /w/x.cpp:2:", MessagePlace{"/w/x.cpp", 2, 0, K::IncludedFrom}},
        {"included from, a blank is no file", "from  :12", std::nullopt},
        {"old Windows error", "Error E2451 hello.cpp 5: Undefined symbol 'x' in function main()",
         MessagePlace{"hello.cpp", 5, 0, K::Error}},
        {"old Windows warning", "Warning W8004 my prog.cpp 7: 'x' is assigned a value that is never used",
         MessagePlace{"my prog.cpp", 7, 0, K::Warning}},
        {"in function", "j.cpp: In function ‘int main()’:", std::nullopt},
        {"Japanese in function", "j.cpp: 関数 ‘int main()’ 内:", std::nullopt},
        {"source excerpt", "    2 | int main(){ int x = y; }", std::nullopt},
        {"caret line", "      |         ^", std::nullopt},
        {"collect2", "collect2: error: ld returned 1 exit status", std::nullopt},
        {"link without line", "/usr/bin/ld: /tmp/x.o: in function `main':", std::nullopt},
        {"compile command", "g++ -c -x c++ /w/__out.cpp -o /w/__out.obj", std::nullopt},
        {"stand-in note", "bcc32: note: -p has no equivalent here", std::nullopt},
        {"line zero", "a.cpp:0: error: x", std::nullopt},
        {"empty", "", std::nullopt},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const std::optional<MessagePlace> got = parseMessagePlace(QString::fromUtf8(row.line));
        ASSERT_EQ(got.has_value(), row.place.has_value());
        if (got) {
            EXPECT_EQ(got->file.toStdString(), row.place->file.toStdString());
            EXPECT_EQ(got->line, row.place->line);
            EXPECT_EQ(got->column, row.place->column);
            EXPECT_EQ(int(got->kind), int(row.place->kind));
        }
    }
}

// The compiler counts display columns: a tab runs to the next multiple of 8, a
// wide character takes two; the page wants character indexes.
TEST(MessagePlace, ColumnsBecomeCharacterIndexes)
{
    const struct {
        const char* text;
        int column;
        int index;
    } rows[] = {
        {"abc", 1, 0}, {"abc", 3, 2}, {"abc", 0, 0}, {"abc", 10, 3},
        {"\tint v = x;", 17, 9}, {"\t\tx", 17, 2}, {"ab\tc", 9, 3},
        {"表x", 3, 1}, {"\"表\"; y", 7, 5}, {"ｱx", 2, 1}, {"𠀋x", 3, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(characterIndexForColumn(QString::fromUtf8(row.text), row.column), row.index) << row.column;
    }
}

// Which page a message's file stands for: the page built from the scratch copy,
// else the page holding the file, else none.
TEST(MessagePlace, FileToPage)
{
    const test::FakeWindowsFileSystem fs;
    const QStringList pages = {QStringLiteral("C:\\w\\main.cpp"), QStringLiteral("C:\\w\\b.h"), QString()};
    const QString scratch = QStringLiteral("C:\\w\\__out.cpp");
    EXPECT_EQ(pageForMessageFile(scratch, scratch, 2, pages, fs), 2);
    EXPECT_EQ(pageForMessageFile(QStringLiteral("c:\\W\\__OUT.cpp"), scratch, 0, pages, fs), 0);
    EXPECT_EQ(pageForMessageFile(scratch, scratch, -1, pages, fs), -1);  // the built page was closed
    EXPECT_EQ(pageForMessageFile(QStringLiteral("C:\\w\\b.h"), scratch, 0, pages, fs), 1);
    EXPECT_EQ(pageForMessageFile(QStringLiteral("C:\\w\\main.cpp"), QStringLiteral("C:\\w\\main.cpp"), 0, pages, fs), 0);
    EXPECT_EQ(pageForMessageFile(QStringLiteral("C:\\w\\other.h"), scratch, 0, pages, fs), -1);
}
