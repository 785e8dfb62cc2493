#include "editor/CaretPos.h"
#include "editor/ComponentCount.h"
#include "editor/FileCommands.h"
#include "editor/TMemos.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

// A page set in a shown window, as the main window holds it.
struct PageSetFixture : ::testing::Test {
    QWidget window;
    TPageControl* control = new TPageControl(&window);
    std::unique_ptr<TMemos> memos;

    void SetUp() override
    {
        window.resize(500, 300);
        control->setGeometry(0, 0, 500, 300);
        memos = std::make_unique<TMemos>(&window, control);
        window.show();
    }
    void TearDown() override { memos.reset(); }
};

}  // namespace

// A new set has one untitled page; the stored width 4 is not yet on page 0.
TEST_F(PageSetFixture, NewSetHasOneUntitledPageAtWidthZero)
{
    EXPECT_EQ(memos->LastIndex(), 0);
    EXPECT_EQ(memos->ActiveIndex(), 0);
    ASSERT_EQ(memos->fileNames().size(), 1);
    EXPECT_TRUE(memos->fileName(0).isEmpty());
    EXPECT_EQ(memos->editor(0)->TabWidth, 0);
    EXPECT_EQ(memos->caption(0), QString());
    EXPECT_EQ(memos->TabWidth(), 4);
    EXPECT_EQ(memos->editor(0)->TabWidth, 4);
}

// Closing a middle page moves the later pages down: tags, lists and file names.
TEST_F(PageSetFixture, ClosingRenumbersAndRefusesTheOnlyPage)
{
    memos->AddPage(QString());
    memos->AddPage(QStringLiteral("/p/x.prj"));
    for (int i = 0; i < 3; ++i)
        memos->setFileName(i, QStringLiteral("/a/%1.c").arg(i));
    TCustomizedMemo* third = memos->editor(2);
    memos->ClosePage(1);
    EXPECT_EQ(memos->LastIndex(), 1);
    // Two pages are left, each with its editor and sheet.
    EXPECT_TRUE(memos->editor(1) && memos->sheet(1));
    EXPECT_EQ(memos->editor(2), nullptr);
    EXPECT_EQ(memos->sheet(2), nullptr);
    EXPECT_EQ(memos->fileNames(), (QStringList{QStringLiteral("/a/0.c"), QStringLiteral("/a/2.c")}));
    EXPECT_EQ(memos->editor(1), third);
    EXPECT_EQ(memos->sheet(1)->Tag, 1);
    EXPECT_EQ(third->OwningProject, QStringLiteral("/p/x.prj"));
    EXPECT_EQ(control->count(), 2);

    memos->ClosePage(0);
    memos->editor(0)->setPlainText(QStringLiteral("kept"));
    memos->ClosePage(0);  // the only page stays
    EXPECT_EQ(memos->LastIndex(), 0);
    EXPECT_EQ(memos->editor(0)->toPlainText(), QStringLiteral("kept"));
    EXPECT_EQ(memos->fileName(0), QStringLiteral("/a/2.c"));
}

TEST_F(PageSetFixture, ActiveIndexAboveLastSelectsLastAndAddPageSelectsNew)
{
    memos->AddPage(QString());
    EXPECT_EQ(memos->ActiveIndex(), 1);
    memos->AddPage(QString());
    EXPECT_EQ(memos->ActiveIndex(), 2);
    memos->setActiveIndex(0);
    EXPECT_EQ(memos->ActiveIndex(), 0);
    EXPECT_EQ(memos->ActiveMemo(), memos->editor(0));
    memos->setActiveIndex(memos->LastIndex() + 5);
    EXPECT_EQ(memos->ActiveIndex(), 2);
    EXPECT_EQ(memos->ActivePage(), memos->sheet(2));
}

