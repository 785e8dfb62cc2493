#include "app/TForm1.h"
#include "editor/TMemos.h"
#include "options/TForm2.h"
#include "options/TRadioGroup.h"
#include "options/TUpDown.h"
#include "project/ProjectDefiner.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QCheckBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

// The dialog over the main window's values, shown without a modal loop.
struct DialogFixture : ::testing::Test {
    test::ScriptedDialogs dialogs;
    QWidget window;
    TPageControl* pageControl = new TPageControl(&window);
    std::unique_ptr<TMemos> memos;
    WindowState state;
    CompileOptionSet& options = state.OptionSet;
    QString& directory = state.CompilerDirectory;
    QString& name = state.CompilerName;
    AfterRun& runMode = state.RunMode;
    std::unique_ptr<TForm2> form;

    void SetUp() override
    {
        window.resize(400, 300);
        pageControl->setGeometry(0, 0, 400, 300);
        memos = std::make_unique<TMemos>(&window, pageControl);
        memos->AddPage(QString());
        directory = QStringLiteral("/opt/bcc/");
        form = std::make_unique<TForm2>(state, *memos, dialogs, &window);
    }
    void TearDown() override
    {
        form.reset();
        memos.reset();
        EXPECT_TRUE(dialogs.allAnswersUsed());
    }

    void open()
    {
        form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    }

    // The main window's values as one comparable row.
    struct Values {
        int tabWidth;
        QString directory, name;
        AfterRun runMode;
        CompileOptionSet options;
        bool operator==(const Values&) const = default;
    };
    Values values() { return {memos->TabWidth(), directory, name, runMode, options}; }

    // A state far from every default, as if a restore had put it there.
    void setStoredState()
    {
        memos->setTabWidth(6);
        directory = QStringLiteral("/stored/dir");
        name = QStringLiteral("stored.exe");
        runMode = AfterRun::WaitForExit;
        options.Instructions = "-5 ";
        options.B = "-B ";
        options.smallb.clear();
        options.O = "-O2 ";
        options.I = "-Ione ";
        options.insideI = "one";
        options.insideManual = "-v";
        options.smallj = "-j3 ";
        options.n_of_j = 3;
        nollex::LoadOptionsIntoDialog(options, state.OptionBoxes);
        form->LoadOptionsIntoDialog();
    }

    // Changes every kind of control, without pressing anything.
    void changeEverything()
    {
        form->Edit6->setText(QStringLiteral("12"));
        form->Edit7->setText(QStringLiteral("/elsewhere"));
        form->Edit8->setText(QStringLiteral("other.exe"));
        form->RadioGroup3->setItemIndex(0);
        form->RadioGroup1->setItemIndex(1);
        form->RadioGroup2->setItemIndex(0);
        for (QCheckBox* b : form->checkBoxes())
            b->setChecked(!b->isChecked());
        form->Edit2->setText(QStringLiteral("two"));
        form->Edit->setText(QStringLiteral("-x"));
        form->Edit9->setText(QStringLiteral("7"));
        form->Edit10->setText(QStringLiteral("8"));
    }
};

QStringList lines(const QTextEdit* memo)
{
    QStringList result;
    for (QTextBlock b = memo->document()->begin(); b.isValid(); b = b.next())
        result << b.text();
    return result;
}

}  // namespace

// The controls start with the creation values and the dialog has its frame.
TEST_F(DialogFixture, CreationState)
{
    EXPECT_EQ(form->size(), QSize(530, 394));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Configuration"));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::Tool));
    EXPECT_TRUE(form->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowMinMaxButtonsHint));
    ASSERT_EQ(form->PageControl1->count(), 4);
    EXPECT_EQ(form->PageControl1->tabText(1), QStringLiteral("Compile Option"));
    EXPECT_EQ(form->PageControl1->tabText(3), QStringLiteral("Key Help"));
    EXPECT_EQ(form->PageControl1->currentIndex(), 0);
    EXPECT_TRUE(form->TabSheet3->isAncestorOf(form->Definer));

    EXPECT_EQ(form->Edit6->text(), QStringLiteral("4"));
    EXPECT_EQ(form->Edit7->text(), directory);
    EXPECT_EQ(form->Edit8->text(), QStringLiteral("bcc32.exe"));
    EXPECT_EQ(form->RadioGroup3->ItemIndex(), 0);
    OptionControls expected;
    ResetDialogToDefaults(expected);
    EXPECT_EQ(form->optionControls(), expected);
    EXPECT_TRUE(form->CheckBox7->isChecked());
    EXPECT_TRUE(form->CheckBox10->isChecked());
}

