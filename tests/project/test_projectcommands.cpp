// Project Open, OpenProject and Project Close on the main window's pages, with
// the real Close command doing the closing.

#include "app/TForm1.h"
#include "editor/FileCommands.h"
#include "options/TForm2.h"
#include "platform/Errors.h"
#include "project/ProjectCommands.h"
#include "project/ProjectDefiner.h"
#include "project/ProjectFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

QByteArray projectText(int version, int index, int mainIndex, const QStringList& files)
{
    QByteArray text = "[System]\r\nVersion=" + QByteArray::number(version) + "\r\nIndex=" +
                      QByteArray::number(index) + "\r\nMainIndex=" + QByteArray::number(mainIndex) +
                      "\r\n[Project]\r\n";
    for (int j = 0; j < files.size(); ++j)
        text += "file" + QByteArray::number(j) + "=" + files[j].toUtf8() + "\r\n";
    return text;
}

QString saveQuestion(const QString& name)
{
    return QStringLiteral("ファイル \"") + name + QStringLiteral("\" が編集されています\n保存しますか?");
}

QString membershipQuestion(const QString& path, const QString& project)
{
    return QStringLiteral("このファイル \"") + path + QStringLiteral("\" はプロジェクト \"") + project +
           QStringLiteral("\" に属しています。単独で閉じますか？");
}

struct Projects : ::testing::Test {
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;
    QString a, b, c;  // three source files on disk

    void SetUp() override
    {
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, dir.path()});
        a = dir.write("a.cpp", "int a;\n");
        b = dir.write("b.cpp", "int b;\n");
        c = dir.write("c.h", "int c;\n");
    }
    void TearDown() override
    {
        form.reset();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }

    TMemos& memos() const { return *form->Memos; }
    QString text(int page) const { return memos().editor(page)->toPlainText(); }
    QString status() const { return form->StatusPanel0->text(); }
    QStringList captions() const
    {
        QStringList result;
        for (int i = 0; i <= memos().LastIndex(); ++i)
            result << memos().caption(i);
        return result;
    }
    QString project(const QString& name, const QStringList& files, int mainIndex, int version = 200)
    {
        return dir.write(name, projectText(version, int(files.size()), mainIndex, files));
    }
    // An edit as the user types it: the page is modified and its tab marked.
    void type(int page, const QString& what)
    {
        memos().setActiveIndex(page);
        memos().editor(page)->insertPlainText(what);
    }
    // A state that a declined or rejected opening must leave exactly as it was.
    struct Snapshot {
        QStringList files, texts, captions;
        QString projectFile, status, title;
        int mainIndex, active;
        bool operator==(const Snapshot&) const = default;
    };
    Snapshot snapshot() const
    {
        Snapshot s{memos().fileNames(), {}, captions(), form->State.ProjectFile, status(),
                   form->windowTitle(), form->State.ProjectMainIndex, memos().ActiveIndex()};
        for (int i = 0; i <= memos().LastIndex(); ++i)
            s.texts << text(i);
        return s;
    }
};

}  // namespace

// Three entries, the third missing: reported once, opened untitled with its name
// as tab caption; the others load; the caption names the last entry, not the
// main file; every page gets page 0's tab width and the project as owner.
TEST_F(Projects, OpenLoadsEveryEntryAndReportsAMissingOneOnce)
{
    memos().setTabWidth(8);
    const QString missing = dir.file("gone.cpp");
    const QString prj = project("three.prj", {a, b, missing}, 1);
    dialogs.answer(MsgAnswer::Ok);
    form->OpenProject(prj);

    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
    EXPECT_EQ(dialogs.asked[0].text, u'"' + missing + QStringLiteral("\" は存在しないので新規で開きます"));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);

    ASSERT_EQ(memos().LastIndex(), 2);
    EXPECT_EQ(memos().fileNames(), (QStringList{a, b, QString()}));
    EXPECT_EQ(captions(), (QStringList{"a.cpp", "b.cpp", "gone.cpp"}));
    EXPECT_EQ(text(0), QStringLiteral("int a;\n"));
    EXPECT_EQ(text(1), QStringLiteral("int b;\n"));
    EXPECT_EQ(text(2), QString());
    for (int i = 0; i <= 2; ++i) {
        EXPECT_EQ(memos().editor(i)->OwningProject, prj);
        EXPECT_EQ(memos().editor(i)->TabWidth, 8);
        EXPECT_FALSE(memos().editor(i)->Modified());
    }
    EXPECT_EQ(memos().ActiveIndex(), 2);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < gone.cpp >"));
    EXPECT_EQ(form->State.ProjectFile, prj);
    EXPECT_EQ(form->State.ProjectMainIndex, 1);
    EXPECT_EQ(status(), QStringLiteral("Project : ") + prj);
}

