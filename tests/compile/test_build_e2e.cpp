// Whole builds through the main window with the real stand-in interpreter and
// compiler and this machine's gcc/g++ (see support/E2eFixture.h).

#include "app/TForm1.h"
#include "app/samples/SampleRunner.h"
#include "editor/CaretPos.h"
#include "editor/FileCommands.h"
#include "options/TForm2.h"
#include "support/E2eFixture.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>
#include <QTextBlock>
#include <QThread>
#include <gtest/gtest.h>

using namespace nollex;
using test::E2eFixture;
using test::readAll;

namespace {

const QByteArray kHello = "#include <cstdio>\n"
                          "int main()\n"
                          "{\n"
                          "    std::puts(\"Hello, Nollex\");\n"
                          "    return 0;\n"
                          "}\n";

}  // namespace

// F9 on a hello-world page: compiled, linked, run with "/C" in its folder; the
// temporary files are gone and the page's own file is untouched.
TEST_F(E2eFixture, ExecutePrintsTheGreeting)
{
    openPage(work + QStringLiteral("hello.cpp"), kHello);
    TCustomizedMemo* page = form->Memos->ActiveMemo();
    page->setCaret(page->characterCount());
    page->insertPlainText(QStringLiteral("\n// edited"));

    form->Execute1Click();

    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("Hello, Nollex"))) << consoleOutput().toStdString();
    const QStringList args = consoleArgs();
    ASSERT_EQ(args.size(), 2);
    EXPECT_EQ(args[0], program + QStringLiteral("cmd.exe|/C|") + work + QStringLiteral("__out.exe|"));
    EXPECT_EQ(QDir(args[1]).canonicalPath(), QDir(work).canonicalPath());
    EXPECT_EQ(form->State.WorkFolder, work);
    EXPECT_EQ(form->State.LastBuildFileName, QStringLiteral("hello.cpp"));
    EXPECT_TRUE(QFile::exists(work + QStringLiteral("__out.exe")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.cpp")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.obj")));
    EXPECT_EQ(readAll(work + QStringLiteral("hello.cpp")), kHello);
    EXPECT_TRUE(readAll(program + QStringLiteral("__out.bat")).startsWith("cd \"" + program.toUtf8() + "\"\r\n"));
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

