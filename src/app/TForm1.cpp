#include "TForm1.h"

#include "Layout.h"
#include "PaneBorder.h"
#include "app/debug/DebugPanel.h"
#include "app/completion/CompletionAssist.h"
#include "app/edit/EditTools.h"
#include "app/samples/SampleRunner.h"
#include "app/journal/JournalKeeper.h"
#include "app/messages/MessagePane.h"
#include "app/runs/WatchedRun.h"
#include "compile/BatchFile.h"
#include "compile/BuildRunner.h"
#include "compile/CompilerSetup.h"
#include "editor/CaretPos.h"
#include "editor/FileCommands.h"
#include "editor/UndoToggle.h"
#include "explain/Explainer.h"
#include "explain/RunFault.h"
#include "options/TForm2.h"
#include "project/ProjectCommands.h"
#include "project/ProjectDefiner.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/Help.h"
#include "platform/QtWaiting.h"
#include "platform/ShowError.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFrame>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QTreeWidget>

namespace nollex {

namespace {

QFont designFont(const QString& family, int pixels, bool bold = false, bool italic = false)
{
    QFont f(family);
    f.setPixelSize(pixels);
    f.setBold(bold);
    f.setItalic(italic);
    return f;
}

// Narrows a caption that the fallback font makes wider than its button.
void fitCaption(QPushButton* button)
{
    QFont f = button->font();
    const int room = button->width() - 6;
    const int needed = QFontMetrics(f).horizontalAdvance(button->text());
    if (needed > room) {
        f.setStretch(std::max(50, room * 100 / needed));
        button->setFont(f);
    }
}

QIcon themeIcon()
{
    // The small picture beside "enNOLLEX": the two colours the theme brings.
    QPixmap pm(16, 16);
    pm.fill(colorFromBgr(0x0000B0));
    QPainter p(&pm);
    p.setPen(colorFromBgr(0x00FFFF));
    QFont f = p.font();
    f.setPixelSize(12);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, QStringLiteral("N"));
    return QIcon(pm);
}

}  // namespace

TForm1::TForm1(TForm1Deps deps, QWidget* parent) : QMainWindow(parent), deps_(std::move(deps))
{
    if (!deps_.processes)
        deps_.processes = std::make_shared<HostProcessStarter>(programFolder());
    if (!deps_.files)
        deps_.files = std::make_shared<HostFileSystem>();
    if (!deps_.waiting)
        deps_.waiting = std::make_shared<QtWaiting>(this);
    samples_ = std::make_unique<SampleRunner>(*this, State, this);
    edit_ = new EditTools(*this, State, this);
    complete_ = new CompletionAssist(*this, State, this);
    setWindowTitle(QStringLiteral("NOLLEX"));
    setFont(designFont(QStringLiteral("ＭＳ Ｐゴシック"), 12));
    createControls();
    messages_ = new MessagePane(*this, State, Memo2, this);
    run_ = new WatchedRun(*this, this);
    createMenus();
    journal_ = new JournalKeeper(*this, *Memo2, this);
    FormCreate();
    // The restore at the first showing fills the dialog's controls, so it exists first.
    form2_ = std::make_unique<TForm2>(State, *Memos, dialogs(), this);
    connect(form2_->Button4, &QPushButton::clicked, this, [this] {
        guarded([this] {
            CheckCompilerExists(form2_->Edit7->text(), form2_->Edit8->text(), *deps_.files, dialogs());
        });
    });
    connect(form2_->Button5, &QPushButton::clicked, this,
            [this] { guarded([this] { GenerateConfigFiles(form2_->Edit7->text(), *deps_.files); }); });
    form2_->Definer->setProgramFolder(programFolder());
    resize(565, 404 + menuBar()->sizeHint().height());
}

TForm1::~TForm1()
{
    qApp->removeEventFilter(this);
    samples_->stop(true);
    debug_->end(true);
    // Pages go before the controls that host them.
    Memos.reset();
}

void TForm1::createControls()
{
    Client = new QWidget(this);
    setCentralWidget(Client);
    Client->installEventFilter(this);
    createTitle();
    createButtons();
    createPanes();
}

void TForm1::createTitle()
{
    Panel1 = new QLabel(QStringLiteral("Ver2.01"), Client);
    Panel1->setGeometry(4, 4, 101, 29);
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel1->setLineWidth(3);
    Panel1->setFont(designFont(QStringLiteral("ＭＳ Ｐゴシック"), 20, true, true));
    setWidgetColors(Panel1, Qt::black, colorFromBgr(0xFFFF00));

    Label3 = new QLabel(QStringLiteral("Supporter for BorlandC++Compiler \"NOLLEX\""), Client);
    Label3->setGeometry(144, 0, 417, 17);
    Label3->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QFont title = designFont(QStringLiteral("ＭＳ 明朝"), 17, true);
    title.setUnderline(true);
    Label3->setFont(title);
    // The machine's fallback font is taller than the one the window was drawn for;
    // let the line show whole instead of cutting off its underline. The label
    // overlaps the tab row then, so it must not swallow clicks meant for the tabs.
    Label3->resize(417, std::max(17, QFontMetrics(title).height()));
    Label3->setAttribute(Qt::WA_TransparentForMouseEvents);
    QPalette lp = Label3->palette();
    lp.setColor(QPalette::WindowText, colorFromBgr(0x000080));
    Label3->setPalette(lp);
}