// The same file listed twice gives two pages with it; the pages that were open
// are closed first, with the Close command's question about unsaved changes.
TEST_F(Projects, OpenReplacesThePagesAndAllowsDuplicates)
{
    loadPageFile(memos(), 0, c);
    form->New1Click();
    type(1, QStringLiteral("draft"));
    const QString prj = project("twice.prj", {a, a}, 0);
    dialogs.answer(MsgAnswer::No);
    form->OpenProject(prj);

    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].text, saveQuestion(QString()));
    EXPECT_EQ(memos().fileNames(), (QStringList{a, a}));
    EXPECT_EQ(captions(), (QStringList{"a.cpp", "a.cpp"}));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < a.cpp >"));
}

// Rejected files close no page and change nothing: Index 0, MainIndex -1 (a list
// saved with no selection), MainIndex naming an empty entry, and no file at all
// (version 0: asked first, then rejected).
TEST_F(Projects, RejectedFilesChangeNothing)
{
    loadPageFile(memos(), 0, c);
    form->New1Click();
    type(1, QStringLiteral("draft"));
    form->setMainCaption(QStringLiteral("before"));
    const Snapshot before = snapshot();

    struct Row {
        const char* name;
        QByteArray content;
    } rows[] = {
        {"index 0", projectText(200, 0, 0, {a})},
        {"no selection", projectText(200, 2, -1, {a, b})},
        {"main entry empty", projectText(200, 2, 1, {a, ""})},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        dialogs.clearAsked();
        dialogs.answer(MsgAnswer::Ok);
        form->OpenProject(dir.write("bad.prj", r.content));
        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex Project"));
        EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("プロジェクトファイルが異常ですので中止します"));
        EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);
        EXPECT_TRUE(snapshot() == before);
    }

    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::Ok);
    form->OpenProject(dir.file("nothing here.prj"));
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(dialogs.asked[1].text, ProjectRejectedText);
    EXPECT_TRUE(snapshot() == before);
}

// Version 150: the question; No leaves everything, Yes opens the project.
TEST_F(Projects, OldVersionIsAskedAbout)
{
    const QString prj = project("old.prj", {a, b}, 0, 150);
    const Snapshot before = snapshot();
    dialogs.answer(MsgAnswer::No);
    form->OpenProject(prj);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex Project"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("プロジェクト定義ファイルのバージョンが古いですが続行しますか？"));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);
    EXPECT_TRUE(snapshot() == before);

    dialogs.answer(MsgAnswer::Yes);
    form->OpenProject(prj);
    EXPECT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(memos().fileNames(), (QStringList{a, b}));
    EXPECT_EQ(form->State.ProjectMainIndex, 0);
}

// "Project Open" shows the project dialog; a cancel does nothing.
TEST_F(Projects, ProjectOpenAsksForTheFile)
{
    dialogs.answer(test::Cancel{});
    form->ProjectOpen1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, test::Asked::OpenFiles);
    EXPECT_EQ(dialogs.asked[0].filter, QStringLiteral("Nollex Project(*.prj)|*.prj"));
    EXPECT_FALSE(dialogs.asked[0].multiple);
    EXPECT_EQ(form->State.ProjectMainIndex, -1);

    dialogs.answer(QStringList{project("p.prj", {a, b, c}, 2)});
    form->ProjectOpen1->trigger();
    EXPECT_EQ(memos().fileNames(), (QStringList{a, b, c}));
    EXPECT_EQ(form->State.ProjectMainIndex, 2);
}

