// Builds that go wrong, through the main window with the real stand-in interpreter
// and compiler: a host compiler that is killed or floods its output, a program
// that never ends, and file and folder names made to look like shell commands.
// The console window is a script (NOLLEX_TERMINAL) that runs the command without
// a window and records its output beside itself.

#include "app/TForm1.h"
#include "editor/FileCommands.h"
#include "editor/TextFile.h"
#include "support/ScriptedDialogs.h"
#include "support/StandIns.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPlainTextEdit>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace nollex;
using test::makeScript;
using test::readAll;

namespace {

const QByteArray kHello = "#include <cstdio>\n"
                          "int main()\n"
                          "{\n"
                          "    std::puts(\"Hello, Nollex\");\n"
                          "    return 0;\n"
                          "}\n";

// Every file and folder below folder whose name starts with "pwned": what a name such
// as "$(touch pwned)" would leave behind had a shell ever run it.
QStringList strayFiles(const QString& folder)
{
    QStringList found;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileName().startsWith(QStringLiteral("pwned")))
            found << it.filePath();
    }
    return found;
}

struct BuildFaults : ::testing::Test {
    test::TempDir root;
    QString program;  // the system's own folder, with the stand-ins
    QString work;
    QString terminal;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override
    {
        program = root.path() + QStringLiteral("prog/");
        work = root.path() + QStringLiteral("work/");
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(QDir().mkpath(work));
        ASSERT_NO_FATAL_FAILURE(test::copyStandIns(program));
        terminal = root.file(QStringLiteral("term.sh"));
        makeScript(terminal, "#!/bin/sh\n"
                             "printf 'exit\\n' | \"$@\" >> \"$0.out\" 2>&1\n"
                             "echo \"status $?\" >> \"$0.done\"\n");
        qputenv("NOLLEX_TERMINAL", terminal.toUtf8());
        qunsetenv("NOLLEX_CXX");
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, program});
    }
    void TearDown() override
    {
        form.reset();
        qunsetenv("NOLLEX_CXX");
    }

    void openPage(const QString& path, const QByteArray& text)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(text);
        f.close();
        loadPageFile(*form->Memos, form->Memos->ActiveIndex(), path);
    }
    // Polls a condition for up to 30 seconds (the console runs on its own).
    template <class F>
    bool eventually(F condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 30000) {
            if (condition())
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    bool waitForRuns(int runs) { return test::waitForLines(terminal + QStringLiteral(".done"), runs); }
    QString consoleOutput() const { return QString::fromUtf8(readAll(terminal + QStringLiteral(".out"))); }
    QString messages() const { return form->Memo2->toPlainText(); }
};

}  // namespace

// A host compiler killed in the middle of its work: the pane says so, nothing is
// run, the page and its file are untouched, and the next build works.
TEST_F(BuildFaults, CompilerKilledInTheMiddle)
{
    const QString killer = root.file(QStringLiteral("dies.sh"));
    makeScript(killer, "#!/bin/sh\necho \"compiling $*\"\nkill -KILL $$\necho never\n");
    qputenv("NOLLEX_CXX", killer.toUtf8());
    const QString page = work + QStringLiteral("hello.cpp");
    openPage(page, kHello);

    form->Execute1->trigger();
    EXPECT_TRUE(messages().contains(QStringLiteral("compiling -c"))) << messages().toStdString();
    EXPECT_TRUE(messages().contains(QStringLiteral("killed by signal 9"))) << messages().toStdString();
    EXPECT_FALSE(messages().contains(QStringLiteral("never")));
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_EQ(form->Memos->ActiveMemo()->toPlainText(), QString::fromUtf8(kHello));
    EXPECT_EQ(readAll(page), kHello);
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.exe")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.cpp")));
    QThread::msleep(200);
    EXPECT_FALSE(QFile::exists(terminal + QStringLiteral(".done")));

    qunsetenv("NOLLEX_CXX");
    form->Execute1->trigger();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("Hello, Nollex")));
}

