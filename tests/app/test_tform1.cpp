#include "app/Layout.h"
#include "app/TForm1.h"
#include "app/edit/EditTools.h"
#include "app/PaneBorder.h"
#include "platform/Errors.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace nollex;

// The resize rule, to the pixel, for ordinary and tiny client sizes; while
// debugging, the variables and the call stack beside a taller message pane, under
// the pages and side by side.
TEST(MainLayout, ResizeRuleForSeveralSizes)
{
    struct Row {
        const char* name;
        int w, h, label3;
        QRect page, memo;
        int label3Left;
        bool debugging = false;
        int kept = 0;  // the pane's dragged height
    } rows[] = {
        {"design", 565, 404, 417, {108, 20, 455, 283}, {2, 307, 561, 77}, 127},
        {"large", 1000, 700, 417, {108, 20, 890, 579}, {2, 603, 996, 77}, 344},
        {"odd width", 566, 404, 417, {108, 20, 456, 283}, {2, 307, 562, 77}, 127},
        // Label3 wider than the tab control moves left of it.
        // The truncation is toward zero: (190 - 417) / 2 = -113, not -114.
        {"narrow", 300, 300, 417, {108, 20, 190, 179}, {2, 203, 296, 77}, -5},
        {"narrow odd", 301, 300, 420, {108, 20, 191, 179}, {2, 203, 297, 77}, -6},
        {"tiny", 10, 10, 417, {108, 20, 0, 0}, {2, 24, 6, 77}, -100},
        {"zero", 0, 0, 417, {108, 20, 0, 0}, {2, 24, 0, 77}, -100},
        {"design, debugging", 565, 404, 417, {108, 20, 455, 239}, {108, 263, 113, 121}, 127, true},
        {"large, debugging", 1000, 900, 417, {108, 20, 890, 656}, {108, 680, 222, 200}, 344, true},
        {"tiny, debugging", 10, 10, 417, {108, 20, 0, 0}, {108, 24, 0, 77}, -100, true},
        // The border dragged: the pane keeps that height; the pages keep 60 pixels
        // and the pane one line.
        {"design, dragged taller", 565, 404, 417, {108, 20, 455, 210}, {2, 234, 561, 150}, 127, false, 150},
        {"dragged over the pages", 565, 404, 417, {108, 20, 455, 60}, {2, 84, 561, 300}, 127, false, 1000},
        {"dragged to nothing", 565, 404, 417, {108, 20, 455, 340}, {2, 364, 561, 20}, 127, false, 5},
        {"tiny, dragged", 10, 10, 417, {108, 20, 0, 0}, {2, 24, 6, 20}, -100, false, 150},
        {"design, debugging, dragged", 565, 404, 417, {108, 20, 455, 210}, {108, 234, 113, 150}, 127, true, 150},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const MainLayout l = computeMainLayout(r.w, r.h, r.label3, r.debugging, r.kept);
        EXPECT_EQ(l.pageControl, r.page);
        EXPECT_EQ(l.memo2, r.memo);
        EXPECT_EQ(l.label3Left, r.label3Left);
        EXPECT_EQ(l.memo2.top(), l.pageControl.top() + l.pageControl.height() + 4);
        // The border fills the gap over the panes, and dragging it where it is
        // keeps the pane's height.
        EXPECT_EQ(l.paneBorder.top(), l.pageControl.top() + l.pageControl.height());
        EXPECT_EQ(l.paneBorder.bottom() + 1, l.memo2.top());
        EXPECT_EQ(l.paneBorder.left(), l.memo2.left());
        if (r.kept > 0) {
            EXPECT_EQ(messageHeightAt(r.h, l.paneBorder.top()), l.memo2.height());
        }
        EXPECT_EQ(l.statusBar.bottom() + 1, r.h);
        if (r.debugging) {
            EXPECT_EQ(l.variables.left(), l.memo2.right() + 1);
            EXPECT_EQ(l.callStack.left(), l.variables.right() + 1);
            EXPECT_EQ(l.callStack.right(), l.pageControl.right());
            EXPECT_EQ(l.variables.top(), l.memo2.top());
            EXPECT_EQ(l.callStack.height(), l.memo2.height());
        }
    }
}

