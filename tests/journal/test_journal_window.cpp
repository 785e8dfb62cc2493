// The journal and the files changed on disk, through the main window: a real
// Nollex killed with unsaved pages, the restore's messages, and the check that
// runs when the window gets the focus.

#include "app/TForm1.h"
#include "app/journal/JournalKeeper.h"
#include "journal/JournalEntry.h"
#include "journal/JournalFolder.h"
#include "editor/TextFile.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTest>
#include <gtest/gtest.h>

#include <thread>

using namespace nollex;

namespace {

const QString kRestored2 = QStringLiteral("保存されていなかった変更を 2 ページ分復元しました");

// The entries of every folder under a journal root.
int entryCount(const QString& root)
{
    int n = 0;
    for (const QString& sub : QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        n += JournalFolder::entryIdsIn(root + sub + u'/').size();
    return n;
}

std::unique_ptr<TForm1> startWindow(test::ScriptedDialogs& dialogs, const QString& folder)
{
    auto form = std::make_unique<TForm1>(TForm1Deps{dialogs, folder});
    form->show();
    return form;
}

QString pageText(TForm1& form, int i) { return form.Memos->editor(i)->toPlainText(); }

// The window gets the focus back from another one, and what it queued runs.
void focusFromElsewhere(QWidget& window)
{
    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::qWait(20);
}

}  // namespace

// A kill -9 loses nothing typed: a file page and an untitled page come back in
// the next start, the file on disk untouched until Save; a normal close after
// that, with the pages not saved as asked, leaves no journal.
TEST(JournalCrash, KilledNollexGivesBothPagesBackAndCloseLeavesNoJournal)
{
    test::TempDir copy;  // a portable copy of its own, so the journal lands here
    ASSERT_TRUE(QFile::copy(QStringLiteral(NOLLEX_BINARY_DIR "/nollex"), copy.file("nollex")));
    const QByteArray original("int main()\r\n{\r\n}\r\n");
    const QString source = copy.write("a.c", original);

    QProcess nollex;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("HOME", copy.path());
    env.insert("XDG_CONFIG_HOME", copy.path() + "config");
    env.insert("XDG_CACHE_HOME", copy.path() + "cache");
    env.insert("XDG_STATE_HOME", copy.path() + "state");
    env.insert("NOLLEX_TEST_TYPE", "typed ");
    nollex.setProcessEnvironment(env);
    nollex.start(copy.file("nollex"), {source});
    ASSERT_TRUE(nollex.waitForStarted());
    const QString root = copy.path() + "journal/";
    for (int waited = 0; entryCount(root) < 2 && waited < 10000; waited += 50)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_EQ(entryCount(root), 2);
    nollex.kill();
    ASSERT_TRUE(nollex.waitForFinished());
    EXPECT_EQ(copy.read("a.c"), original);
    EXPECT_FALSE(QFileInfo::exists(copy.file("Nollex.ini")));  // a crash before any close

    test::ScriptedDialogs dialogs;
    auto form = startWindow(dialogs, copy.path());
    ASSERT_EQ(form->Memos->LastIndex(), 1);
    EXPECT_EQ(form->Memos->fileName(0), source);
    EXPECT_EQ(pageText(*form, 0), QStringLiteral("typed int main()\n{\n}\n"));
    EXPECT_EQ(form->Memos->caption(0), QStringLiteral("a.c *"));
    EXPECT_EQ(form->Memos->format(0).lineEnd, LineEnd::CrLf);
    EXPECT_TRUE(form->Memos->fileName(1).isEmpty());
    EXPECT_EQ(pageText(*form, 1), QStringLiteral("typed "));
    EXPECT_TRUE(form->Memos->editor(1)->Modified());
    EXPECT_EQ(form->Memos->editor(0)->caretPosition(), 6);
    EXPECT_TRUE(form->Memo2->toPlainText().contains(kRestored2));
    EXPECT_EQ(copy.read("a.c"), original);
    form->journal().waitIdle();
    EXPECT_EQ(entryCount(root), 2);  // the restored pages, journalled again

    dialogs.answer(MsgAnswer::No);
    dialogs.answer(MsgAnswer::No);
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_EQ(copy.read("a.c"), original);
}

// Entries left by a window that ended: one damaged is skipped with a line, and
// a file changed after its entry was written keeps both texts, the journal's
// on an untitled page beside the file's.
TEST(JournalCrash, RestoreSkipsDamagedAndKeepsAFileChangedSince)
{
    test::TempDir folder;
    const QString source = folder.write("b.c", "old\n");
    {
        test::ScriptedDialogs dialogs;
        auto form = startWindow(dialogs, folder.path());
        form->WMDropFiles({source});
        form->Memos->editor(0)->insertPlainText(QStringLiteral("mine "));
        form->New1Click();
        form->Memos->ActiveMemo()->insertPlainText(QStringLiteral("untitled"));
        form->journal().write();
        form->journal().waitIdle();
    }  // gone without closing, as a crash
    const QString root = folder.path() + "journal/";
    const QString sub = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
    folder.write("journal/" + sub + "/page-99.entry", "Nollex journal 1\nfile ");
    folder.write("b.c", "theirs\n");

    test::ScriptedDialogs dialogs;
    auto form = startWindow(dialogs, folder.path());
    const QString pane = form->Memo2->toPlainText();
    EXPECT_TRUE(pane.contains(kRestored2)) << pane.toStdString();
    EXPECT_TRUE(pane.contains("page-99.entry")) << pane.toStdString();
    EXPECT_TRUE(pane.contains(QStringLiteral("\"%1\" は変更の記録の後に").arg(source))) << pane.toStdString();
    ASSERT_EQ(form->Memos->LastIndex(), 2);
    EXPECT_EQ(pageText(*form, 0), QStringLiteral("theirs\n"));
    EXPECT_FALSE(form->Memos->editor(0)->Modified());
    const QStringList texts = {pageText(*form, 1), pageText(*form, 2)};
    EXPECT_TRUE(texts.contains(QStringLiteral("mine old\n")) && texts.contains(QStringLiteral("untitled")));
    EXPECT_TRUE(form->Memos->fileName(1).isEmpty() && form->Memos->fileName(2).isEmpty());
}

// The caption follows the restore: the journal's pages come after the settings'
// caption was set, and the last one restored is the active page.
TEST(JournalCrash, CaptionNamesTheActivePageAfterTheRestore)
{
    test::TempDir folder;
    const QString source = folder.write("b.c", "int b;\n");
    {
        test::ScriptedDialogs dialogs;
        auto form = startWindow(dialogs, folder.path());
        form->Memos->editor(0)->insertPlainText(QStringLiteral("untitled"));
        form->New1Click();
        form->WMDropFiles({source});
        form->Memos->ActiveMemo()->insertPlainText(QStringLiteral("mine "));
        form->journal().write();
        form->journal().waitIdle();
    }  // gone without closing, as a crash

    test::ScriptedDialogs dialogs;
    auto form = startWindow(dialogs, folder.path());
    ASSERT_EQ(form->Memos->LastIndex(), 1);
    EXPECT_EQ(form->Memos->fileName(form->Memos->ActiveIndex()), source);
    EXPECT_EQ(form->windowTitle(), "Nollex < " + source + " >");
}

// The focus check on a file another program changed or deleted: an unchanged
// page follows the file keeping its caret and mark; a changed page asks; a
// deleted file is shown in the tab until the page is saved. A file that can no
// longer be read is said once for its change (not at every activation after the
// box's OK) and the page keeps its text, marked changed.
TEST(FilesChangedOnDisk, ReloadAskOrShowDeleted)
{
    enum Unreadable { Readable, NulByte, NotText, Folder, TooLarge };
    const struct {
        const char* name;
        const char* typed;  // nullptr: the page is unchanged
        const char* onDisk;  // nullptr: the file is deleted
        std::optional<MsgAnswer> answer;
        const char* text;
        const char* caption;
        Unreadable unreadable = Readable;  // what replaces onDisk
        bool byFocus = false;  // the window's own activation instead of the call
    } rows[] = {
        {"unchanged-reloads", nullptr, "int x;\nint y;\n", {}, "int x;\nint y;\n", "c.c"},
        {"changed-reload", "z", "int x;\nint y;\n", MsgAnswer::Yes, "int x;\nint y;\n", "c.c"},
        {"changed-keep", "z", "int x;\nint y;\n", MsgAnswer::No, "int z;\n", "c.c *"},
        {"changed-keep-by-focus", "z", "int x;\nint y;\n", MsgAnswer::No, "int z;\n", "c.c *", Readable, true},
        {"deleted", nullptr, nullptr, {}, "int ;\n", "c.c (削除済み) *"},
        {"nul-byte", nullptr, "", MsgAnswer::Ok, "int ;\n", "c.c *", NulByte},
        {"neither-utf8-nor-sjis", nullptr, "", MsgAnswer::Ok, "int ;\n", "c.c *", NotText},
        {"folder", nullptr, "", MsgAnswer::Ok, "int ;\n", "c.c *", Folder},
        {"over-the-limit", nullptr, "", MsgAnswer::Ok, "int ;\n", "c.c *", TooLarge},
        {"changed-reload-fails", "z", "", MsgAnswer::Yes, "int z;\n", "c.c *", NulByte},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        test::TempDir folder;
        test::ScriptedDialogs dialogs;
        const QString path = folder.write("c.c", "int ;\n");
        auto form = startWindow(dialogs, folder.path());
        form->WMDropFiles({path});
        TCustomizedMemo* e = form->Memos->editor(0);
        e->setCaret(4);
        if (row.typed)
            e->insertPlainText(QString::fromLatin1(row.typed));
        row.onDisk ? (void)folder.write("c.c", row.onDisk) : (void)QFile::remove(path);
        if (row.unreadable == NulByte)
            folder.write("c.c", QByteArray("int\0x;\n", 7));
        if (row.unreadable == NotText)
            folder.write("c.c", "int \x81\x20;\n");  // a Shift-JIS lead byte without its trail
        if (row.unreadable == Folder) {
            ASSERT_TRUE(QFile::remove(path) && QDir().mkdir(path));
        }
        if (row.unreadable == TooLarge) {
            ASSERT_TRUE(QFile::resize(path, MaxTextFileBytes + 1));
        }
        if (row.answer)
            dialogs.answer(*row.answer);
        if (row.unreadable != Readable && row.typed)
            dialogs.answer(MsgAnswer::Ok);  // the question, then the error
        for (int twice = 0; twice < 2; ++twice) {  // asked once for one change
            if (row.byFocus)
                focusFromElsewhere(*form);
            else
                form->FormActivate();
        }
        EXPECT_TRUE(dialogs.allAnswersUsed());
        EXPECT_EQ(dialogs.asked.size(), (row.answer ? 1 : 0) + (row.unreadable != Readable && row.typed ? 1 : 0));
        if (row.unreadable != Readable) {
            EXPECT_EQ(dialogs.asked.back().icon, MsgIcon::Error);
            EXPECT_TRUE(dialogs.asked.back().text.contains(path)) << dialogs.asked.back().text.toStdString();
            EXPECT_TRUE(e->Modified());
        }
        EXPECT_EQ(pageText(*form, 0), QString::fromUtf8(row.text));
        EXPECT_EQ(form->Memos->caption(0), QString::fromUtf8(row.caption));
        if (!row.typed && row.onDisk) {
            EXPECT_EQ(e->caretPosition(), 4);
        }
        if (!row.onDisk) {
            form->Save1Click();
            EXPECT_EQ(form->Memos->caption(0), QStringLiteral("c.c"));
            EXPECT_EQ(folder.read("c.c"), QByteArray("int ;\n"));
        }
        dialogs.answer(MsgAnswer::No);
        form->close();
    }
}