void TForm1::createButtons()
{
    const struct {
        QPushButton** button;
        const char16_t* caption;
        QRect rect;
        void (TForm1::*handler)();
    } buttons[] = {
        {&Button1, u"Execute（実行）", {4, 44, 97, 25}, &TForm1::Button1Click},
        {&Button2, u"Make(出力)", {4, 76, 97, 25}, &TForm1::Button2Click},
        {&Button3, u"__out.exe（再実行）", {4, 108, 97, 25}, &TForm1::Button3Click},
        {&Button4, u"Bgcolor(背景)", {8, 140, 89, 25}, &TForm1::Button4Click},
        {&Button5, u"Font（文字）", {8, 168, 89, 25}, &TForm1::Button5Click},
        {&Button6, u"MS-DOS", {8, 196, 89, 25}, &TForm1::Button6Click},
    };
    for (const auto& b : buttons) {
        *b.button = new QPushButton(QString::fromUtf16(b.caption), Client);
        (*b.button)->setGeometry(b.rect);
        (*b.button)->setFocusPolicy(Qt::TabFocus);
        fitCaption(*b.button);
        auto handler = b.handler;
        connect(*b.button, &QPushButton::clicked, this, [this, handler] {
            guarded([this, handler] { (this->*handler)(); });
        });
    }

}

void TForm1::createPanes()
{
    auto makeBevel = [this](int top) {
        auto* bevel = new QFrame(Client);
        bevel->setGeometry(4, top, 101, 33);
        bevel->setFrameStyle(QFrame::Panel | QFrame::Raised);
        return bevel;
    };
    auto makeCaretLabel = [this](const QString& text, int top) {
        auto* label = new QLabel(text, Client);
        label->setGeometry(8, top, 93, 25);
        label->setFont(designFont(QStringLiteral("ＭＳ 明朝"), 24, true));
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, Qt::black);
        label->setPalette(p);
        return label;
    };
    Bevel1 = makeBevel(228);
    Label1 = makeCaretLabel(QStringLiteral("行:1"), 232);
    Bevel2 = makeBevel(268);
    Label2 = makeCaretLabel(QStringLiteral("桁:1"), 272);

    PageControl1 = new TPageControl(Client);
    PageControl1->setGeometry(108, 20, 457, 285);
    connect(PageControl1, &TPageControl::changing, this,
            [this] { guarded([this] { PageControl1Changing(); }); });
    connect(PageControl1, &TPageControl::changed, this,
            [this] { guarded([this] { PageControl1Change(); }); });

    Memo2 = new QPlainTextEdit(Client);
    Memo2->setGeometry(0, 308, 565, 77);
    Memo2->setReadOnly(true);
    // A caret the keys move, so that Enter can follow the line it is on.
    Memo2->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont mono = designFont(QStringLiteral("ＭＳ ゴシック"), 11);
    mono.setStyleHint(QFont::TypeWriter);
    mono.setFixedPitch(true);
    Memo2->setFont(mono);
    setWidgetColors(Memo2, colorFromBgr(0x808000), Qt::white);

    debug_ = new DebugPanel(*this, State, Client, this);

    // Dragged, the panes keep the height it gives them, across restarts too.
    PaneBorder1 = new PaneBorder(
        Client,
        [this](int top) {
            messageHeight_ = messageHeightAt(Client->height(), top);
            FormResize();
        },
        [this] {
            messageHeight_ = 0;
            FormResize();
        });

    StatusBar1 = new QStatusBar(Client);
    StatusBar1->setGeometry(0, 385, 565, 19);
    StatusPanel0 = new QLabel(StatusBar1);
    StatusBar1->addWidget(StatusPanel0, 1);
}

QAction* TForm1::menuItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                          void (TForm1::*handler)())
{
    auto* action = new QAction(caption, this);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // Shortcuts work wherever the focus is in the window.
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    if (handler) {
        connect(action, &QAction::triggered, this,
                [this, handler] { guarded([this, handler] { (this->*handler)(); }); });
    }
    menu->addAction(action);
    return action;
}

void TForm1::createMenus()
{
    createFileMenu();
    createEditMenus();
    createDebugMenu();
    createOptionMenus();
    createPageMenu();
    createPageKeys();
    qApp->installEventFilter(this);
}