// The last close's place on the screens there are now: kept where its top edge
// can still be grabbed, made to fit its screen, else centred on the first one.
TEST(MainLayout, SavedPlaceOnTheScreens)
{
    const QRect left(0, 0, 1920, 1080), right(1920, 0, 1280, 1024);
    const struct {
        const char* name;
        QRect saved;
        QList<QRect> screens;
        QRect placed;
    } rows[] = {
        {"where it was", {100, 100, 800, 600}, {left}, {100, 100, 800, 600}},
        {"larger than its screen", {0, 0, 3000, 2000}, {left}, {0, 0, 1920, 1080}},
        {"sticking out on the right", {1500, 100, 800, 600}, {left}, {1120, 100, 800, 600}},
        {"on the second screen", {2000, 100, 800, 600}, {left, right}, {2000, 100, 800, 600}},
        {"the second screen gone", {2000, 100, 800, 600}, {left}, {560, 240, 800, 600}},
        {"above every screen", {100, -500, 800, 600}, {left}, {560, 240, 800, 600}},
        {"a sliver of the top edge", {1900, 100, 800, 600}, {left}, {560, 240, 800, 600}},
        {"no screens", {5000, 5000, 800, 600}, {}, {5000, 5000, 800, 600}},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(placeOnScreens(r.saved, r.screens), r.placed);
    }
}

namespace {

struct MainWindowFixture : ::testing::Test {
    test::TempDir folder;
    test::ScriptedDialogs dialogs;
    std::unique_ptr<TForm1> form;

    void SetUp() override
    {
        form = std::make_unique<TForm1>(TForm1Deps{dialogs, folder.path()});
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }
    void TearDown() override { form.reset(); }
};

}  // namespace

