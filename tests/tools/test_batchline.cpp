#include "cmd/BatchLine.h"
#include "cmd/Interpreter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

using nollex::cmd::BatchLine;
using nollex::cmd::ParseBatchLine;
using nollex::cmd::Redirect;
using nollex::cmd::ResolveProgram;
using nollex::cmd::SplitBatchText;
using Kind = BatchLine::Kind;
using Words = std::vector<std::string>;

namespace {

struct CdCase {
    const char* name;
    const char* line;
    std::optional<std::string> folder;
};

const CdCase kCdCases[] = {
    {"quoted-with-final-slash", R"(cd "/home/u/tools/")", "/home/u/tools/"},
    {"unquoted", "cd /home/u/tools", "/home/u/tools"},
    {"quoted-blank-inside", R"(cd "/home/u/my work/")", "/home/u/my work/"},
    {"unquoted-blank-inside", "cd /home/u/my work/  ", "/home/u/my work/"},
    {"empty-quotes", R"(cd "")", ""},
    {"bare", "cd", std::nullopt},
    {"upper-case-crlf", "CD \"/x\"\r\n", "/x"},
    {"chdir", "chdir /x", "/x"},
    {"drive-switch-dropped", R"(cd /d "C:\Borland\bcc55\Bin\")", R"(C:\Borland\bcc55\Bin\)"},
    {"dot-dot-glued", "cd..", ".."},
    {"at-prefix", "@cd /x", "/x"},
};

}  // namespace

// Guards the folder change of batch line 1, whatever quoting the writer used.
TEST(BatchLine, CdTakesTheRestOfTheLineAsFolder)
{
    for (const CdCase& c : kCdCases) {
        const BatchLine l = ParseBatchLine(c.line);
        EXPECT_EQ(l.kind, Kind::Cd) << c.name;
        EXPECT_EQ(l.folder, c.folder) << c.name;
        EXPECT_TRUE(l.error.empty()) << c.name;
    }
    // A program whose name only begins with "cd" is not a folder change.
    EXPECT_EQ(ParseBatchLine("cdrom-tool x").kind, Kind::Run);
}

// Guards that comment lines never run or create files, whatever they hold.
TEST(BatchLine, RemAndBlankLinesDoNothing)
{
    EXPECT_EQ(ParseBatchLine("rem /home/u/tools/").kind, Kind::Rem);
    EXPECT_EQ(ParseBatchLine("REM x > y.txt").kind, Kind::Rem);
    EXPECT_TRUE(ParseBatchLine("REM x > y.txt").redirects.empty());
    EXPECT_EQ(ParseBatchLine("rem").kind, Kind::Rem);
    EXPECT_EQ(ParseBatchLine("   \r").kind, Kind::Empty);
    EXPECT_EQ(ParseBatchLine("remote x").kind, Kind::Run);
}

// Guards the compile line: program, quoted paths with blanks, and the redirection
// into message.txt, each word exact.
TEST(BatchLine, CompileLineWithQuotedPathsAndRedirection)
{
    const BatchLine l = ParseBatchLine(
        R"(bcc32.exe -3 -b -O1 -w "-n/home/u/my work/" "/home/u/my work/__out.cpp" > "/opt/n x/message.txt")"
        "\r\n");
    ASSERT_EQ(l.kind, Kind::Run);
    EXPECT_EQ(l.words, (Words{"bcc32.exe", "-3", "-b", "-O1", "-w", "-n/home/u/my work/",
                              "/home/u/my work/__out.cpp"}));
    ASSERT_EQ(l.redirects.size(), 1u);
    EXPECT_EQ(l.redirects[0], (Redirect{1, "/opt/n x/message.txt", false, -1}));

    const BatchLine quotedProgram = ParseBatchLine(R"("/opt/my tools/bcc32.exe" a.cpp)");
    EXPECT_EQ(quotedProgram.words, (Words{"/opt/my tools/bcc32.exe", "a.cpp"}));
    EXPECT_TRUE(quotedProgram.redirects.empty());
}

TEST(BatchLine, RedirectionForms)
{
    const BatchLine glued = ParseBatchLine("prog a>out.txt b");
    EXPECT_EQ(glued.words, (Words{"prog", "a", "b"}));
    EXPECT_EQ(glued.redirects, (std::vector<Redirect>{{1, "out.txt", false, -1}}));

    const BatchLine several = ParseBatchLine("prog < in.txt >> log.txt 2>&1");
    EXPECT_EQ(several.words, Words{"prog"});
    EXPECT_EQ(several.redirects, (std::vector<Redirect>{{0, "in.txt", false, -1},
                                                       {1, "log.txt", true, -1},
                                                       {2, "", false, 1}}));

    const BatchLine errors = ParseBatchLine("prog 2> err.txt x2>y");
    EXPECT_EQ(errors.words, (Words{"prog", "x2"}));
    EXPECT_EQ(errors.redirects, (std::vector<Redirect>{{2, "err.txt", false, -1},
                                                      {1, "y", false, -1}}));

    // Only redirections: the file is still created, nothing runs.
    const BatchLine onlyFile = ParseBatchLine("> empty.txt");
    EXPECT_EQ(onlyFile.kind, Kind::Empty);
    EXPECT_EQ(onlyFile.redirects.size(), 1u);
}

