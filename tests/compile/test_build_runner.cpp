// The build runner on a Windows file system in memory: batch lines to the letter,
// the files a build makes and removes, the questions and the failure messages.

#include "FakePlatform.h"
#include "compile/BatchFile.h"
#include "compile/BuildRunner.h"
#include "editor/TMemos.h"
#include "options/CompileOptionSet.h"
#include "platform/Errors.h"
#include "platform/Waiting.h"
#include "platform/WinCommandLine.h"
#include "support/FakeWindow.h"
#include "support/ScriptedDialogs.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStandardPaths>

using namespace nollex;
using nollex::test::FakeProcesses;
using nollex::test::FakeWindowsFileSystem;

namespace {

const QString kProgram = QStringLiteral("C:\\Program Files\\Tools\\");
const QString kShortProgram = QStringLiteral("C:\\PROGRA~1\\Tools\\");

struct BuildFixture : ::testing::Test {
    QWidget window;
    TPageControl* control = new TPageControl(&window);
    std::unique_ptr<TMemos> memos;
    WindowState state;
    CompileOptionSet& options = state.OptionSet;
    QString& workFolder = state.WorkFolder;
    QString& lastBuildFileName = state.LastBuildFileName;
    AfterRun& runMode = state.RunMode;
    int& projectMainIndex = state.ProjectMainIndex;
    test::ScriptedDialogs dialogs;
    FakeWindowsFileSystem fs;
    FakeProcesses processes;
    test::FakeWindow host{dialogs, fs, processes, ProgramFolders(kProgram)};
    QString& messages = host.messages;
    QList<SaveMode> saves;     // SavePage's arguments, in order
    QList<int> savedPages;     // the active page at each save
    std::function<bool(SaveMode)> onSave = [](SaveMode) { return true; };

    void SetUp() override
    {
        memos = std::make_unique<TMemos>(&window, control);
        host.memos = memos.get();
        host.messages = QStringLiteral("old text");
        host.onSave = [this](SaveMode mode) {
            saves << mode;
            savedPages << memos->ActiveIndex();
            return onSave(mode);
        };
        state.CompilerDirectory = QStringLiteral("C:\\Borland\\bcc55\\Bin");
        state.CompilerName = QStringLiteral("bcc32.exe");
        fs.addFolder(QStringLiteral("C:\\Program Files"), QStringLiteral("PROGRA~1"));
        fs.addFolder(QStringLiteral("C:\\Program Files\\Tools"));
        fs.addFolder(QStringLiteral("C:\\Borland\\bcc55\\Bin"));
        fs.addFolder(QStringLiteral("C:\\work"));
        // The worked example's options: -3, -b, -O1 and -w, nothing else.
        options = CompileOptionSet{};
    }
    void TearDown() override { memos.reset(); }

    void openPage(const QString& path, const QString& text, const QString& project = {})
    {
        if (!memos->fileName(memos->ActiveIndex()).isEmpty() ||
            !memos->ActiveMemo()->toPlainText().isEmpty())
            memos->AddPage(project);
        memos->ActiveMemo()->OwningProject = project;
        memos->setFileName(memos->ActiveIndex(), path);
        memos->ActiveMemo()->setPlainText(text);
        if (!path.isEmpty())
            fs.addFile(path, text.toUtf8());
    }

    void run(BuildMode mode) { RunBuild(state, host, mode); }

    // The compiler's part: message.txt and, when it succeeds, the outputs in the -n folder.
    void compilerWrites(const QByteArray& message, bool succeeds = true)
    {
        processes.onStart = [this, message, succeeds](const StartRequest& r) {
            if (!r.wait)
                return 0;
            processes.exitCode = succeeds ? 0 : 1;
            fs.addFile(kShortProgram + QStringLiteral("message.txt"), message);
            if (succeeds) {
                fs.addFile(workFolder + QStringLiteral("__out.exe"));
                fs.addFile(workFolder + QStringLiteral("__out.obj"));
                fs.addFile(workFolder + QStringLiteral("__out.tds"));
            }
            return 0;
        };
    }