void TForm1::createDebugMenu()
{
    using K = QKeySequence;
    QMenu* debug = menuBar()->addMenu(QStringLiteral("Debug（デバッグ）"));
    Breakpoint1 = menuItem(debug, QStringLiteral("Breakpoint（ブレークポイント）"), K(Qt::Key_F4),
                           &TForm1::Breakpoint1Click);
    debug->addSeparator();
    DebugRun1 = menuItem(debug, QStringLiteral("Start / Continue（開始・続行）"), K(Qt::Key_F5), &TForm1::DebugRun1Click);
    DebugStop1 = menuItem(debug, QStringLiteral("Stop（終了）"), K(Qt::SHIFT | Qt::Key_F5), &TForm1::DebugStop1Click);
    debug->addSeparator();
    StepOver1 = menuItem(debug, QStringLiteral("Step Over（次の行へ）"), K(Qt::Key_F7), &TForm1::StepOver1Click);
    StepInto1 = menuItem(debug, QStringLiteral("Step Into（関数の中へ）"), K(Qt::SHIFT | Qt::Key_F7),
                         &TForm1::StepInto1Click);
    StepOut1 = menuItem(debug, QStringLiteral("Step Out（関数から出る）"), K(Qt::CTRL | Qt::Key_F7),
                        &TForm1::StepOut1Click);
}