// A compile error shows g++'s diagnostic with its line number and runs nothing.
TEST_F(E2eFixture, CompileErrorIsShownAndNothingRuns)
{
    openPage(work + QStringLiteral("bad.cpp"), "int main()\n{\n    return undeclared_name;\n}\n");
    form->Execute1Click();
    // The compiler names the page's own file, not the scratch copy it was given.
    EXPECT_TRUE(messages().contains(work + QStringLiteral("bad.cpp:3:"))) << messages().toStdString();
    EXPECT_FALSE(messages().contains(QStringLiteral("__out.cpp"))) << messages().toStdString();
    EXPECT_TRUE(messages().contains(QStringLiteral("undeclared_name")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.exe")));
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.cpp")));
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(terminal + QStringLiteral(".args")));
}

// The message pane leads to the code: a double-click on an error's line, Enter on
// it after Make, and F8 / Shift+F8 from message to message (the lines explaining a
// message go with it), header pages included; the caret lands on the line and column, where typing goes. The
// build marks errors and warnings in the pages; the marks move with edits and go
// at the next build or when the text is replaced.
TEST_F(E2eFixture, MessagesLeadToTheCode)
{
    form->show();
    const QString header = work + QStringLiteral("b.h");
    openPage(work + QStringLiteral("main.cpp"),
             "#include \"b.h\"\nint main()\n{\n\tint v = missing_a;\n    return v;\n}\nint z = 1 / 0;\n"
             "int y = 1 / 0; int u = missing_c;\nint t = missing_d; int s = 1 / 0;\n");
    form->Memos->AddPage(QString());
    openPage(header, "int h = missing_b;\n");
    form->Memos->setActiveIndex(0);
    form->Execute1Click();

    const auto messageLine = [&](const QString& part) {
        const QStringList lines = messages().split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].contains(part))
                return i;
        }
        ADD_FAILURE() << part.toStdString() << " not in\n" << messages().toStdString();
        return -1;
    };
    const auto caretAt = [&](int page, int line, int index) {
        EXPECT_EQ(form->Memos->ActiveIndex(), page);
        TCustomizedMemo* editor = form->Memos->editor(page);
        const int caret = editor->caretPosition();
        const long fileLine =
            editor->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, editor->toByte(caret));
        EXPECT_EQ(fileLine + 1, line);
        EXPECT_EQ(caret - editor->toChar(int(editor->SendScintilla(
                              QsciScintillaBase::SCI_POSITIONFROMLINE, fileLine))),
                  index);
    };

    // Marks: the errors red, the warnings amber, each underlined from its column;
    // a line with both has the error's mark, whichever came first; the include
    // chain gets none.
    using Kind = TCustomizedMemo::MarkKind;
    TCustomizedMemo* const cpp = form->Memos->editor(0);
    TCustomizedMemo* const h = form->Memos->editor(1);
    const auto wordAt = [](TCustomizedMemo* e, const QString& word) {  // every place of it
        QList<std::pair<int, int>> places;
        const QString text = e->toPlainText();
        for (qsizetype at = text.indexOf(word); at >= 0; at = text.indexOf(word, at + 1))
            places.append({int(at), int(at + word.size())});
        return places;
    };
    EXPECT_EQ(cpp->markedLines(Kind::Error), (QList<int>{4, 8, 9}));
    EXPECT_EQ(cpp->markedLines(Kind::Warning), QList<int>{7});
    EXPECT_EQ(cpp->underlines(Kind::Error), wordAt(cpp, QStringLiteral("missing_a")) +
                                                wordAt(cpp, QStringLiteral("missing_c")) +
                                                wordAt(cpp, QStringLiteral("missing_d")));
    EXPECT_EQ(cpp->underlines(Kind::Warning), wordAt(cpp, QStringLiteral("/")));
    EXPECT_EQ(h->markedLines(Kind::Error), QList<int>{1});
    EXPECT_EQ(h->underlines(Kind::Error), wordAt(h, QStringLiteral("missing_b")));

    // Double-click: line 4, column 17 (after a tab) of the page built is page 0.
    QTextCursor at(form->Memo2->document()->findBlockByNumber(messageLine(QStringLiteral("main.cpp:4:17:"))));
    form->Memo2->setTextCursor(at);
    form->Memo2->ensureCursorVisible();
    form->Memos->setActiveIndex(1);
    QTest::mouseDClick(form->Memo2->viewport(), Qt::LeftButton, {}, form->Memo2->cursorRect(at).center());
    caretAt(0, 4, 9);
    QTest::keyClicks(form->Memos->editor(0), QStringLiteral("X"));
    EXPECT_EQ(lineText(*form->Memos->editor(0), 4), QStringLiteral("\tint v = Xmissing_a;"));

    // F8 and Shift+F8 from the top of a new build: the include chain, the header's
    // error, the page's (the header's explanation is passed).
    form->Execute1Click();
    const QString headerMessage =
        form->Memo2->document()->findBlockByNumber(messageLine(QStringLiteral("b.h:1:9:"))).text();
    ASSERT_TRUE(form->Memo2->document()->findBlockByNumber(messageLine(QStringLiteral("b.h:1:9:")) + 1)
                    .text()
                    .contains(QStringLiteral("→ b.h 1 行目")))
        << messages().toStdString();
    form->NextMessage1Click();
    caretAt(0, 1, 0);
    form->NextMessage1Click();
    caretAt(1, 1, 8);
    EXPECT_EQ(form->Memo2->textCursor().selectedText(), headerMessage);
    form->NextMessage1Click();
    caretAt(0, 4, 9);
    EXPECT_TRUE(form->Memo2->textCursor().selectedText().contains(QStringLiteral("main.cpp:4:17:")));
    form->PreviousMessage1Click();
    caretAt(1, 1, 8);
    EXPECT_EQ(form->Memo2->textCursor().selectedText(), headerMessage);

    // The marks move with the text as it is edited.
    h->setCaret(0);
    h->insertPlainText(QStringLiteral("\n\n"));
    EXPECT_EQ(h->markedLines(Kind::Error), QList<int>{3});
    EXPECT_EQ(h->underlines(Kind::Error), wordAt(h, QStringLiteral("missing_b")));

    // Make compiles the page's own file; Enter on its line leads there too. Its
    // marks replace the last build's (b.h on disk still has its error on line 1).
    form->Memos->setActiveIndex(0);
    form->Make1Click();
    QTextCursor line(form->Memo2->document()->findBlockByNumber(messageLine(QStringLiteral("main.cpp:4:"))));
    form->Memo2->setTextCursor(line);
    form->Memo2->setFocus();
    form->Memos->setActiveIndex(1);
    QTest::keyClick(form->Memo2, Qt::Key_Return);
    caretAt(0, 4, 9);
    EXPECT_EQ(h->markedLines(Kind::Error), QList<int>{1});
    EXPECT_EQ(cpp->markedLines(Kind::Error), (QList<int>{4, 8, 9}));

    // The marks show with line numbers off, and go with the text they were on.
    cpp->setLineNumbers(false);
    EXPECT_GT(cpp->marginWidth(1), 0);
    cpp->setPlainText(QStringLiteral("int main() { return 0; }\n"));
    EXPECT_TRUE(cpp->markedLines(Kind::Error).isEmpty());
    EXPECT_TRUE(cpp->underlines(Kind::Warning).isEmpty());
    EXPECT_EQ(cpp->marginWidth(1), 0);

    // A line that names no place does nothing.
    form->Memos->setActiveIndex(1);
    EXPECT_FALSE(form->JumpToMessage(messageLine(QStringLiteral("In function"))));
    EXPECT_EQ(form->Memos->ActiveIndex(), 1);
}