    QStringList batchLines() const
    {
        return QString::fromUtf8(fs.file(kShortProgram + QStringLiteral("__out.bat")))
            .split(QStringLiteral("\r\n"));
    }
};

}  // namespace

// The worked example, to the letter: every path in its short form, CR LF lines,
// the build waited for without a window and the program run in a console.
TEST_F(BuildFixture, ExecuteWorkedExample)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("int main() {}\n"));
    compilerWrites("Borland C++ 5.5\r\nhello.cpp:\r\n");

    run(BuildMode::Execute);

    EXPECT_EQ(workFolder, QStringLiteral("C:\\work\\"));
    EXPECT_EQ(lastBuildFileName, QStringLiteral("hello.cpp"));
    EXPECT_EQ(fs.file(kShortProgram + QStringLiteral("__out.bat")),
              QByteArray("cd \"C:\\Borland\\bcc55\\Bin\\\"\r\n"
                         "bcc32.exe -3 -b -O1 -w -nC:\\work\\ C:\\work\\__out.cpp > "
                         "C:\\PROGRA~1\\Tools\\message.txt\r\n"
                         "rem C:\\PROGRA~1\\Tools\\\r\n"));
    ASSERT_EQ(processes.started.size(), 2);
    const StartRequest& build = processes.started[0];
    EXPECT_EQ(build.commandLine, QStringLiteral("cmd.exe /C C:\\PROGRA~1\\Tools\\__out.bat"));
    EXPECT_TRUE(build.wait);
    EXPECT_FALSE(build.console);
    EXPECT_TRUE(build.folder.isEmpty());
    const StartRequest& program = processes.started[1];
    EXPECT_EQ(program.commandLine, QStringLiteral("cmd.exe /C C:\\work\\__out.exe"));
    EXPECT_EQ(program.folder, QStringLiteral("C:\\work\\"));
    EXPECT_TRUE(program.console);
    EXPECT_FALSE(program.wait);
    // The run-time checks are asked of the compiler, with the replay's build beside
    // them where valgrind can replay the run, and the run is watched.
    QStringList guarded{QStringLiteral("NOLLEX_GUARD=1")};
    if (!QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty())
        guarded << QStringLiteral("NOLLEX_REPLAY=") + host.folders().runs + QStringLiteral("replay-%1.exe").arg(QCoreApplication::applicationPid());
    EXPECT_EQ(build.environment, guarded);
    EXPECT_EQ(host.watchedRuns, QList<bool>{true});

    EXPECT_EQ(messages, QStringLiteral("Borland C++ 5.5\nhello.cpp:"));
    // The temporary copy held the page's text, and only the copy was written.
    EXPECT_TRUE(fs.written.contains(QStringLiteral("C:\\work\\__out.cpp")));
    EXPECT_FALSE(fs.written.contains(QStringLiteral("C:\\work\\hello.cpp")));
    EXPECT_FALSE(fs.hasFile(QStringLiteral("C:\\work\\__out.cpp")));
    EXPECT_FALSE(fs.hasFile(QStringLiteral("C:\\work\\__out.obj")));
    EXPECT_FALSE(fs.hasFile(QStringLiteral("C:\\work\\__out.tds")));
    EXPECT_TRUE(fs.hasFile(QStringLiteral("C:\\work\\__out.exe")));
    // message.txt went before the build, __out.exe before the compile.
    EXPECT_EQ(fs.removed.mid(0, 2), (QStringList{kShortProgram + QStringLiteral("message.txt"),
                                                 QStringLiteral("C:\\work\\__out.exe")}));
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