void TForm1::createPageKeys()
{
    using K = QKeySequence;
    // Shift+Tab arrives as Backtab, so both spellings are bound.
    const QList<K> next = {K(Qt::CTRL | Qt::Key_Tab), K(Qt::CTRL | Qt::Key_PageDown)};
    const QList<K> previous = {K(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), K(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                               K(Qt::CTRL | Qt::Key_PageUp)};
    const struct {
        QAction** action;
        QList<K> keys;
        int step;
    } pageKeys[] = {{&NextPage, next, +1}, {&PreviousPage, previous, -1}};
    for (const auto& p : pageKeys) {
        *p.action = new QAction(this);
        (*p.action)->setShortcuts(p.keys);
        (*p.action)->setShortcutContext(Qt::WindowShortcut);
        addAction(*p.action);
        const int step = p.step;
        connect(*p.action, &QAction::triggered, this, [this, step] { guarded([this, step] { stepPage(step); }); });
    }
}

void TForm1::stepPage(int step)
{
    // As a click on the tab, then into the page, which shows its place and its
    // file in the caption wherever the focus was.
    PageControl1->selectNeighbour(step);
    Memos->ActiveMemo()->setFocus(Qt::TabFocusReason);
}

void TForm1::createFileMenu()
{
    using K = QKeySequence;
    QMenu* file = menuBar()->addMenu(QStringLiteral("File(&F)"));
    Open1 = menuItem(file, QStringLiteral("Open"), K(Qt::CTRL | Qt::Key_O), &TForm1::Open1Click);
    Close1 = menuItem(file, QStringLiteral("Close"), K(Qt::CTRL | Qt::Key_Delete),
                      &TForm1::Close1Click);
    file->addSeparator();
    // Alt+O would clash with the Option menu's access key; the key filter below
    // gives it to "Project Open", so the item only shows it.
    ProjectOpen1 = menuItem(file, QStringLiteral("Project Open"), K(), &TForm1::ProjectOpen1Click);
    ProjectOpen1->setShortcut(K(Qt::ALT | Qt::Key_O));
    ProjectOpen1->setShortcutContext(Qt::WidgetShortcut);
    ProjectClose1 = menuItem(file, QStringLiteral("Project Close"), K(Qt::ALT | Qt::Key_Delete),
                             &TForm1::ProjectClose1Click);
    file->addSeparator();
    Save1 = menuItem(file, QStringLiteral("Save"), K(Qt::CTRL | Qt::Key_S), &TForm1::Save1Click);
    Saveas1 = menuItem(file, QStringLiteral("Save As"), K(Qt::CTRL | Qt::Key_A),
                       &TForm1::Saveas1Click);
    file->addSeparator();
    New1 = menuItem(file, QStringLiteral("New"), K(Qt::CTRL | Qt::Key_N), &TForm1::New1Click);
    file->addSeparator();
    Exit1 = menuItem(file, QStringLiteral("Exit"), K(Qt::ALT | Qt::Key_F4), &TForm1::Exit1Click);
}

void TForm1::createEditMenus()
{
    using K = QKeySequence;
    QMenuBar* bar = menuBar();
    QMenu* edit = bar->addMenu(QStringLiteral("Edit(&E)"));
    Find1 = menuItem(edit, QStringLiteral("Find"), K(Qt::CTRL | Qt::Key_F), &TForm1::Find1Click);
    FindAgainDownward = menuItem(edit, QStringLiteral("Find Again Downward"),
                                 K(Qt::CTRL | Qt::Key_L), &TForm1::FindAgainDownwardClick);
    FindAgainUpward1 = menuItem(edit, QStringLiteral("Find Again Upward"), K(Qt::CTRL | Qt::Key_H),
                                &TForm1::FindAgainUpward1Click);
    edit->addSeparator();
    Replace1 = menuItem(edit, QStringLiteral("Replace"), K(Qt::CTRL | Qt::Key_R), &TForm1::Replace1Click);
    Format1 = menuItem(edit, QStringLiteral("Format（整形）"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_F), &TForm1::Format1Click);
    edit->addSeparator();
    Undo1 = menuItem(edit, QStringLiteral("Undo"), K(Qt::CTRL | Qt::Key_U), &TForm1::Undo1Click);

    QMenu* compile = bar->addMenu(QStringLiteral("Compile(&C)"));
    Execute1 = menuItem(compile, QStringLiteral("Execute"), K(Qt::Key_F9), &TForm1::Execute1Click);
    Make1 = menuItem(compile, QStringLiteral("Make"), K(Qt::CTRL | Qt::Key_F9), &TForm1::Make1Click);
    outexe1 = menuItem(compile, QStringLiteral("__out.exe"), K(Qt::SHIFT | Qt::Key_F9),
                       &TForm1::outexe1Click);
    DosPrompt1 = menuItem(compile, QStringLiteral("Dos Prompt"), K(Qt::CTRL | Qt::Key_D),
                          &TForm1::DosPrompt1Click);
    compile->addSeparator();
    SampleRun1 = menuItem(compile, QStringLiteral("Sample Run（テスト実行）"), K(Qt::Key_F6), &TForm1::SampleRun1Click);
    AddSample1 = menuItem(compile, QStringLiteral("Add Sample（ケース追加）"), K(), &TForm1::AddSample1Click);
    SampleNumbers1 = menuItem(compile, QStringLiteral("Sample Numbers ±1e-6（数の誤差を許す）"), K(),
                              &TForm1::SampleNumbers1Click);
    SampleNumbers1->setCheckable(true);
    compile->addSeparator();
    NextMessage1 = menuItem(compile, QStringLiteral("Next Message（次のメッセージ）"), K(Qt::Key_F8),
                            &TForm1::NextMessage1Click);
    PreviousMessage1 = menuItem(compile, QStringLiteral("Previous Message（前のメッセージ）"),
                                K(Qt::SHIFT | Qt::Key_F8), &TForm1::PreviousMessage1Click);
}

void TForm1::createOptionMenus()
{
    using K = QKeySequence;
    QMenuBar* bar = menuBar();
    QMenu* option = bar->addMenu(QStringLiteral("Option(&O)"));
    Configuration1 = menuItem(option, QStringLiteral("Configuration"), K(Qt::Key_F10),
                              &TForm1::Configuration1Click);
    option->addSeparator();
    BgColor1 = menuItem(option, QStringLiteral("BgColor"), K(), &TForm1::BgColor1Click);
    Font1 = menuItem(option, QStringLiteral("FontColor"), K(), &TForm1::Font1Click);
    option->addSeparator();
    Makefontbigger1 = menuItem(option, QStringLiteral("Make font bigger"),
                               K(Qt::CTRL | Qt::Key_BracketRight), &TForm1::Makefontbigger1Click);
    Makefontsmaller1 = menuItem(option, QStringLiteral("Make font smaller"),
                                K(Qt::CTRL | Qt::Key_BracketLeft), &TForm1::Makefontsmaller1Click);
    option->addSeparator();
    enNOLLEX1 = menuItem(option, QStringLiteral("enNOLLEX"), K(Qt::Key_F11),
                         &TForm1::enNOLLEX1Click);
    enNOLLEX1->setIcon(themeIcon());
    option->addSeparator();
    Colouring1 = menuItem(option, QStringLiteral("Colouring（色分け）"), K(), &TForm1::Colouring1Click);
    LineNumbers1 =
        menuItem(option, QStringLiteral("Line Numbers（行番号）"), K(), &TForm1::LineNumbers1Click);
    Completion1 = menuItem(option, QStringLiteral("Completion（入力補完）"), K(), &TForm1::Completion1Click);
    option->addSeparator();
    GuardedRun1 = menuItem(option, QStringLiteral("Guarded Run（実行時チェック）"), K(), &TForm1::GuardedRun1Click);
    for (QAction* a : {Colouring1, LineNumbers1, Completion1, GuardedRun1}) {
        a->setCheckable(true);
        a->setChecked(true);
    }

    QMenu* help = bar->addMenu(QStringLiteral("Help(&H)"));
    Version1 = menuItem(help, QStringLiteral("Version"), K(), &TForm1::Version1Click);
    Manual1 = menuItem(help, QStringLiteral("Manual"), K(Qt::Key_F1), &TForm1::Manual1Click);
}

void TForm1::createPageMenu()
{
    PopupMenu1 = new QMenu(this);
    const struct {
        const char* caption;
        void (TForm1::*handler)();
    } popup[] = {{"Open", &TForm1::Open1Click},   {"Close", &TForm1::Close1Click},
                 {nullptr, nullptr},              {"Save", &TForm1::Save1Click},
                 {"Save As", &TForm1::Saveas1Click}, {nullptr, nullptr},
                 {"New", &TForm1::New1Click},     {"Exit", &TForm1::Exit1Click}};
    for (const auto& item : popup) {
        if (!item.caption)
            PopupMenu1->addSeparator();
        else
            menuItem(PopupMenu1, QString::fromLatin1(item.caption), QKeySequence(), item.handler);
    }
}

FileCommands TForm1::fileCommands()
{
    return FileCommands(State, *this);
}

ProjectCommands TForm1::projectCommands()
{
    return ProjectCommands(State, *this);
}

void TForm1::wireEditor(TCustomizedMemo* editor)
{
    editor->PopupMenu = PopupMenu1;
    journal_->watch(editor);
    debug_->watchBreakpoints(editor);
    complete_->watch(editor);
    connect(editor, &TCustomizedMemo::entered, this, [this] { guarded([this] { MemoEnter(); }); });
    connect(editor, &TCustomizedMemo::keyDown, this, [this] { guarded([this] { MemoKeyDown(); }); });
    connect(editor, &TCustomizedMemo::keyUp, this, [this] { guarded([this] { MemoKeyUp(); }); });
    connect(editor, &TCustomizedMemo::mouseDown, this,
            [this] { guarded([this] { MemoMouseDown(); }); });
    connect(editor, &TCustomizedMemo::fontStepRequested, this, [this](int delta) {
        guarded([this, delta] { delta > 0 ? Makefontbigger1Click() : Makefontsmaller1Click(); });
    });
    // A large page wraps in the background; the line label follows it.
    connect(editor, &TCustomizedMemo::wrapProgressed, this, [this, editor] {
        if (Memos && Memos->ActiveMemo() == editor)
            guarded([this] { ShowCaretPos(); });
    });
    // Every key a window command has belongs to the window, not to the page.
    QList<QKeySequence> keys;
    for (QAction* a : actions())
        keys += a->shortcuts();
    editor->releaseKeys(keys);
}

void TForm1::guarded(const std::function<void()>& handler)
{
    try {
        handler();
    } catch (...) {
        ShowError(dialogs(), textOfCurrentException());
    }
}

// ---------------------------------------------------------------- window events

void TForm1::FormCreate()
{
    setAcceptDrops(true);
    State = WindowState{};
    Memos = std::make_unique<TMemos>(this, PageControl1,
                                     [this](TCustomizedMemo* e) { wireEditor(e); });
    // The stand-in compiler sits beside the program.
    State.CompilerDirectory = QDir::cleanPath(programFolder());
}

// A per-user settings folder that is not private to the user is neither read
// (another user could have planted a compiler folder there) nor written.
void TForm1::refuseUntrustedSettingsFolder() const
{
    if (folders().isPerUser(folders().settings)) {
        if (const std::optional<QString> problem = checkPrivateFolder(folders().settings))
            throw NollexError(*problem);
    }
}

void TForm1::FormShow()
{
    refuseUntrustedSettingsFolder();
    if (!restoreSettings(settingsFilePath(folders().settings), State, *this))
        return;
    form2_->LoadOptionsIntoDialog();
    FontDialog1 = pageFont(*Memos);
    showEditorSwitches();
    applyPlace(State.Place);
}

// Still unshown at the first showing: the window appears where it was.
void TForm1::applyPlace(const WindowPlace& place)
{
    messageHeight_ = place.messageHeight;
    if (place.geometry.isValid()) {
        QList<QRect> screens;
        for (const QScreen* screen : QGuiApplication::screens())
            screens << screen->availableGeometry();
        setGeometry(placeOnScreens(place.geometry, screens));
    }
    if (place.maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    FormResize();
}

WindowPlace TForm1::currentPlace() const
{
    const bool maximized = isMaximized();
    const QRect normal = normalGeometry();
    return {maximized && normal.isValid() ? normal : geometry(), maximized, messageHeight_};
}

void TForm1::FormResize()
{
    const bool debugPanes = debug_ && debug_->panesShown();
    const MainLayout l =
        computeMainLayout(Client->width(), Client->height(), Label3->width(), debugPanes, messageHeight_);
    PageControl1->setGeometry(l.pageControl);
    Memos->FitPages();
    Memo2->setGeometry(l.memo2);
    PaneBorder1->setGeometry(l.paneBorder);
    if (debugPanes)
        debug_->placePanes(l.variables, l.callStack);
    Label3->move(l.label3Left, Label3->y());
    StatusBar1->setGeometry(l.statusBar);
    update();
}

bool TForm1::FormCloseQuery()
{
    return fileCommands().mayCloseWindow();
}

void TForm1::FormClose()
{
    refuseUntrustedSettingsFolder();
    State.Place = currentPlace();
    saveSettings(settingsFilePath(folders().settings), State, *this);
}

void TForm1::WMDropFiles(const QStringList& paths)
{
    activateWindow();
    raise();
    fileCommands().drop(paths);
}

void TForm1::FormActivate()
{
    journal_->checkFilesOnDisk();
}

void TForm1::PageControl1Changing()
{
    Memos->LayoutPages();
}

void TForm1::PageControl1Change()
{
    Memos->LayoutPages();
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!shown_) {
        shown_ = true;
        guarded([this] { FormShow(); });
        // Also when the settings were not read: typed text comes back either way.
        guarded([this] { journal_->restore(); });
    }
}

void TForm1::closeEvent(QCloseEvent* event)
{
    bool mayClose = false;
    guarded([&] { mayClose = FormCloseQuery(); });
    if (!mayClose) {
        event->ignore();
        return;
    }
    try {
        FormClose();
    } catch (...) {
        // The settings could not be written: say why, then let the user choose
        // between closing without them and staying (a later close tries again).
        // Without the choice a read-only Nollex.ini would keep the window forever.
        ShowError(dialogs(), textOfCurrentException());
        if (dialogs().message(QStringLiteral("Nollex"), kCloseWithoutSettingsQuestion, MsgButtons::YesNo,
                              MsgIcon::None) != MsgAnswer::Yes) {
            event->ignore();
            return;
        }
    }
    // The exit question's answers are carried out: what was not saved goes as asked.
    guarded([this] { journal_->close(); });
    event->accept();
}

namespace {

// The files a drag carries; empty for text (a drag within or between pages).
QStringList droppedFiles(const QMimeData* data)
{
    QStringList paths;
    if (data && data->hasUrls()) {
        for (const QUrl& url : data->urls()) {
            if (url.isLocalFile())
                paths << url.toLocalFile();
        }
    }
    return paths;
}

}  // namespace

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent* event)
{
    const QStringList paths = droppedFiles(event->mimeData());
    event->acceptProposedAction();
    guarded([&] { WMDropFiles(paths); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Client && event->type() == QEvent::Resize) {
        guarded([this] { FormResize(); });
        return false;
    }
    // Files dragged over any part of the window, a page or the message pane
    // included, take the window's drop path: an editor would type their addresses.
    const QEvent::Type type = event->type();
    if (type == QEvent::DragEnter || type == QEvent::DragMove || type == QEvent::Drop) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* drop = static_cast<QDropEvent*>(event);
        if (widget && widget != this && widget->window() == this && !droppedFiles(drop->mimeData()).isEmpty()) {
            if (type == QEvent::Drop)
                dropEvent(drop);
            else
                drop->acceptProposedAction();
            return true;
        }
    }
    // A double-click on a message line, or Enter on it, leads to the place it names.
    if (Memo2 && watched == Memo2->viewport() && type == QEvent::MouseButtonDblClick) {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        const int line = Memo2->cursorForPosition(at).blockNumber();
        bool jumped = false;
        guarded([&] { jumped = JumpToMessage(line); });
        return jumped;
    }
    if (Memo2 && watched == Memo2 && type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            guarded([this] { JumpToMessage(Memo2->textCursor().blockNumber()); });
            return true;
        }
    }
    // Alt+O is "Project Open" in this window, ahead of the Option menu's access key.
    if (event->type() == QEvent::ShortcutOverride || event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        auto* widget = qobject_cast<QWidget*>(watched);
        if (key->keyCombination() == QKeyCombination(Qt::AltModifier, Qt::Key_O) && widget &&
            widget->window() == this) {
            event->accept();
            if (event->type() == QEvent::KeyPress)
                ProjectOpen1->trigger();
            return true;
        }
    }
    // Queued: the activation finishes before a question may show.
    if (watched == this && type == QEvent::WindowActivate)
        QTimer::singleShot(0, this, [this] { guarded([this] { FormActivate(); }); });
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------- main-window steps