// Guards that quoted ">" and other shell characters stay plain text in the words.
TEST(BatchLine, QuotedOperatorsAndShellCharactersStayWords)
{
    const BatchLine l = ParseBatchLine(R"(prog ">" "a>b" $(touch x) ; & | `id` "it""s")");
    EXPECT_TRUE(l.redirects.empty());
    EXPECT_EQ(l.words, (Words{"prog", ">", "a>b", "$(touch", "x)", ";", "&", "|", "`id`", "it\"s"}));
}

TEST(BatchLine, FaultyLinesSayWhy)
{
    EXPECT_FALSE(ParseBatchLine("prog >").error.empty());
    EXPECT_FALSE(ParseBatchLine("prog > \"\"").error.empty());
    EXPECT_FALSE(ParseBatchLine("\"\" arg").error.empty());
    EXPECT_TRUE(ParseBatchLine("prog > x").error.empty());
}

TEST(BatchLine, ExitAndCls)
{
    EXPECT_EQ(ParseBatchLine("EXIT").kind, Kind::Exit);
    EXPECT_EQ(ParseBatchLine("Exit 3").exitCode, 3);
    EXPECT_EQ(ParseBatchLine("exit /b 4").exitCode, 4);
    EXPECT_EQ(ParseBatchLine("exit nonsense").exitCode, 0);
    EXPECT_EQ(ParseBatchLine("cls").kind, Kind::Cls);
    EXPECT_EQ(ParseBatchLine("exited").kind, Kind::Run);
}

TEST(BatchLine, BatchTextLines)
{
    EXPECT_EQ(SplitBatchText("a\r\nb\r\n"), (Words{"a", "b"}));
    EXPECT_EQ(SplitBatchText("a\n\nb"), (Words{"a", "", "b"}));
    EXPECT_TRUE(SplitBatchText("").empty());
}

namespace {

// Runs the body with the given current folder and puts the old one back.
template <typename F>
void inFolder(const QString& folder, F body)
{
    const std::string old = nollex::cmd::CurrentFolder();
    ASSERT_EQ(chdir(folder.toStdString().c_str()), 0);
    body();
    ASSERT_EQ(chdir(old.c_str()), 0);
}

void makeExecutable(const QString& path)
{
    chmod(path.toStdString().c_str(), 0755);
}

}  // namespace

// Guards the lookup order: the current folder before PATH, NAME.exe for a bare
// NAME, batch files recognised, and a clear reason when nothing fits.
TEST(ResolveProgram, CurrentFolderFirstThenPath)
{
    nollex::test::TempDir here;
    nollex::test::TempDir onPath;
    makeExecutable(here.write("tool", "#!/bin/true\n"));
    makeExecutable(onPath.write("tool", "#!/bin/true\n"));
    makeExecutable(onPath.write("other", "#!/bin/true\n"));
    makeExecutable(here.write("__out.exe", "#!/bin/true\n"));
    here.write("job.BAT", "rem\r\n");
    here.write("data.txt", "x");
    const std::string path = onPath.path().toStdString();

    inFolder(here.path(), [&] {
        EXPECT_EQ(ResolveProgram("tool", path).path, "./tool");
        EXPECT_EQ(ResolveProgram("other", path).path, path + "other");
        EXPECT_EQ(ResolveProgram("__out", path).path, "./__out.exe");
        const auto batch = ResolveProgram("job.BAT", path);
        EXPECT_TRUE(batch.isBatch);
        EXPECT_EQ(batch.path, "./job.BAT");

        const auto plain = ResolveProgram("data.txt", path);
        EXPECT_TRUE(plain.path.empty());
        EXPECT_NE(plain.problem.find("は実行できるファイルではありません"), std::string::npos) << plain.problem;

        const auto missing = ResolveProgram("bcc32.exe", path);
        EXPECT_TRUE(missing.path.empty());
        EXPECT_NE(missing.problem.find("\"bcc32.exe\" が見つかりません"), std::string::npos);
        EXPECT_TRUE(ResolveProgram("", path).path.empty());
    });
}
