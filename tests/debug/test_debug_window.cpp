// The debugger through the main window with the real gdb, the stand-in compiler and
// the program's console (see support/E2eFixture.h): breakpoints from F4, F5 to the
// first stop, the steps, the call stack, changes marked, a crash stopped at its
// line, the end of the program, and Shift+F5 leaving no process behind.
#include "app/debug/DebugPanel.h"
#include "debug/DebugSession.h"
#include "support/E2eFixture.h"
#include "support/ProcessGone.h"

#include <QDir>
#include <QLabel>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

using namespace nollex;
using test::E2eFixture;

namespace {

const QByteArray kProgram = "#include <cstdio>\n"
                            "#include <cstring>\n"
                            "int square(int v) {\n"
                            "    int r = v * v;\n"  // 4
                            "    return r;\n"
                            "}\n"
                            "int main()\n"
                            "{\n"
                            "    int total = 0;\n"  // 9
                            "    for (int i = 1; i <= 2; ++i)\n"
                            "        total += square(i);\n"  // 11
                            "    std::printf(\"total %d\\n\", total);\n"
                            "    const char* p = nullptr;\n"
                            "    if (total == 5)\n"
                            "        total = int(std::strlen(p));\n"  // 15, the crash inside the C library
                            "    return 3;\n"
                            "}\n";

struct DebugFixture : E2eFixture {
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
            GTEST_SKIP() << "gdb is not installed";
        E2eFixture::SetUp();
    }
    DebugSession* session() const { return form->debugPanel().session(); }
    bool waitForStop()
    {
        return QTest::qWaitFor(
            [&] { return session() && session()->state() == DebugSession::State::Stopped; }, 30000);
    }
    int stoppedLine() const { return form->Memos->ActiveMemo()->stoppedLine(); }
    int caretLine() const
    {
        int line = 0, index = 0;
        form->Memos->ActiveMemo()->getCursorPosition(&line, &index);
        return line + 1;
    }
    QTreeWidgetItem* variable(const QString& name) const
    {
        const QList<QTreeWidgetItem*> found = form->debugPanel().variables()->findItems(name, Qt::MatchExactly);
        return found.isEmpty() ? nullptr : found.first();
    }
    QString status() const { return form->StatusPanel0->text(); }
    QStringList sessionFiles() const
    {
        return QDir(form->folders().runs).entryList({QStringLiteral("debug-*")}, QDir::Files);
    }
    // Keys typed in the program's console, as the console tells the window of them.
    void typeInConsole(const QByteArray& lines) const
    {
        const QStringList keys = QDir(form->folders().runs).entryList({QStringLiteral("debug-*.keys")}, QDir::Files);
        ASSERT_EQ(keys.size(), 1) << sessionFiles().join(u' ').toStdString();
        QFile file(form->folders().runs + keys.first());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Append));
        file.write(lines);
    }
    bool grey(const QTreeWidgetItem* item, int column) const
    {
        return item->foreground(column).color() == form->debugPanel().variables()->palette().color(QPalette::Disabled, QPalette::Text);
    }
};

}  // namespace

