// A project of three files, opened from the menu and by a drop, built with F9
// through the real stand-in interpreter and compiler and this machine's g++, and
// closed. The console window is a script (NOLLEX_TERMINAL) that runs the program
// without a window and records its output.

#include "app/TForm1.h"
#include "editor/TMemos.h"
#include "support/ScriptedDialogs.h"
#include "support/StandIns.h"
#include "support/TempDir.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QThread>
#include <QUrl>
#include <gtest/gtest.h>

using namespace nollex;
using test::readAll;

namespace {

QString saveOffer(const QString& path)
{
    return QStringLiteral("プロジェクトに含まれるファイル \"") + path + QStringLiteral("\" を保存しますか？");
}

struct ProjectE2e : ::testing::Test {
    test::TempDir root;
    QString program, work, terminal;
    QString mainFile, header, notes, prj;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override
    {
        program = root.path() + QStringLiteral("prog/");
        work = root.path() + QStringLiteral("my work/");
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(QDir().mkpath(work));
        ASSERT_NO_FATAL_FAILURE(test::copyStandIns(program));
        terminal = root.write(QStringLiteral("term.sh"),
                              "#!/bin/sh\n"
                              "\"$@\" >> \"$0.out\" 2>&1\n"
                              "echo done >> \"$0.done\"\n");
        QFile::setPermissions(terminal, QFile::permissions(terminal) | QFileDevice::ExeOwner);
        qputenv("NOLLEX_TERMINAL", terminal.toUtf8());

        // The main file takes its greeting from a header that is a page of the
        // project too, so the program shows whether that page was saved first.
        mainFile = write("main.cpp", "#include <cstdio>\n"
                                     "#include \"greeting.h\"\n"
                                     "int main() { std::puts(GREETING); return 0; }\n");
        header = write("greeting.h", "#define GREETING \"old greeting\"\n");
        notes = write("notes.txt", "not C at all\n");
        prj = write("demo.prj", "[System]\r\nVersion=200\r\nIndex=3\r\nMainIndex=0\r\n[Project]\r\n"
                                "file0=" + mainFile.toUtf8() + "\r\nfile1=" + header.toUtf8() +
                                    "\r\nfile2=" + notes.toUtf8() + "\r\n");
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, program});
    }
    void TearDown() override
    {
        form.reset();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }

    QString write(const QString& name, const QByteArray& text)
    {
        QFile f(work + name);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
        return work + name;
    }
    TMemos& memos() const { return *form->Memos; }
    // Text typed at the end of a page: modified and marked, as a user leaves it.
    void type(int page, const QString& what)
    {
        memos().setActiveIndex(page);
        TCustomizedMemo* editor = memos().editor(page);
        editor->setCaret(editor->characterCount());
        editor->insertPlainText(what);
        ASSERT_TRUE(memos().editor(page)->ChangeMarked);
    }
    bool waitForRuns(int runs) const
    {
        return test::waitForLines(terminal + QStringLiteral(".done"), runs);
    }
    QString consoleOutput() const { return QString::fromUtf8(readAll(terminal + QStringLiteral(".out"))); }
    QString messages() const { return form->Memo2->toPlainText(); }
    void expectProjectOpen()
    {
        EXPECT_EQ(memos().fileNames(), (QStringList{mainFile, header, notes}));
        EXPECT_EQ(form->State.ProjectMainIndex, 0);
        EXPECT_EQ(form->State.ProjectFile, prj);
        EXPECT_EQ(form->StatusPanel0->text(), QStringLiteral("Project : ") + prj);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < notes.txt >"));
    }
};

}  // namespace