// The temporary copy's extension follows the page's: ".c" in any case gives a C build.
TEST_F(BuildFixture, ExtensionRule)
{
    const struct {
        const char* file;
        const char* source;
    } rows[] = {{"C:\\work\\A.C", "C:\\work\\__out.c"},
                {"C:\\work\\a.c", "C:\\work\\__out.c"},
                {"C:\\work\\a.h", "C:\\work\\__out.cpp"},
                {"C:\\work\\a.txt", "C:\\work\\__out.cpp"},
                {"C:\\work\\noext", "C:\\work\\__out.cpp"},
                {"C:\\work\\a.c.txt", "C:\\work\\__out.cpp"},
                {"", "C:\\PROGRA~1\\Tools\\__out.cpp"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        fs.written.clear();
        memos->setFileName(0, QString::fromLatin1(row.file));
        run(BuildMode::Execute);
        EXPECT_EQ(batchLines().value(1).section(u' ', -3, -3), QString::fromLatin1(row.source));
        EXPECT_TRUE(fs.written.contains(QString::fromLatin1(row.source)));
    }
}

// Make compiles the page's own file (rewriting it), adds -c and borrows -n for
// one build only; it deletes no __out file and runs nothing.
TEST_F(BuildFixture, MakeBorrowsOutputFolderAndRewritesThePage)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("old"));
    memos->ActiveMemo()->setPlainText(QStringLiteral("new text"));
    options.smallc = QStringLiteral("-c ");
    compilerWrites("made", false);

    run(BuildMode::Make);

    EXPECT_EQ(batchLines().value(1),
              QStringLiteral("bcc32.exe -3 -b -O1 -w -c -nC:\\work\\ C:\\work\\hello.cpp > "
                             "C:\\PROGRA~1\\Tools\\message.txt"));
    EXPECT_TRUE(options.smalln.isEmpty());
    EXPECT_EQ(fs.file(QStringLiteral("C:\\work\\hello.cpp")), QByteArray("new text"));
    EXPECT_EQ(processes.started.size(), 1);
    EXPECT_TRUE(processes.started[0].environment.isEmpty()) << "Make builds without the run-time checks";
    EXPECT_EQ(messages, QStringLiteral("made"));
    EXPECT_FALSE(fs.removed.contains(QStringLiteral("C:\\work\\__out.exe")));

    // The user's own -n text is used and kept.
    options.smalln = QStringLiteral("-nC:\\out\\ ");
    run(BuildMode::Make);
    EXPECT_TRUE(batchLines().value(1).contains(QStringLiteral("-c -nC:\\out\\ C:\\work\\hello.cpp")));
    EXPECT_EQ(options.smalln, QStringLiteral("-nC:\\out\\ "));
}

// Execute never adds "-c", even when it is switched on; without the run-time
// checks its compile is asked for nothing more.
TEST_F(BuildFixture, ExecuteNeverCompilesOnly)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("x"));
    options.smallc = QStringLiteral("-c ");
    state.GuardedRun = false;
    run(BuildMode::Execute);
    EXPECT_FALSE(batchLines().value(1).contains(QStringLiteral("-c ")));
    EXPECT_TRUE(processes.started.value(0).environment.isEmpty());
}

// Make on an untitled page: a refused Save As ends the build with the batch file
// emptied and message.txt gone; an accepted one builds from the new file's folder.
TEST_F(BuildFixture, MakeOnUntitledPage)
{
    fs.addFile(kShortProgram + QStringLiteral("message.txt"), "earlier");
    fs.addFile(kShortProgram + QStringLiteral("__out.bat"), "earlier");
    onSave = [](SaveMode) { return false; };
    run(BuildMode::Make);
    EXPECT_EQ(saves, QList<SaveMode>{SaveMode::SaveAs});
    EXPECT_EQ(fs.file(kShortProgram + QStringLiteral("__out.bat")), QByteArray());
    EXPECT_FALSE(fs.hasFile(kShortProgram + QStringLiteral("message.txt")));
    EXPECT_EQ(messages, QStringLiteral("old text"));
    EXPECT_TRUE(processes.started.isEmpty());

    fs.addFolder(QStringLiteral("C:\\Other Place"), QStringLiteral("OTHERP~1"));
    onSave = [this](SaveMode) {
        memos->setFileName(0, QStringLiteral("C:\\Other Place\\new.c"));
        fs.addFile(QStringLiteral("C:\\Other Place\\new.c"));
        return true;
    };
    run(BuildMode::Make);
    EXPECT_EQ(workFolder, QStringLiteral("C:\\OTHERP~1\\"));
    EXPECT_EQ(batchLines().value(1),
              QStringLiteral("bcc32.exe -3 -b -O1 -w -nC:\\OTHERP~1\\ C:\\OTHERP~1\\new.c > "
                             "C:\\PROGRA~1\\Tools\\message.txt"));
    EXPECT_EQ(processes.started.size(), 1);
}