// A mistake of a known kind is explained under its message, naming the page's
// own file, and under the page's line; the explanation leads to the code as its
// message does, and goes when the line is edited.
TEST_F(E2eFixture, CompileMistakeIsExplained)
{
    form->show();
    openPage(work + QStringLiteral("hello.c"),
             "#include <stdio.h>\nint main(void)\n{\n    printf(\"hi\\n\")\n    return 0;\n}\n");
    form->Execute1Click();

    const QStringList lines = messages().split(u'\n');
    const qsizetype message = lines.indexOf(QRegularExpression(QStringLiteral(".*/hello\\.c:4:\\d+: .*;.*")));
    const qsizetype shown = lines.indexOf(QRegularExpression(QStringLiteral(" +→ hello\\.c 4 .*")));
    ASSERT_GE(message, 0) << messages().toStdString();
    ASSERT_GT(shown, message) << messages().toStdString();
    EXPECT_FALSE(lines[shown].contains(QStringLiteral("__out")));
    TCustomizedMemo* page = form->Memos->editor(0);
    // The page's copy is broken into lines to fit the page.
    const QRegularExpression blanks(QStringLiteral("\\s"));
    EXPECT_EQ(page->explanation(4).remove(blanks), lines[shown].section(QStringLiteral("→ "), 1).remove(blanks));
    EXPECT_TRUE(page->explanation(5).isEmpty());

    const auto caretLine = [&] {
        return page->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, page->toByte(page->caretPosition())) + 1;
    };
    QTextCursor at(form->Memo2->document()->findBlockByNumber(int(shown)));
    form->Memo2->setTextCursor(at);
    form->Memo2->ensureCursorVisible();
    page->setCaret(0);
    QTest::mouseDClick(form->Memo2->viewport(), Qt::LeftButton, {}, form->Memo2->cursorRect(at).center());
    EXPECT_EQ(caretLine(), 4);
    // F8 stops on the message, not on its explanation: the one message here is
    // the last stop.
    form->Execute1Click();
    page->setCaret(0);
    form->NextMessage1Click();
    EXPECT_EQ(form->Memo2->textCursor().blockNumber(), message);
    EXPECT_EQ(caretLine(), 4);
    form->NextMessage1Click();
    EXPECT_EQ(form->Memo2->textCursor().blockNumber(), message);
    EXPECT_EQ(caretLine(), 4);

    // Typing the missing ";" leaves the page's explanation behind.
    QTest::keyClick(page, Qt::Key_End);
    QTest::keyClicks(page, QStringLiteral(";"));
    EXPECT_TRUE(page->explanation(4).isEmpty());
    EXPECT_EQ(page->markedLines(TCustomizedMemo::MarkKind::Error), QList<int>{4});

    // An untitled page, built from its scratch copy, is named as its tab names
    // it: not at all.
    form->Memos->AddPage(QString());
    TCustomizedMemo* untitled = form->Memos->ActiveMemo();
    untitled->setPlainText(QStringLiteral("int main()\n{\n    return 0\n}\n"));
    form->Execute1Click();
    const QStringList untitledLines = messages().split(u'\n');
    EXPECT_GE(untitledLines.indexOf(QRegularExpression(QStringLiteral(" +→ 3 行目: .*"))), 0)
        << messages().toStdString();
    EXPECT_TRUE(untitled->explanation(3).startsWith(QStringLiteral("3 行目: "))) << untitled->explanation(3).toStdString();
    for (const QString& line : untitledLines) {
        if (line.contains(QStringLiteral("→"))) {
            EXPECT_FALSE(line.contains(QStringLiteral("__out"))) << line.toStdString();
        }
    }

    // Commas in a for's header: gcc asks for a ';' before ')', and the pane must not
    // repeat that advice; it says what the header's parts are.
    openPage(work + QStringLiteral("loop.c"), "#include <stdio.h>\nint main(void)\n{\n    int i;\n"
                                              "    for (i = 0, i < 10, i++)\n        printf(\"%d\\n\", i);\n"
                                              "    return 0;\n}\n");
    form->Execute1Click();
    const QStringList loopLines = messages().split(u'\n').filter(QStringLiteral("→"));
    ASSERT_FALSE(loopLines.isEmpty()) << messages().toStdString();
    EXPECT_TRUE(loopLines[0].contains(QStringLiteral("loop.c 5 行目: for ( ) の中は"))) << messages().toStdString();
    for (const QString& line : loopLines)
        EXPECT_FALSE(line.contains(QStringLiteral("文の終わりの ;"))) << line.toStdString();
    EXPECT_FALSE(form->Memos->ActiveMemo()->explanation(5).isEmpty());
}

