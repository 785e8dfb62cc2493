#include "app/TForm1.h"
#include "editor/FileCommands.h"
#include "editor/TMemos.h"
#include "platform/Errors.h"
#include "platform/Processes.h"
#include "support/FakeWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

using namespace nollex;
using test::Asked;

namespace {

const QString kOpenFilter = QStringLiteral(
    "C/C++ lang(*c;*.cpp;*.h)|*.c;*.cpp;*.h|Text Files(*.txt)|*.txt|Others(*.*)|*.*");
const QString kSaveFilter =
    QStringLiteral("C/C++ lang(*c;*.cpp;*.h)|*.c;*.cpp;*.h|Text Files|*.txt|Others|*.*");

QString saveQuestion(const QString& name)
{
    return QStringLiteral("ファイル \"") + name + QStringLiteral("\" が編集されています\n保存しますか?");
}

// The file commands on a page set in a shown window; the window's caption and
// project opening are recorded.
struct Files : ::testing::Test {
    test::ScriptedDialogs dialogs;
    test::TempDir dir;
    QWidget window;
    TPageControl* control = new TPageControl(&window);
    std::unique_ptr<TMemos> memos;
    WindowState state;
    int& projectMainIndex = state.ProjectMainIndex;
    HostFileSystem hostFiles;
    HostProcessStarter hostProcesses{dir.path()};
    test::FakeWindow host{dialogs, hostFiles, hostProcesses};
    QStringList& captions = host.captions;
    QStringList& projects = host.projects;

    void SetUp() override
    {
        window.resize(500, 300);
        control->setGeometry(0, 0, 500, 300);
        memos = std::make_unique<TMemos>(&window, control);
        window.show();
    }
    // A fresh page set (the tab control goes with the old one's sheets).
    void restart()
    {
        memos.reset();
        delete control;
        control = new TPageControl(&window);
        control->setGeometry(0, 0, 500, 300);
        control->show();
        memos = std::make_unique<TMemos>(&window, control);
    }
    void TearDown() override
    {
        memos.reset();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }
    FileCommands files()
    {
        host.memos = memos.get();
        return FileCommands(state, host);
    }
    // A user edit at the end of page i (which becomes active).
    void type(int i, const QString& text)
    {
        memos->setActiveIndex(i);
        memos->editor(i)->setCaret(memos->editor(i)->characterCount());
        // Test keys are ASCII only; other text arrives as an input method would put it.
        bool ascii = std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
        if (ascii)
            QTest::keyClicks(memos->editor(i), text);
        else
            memos->editor(i)->insertPlainText(text);
    }
    QString text(int i) const { return memos->editor(i)->toPlainText(); }
    void openPages(int n)  // n titled pages 0.c .. n-1.c, the last one active
    {
        QStringList paths;
        for (int i = 0; i < n; ++i)
            paths << dir.write(QString::number(i) + ".c", QByteArray::number(i));
        dialogs.answer(paths);
        files().open();
    }
};

}  // namespace

// Two files chosen at once: the first fills the fresh page 0, the second gets a new page.
TEST_F(Files, OpenTwoFilesFromAFreshStart)
{
    const QString a = dir.write("a.c", "int a;\r\n"), b = dir.write("b.cpp", "int b;");
    dialogs.answer(QStringList{a, b});
    files().open();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].filter, kOpenFilter);
    EXPECT_TRUE(dialogs.asked[0].multiple);
    EXPECT_EQ(memos->fileNames(), (QStringList{a, b}));
    EXPECT_EQ(memos->ActiveIndex(), 1);
    EXPECT_EQ(text(0), "int a;\n");
    EXPECT_EQ(memos->caption(0), "a.c");
    EXPECT_EQ(memos->caption(1), "b.cpp");
    EXPECT_EQ(captions, (QStringList{"a.c", "b.cpp"}));  // the name part only
    EXPECT_FALSE(memos->editor(1)->Modified());
    // A loaded page is not marked; its first edit is.
    type(1, "x");
    EXPECT_EQ(memos->caption(1), "b.cpp *");
}