// OK applies the tab width to every page and each value to its owner, closes,
// and the reloaded controls show what was applied.
TEST_F(DialogFixture, OkAppliesEverything)
{
    open();
    form->Edit6->setText(QStringLiteral("8"));
    form->Edit7->setText(QStringLiteral("/new dir"));
    form->Edit8->setText(QStringLiteral("cc.exe"));
    form->RadioGroup3->setItemIndex(1);
    form->CheckBox14->setChecked(true);
    form->Edit2->setText(QStringLiteral("inc"));
    form->Edit9->setText(QStringLiteral("0"));
    QTest::mouseClick(form->Button2, Qt::LeftButton);

    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(memos->TabWidth(), 8);
    for (int i = 0; i <= memos->LastIndex(); ++i)
        EXPECT_EQ(memos->editor(i)->TabWidth, 8);
    EXPECT_EQ(directory, QStringLiteral("/new dir"));
    EXPECT_EQ(name, QStringLiteral("cc.exe"));
    EXPECT_EQ(runMode, AfterRun::WaitForExit);
    EXPECT_EQ(options.I, QStringLiteral("-Iinc "));
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("8"));
    EXPECT_EQ(form->Edit9->text(), QStringLiteral("0"));
    EXPECT_TRUE(form->CheckBox14->isChecked());
}

// Cancel after changing every control restores them from the stored values;
// only an N edit whose stored count is 0 keeps what was typed.
TEST_F(DialogFixture, CancelDiscardsManyChanges)
{
    setStoredState();
    const Values before = values();
    const OptionControls shown = form->optionControls();
    open();
    changeEverything();
    QTest::mouseClick(form->Button3, Qt::LeftButton);

    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(values(), before);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("6"));
    EXPECT_EQ(form->Edit7->text(), QStringLiteral("/stored/dir"));
    EXPECT_EQ(form->Edit8->text(), QStringLiteral("stored.exe"));
    EXPECT_EQ(form->RadioGroup3->ItemIndex(), 1);
    OptionControls expected = shown;
    expected.countG = QStringLiteral("7");  // n_of_g is 0
    EXPECT_EQ(form->optionControls(), expected);
    EXPECT_EQ(form->Edit10->text(), QStringLiteral("3"));
}

// The reset button only changes the option controls; Cancel then throws the
// reset away, OK applies the creation defaults and keeps the Setup values.
TEST_F(DialogFixture, ResetThenCancelAndResetThenOk)
{
    setStoredState();
    const Values before = values();
    const OptionControls shown = form->optionControls();
    open();
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    EXPECT_TRUE(form->isVisible());
    OptionControls defaults;
    ResetDialogToDefaults(defaults);
    EXPECT_EQ(form->optionControls(), defaults);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("6"));
    EXPECT_EQ(form->Edit7->text(), QStringLiteral("/stored/dir"));
    EXPECT_EQ(values(), before);

    QTest::mouseClick(form->Button3, Qt::LeftButton);
    EXPECT_EQ(values(), before);
    EXPECT_EQ(form->optionControls(), shown);

    open();
    QTest::mouseClick(form->Button1, Qt::LeftButton);
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(options, CompileOptionSet{});
    EXPECT_EQ(memos->TabWidth(), 6);
    EXPECT_EQ(directory, QStringLiteral("/stored/dir"));
    EXPECT_EQ(name, QStringLiteral("stored.exe"));
    EXPECT_EQ(runMode, AfterRun::WaitForExit);
}

// Ctrl+D applies like OK on every tab, also from an edit that would otherwise
// take it as "delete the next character".
TEST_F(DialogFixture, CtrlDAppliesFromEveryTab)
{
    for (int tab = 0; tab < 4; ++tab) {
        SCOPED_TRACE(tab);
        open();
        form->PageControl1->setCurrentIndex(tab);
        form->Edit6->setText(QString::number(tab + 1));
        form->Edit1->setText(QStringLiteral("abc"));
        form->Edit1->setCursorPosition(0);
        QWidget* target = tab == 1   ? static_cast<QWidget*>(form->Edit1)
                          : tab == 2 ? static_cast<QWidget*>(form->Definer->Edit11)
                          : tab == 3 ? static_cast<QWidget*>(form->Memo2)
                                     : static_cast<QWidget*>(form->Edit7);
        QTest::keyClick(target, Qt::Key_D, Qt::ControlModifier);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(memos->TabWidth(), tab + 1);
        EXPECT_EQ(options.insideH, QStringLiteral("abc"));
        EXPECT_EQ(form->PageControl1->currentIndex(), tab);
    }
}

