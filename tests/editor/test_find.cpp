#include "editor/Find.h"
#include "editor/Replace.h"
#include "editor/UndoToggle.h"
#include "editor/TCustomizedMemo.h"
#include "support/ScriptedDialogs.h"

#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace nollex;

// After any mix of edits the kept copy equals the document's text: typing,
// deleting, line breaks, undo and redo, replacing everything.
TEST(DocumentTextCache, FollowsRandomEdits)
{
    TCustomizedMemo doc;
    DocumentTextCache cache;
    QRandomGenerator rng(77);
    const QStringList pieces = {QStringLiteral("a"), QStringLiteral("int x;"), QStringLiteral("\n"),
                                QStringLiteral("日本\n語"), QString(QChar(0x00A0))};
    doc.setPlainText(QStringLiteral("start\ntext"));
    for (int round = 0; round < 2000; ++round) {
        const int edits = int(rng.bounded(4));
        for (int e = 0; e < edits; ++e) {
            const int size = doc.characterCount();
            doc.setCaret(int(rng.bounded(size + 1)));
            switch (rng.bounded(7)) {
            case 0:
            case 1: doc.insertPlainText(pieces[int(rng.bounded(pieces.size()))]); break;
            case 2:
                doc.setSelection(doc.caretPosition(), int(rng.bounded(size + 1)));
                doc.removeSelectedText();
                break;
            case 3:
                doc.setSelection(doc.caretPosition(), int(rng.bounded(size + 1)));
                doc.insertPlainText(pieces[int(rng.bounded(pieces.size()))]);
                break;
            case 4: doc.undo(); break;
            case 5: doc.redo(); break;
            default:
                if (rng.bounded(20) == 0)
                    doc.setPlainText(QStringLiteral("fresh\ntext"));
                else
                    doc.insertPlainText(QStringLiteral("\n"));
            }
        }
        ASSERT_EQ(cache.text(&doc), doc.toPlainText()) << "round " << round;
    }
}

namespace {

// One shown editor, as a page of the main window.
struct FindFixture : ::testing::Test {
    TCustomizedMemo editor;
    test::ScriptedDialogs dialogs;
    DocumentTextCache cache;
    QString searchText;

    void SetUp() override
    {
        editor.resize(400, 200);
        editor.show();
    }
    int caret() const { return editor.caretPosition(); }
    QString selected() const
    {
        return editor.textRange(editor.selectionStart(),
                                editor.toChar(int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND))));
    }
    void setCaret(int pos) { editor.setCaret(pos); }
    void run(int d) { runFind(editor, searchText, FindDirection(d), dialogs, cache); }
    // The position at the top left of the visible text.
    int topPosition() const
    {
        return editor.toChar(int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMPOINT,
                                                      editor.marginWidth(0) + 2, 2L)));
    }
    // The paragraph (text line) that holds position pos.
    int paragraphOf(int pos) const
    {
        return int(editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                                        editor.toByte(pos)));
    }
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
    EXPECT_FALSE(editor.hasSelection());

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
    editor.setSelection(7, 3);  // selection 3..7, caret at 3
    run(1);  // no search text yet: silent
    EXPECT_TRUE(dialogs.asked.isEmpty());
    EXPECT_FALSE(editor.hasSelection());
    EXPECT_EQ(caret(), 3);

    editor.setSelection(1, 5);  // selection 1..5, caret at 5
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

    editor.setCaret(0);
    editor.insertPlainText(QStringLiteral("beta "));  // "beta alpha beta"
    TCustomizedMemo other;
    other.setPlainText(QStringLiteral("xx beta"));
    other.setCaret(0);
    runFind(other, searchText, FindDirection::Down, dialogs, cache);
    EXPECT_EQ(other.caretPosition(), 3);

    setCaret(0);
    run(1);
    EXPECT_EQ(caret(), 11);

    // An edit made while the document's signals were blocked is seen as well.
    editor.blockSignals(true);
    editor.setCaret(0);
    editor.insertPlainText(QStringLiteral("xy"));
    editor.blockSignals(false);
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
    auto topBlock = [&] { return paragraphOf(topPosition()); };
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
    editor.setWrapMode(QsciScintilla::WrapWord);
    QString paragraph;
    for (int i = 0; i < 80; ++i)
        paragraph += (i == 60 ? QStringLiteral("TARGET ") : QStringLiteral("word%1 ").arg(i));
    editor.setPlainText(QStringLiteral("first\n") + paragraph + u'\n' + numberedLines(100));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&editor));
    setCaret(0);
    searchText = QStringLiteral("TARGET");
    run(1);

    ASSERT_EQ(paragraphOf(caret()), 1);
    // The wrapped line within the paragraph: display line minus the paragraph's first.
    auto lineInParagraph = [&](int pos) {
        return editor.displayLineOf(pos) - editor.displayLineOf(editor.toChar(int(
            editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1UL))));
    };
    const int matchLine = lineInParagraph(caret());
    ASSERT_GT(matchLine, 0);  // the match sits on a continuation line
    const int top = topPosition();
    EXPECT_EQ(paragraphOf(top), 1);
    EXPECT_EQ(lineInParagraph(top), matchLine);
}