void TForm1::ShowCaretPos()
{
    TCustomizedMemo* memo = Memos->ActiveMemo();
    if (!memo)
        return;
    const CaretPos pos = caretPosition(*memo);
    Label1->setText(QStringLiteral("行:") + QString::number(pos.line));
    Label2->setText(QStringLiteral("桁:") + QString::number(pos.column));
}

void TForm1::MemoEnter()
{
    ShowCaretPos();
    setMainCaption(Memos->fileName(Memos->ActiveIndex()));
}

void TForm1::setMainCaption(const QString& x)
{
    setWindowTitle(QStringLiteral("Nollex < ") + x + QStringLiteral(" >"));
    captionPage_ = Memos->ActiveMemo();
}

void TForm1::captionFollowsActivePage()
{
    if (Memos->ActiveMemo() != captionPage_)
        setMainCaption(Memos->fileName(Memos->ActiveIndex()));
}

void TForm1::setStatusText(const QString& text)
{
    StatusPanel0->setText(text);
}

void TForm1::setMessages(const QString& text)
{
    openingLines_.clear();
    messages_->showMessages(text);
}

// ---------------------------------------------------------------- the message pane and the watched run

void TForm1::NextMessage1Click() { messages_->stepMessage(1); }
void TForm1::PreviousMessage1Click() { messages_->stepMessage(-1); }
void TForm1::appendMessages(const QStringList& lines, const std::optional<MessagePlace>& place)
{
    messages_->appendMessages(lines, place);
}
void TForm1::explainOnPage(const MessagePlace& place, const QString& text) { messages_->explainOnPage(place, text); }
const Explainer& TForm1::explainer() { return messages_->explainer(); }
BuiltPage TForm1::builtPageFacts() const { return messages_->builtPageFacts(); }
int TForm1::placePage(const QString& file) { return messages_->placePage(file); }
QStringList TForm1::watchRun(bool consoleCloses) { return run_->watch(consoleCloses); }
bool TForm1::runsFolderReady() const { return run_->folderReady(); }

