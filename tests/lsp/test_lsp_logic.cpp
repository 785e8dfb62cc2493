// The positions, the page's compile command and the parsed answers.
#include "lsp/Answers.h"
#include "lsp/PageFlags.h"
#include "lsp/Positions.h"
#include "lsp/Triggers.h"

#include "bcc32/Switches.h"
#include "platform/WinCommandLine.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

using namespace nollex::lsp;

namespace {

TEST(LspPositions, Utf16AndUtf8Columns)
{
    // "a表😀b": a (1 byte, 1 unit), 表 (3, 1), 😀 (4, 2), b.
    const QString line = QStringLiteral("a表\U0001F600b");
    EXPECT_EQ(toLsp(3, 2), (Position{3, 2}));
    const int units[] = {0, 1, 2, 4, 5};
    const int bytes[] = {0, 1, 4, 8, 9};
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(utf8ColumnFromIndex(line, units[k]), bytes[k]) << k;
        EXPECT_EQ(indexFromUtf8Column(line, bytes[k]), units[k]) << k;
    }
    EXPECT_EQ(indexFromUtf8Column(line, 6), 2);  // inside 😀's bytes: at 😀
    EXPECT_EQ(indexInLine(line, 3), 2);          // between the halves of the pair
    EXPECT_EQ(indexInLine(line, 99), 5);
    EXPECT_EQ(indexInLine(line, -1), 0);
    EXPECT_EQ(utf8ColumnFromIndex(line, 3), 4);
}