// With a project open the main page is built; the project's other changed pages
// are asked about in page order, pages of no project or without changes are not.
TEST_F(BuildFixture, ProjectPagesAreOfferedForSaving)
{
    const QString prj = QStringLiteral("C:\\work\\p.prj");
    openPage(QStringLiteral("C:\\work\\a.cpp"), QStringLiteral("a"), prj);
    openPage(QStringLiteral("C:\\work\\main.cpp"), QStringLiteral("main"), prj);
    openPage(QStringLiteral("C:\\work\\b.cpp"), QStringLiteral("b"), prj);
    openPage(QStringLiteral("C:\\work\\c.cpp"), QStringLiteral("c"), prj);
    openPage(QStringLiteral("C:\\work\\loose.cpp"), QStringLiteral("l"));
    for (int i = 0; i <= memos->LastIndex(); ++i)
        memos->editor(i)->ChangeMarked = false;
    memos->editor(0)->ChangeMarked = true;
    memos->editor(1)->ChangeMarked = true;  // the main page: never asked about
    memos->editor(3)->ChangeMarked = true;
    memos->editor(4)->ChangeMarked = true;  // no project
    projectMainIndex = 1;
    memos->setActiveIndex(4);
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::No);

    run(BuildMode::Execute);

    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
    EXPECT_EQ(dialogs.asked[0].text,
              QStringLiteral("プロジェクトに含まれるファイル \"C:\\work\\a.cpp\" を保存しますか？"));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);
    EXPECT_TRUE(dialogs.asked[1].text.contains(QStringLiteral("c.cpp")));
    EXPECT_EQ(saves, QList<SaveMode>{SaveMode::Save});
    EXPECT_EQ(savedPages, QList<int>{0});
    EXPECT_EQ(memos->ActiveIndex(), 1);
    EXPECT_EQ(lastBuildFileName, QStringLiteral("main.cpp"));
}

// Cancel ends the build before anything is set or touched; page i stays active.
TEST_F(BuildFixture, ProjectCancelEndsBeforeTheBuild)
{
    const QString prj = QStringLiteral("C:\\work\\p.prj");
    openPage(QStringLiteral("C:\\work\\main.cpp"), QStringLiteral("main"), prj);
    openPage(QStringLiteral("C:\\work\\b.cpp"), QStringLiteral("b"), prj);
    memos->editor(1)->ChangeMarked = true;
    projectMainIndex = 0;
    workFolder = QStringLiteral("before");
    dialogs.answer(MsgAnswer::Cancel);

    run(BuildMode::Execute);

    EXPECT_EQ(workFolder, QStringLiteral("before"));
    EXPECT_EQ(memos->ActiveIndex(), 1);
    EXPECT_TRUE(fs.written.isEmpty());
    EXPECT_TRUE(fs.removed.isEmpty());
    EXPECT_TRUE(processes.started.isEmpty());
}