bool TForm1::JumpToMessage(int line)
{
    if (const auto opening = openingLines_.constFind(line); opening != openingLines_.constEnd()) {
        const std::function<void()> open = *opening;  // what it runs may change the pane
        open();
        return true;
    }
    return messages_->jumpTo(line);
}

void TForm1::writeActivePage(const QString& path)
{
    builtPage_ = Memos->ActiveMemo();
    builtSource_ = path;
    const int active = Memos->ActiveIndex();
    // A scratch copy tells the compiler whose lines it holds; Make writes the page itself.
    const QString own = Memos->fileName(active);
    const QString text = Memos->editor(active)->toPlainText();
    writeTextFile(path, files().sameEntry(path, own) ? text : scratchCopyText(own, text), Memos->format(active));
}

// ---------------------------------------------------------------- commands
// Commands whose subsystems are not built yet do nothing.

void TForm1::Open1Click() { fileCommands().open(); }
void TForm1::Close1Click() { fileCommands().close(); }
void TForm1::ProjectOpen1Click() { projectCommands().openFromDialog(); }
void TForm1::ProjectClose1Click() { projectCommands().close(); }
void TForm1::Save1Click() { SavePage(SaveMode::Save); }
void TForm1::Saveas1Click() { SavePage(SaveMode::SaveAs); }
void TForm1::New1Click() { fileCommands().newPage(); }
void TForm1::Exit1Click() { close(); }
void TForm1::Find1Click() { FindString(FindDirection::Ask); }
void TForm1::FindAgainDownwardClick() { FindString(FindDirection::Down); }
void TForm1::FindAgainUpward1Click() { FindString(FindDirection::Up); }
void TForm1::Undo1Click() { undoLastEdit(*Memos->ActiveMemo()); }
void TForm1::Replace1Click() { edit_->showReplace(); }
void TForm1::Format1Click() { edit_->format(); }
void TForm1::Execute1Click() { RunBuild(BuildMode::Execute); }
void TForm1::Make1Click() { RunBuild(BuildMode::Make); }
void TForm1::outexe1Click() { RerunOutput(); }
void TForm1::DosPrompt1Click() { OpenDosPrompt(); }
void TForm1::Breakpoint1Click() { debug_->toggleBreakpoint(); }
void TForm1::DebugRun1Click() { debug_->runOrContinue(); }
void TForm1::DebugStop1Click() { debug_->stop(); }
void TForm1::StepOver1Click() { debug_->stepOver(); }
void TForm1::StepInto1Click() { debug_->stepInto(); }
void TForm1::StepOut1Click() { debug_->stepOut(); }
void TForm1::debugProgram(const QString& program) { debug_->debugProgram(program); }
QString TForm1::signalText(int signal) { return explainer().signalText(signal); }
void TForm1::Configuration1Click() { form2_->exec(); }
void TForm1::BgColor1Click()
{
    if (const std::optional<QColor> color = dialogs().color(ColorDialog1)) {
        ColorDialog1 = *color;
        Memos->setColor(*color);
        if (offerReadable(*color, Memos->FontColor(), true)) {
            Memos->setFontColor(*readableAgainst(*color, Memos->FontColor()));
            FontDialog1 = pageFont(*Memos);
        }
    }
}
void TForm1::Font1Click()
{
    const std::optional<FontChoice> choice =
        dialogs().font(FontDialog1, [this](const FontChoice& c) { FontDialog1Apply(c); });
    if (!choice)
        return;
    FontDialog1Apply(*choice);
    // Asked once the dialog is closed, not at each Apply.
    if (offerReadable(Memos->FontColor(), Memos->Color(), false))
        Memos->setColor(*readableAgainst(Memos->FontColor(), Memos->Color()));
}