// F9 with the run-time checks: an index past the end of an array stops the program.
// The console shows the explanation after the program's own output; the pane shows
// it within a second with its place, names the checker's report and tells of the
// run's end; the line gets the error mark. With the checks off a crash is told by
// its signal, on the console and in the pane.
TEST_F(E2eFixture, RunTimeFaultIsCaughtAndExplained)
{
    openPage(work + QStringLiteral("over.c"), "#include <stdio.h>\nint main(void)\n{\n    int a[5];\n    int i;\n"
                                              "    puts(\"start\");\n    for (i = 0; i <= 5; i++)\n        a[i] = i;\n"
                                              "    return a[0];\n}\n");
    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    const QString console = consoleOutput();
    const qsizetype explained = console.indexOf(QStringLiteral("over.c 8 行目: 配列 a"));
    EXPECT_GT(explained, console.indexOf(QStringLiteral("start"))) << console.toStdString();
    EXPECT_GT(console.indexOf(QStringLiteral("実行時チェックの報告: ")), explained);
    EXPECT_FALSE(console.contains(QStringLiteral("runtime error"))) << "the raw report stays in its file";

    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(QStringLiteral("over.c 8 行目: 配列 a")); }, 15000)) << messages().toStdString();
    const QStringList lines = messages().split(u'\n');
    const qsizetype shown = lines.indexOf(QRegularExpression(QStringLiteral("over\\.c 8 行目: 配列 a .*")));
    ASSERT_GE(shown, 0) << messages().toStdString();
    const QString report = lines.value(shown + 1).section(QStringLiteral("報告: "), 1).chopped(1);
    EXPECT_TRUE(report.startsWith(program + QStringLiteral("runs/"))) << lines.value(shown + 1).toStdString();
    EXPECT_TRUE(readAll(report).contains("out of bounds"));
    EXPECT_TRUE(lines.constLast().contains(QStringLiteral("終了コード 1"))) << lines.constLast().toStdString();
    TCustomizedMemo* page = form->Memos->editor(0);
    EXPECT_EQ(page->markedLines(TCustomizedMemo::MarkKind::Error), QList<int>{8});
    page->setCaret(0);
    ASSERT_TRUE(form->JumpToMessage(int(shown)));
    EXPECT_EQ(page->SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, page->toByte(page->caretPosition())), 7);

    form->GuardedRun1->trigger();
    page->setPlainText(QStringLiteral("int main(void)\n{\n    int *p = 0;\n    return *p;\n}\n"));
    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(2)) << messages().toStdString();
    EXPECT_TRUE(consoleOutput().mid(console.size()).contains(QStringLiteral("セグメンテーション違反")))
        << consoleOutput().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(QStringLiteral("シグナル 11")); }, 15000)) << messages().toStdString();
    EXPECT_FALSE(QFile::exists(report)) << "a report goes with the pane that named it";
}