// Each failure ends as the user is told: the pre-build message, the start error
// number, a compile failure that starts nothing, a page that cannot be written.
TEST_F(BuildFixture, FailureMessages)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("x"));

    {
        SCOPED_TRACE("batch file not writable");
        fs.setReadOnly(kShortProgram + QStringLiteral("__out.bat"));
        run(BuildMode::Execute);
        EXPECT_EQ(messages, kPreBuildError);
        EXPECT_TRUE(processes.started.isEmpty());
        fs.setReadOnly(kShortProgram + QStringLiteral("__out.bat"), false);
    }
    {
        SCOPED_TRACE("interpreter does not start");
        processes.onStart = [](const StartRequest&) { return 2; };
        dialogs.answer(MsgAnswer::Ok);
        run(BuildMode::Execute);
        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
        EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("2"));
        EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(messages, QStringLiteral("MessageOpenError"));
        EXPECT_EQ(processes.started.size(), 1);
        EXPECT_FALSE(fs.hasFile(QStringLiteral("C:\\work\\__out.cpp")));
    }
    {
        SCOPED_TRACE("compile error");
        processes.started.clear();
        compilerWrites("Error E2379 hello.cpp 3: Statement missing ;\r\n", false);
        run(BuildMode::Execute);
        EXPECT_EQ(messages, QStringLiteral("Error E2379 hello.cpp 3: Statement missing ;"));
        EXPECT_EQ(processes.started.size(), 1);
        EXPECT_FALSE(fs.hasFile(QStringLiteral("C:\\work\\__out.cpp")));
    }
    {
        SCOPED_TRACE("compile fails without a word");
        processes.started.clear();
        compilerWrites("", false);
        run(BuildMode::Execute);
        EXPECT_FALSE(messages.isEmpty());
        EXPECT_EQ(processes.started.size(), 1);
    }
    {
        SCOPED_TRACE("page not writable");
        processes.started.clear();
        messages = QStringLiteral("kept");
        fs.setReadOnly(QStringLiteral("C:\\work\\hello.cpp"));
        EXPECT_THROW(run(BuildMode::Make), NollexError);
        EXPECT_TRUE(processes.started.isEmpty());
        EXPECT_EQ(messages, QStringLiteral("kept"));
        EXPECT_EQ(batchLines().size(), 4);  // the batch file was already written
    }
    {
        SCOPED_TRACE("unknown platform");
        processes.id = 3;
        run(BuildMode::Execute);
        EXPECT_TRUE(processes.started.isEmpty());
        EXPECT_EQ(messages, QStringLiteral("kept"));
    }
}

// A compiler folder that does not exist leaves nothing between the quotes.
// A page whose folder has gone is refused before anything is written: its bare
// names would land in Nollex's current folder.
TEST_F(BuildFixture, MissingFolders)
{
    openPage(QStringLiteral("C:\\work\\x.cpp"), QStringLiteral("x"));
    state.CompilerDirectory = QStringLiteral("C:\\nowhere\\Bin");
    run(BuildMode::Execute);
    EXPECT_EQ(batchLines().value(0), QStringLiteral("cd \"\""));

    for (const BuildMode mode : {BuildMode::Make, BuildMode::Execute}) {
        fs.written.clear();
        fs.removed.clear();
        memos->setFileName(0, QStringLiteral("C:\\gone\\x.cpp"));
        try {
            run(mode);
            ADD_FAILURE() << "built in a missing folder";
        } catch (const NollexError& e) {
            EXPECT_TRUE(e.text().contains(QStringLiteral("C:\\gone\\"))) << e.text().toStdString();
        }
        EXPECT_EQ(workFolder, QString());
        EXPECT_TRUE(fs.written.isEmpty()) << fs.written.join(u' ').toStdString();
        EXPECT_TRUE(fs.removed.isEmpty()) << fs.removed.join(u' ').toStdString();
    }
}

// Execute's scratch copy (written, then deleted) must never be the file of an
// open page: a page named __out.cpp would lose its text.
TEST_F(BuildFixture, ExecuteRefusesWhenAScratchFileIsAPage)
{
    const struct {
        const char* built;
        const char* page;
    } rows[] = {{"hello.cpp", "__OUT.CPP"}, {"hello.C", "__out.c"}, {"hello.c", "__out.obj"}};
    memos->AddPage(QString());
    for (const auto& [built, name] : rows) {
        const QString page = QStringLiteral("C:\\work\\") + QString::fromLatin1(name);
        memos->setFileName(0, QStringLiteral("C:\\work\\") + QString::fromLatin1(built));
        memos->setFileName(1, page);
        fs.addFile(memos->fileName(0), "main");
        fs.addFile(page, "mine");
        memos->setActiveIndex(0);
        fs.written.clear();
        EXPECT_THROW(run(BuildMode::Execute), NollexError) << name;
        EXPECT_TRUE(fs.written.isEmpty()) << name;
        EXPECT_EQ(fs.file(page), QByteArray("mine"));
        EXPECT_FALSE(fs.removed.contains(page));
    }
    // Make writes the page's own file, as always.
    memos->setFileName(1, QStringLiteral("C:\\work\\__out.cpp"));
    fs.addFile(memos->fileName(1), "mine");
    memos->setActiveIndex(1);
    EXPECT_NO_THROW(run(BuildMode::Make));
}

