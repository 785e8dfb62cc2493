#include "editor/FileCommands.h"
#include "editor/TMemos.h"
#include "editor/UndoToggle.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

struct UndoFixture : ::testing::Test {
    QWidget window;
    TPageControl* control = new TPageControl(&window);
    std::unique_ptr<TMemos> memos;
    TCustomizedMemo* page = nullptr;

    void SetUp() override
    {
        window.resize(400, 300);
        control->setGeometry(0, 0, 400, 300);
        memos = std::make_unique<TMemos>(&window, control);
        window.show();
        page = memos->editor(0);
        putPageFile(*memos, 0, QStringLiteral("/w/a.c"), DecodedText{QStringLiteral("int x;"), {}, {}, {}});  // as loaded
        page->setCaret(page->characterCount());
    }
    void TearDown() override { memos.reset(); }
};

}  // namespace

// Undo reverts the last edit; Undo again brings it back, and a third Undo
// reverts it again: one step back and forth, never further back.
TEST_F(UndoFixture, UndoTwiceRestoresTheText)
{
    QTest::keyClicks(page, QStringLiteral(" int y;"));
    page->setCaret(0);
    QTest::keyClicks(page, QStringLiteral("// a "));
    const QString edited = page->toPlainText();
    ASSERT_EQ(edited, QStringLiteral("// a int x; int y;"));

    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x; int y;"));
    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), edited);
    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x; int y;"));
}

// An edit after an Undo is what the next Undo reverts (no redo of the old one).
TEST_F(UndoFixture, EditAfterUndoIsUndoneNext)
{
    QTest::keyClicks(page, QStringLiteral(" a"));
    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x;"));
    page->setCaret(0);
    QTest::keyClicks(page, QStringLiteral("b"));
    EXPECT_EQ(page->toPlainText(), QStringLiteral("bint x;"));
    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x;"));
}

// Undo back to the loaded text leaves the page modified and marked; after a
// save, an Undo that changes the text makes the page count as changed.
TEST_F(UndoFixture, KeepsModifiedAndTheMark)
{
    memos->setCaption(0, QStringLiteral("a.c"));
    QTest::keyClicks(page, QStringLiteral("z"));
    ASSERT_TRUE(page->Modified());
    ASSERT_EQ(memos->caption(0), QStringLiteral("a.c *"));

    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x;"));
    EXPECT_TRUE(page->Modified());
    EXPECT_TRUE(page->ChangeMarked);
    EXPECT_EQ(memos->caption(0), QStringLiteral("a.c *"));

    // As after a save: the mark gone, not modified.
    memos->setCaption(0, QStringLiteral("a.c"));
    page->ChangeMarked = false;
    page->setModified(false);
    undoLastEdit(*page);  // brings "z" back
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x;z"));
    EXPECT_TRUE(page->Modified());
}

// Nothing to undo: nothing happens.
TEST_F(UndoFixture, NothingToUndo)
{
    undoLastEdit(*page);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x;"));
    EXPECT_FALSE(page->Modified());
}

// Ctrl+Z goes back step after step and Ctrl+Y forward again, beside the
// one-step Undo.
TEST_F(UndoFixture, CtrlZAndCtrlYGoManySteps)
{
    QTest::keyClicks(page, QStringLiteral(" a"));
    page->setCaret(0);
    QTest::keyClicks(page, QStringLiteral("b"));
    page->setCaret(page->characterCount());
    QTest::keyClicks(page, QStringLiteral("c"));
    ASSERT_EQ(page->toPlainText(), QStringLiteral("bint x; ac"));
    for (int k = 0; k < 3; ++k)
        QTest::keyClick(page, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("int x;"));
    QTest::keyClick(page, Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(page, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(page->toPlainText(), QStringLiteral("bint x; a"));
}