// Reads of Color and Font hand page 0's values to every other page.
TEST_F(PageSetFixture, ColorAndFontReadsCopyPageZero)
{
    memos->AddPage(QString());
    memos->AddPage(QString());
    memos->setColor(QColor(10, 20, 30));
    memos->editor(2)->setPageColor(Qt::red);
    EXPECT_EQ(memos->Color(), QColor(10, 20, 30));
    EXPECT_EQ(memos->editor(2)->Color(), QColor(10, 20, 30));

    QFont big = memos->editor(0)->font();
    big.setPointSize(20);
    memos->editor(0)->setFont(big);
    memos->editor(0)->setFontColor(Qt::yellow);
    EXPECT_EQ(memos->editor(1)->font().pointSize(), 12);
    EXPECT_EQ(memos->Font().pointSize(), 20);
    EXPECT_EQ(memos->editor(1)->font().pointSize(), 20);
    EXPECT_EQ(memos->editor(2)->fontColor(), QColor(Qt::yellow));
}

TEST_F(PageSetFixture, NewPageTakesPageZeroColorAndEditorDefaults)
{
    TCustomizedMemo* e = memos->editor(0);
    EXPECT_EQ(e->Color(), QColor(Qt::black));
    EXPECT_EQ(e->fontColor(), QColor(Qt::white));
    EXPECT_EQ(e->font().family(), QStringLiteral("ＭＳ 明朝"));
    EXPECT_EQ(e->font().pointSize(), 12);
    // Tab is typed into the text, not a move to the next control.
    e->setFocus();
    QTest::keyClick(e, Qt::Key_Tab);
    EXPECT_EQ(e->toPlainText(), QStringLiteral("\t"));
    // Words wrap.
    e->setPlainText(QStringList(100, QStringLiteral("word")).join(u' '));
    EXPECT_TRUE(QTest::qWaitFor([&] { return e->SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, 0UL) > 1; }, 2000));
    memos->setColor(Qt::darkBlue);
    memos->AddPage(QString());
    EXPECT_EQ(memos->editor(1)->Color(), QColor(Qt::darkBlue));
}

// Tab stops lie every n average character widths of the editor's own font.
TEST_F(PageSetFixture, TabWidthSetsStopsOnEveryPage)
{
    memos->AddPage(QString());
    memos->setTabWidth(8);
    for (int i = 0; i <= memos->LastIndex(); ++i) {
        TCustomizedMemo* e = memos->editor(i);
        EXPECT_EQ(e->TabWidth, 8);
        EXPECT_DOUBLE_EQ(e->tabStopDistance(), averageCharWidth(e->font()) * 8);
    }
    EXPECT_EQ(memos->TabWidth(), 8);
    // With a fixed-pitch font a stop of 8 lies exactly under the ninth character.
    // The pages' own font, through the program's fallback for it (no family named here).
    QFont mono = memos->Font();
    mono.setPointSize(12);
    memos->setFont(mono);
    EXPECT_NEAR(memos->editor(0)->tabStopDistance(),
                QFontMetricsF(mono).horizontalAdvance(QStringLiteral("12345678")), 0.5);
}

// The mark is appended once, on the first edit, and never by a load; it follows
// Modified on every change, so an Undo after a save marks the page again.
TEST_F(PageSetFixture, ChangeMarkAppendedOnceOnEdit)
{
    TCustomizedMemo* e = memos->editor(0);
    putPageFile(*memos, 0, QStringLiteral("/w/a.c"), DecodedText{QStringLiteral("loaded"), {}, {}, {}});
    EXPECT_FALSE(e->ChangeMarked);
    EXPECT_EQ(memos->caption(0), QStringLiteral("a.c"));
    e->setFocus();
    QTest::keyClicks(e, QStringLiteral("xy"));
    EXPECT_TRUE(e->ChangeMarked);
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(memos->caption(0), QStringLiteral("a.c *"));

    // What a save leaves: unmodified, unmarked; then Undo takes the text away from it.
    e->setModified(false);
    e->ChangeMarked = false;
    memos->setCaption(0, QStringLiteral("a.c"));
    while (e->isUndoAvailable())
        e->undo();
    EXPECT_TRUE(e->Modified());
    EXPECT_EQ(memos->caption(0), QStringLiteral("a.c *"));

    memos->AddPage(QString());
    QTest::keyClicks(memos->editor(1), QStringLiteral("z"));
    EXPECT_EQ(memos->caption(1), QStringLiteral(" *"));
}

