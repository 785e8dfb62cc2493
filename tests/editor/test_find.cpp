#include "editor/Find.h"
#include "support/ScriptedDialogs.h"

#include <QPlainTextEdit>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace nollex;

// After any mix of edits the kept copy equals the document's text: typing,
// deleting, line breaks, undo and redo, replacing everything.
TEST(DocumentTextCache, FollowsRandomEdits)
{
    QTextDocument doc;
    DocumentTextCache cache;
    QRandomGenerator rng(77);
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("int x;"), QStringLiteral("\n"),
                                QStringLiteral("日本\n語"), QString(QChar(0x00A0))};
    doc.setPlainText(QStringLiteral("start\ntext"));
    for (int round = 0; round < 2000; ++round) {
        const int edits = int(rng.bounded(4));
        for (int e = 0; e < edits; ++e) {
            const int size = doc.characterCount() - 1;
            QTextCursor c(&doc);
            c.setPosition(int(rng.bounded(size + 1)));
            switch (rng.bounded(7)) {
            case 0:
            case 1: c.insertText(pieces[int(rng.bounded(pieces.size()))]); break;
            case 2:
                c.setPosition(int(rng.bounded(size + 1)), QTextCursor::KeepAnchor);
                c.removeSelectedText();
                break;
            case 3:
                c.setPosition(int(rng.bounded(size + 1)), QTextCursor::KeepAnchor);
                c.insertText(pieces[int(rng.bounded(pieces.size()))]);
                break;
            case 4: doc.undo(); break;
            case 5: doc.redo(); break;
            default:
                if (rng.bounded(20) == 0)
                    doc.setPlainText(QStringLiteral("fresh\ntext"));
                else
                    c.insertBlock();
            }
        }
        ASSERT_EQ(cache.text(&doc), doc.toRawText()) << "round " << round;
    }
}

namespace {

// One shown editor, as a page of the main window.
struct FindFixture : ::testing::Test {
    QPlainTextEdit editor;
    test::ScriptedDialogs dialogs;
    DocumentTextCache cache;
    QString searchText;

    void SetUp() override
    {
        editor.resize(400, 200);
        editor.show();
    }
    int caret() const { return editor.textCursor().position(); }
    void setCaret(int pos)
    {
        QTextCursor c = editor.textCursor();
        c.setPosition(pos);
        editor.setTextCursor(c);
    }
    void run(int d) { runFind(editor, searchText, FindDirection(d), dialogs, cache); }
    // The position at the top left of the visible text.
    int topPosition() const { return editor.cursorForPosition(QPoint(2, 2)).position(); }
    void expectNotFoundMessage(const QString& s)
    {
        ASSERT_FALSE(dialogs.asked.isEmpty());
        const test::Asked& a = dialogs.asked.last();
        EXPECT_EQ(a.kind, test::Asked::Message);
        EXPECT_EQ(a.caption, QStringLiteral("Find"));
        EXPECT_EQ(a.text, QStringLiteral("Couldn't find String \"") + s + QStringLiteral("\"."));
        EXPECT_EQ(a.buttons, MsgButtons::Ok);
        EXPECT_EQ(a.icon, MsgIcon::None);
    }
};

}  // namespace

// Find, again down, again down (nothing more: the message), again up.
TEST_F(FindFixture, AbcabcFindAgainDownAndUp)
{
    editor.setPlainText(QStringLiteral("abcabc"));
    setCaret(0);
    dialogs.answer(QStringLiteral("abc"));
    run(0);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].kind, test::Asked::Input);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("NOLLEX"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("Find"));
    EXPECT_EQ(dialogs.asked[0].preset, QString());
    EXPECT_EQ(searchText, QStringLiteral("abc"));
    EXPECT_EQ(caret(), 0);

    run(1);
    EXPECT_EQ(caret(), 3);
    EXPECT_FALSE(editor.textCursor().hasSelection());

    dialogs.answer(MsgAnswer::Ok);
    run(1);
    expectNotFoundMessage(QStringLiteral("abc"));
    EXPECT_EQ(caret(), 3);  // the caret stays where it was

    run(-1);
    EXPECT_EQ(caret(), 0);
    EXPECT_EQ(dialogs.asked.size(), 2);
    EXPECT_TRUE(dialogs.allAnswersUsed());
}

// The match at the very end of the text, found upward from the end and
// downward from the start; the next Find presets the remembered text.
TEST_F(FindFixture, MatchAtTheVeryEnd)
{
    editor.setPlainText(QStringLiteral("int x;\nreturn 0;"));
    setCaret(int(editor.toPlainText().size()));
    searchText = QStringLiteral("0;");
    run(-1);
    EXPECT_EQ(caret(), 14);

    setCaret(0);
    dialogs.answer(QStringLiteral("0;"));
    run(0);
    EXPECT_EQ(dialogs.asked.last().preset, QStringLiteral("0;"));
    EXPECT_EQ(caret(), 14);
}

// Upper and lower case differ; the message quotes the text as typed.
TEST_F(FindFixture, MainDoesNotFindMain)
{
    editor.setPlainText(QStringLiteral("int main(void)"));
    dialogs.answer(QStringLiteral("Main"));
    dialogs.answer(MsgAnswer::Ok);
    run(0);
    expectNotFoundMessage(QStringLiteral("Main"));
    EXPECT_EQ(searchText, QStringLiteral("Main"));
}