// Key preview: the dialog gets Ctrl+D and Escape before a control that would keep
// them (as an edit keeps Ctrl+D where it means "delete").
TEST_F(DialogFixture, DialogSeesKeysBeforeItsControls)
{
    struct GreedyEdit : QLineEdit {
        using QLineEdit::QLineEdit;
        bool event(QEvent* e) override
        {
            if (e->type() == QEvent::ShortcutOverride) {
                e->accept();
                return true;
            }
            return QLineEdit::event(e);
        }
        void keyPressEvent(QKeyEvent* e) override { e->accept(); }
    };
    auto* greedy = new GreedyEdit(form->TabSheet2);
    open();
    form->Edit6->setText(QStringLiteral("9"));
    QTest::keyClick(greedy, Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(memos->TabWidth(), 9);

    open();
    form->Edit6->setText(QStringLiteral("3"));
    QTest::keyClick(greedy, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(memos->TabWidth(), 9);
}

// Escape closes like Cancel with the caret in an edit; so does the close box.
// Enter in an edit presses no button.
TEST_F(DialogFixture, EscapeAndCloseBoxDiscard)
{
    const Values before = values();
    open();
    form->Edit7->setText(QStringLiteral("/typed"));
    QTest::keyClick(form->Edit7, Qt::Key_Return);
    EXPECT_TRUE(form->isVisible());
    QTest::keyClick(form->Edit7, Qt::Key_Escape);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(values(), before);
    EXPECT_EQ(form->Edit7->text(), directory);

    open();
    form->CheckBox1->setChecked(true);
    form->Edit6->setText(QStringLiteral("x"));
    form->close();
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(values(), before);
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("4"));
}

// A text that OK refuses: a tab width that is no integer or one the next start
// would not restore, and a text that would break the build's batch lines (a '"' in
// the compiler folder; an open '"' or a bare '>', '<' or '|' in the compiler name
// or an option text in use). The error (with its full stop), nothing applied, and
// the dialog stays open with the user's edits.
TEST_F(DialogFixture, TextsRefusedAtOk)
{
    const Values before = values();
    const struct {
        QLineEdit* TForm2::*edit;
        QCheckBox* TForm2::*box;  // switched on with it, or null
        const char* typed;
        QString error;
    } rows[] = {
        {&TForm2::Edit6, nullptr, "4a", QStringLiteral("'4a' は整数ではありません.")},
        {&TForm2::Edit6, nullptr, "1001", QStringLiteral("タブ幅は 0 から 1000 までの整数で指定してください.")},
        {&TForm2::Edit6, nullptr, "-1", QStringLiteral("タブ幅は 0 から 1000 までの整数で指定してください.")},
        {&TForm2::Edit7, nullptr, "/my \"dir\"", QStringLiteral("コンパイラフォルダには \" を使えません.")},
        {&TForm2::Edit8, nullptr, "bcc32.exe>", QStringLiteral("コンパイラ名「bcc32.exe>」の > は \" \" で囲んでください.")},
        {&TForm2::Edit, &TForm2::CheckBox18, "-DX=\"a b", QStringLiteral("オプション「-DX=\"a b」の \" が閉じていません.")},
        {&TForm2::Edit2, &TForm2::CheckBox14, "\"/a b\"|c", QStringLiteral("オプション「\"/a b\"|c」の | は \" \" で囲んでください.")},
        {&TForm2::Edit, &TForm2::CheckBox18, "-DX=1 <in", QStringLiteral("オプション「-DX=1 <in」の < は \" \" で囲んでください.")},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        dialogs.clearAsked();
        open();
        dialogs.answer(MsgAnswer::Ok);
        form->Edit1->setText(QStringLiteral("typed"));
        form->CheckBox1->setChecked(true);
        (form.get()->*row.edit)->setText(QString::fromUtf8(row.typed));
        if (row.box)
            (form.get()->*row.box)->setChecked(true);
        QTest::mouseClick(form->Button2, Qt::LeftButton);

        ASSERT_EQ(dialogs.asked.size(), 1);
        EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Nollex"));
        EXPECT_EQ(dialogs.asked[0].text, row.error);
        EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Error);
        EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(values(), before);
        EXPECT_EQ((form.get()->*row.edit)->text(), QString::fromUtf8(row.typed));
        EXPECT_EQ(form->Edit1->text(), QStringLiteral("typed"));
        EXPECT_TRUE(form->CheckBox1->isChecked());
        form->close();
    }
}