TEST_F(PageSetFixture, TabsWrapIntoSeveralRows)
{
    for (int i = 0; i < 12; ++i) {
        memos->AddPage(QString());
        memos->setCaption(memos->LastIndex(), QStringLiteral("a_long_file_name_%1.cpp").arg(i));
    }
    EXPECT_GT(control->rowCount(), 1);
    // The selected tab's row lies next to the page.
    const QRect selected = control->tabRects().at(memos->ActiveIndex());
    EXPECT_EQ(selected.bottom() + 1, control->pageRect().top());
    // Every editor fills its sheet.
    memos->FitPages();
    EXPECT_EQ(memos->ActiveMemo()->geometry(), memos->ActivePage()->rect());
}

namespace {
CaretPos caretAt(TCustomizedMemo& e, int pos)
{
    e.setCaret(pos);
    return caretPosition(e);
}
}  // namespace

TEST_F(PageSetFixture, CaretLineAndColumn)
{
    TCustomizedMemo* e = memos->editor(0);
    e->setPlainText(QStringLiteral("one\ntwo\n\tx\n日本語abc"));
    CaretPos p = caretAt(*e, 0);
    EXPECT_EQ(p.line, 1);
    EXPECT_EQ(p.column, 1);
    p = caretAt(*e, 9);  // just after the tab at the start of line 3
    EXPECT_EQ(p.line, 3);
    EXPECT_EQ(p.column, 2);
    p = caretAt(*e, 13);  // after 日本 on line 4: two full-width characters
    EXPECT_EQ(p.line, 4);
    EXPECT_EQ(p.column, 5);
    // The selection start counts, not its end.
    e->setSelection(4, 7);
    EXPECT_EQ(caretPosition(*e).line, 2);
    EXPECT_EQ(caretPosition(*e).column, 1);

    // The explanations a build shows under lines are no lines of the page.
    e->addExplanation(TCustomizedMemo::MarkKind::Error, 1, QStringLiteral("一つ目。二つ目。"));
    e->addExplanation(TCustomizedMemo::MarkKind::Warning, 3, QStringLiteral("三つ目。"));
    ASSERT_EQ(e->SendScintilla(QsciScintillaBase::SCI_ANNOTATIONGETLINES, 0L), 2);
    const struct {
        int pos, line;
    } explained[] = {{0, 1}, {2, 1}, {4, 2}, {9, 3}, {13, 4}};
    for (const auto& r : explained) {
        SCOPED_TRACE(r.pos);
        EXPECT_EQ(caretAt(*e, r.pos).line, r.line);
    }
    // An edited line's explanation goes, and the count with it.
    e->setCaret(1);
    e->insertPlainText(QStringLiteral("n"));
    EXPECT_TRUE(e->explanation(1).isEmpty());
    EXPECT_EQ(caretAt(*e, 14).line, 4);
}

// A page is wrapped only while one of its lines may not fit: each way a line
// comes to reach the edge wraps the page, and a page whose lines all fit again
// is not wrapped.
TEST_F(PageSetFixture, OnlyAPageWithALineThatMayNotFitIsWrapped)
{
    TCustomizedMemo* e = memos->editor(0);
    e->applyTabWidth(4);
    auto wraps = [&] { return e->SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE) != QsciScintillaBase::SC_WRAP_NONE; };
    // Letters a line holds, and lines of three fifths of that.
    const double letter = e->SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH, QsciScintillaBase::STYLE_DEFAULT,
                                           "aaaaaaaaaa") / 10.0;
    const int across = int(e->viewport()->width() / letter);
    const QString part(across * 3 / 5, u'a');
    const QString page = QStringList(20, part).join(u'\n');
    const struct {
        const char* name;
        QString text;
        bool wrapped;
    } rows[] = {
        {"lines that fit", page, false},
        {"one line too long", page + u'\n' + part + part, true},
        {"full-width letters, each two wide", page + u'\n' + QString(part.size(), u'\u5168'), true},
        {"tabs", page + u'\n' + QString(across / 2, u'\t'), true},
        {"control characters drawn as their names", page + u'\n' + QString(part.size() / 2, u'\x1b'), true},
        {"a long line past the first step of a large page",
         QStringList(60000, QStringLiteral("int a = 1;")).join(u'\n') + u'\n' + part + part, true},
    };
    for (const auto& row : rows) {
        e->setPlainText(page);
        ASSERT_FALSE(wraps());
        e->setPlainText(row.text);
        EXPECT_TRUE(QTest::qWaitFor([&] { return wraps() == row.wrapped; }, 5000)) << row.name;
        if (row.wrapped) {
            EXPECT_TRUE(QTest::qWaitFor(
                [&] { return e->SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, e->lines() - 1L) > 1; }, 5000))
                << row.name;
        }
    }
    // Typed onto a line, two lines joined, the page made narrower.
    e->setPlainText(page);
    e->setCaret(0);
    e->insertPlainText(part);
    EXPECT_TRUE(wraps());
    e->setPlainText(page);
    e->setCaret(part.size());
    e->SendScintilla(QsciScintillaBase::SCI_CLEAR);
    EXPECT_TRUE(wraps());
    e->setPlainText(page);
    control->setGeometry(0, 0, 250, 300);
    EXPECT_TRUE(QTest::qWaitFor(wraps, 2000));
    control->setGeometry(0, 0, 500, 300);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !wraps(); }, 2000));
}