// A compiler that prints 100,000 lines: the pane holds all of them and the build
// goes on to run the program.
TEST_F(BuildFaults, CompilerPrintingAHundredThousandLines)
{
    const QString chatty = root.file(QStringLiteral("chatty.sh"));
    makeScript(chatty, "#!/bin/sh\n"
                       "seq 1 100000 | sed 's/^/note: line /'\n"
                       "exec g++ \"$@\"\n");
    qputenv("NOLLEX_CXX", chatty.toUtf8());
    openPage(work + QStringLiteral("hello.cpp"), kHello);

    form->Execute1->trigger();
    const QString shown = messages();
    // The compile and the link each print them.
    EXPECT_EQ(shown.count(QStringLiteral("note: line ")), 200000);
    EXPECT_TRUE(shown.contains(QStringLiteral("note: line 1\n")));
    EXPECT_TRUE(shown.contains(QStringLiteral("note: line 100000\n")));
    ASSERT_TRUE(waitForRuns(1));
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("Hello, Nollex")));
}

// F9 on a program that never ends comes back while the program still runs: the
// console is started, not waited for. The program is then stopped by the test.
TEST_F(BuildFaults, ProgramThatNeverEndsDoesNotHoldTheWindow)
{
    openPage(work + QStringLiteral("forever.cpp"),
             "#include <cstdio>\n#include <unistd.h>\n"
             "int main()\n{\n"
             "    if (FILE* f = std::fopen(\"forever.pid\", \"w\")) {\n"
             "        std::fprintf(f, \"%d\\n\", int(getpid()));\n"
             "        std::fclose(f);\n"
             "    }\n"
             "    for (;;)\n        pause();\n}\n");

    form->Execute1->trigger();
    const QString pidFile = work + QStringLiteral("forever.pid");
    ASSERT_TRUE(eventually([&] { return readAll(pidFile).endsWith('\n'); })) << messages().toStdString();
    const pid_t pid = readAll(pidFile).trimmed().toInt();
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::kill(pid, 0), 0) << "the program ended before F9 returned";
    EXPECT_FALSE(QFile::exists(terminal + QStringLiteral(".done")));

    // The window goes on: another page builds and runs meanwhile.
    form->New1->trigger();
    form->Memos->ActiveMemo()->setPlainText(QString::fromUtf8(kHello));
    dialogs.answer(work + QStringLiteral("second.cpp"));
    form->Saveas1->trigger();
    form->Execute1->trigger();
    EXPECT_TRUE(eventually([&] { return consoleOutput().contains(QStringLiteral("Hello, Nollex")); }));

    ::kill(pid, SIGKILL);
    EXPECT_TRUE(waitForRuns(2));
}