// Replace beside Find: the first press selects the occurrence after the caret,
// each next one replaces the selection and selects the next; case and whole
// words as the switches say; an edited selection is searched, not replaced.
TEST_F(FindFixture, ReplaceStepsThroughThePage)
{
    editor.setPlainText(QStringLiteral("int i;\nint in;\nInt j;\nint k;"));
    setCaret(3);
    const TextMatcher m(ReplaceQuery{QStringLiteral("in"), QStringLiteral("long"), true, true});
    EXPECT_EQ(replaceNext(editor, m, cache), ReplaceStep::Selected);
    EXPECT_EQ(selected(), QStringLiteral("in"));
    EXPECT_EQ(editor.selectionStart(), 11);
    EXPECT_EQ(replaceNext(editor, m, cache), ReplaceStep::ReplacedLast);
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("int i;\nint long;\nInt j;\nint k;"));
    EXPECT_EQ(caret(), 15);
    EXPECT_EQ(replaceNext(editor, m, cache), ReplaceStep::NotFound);

    const TextMatcher anyCase(ReplaceQuery{QStringLiteral("INT"), QStringLiteral("char"), false});
    setCaret(0);
    EXPECT_EQ(replaceNext(editor, anyCase, cache), ReplaceStep::Selected);
    editor.setSelection(0, 2);  // "in": not an occurrence, so it is only searched from
    EXPECT_EQ(replaceNext(editor, anyCase, cache), ReplaceStep::Selected);
    EXPECT_EQ(editor.selectionStart(), 0);
    EXPECT_EQ(replaceNext(editor, anyCase, cache), ReplaceStep::Replaced);
    EXPECT_EQ(replaceNext(editor, anyCase, cache), ReplaceStep::Replaced);
    EXPECT_EQ(editor.toPlainText(), QStringLiteral("char i;\nchar long;\nInt j;\nint k;"));
    EXPECT_EQ(selected(), QStringLiteral("Int"));
}

// Replace All: every occurrence, one undo step, the caret among the same
// characters, a breakpoint on a line between two occurrences left on its line.
TEST_F(FindFixture, ReplaceAllIsOneUndoStep)
{
    const QString page = QStringLiteral("x = 1;\ny = x;\nz = 2;\nx = x + 日本;\n");
    editor.setPlainText(page);
    editor.toggleBreakpoint(3);
    setCaret(page.indexOf(QStringLiteral("z")));
    const TextMatcher m(ReplaceQuery{QStringLiteral("x"), QStringLiteral("total"), true, true});
    EXPECT_EQ(replaceAll(editor, m, cache), 4);
    const QString after = QStringLiteral("total = 1;\ny = total;\nz = 2;\ntotal = total + 日本;\n");
    EXPECT_EQ(editor.toPlainText(), after);
    EXPECT_EQ(caret(), after.indexOf(QStringLiteral("z")));
    EXPECT_EQ(editor.breakpointLines(), QList<int>{3});
    EXPECT_TRUE(editor.Modified());

    undoLastEdit(editor);
    EXPECT_EQ(editor.toPlainText(), page);
    undoLastEdit(editor);  // the page's Undo undoes its undo
    EXPECT_EQ(editor.toPlainText(), after);

    const TextMatcher none(ReplaceQuery{QStringLiteral("nothing"), QString()});
    EXPECT_EQ(replaceAll(editor, none, cache), 0);
    EXPECT_EQ(editor.toPlainText(), after);
}