// A wrapped paragraph counts as several display lines.
TEST_F(PageSetFixture, WrappedParagraphCountsSeveralLines)
{
    TCustomizedMemo* e = memos->editor(0);
    e->setPlainText(QString(400, u'w') + QStringLiteral("\nnext"));
    QApplication::processEvents();
    const int wrapped = int(e->SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, 0UL));
    ASSERT_GT(wrapped, 1);
    const CaretPos p = caretAt(*e, 401);
    EXPECT_EQ(p.line, wrapped + 1);
    EXPECT_EQ(p.column, 1);
    // An explanation under the wrapped paragraph leaves its display lines counted.
    e->addExplanation(TCustomizedMemo::MarkKind::Error, 1, QStringLiteral("一つ目。二つ目。"));
    EXPECT_EQ(caretAt(*e, 401).line, wrapped + 1);
    EXPECT_EQ(caretAt(*e, 399).line, wrapped);

    // Characters outside the BMP (two UTF-16 units, full width): along a wrapped
    // line the column steps by two and starts again at 1 on each display line.
    e->setPlainText(QString::fromUtf8("\U0001F600").repeated(60));
    QApplication::processEvents();
    CaretPos before = caretAt(*e, 0);
    for (int pos = 2; pos <= 120; pos += 2) {
        SCOPED_TRACE(pos);
        const CaretPos at = caretAt(*e, pos);
        if (at.line == before.line)
            EXPECT_EQ(at.column, before.column + 2);
        else
            EXPECT_TRUE(at.line == before.line + 1 && at.column == 1);
        before = at;
    }
    EXPECT_GT(before.line, 1);
}

// The editor hands back exactly what it holds (a U+FEFF at the start, no-break
// spaces, tabs, U+2028, U+2029, U+FDD0).
TEST(TextFile, EditorTextKeepsEveryCharacter)
{
    TCustomizedMemo editor;
    const QString text = QString::fromUtf8("\uFEFFa\u00A0b\t\u2028c\u2029\uFDD0\n\n€\n");
    editor.setPlainText(text);
    EXPECT_EQ(editor.toPlainText(), text);
}

// The component's counts of characters from the start, which it asks for on every
// edit, come from the line index and agree with counting one by one: characters of
// one to four bytes, positions inside a character, the end and past it.
TEST(TextFile, CountsFromTheStartAgreeWithCounting)
{
    TCustomizedMemo editor;
    const QString text = QString::fromUtf8("ab\nc\u00E9\n\u20AC\U0001D11Ex\n\n\u3042\u3044\n");
    editor.setPlainText(text);
    const QByteArray bytes = text.toUtf8();
    const long before = lineIndexedCounts();
    for (int pos = 0; pos <= bytes.size() + 2; ++pos) {
        int end = std::min(pos, int(bytes.size()));
        while (end > 0 && end < bytes.size() && (bytes[end] & 0xC0) == 0x80)
            --end;  // inside a character: it is not counted
        const long expected = QString::fromUtf8(bytes.left(end)).toUcs4().size();
        EXPECT_EQ(editor.SendScintilla(QsciScintillaBase::SCI_COUNTCHARACTERS, 0UL, long(pos)), expected) << pos;
    }
    EXPECT_GT(lineIndexedCounts(), before);
    // The component's own count for a typed key is answered the same way.
    const long typed = lineIndexedCounts();
    editor.setCaret(5);
    QTest::keyClicks(&editor, QStringLiteral("z"));
    EXPECT_GT(lineIndexedCounts(), typed);
}