// RunMode decides between "/C" and "/K" for the run after Execute and for Re-run.
TEST_F(BuildFixture, RunModeAndRerun)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("x"));
    compilerWrites("");
    runMode = AfterRun::WaitForExit;
    run(BuildMode::Execute);
    ASSERT_EQ(processes.started.size(), 2);
    EXPECT_EQ(processes.started[1].commandLine, QStringLiteral("cmd.exe /K C:\\work\\__out.exe"));

    processes.started.clear();
    RerunOutput(state, host);
    ASSERT_EQ(processes.started.size(), 1);
    EXPECT_EQ(processes.started[0].commandLine, QStringLiteral("cmd.exe /K __out.exe"));
    EXPECT_EQ(processes.started[0].folder, QStringLiteral("C:\\work\\"));
    EXPECT_TRUE(processes.started[0].console);
    EXPECT_FALSE(processes.started[0].wait);

    runMode = AfterRun::CloseConsole;
    RerunOutput(state, host);
    EXPECT_EQ(processes.started[1].commandLine, QStringLiteral("cmd.exe /C __out.exe"));

    // Once the program is gone, or put back by another user, it is not run.
    for (const bool foreign : {false, true}) {
        if (foreign)
            fs.setForeign(QStringLiteral("C:\\work\\__out.exe"));
        else
            fs.remove(QStringLiteral("C:\\work\\__out.exe"));
        dialogs.answer(MsgAnswer::Ok);
        RerunOutput(state, host);
        EXPECT_EQ(processes.started.size(), 2);
        fs.addFile(QStringLiteral("C:\\work\\__out.exe"));
    }
    EXPECT_EQ(dialogs.asked.size(), 2);
}

// Execute runs only a program its own compile made: a compile that failed or was
// stopped built nothing whatever files it left, and old outputs that another user
// owns, that cannot be removed or that are links stop the build before it writes.
TEST_F(BuildFixture, ExecuteRunsOnlyWhatItBuilt)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("x"));
    const QString work = QStringLiteral("C:\\work\\");
    for (const bool stopped : {false, true}) {
        SCOPED_TRACE(stopped ? "stopped" : "failed");
        processes.started.clear();
        compilerWrites("partial", true);
        processes.onStart = [this, wrote = processes.onStart, stopped](const StartRequest& r) {
            const int error = wrote(r);
            processes.exitCode = stopped ? 137 : 1;
            processes.stopped = stopped;
            return error;
        };
        dialogs.answer(MsgAnswer::Ok);
        run(BuildMode::Execute);
        EXPECT_EQ(processes.started.size(), 1);
        EXPECT_EQ(messages.contains(QStringLiteral("中止")), stopped) << messages.toStdString();
        RerunOutput(state, host);
        EXPECT_EQ(processes.started.size(), 1);
    }
    processes.stopped = false;

    const struct {
        const char* name;
        QString path;
        void (FakeWindowsFileSystem::*make)(const QString&);
    } rows[] = {
        {"foreign exe", work + QStringLiteral("__out.exe"), &FakeWindowsFileSystem::setForeign},
        {"fixed obj", work + QStringLiteral("__out.obj"), &FakeWindowsFileSystem::setUndeletable},
        {"foreign source", work + QStringLiteral("__out.cpp"), &FakeWindowsFileSystem::setForeign},
        {"link source", work + QStringLiteral("__out.cpp"), &FakeWindowsFileSystem::setLink},
        {"link exe", work + QStringLiteral("__out.exe"), &FakeWindowsFileSystem::setLink},
        {"link batch", kShortProgram + QStringLiteral("__out.bat"), &FakeWindowsFileSystem::setLink},
        {"link message", kShortProgram + QStringLiteral("message.txt"), &FakeWindowsFileSystem::setLink},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        FakeWindowsFileSystem clean = fs;
        fs.addFile(row.path, "theirs");
        (fs.*row.make)(row.path);
        fs.written.clear();
        processes.started.clear();
        try {
            run(BuildMode::Execute);
            ADD_FAILURE() << "built";
        } catch (const NollexError& e) {
            EXPECT_TRUE(e.text().contains(row.path.left(row.path.lastIndexOf(u'\\') + 1))) << e.text().toStdString();
        }
        EXPECT_FALSE(fs.written.contains(work + QStringLiteral("__out.cpp")));
        EXPECT_TRUE(processes.started.isEmpty());
        EXPECT_EQ(fs.file(row.path), QByteArray("theirs"));
        fs = clean;
    }
}

