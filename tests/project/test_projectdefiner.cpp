// The Project tab: adding, deleting, choosing the main file, loading a project
// file for editing and saving the list, through the scripted dialogs.

#include "project/ProjectDefiner.h"
#include "project/ProjectFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

const QString kAddFilter = QStringLiteral(
    "C/C++ lang(*c;*.cpp;*.h)|*c;*.cpp;*.h|Text Files(*.txt)|*.txt|Others(*.*)|*.*");

QByteArray projectText(int version, int index, int mainIndex, const QStringList& files)
{
    QByteArray text = "[System]\r\n";
    if (version >= 0)
        text += "Version=" + QByteArray::number(version) + "\r\n";
    text += "Index=" + QByteArray::number(index) + "\r\nMainIndex=" + QByteArray::number(mainIndex) +
            "\r\n[Project]\r\n";
    for (int j = 0; j < files.size(); ++j)
        text += "file" + QByteArray::number(j) + "=" + files[j].toUtf8() + "\r\n";
    return text;
}

struct Definer : ::testing::Test {
    test::TempDir dir;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<ProjectDefiner> tab;

    void SetUp() override
    {
        tab = std::make_unique<ProjectDefiner>(dialogs);
        tab->setProgramFolder(dir.path());
        tab->resize(521, 385);
        tab->show();
        QApplication::setActiveWindow(tab.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(tab.get()));
    }
    void TearDown() override
    {
        tab.reset();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }

    QListWidget* list() const { return tab->CheckListBox1; }
    void add(const QStringList& paths)
    {
        dialogs.answer(paths);
        tab->Button6->click();
    }
    void check(int row) { list()->item(row)->setCheckState(Qt::Checked); }
    // A user's click on an entry, as the mouse gives it.
    void clickEntry(int row)
    {
        const QRect r = list()->visualItemRect(list()->item(row));
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, r.center() + QPoint(20, 0));
    }
    bool listHasFocus() const { return QApplication::focusWidget() == list(); }
    void focusElsewhere()
    {
        tab->Edit11->setFocus();
        ASSERT_FALSE(listHasFocus());
    }
};

}  // namespace

// Add appends in the dialog's order, unchecked, with no duplicate check; the list
// takes the focus also after a cancelled dialog.
TEST_F(Definer, AddAppendsEveryChosenFileAgainAndAgain)
{
    add({"/w/main.c", "/w/util.h"});
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, test::Asked::OpenFiles);
    EXPECT_EQ(dialogs.asked[0].filter, kAddFilter);
    EXPECT_TRUE(dialogs.asked[0].multiple);
    add({"/w/main.c"});
    EXPECT_EQ(tab->entries(), (QStringList{"/w/main.c", "/w/util.h", "/w/main.c"}));
    for (int i = 0; i < list()->count(); ++i) {
        EXPECT_EQ(list()->visualItemRect(list()->item(i)).height(), 12);
        EXPECT_EQ(list()->item(i)->checkState(), Qt::Unchecked);
        EXPECT_TRUE(list()->item(i)->flags() & Qt::ItemIsUserCheckable);
    }
    EXPECT_TRUE(tab->Label10->text().isEmpty());
    EXPECT_EQ(tab->selectedIndex(), -1);

    focusElsewhere();
    dialogs.answer(test::Cancel{});
    tab->Button6->click();
    EXPECT_EQ(list()->count(), 3);
    EXPECT_TRUE(listHasFocus());
}

// A click and a move with the arrow keys both choose the main file.
TEST_F(Definer, ClickAndKeysChooseTheMainFile)
{
    add({"/w/a.c", "/w/b.c", "/w/c.c"});
    clickEntry(1);
    EXPECT_EQ(tab->Label10->text(), QStringLiteral("/w/b.c"));
    EXPECT_EQ(tab->selectedIndex(), 1);
    QTest::keyClick(list(), Qt::Key_Down);
    EXPECT_EQ(tab->Label10->text(), QStringLiteral("/w/c.c"));
    EXPECT_EQ(tab->selectedIndex(), 2);
}

