#include "editor/CaretPos.h"
#include "editor/FileCommands.h"
#include "editor/TMemos.h"

#include <QApplication>
#include <QTest>
#include <QTextBlock>
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
    memos->editor(2)->setColor(Qt::red);
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
    EXPECT_EQ(e->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_FALSE(e->tabChangesFocus());
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
    putPageFile(*memos, 0, QStringLiteral("/w/a.c"), DecodedText{QStringLiteral("loaded"), {}});
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
    while (e->document()->isUndoAvailable())
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
CaretPos caretAt(QPlainTextEdit& e, int pos)
{
    QTextCursor c = e.textCursor();
    c.setPosition(pos);
    e.setTextCursor(c);
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
    QTextCursor c = e->textCursor();
    c.setPosition(4);
    c.setPosition(7, QTextCursor::KeepAnchor);
    e->setTextCursor(c);
    EXPECT_EQ(caretPosition(*e).line, 2);
    EXPECT_EQ(caretPosition(*e).column, 1);
}

// A wrapped paragraph counts as several display lines.
TEST_F(PageSetFixture, WrappedParagraphCountsSeveralLines)
{
    TCustomizedMemo* e = memos->editor(0);
    e->setPlainText(QString(400, u'w') + QStringLiteral("\nnext"));
    QApplication::processEvents();
    const int wrapped = e->document()->firstBlock().layout()->lineCount();
    ASSERT_GT(wrapped, 1);
    const CaretPos p = caretAt(*e, 401);
    EXPECT_EQ(p.line, wrapped + 1);
    EXPECT_EQ(p.column, 1);
}

// The editor hands back exactly what it holds (no-break spaces, tabs, U+2028).
TEST(TextFile, EditorTextKeepsEveryCharacter)
{
    QPlainTextEdit editor;
    const QString text = QString::fromUtf8("a\u00A0b\t\u2028c\n\n€\n");
    editor.setPlainText(text);
    EXPECT_EQ(editorText(editor), text);
}