// File and folder names that a shell would take for commands, quotes, blanks,
// separators, Japanese and very long names: pages opened, saved and dropped under
// them build and run, and nothing in a name is ever run.
TEST_F(BuildFaults, NamesAreNeverRunAsCommands)
{
    const QString longPart = QString(200, u'l');
    const struct {
        QString folder;
        QString file;
    } cases[] = {
        {QStringLiteral("a b;c&d$(touch pwned-1)'e`touch pwned-2`"),
         QStringLiteral("x \"y\";&|<>^%PATH%$(touch pwned-3).cpp")},
        {QStringLiteral("日本語 フォルダ (1)"), QStringLiteral("テスト；&＆ $(touch pwned-4).cpp")},
        {QStringLiteral("q\"\"uote\" > pwned-5 \"x"), QStringLiteral("-n \"pwned-6\" & echo pwned-7.cpp")},
        {longPart + u'/' + longPart + u'/' + longPart + u'/' + longPart,
         QString(240, u'n') + QStringLiteral(".cpp")},
    };
    int runs = 0;
    for (const auto& c : cases) {
        const QString folder = work + c.folder + u'/';
        SCOPED_TRACE(folder.toStdString());
        ASSERT_TRUE(QDir().mkpath(folder));
        const QString path = folder + c.file;
        const QString name = c.file.left(c.file.lastIndexOf(u'.'));

        // Saved there from a new page, built by Execute and by Make.
        form->New1->trigger();
        form->Memos->ActiveMemo()->setPlainText(QString::fromUtf8(kHello));
        dialogs.answer(path);
        form->Saveas1->trigger();
        ASSERT_EQ(readAll(path), kHello);
        form->Execute1->trigger();
        ASSERT_TRUE(waitForRuns(++runs)) << messages().toStdString();
        EXPECT_EQ(consoleOutput().count(QStringLiteral("Hello, Nollex")), runs) << messages().toStdString();
        form->Make1->trigger();
        EXPECT_TRUE(QFile::exists(folder + name + QStringLiteral(".exe"))) << messages().toStdString();

        // Opened through the dialog and dropped: the same file, the same build.
        dialogs.answer(QStringList{path});
        form->Open1->trigger();
        EXPECT_EQ(form->Memos->fileName(form->Memos->ActiveIndex()), path);
        form->WMDropFiles({path});
        EXPECT_EQ(form->Memos->fileName(form->Memos->ActiveIndex()), path);
        form->Execute1->trigger();
        ASSERT_TRUE(waitForRuns(++runs)) << messages().toStdString();
    }
    EXPECT_TRUE(dialogs.asked.isEmpty() || dialogs.allAnswersUsed());
    EXPECT_EQ(strayFiles(root.path()), QStringList());
    EXPECT_EQ(strayFiles(QDir::currentPath()), QStringList());
}

// A folder name may hold line breaks on this system; written into the batch
// file, its second line would run as a command of its own. The build is refused
// with the name instead, the page and its file stay, and the window goes on.
TEST_F(BuildFaults, LineBreakInAFolderNameNeverRunsItsSecondLine)
{
    const QString folder = work + QStringLiteral("nl\ntouch pwned-nl\r\nrem /");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString page = folder + QStringLiteral("hello.cpp");
    openPage(page, kHello);
    for (QAction* command : {form->Execute1, form->Make1}) {
        dialogs.clearAsked();
        dialogs.answer(MsgAnswer::Ok);
        command->trigger();
        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
        EXPECT_TRUE(dialogs.asked[0].text.contains(folder)) << dialogs.asked[0].text.toStdString();
    }
    EXPECT_FALSE(readAll(program + QStringLiteral("__out.bat")).contains("pwned"));
    EXPECT_EQ(readAll(page), kHello);
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("__out.cpp")));
    EXPECT_EQ(strayFiles(root.path()), QStringList());

    openPage(work + QStringLiteral("hello.cpp"), kHello);
    form->Execute1->trigger();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_EQ(strayFiles(root.path()), QStringList());
}

// Execute runs only what its own compile made. A compile that fails after leaving
// an __out.exe (here a compiler that writes one and exits 1) built nothing,
// and Re-run does not start it either; an old __out.exe of another user, which a
// shared folder would keep, refuses the build with the folder named.
TEST_F(BuildFaults, OnlyWhatTheBuildMadeIsRun)
{
    const QString planter = root.file(QStringLiteral("plants.sh"));
    makeScript(planter, "#!/bin/sh\n"
                        "while [ $# -gt 0 ]; do\n"
                        "  if [ \"$1\" = -o ]; then\n"
                        "    printf '#!/bin/sh\\necho planted\\n' > \"${2%.*}.exe\"; chmod +x \"${2%.*}.exe\"\n"
                        "  fi\n"
                        "  shift\n"
                        "done\n"
                        "exit 1\n");
    qputenv("NOLLEX_CXX", planter.toUtf8());
    openPage(work + QStringLiteral("hello.cpp"), kHello);
    form->Execute1->trigger();
    dialogs.answer(MsgAnswer::Ok);
    form->outexe1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("__out.exe"));
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(terminal + QStringLiteral(".done"))) << consoleOutput().toStdString();
    qunsetenv("NOLLEX_CXX");

    const QString exe = work + QStringLiteral("__out.exe");
    QFile::remove(exe);
    makeScript(exe, "#!/bin/sh\necho theirs\n");
    if (::chown(QFile::encodeName(exe).constData(), 65534, 65534) != 0 || ::geteuid() == 65534)
        GTEST_SKIP() << "this machine does not let a test give a file to another user";
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::Ok);
    form->Execute1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.asked[0].text.contains(work)) << dialogs.asked[0].text.toStdString();
    EXPECT_EQ(readAll(exe), "#!/bin/sh\necho theirs\n");
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(terminal + QStringLiteral(".done"))) << consoleOutput().toStdString();
}