// Delete removes every checked entry, keeps the rest in order and leaves Label10
// alone; a surviving selection stays on its entry, a deleted one leaves none, so a
// save cannot take a neighbour for the main file.
TEST_F(Definer, DeleteRemovesCheckedEntriesAndKeepsTheLabel)
{
    add({"/w/0.c", "/w/1.c", "/w/2.c", "/w/3.c", "/w/4.c"});
    clickEntry(3);
    check(0);
    check(2);
    focusElsewhere();
    tab->Button7->click();
    EXPECT_EQ(tab->entries(), (QStringList{"/w/1.c", "/w/3.c", "/w/4.c"}));
    EXPECT_EQ(tab->selectedIndex(), 1);
    EXPECT_EQ(tab->Label10->text(), QStringLiteral("/w/3.c"));
    EXPECT_TRUE(listHasFocus());

    check(1);
    check(2);
    tab->Button7->click();
    EXPECT_EQ(tab->entries(), QStringList{"/w/1.c"});
    EXPECT_EQ(tab->selectedIndex(), -1);
    EXPECT_EQ(tab->Label10->text(), QStringLiteral("/w/3.c"));

    // Nothing checked: nothing goes.
    tab->Button7->click();
    EXPECT_EQ(list()->count(), 1);
}

// A save needs a selected main file: after the main entry was deleted, or the
// selection cleared with Ctrl+click, the label still names a file but the save is
// refused with the reason, and no file that every reader would refuse is written.
TEST_F(Definer, SaveWithoutSelectionIsRefused)
{
    add({"/w/a.c", "/w/b.c"});
    clickEntry(0);
    check(0);
    tab->Button7->click();
    const QString path = dir.file(QStringLiteral("nosel.prj"));
    for (int round = 0; round < 2; ++round) {
        if (round == 1) {
            clickEntry(0);
            QTest::mouseClick(list()->viewport(), Qt::LeftButton, Qt::ControlModifier,
                              list()->visualItemRect(list()->item(0)).center() + QPoint(20, 0));
            ASSERT_EQ(tab->selectedIndex(), -1);
        }
        dialogs.clearAsked();
        dialogs.answer(MsgAnswer::Ok);
        tab->Button9->click();
        ASSERT_EQ(dialogs.asked.size(), 1) << round;
        EXPECT_EQ(dialogs.asked[0].text, ProjectNoMainFileText);
        EXPECT_FALSE(QFile::exists(path));
    }
}

// Save: the preset is Edit11; ".prj" is added only to a name without any
// extension; Edit11 shows the name written; MainIndex is the selection.
TEST_F(Definer, SaveNamesAndContent)
{
    add({"/w/a.c", "/w/b.c", "/w/a.c"});
    clickEntry(1);
    tab->Edit11->setText(QStringLiteral("/old/x.prj"));

    struct Row {
        const char* name;
        QString chosen, written;
    } rows[] = {
        {"no extension", dir.file("proj"), dir.file("proj.prj")},
        {"txt kept", dir.file("proj.txt"), dir.file("proj.txt")},
        {"dot in folder only", dir.file("v1.2/proj"), dir.file("v1.2/proj.prj")},
        {"prj as chosen", dir.file("p.prj"), dir.file("p.prj")},
    };
    QDir().mkpath(dir.file("v1.2"));
    QString preset = QStringLiteral("/old/x.prj");
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        dialogs.clearAsked();
        dialogs.answer(r.chosen);
        tab->Button9->click();
        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_EQ(dialogs.asked[0].kind, test::Asked::SaveFile);
        EXPECT_EQ(dialogs.asked[0].filter, QStringLiteral("Nollex Project(*.prj)|*.prj"));
        EXPECT_EQ(dialogs.asked[0].preset, preset);
        EXPECT_EQ(tab->Edit11->text(), r.written);
        const ProjectFileData data = readProjectFile(r.written);
        EXPECT_TRUE(data.valid);
        EXPECT_EQ(data.entries, (QStringList{"/w/a.c", "/w/b.c", "/w/a.c"}));
        EXPECT_EQ(data.mainIndex, 1);
        preset = r.written;
    }
    EXPECT_FALSE(QFile::exists(dir.file("proj")));

    // Saving again over the same file asks nothing more and updates it.
    check(2);
    tab->Button7->click();
    dialogs.clearAsked();
    dialogs.answer(dir.file("p.prj"));
    tab->Button9->click();
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(readProjectFile(dir.file("p.prj")).count, 2);
}

// No main file chosen: a notice and no dialog. A cancelled dialog writes nothing
// and leaves Edit11; the list gets the focus.
TEST_F(Definer, SaveRefusedOrCancelled)
{
    add({"/w/a.c"});
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::Ok);
    tab->Button9->click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex Project"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("メインファイルを指定してください"));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::None);

    clickEntry(0);
    tab->Edit11->clear();
    focusElsewhere();
    dialogs.clearAsked();
    dialogs.answer(test::Cancel{});
    tab->Button9->click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].preset.isEmpty());
    EXPECT_TRUE(tab->Edit11->text().isEmpty());
    EXPECT_TRUE(listHasFocus());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// A save that cannot be written is reported and the tab goes on.