// An edited untitled page is no target: the file gets a new page, the edits stay.
TEST_F(Files, OpenKeepsAnEditedUntitledPage)
{
    type(0, "draft");
    dialogs.answer(QStringList{dir.write("a.c", "a")});
    files().open();
    EXPECT_EQ(memos->LastIndex(), 1);
    EXPECT_EQ(text(0), "draft");
    EXPECT_TRUE(memos->fileName(0).isEmpty());
    EXPECT_EQ(text(1), "a");
}

// A file that cannot be opened stops the command, names the file, and leaves no
// page bound to it; the files before it stay open.
TEST_F(Files, UnreadableOrBinaryFilesChangeNothing)
{
    const QString good = dir.write("good.c", "g");
    const QString rows[] = {dir.file("missing.c"), dir.path(), dir.write("nul.c", QByteArray("a\0b", 3)),
                            dir.write("bad.c", QByteArray::fromHex("41ff80"))};
    for (const QString& path : rows) {
        SCOPED_TRACE(path.toStdString());
        restart();
        dialogs.answer(QStringList{good, path, dir.write("later.c", "l")});
        try {
            files().open();
            ADD_FAILURE() << "no error";
        } catch (const NollexError& e) {
            EXPECT_TRUE(e.text().contains(path)) << e.text().toStdString();
        }
        EXPECT_EQ(memos->fileNames(), QStringList{good});
        EXPECT_EQ(text(0), "g");
    }
}

// A drop shows the full path; ".prj" (exactly) opens a project, ".PRJ" is text.
TEST_F(Files, DropOpensProjectsAndTextFiles)
{
    const QString prj = dir.write("x.prj", "[System]"), upper = dir.write("Y.PRJ", "up");
    const QString c = dir.write("z.c", "z");
    files().drop({prj, upper, c});
    EXPECT_EQ(projects, QStringList{prj});
    EXPECT_EQ(memos->fileNames(), (QStringList{upper, c}));
    EXPECT_EQ(text(0), "up");
    EXPECT_EQ(memos->caption(0), "Y.PRJ");
    EXPECT_EQ(captions, (QStringList{upper, c}));
}

// Save on a titled page writes without a dialog, also without changes; an
// untitled page asks with the preset "UNTITLED.cpp".
TEST_F(Files, SaveTitledAndUntitledPages)
{
    openPages(1);
    EXPECT_EQ(files().savePage(SaveMode::Save), true);
    EXPECT_EQ(dialogs.asked.size(), 1);  // only the open dialog
    EXPECT_EQ(dir.read("0.c"), "0");

    files().newPage();
    type(1, "int main(){}");
    const QString target = dir.file("new.cpp");
    dialogs.answer(target);
    EXPECT_EQ(files().savePage(SaveMode::Save), true);
    EXPECT_EQ(dialogs.asked.last().preset, "UNTITLED.cpp");
    EXPECT_EQ(dialogs.asked.last().filter, kSaveFilter);
    EXPECT_EQ(dir.read("new.cpp"), "int main(){}");
    EXPECT_EQ(memos->fileName(1), target);
    EXPECT_EQ(memos->caption(1), "new.cpp");
    EXPECT_EQ(captions.last(), target);
    EXPECT_FALSE(memos->editor(1)->Modified());
    EXPECT_FALSE(memos->editor(1)->ChangeMarked);
}