// A bad N for -jN: the tab width and n_of_g are already applied, nothing else.
TEST_F(DialogFixture, CountThatIsNoNumber)
{
    const CompileOptionSet before = options;
    open();
    dialogs.answer(MsgAnswer::Ok);
    form->Edit6->setText(QStringLiteral("8"));
    form->Edit9->setText(QStringLiteral("2"));
    form->Edit10->setText(QStringLiteral("z"));
    form->Edit7->setText(QStringLiteral("/typed"));
    form->CheckBox1->setChecked(true);
    form->RadioGroup3->setItemIndex(1);
    QTest::mouseClick(form->Button2, Qt::LeftButton);

    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("'z' は整数ではありません."));
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(memos->TabWidth(), 8);
    CompileOptionSet expected = before;
    expected.n_of_g = 2;
    EXPECT_EQ(options, expected);
    EXPECT_EQ(directory, QStringLiteral("/opt/bcc/"));
    EXPECT_EQ(runMode, AfterRun::CloseConsole);

    QTest::mouseClick(form->Button3, Qt::LeftButton);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("8"));
    EXPECT_EQ(form->Edit9->text(), QStringLiteral("2"));
    EXPECT_EQ(form->Edit10->text(), QStringLiteral("z"));
}

// The arrows step from the edit's number within 0..100, and from the last
// position when the edit holds no number.
TEST_F(DialogFixture, UpDownStepsWithinItsBounds)
{
    open();
    QTest::mouseClick(form->UpDown1->upButton(), Qt::LeftButton);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("5"));
    form->Edit6->setText(QStringLiteral("100"));
    QTest::keyClick(form->Edit6, Qt::Key_Up);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("100"));
    form->Edit6->setText(QStringLiteral("0"));
    QTest::mouseClick(form->UpDown1->downButton(), Qt::LeftButton);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("0"));
    form->Edit6->setText(QStringLiteral("tab"));
    QTest::keyClick(form->Edit6, Qt::Key_Up);
    EXPECT_EQ(form->Edit6->text(), QStringLiteral("1"));
}