// A value never set, which the checkers cannot see, is caught by the replay under
// memcheck fed the bytes typed to the guarded run (2: a[2] is never set; without
// them a[0] would be read, which is set), and explained after the program's output
// and in the pane at its line, marked. The replay's build stays out of the page's
// folder. Without valgrind the run goes on as before and the pane says once which
// package adds the check.
TEST_F(E2eFixture, ValueNeverSetIsCaughtByTheReplay)
{
    root.write(QStringLiteral("term.sh"), "#!/bin/sh\n"
                                          "printf '2\\nexit\\n' | \"$@\" >> \"$0.out\" 2>&1\n"
                                          "echo \"status $?\" >> \"$0.done\"\n");
    openPage(work + QStringLiteral("unset.c"), "#include <stdio.h>\nint main(void)\n{\n    int a[4];\n    int n = 0;\n"
                                               "    scanf(\"%d\", &n);\n    a[0] = n;\n    if (a[n] > 0)\n"
                                               "        puts(\"positive\");\n    puts(\"end\");\n    return 0;\n}\n");
    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    const QString told = QStringLiteral("unset.c 8 行目: 配列 a の要素に値を入れる前に使っています（a は 4 行目で宣言）。");
    const QString console = consoleOutput();
    EXPECT_GT(console.indexOf(told), console.indexOf(QStringLiteral("end"))) << console.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(told); }, 1000)) << messages().toStdString();
    EXPECT_EQ(form->Memos->editor(0)->markedLines(TCustomizedMemo::MarkKind::Error), QList<int>{8});
    EXPECT_EQ(QDir(work).entryList(QDir::Files), (QStringList{QStringLiteral("__out.exe"), QStringLiteral("unset.c")}))
        << QDir(work).entryList(QDir::Files).join(u' ').toStdString();

    qputenv("NOLLEX_VALGRIND", root.file(QStringLiteral("no-valgrind")).toUtf8());
    const auto restore = qScopeGuard([] { qunsetenv("NOLLEX_VALGRIND"); });
    const QString missing = QStringLiteral("valgrind パッケージ");
    for (int run = 2; run <= 3; ++run) {
        form->Execute1Click();
        ASSERT_TRUE(waitForRuns(run)) << messages().toStdString();
        EXPECT_EQ(messages().contains(missing), run == 2) << messages().toStdString();
        ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(QStringLiteral("終了コード 0")); }, 1000)) << messages().toStdString();
        EXPECT_FALSE(messages().contains(told)) << messages().toStdString();
    }
    EXPECT_EQ(consoleOutput().count(told), 1) << consoleOutput().toStdString();
}

// After a guarded F6's verdicts the cases are replayed in the background: the case
// whose input reaches the element never set is warned of at the line, whatever its
// verdict (here AC); the other cases are not. The next F9 stops a replay still
// running (the third case loops).
TEST_F(E2eFixture, SampleRunReplaysTheCasesForValuesNeverSet)
{
    ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("test")));
    for (const char* n : {"1", "2", "7", "9"}) {
        root.write(QStringLiteral("work/test/sample-%1.in").arg(QLatin1String(n)), QByteArray(n) + '\n');
        root.write(QStringLiteral("work/test/sample-%1.out").arg(QLatin1String(n)), "end\n");
    }
    openPage(work + QStringLiteral("cases.c"), "#include <stdio.h>\nint main(void)\n{\n    int a[4];\n    int n = 0;\n"
                                               "    a[1] = 0;\n    scanf(\"%d\", &n);\n    if (n < 4 && a[n] > 0)\n"
                                               "        puts(\"positive\");\n    while (n == 9) {}\n"
                                               "#ifdef __SANITIZE_ADDRESS__\n    while (n == 7) {}\n#endif\n"
                                               "    puts(\"end\");\n    return 0;\n}\n");
    form->State.SampleTimeLimit = 500;
    form->SampleRun1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(QStringLiteral("4 件中")); }, 30000)) << messages().toStdString();
    // A case past the limit only with the checks is timed again without them.
    EXPECT_TRUE(messages().contains(QRegularExpression(
        QStringLiteral("sample-7  AC .*\n    （実行時チェック付きでは時間内に終わらなかったため"))))
        << messages().toStdString();
    EXPECT_TRUE(messages().contains(QStringLiteral("sample-9  TLE"))) << messages().toStdString();
    const QString warned = QStringLiteral("sample-2  注意: cases.c 8 行目: 配列 a の要素に値を入れる前に使っています");
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(warned); }, 15000)) << messages().toStdString();
    EXPECT_TRUE(messages().contains(QStringLiteral("sample-2  AC"))) << messages().toStdString();
    EXPECT_FALSE(messages().contains(QStringLiteral("sample-1  注意"))) << messages().toStdString();

    // The looping case's replay writes its report while it runs.
    const auto replaying = [&] {
        return !QDir(program + QStringLiteral("runs")).entryList({QStringLiteral("case-replay-*")}, QDir::Files).isEmpty();
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return replaying(); }, 5000)) << messages().toStdString();
    form->Execute1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !replaying(); }, 1500)) << messages().toStdString();

    // Without valgrind there is no replay, but the cases are still timed fairly.
    qputenv("NOLLEX_VALGRIND", root.file(QStringLiteral("no-valgrind")).toUtf8());
    const auto restore = qScopeGuard([] { qunsetenv("NOLLEX_VALGRIND"); });
    form->SampleRun1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(QStringLiteral("4 件中")); }, 30000));
    EXPECT_TRUE(messages().contains(QRegularExpression(QStringLiteral("sample-7  AC .*\n    （実行時チェック付きでは"))))
        << messages().toStdString();
}