TEST_F(MainWindowFixture, StartsWithDesignedControls)
{
    // The first showing restored the settings; with no file, the untitled page's caption.
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex <  >"));
    EXPECT_EQ(form->Memos->LastIndex(), 0);
    EXPECT_EQ(form->Client->size(), QSize(565, 404));
    EXPECT_EQ(form->font().family(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(form->font().pixelSize(), 12);

    EXPECT_EQ(form->Panel1->geometry(), QRect(4, 4, 101, 29));
    EXPECT_EQ(form->Panel1->text(), QStringLiteral("Ver2.01"));
    EXPECT_EQ(form->Label3->text(), QStringLiteral("Supporter for BorlandC++Compiler \"NOLLEX\""));
    EXPECT_EQ(form->Label3->pos(), QPoint(127, 0));
    EXPECT_EQ(form->Label3->width(), 417);
    const struct {
        QPushButton* b;
        const char16_t* caption;
        QRect rect;
    } buttons[] = {{form->Button1, u"Execute（実行）", {4, 44, 97, 25}},
                   {form->Button2, u"Make(出力)", {4, 76, 97, 25}},
                   {form->Button3, u"__out.exe（再実行）", {4, 108, 97, 25}},
                   {form->Button4, u"Bgcolor(背景)", {8, 140, 89, 25}},
                   {form->Button5, u"Font（文字）", {8, 168, 89, 25}},
                   {form->Button6, u"MS-DOS", {8, 196, 89, 25}}};
    for (const auto& b : buttons) {
        EXPECT_EQ(b.b->text(), QString::fromUtf16(b.caption));
        EXPECT_EQ(b.b->geometry(), b.rect);
    }
    EXPECT_EQ(form->Bevel1->geometry(), QRect(4, 228, 101, 33));
    EXPECT_EQ(form->Bevel2->geometry(), QRect(4, 268, 101, 33));
    EXPECT_EQ(form->Label1->geometry(), QRect(8, 232, 93, 25));
    EXPECT_EQ(form->Label2->geometry(), QRect(8, 272, 93, 25));
    EXPECT_EQ(form->Label1->text(), QStringLiteral("行:1"));
    EXPECT_EQ(form->Label2->text(), QStringLiteral("桁:1"));
    EXPECT_EQ(form->PageControl1->geometry(), QRect(108, 20, 455, 283));
    EXPECT_EQ(form->Memo2->geometry(), QRect(2, 307, 561, 77));
    EXPECT_TRUE(form->Memo2->isReadOnly());
    EXPECT_EQ(form->Memo2->palette().color(QPalette::Base), QColor(0, 0x80, 0x80));
    EXPECT_EQ(form->Memo2->palette().color(QPalette::Text), QColor(Qt::white));
    EXPECT_EQ(form->StatusBar1->geometry(), QRect(0, 385, 565, 19));
}

TEST_F(MainWindowFixture, MenusHoldEveryItemWithItsShortcut)
{
    QStringList titles;
    for (QAction* a : form->menuBar()->actions())
        titles << a->text();
    EXPECT_EQ(titles,
              (QStringList{"File(&F)", "Edit(&E)", "Compile(&C)", "Debug（デバッグ）", "Option(&O)", "Help(&H)"}));

    auto itemsOf = [&](int menu) {
        QStringList items;
        for (QAction* a : form->menuBar()->actions()[menu]->menu()->actions())
            items << (a->isSeparator() ? QStringLiteral("-")
                                       : a->text() + u'|' + a->shortcut().toString());
        return items;
    };
    EXPECT_EQ(itemsOf(0), (QStringList{"Open|Ctrl+O", "Close|Ctrl+Del", "-", "Project Open|Alt+O",
                                       "Project Close|Alt+Del", "-", "Save|Ctrl+S",
                                       "Save As|Ctrl+A", "-", "New|Ctrl+N", "-", "Exit|Alt+F4"}));
    EXPECT_EQ(itemsOf(1), (QStringList{"Find|Ctrl+F", "Find Again Downward|Ctrl+L",
                                       "Find Again Upward|Ctrl+H", "-", "Replace|Ctrl+R",
                                       "Format（整形）|Ctrl+Shift+F", "-", "Undo|Ctrl+U"}));
    EXPECT_EQ(itemsOf(2), (QStringList{"Execute|F9", "Make|Ctrl+F9", "__out.exe|Shift+F9",
                                       "Dos Prompt|Ctrl+D", "-", "Sample Run（テスト実行）|F6",
                                       "Add Sample（ケース追加）|", "Sample Numbers ±1e-6（数の誤差を許す）|", "-",
                                       "Next Message（次のメッセージ）|F8",
                                       "Previous Message（前のメッセージ）|Shift+F8"}));
    EXPECT_EQ(itemsOf(3), (QStringList{"Breakpoint（ブレークポイント）|F4", "-", "Start / Continue（開始・続行）|F5",
                                       "Stop（終了）|Shift+F5", "-", "Step Over（次の行へ）|F7",
                                       "Step Into（関数の中へ）|Shift+F7", "Step Out（関数から出る）|Ctrl+F7"}));
    EXPECT_EQ(itemsOf(4), (QStringList{"Configuration|F10", "-", "BgColor|", "FontColor|", "-",
                                       "Make font bigger|Ctrl+]", "Make font smaller|Ctrl+[", "-",
                                       "enNOLLEX|F11", "-", "Colouring（色分け）|",
                                       "Line Numbers（行番号）|", "Completion（入力補完）|", "-",
                                       "Guarded Run（実行時チェック）|"}));
    EXPECT_EQ(itemsOf(5), (QStringList{"Version|", "Manual|F1"}));

    QStringList popup;
    for (QAction* a : form->PopupMenu1->actions())
        popup << (a->isSeparator() ? QStringLiteral("-") : a->text() + u'|' + a->shortcut().toString());
    EXPECT_EQ(popup, (QStringList{"Open|", "Close|", "-", "Save|", "Save As|", "-", "New|", "Exit|"}));
    EXPECT_EQ(form->Memos->editor(0)->PopupMenu, form->PopupMenu1);
}

// The window's shortcuts win over the editor's own bindings (Ctrl+A selects all,
// Ctrl+Del deletes a word, ...) while a page has the focus.
TEST_F(MainWindowFixture, ShortcutsReachCommandsWhileEditorHasFocus)
{
    TCustomizedMemo* editor = form->Memos->ActiveMemo();
    editor->setFocus();
    editor->setPlainText(QStringLiteral("some text"));
    const struct {
        QAction* action;
        Qt::KeyboardModifiers mods;
        Qt::Key key;
    } rows[] = {
        {form->Saveas1, Qt::ControlModifier, Qt::Key_A},
        {form->DosPrompt1, Qt::ControlModifier, Qt::Key_D},
        {form->Find1, Qt::ControlModifier, Qt::Key_F},
        {form->FindAgainUpward1, Qt::ControlModifier, Qt::Key_H},
        {form->FindAgainDownward, Qt::ControlModifier, Qt::Key_L},
        {form->New1, Qt::ControlModifier, Qt::Key_N},
        {form->Open1, Qt::ControlModifier, Qt::Key_O},
        {form->Replace1, Qt::ControlModifier, Qt::Key_R},
        {form->Format1, Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_F},
        {form->Save1, Qt::ControlModifier, Qt::Key_S},
        {form->Undo1, Qt::ControlModifier, Qt::Key_U},
        {form->Close1, Qt::ControlModifier, Qt::Key_Delete},
        {form->Make1, Qt::ControlModifier, Qt::Key_F9},
        {form->outexe1, Qt::ShiftModifier, Qt::Key_F9},
        {form->NextMessage1, Qt::NoModifier, Qt::Key_F8},
        {form->PreviousMessage1, Qt::ShiftModifier, Qt::Key_F8},
        {form->Makefontbigger1, Qt::ControlModifier, Qt::Key_BracketRight},
        {form->Makefontsmaller1, Qt::ControlModifier, Qt::Key_BracketLeft},
        {form->ProjectClose1, Qt::AltModifier, Qt::Key_Delete},
        {form->ProjectOpen1, Qt::AltModifier, Qt::Key_O},
        {form->Breakpoint1, Qt::NoModifier, Qt::Key_F4},
        {form->DebugRun1, Qt::NoModifier, Qt::Key_F5},
        {form->DebugStop1, Qt::ShiftModifier, Qt::Key_F5},
        {form->StepOver1, Qt::NoModifier, Qt::Key_F7},
        {form->StepInto1, Qt::ShiftModifier, Qt::Key_F7},
        {form->StepOut1, Qt::ControlModifier, Qt::Key_F7},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.action->text().toStdString());
        // Only the arrival is checked here; the commands' work is tested elsewhere.
        QObject::disconnect(r.action, &QAction::triggered, nullptr, nullptr);
        QSignalSpy spy(r.action, &QAction::triggered);
        QTest::keyClick(editor, r.key, r.mods);
        EXPECT_EQ(spy.count(), 1);
    }
    // None of the keys went into the editor (no select-all, no deleted word).
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("some text"));
    EXPECT_FALSE(editor->hasSelection());
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

TEST_F(MainWindowFixture, CaretLabelsFollowKeysAndCaptionFollowsFocus)
{
    TCustomizedMemo* editor = form->Memos->ActiveMemo();
    editor->setFocus();
    QTest::keyClicks(editor, QStringLiteral("ab"));
    QTest::keyClick(editor, Qt::Key_Return);
    QTest::keyClick(editor, Qt::Key_Tab);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("行:2"));
    EXPECT_EQ(form->Label2->text(), QStringLiteral("桁:2"));
    QTest::keyClick(editor, Qt::Key_Up);
    EXPECT_EQ(form->Label1->text(), QStringLiteral("行:1"));

    form->Memos->setFileName(0, QStringLiteral("/w/a.c"));
    form->Memos->AddPage(QString());
    form->Memos->setActiveIndex(1);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex <  >"));
    form->Memos->setActiveIndex(0);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < /w/a.c >"));

    // The window coming back to the front, a menu closing and New leave the
    // caption that a command set (Open sets the name part only).
    form->setWindowTitle(QStringLiteral("Nollex < a.c >"));
    for (const Qt::FocusReason reason : {Qt::ActiveWindowFocusReason, Qt::PopupFocusReason}) {
        QFocusEvent back(QEvent::FocusIn, reason);
        QApplication::sendEvent(form->Memos->ActiveMemo(), &back);
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < a.c >")) << reason;
    }
    form->New1Click();
    EXPECT_EQ(form->Memos->ActiveIndex(), 2);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < a.c >"));
}