// Open and Save As start in the active page's folder; an untitled page's start
// in the folder last chosen in either dialog.
TEST_F(Files, DialogsStartInThePagesFolder)
{
    ASSERT_TRUE(QDir().mkpath(dir.file("sub")));
    const QString sub = QFileInfo(dir.file("sub")).absoluteFilePath();
    const QString top = QDir(dir.path()).absolutePath();
    dialogs.answer(QStringList{dir.write("sub/a.c", "a")});
    files().open();
    EXPECT_EQ(dialogs.asked.last().directory, "");  // nothing chosen yet
    dialogs.answer(test::Cancel{});
    files().savePage(SaveMode::SaveAs);
    EXPECT_EQ(dialogs.asked.last().directory, sub);

    files().newPage();
    dialogs.answer(dir.file("b.c"));
    files().savePage(SaveMode::Save);
    EXPECT_EQ(dialogs.asked.last().directory, sub);
    memos->setActiveIndex(0);
    dialogs.answer(test::Cancel{});
    files().open();
    EXPECT_EQ(dialogs.asked.last().directory, sub);
    files().newPage();
    dialogs.answer(test::Cancel{});
    files().open();
    EXPECT_EQ(dialogs.asked.last().directory, top);  // where b.c was saved
}

// Save As cancelled on a marked page: the mark goes, the changes stay, the next
// keystroke marks again, and nothing is written.
TEST_F(Files, SaveAsCancelledOnAMarkedPage)
{
    openPages(1);
    type(0, "x");
    ASSERT_EQ(memos->caption(0), "0.c *");
    dialogs.answer(test::Cancel{});
    EXPECT_EQ(files().savePage(SaveMode::SaveAs), false);
    EXPECT_EQ(dialogs.asked.last().preset, memos->fileName(0));
    EXPECT_EQ(memos->caption(0), "0.c");
    EXPECT_EQ(captions.last(), memos->fileName(0));
    EXPECT_TRUE(memos->editor(0)->Modified());
    EXPECT_EQ(dir.read("0.c"), "0");
    type(0, "y");
    EXPECT_EQ(memos->caption(0), "0.c *");
}

// A failed save names the file and leaves the file, the page's name, caption and
// flags as they were.
TEST_F(Files, FailedSaveLosesNothing)
{
    type(0, "draft");
    dialogs.answer(dir.file("no/such/dir/a.c"));
    EXPECT_THROW(files().savePage(SaveMode::Save), NollexError);
    EXPECT_TRUE(memos->fileName(0).isEmpty());
    EXPECT_EQ(memos->caption(0), " *");
    EXPECT_TRUE(memos->editor(0)->Modified());

    // A Shift-JIS page refuses a character Shift-JIS lacks.
    const QByteArray sjis = QByteArray::fromHex("93fa967b8cea");
    dialogs.answer(QStringList{dir.write("s.c", sjis)});
    files().open();
    type(1, QString::fromUtf8("é"));
    try {
        files().savePage(SaveMode::Save);
        ADD_FAILURE() << "no error";
    } catch (const NollexError& e) {
        EXPECT_TRUE(e.text().contains(dir.file("s.c")));
        EXPECT_TRUE(e.text().contains("U+00E9"));
    }
    EXPECT_EQ(dir.read("s.c"), sjis);
    EXPECT_EQ(memos->caption(1), "s.c *");

    if (geteuid() != 0) {  // root writes into read-only folders
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_THROW(files().savePage(SaveMode::Save), NollexError);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        EXPECT_EQ(dir.read("s.c"), sjis);
    }
}