// F6 runs the page's cases from its test/ folder and judges each: AC, WA with its
// first difference, TLE, RE explained at its line, OLE; a case's line opens its
// outputs side by side. An expected output over the output cap (100 GB, sparse)
// gets a line saying so; the window keeps no case's whole output (three at the
// cap). A compile error ends the run before any case; Add Sample writes the next
// pair; a page without cases is told where they go.
TEST_F(E2eFixture, SampleRunJudgesEveryCase)
{
    const QString test = work + QStringLiteral("test/");
    ASSERT_TRUE(QDir().mkpath(test));
    const char* cases[][2] = {{"1", "2\n"}, {"2", "4\n"}, {"3", "x"}, {"4", "x"},
                              {"5", "x"}, {"6", ""},    {"5", "x"}, {"5", "x"}};
    for (int i = 0; i < 8; ++i) {
        root.write(QStringLiteral("work/test/sample-%1.in").arg(i + 1), QByteArray(cases[i][0]) + '\n');
        root.write(QStringLiteral("work/test/sample-%1.out").arg(i + 1), cases[i][1]);
    }
    ASSERT_TRUE(QFile::resize(test + QStringLiteral("sample-6.out"), 100LL << 30));
    const auto residentKb = [] {
        QFile status(QStringLiteral("/proc/self/status"));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        const qsizetype at = text.indexOf("VmRSS:");
        return text.mid(at + 6, text.indexOf('\n', at) - at - 6).trimmed().split(' ').value(0).toLongLong();
    };
    const QByteArray judged = "#include <stdio.h>\n#include <string.h>\nint main(void)\n{\n    int n = 0;\n"
                              "    if (scanf(\"%d\", &n) != 1)\n        return 3;\n"
                              "    if (n == 1) printf(\"2\\n\");\n    if (n == 2) printf(\"5\\n\");\n"
                              "    if (n == 3) for (;;) {}\n    if (n == 4) printf(\"%d\\n\", n / (n - 4));\n"
                              "    if (n == 5) { static char b[65536]; memset(b, 'x', sizeof b);"
                              " for (;;) fwrite(b, 1, sizeof b, stdout); }\n    return 0;\n}\n";
    openPage(work + QStringLiteral("judge.c"), judged);
    // The guarded program writes its 64 MB well within the limit, also when this test
    // itself runs with the checks.
#ifdef NOLLEX_SANITIZED
    form->State.SampleTimeLimit = 6000;
#else
    form->State.SampleTimeLimit = 1500;
#endif
    const qint64 before = residentKb();
    form->SampleRun1Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return messages().contains(QStringLiteral("8 件中 1 件 AC")); }, 30000)) << messages().toStdString();
#ifndef NOLLEX_SANITIZED
    // The address checker's quarantine keeps freed memory on purpose: the bound
    // holds for the real allocator only.
    EXPECT_LE(residentKb() - before, 150 * 1024);