// A project's build shows each changed page it asks about; the question has the
// focus, so no page entry tells the caption: after the build it names the page
// left active, not the last one asked about.
TEST_F(MainWindowFixture, CaptionFollowsTheActivePageAfterAProjectBuildAsks)
{
    TMemos& m = *form->Memos;
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            m.AddPage(QStringLiteral("/w/p.prj"));
        m.setFileName(i, QStringLiteral("/w/%1.c").arg(i));
        m.editor(i)->OwningProject = QStringLiteral("/w/p.prj");
        m.editor(i)->ChangeMarked = i > 0;
    }
    form->State.ProjectMainIndex = 0;
    QWidget question;  // what a real question takes the focus with
    dialogs.whenAsked = [&](const test::Asked&) {
        question.show();
        question.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&question));
    };
    dialogs.answer(MsgAnswer::No);
    dialogs.answer(MsgAnswer::Cancel);  // page 2 stays active
    form->RunBuild(BuildMode::Execute);
    ASSERT_EQ(dialogs.asked.size(), 2);
    EXPECT_EQ(m.ActiveIndex(), 2);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < /w/2.c >"));
}

// Ctrl+Tab / Ctrl+PageDown and Ctrl+Shift+Tab / Ctrl+PageUp step through the
// pages, wrapping round, from the page, the message pane or a button alike, and
// the page they reach shows its caret place and its file in the caption, as
// after a click on its tab. No key goes into a page.
TEST_F(MainWindowFixture, PageKeysStepThroughThePagesFromAnywhere)
{
    const QStringList texts = {QStringLiteral("a"), QStringLiteral("b\nb\nb"), QStringLiteral("c\nc")};
    for (int i = 0; i < 3; ++i) {
        if (i > 0)
            form->Memos->AddPage(QString());
        form->Memos->setFileName(i, QStringLiteral("/w/%1.c").arg(i));
        form->Memos->editor(i)->setPlainText(texts[i]);
        form->Memos->editor(i)->setCaret(int(texts[i].size()));
    }
    form->Memos->setActiveIndex(0);
    const auto page = [this] { return static_cast<QWidget*>(form->Memos->ActiveMemo()); };
    const auto pane = [this] { return static_cast<QWidget*>(form->Memo2); };
    const auto button = [this] { return static_cast<QWidget*>(form->Button1); };
    const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    const struct {
        const char* name;
        std::function<QWidget*()> from;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        int page, line;  // where it lands, and the line label there
    } rows[] = {
        {"ctrl+tab", page, Qt::Key_Tab, ctrl, 1, 3},
        {"ctrl+pagedown", page, Qt::Key_PageDown, ctrl, 2, 2},
        {"ctrl+tab wraps", page, Qt::Key_Tab, ctrl, 0, 1},
        {"ctrl+shift+tab wraps back", page, Qt::Key_Backtab, ctrlShift, 2, 2},
        {"ctrl+pageup in the message pane", pane, Qt::Key_PageUp, ctrl, 1, 3},
        {"ctrl+tab in the message pane", pane, Qt::Key_Tab, ctrl, 2, 2},
        {"ctrl+shift+tab on a button", button, Qt::Key_Tab, ctrlShift, 1, 3},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.name);
        QWidget* from = r.from();
        from->setFocus();
        QSignalSpy changed(form->PageControl1, &TPageControl::changed);
        QTest::keyClick(from, r.key, r.mods);
        EXPECT_EQ(form->Memos->ActiveIndex(), r.page);
        EXPECT_EQ(changed.count(), 1);
        EXPECT_EQ(QApplication::focusWidget(), form->Memos->ActiveMemo());
        EXPECT_EQ(form->windowTitle(), QStringLiteral("Nollex < /w/%1.c >").arg(r.page));
        EXPECT_EQ(form->Label1->text(), QStringLiteral("行:%1").arg(r.line));
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(form->Memos->editor(i)->toPlainText(), texts[i]);
    EXPECT_TRUE(dialogs.asked.isEmpty());
}