// An input method's composition shows in the page at the caret while it is
// composed, and the committed text takes its place.
TEST(TextFile, InputMethodComposesAtTheCaret)
{
    TCustomizedMemo editor;
    editor.setPlainText(QStringLiteral("abcd"));
    editor.setCaret(2);
    // As input methods send it: the cursor at the end of the composition.
    QInputMethodEvent composing(QString::fromUtf8("\u306B\u307B\u3093"),
                                {QInputMethodEvent::Attribute(QInputMethodEvent::Cursor, 3, 1)});
    QCoreApplication::sendEvent(&editor, &composing);
    EXPECT_EQ(editor.toPlainText(), QString::fromUtf8("ab\u306B\u307B\u3093cd"));
    EXPECT_EQ(editor.caretPosition(), 5);
    QInputMethodEvent committed;
    committed.setCommitString(QString::fromUtf8("\u65E5\u672C"));
    QCoreApplication::sendEvent(&editor, &committed);
    EXPECT_EQ(editor.toPlainText(), QString::fromUtf8("ab\u65E5\u672Ccd"));
    EXPECT_EQ(editor.caretPosition(), 4);
}

// Paragraphs below the shown part count with all their wrapped lines: the line
// label must not count a paragraph that was never shown as one line.
TEST_F(PageSetFixture, LineCountsParagraphsNeverShown)
{
    TCustomizedMemo* e = memos->editor(0);
    const QString paragraph = QString(400, u'w');
    for (const int paragraphs : {60, 1200}) {  // wrapped at once; wrapped in the background
        SCOPED_TRACE(paragraphs);
        QStringList text(paragraphs, paragraph);
        e->setPlainText(text.join(u'\n'));
        QApplication::processEvents();
        const int wrapped = int(e->SendScintilla(QsciScintillaBase::SCI_WRAPCOUNT, 0UL));
        ASSERT_GT(wrapped, 1);
        const int lastStart = (paragraphs - 1) * (paragraph.size() + 1);
        QSignalSpy progress(e, &TCustomizedMemo::wrapProgressed);
        const int expected = (paragraphs - 1) * wrapped + 1;
        if (paragraphs > 100) {
            // A large page: the background work reaches the end, and the label
            // is told each time the count of display lines grows.
            EXPECT_TRUE(QTest::qWaitFor([&] { return caretAt(*e, lastStart + 5).line == expected; }, 20000));
            EXPECT_GT(progress.count(), 0);
        }
        const CaretPos p = caretAt(*e, lastStart + 5);
        EXPECT_EQ(p.line, expected);
        EXPECT_EQ(p.column, 6);
    }
}