// Files come back byte for byte, in the encoding and the line ends they came in
// (a mixed file takes the kind of its first break); an edit changes its own bytes
// alone, and a new page is LF.
TEST_F(Files, RoundTripsKeepBytes)
{
    const QByteArray sjis = QByteArray::fromHex("2f2f2093fa967b8cea0d0a707574732822955c5c6e22293b0d0a");
    const QByteArray utf8 = QString::fromUtf8("// é © 한 😀 ¥ ～\nint x;").toUtf8();
    const QByteArray bom = "\xEF\xBB\xBF" + utf8;
    const QString paths[] = {dir.write("s.c", sjis), dir.write("u.c", utf8), dir.write("b.c", bom),
                             dir.write("cr.c", "int a;\rint b;\r"), dir.write("m.c", "a\r\nb\nc\rd")};
    dialogs.answer(QStringList(std::begin(paths), std::end(paths)));
    files().open();
    for (int i = 0; i < 5; ++i) {
        memos->setActiveIndex(i);
        EXPECT_EQ(files().savePage(SaveMode::Save), true);
    }
    EXPECT_EQ(dir.read("s.c"), sjis);
    EXPECT_EQ(dir.read("u.c"), utf8);
    EXPECT_EQ(dir.read("b.c"), bom);
    EXPECT_EQ(dir.read("cr.c"), "int a;\rint b;\r");
    EXPECT_EQ(dir.read("m.c"), "a\r\nb\r\nc\r\nd");
    // An edited Shift-JIS page stays Shift-JIS, its breaks CR LF.
    type(0, QString::fromUtf8("語"));
    files().savePage(SaveMode::Save);
    EXPECT_EQ(dir.read("s.c"), sjis + QByteArray::fromHex("8cea"));
    type(3, "");
    QTest::keyClick(memos->editor(3), Qt::Key_Return);
    files().savePage(SaveMode::Save);
    EXPECT_EQ(dir.read("cr.c"), "int a;\rint b;\r\r");

    files().newPage();
    type(5, "x");
    QTest::keyClick(memos->editor(5), Qt::Key_Return);
    type(5, "y");
    dialogs.answer(dir.file("new.c"));
    files().savePage(SaveMode::Save);
    EXPECT_EQ(dir.read("new.c"), "x\ny");
}

TEST_F(Files, NewCopiesPageZerosTabWidth)
{
    files().newPage();
    EXPECT_EQ(memos->LastIndex(), 1);
    EXPECT_EQ(memos->ActiveIndex(), 1);
    EXPECT_EQ(memos->caption(1), "");
    EXPECT_EQ(memos->TabWidth(), 0);  // page 0 still had its first width 0
    EXPECT_TRUE(captions.isEmpty());
}

// Close picks the page before the closed one; the only page is replaced.
TEST_F(Files, CloseSelectionAndTheOnlyPage)
{
    openPages(3);
    TCustomizedMemo* former1 = memos->editor(1);
    memos->setActiveIndex(0);
    files().close();
    EXPECT_EQ(memos->LastIndex(), 1);
    EXPECT_EQ(memos->ActiveMemo(), former1);

    restart();
    openPages(3);
    files().close();  // page 2 is active
    EXPECT_EQ(memos->ActiveIndex(), 1);
    EXPECT_EQ(memos->fileNames(), (QStringList{dir.file("0.c"), dir.file("1.c")}));

    restart();
    openPages(1);
    TCustomizedMemo* only = memos->editor(0);
    files().close();
    EXPECT_EQ(memos->LastIndex(), 0);
    EXPECT_NE(memos->editor(0), only);
    EXPECT_TRUE(memos->fileName(0).isEmpty());
    EXPECT_EQ(text(0), "");
}

// A modified project page: first the membership question, then the save question;
// No to the first keeps the page without the second.
TEST_F(Files, CloseAsksMembershipBeforeSaving)
{
    openPages(2);
    memos->editor(1)->OwningProject = "/p/x.prj";
    type(1, "x");
    projectMainIndex = 0;
    dialogs.answer(MsgAnswer::No);
    files().close();
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[1].text, "このファイル \"" + dir.file("1.c") +
                                         "\" はプロジェクト \"/p/x.prj\" に属しています。単独で閉じますか？");
    EXPECT_EQ(dialogs.asked[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(memos->LastIndex(), 1);

    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::No);
    files().close();
    ASSERT_EQ(dialogs.asked.size(), 4);
    EXPECT_EQ(dialogs.asked[3].text, saveQuestion("1.c"));
    EXPECT_EQ(dialogs.asked[3].buttons, MsgButtons::YesNoCancel);
    for (const Asked& a : dialogs.asked.mid(1)) {
        EXPECT_EQ(a.caption, "Nollex");
        EXPECT_EQ(a.icon, MsgIcon::None);
    }
    EXPECT_EQ(memos->LastIndex(), 0);
    EXPECT_EQ(dir.read("1.c"), "1");  // No: not saved

    projectMainIndex = -1;  // no project open: no membership question
    memos->editor(0)->OwningProject = "/p/x.prj";
    files().close();
    EXPECT_EQ(dialogs.asked.size(), 4);
}