// A selection is collapsed to its start first; again down then starts one
// character after that start. Without a search text only the collapse happens.
TEST_F(FindFixture, SelectionCollapsedFirst)
{
    editor.setPlainText(QStringLiteral("abcabcabc"));
    QTextCursor c = editor.textCursor();
    c.setPosition(7);
    c.setPosition(3, QTextCursor::KeepAnchor);  // selection 3..7, caret at 3
    editor.setTextCursor(c);
    run(1);  // no search text yet: silent
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_FALSE(editor.textCursor().hasSelection());
    EXPECT_EQ(caret(), 3);

    c.setPosition(1);
    c.setPosition(5, QTextCursor::KeepAnchor);  // selection 1..5, caret at 5
    editor.setTextCursor(c);
    searchText = QStringLiteral("abc");
    run(1);
    EXPECT_EQ(caret(), 3);  // searched from 2, not from 6
}

// Cancel keeps the preset, so the old text is searched; an emptied field stops
// without a message and keeps the old text.
TEST_F(FindFixture, CancelledFindSearchesTheOldText)
{
    editor.setPlainText(QStringLiteral("x foo y foo"));
    setCaret(3);
    searchText = QStringLiteral("foo");
    dialogs.answer(test::Cancel{});
    run(0);
    EXPECT_EQ(dialogs.asked.last().preset, QStringLiteral("foo"));
    EXPECT_EQ(caret(), 8);
    EXPECT_EQ(searchText, QStringLiteral("foo"));

    dialogs.answer(QString());
    run(0);
    EXPECT_EQ(caret(), 8);
    EXPECT_EQ(searchText, QStringLiteral("foo"));
    EXPECT_EQ(dialogs.asked.size(), 2);  // no message
}

// Again up with the caret at 0 reports at once.
TEST_F(FindFixture, AgainUpAtTheStartReports)
{
    editor.setPlainText(QStringLiteral("abc"));
    setCaret(0);
    searchText = QStringLiteral("abc");
    dialogs.answer(MsgAnswer::Ok);
    run(-1);
    expectNotFoundMessage(QStringLiteral("abc"));
    EXPECT_EQ(caret(), 0);
}

// A search text with a line break finds the text across the page's line break.
TEST_F(FindFixture, LineBreakInTheSearchText)
{
    editor.setPlainText(QStringLiteral("int a;\nint b;\n"));
    dialogs.answer(QStringLiteral("a;\r\nint"));
    run(0);
    EXPECT_EQ(caret(), 4);
}

// The remembered text of a page follows its edits, and each page is searched
// in its own text (a stale copy would find what is no longer there).
TEST_F(FindFixture, EditsAndOtherPagesAreSeen)
{
    editor.setPlainText(QStringLiteral("alpha beta"));
    searchText = QStringLiteral("beta");
    setCaret(0);
    run(1);
    EXPECT_EQ(caret(), 6);

    QTextCursor c(editor.document());
    c.insertText(QStringLiteral("beta "));  // "beta alpha beta"
    QPlainTextEdit other;
    other.setPlainText(QStringLiteral("xx beta"));
    other.setTextCursor(QTextCursor(other.document()));
    runFind(other, searchText, FindDirection::Down, dialogs, cache);
    EXPECT_EQ(other.textCursor().position(), 3);

    setCaret(0);
    run(1);
    EXPECT_EQ(caret(), 11);

    // An edit made while the document's signals were blocked is seen as well.
    editor.document()->blockSignals(true);
    QTextCursor(editor.document()).insertText(QStringLiteral("xy"));
    editor.document()->blockSignals(false);
    setCaret(0);
    run(1);
    EXPECT_EQ(caret(), 2);
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

namespace {

QString numberedLines(int count)
{
    QStringList lines;
    for (int i = 0; i < count; ++i)
        lines << QStringLiteral("line %1").arg(i, 3, 10, QChar(u'0'));
    return lines.join(u'\n');
}

}  // namespace

// The found line becomes the top line, whether it lay below or above the view;
// near the end the editor scrolls only as far as the text allows.
TEST_F(FindFixture, FoundLineGoesToTheTop)
{
    editor.setPlainText(numberedLines(200));
    auto topBlock = [&] { return editor.document()->findBlock(topPosition()).blockNumber(); };
    setCaret(0);
    searchText = QStringLiteral("line 150");
    run(1);
    EXPECT_EQ(caret(), 150 * 9);
    EXPECT_EQ(topBlock(), 150);

    searchText = QStringLiteral("line 020");
    run(-1);
    EXPECT_EQ(topBlock(), 20);

    searchText = QStringLiteral("line 199");
    run(1);
    EXPECT_EQ(editor.verticalScrollBar()->value(), editor.verticalScrollBar()->maximum());
    EXPECT_LT(topBlock(), 199);
    EXPECT_GT(topBlock(), 150);
}

// With word wrap, the wrapped line that holds the match goes to the top, not
// the first line of its paragraph.
TEST_F(FindFixture, WrappedLineOfTheMatchGoesToTheTop)
{
    editor.setLineWrapMode(QPlainTextEdit::WidgetWidth);
    QString paragraph;
    for (int i = 0; i < 80; ++i)
        paragraph += (i == 60 ? QStringLiteral("TARGET ") : QStringLiteral("word%1 ").arg(i));
    editor.setPlainText(QStringLiteral("first\n") + paragraph + u'\n' + numberedLines(100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    setCaret(0);
    searchText = QStringLiteral("TARGET");
    run(1);

    const QTextBlock block = editor.document()->findBlock(caret());
    ASSERT_EQ(block.blockNumber(), 1);
    const int matchLine = block.layout()->lineForTextPosition(caret() - block.position()).lineNumber();
    ASSERT_GT(matchLine, 0);  // the match sits on a continuation line
    const int top = topPosition();
    EXPECT_EQ(editor.document()->findBlock(top).blockNumber(), 1);
    EXPECT_EQ(block.layout()->lineForTextPosition(top - block.position()).lineNumber(), matchLine);
}