// A listed folder or unreadable file is shown with its error and left untitled
// under its name, so page j still stands for entry j.
TEST_F(Projects, UnreadableEntryIsReportedAndLeftUntitled)
{
    QDir().mkpath(dir.file("folder.cpp"));
    const QString prj = project("p.prj", {a, dir.file("folder.cpp"), b}, 2);
    dialogs.answer(MsgAnswer::Ok);
    form->OpenProject(prj);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.asked[0].text.contains(dir.file("folder.cpp")));
    EXPECT_EQ(memos().fileNames(), (QStringList{a, QString(), b}));
    EXPECT_EQ(captions(), (QStringList{"a.cpp", "folder.cpp", "b.cpp"}));
    EXPECT_EQ(form->State.ProjectMainIndex, 2);
}

// Keeping a page while the old pages close stops the opening: nothing is loaded
// and the project state is the old one.
TEST_F(Projects, KeptPageStopsTheOpening)
{
    // No project open; an untitled edited page is kept with Cancel.
    type(0, QStringLiteral("draft"));
    const QString other = project("other.prj", {c}, 0);
    Snapshot before = snapshot();
    dialogs.answer(MsgAnswer::Cancel);
    form->OpenProject(other);
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(snapshot() == before);

    // A project open; its last page is kept with No to the membership question:
    // asked once, not once per page.
    memos().editor(0)->setModified(false);
    const QString first = project("first.prj", {a, b}, 1);
    form->OpenProject(first);
    before = snapshot();
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::No);
    form->OpenProject(other);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].text, membershipQuestion(b, first));
    EXPECT_TRUE(snapshot() == before);
    EXPECT_EQ(status(), QStringLiteral("Project : ") + first);
}

// When pages in front of the old main page close before one is kept, the main
// page is followed to its new place; when the main page itself went, the old
// project is no longer open. The caption names the page left active, not a
// closed one.
TEST_F(Projects, StoppedOpeningFollowsTheOldMainPage)
{
    const QString three = project("three.prj", {a, b, c}, 1);
    const QString other = project("other.prj", {c}, 0);

    form->OpenProject(three);
    memos().setActiveIndex(0);  // closing starts at page 0: a, then b (the main page)
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::No);
    form->OpenProject(other);
    EXPECT_EQ(memos().fileNames(), (QStringList{b, c}));
    EXPECT_EQ(form->State.ProjectMainIndex, 0);
    EXPECT_EQ(form->State.ProjectFile, three);
    EXPECT_EQ(status(), QStringLiteral("Project : ") + three);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < ") + b + QStringLiteral(" >"));

    memos().setActiveIndex(0);
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::No);
    form->OpenProject(other);
    EXPECT_EQ(memos().fileNames(), QStringList{c});
    EXPECT_EQ(form->State.ProjectMainIndex, -1);
    EXPECT_EQ(form->State.ProjectFile, three);
    EXPECT_EQ(status(), QString());
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < ") + c + QStringLiteral(" >"));
}

// A save that fails while the pages close stops the opening the same way, and
// the error reaches the window's handler.
TEST_F(Projects, FailedSaveWhileClosingRestoresTheProjectState)
{
    const QString prj = project("p.prj", {a}, 0);
    memos().setFileName(0, dir.file("no such folder/x.cpp"));
    type(0, QStringLiteral("draft"));
    dialogs.answer(MsgAnswer::Yes);
    EXPECT_THROW(form->OpenProject(prj), NollexError);
    EXPECT_EQ(form->State.ProjectMainIndex, -1);
    EXPECT_TRUE(form->State.ProjectFile.isEmpty());
    EXPECT_EQ(text(0), QStringLiteral("draft"));
}