TEST_F(MainWindowFixture, WindowFollowsResizeRule)
{
    const int menu = form->height() - form->Client->height();
    form->resize(800, 600 + menu);
    QApplication::processEvents();
    const MainLayout l = computeMainLayout(form->Client->width(), form->Client->height(), 417);
    EXPECT_EQ(form->PageControl1->geometry(), l.pageControl);
    EXPECT_EQ(form->Memo2->geometry(), l.memo2);
    EXPECT_EQ(form->Label3->x(), l.label3Left);
    EXPECT_EQ(form->StatusBar1->geometry().bottom() + 1, form->Client->height());
    EXPECT_EQ(form->Memos->ActiveMemo()->geometry(), form->Memos->ActivePage()->rect());

    // The border dragged 100 pixels up makes the pane as much taller, also after
    // the next resize; a double-click gives the rule's own height back.
    EXPECT_EQ(form->PaneBorder1->geometry(), l.paneBorder);
    EXPECT_EQ(form->PaneBorder1->cursor().shape(), Qt::SplitVCursor);
    QTest::mousePress(form->PaneBorder1, Qt::LeftButton, {}, QPoint(50, 2));
    QTest::mouseMove(form->PaneBorder1, QPoint(50, -98));
    QTest::mouseRelease(form->PaneBorder1, Qt::LeftButton, {}, QPoint(50, 2));  // the strip came along
    EXPECT_EQ(form->Memo2->height(), 177);
    EXPECT_EQ(form->PageControl1->geometry().bottom() + 5, form->Memo2->y());
    form->resize(900, 650 + menu);
    QApplication::processEvents();
    EXPECT_EQ(form->Memo2->height(), 177);
    EXPECT_EQ(form->Memo2->geometry().bottom() + 2, form->StatusBar1->y());
    QTest::mouseDClick(form->PaneBorder1, Qt::LeftButton, {}, QPoint(50, 2));
    EXPECT_EQ(form->Memo2->height(), 77);
}