// Make never writes its program over an open page's file: a page named prog.exe
// (or prog.obj) would be replaced by what it compiles to.
TEST_F(BuildFixture, MakeRefusesToOverwriteAPage)
{
    const struct {
        const char* page;
        const char* smallc;
        const char* smalln;
        bool refused;
    } rows[] = {{"C:\\work\\prog.exe", "", "", true},
                {"C:\\work\\PROG.OBJ", "-c ", "", true},
                {"C:\\work\\prog.exe", "-c ", "", false},
                {"C:\\work\\prog.exe", "", "-n\"C:\\out\" ", false},
                {"C:\\work\\prog.cpp", "", "", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.page) + row.smallc + row.smalln);
        memos->setFileName(0, QString::fromLatin1(row.page));
        memos->ActiveMemo()->setPlainText(QStringLiteral("new"));
        fs.addFile(memos->fileName(0), "mine");
        options.smallc = QString::fromLatin1(row.smallc);
        options.smalln = QString::fromLatin1(row.smalln);
        processes.started.clear();
        if (row.refused) {
            EXPECT_THROW(run(BuildMode::Make), NollexError);
            EXPECT_EQ(fs.file(memos->fileName(0)), QByteArray("mine"));
            EXPECT_TRUE(processes.started.isEmpty());
        } else {
            EXPECT_NO_THROW(run(BuildMode::Make));
            EXPECT_EQ(processes.started.size(), 1);
        }
    }
}

// Two windows share the build's files: a build waits while another holds them,
// goes on once they are free, and ends without touching them when the wait is stopped.
TEST_F(BuildFixture, BuildWaitsForAnotherWindowsBuild)
{
    openPage(QStringLiteral("C:\\work\\hello.cpp"), QStringLiteral("x"));
    const QString lock = QStringLiteral("C:\\PROGRAM FILES\\TOOLS\\__OUT.LOCK");
    fs.locks.insert(lock);
    host.waiter.onPoll = [&](int poll) {
        EXPECT_TRUE(fs.written.isEmpty());
        if (poll == 2)
            fs.locks.remove(lock);
    };
    run(BuildMode::Execute);
    EXPECT_EQ(host.waiter.texts, QStringList{kCompilingText});
    EXPECT_EQ(processes.started.size(), 1);
    EXPECT_TRUE(fs.locks.isEmpty());  // released at the build's end

    fs.locks.insert(lock);
    host.waiter.onPoll = nullptr;
    host.waiter.stopAfterPolls = 3;
    fs.written.clear();
    fs.removed.clear();
    run(BuildMode::Execute);
    EXPECT_EQ(processes.started.size(), 1);
    EXPECT_TRUE(fs.written.isEmpty());
    EXPECT_TRUE(fs.removed.isEmpty());
    EXPECT_TRUE(messages.contains(QStringLiteral("中止"))) << messages.toStdString();
}