// Replace All in a coloured page leaves it coloured as the lexer colours it
// anew, also where a replacement opens a comment or a string; the page counts
// as coloured through its end only when each edited line ended as before.
TEST_F(FindFixture, ReplaceAllLeavesThePageColouredAsTheLexerWould)
{
    using B = QsciScintillaBase;
    QStringList lines;
    for (int i = 0; i < 60; ++i)
        lines << (i == 45 ? QStringLiteral("end */ int z;") : QStringLiteral("int a%1 = 1; @@ b = 2;").arg(i));
    const QString page = lines.join(u'\n') + u'\n';
    auto styles = [&](long to) {
        QByteArray out;
        for (long p = 0; p < to; ++p)
            out += char(editor.SendScintilla(B::SCI_GETSTYLEAT, p));
        return out;
    };
    const struct {
        const char* with;
        bool colouredToTheEnd;
    } rows[] = {{"x", true}, {"int", true}, {"\"", true}, {"/*", true}, {"//", true}};
    for (const auto& row : rows) {
        editor.setPlainText(page);
        editor.SendScintilla(B::SCI_COLOURISE, 0L, -1L);
        const TextMatcher m(ReplaceQuery{QStringLiteral("@@"), QString::fromUtf8(row.with), true});
        ASSERT_EQ(replaceAll(editor, m, cache), 59) << row.with;
        const long length = editor.SendScintilla(B::SCI_GETLENGTH);
        const long styled = editor.SendScintilla(B::SCI_GETENDSTYLED);
        EXPECT_EQ(styled >= length, row.colouredToTheEnd) << row.with;
        const QByteArray kept = styles(styled);
        editor.SendScintilla(B::SCI_CLEARDOCUMENTSTYLE);
        editor.SendScintilla(B::SCI_COLOURISE, 0L, -1L);
        EXPECT_EQ(kept, styles(styled)) << row.with;
    }
    // Not when lines are joined: the component colours on from the first edit.
    editor.setPlainText(page);
    editor.SendScintilla(B::SCI_COLOURISE, 0L, -1L);
    ASSERT_GT(replaceAll(editor, TextMatcher(ReplaceQuery{QStringLiteral("\\n"), QStringLiteral(" "), false, false, true}), cache), 0);
    EXPECT_LT(editor.SendScintilla(B::SCI_GETENDSTYLED), editor.SendScintilla(B::SCI_GETLENGTH));
}

// Format of a page that does not compile: laid out as far as clang-format can,
// every non-blank character kept, in one undo step, the caret on its statement.
TEST_F(FindFixture, FormatKeepsEveryCharacterOfABrokenPage)
{
    const QString page = QStringLiteral("int main(){\nint a[3]={1,2,3}\nif(a[0]>1){puts(\"日本  語\");\n"
                                        "for(int i=0;i<3;i++{a[i]++;}\nreturn 0;}}\n");
    editor.setPlainText(page);
    editor.TabWidth = 4;
    setCaret(page.indexOf(QStringLiteral("return")));
    FormatRequest request;
    request.tabWidth = 4;
    const FormatResult r = formatPage(editor, request, cache);
    ASSERT_EQ(r.status, FormatResult::Done) << r.why.toStdString();
    const QString after = editor.toPlainText();
    EXPECT_NE(after, page);
    auto nonBlanks = [](QString s) {
        s.remove(QRegularExpression(QStringLiteral("[ \t\n]")));
        return s;
    };
    EXPECT_EQ(nonBlanks(after), nonBlanks(page));
    EXPECT_EQ(caret(), after.indexOf(QStringLiteral("return")));
    undoLastEdit(editor);
    EXPECT_EQ(editor.toPlainText(), page);

    request.program = QStringLiteral("nollex-no-such-clang-format");
    EXPECT_EQ(formatPage(editor, request, cache).status, FormatResult::Missing);
    EXPECT_EQ(editor.toPlainText(), page);
}