bool TForm1::offerReadable(const QColor& chosen, const QColor& other, bool fontChanges)
{
    const std::optional<QColor> readable = readableAgainst(chosen, other);
    return readable && dialogs().message(QStringLiteral("Nollex"), readableColourQuestion(fontChanges, *readable),
                                         MsgButtons::YesNo, MsgIcon::None) == MsgAnswer::Yes;
}

void TForm1::FontDialog1Apply(const FontChoice& choice)
{
    FontDialog1 = choice;
    setPageFont(*Memos, choice);
}
void TForm1::Makefontbigger1Click()
{
    stepFontSize(*Memos, +1);
    FontDialog1 = pageFont(*Memos);
}
void TForm1::Makefontsmaller1Click()
{
    stepFontSize(*Memos, -1);
    FontDialog1 = pageFont(*Memos);
}
void TForm1::enNOLLEX1Click()
{
    ThemeActive = !ThemeActive;
    applyTheme({Client, Label1, Label2, Label3, Memo2, Panel1, enNOLLEX1},
               themeLook(ThemeActive, QApplication::palette().color(QPalette::Button)));
}
void TForm1::Colouring1Click()
{
    Memos->setColouring(!Memos->Colouring());
    showEditorSwitches();
}
void TForm1::LineNumbers1Click()
{
    Memos->setLineNumbers(!Memos->LineNumbers());
    showEditorSwitches();
}
void TForm1::GuardedRun1Click()
{
    State.GuardedRun = !State.GuardedRun;
    showEditorSwitches();
}
void TForm1::Completion1Click() { complete_->toggle(); }
void TForm1::showEditorSwitches()
{
    Colouring1->setChecked(Memos->Colouring());
    LineNumbers1->setChecked(Memos->LineNumbers());
    GuardedRun1->setChecked(State.GuardedRun);
    Completion1->setChecked(State.Completion);
    SampleNumbers1->setChecked(State.SampleNumbersWithin);
}
void TForm1::Version1Click()
{
    dialogs().message(QStringLiteral("Version Info"), versionText(), MsgButtons::Ok, MsgIcon::None);
}
void TForm1::Manual1Click()
{
    ShowManual(programFolder() + QStringLiteral("manual/index.html"), this);
}