// An error escaping a handler is shown and the window goes on.
TEST_F(MainWindowFixture, HandlerErrorIsShownAndWindowGoesOn)
{
    dialogs.answer(MsgAnswer::Ok);
    form->guarded([] { throw NollexError(QStringLiteral("/x/a.c を読み込めません")); });
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("/x/a.c を読み込めません."));
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
    EXPECT_TRUE(form->isVisible());
}

TEST_F(MainWindowFixture, ExitClosesTheWindow)
{
    form->Exit1->trigger();
    EXPECT_FALSE(form->isVisible());
}

// No key binding of the page's component lies on a window command's key (its
// defaults had Ctrl+A, Ctrl+D, Ctrl+L, Ctrl+U, Ctrl+[, Ctrl+], Ctrl+Del), and
// its own zoom and line swap have no key; its undo and redo keep theirs.
TEST_F(MainWindowFixture, PageKeyBindingsLeaveWindowKeysAlone)
{
    form->Memos->AddPage(QString());
    QList<QKeySequence> windowKeys;
    for (QAction* a : form->actions())
        windowKeys += a->shortcuts();
    ASSERT_GE(windowKeys.size(), 20);
    for (int i = 0; i <= form->Memos->LastIndex(); ++i) {
        QsciCommandSet* commands = form->Memos->editor(i)->standardCommands();
        for (const QKeySequence& key : windowKeys) {
            const QsciCommand* bound = commands->boundTo(key[0].toCombined());
            EXPECT_EQ(bound, nullptr) << "page " << i << ": " << key.toString().toStdString() << " is "
                                      << (bound ? bound->description().toStdString() : "");
        }
        for (const QKeyCombination zoom :
             {Qt::CTRL | Qt::Key_Plus, Qt::CTRL | Qt::Key_Minus, Qt::CTRL | Qt::Key_T})
            EXPECT_EQ(commands->boundTo(zoom.toCombined()), nullptr);
        ASSERT_NE(commands->boundTo((Qt::CTRL | Qt::Key_Z).toCombined()), nullptr);
        EXPECT_EQ(commands->boundTo((Qt::CTRL | Qt::Key_Z).toCombined())->command(), QsciCommand::Undo);
        ASSERT_NE(commands->boundTo((Qt::CTRL | Qt::Key_Y).toCombined()), nullptr);
        EXPECT_EQ(commands->boundTo((Qt::CTRL | Qt::Key_Y).toCombined())->command(), QsciCommand::Redo);
    }
}