TEST(LspTriggers, WhenTheListIsAsked)
{
    const struct {
        const char* line;
        bool asks;
    } rows[] = {
        {"    pr", true}, {"    p", false}, {"    表示", true}, {"  x = a1", true}, {"  x = 12", false},
        {"  s.", true}, {"  p->", true}, {"  std::", true}, {"  x = 1.", false}, {"  f(a, ...", false},
        {"  p-", false}, {"  a:", false}, {"#include <", true}, {"  #  include \"my", true},
        {"#include <stdio.h>", false}, {"", false}, {"  x = ", false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AsksCompletion(QString::fromUtf8(row.line)), row.asks) << row.line;
    EXPECT_TRUE(AsksParameters(u'(') && AsksParameters(u','));
    EXPECT_FALSE(AsksParameters(u')'));
}

// The build's own compile step for the page, as the stand-in makes it.
std::vector<std::string> buildStep(const std::string& options, const std::string& cfg, const std::string& page,
                                   const std::string& compat)
{
    std::vector<std::string> words = nollex::SplitWindowsCommandLine(options);
    words.push_back(page);
    nollex::bcc::Plan plan = nollex::bcc::PlanBuild(nollex::bcc::ParseConfigText(cfg), words);
    nollex::bcc::Host host;
    host.compat.includeFolder = compat;
    return nollex::bcc::HostSteps(plan, host).front().argv;
}

TEST(PageFlags, TheBuildsCompileLine)
{
    struct Row {
        const char* page;
        const char* options;
        const char* driver;
        const char* language;
        const char* standard;
    };
    const Row rows[] = {
        {"/home/u/e01.c", "-3 -b -O1 -w ", "gcc", "c", "-std=gnu17"},
        {"/home/u/E01.C", "-w ", "gcc", "c", "-std=gnu17"},  // ".C" is C, as on Windows
        {"/home/u/e01.cpp", "-O2 -w -DN=5 ", "g++", "c++", "-std=gnu++17"},
        {"/home/u/e01.txt", "", "g++", "c++", "-std=gnu++17"},
        {"/home/u/e01.c", "-P ", "g++", "c++", "-std=gnu++17"},
        {"/home/u/e01.cpp", "-std=c++20 -w ", "g++", "c++", "-std=c++20"},
        {"/home/u/e01.c", "-std=c99 -nC:\\out ", "gcc", "c", "-std=c99"},
    };
    const std::string cfg = "-I\"/opt/bcc/include\"\r\n-L\"/opt/bcc/lib\"\r\n";
    for (const Row& row : rows) {
        const QStringList command = ClangdCompileCommand(
            {QString::fromUtf8(row.page), QString::fromUtf8(row.options), QString::fromStdString(cfg), "/n/compat/include"});
        ASSERT_FALSE(command.isEmpty());
        EXPECT_EQ(command.front(), row.driver) << row.page << row.options;
        EXPECT_EQ(command.back(), row.page);
        EXPECT_EQ(command.at(command.size() - 2), row.language) << row.page << row.options;
        EXPECT_EQ(command.filter(QStringLiteral("-std=")), QStringList{row.standard}) << row.page << row.options;
        EXPECT_FALSE(command.contains(QStringLiteral("-o")) || command.contains(QStringLiteral("-c")));
        // Every switch of the build's compile but where it writes.
        const std::vector<std::string> build = buildStep(row.options, cfg, row.page, "/n/compat/include");
        for (std::size_t i = 1; i < build.size(); ++i) {
            if (build[i] == "-c" || build[i] == "-o" || build[i - 1] == "-o")
                continue;
            EXPECT_TRUE(command.contains(QString::fromStdString(build[i]))) << build[i] << " " << row.page;
        }
        EXPECT_TRUE(command.contains(QStringLiteral("-I/opt/bcc/include")));
        EXPECT_EQ(command.at(command.indexOf(QStringLiteral("-idirafter")) + 1), "/n/compat/include");
    }
}

TEST(PageFlags, OtherFilesAndAShiftJisPageStayOut)
{
    const QStringList command = ClangdCompileCommand({"/p/a.c", "-w other.cpp lib.obj ", {}, {}});
    EXPECT_EQ(command.filter(QStringLiteral("other.cpp")).size(), 0);
    EXPECT_EQ(command.filter(QStringLiteral("input-charset")).size(), 0);
    EXPECT_FALSE(command.contains(QStringLiteral("-idirafter")));  // no headers of the old compiler here
}

QJsonValue json(const char* text)
{
    return QJsonDocument::fromJson(text).object().value(u"r");
}

TEST(LspAnswers, Completion)
{
    const QList<CompletionItem> items = parseCompletion(json(R"J({"r":{"isIncomplete":false,"items":[
        {"label":" printf(const char *restrict format, ...)","kind":3,"insertText":"printf","detail":"int"},
        {"label":"\u2022getchar()","kind":3,"textEdit":{"newText":"getchar",
            "range":{"start":{"line":4,"character":2},"end":{"line":4,"character":5}}}},
        {"label":" x","kind":5,"insertText":"x"},
        {"label":" push_back(T&&)","kind":2,"insertText":"push_back(${1})"},
        {"kind":3},
        {"label":"stdio.h>","kind":17}]}})J"));
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0].label, "printf(const char *restrict format, ...)");
    EXPECT_EQ(items[0].insertText, "printf()");
    EXPECT_EQ(items[0].caretOffset, 7);  // inside: it takes parameters
    EXPECT_EQ(items[1].label, "getchar()");
    EXPECT_EQ(items[1].insertText, "getchar()");
    EXPECT_EQ(items[1].caretOffset, 9);  // after: none to type
    EXPECT_EQ(items[1].replaceFrom, (Position{4, 2}));
    EXPECT_EQ(items[2].insertText, "x");
    EXPECT_EQ(items[2].caretOffset, 1);
    EXPECT_EQ(items[3].insertText, "push_back(${1})");  // already has them
    EXPECT_EQ(items[4].insertText, "stdio.h>");
    EXPECT_EQ(parseCompletion(json(R"J({"r":[{"label":"a","kind":6}]})J")).size(), 1);
    EXPECT_TRUE(parseCompletion(json(R"J({"r":null})J")).isEmpty());
}

TEST(LspAnswers, SignatureHelp)
{
    const SignatureHelp offsets = parseSignatureHelp(json(R"J({"r":{"activeSignature":0,"activeParameter":1,
        "signatures":[{"label":"int printf(const char *restrict format, ...)",
        "parameters":[{"label":[11,38]},{"label":[40,43]}]}]}})J"));
    ASSERT_EQ(offsets.signatures.size(), 1);
    EXPECT_EQ(offsets.signatures[0].label.mid(offsets.signatures[0].activeStart, 3), "...");
    const SignatureHelp strings = parseSignatureHelp(json(R"J({"r":{"activeSignature":5,"signatures":[
        {"label":"f(int a, int b)","activeParameter":1,"parameters":[{"label":"int a"},{"label":"int b"}]}]}})J"));
    EXPECT_EQ(strings.active, 0);
    EXPECT_EQ(strings.signatures[0].activeStart, 9);
    EXPECT_EQ(strings.signatures[0].activeEnd, 14);
    const SignatureHelp bad = parseSignatureHelp(json(R"J({"r":{"signatures":[
        {"label":"f()","parameters":[{"label":[2,90]}]}]}})J"));
    EXPECT_EQ(bad.signatures[0].activeStart, -1);
    EXPECT_TRUE(parseSignatureHelp(json(R"J({"r":null})J")).signatures.isEmpty());
}

}  // namespace