TEST_F(DebugFixture, StepsThroughAndStopsAtTheCrash)
{
    openPage(work + QStringLiteral("steps.cpp"), kProgram);
    TCustomizedMemo* page = form->Memos->ActiveMemo();
    page->setCursorPosition(10, 0);
    form->Breakpoint1Click();
    EXPECT_EQ(page->breakpointLines(), QList<int>{11});

    form->DebugRun1Click();
    ASSERT_TRUE(waitForStop()) << messages().toStdString() << status().toStdString();
    EXPECT_TRUE(form->debugPanel().variables()->isVisibleTo(form.get()));
    EXPECT_EQ(stoppedLine(), 11);
    EXPECT_EQ(caretLine(), 11);
    ASSERT_TRUE(variable(QStringLiteral("total")));
    EXPECT_EQ(variable(QStringLiteral("total"))->text(1), QStringLiteral("0"));

    // Into square, the call stack shows both; the caller's frame on a double-click.
    form->StepInto1Click();
    ASSERT_TRUE(waitForStop());
    EXPECT_EQ(stoppedLine(), 4);
    ASSERT_EQ(form->debugPanel().callStack()->topLevelItemCount(), 2);
    EXPECT_EQ(form->debugPanel().callStack()->topLevelItem(0)->text(0), QStringLiteral("square"));
    EXPECT_TRUE(variable(QStringLiteral("v")));
    emit form->debugPanel().callStack()->itemActivated(form->debugPanel().callStack()->topLevelItem(1), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return variable(QStringLiteral("total")) != nullptr; }, 5000));
    EXPECT_EQ(caretLine(), 11);

    // Out of it, then over the rest of the line: total changed and is marked.
    form->StepOut1Click();
    ASSERT_TRUE(waitForStop());
    EXPECT_EQ(session()->view().frames.size(), 1);
    form->StepOver1Click();
    ASSERT_TRUE(waitForStop());
    EXPECT_EQ(stoppedLine(), 10);
    ASSERT_TRUE(variable(QStringLiteral("total")));
    EXPECT_EQ(variable(QStringLiteral("total"))->text(1), QStringLiteral("1"));
    EXPECT_TRUE(variable(QStringLiteral("total"))->font(1).bold());
    EXPECT_FALSE(variable(QStringLiteral("i"))->font(1).bold());

    // The breakpoint cleared in the running session: on to the crash, shown at the
    // line that called into the C library. While it runs, the stop's marks and
    // panes are grey.
    page->toggleBreakpoint(11);
    form->DebugRun1Click();
    EXPECT_TRUE(page->stoppedLineStale());
    EXPECT_EQ(stoppedLine(), 10);
    EXPECT_TRUE(grey(variable(QStringLiteral("total")), 1));
    EXPECT_TRUE(grey(form->debugPanel().callStack()->topLevelItem(0), 0));
    ASSERT_TRUE(waitForStop());
    EXPECT_FALSE(page->stoppedLineStale());
    EXPECT_FALSE(grey(variable(QStringLiteral("p")), 1));
    EXPECT_EQ(stoppedLine(), 15);
    EXPECT_EQ(session()->view().stop.signal, 11);
    EXPECT_GE(session()->view().frames.size(), 2) << "the fault is in the library's strlen";
    EXPECT_TRUE(status().contains(QStringLiteral("セグメンテーション違反"))) << status().toStdString();
    EXPECT_TRUE(messages().contains(QStringLiteral("steps.cpp 15 行目でプログラムが止まりました。SIGSEGV")))
        << messages().toStdString();
    EXPECT_EQ(page->markedLines(TCustomizedMemo::MarkKind::Error), QList<int>{15});
    EXPECT_TRUE(variable(QStringLiteral("p")));

    // Shift+F5: nothing of the program or gdb is left, nor the marks and panes.
    const qint64 pid = session()->programPid();
    ASSERT_GT(pid, 0);
    form->DebugStop1Click();
    EXPECT_FALSE(form->debugPanel().debugging());
    EXPECT_EQ(page->stoppedLine(), 0);
    EXPECT_FALSE(form->debugPanel().variables()->isVisibleTo(form.get()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return test::processGone(pid); }, 3000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return consoleOutput().contains(QStringLiteral("total 5")); }, 3000))
        << consoleOutput().toStdString();
    EXPECT_EQ(page->breakpointLines(), QList<int>{});
}

// Without a breakpoint the program stops at main's first line; F5 runs it to its
// end, which ends debugging with the exit status told. Breakpoints move with edits,
// an edit while stopped is told as making the program old, and without gdb F5 says
// which package to install.
TEST_F(DebugFixture, RunsToTheEndAndBreakpointsFollowEdits)
{
    openPage(work + QStringLiteral("end.cpp"), "int main()\n{\n    int n = 2;\n    return n + 1;\n}\n");
    form->DebugRun1Click();
    ASSERT_TRUE(waitForStop()) << messages().toStdString() << status().toStdString();
    EXPECT_EQ(stoppedLine(), 3);
    // F7 typed in the program's console steps, as in the window.
    typeInConsole("F7\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return stoppedLine() == 4 && !form->Memos->ActiveMemo()->stoppedLineStale(); },
                                10000));
    TCustomizedMemo* page = form->Memos->ActiveMemo();
    page->toggleBreakpoint(4);
    page->insertAt(QStringLiteral("// a new first line\n"), 0, 0);
    EXPECT_EQ(page->breakpointLines(), QList<int>{5});
    EXPECT_TRUE(status().contains(QStringLiteral("変更前"))) << status().toStdString();
    form->DebugStop1Click();

    page->toggleBreakpoint(5);
    form->DebugRun1Click();
    ASSERT_TRUE(waitForStop());
    EXPECT_EQ(stoppedLine(), 4);
    form->DebugRun1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->debugPanel().debugging(); }, 30000));
    EXPECT_TRUE(status().contains(QStringLiteral("終了コード 3"))) << status().toStdString();
    EXPECT_EQ(page->stoppedLine(), 0);

    // Shift+F5 at once after F5, before the console could say where it is: the
    // console still goes (the third to end), and nothing of the session stays.
    form->DebugRun1Click();
    ASSERT_TRUE(form->debugPanel().debugging());
    form->DebugStop1Click();
    EXPECT_TRUE(waitForRuns(3)) << "the console stays";
    QTest::qWait(300);  // a console that comes late
    EXPECT_EQ(sessionFiles(), QStringList{});

    // No debugger: told, with the package to install, and nothing built.
    qputenv("NOLLEX_GDB", "/no/such/gdb");
    form->DebugRun1Click();
    qunsetenv("NOLLEX_GDB");
    EXPECT_TRUE(messages().contains(QStringLiteral("sudo apt install gdb"))) << messages().toStdString();
    EXPECT_FALSE(form->debugPanel().debugging());
}