// Re-run before any build says so and starts nothing; the prompt is the
// interpreter alone in this process's folder.
TEST_F(BuildFixture, RerunBeforeBuildAndPrompt)
{
    dialogs.answer(MsgAnswer::Ok);
    RerunOutput(state, host);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("__out.exe"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("__out.exeを作成していません"));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
    EXPECT_TRUE(processes.started.isEmpty());

    OpenDosPrompt(host);
    ASSERT_EQ(processes.started.size(), 1);
    EXPECT_EQ(processes.started[0].commandLine, QStringLiteral("cmd.exe "));
    EXPECT_TRUE(processes.started[0].folder.isEmpty());
    EXPECT_TRUE(processes.started[0].console);

    processes.id = 0;
    OpenDosPrompt(host);
    EXPECT_EQ(processes.started[1].commandLine, QStringLiteral("command.com "));
}

// Paths that need quoting (blanks, ">" in names) stay one word each when the
// batch line is split again; paths that do not are written bare.
TEST(BatchFile, QuotesOnlyWhatNeedsIt)
{
    const BatchFile batch = makeBatchFile({QStringLiteral("/opt/bcc/"), QStringLiteral("bcc32.exe"),
                                           QStringLiteral("-w -n") + commandWord(QStringLiteral("/h/my work/")) +
                                               u' ',
                                           QStringLiteral("/h/my work/__out.cpp"), QStringLiteral("/h/a>b/")});
    EXPECT_EQ(batch.compileCommand,
              QStringLiteral("bcc32.exe -w -n\"/h/my work/\" \"/h/my work/__out.cpp\" > \"/h/a>b/message.txt\""));
    const auto words = SplitWindowsCommandLine(batch.compileCommand.left(batch.compileCommand.indexOf(u'>')).toStdString());
    EXPECT_EQ(words, (std::vector<std::string>{"bcc32.exe", "-w", "-n/h/my work/", "/h/my work/__out.cpp"}));
    EXPECT_EQ(commandWord(QStringLiteral("C:\\PROGRA~1\\Tools\\__out.bat")),
              QStringLiteral("C:\\PROGRA~1\\Tools\\__out.bat"));
    EXPECT_EQ(commandWord(QStringLiteral("/ホーム/日本語/")), QStringLiteral("/ホーム/日本語/"));
    EXPECT_EQ(batchCommand(QStringLiteral("cmd.exe "), QStringLiteral("/a b/")),
              QStringLiteral("cmd.exe /C \"/a b/__out.bat\""));
    EXPECT_EQ(SelectInterpreter(1), QStringLiteral("command.com "));
    EXPECT_EQ(SelectInterpreter(2), QStringLiteral("cmd.exe "));
    EXPECT_FALSE(SelectInterpreter(3).has_value());
}

// The real compiler reads the page's name back from the scratch copy's first line,
// whatever characters the name has, in either encoding of the page.
TEST(BatchFile, ScratchCopyNamesThePageToTheCompiler)
{
    QTemporaryDir dir;
    const QString page = QStringLiteral("/h/日本 \"q\"\\?\?=x.c");
    const QString scratch = dir.filePath(QStringLiteral("__out.c"));
    for (const char* charset : {"UTF-8", "CP932"}) {
        QFile file(scratch);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(scratchCopyText(page, QStringLiteral("int main(void)\n{\n    return x;\n}\n")).toUtf8());
        file.close();
        QProcess gcc;
        gcc.start(QStringLiteral("gcc"), {QStringLiteral("-fsyntax-only"), QStringLiteral("-std=c99"),
                                          QStringLiteral("-finput-charset=") + QLatin1String(charset), scratch});
        ASSERT_TRUE(gcc.waitForFinished(30000));
        const QString said = QString::fromUtf8(gcc.readAllStandardError());
        EXPECT_TRUE(said.contains(page + QStringLiteral(":3:12: "))) << charset << said.toStdString();
        EXPECT_FALSE(said.contains(QStringLiteral("__out"))) << said.toStdString();
    }
    EXPECT_EQ(scratchCopyText(QString(), QStringLiteral("int x;\n")), QStringLiteral("int x;\n"));
}