// Project Close: nothing without a project; with one, the state goes, only the
// unsaved-changes question is asked, one untitled page is left and ProjectFile
// stays. A Cancel there ends the closing instead of asking again.
TEST_F(Projects, ProjectClose)
{
    loadPageFile(memos(), 0, c);
    form->setStatusText(QStringLiteral("kept"));
    form->ProjectClose1->trigger();
    EXPECT_EQ(memos().fileNames(), QStringList{c});
    EXPECT_EQ(status(), QStringLiteral("kept"));
    EXPECT_TRUE(dialogs.asked.isEmpty());

    const QString prj = project("p.prj", {a, b, c}, 0);
    form->OpenProject(prj);
    type(1, QStringLiteral("edit"));
    memos().setActiveIndex(2);
    dialogs.answer(MsgAnswer::No);
    form->ProjectClose1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].text, saveQuestion(QStringLiteral("b.cpp")));
    EXPECT_EQ(memos().LastIndex(), 0);
    EXPECT_TRUE(memos().fileName(0).isEmpty());
    EXPECT_TRUE(memos().editor(0)->OwningProject.isEmpty());
    EXPECT_EQ(form->State.ProjectMainIndex, -1);
    EXPECT_EQ(form->State.ProjectFile, prj);
    EXPECT_EQ(status(), QString());

    form->OpenProject(prj);
    type(2, QStringLiteral("edit"));
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::Cancel);
    form->ProjectClose1->trigger();
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(memos().LastIndex(), 2);
    EXPECT_EQ(form->State.ProjectMainIndex, -1);
}

// The membership question of Close and the build's project step see the opened
// project: Close asks about a project page, and only while the project is open.
TEST_F(Projects, CloseAsksAboutProjectPagesWhileTheProjectIsOpen)
{
    const QString prj = project("p.prj", {a, b}, 0);
    form->OpenProject(prj);
    dialogs.answer(MsgAnswer::No);
    form->Close1Click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
    EXPECT_EQ(dialogs.asked[0].text, membershipQuestion(b, prj));
    EXPECT_EQ(memos().LastIndex(), 1);

    dialogs.answer(MsgAnswer::Yes);
    form->Close1Click();
    EXPECT_EQ(memos().fileNames(), QStringList{a});
}

// Not a check: pictures of the Project tab with a few entries, for a person to
// look at (run under xvfb-run with --gtest_also_run_disabled_tests; NOLLEX_SHOT_DIR).
TEST_F(Projects, DISABLED_ProjectTabPicture)
{
    const QString folder = qEnvironmentVariableIsSet("NOLLEX_SHOT_DIR")
                               ? qEnvironmentVariable("NOLLEX_SHOT_DIR")
                               : QStringLiteral("/tmp");
    TForm2* dialog = form->form2();
    ProjectDefiner* tab = dialog->Definer;
    dialogs.answer(QStringList{a, b, c, dir.file("プログラム/メイン.c"), a});
    tab->Button6->click();
    tab->CheckListBox1->setCurrentRow(1);
    tab->CheckListBox1Click();
    tab->CheckListBox1->item(3)->setCheckState(Qt::Checked);
    tab->Edit11->setText(dir.file("sample.prj"));
    dialog->PageControl1->setCurrentIndex(2);
    dialog->show();
    QTest::qWait(200);
    EXPECT_TRUE(dialog->grab().save(QDir(folder).filePath(QStringLiteral("project_tab.png"))));
    dialog->hide();

    // Shown first: the restore at the first showing would choose the page.
    form->show();
    QTest::qWait(100);
    dialogs.answer(MsgAnswer::Ok);
    form->OpenProject(project("p.prj", {a, b, dir.file("gone.c")}, 1));
    QTest::qWait(200);
    EXPECT_TRUE(form->grab().save(QDir(folder).filePath(QStringLiteral("project_open.png"))));
}