// Ctrl+R opens the Replace window with the remembered search text; Replace All
// counts in the status bar; Format without clang-format says so in a message
// once, and then only in the status bar.
TEST_F(MainWindowFixture, ReplaceWindowAndFormatWithoutTheFormatter)
{
    TCustomizedMemo* editor = form->Memos->ActiveMemo();
    editor->setPlainText(QStringLiteral("int n = 1;\nn = n + 2;\nint nn;\n"));
    form->State.SearchText = QStringLiteral("n");
    editor->setFocus();
    QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier);
    EditTools& tools = form->editTools();
    ASSERT_TRUE(tools.replaceWindow() && tools.replaceWindow()->isVisible());
    EXPECT_EQ(tools.findField()->text(), QStringLiteral("n"));
    tools.replacementField()->setText(QStringLiteral("count"));
    tools.wordSwitch()->setChecked(true);
    tools.replaceAll();
    EXPECT_EQ(editor->toPlainText(), QStringLiteral("int count = 1;\ncount = count + 2;\nint nn;\n"));
    EXPECT_EQ(form->StatusPanel0->text(), QStringLiteral("3 件置換しました"));
    EXPECT_EQ(form->State.SearchText, QStringLiteral("n"));  // Find's text stays its own

    tools.regexSwitch()->setChecked(true);
    tools.findField()->setText(QStringLiteral("(n"));
    tools.replaceAll();
    EXPECT_TRUE(form->StatusPanel0->text().startsWith(QStringLiteral("正規表現が正しくありません")));

    tools.formatProgram = QStringLiteral("nollex-no-such-clang-format");
    dialogs.answer(MsgAnswer::Ok);
    form->Format1->trigger();
    form->Format1->trigger();
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Format"));
    EXPECT_TRUE(dialogs.asked[0].text.contains(QStringLiteral("clang-format がありません")));
    EXPECT_TRUE(form->StatusPanel0->text().contains(QStringLiteral("clang-format がありません")));
    EXPECT_TRUE(dialogs.allAnswersUsed());
}