// The page's switches: colouring only for C names, line numbers sized to the
// largest number, both off for every page at once. Switching colouring off and
// on changes the syntax colours only: the page and font colours stay the user's.
TEST_F(PageSetFixture, ColouringAndLineNumbersFollowNameAndSwitches)
{
    memos->AddPage(QString());
    TCustomizedMemo* c = memos->editor(0);
    TCustomizedMemo* txt = memos->editor(1);
    memos->setFileName(0, QStringLiteral("/w/a.cpp"));
    memos->setFileName(1, QStringLiteral("/w/notes.txt"));
    EXPECT_TRUE(c->colouringActive());
    EXPECT_FALSE(txt->colouringActive());
    c->setPlainText(QStringList(1500, QStringLiteral("x")).join(u'\n'));
    const int wide = c->marginWidth(0);
    EXPECT_GT(wide, txt->marginWidth(0));  // four digits against one
    // Every style is in the page's colours and one font: the background stays the page's.
    memos->setColor(QColor(0xF0, 0xF0, 0xF0));
    for (long style : {0L, 5L, 16L})
        EXPECT_EQ(c->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style), 0xF0F0F0L) << style;
    EXPECT_EQ(c->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 5L),
              c->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, 32L));

    const QColor ivory(0xFF, 0xFF, 0xF0);
    memos->setColor(ivory);
    memos->setFontColor(Qt::black);
    const auto keepsUserColours = [&](const char* when) {
        SCOPED_TRACE(when);
        EXPECT_EQ(memos->Color(), ivory);
        EXPECT_EQ(memos->FontColor(), QColor(Qt::black));
        for (int i = 0; i <= memos->LastIndex(); ++i) {
            EXPECT_EQ(memos->editor(i)->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, 0L), 0xF0FFFFL) << i;
            EXPECT_EQ(memos->editor(i)->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, 0L), 0L) << i;
        }
    };

    memos->setColouring(false);
    memos->setLineNumbers(false);
    memos->AddPage(QString());
    for (int i = 0; i <= memos->LastIndex(); ++i) {
        EXPECT_FALSE(memos->editor(i)->colouringActive()) << i;
        EXPECT_EQ(memos->editor(i)->marginWidth(0), 0) << i;
    }
    keepsUserColours("colouring off");
    memos->setColouring(true);
    memos->setLineNumbers(true);
    EXPECT_TRUE(c->colouringActive());
    EXPECT_FALSE(txt->colouringActive());
    EXPECT_EQ(c->marginWidth(0), wide);
    keepsUserColours("colouring on again");

    // Full-width characters an input method typed into code are marked as they
    // are coloured, never in a string or a comment, nor on a page not coloured.
    const QString code = QStringLiteral("int\u3000a = 1\uFF1B\nchar* s = \"\u3000\uFF1B\"; // \u3000\uFF1B\n/* \uFF1B */\n");
    c->setPlainText(code);
    txt->setPlainText(code);
    QApplication::processEvents();
    const int space = int(code.indexOf(u'\u3000')), semi = int(code.indexOf(u'\uFF1B'));
    using Ranges = QList<std::pair<int, int>>;
    const Ranges inCode{{space, space + 1}, {semi, semi + 1}};
    EXPECT_EQ(c->fullWidthMarks(), inCode);
    EXPECT_TRUE(c->fullWidthNote(semi).contains(u"\u300C\uFF1B\u300D")) << c->fullWidthNote(semi).toStdString();
    EXPECT_TRUE(c->fullWidthNote(int(code.lastIndexOf(u'\uFF1B'))).isEmpty());
    EXPECT_TRUE(txt->fullWidthMarks().isEmpty());
    memos->setColouring(false);
    EXPECT_TRUE(c->fullWidthMarks().isEmpty());
    memos->setColouring(true);
    QApplication::processEvents();
    EXPECT_EQ(c->fullWidthMarks(), inCode);
    // Typed in code, it is marked; deleted, the mark goes; a line made a comment loses its marks.
    c->setCaret(int(code.size()));
    c->insertPlainText(QStringLiteral("\uFF1D"));
    QApplication::processEvents();
    const int typed = int(code.size());
    EXPECT_EQ(c->fullWidthMarks(), inCode + Ranges{std::pair(typed, typed + 1)});
    c->SendScintilla(QsciScintillaBase::SCI_DELETEBACK);
    QApplication::processEvents();
    EXPECT_EQ(c->fullWidthMarks(), inCode);
    c->setCaret(0);
    c->insertPlainText(QStringLiteral("//"));
    QApplication::processEvents();
    EXPECT_TRUE(c->fullWidthMarks().isEmpty());

    // A large page coloured in the background is marked as far as it is
    // coloured, its far lines too, with nothing painted or scrolled meanwhile.
    c->SendScintilla(QsciScintillaBase::SCI_SETCARETPERIOD, 0L);  // no blinking caret's paints
    const QString far = QStringList(60000, QStringLiteral("int value = 1; /* a comment on it */")).join(u'\n') +
                        QStringLiteral("\nint b = 2\uFF1B\n");
    c->setPlainText(far);
    QSignalSpy paints(c, &QsciScintillaBase::SCN_PAINTED);
    const long length = c->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return c->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) >= length; }, 30000));
    const int farSemi = int(far.lastIndexOf(u'\uFF1B'));
    paints.clear();
    EXPECT_TRUE(QTest::qWaitFor([&] { return c->fullWidthMarks() == Ranges{{farSemi, farSemi + 1}}; }, 2000))
        << c->fullWidthMarks().size();
    EXPECT_EQ(paints.count(), 0);
}

