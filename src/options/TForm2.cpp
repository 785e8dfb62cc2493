#include "TForm2.h"

#include "TGroupBox.h"
#include "TRadioGroup.h"
#include "TUpDown.h"
#include "editor/TMemos.h"
#include "platform/Errors.h"
#include "platform/ShowError.h"
#include "project/ProjectDefiner.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextEdit>

namespace nollex {

namespace {

QFont designFont(const QString& family, int pixels)
{
    QFont f(family);
    f.setPixelSize(pixels);
    return f;
}

QFont groupFont()
{
    return designFont(QStringLiteral("ＭＳ 明朝"), 13);
}

// Narrows a caption that the fallback font makes wider than its control.
void fitCaption(QAbstractButton* b)
{
    const int textWidth = QFontMetrics(b->font()).horizontalAdvance(b->text());
    const int room = b->width() - (b->sizeHint().width() - textWidth);
    if (textWidth > room && room > 0) {
        QFont f = b->font();
        f.setStretch(std::max(50, room * 100 / textWidth));
        b->setFont(f);
    }
}

QLabel* label(const QString& text, int left, int top, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->move(left, top);
    l->adjustSize();
    return l;
}

QLineEdit* edit(const QRect& rect, QWidget* parent)
{
    auto* e = new QLineEdit(parent);
    e->setGeometry(rect);
    return e;
}

QPushButton* button(const QString& text, const QRect& rect, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setGeometry(rect);
    // Enter in an edit presses nothing; only OK, Ctrl+D and the buttons apply.
    b->setAutoDefault(false);
    return b;
}

QStringList functionKeyHelp()
{
    QStringList lines;
    const auto key = [](const QString& name) {
        return name + QString(name.size() < 3 ? 2 : 1, u' ') + QStringLiteral(": ");
    };
    for (int n = 1; n <= 12; ++n)
        lines << key(QStringLiteral("F%1").arg(n));
    for (int n = 1; n <= 12; ++n)
        lines << QStringLiteral("Ctrl+") + key(QStringLiteral("F%1").arg(n));
    lines[8] += QStringLiteral("実行");
    lines[9] += QStringLiteral("Project Setting");
    lines[12 + 8] += QStringLiteral("*.EXE出力");
    lines[12 + 10] += QStringLiteral("ノレクス化");
    lines << QStringLiteral("Ctrl+] : 編集文字拡大") << QStringLiteral("Ctrl+[ : 編集文字縮小")
          << QStringLiteral("Ctrl+Del : 頁閉じ");
    return lines;
}

QStringList ctrlKeyHelp()
{
    QStringList lines;
    for (char16_t c = u'A'; c <= u'Z'; ++c)
        lines << QStringLiteral("Ctrl-") + QChar(c) + QStringLiteral(" : ");
    const auto describe = [&lines](char16_t c, const QString& text) { lines[c - u'A'] += text; };
    describe(u'A', QStringLiteral("名前を付けてセーブ（編集時）"));
    describe(u'C', QStringLiteral("選択部コピー（編集時）"));
    describe(u'D', QStringLiteral("DOS窓(編集時)/デフォルト(オプション設定時)"));
    describe(u'F', QStringLiteral("検索（編集時）"));
    describe(u'L', QStringLiteral("再検索（編集時）"));
    describe(u'O', QStringLiteral("ファイルオープン（編集時）"));
    describe(u'S', QStringLiteral("上書きセーブ（編集時）"));
    describe(u'V', QStringLiteral("コピー部張り付け（編集時）"));
    describe(u'X', QStringLiteral("選択部カット（編集時）"));
    describe(u'Z', QStringLiteral("選択部削除（編集時）"));
    return lines;
}

}  // namespace

TForm2::TForm2(WindowState& state, TMemos& memos, Dialogs& dialogs, QWidget* parent)
    : QDialog(parent), state_(state), memos_(memos), dialogs_(dialogs)
{
    setWindowTitle(QStringLiteral("Configuration"));
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFont(designFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    setFixedSize(530, 394);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(4, 4, 521, 385);
    TabSheet1 = new QWidget;
    TabSheet2 = new QWidget;
    TabSheet3 = new QWidget;
    TabSheet4 = new QWidget;
    PageControl1->addTab(TabSheet1, QStringLiteral("Setup"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Compile Option"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Project"));
    PageControl1->addTab(TabSheet4, QStringLiteral("Key Help"));

    createSetupTab();
    createCompileOptionTab();
    Definer = new ProjectDefiner(dialogs_, TabSheet3);
    Definer->setGeometry(0, 0, 521, 385);
    createKeyHelpTab();
    PageControl1->setCurrentIndex(0);

    createButtons();
    connectHandlers();
    // Key preview: the dialog sees every key before the control that has the focus.
    qApp->installEventFilter(this);

    // Creation values; the main window's restore at its first showing replaces
    // them. The page set's tab width is not read yet: reading it lays out page 0.
    Edit6->setText(QStringLiteral("4"));
    UpDown1->setPosition(4);
    Edit7->setText(state_.CompilerDirectory);
    Edit8->setText(state_.CompilerName);
    RadioGroup3->setItemIndex(int(state_.RunMode));
    setOptionControls(state_.OptionBoxes);
}

TForm2::~TForm2()
{
    qApp->removeEventFilter(this);
}

void TForm2::createButtons()
{
    // OK and Cancel sit over the lower edge of the tab control, on every tab.
    Button2 = button(QStringLiteral("OK"), {248, 356, 105, 25}, this);
    Button3 = button(QStringLiteral("Cancel"), {384, 356, 105, 25}, this);
    Button2->raise();
    Button3->raise();
    for (QPushButton* b : Definer->findChildren<QPushButton*>())
        b->setAutoDefault(false);

    // The hidden menu's only item; the key filter below delivers its Ctrl+D even
    // from an edit, which would otherwise take the key as "delete".
    Default = new QAction(QStringLiteral("Default"), this);
    Default->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    Default->setShortcutContext(Qt::WindowShortcut);
    addAction(Default);
}

void TForm2::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, [this] { guarded([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { guarded([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { guarded([this] { Button3Click(); }); });
    connect(Default, &QAction::triggered, this, [this] { guarded([this] { DefaultClick(); }); });
    // Every way of closing (OK, Cancel, Escape, the close box) ends in done().
    connect(this, &QDialog::finished, this, [this] { guarded([this] { FormClose(); }); });
}

void TForm2::createSetupTab()
{
    GroupBox1 = new TGroupBox(QStringLiteral("Editor"), TabSheet1);
    GroupBox1->setGeometry(4, 0, 245, 97);
    GroupBox1->setFont(groupFont());
    Label2 = label(QStringLiteral("タブカラム数"), 16, 24, GroupBox1);
    Edit6 = edit({100, 16, 37, 27}, GroupBox1);
    Edit6->setFont(designFont(QStringLiteral("ＭＳ Ｐゴシック"), 19));
    UpDown1 = new TUpDown(Edit6, GroupBox1);
    UpDown1->setGeometry(137, 16, 15, 27);

    GroupBox4 = new TGroupBox(QStringLiteral("Execute"), TabSheet1);
    GroupBox4->setGeometry(256, 0, 253, 97);
    GroupBox4->setFont(groupFont());
    RadioGroup3 = new TRadioGroup(
        QStringLiteral("実行完了後"),
        {QStringLiteral("DOS窓を閉じる"), QStringLiteral("EXIT入力まで待つ")}, 1, GroupBox4);
    RadioGroup3->setGeometry(12, 20, 141, 65);

    GroupBox2 = new TGroupBox(QStringLiteral("Compiler"), TabSheet1);
    GroupBox2->setGeometry(4, 100, 505, 117);
    GroupBox2->setFont(groupFont());
    Label3 = label(QStringLiteral("コンパイラフォルダ"), 16, 24, GroupBox2);
    Edit7 = edit({144, 20, 337, 23}, GroupBox2);
    Label4 = label(QStringLiteral("コンパイラ名"), 56, 52, GroupBox2);
    Edit8 = edit({144, 48, 129, 23}, GroupBox2);
    Button4 = button(QStringLiteral("コンパイラ存在検出"), {304, 48, 153, 25}, GroupBox2);
    Button5 = button(QStringLiteral("コンフィグファイル生成"), {16, 80, 177, 25}, GroupBox2);
}

void TForm2::createCompileOptionTab()
{
    GroupBox3 = new TGroupBox(QStringLiteral("Compile Option"), TabSheet2);
    GroupBox3->setGeometry(4, 0, 505, 321);
    GroupBox3->setFont(groupFont());

    RadioGroup1 = new TRadioGroup(QStringLiteral("CPU Instructions"),
                                  {QStringLiteral("-3 30386命令"), QStringLiteral("-4 30486命令"),
                                   QStringLiteral("-5 Pentium命令"),
                                   QStringLiteral("-6 Pentium Pro命令")},
                                  2, GroupBox3);
    RadioGroup1->setGeometry(16, 16, 297, 49);
    RadioGroup2 = new TRadioGroup(
        QStringLiteral("Priority"),
        {QStringLiteral("-O1 ファイルサイズ優先"), QStringLiteral("-O2 実行速度優先")}, 1, GroupBox3);
    RadioGroup2->setGeometry(316, 16, 177, 49);

    Bevel1 = new QFrame(GroupBox3);
    Bevel1->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    Bevel1->setGeometry(231, 68, 3, 245);

    const auto box = [this](const QString& caption, int left, int top, int width) {
        auto* b = new QCheckBox(caption, GroupBox3);
        b->setGeometry(left, top, width, 17);
        fitCaption(b);
        return b;
    };
    CheckBox1 = box(QStringLiteral("-B アセンブリでコンパイル"), 24, 68, 206);
    CheckBox2 = box(QStringLiteral("-C コメントの入れ子許可"), 24, 88, 206);
    CheckBox3 = box(QStringLiteral("-K charを標準でunsignedに"), 24, 108, 206);
    CheckBox4 = box(QStringLiteral("-N スタックのチェック"), 24, 128, 206);
    CheckBox5 = box(QStringLiteral("-P C++文法を強制"), 24, 148, 206);
    CheckBox6 = box(QStringLiteral("-S アセンブリ出力生成"), 24, 168, 206);
    CheckBox7 = box(QStringLiteral("-b enumをintとして扱う"), 24, 188, 206);
    CheckBox8 = box(QStringLiteral("-c コンパイルのみ"), 24, 208, 206);
    CheckBox9 = box(QStringLiteral("-p Pascal呼び出し"), 24, 228, 206);
    CheckBox10 = box(QStringLiteral("-w 警告表示"), 24, 248, 206);
    CheckBox11 = box(QStringLiteral("-gN N個の警告で中止"), 24, 268, 160);
    Label5 = label(QStringLiteral("N="), 188, 268, GroupBox3);
    Edit9 = edit({204, 268, 21, 17}, GroupBox3);
    CheckBox12 = box(QStringLiteral("-jN N個のエラーで中止"), 24, 288, 160);
    Label6 = label(QStringLiteral("N="), 188, 288, GroupBox3);
    Edit10 = edit({204, 288, 21, 17}, GroupBox3);

    CheckBox13 = box(QStringLiteral("-H 使用プリコンパイルヘッダ指定"), 256, 72, 240);
    Edit1 = edit({284, 88, 197, 17}, GroupBox3);
    CheckBox14 = box(QStringLiteral("-I includeディレクトリ指定"), 256, 112, 240);
    Edit2 = edit({284, 128, 197, 17}, GroupBox3);
    CheckBox15 = box(QStringLiteral("-L libraryディレクトリ指定"), 256, 152, 240);
    Edit3 = edit({284, 168, 197, 17}, GroupBox3);
    CheckBox16 = box(QStringLiteral("-T アセンブラオプション"), 256, 192, 240);
    Edit4 = edit({284, 208, 197, 17}, GroupBox3);
    CheckBox17 = box(QStringLiteral("-n 出力ディレクトリ"), 256, 232, 240);
    Edit5 = edit({284, 248, 197, 17}, GroupBox3);
    CheckBox18 = box(QStringLiteral("自分でオプションを記入"), 256, 272, 240);
    Edit = edit({284, 288, 197, 17}, GroupBox3);

    Button1 = button(QStringLiteral("初期状態（Ctrl-D）"), {104, 329, 105, 25}, TabSheet2);
}

void TForm2::createKeyHelpTab()
{
    const auto memo = [this](const QStringList& lines, const QRect& rect) {
        auto* m = new QTextEdit(TabSheet4);
        m->setGeometry(rect);
        m->setReadOnly(true);
        m->setAcceptRichText(false);
        QFont f = designFont(QStringLiteral("ＭＳ ゴシック"), 12);
        f.setStyleHint(QFont::TypeWriter);
        f.setFixedPitch(true);
        m->setFont(f);
        QPalette p = m->palette();
        p.setColor(QPalette::Base, p.color(QPalette::Button));
        m->setPalette(p);
        m->document()->setDocumentMargin(2);
        m->setPlainText(lines.join(u'\n'));
        // Lines as high as the font's size, as the tables were laid out for; the
        // fallback font's own line spacing would push the last lines out of view.
        QTextBlockFormat spacing;
        spacing.setLineHeight(12, QTextBlockFormat::FixedHeight);
        QTextCursor all(m->document());
        all.select(QTextCursor::Document);
        all.mergeBlockFormat(spacing);
        return m;
    };
    Memo1 = memo(functionKeyHelp(), {8, 4, 157, 333});
    Memo2 = memo(ctrlKeyHelp(), {176, 4, 329, 318});
}

std::array<QCheckBox*, 18> TForm2::checkBoxes() const
{
    return {CheckBox1,  CheckBox2,  CheckBox3,  CheckBox4,  CheckBox5,  CheckBox6,
            CheckBox7,  CheckBox8,  CheckBox9,  CheckBox10, CheckBox11, CheckBox12,
            CheckBox13, CheckBox14, CheckBox15, CheckBox16, CheckBox17, CheckBox18};
}

OptionControls TForm2::optionControls() const
{
    OptionControls c;
    c.instructions = RadioGroup1->ItemIndex();
    c.priority = RadioGroup2->ItemIndex();
    const auto boxes = checkBoxes();
    for (size_t k = 0; k < boxes.size(); ++k)
        c.checked[k] = boxes[k]->isChecked();
    const std::array<QLineEdit*, 5> values = {Edit1, Edit2, Edit3, Edit4, Edit5};
    for (size_t k = 0; k < values.size(); ++k)
        c.values[k] = values[k]->text();
    c.manual = Edit->text();
    c.countG = Edit9->text();
    c.countJ = Edit10->text();
    return c;
}

void TForm2::setOptionControls(const OptionControls& c)
{
    RadioGroup1->setItemIndex(c.instructions);
    RadioGroup2->setItemIndex(c.priority);
    const auto boxes = checkBoxes();
    for (size_t k = 0; k < boxes.size(); ++k)
        boxes[k]->setChecked(c.checked[k]);
    const std::array<QLineEdit*, 5> values = {Edit1, Edit2, Edit3, Edit4, Edit5};
    for (size_t k = 0; k < values.size(); ++k)
        values[k]->setText(c.values[k]);
    Edit->setText(c.manual);
    Edit9->setText(c.countG);
    Edit10->setText(c.countJ);
}

void TForm2::ApplyOptions()
{
    const int tabWidth = StrToInt(Edit6->text());
    // The restore at the next start keeps only this range: refuse the rest now.
    if (tabWidth < MinTabWidth || tabWidth > MaxTabWidth) {
        throw NollexError(QStringLiteral("タブ幅は %1 から %2 までの整数で指定してください")
                              .arg(MinTabWidth)
                              .arg(MaxTabWidth));
    }
    refuseBrokenCommandTexts();
    memos_.setTabWidth(tabWidth);
    // The counts come first inside the option part; a failing count stops the
    // apply before the compiler's folder and name change.
    nollex::ApplyOptions(optionControls(), state_.OptionSet);
    state_.CompilerDirectory = Edit7->text();
    state_.CompilerName = Edit8->text();
    state_.RunMode = AfterRun(RadioGroup3->ItemIndex());
    done(QDialog::Accepted);
}

// The build writes `cd "folder"` and `name options source > message.txt` into its
// batch file: a text that breaks either line would lose the messages, so it is
// refused while the user can still correct it.
void TForm2::refuseBrokenCommandTexts() const
{
    if (Edit7->text().contains(u'"'))
        throw NollexError(QStringLiteral("コンパイラフォルダには \" を使えません"));
    const auto refuse = [](const QString& what, const QString& text) {
        const QChar c = commandLineBreaker(text);
        if (c == u'"')
            throw NollexError(QStringLiteral("%1「%2」の \" が閉じていません").arg(what, text));
        if (!c.isNull())
            throw NollexError(QStringLiteral("%1「%2」の %3 は \" \" で囲んでください").arg(what, text, QString(c)));
    };
    refuse(QStringLiteral("コンパイラ名"), Edit8->text());
    for (const QString& text : commandLineTexts(optionControls()))
        refuse(QStringLiteral("オプション"), text);
}

void TForm2::LoadOptionsIntoDialog()
{
    const int tabWidth = memos_.TabWidth();
    Edit6->setText(QString::number(tabWidth));
    UpDown1->setPosition(tabWidth);
    Edit7->setText(state_.CompilerDirectory);
    Edit8->setText(state_.CompilerName);
    setOptionControls(state_.OptionBoxes);
    RadioGroup3->setItemIndex(int(state_.RunMode));
}

void TForm2::ResetDialogToDefaults()
{
    OptionControls c = optionControls();
    nollex::ResetDialogToDefaults(c);
    setOptionControls(c);
}

void TForm2::Button1Click()
{
    ResetDialogToDefaults();
}

void TForm2::Button2Click()
{
    ApplyOptions();
}

void TForm2::Button3Click()
{
    reject();
}

void TForm2::DefaultClick()
{
    ApplyOptions();
}

bool TForm2::FormKeyDown(int key)
{
    if (key != Qt::Key_Escape)
        return false;
    reject();
    return true;
}

void TForm2::FormClose()
{
    // The boxes show the set's switches after every closing; what the set does
    // not say (a count of 0, an unknown CPU text) stays as the boxes hold it.
    OptionControls shown = optionControls();
    nollex::LoadOptionsIntoDialog(state_.OptionSet, shown);
    state_.OptionBoxes = shown;
    LoadOptionsIntoDialog();
}

bool TForm2::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride)
        return QDialog::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QDialog::eventFilter(watched, event);

    auto* key = static_cast<QKeyEvent*>(event);
    if (key->keyCombination() == QKeyCombination(Qt::ControlModifier, Qt::Key_D)) {
        // Claim the key before an edit can take it; its press runs "Default".
        event->accept();
        if (type == QEvent::KeyPress)
            Default->trigger();
        return true;
    }
    if (type == QEvent::KeyPress) {
        bool used = false;
        guarded([&] { used = FormKeyDown(key->key()); });
        return used;
    }
    return QDialog::eventFilter(watched, event);
}

void TForm2::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        ShowError(dialogs_, textOfCurrentException());
    }
}

}  // namespace nollex