TEST_F(ProjectE2e, OpenBuildAndCloseFromTheMenuAndByADrop)
{
    // Opened from the menu; the active page is the last listed one.
    dialogs.answer(QStringList{prj});
    form->ProjectOpen1->trigger();
    expectProjectOpen();
    EXPECT_EQ(memos().ActiveIndex(), 2);

    // F9 on the notes page: the header and the notes were changed; the header is
    // saved, the notes are not; the main file is what gets compiled and run.
    type(1, QStringLiteral("#undef GREETING\n#define GREETING \"Hello from the project\"\n"));
    type(2, QStringLiteral("more notes\n"));
    ASSERT_EQ(form->Execute1->shortcut(), QKeySequence(Qt::Key_F9));
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::Yes);
    dialogs.answer(MsgAnswer::No);
    form->Execute1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 2) << messages().toStdString();
    EXPECT_EQ(dialogs.asked[0].text, saveOffer(header));
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(dialogs.asked[1].text, saveOffer(notes));
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("Hello from the project")))
        << consoleOutput().toStdString() << messages().toStdString();
    EXPECT_EQ(memos().ActiveIndex(), 0);
    EXPECT_EQ(form->State.LastBuildFileName, QStringLiteral("main.cpp"));
    EXPECT_TRUE(readAll(header).contains("Hello from the project"));
    EXPECT_EQ(readAll(notes), "not C at all\n");
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.cpp")));

    // Close on a project page asks whether to close it alone; No keeps it.
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::No);
    form->Close1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].text.contains(QStringLiteral("単独で閉じますか")));
    EXPECT_EQ(memos().LastIndex(), 2);

    // Project Close asks only about the unsaved notes.
    dialogs.clearAsked();
    dialogs.answer(MsgAnswer::No);
    form->ProjectClose1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_TRUE(dialogs.asked[0].text.contains(QStringLiteral("notes.txt")));
    EXPECT_EQ(memos().LastIndex(), 0);
    EXPECT_TRUE(memos().fileName(0).isEmpty());
    EXPECT_EQ(form->State.ProjectMainIndex, -1);
    EXPECT_TRUE(form->StatusPanel0->text().isEmpty());

    // Dropped on the window, the project opens again, and F9 builds its main file
    // from whichever page is active, asking nothing when no page changed.
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(prj)});
    // The drop goes where the drag was accepted on entering.
    QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.get(), &drop);
    expectProjectOpen();
    dialogs.clearAsked();
    form->Execute1->trigger();
    EXPECT_TRUE(dialogs.asked.isEmpty());
    ASSERT_TRUE(waitForRuns(2)) << messages().toStdString();
    EXPECT_EQ(consoleOutput().count(QStringLiteral("Hello from the project")), 2);

    form->ProjectClose1->trigger();
    EXPECT_EQ(memos().LastIndex(), 0);
    EXPECT_EQ(form->State.ProjectFile, prj);
}

// Only the main file of a project is compiled: a function another page of the
// project defines is explained as such, naming that page; one that no page
// defines keeps the plain explanation.
TEST_F(ProjectE2e, UndefinedFunctionOfAnotherPageIsExplained)
{
    write("main.cpp", "int twice(int n);\nint half(int n);\nint main() { return twice(2) + half(2); }\n");
    write("greeting.h", "int twice(int n)\n{\n    return 2 * n;\n}\n");
    form->OpenProject(prj);
    ASSERT_EQ(form->State.ProjectMainIndex, 0);
    memos().setActiveIndex(0);
    form->Execute1Click();
    const QStringList explained = messages().split(u'\n').filter(QStringLiteral("→ "));
    ASSERT_EQ(explained.size(), 2) << messages().toStdString();
    const QString twice = explained.filter(QStringLiteral(" twice ")).value(0);
    EXPECT_TRUE(twice.contains(QStringLiteral("#include \"greeting.h\""))) << twice.toStdString();
    // The link names no line: its explanation leads to the main page.
    memos().setActiveIndex(1);
    EXPECT_TRUE(form->JumpToMessage(int(messages().split(u'\n').indexOf(twice))));
    EXPECT_EQ(memos().ActiveIndex(), 0);
    const QString half = explained.filter(QStringLiteral(" half(")).value(0);
    EXPECT_FALSE(half.isEmpty()) << messages().toStdString();
    EXPECT_FALSE(half.contains(QStringLiteral("#include"))) << half.toStdString();
}