// Yes to saving, then a cancelled save dialog, keeps the page and its text.
TEST_F(Files, CloseKeepsThePageWhenTheSaveIsCancelled)
{
    files().newPage();
    type(1, "keep me");
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(test::Cancel{});
    files().close();
    EXPECT_EQ(memos->LastIndex(), 1);
    EXPECT_EQ(text(1), "keep me");
}

// Exit asks page by page: Yes saves each page while it is active; Cancel stops
// at once and keeps the window.
TEST_F(Files, ExitQuestionPageByPage)
{
    openPages(1);
    files().newPage();
    type(0, "a");
    type(1, "b");
    dialogs.answer(MsgAnswer::Cancel);
    EXPECT_FALSE(files().mayCloseWindow());
    EXPECT_EQ(dialogs.asked.size(), 2);

    const QString untitled = dir.file("u.c");
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(untitled);
    EXPECT_TRUE(files().mayCloseWindow());
    EXPECT_EQ(dialogs.asked[2].text, saveQuestion("0.c"));
    EXPECT_EQ(dialogs.asked[3].text, saveQuestion(""));  // untitled: empty name
    EXPECT_EQ(captions.mid(captions.size() - 2), (QStringList{dir.file("0.c"), untitled}));
    EXPECT_EQ(dir.read("0.c"), "0a");
    EXPECT_EQ(dir.read("u.c"), "b");
    EXPECT_TRUE(files().mayCloseWindow());  // nothing modified any more
}

// Each exit question shows its page first, so untitled pages are told apart;
// afterwards the page that was active is again, unless a Yes made another active.
TEST_F(Files, ExitQuestionShowsEachPage)
{
    files().newPage();
    files().newPage();
    for (int i = 0; i < 3; ++i)
        type(i, "x");
    memos->setActiveIndex(1);
    QList<int> shown;
    dialogs.whenAsked = [&](const Asked&) { shown << memos->ActiveIndex(); };
    for (int i = 0; i < 3; ++i)
        dialogs.answer(MsgAnswer::No);
    EXPECT_TRUE(files().mayCloseWindow());
    EXPECT_EQ(shown, (QList<int>{0, 1, 2}));
    EXPECT_EQ(memos->ActiveIndex(), 1);

    memos->setActiveIndex(0);
    dialogs.answer(MsgAnswer::No);
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(dir.file("one.c"));
    dialogs.answer(MsgAnswer::Cancel);
    EXPECT_FALSE(files().mayCloseWindow());
    EXPECT_EQ(shown.mid(3), (QList<int>{0, 1, 1, 2}));  // the save dialog on its page
    EXPECT_EQ(memos->ActiveIndex(), 1);
    EXPECT_EQ(dir.read("one.c"), "x");
}

// The window's handlers reach the commands: menu Save, the close question, drops.
TEST(FileCommandsInTheWindow, HandlersForward)
{
    test::ScriptedDialogs dialogs;
    test::TempDir dir;
    TForm1 form({dialogs, dir.path()});
    const QString upper = dir.write("P.PRJ", "text");
    form.WMDropFiles({upper});
    EXPECT_EQ(form.Memos->fileNames(), QStringList{upper});
    EXPECT_EQ(form.windowTitle(), "Nollex < " + upper + " >");

    form.Memos->editor(0)->insertPlainText("more ");
    form.Save1->trigger();
    EXPECT_EQ(dir.read("P.PRJ"), "more text");

    form.Memos->editor(0)->insertPlainText("x");
    dialogs.answer(MsgAnswer::Cancel);
    EXPECT_FALSE(form.close());
    EXPECT_EQ(dialogs.asked.size(), 1);

    form.New1->trigger();
    form.Close1->trigger();
    EXPECT_EQ(form.Memos->LastIndex(), 0);
    form.Memos->editor(0)->setModified(false);
}