// Radio groups take -1 for "none" and bring other indexes into range.
TEST_F(DialogFixture, RadioGroupItemIndex)
{
    TRadioGroup* group = form->RadioGroup1;
    group->setItemIndex(-1);
    EXPECT_EQ(group->ItemIndex(), -1);
    group->setItemIndex(9);
    EXPECT_EQ(group->ItemIndex(), 3);
    group->setItemIndex(-5);
    EXPECT_EQ(group->ItemIndex(), -1);
    QTest::mouseClick(group->Buttons[2], Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(group->ItemIndex(), 2);
}

// The key tables: every line kept whole, the trailing blank after an empty colon included.
TEST_F(DialogFixture, KeyHelpTexts)
{
    const QStringList keys = lines(form->Memo1);
    ASSERT_EQ(keys.size(), 27);
    EXPECT_EQ(keys[0], QStringLiteral("F1  : "));
    EXPECT_EQ(keys[8], QStringLiteral("F9  : 実行"));
    EXPECT_EQ(keys[9], QStringLiteral("F10 : Project Setting"));
    EXPECT_EQ(keys[11], QStringLiteral("F12 : "));
    EXPECT_EQ(keys[12], QStringLiteral("Ctrl+F1  : "));
    EXPECT_EQ(keys[20], QStringLiteral("Ctrl+F9  : *.EXE出力"));
    EXPECT_EQ(keys[21], QStringLiteral("Ctrl+F10 : "));
    EXPECT_EQ(keys[22], QStringLiteral("Ctrl+F11 : ノレクス化"));
    EXPECT_EQ(keys[24], QStringLiteral("Ctrl+] : 編集文字拡大"));
    EXPECT_EQ(keys[26], QStringLiteral("Ctrl+Del : 頁閉じ"));

    const QStringList ctrl = lines(form->Memo2);
    ASSERT_EQ(ctrl.size(), 26);
    EXPECT_EQ(ctrl[0], QStringLiteral("Ctrl-A : 名前を付けてセーブ（編集時）"));
    EXPECT_EQ(ctrl[1], QStringLiteral("Ctrl-B : "));
    EXPECT_EQ(ctrl[3], QStringLiteral("Ctrl-D : DOS窓(編集時)/デフォルト(オプション設定時)"));
    EXPECT_EQ(ctrl[21], QStringLiteral("Ctrl-V : コピー部張り付け（編集時）"));
    EXPECT_EQ(ctrl[25], QStringLiteral("Ctrl-Z : 選択部削除（編集時）"));
    EXPECT_TRUE(form->Memo1->isReadOnly());
    EXPECT_TRUE(form->Memo2->isReadOnly());
}

// The Project tab is not part of the transfers: its list survives OK and Cancel.
TEST_F(DialogFixture, ProjectTabSurvivesClosing)
{
    open();
    form->Definer->Edit11->setText(QStringLiteral("/p/a.prj"));
    form->Definer->CheckListBox1->addItem(QStringLiteral("/p/main.c"));
    QTest::mouseClick(form->Button2, Qt::LeftButton);
    open();
    QTest::mouseClick(form->Button3, Qt::LeftButton);
    EXPECT_EQ(form->Definer->Edit11->text(), QStringLiteral("/p/a.prj"));
    ASSERT_EQ(form->Definer->CheckListBox1->count(), 1);
    EXPECT_EQ(form->Definer->CheckListBox1->item(0)->text(), QStringLiteral("/p/main.c"));
}

// The main window hands the dialog its own values.
TEST(TForm2InMainWindow, EditsTheMainWindowsValues)
{
    test::ScriptedDialogs dialogs;
    test::TempDir dir;
    TForm1 form({dialogs, dir.path()});
    TForm2* dialog = form.form2();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->Edit7->text(), form.State.CompilerDirectory);
    EXPECT_EQ(dialog->Edit8->text(), form.State.CompilerName);

    dialog->show();
    dialog->Edit6->setText(QStringLiteral("8"));
    dialog->Edit8->setText(QStringLiteral("cc.exe"));
    dialog->CheckBox5->setChecked(true);
    dialog->RadioGroup3->setItemIndex(1);
    QTest::mouseClick(dialog->Button2, Qt::LeftButton);
    EXPECT_EQ(form.Memos->TabWidth(), 8);
    EXPECT_EQ(form.State.CompilerName, QStringLiteral("cc.exe"));
    EXPECT_EQ(form.State.OptionSet.P, QStringLiteral("-P "));
    EXPECT_EQ(form.State.RunMode, AfterRun::WaitForExit);
}

// Not run by default: grabs each tab into $NOLLEX_SHOT_DIR (default /tmp) to look at.
TEST_F(DialogFixture, DISABLED_SaveTabPictures)
{
    const QString folder = qEnvironmentVariableIsSet("NOLLEX_SHOT_DIR")
                               ? qEnvironmentVariable("NOLLEX_SHOT_DIR")
                               : QStringLiteral("/tmp");
    form->Edit2->setText(QStringLiteral("/usr/include/ç"));
    form->CheckBox14->setChecked(true);
    form->Edit9->setText(QStringLiteral("5"));
    form->Edit->setText(QStringLiteral("-v -y"));
    form->Definer->Edit11->setText(QStringLiteral("/home/user/work/sample.prj"));
    for (const char* file : {"/home/user/work/main.c", "/home/user/work/sub.c"}) {
        auto* item = new QListWidgetItem(QString::fromLatin1(file), form->Definer->CheckListBox1);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    form->Definer->Label10->setText(QStringLiteral("/home/user/work/main.c"));
    open();
    for (int tab = 0; tab < form->PageControl1->count(); ++tab) {
        form->PageControl1->setCurrentIndex(tab);
        QTest::qWait(50);
        EXPECT_TRUE(form->grab().save(QDir(folder).filePath(QStringLiteral("tform2_%1.png").arg(tab))));
    }
}