#endif
    const QStringList lines = messages().split(u'\n');
    const auto lineOf = [&](const QString& start) {
        return lines.indexOf(QRegularExpression(QRegularExpression::escape(start) + QStringLiteral(".*")));
    };
    for (const char* verdict : {"sample-1  AC", "sample-2  WA", "sample-3  TLE", "sample-4  RE", "sample-5  OLE",
                                "sample-7  OLE", "sample-8  OLE"})
        EXPECT_GE(lineOf(QString::fromLatin1(verdict)), 0) << verdict << '\n' << messages().toStdString();
    EXPECT_TRUE(lines.value(lineOf(QStringLiteral("sample-2  WA")) + 1).contains(QStringLiteral("1 行目")));
    EXPECT_TRUE(lines.value(lineOf(QStringLiteral("sample-4  RE")) + 1).contains(QStringLiteral("judge.c 11 行目")))
        << messages().toStdString();
    EXPECT_TRUE(lines.value(lineOf(QStringLiteral("sample-6  --"))).contains(QStringLiteral("64 MB を超える")))
        << messages().toStdString();
    EXPECT_TRUE(form->JumpToMessage(int(lineOf(QStringLiteral("sample-2  WA")))));
    const QDialog* caseWindow = form->sampleRunner().caseWindow();
    ASSERT_TRUE(caseWindow);
    const auto* actual = caseWindow->findChild<QPlainTextEdit*>(QStringLiteral("実際の出力"));
    ASSERT_TRUE(actual);
    EXPECT_EQ(actual->toPlainText(), QStringLiteral("5\n"));
    EXPECT_EQ(readAll(test + QStringLiteral("sample-2.out")), "4\n") << "cases are only read";

    form->Memos->ActiveMemo()->setPlainText(QStringLiteral("int main(void) { return missing; }\n"));
    form->SampleRun1Click();
    EXPECT_TRUE(messages().contains(QStringLiteral("missing"))) << messages().toStdString();
    QTest::qWait(200);
    EXPECT_FALSE(messages().contains(QStringLiteral("件中")));

    dialogs.answer(SampleCaseText{QStringLiteral("6\r\n"), QStringLiteral("7\n")});
    form->AddSample1Click();
    EXPECT_EQ(readAll(test + QStringLiteral("sample-9.in")), "6\n");
    EXPECT_EQ(readAll(test + QStringLiteral("sample-9.out")), "7\n");

    openPage(root.path() + QStringLiteral("alone.c"), "int main(void) { return 0; }\n");
    form->SampleRun1Click();
    EXPECT_TRUE(messages().startsWith(QStringLiteral("サンプルケースがありません"))) << messages().toStdString();
}

// A ".c" page is built by the C compiler: this is valid C and invalid C++.
TEST_F(E2eFixture, CPageBuildsWithGcc)
{
    openPage(work + QStringLiteral("prog.c"),
             "#include <stdio.h>\n#include <stdlib.h>\n"
             "int main(void) { int *class = malloc(sizeof *class); *class = 42;\n"
             "  printf(\"C says %d\\n\", *class); free(class); return 0; }\n");
    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("C says 42"))) << consoleOutput().toStdString();
}

// Make compiles the page's own file into hello.exe beside it (saving the edit
// first) and runs nothing; no __out file appears.
TEST_F(E2eFixture, MakeWritesTheProgramBesideThePage)
{
    openPage(work + QStringLiteral("hello.cpp"), "int main() { return 1; }\n");
    form->Memos->ActiveMemo()->setPlainText(QString::fromUtf8(kHello));
    form->Make1Click();
    EXPECT_TRUE(QFile::exists(work + QStringLiteral("hello.exe"))) << messages().toStdString();
    EXPECT_EQ(messages(), QStringLiteral("プログラム %1hello.exe を作りました").arg(work));
    EXPECT_EQ(readAll(work + QStringLiteral("hello.cpp")), kHello);
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.exe")));
    EXPECT_TRUE(form->State.OptionSet.smalln.isEmpty());
    QThread::msleep(300);
    EXPECT_FALSE(QFile::exists(terminal + QStringLiteral(".args")));
}

// Make on an untitled page builds in the folder chosen in Save As.
TEST_F(E2eFixture, MakeOnUntitledPageBuildsWhereItWasSaved)
{
    form->Memos->ActiveMemo()->setPlainText(QString::fromUtf8(kHello));
    dialogs.answer(work + QStringLiteral("fresh.cpp"));
    form->Make1Click();
    EXPECT_TRUE(QFile::exists(work + QStringLiteral("fresh.exe"))) << messages().toStdString();
    EXPECT_EQ(form->State.WorkFolder, work);
}