TEST_F(Definer, RefusedWriteIsShown)
{
    add({"/w/a.c"});
    clickEntry(0);
    dialogs.answer(dir.file("no such folder/p.prj"));
    dialogs.answer(MsgAnswer::Ok);
    tab->Button9->click();
    ASSERT_EQ(dialogs.asked.size(), 3);
    EXPECT_EQ(dialogs.asked[2].icon, MsgIcon::Error);
    EXPECT_TRUE(dialogs.asked[2].text.contains(QStringLiteral("no such folder/p.prj")));
}

// 参照: an old version stops before anything changes; a rejected file leaves its
// path in Edit11 and nothing else; a good one refills the list with the main file
// selected and named.
TEST_F(Definer, BrowseOldRejectedAndGood)
{
    add({"/w/keep.c"});
    clickEntry(0);
    tab->Edit11->setText(QStringLiteral("/w/before.prj"));
    const QString old = dir.write("old.prj", projectText(150, 2, 0, {"/x/a.c", "/x/b.c"}));
    const QString noVersion = dir.write("nover.prj", projectText(-1, 2, 0, {"/x/a.c", "/x/b.c"}));
    const QString bad = dir.write("bad.prj", projectText(200, 2, 2, {"/x/a.c", "/x/b.c", "/x/c.c"}));
    const QString good =
        dir.write("good.prj", projectText(201, 3, 2, {"/x/a.c", "", "/x/プロ グラム.c", "/x/extra.c"}));

    auto browse = [&](const QString& path) {
        dialogs.clearAsked();
        dialogs.answer(QStringList{path});
        dialogs.answer(MsgAnswer::Ok);
        tab->Button8->click();
        EXPECT_EQ(dialogs.asked.size(), 2);
        EXPECT_EQ(dialogs.asked[0].kind, test::Asked::OpenFiles);
        EXPECT_EQ(dialogs.asked[0].filter, QStringLiteral("Nollex Project (*.prj)|*.prj"));
        EXPECT_EQ(dialogs.asked[0].directory, dir.path());
        EXPECT_FALSE(dialogs.asked[0].multiple);
        EXPECT_EQ(dialogs.asked.value(1).caption, QStringLiteral("Nollex Project"));
        EXPECT_EQ(dialogs.asked.value(1).buttons, MsgButtons::Ok);
        EXPECT_EQ(dialogs.asked.value(1).icon, MsgIcon::None);
        return dialogs.asked.value(1).text;
    };
    auto unchangedList = [&] {
        EXPECT_EQ(tab->entries(), QStringList{"/w/keep.c"});
        EXPECT_EQ(tab->Label10->text(), QStringLiteral("/w/keep.c"));
        EXPECT_EQ(tab->selectedIndex(), 0);
    };

    for (const QString& tooOld : {old, noVersion}) {
        EXPECT_EQ(browse(tooOld), QStringLiteral("プロジェクト定義ファイルのバージョンが古いので中止します"));
        EXPECT_EQ(tab->Edit11->text(), QStringLiteral("/w/before.prj"));
        unchangedList();
    }

    EXPECT_EQ(browse(bad), QStringLiteral("プロジェクトファイルが異常ですので中止します"));
    EXPECT_EQ(tab->Edit11->text(), bad);
    unchangedList();

    dialogs.clearAsked();
    dialogs.answer(QStringList{good});
    focusElsewhere();
    tab->Button8->click();
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(tab->Edit11->text(), good);
    EXPECT_EQ(tab->entries(), (QStringList{"/x/a.c", "", "/x/プロ グラム.c"}));
    EXPECT_EQ(tab->selectedIndex(), 2);
    EXPECT_EQ(tab->Label10->text(), QStringLiteral("/x/プロ グラム.c"));
    for (int i = 0; i < list()->count(); ++i)
        EXPECT_EQ(list()->item(i)->checkState(), Qt::Unchecked);
    EXPECT_TRUE(listHasFocus());

    // A cancelled dialog changes nothing.
    dialogs.clearAsked();
    dialogs.answer(test::Cancel{});
    tab->Button8->click();
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(list()->count(), 3);
}