bool TForm1::SavePage(SaveMode mode) { return fileCommands().savePage(mode); }
void TForm1::OpenProject(const QString& path) { projectCommands().open(path); }
void TForm1::FindString(FindDirection d)
{
    runFind(*Memos->ActiveMemo(), State.SearchText, d, dialogs(), findText_);
}
void TForm1::RunBuild(BuildMode mode)
{
    // A build replaces the program the cases run.
    samples_->stop(true);
    // A project's build shows each page it asks about; while its question has the
    // focus no page entry tells the caption, which then still names the last page
    // asked about, not the one left active.
    const bool project = State.ProjectMainIndex != -1;
    try {
        nollex::RunBuild(State, *this, mode);
    } catch (...) {
        if (project)
            captionFollowsActivePage();
        throw;
    }
    if (project)
        captionFollowsActivePage();
}
void TForm1::RerunOutput() { nollex::RerunOutput(State, *this); }
void TForm1::OpenDosPrompt() { nollex::OpenDosPrompt(*this); }

// ---------------------------------------------------------------- the sample runs (SampleRunner)

void TForm1::SampleRun1Click() { samples_->runOrStop(); }
void TForm1::AddSample1Click() { samples_->addSample(); }
void TForm1::SampleNumbers1Click() { samples_->toggleNumbersWithin(); }
void TForm1::runSamples(const QString& program) { samples_->run(program); }
QStringList TForm1::watchedRunEnvironment(const QString& stem) { return runEnvironment(stem); }
RunFault TForm1::watchedRunFault(const QString& stem, const RunRecord& record)
{
    return readRunFault(explainer(), stem, record, builtPageFacts());
}
void TForm1::addOpeningMessage(const QString& line, std::function<void()> open)
{
    appendMessages({line}, std::nullopt);
    openingLines_.insert(Memo2->document()->blockCount() - 1, open);
}

}  // namespace nollex