// No build file is written through a link to a file of the user's, and Make never
// writes its program over the page it compiles (a page named prog.exe): each is
// refused with the name, and the file keeps its bytes.
TEST_F(BuildFaults, LinksAndPagesAreNeverOverwritten)
{
    const QString precious = root.file(QStringLiteral("precious.txt"));
    const struct {
        const char* name;
        QString link;  // made a link to precious; empty: none
        QString page;
        QAction* command;
    } rows[] = {
        {"scratch source", work + QStringLiteral("__out.cpp"), work + QStringLiteral("hello.cpp"), form->Execute1},
        {"batch file", program + QStringLiteral("__out.bat"), work + QStringLiteral("hello.cpp"), form->Make1},
        {"messages", program + QStringLiteral("message.txt"), work + QStringLiteral("hello.cpp"), form->Execute1},
        {"page prog.exe", QString(), work + QStringLiteral("prog.exe"), form->Make1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        root.write(QStringLiteral("precious.txt"), "mine");
        if (!row.link.isEmpty()) {
            QFile::remove(row.link);
            ASSERT_TRUE(QFile::link(precious, row.link));
        }
        openPage(row.page, kHello);
        dialogs.clearAsked();
        dialogs.answer(MsgAnswer::Ok);
        row.command->trigger();
        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
        const QString named = row.link.isEmpty() ? row.page : row.link.section(u'/', -1);
        EXPECT_TRUE(dialogs.asked[0].text.contains(named)) << dialogs.asked[0].text.toStdString();
        EXPECT_EQ(readAll(precious), "mine");
        EXPECT_EQ(readAll(row.page), kHello);
        if (!row.link.isEmpty())
            QFile::remove(row.link);
    }
}

// An installed copy's per-user folders are used only when private to the user:
// an open one is neither read nor written, and serves once it is made private.
TEST_F(BuildFaults, PerUserFoldersMustBePrivate)
{
    const QString settings = root.path() + QStringLiteral("config/");
    const QString cache = root.path() + QStringLiteral("cache/");
    for (const QString& folder : {settings, cache}) {
        ASSERT_TRUE(QDir().mkpath(folder));
        ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0755), 0);
    }
    form = std::make_unique<TForm1>(TForm1Deps{dialogs, ProgramFolders(program, settings, cache)});
    dialogs.answer(MsgAnswer::Ok);
    form->show();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].text.contains(settings.chopped(1))) << dialogs.asked[0].text.toStdString();

    openPage(work + QStringLiteral("hello.cpp"), kHello);
    dialogs.answer(MsgAnswer::Ok);
    form->Execute1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_TRUE(dialogs.asked[1].text.contains(cache.chopped(1))) << dialogs.asked[1].text.toStdString();
    EXPECT_FALSE(QFile::exists(cache + QStringLiteral("__out.bat")));

    ASSERT_EQ(::chmod(QFile::encodeName(cache).constData(), 0700), 0);
    form->Execute1->trigger();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_TRUE(QFile::exists(cache + QStringLiteral("__out.bat")));
    ASSERT_EQ(::chmod(QFile::encodeName(settings).constData(), 0700), 0);
    form->close();
    EXPECT_TRUE(QFile::exists(settings + QStringLiteral("Nollex.ini")));
}