// Re-run starts the last __out.exe again in its folder; before any build it says
// so; RunMode 1 keeps the console with "/K" (answered here with EXIT).
TEST_F(E2eFixture, RerunAndRunMode)
{
    dialogs.answer(MsgAnswer::Ok);
    form->outexe1Click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("__out.exeを作成していません"));

    openPage(work + QStringLiteral("hello.cpp"), kHello);
    form->State.RunMode = AfterRun::WaitForExit;
    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    form->outexe1Click();
    ASSERT_TRUE(waitForRuns(2));
    const QStringList args = consoleArgs();
    ASSERT_EQ(args.size(), 4);
    EXPECT_EQ(args[0], program + QStringLiteral("cmd.exe|/K|") + work + QStringLiteral("__out.exe|"));
    EXPECT_EQ(args[2], program + QStringLiteral("cmd.exe|/K|__out.exe|"));
    EXPECT_EQ(QDir(args[3]).canonicalPath(), QDir(work).canonicalPath());
    EXPECT_EQ(consoleOutput().count(QStringLiteral("Hello, Nollex")), 2) << consoleOutput().toStdString();
}

// Blanks and Japanese in the program's and the page's folders: the batch lines
// quote those paths and the build still runs.
TEST_F(E2eFixture, FoldersWithBlanksAndJapanese)
{
    form.reset();
    setUpFolders(QStringLiteral("my prog"), QStringLiteral("作業 フォルダ"));
    openPage(work + QStringLiteral("hello.cpp"), kHello);
    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("Hello, Nollex")));
    const QStringList lines = QString::fromUtf8(readAll(program + QStringLiteral("__out.bat"))).split(QStringLiteral("\r\n"));
    EXPECT_TRUE(lines.value(1).endsWith(u'"' + work + QStringLiteral("__out.cpp\" > \"") + program +
                                        QStringLiteral("message.txt\"")))
        << lines.value(1).toStdString();
    EXPECT_EQ(lines.value(2), QStringLiteral("rem ") + program);
}

// "?", "*", "[" and "]" are letters of Linux names: a page "h?.cpp" beside
// "h1.cpp" must build from itself, and a folder "a?" deeper down must be found.
TEST_F(E2eFixture, PatternLettersInNamesAreNames)
{
    const QString folder = work + QStringLiteral("a?/b[1]*/");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("ab/b1x")));
    const QByteArray other = "int main() { return 1; }\n";
    QFile f(folder + QStringLiteral("h1.cpp"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(other);
    f.close();
    openPage(folder + QStringLiteral("h?.cpp"), kHello);

    form->Make1Click();
    EXPECT_EQ(readAll(folder + QStringLiteral("h1.cpp")), other);
    EXPECT_EQ(readAll(folder + QStringLiteral("h?.cpp")), kHello);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("h?.exe"))) << messages().toStdString();
    EXPECT_FALSE(QFile::exists(folder + QStringLiteral("h1.exe")));

    form->Execute1Click();
    ASSERT_TRUE(waitForRuns(1)) << messages().toStdString();
    EXPECT_EQ(form->State.WorkFolder, folder);
    EXPECT_TRUE(consoleOutput().contains(QStringLiteral("Hello, Nollex"))) << consoleOutput().toStdString();
}

// A compiler folder that does not exist: nothing between the quotes of line 1,
// and the pane says why nothing was built instead of staying empty.
TEST_F(E2eFixture, MissingCompilerFolderIsReported)
{
    openPage(work + QStringLiteral("hello.cpp"), kHello);
    form->State.CompilerDirectory = root.path() + QStringLiteral("no such folder");
    form->Execute1Click();
    EXPECT_TRUE(readAll(program + QStringLiteral("__out.bat")).startsWith("cd \"\"\r\nbcc32.exe "));
    EXPECT_TRUE(messages().contains(QStringLiteral("bcc32.exe"))) << messages().toStdString();
    EXPECT_FALSE(QFile::exists(work + QStringLiteral("__out.exe")));
}

// The dialog's two setup buttons work on its fields as typed.
TEST_F(E2eFixture, CompilerSetupButtons)
{
    form->form2()->Edit7->setText(program);
    form->form2()->Edit8->setText(QStringLiteral("bcc32.exe"));
    dialogs.answer(MsgAnswer::Ok);
    form->form2()->Button4->click();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Existence"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("OK"));

    form->form2()->Edit7->setText(work + QStringLiteral("Bin"));
    QDir().mkpath(work + QStringLiteral("Bin"));
    form->form2()->Button5->click();
    EXPECT_EQ(readAll(work + QStringLiteral("Bin/ilink32.cfg")), "-L\"" + work.toUtf8() + "lib\"\r\n");
}
