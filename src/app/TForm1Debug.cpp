// The debugger in the page: F5 builds the active page for gdb and runs it in a
// console of its own; while it is stopped the page shows the line, the 「変数」
// pane the frame's variables and the 「呼び出し」 list the call stack. Breakpoints
// are the pages' markers.
#include "app/TForm1.h"

#include "build/BatchFile.h"
#include "build/MessagePlace.h"

#include "DebugRun.h"
#include "explain/Explainer.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <csignal>
#include <sys/types.h>

namespace nollex {

namespace {

// How long the debugged program's console may take to open.
constexpr int kConsoleWaitMs = 10000;

// Where a variable's tree item keeps its path, and what an item that lists more stands for.
constexpr int kPathRole = Qt::UserRole;
constexpr int kMoreRole = Qt::UserRole + 1;
// Where a call stack's row keeps its frame's level (-1: the row of frames left out).
constexpr int kLevelRole = Qt::UserRole;

// How often the debugger's keys typed in the program's console are looked for.
constexpr int kKeysPollMs = 50;

// Whether process pid is still the console of the session announced in ready: its
// id may have gone to another process since.
bool isSessionConsole(qint64 pid, const QString& ready)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (pid <= 0 || !cmdline.open(QIODevice::ReadOnly))
        return false;
    const QList<QByteArray> words = cmdline.readAll().split('\0');
    return words.size() > 1 && words[0].endsWith("nollex-console") && words[1] == QFile::encodeName(ready);
}

// Greys what a stop showed: the program runs on from there.
void greyItems(QTreeWidget* tree)
{
    const QColor grey = tree->palette().color(QPalette::Disabled, QPalette::Text);
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        for (int column = 0; column < tree->columnCount(); ++column)
            (*it)->setForeground(column, grey);
    }
}

// The debugger: NOLLEX_GDB names another than the gdb on PATH.
QString gdbProgram()
{
    const QString named = qEnvironmentVariable("NOLLEX_GDB");
    if (named.isEmpty())
        return QStandardPaths::findExecutable(QStringLiteral("gdb"));
    return QFileInfo(named).isExecutable() ? named : QString();
}

}  // namespace


bool TForm1::debugging() const
{
    return debug_ && (debug_->session->active() || debug_->consoleTimer.isActive());
}

DebugSession* TForm1::debugSession() const
{
    return debug_ ? debug_->session : nullptr;
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

void TForm1::createDebugPanes()
{
    Variables = new QTreeWidget(Client);
    Variables->setColumnCount(3);
    Variables->setHeaderLabels({QStringLiteral("変数"), QStringLiteral("値"), QStringLiteral("型")});
    Variables->setUniformRowHeights(true);
    // The value takes what the name and the type leave.
    Variables->header()->setStretchLastSection(false);
    Variables->header()->setSectionResizeMode(1, QHeaderView::Stretch);
    Variables->setColumnWidth(0, 64);
    Variables->setColumnWidth(2, 64);
    Variables->hide();
    connect(Variables, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (DebugSession* s = debugSession())
            s->setExpanded(item->data(0, kPathRole).toString(), true);
    });
    connect(Variables, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* item) {
        if (DebugSession* s = debugSession())
            s->setExpanded(item->data(0, kPathRole).toString(), false);
    });
    connect(Variables, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (DebugSession* s = debugSession(); s && item->data(0, kMoreRole).toBool())
            s->showMore(item->data(0, kPathRole).toString());
    });

    CallStack = new QTreeWidget(Client);
    CallStack->setColumnCount(2);
    CallStack->setHeaderLabels({QStringLiteral("呼び出し"), QStringLiteral("場所")});
    CallStack->setRootIsDecorated(false);
    CallStack->setColumnWidth(0, 70);
    CallStack->hide();
    connect(CallStack, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (DebugSession* s = debugSession(); s && item->data(0, kLevelRole).toInt() >= 0)
            s->selectFrame(item->data(0, kLevelRole).toInt());
    });
}

void TForm1::Breakpoint1Click()
{
    TCustomizedMemo* page = Memos->ActiveMemo();
    int line = 0, index = 0;
    page->getCursorPosition(&line, &index);
    page->toggleBreakpoint(line + 1);
}

void TForm1::DebugRun1Click()
{
    if (debug_ && debug_->session->state() == DebugSession::State::Stopped) {
        if (!debug_->edited) {
            debug_->session->resume();
            return;
        }
        // The page was edited: the program is built again from the new text.
        endDebugging(true);
    } else if (debugging()) {
        return;  // it runs (or starts): F5 waits for it to stop
    }
    if (gdbProgram().isEmpty()) {
        setMessages(QStringLiteral("デバッガ gdb が見つかりません。gdb パッケージをインストールしてください"
                                   "（sudo apt install gdb）"));
        return;
    }
    RunBuild(BuildMode::Debug);
}

void TForm1::DebugStop1Click()
{
    if (debugging())
        endDebugging(true);
}

void TForm1::StepOver1Click()
{
    if (DebugSession* s = debugSession())
        s->stepOver();
}

void TForm1::StepInto1Click()
{
    if (DebugSession* s = debugSession())
        s->stepInto();
}

void TForm1::StepOut1Click()
{
    if (DebugSession* s = debugSession())
        s->stepOut();
}

void TForm1::debugProgram(const QString& program)
{
    endDebugging(true);
    if (!runsFolderReady())
        throw NollexError(QStringLiteral("デバッグに使うフォルダ \"%1\" を用意できません").arg(folders().runs));
    debug_ = std::make_unique<DebugRun>(this);
    DebugRun& run = *debug_;
    run.program = program;
    // A name of the session's own: a console that comes late finds no keys file and
    // ends, taking its file with it, and never another session's.
    static int sessions = 0;
    run.ready = folders().runs +
                QStringLiteral("debug-%1-%2.tty").arg(QCoreApplication::applicationPid()).arg(++sessions);
    run.keys = run.ready + QStringLiteral(".keys");
    files().remove(run.ready);
    if (const std::optional<QString> error = files().writeFile(run.keys, {})) {
        debug_.reset();
        throw NollexError(*error);
    }
    watchDebugSession();
    // The console writes its terminal's name when it is ready; the program runs there.
    const QString after = State.RunMode == AfterRun::CloseConsole ? QStringLiteral("close") : QStringLiteral("wait");
    int started = 0;
    try {
        started = processes().start({QStringLiteral("nollex-console %1 %2 %3")
                                         .arg(commandWord(run.ready))
                                         .arg(QCoreApplication::applicationPid())
                                         .arg(after),
                                     State.WorkFolder, true, false, {}});
    } catch (...) {
        files().remove(run.keys);
        debug_.reset();
        throw;
    }
    if (started != 0) {
        files().remove(run.keys);
        debug_.reset();
        throw NollexError(QStringLiteral("デバッグ用のコンソール nollex-console を起動できません（%1）").arg(started));
    }
    run.consoleTimer.setInterval(20);
    connect(&run.consoleTimer, &QTimer::timeout, this, [this] { guarded([this] { pollDebugConsole(); }); });
    run.consoleTimer.start();
    run.keysTimer.setInterval(kKeysPollMs);
    connect(&run.keysTimer, &QTimer::timeout, this, [this] { guarded([this] { readDebugKeys(); }); });
    run.keysTimer.start();
    setStatusText(QStringLiteral("デバッグを始めています…"));
    showDebugPanes(true);
}

// What the window shows of the session, and the edits that make its program old.
void TForm1::watchDebugSession()
{
    connect(debug_->session, &DebugSession::stopped, this, [this] {
        guarded([this] {
            showDebugStop();
            explainDebugSignal();
        });
    });
    connect(debug_->session, &DebugSession::viewChanged, this, [this] {
        guarded([this] {
            // Members listed leave the page where the user has it; another frame moves it.
            const DebugView& view = debug_->session->view();
            if (view.frameLevel == debug_->shownFrame) {
                showDebugVariables(view);
                showCallStack(view);  // counted
            } else {
                showDebugStop();
            }
        });
    });
    connect(debug_->session, &DebugSession::running, this, [this] {
        showDebugStatus();
        greyDebugStop();
    });
    connect(debug_->session, &DebugSession::ended, this,
            [this](const DebugEnd& how) { guarded([this, how] { showDebugEnd(how); }); });
    // The running program is the text built: an edit from here on makes it old.
    for (int i = 0; i <= Memos->LastIndex(); ++i) {
        debug_->watches << connect(Memos->editor(i), &QsciScintilla::textChanged, this, [this] {
            if (debug_ && !debug_->edited) {
                debug_->edited = true;
                showDebugStatus();
            }
        });
    }
}

void TForm1::pollDebugConsole()
{
    DebugRun& run = *debug_;
    run.waitedMs += run.consoleTimer.interval();
    QFile ready(run.ready);
    if (!ready.open(QIODevice::ReadOnly)) {
        if (run.waitedMs >= kConsoleWaitMs) {
            run.consoleTimer.stop();
            endDebugging(false);
            setStatusText(QStringLiteral("デバッグするプログラムのコンソールウィンドウが開きませんでした"));
        }
        return;
    }
    run.consoleTimer.stop();
    const QList<QByteArray> lines = ready.readAll().split('\n');
    ready.close();
    files().remove(run.ready);
    const QString terminal = QString::fromLocal8Bit(lines.value(0));
    run.consolePid = lines.value(1).toLongLong();
    DebugSession::Launch launch;
    launch.gdb = gdbProgram();
    launch.program = run.program;
    launch.folder = State.WorkFolder;
    launch.terminal = terminal;
    launch.breakpoints = debugBreakpoints();
    run.session->start(launch);
}

// The debugger's keys typed in the program's console act as in the window.
void TForm1::readDebugKeys()
{
    const DebugRun* run = debug_.get();
    QFile file(run->keys);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= run->keysRead || !file.seek(run->keysRead))
        return;
    const QByteArray bytes = file.readAll();
    const qsizetype whole = bytes.lastIndexOf('\n') + 1;  // a line still being written waits
    debug_->keysRead += whole;
    using Handler = void (TForm1::*)();
    static const QHash<QByteArray, Handler> handlers = {
        {"F4", &TForm1::Breakpoint1Click}, {"F5", &TForm1::DebugRun1Click},  {"S-F5", &TForm1::DebugStop1Click},
        {"F7", &TForm1::StepOver1Click},   {"S-F7", &TForm1::StepInto1Click}, {"C-F7", &TForm1::StepOut1Click},
    };
    for (const QByteArray& key : bytes.first(whole).split('\n')) {
        if (const auto handler = handlers.constFind(key); handler != handlers.constEnd()) {
            (this->**handler)();
            if (debug_.get() != run)  // the session ended, or another began
                return;
        }
    }
}

void TForm1::greyDebugStop()
{
    for (int i = 0; i <= Memos->LastIndex(); ++i) {
        TCustomizedMemo* editor = Memos->editor(i);
        if (const int line = editor->stoppedLine(); line > 0)
            editor->setStoppedLine(line, true);
    }
    greyItems(Variables);
    greyItems(CallStack);
}

QList<SourceLine> TForm1::debugBreakpoints() const
{
    QList<SourceLine> all;
    for (int i = 0; i <= Memos->LastIndex(); ++i) {
        TCustomizedMemo* page = Memos->editor(i);
        // The built page was compiled from its scratch copy: that is the file gdb knows.
        const QString file = page == builtPage_ ? builtSource_ : Memos->fileName(i);
        if (file.isEmpty())
            continue;
        for (const int line : page->breakpointLines())
            all.append({file, line});
    }
    return all;
}

void TForm1::watchBreakpoints(TCustomizedMemo* editor)
{
    connect(editor, &TCustomizedMemo::breakpointToggled, this, [this, editor](int line, bool on) {
        DebugSession* s = debugSession();
        if (!s || !s->active())
            return;
        const QString file = editor == builtPage_ ? builtSource_ : Memos->fileName(Memos->indexOf(editor));
        if (!file.isEmpty())
            s->setBreakpoint({file, line}, on);
    });
}

void TForm1::showDebugStop()
{
    const DebugView& view = debug_->session->view();
    if (view.stop.signal == SIGHUP) {
        // The console window was closed under the program: nothing is left to debug.
        endDebugging(true);
        setStatusText(QStringLiteral("コンソールウィンドウが閉じられたので、デバッグを終了しました"));
        return;
    }
    for (int i = 0; i <= Memos->LastIndex(); ++i)
        Memos->editor(i)->setStoppedLine(0);
    debug_->shownFrame = view.frameLevel;
    const FrameFacts* frame = view.frame(view.frameLevel);
    if (frame && frame->line > 0) {
        const int page = placePage(frame->fullname);
        if (page >= 0) {
            Memos->setActiveIndex(page);
            TCustomizedMemo* editor = Memos->editor(page);
            editor->setStoppedLine(frame->line);
            editor->setCursorPosition(frame->line - 1, 0);
            editor->ensureLineVisible(frame->line - 1);
            ShowCaretPos();
        }
    }
    showDebugVariables(view);
    showCallStack(view);
    showDebugStatus();
}

// A crash is told as a guarded run's fault is: in the pane, leading to the line,
// and under the line itself.
void TForm1::explainDebugSignal()
{
    if (!debug_ || debug_->session->view().stop.signal == 0)
        return;
    const DebugView& view = debug_->session->view();
    const QString text = explainer().signalText(view.stop.signal);
    const FrameFacts frame = view.frame(view.frameLevel) ? *view.frame(view.frameLevel) : FrameFacts{};
    if (text.isEmpty() || frame.line <= 0)
        return;
    const int page = placePage(frame.fullname);
    const QString name = QFileInfo(page >= 0 ? Memos->fileName(page) : frame.file).fileName();
    appendMessages({QStringLiteral("%1 %2 行目でプログラムが止まりました。%3").arg(name).arg(frame.line).arg(text).trimmed()},
                   MessagePlace{frame.fullname, frame.line, 0, MessageKind::Error});
    if (page >= 0) {
        Memos->editor(page)->addMark(TCustomizedMemo::MarkKind::Error, frame.line, -1);
        Memos->editor(page)->addExplanation(TCustomizedMemo::MarkKind::Error, frame.line, text);
    }
}

void TForm1::showDebugStatus()
{
    if (!debug_)
        return;
    QString text;
    const DebugView& view = debug_->session->view();
    if (debug_->session->state() != DebugSession::State::Stopped)
        text = QStringLiteral("デバッグ中：プログラムが動いています（Shift+F5 で終了）");
    else if (view.stop.signal != 0)
        text = QStringLiteral("プログラムが止まりました。") + explainer().signalText(view.stop.signal);
    else
        text = QStringLiteral("%1 行目で止まっています（F5 続行、F7 次の行へ、Shift+F7 関数の中へ、Ctrl+F7 関数から出る）")
                   .arg(view.frame(view.frameLevel) ? view.frame(view.frameLevel)->line : 0);
    if (debug_->edited) {
        text = QStringLiteral("ページが変更されました。動いているのは変更前のプログラムです（止まっているときに F5 で作り直します）。") +
               text;
    }
    setStatusText(text);
}

namespace {

void addVariableItems(QTreeWidgetItem* parent, QTreeWidget* tree, const QList<DebugVariable>& list,
                      const DebugVariable* owner)
{
    const auto add = [&](QTreeWidgetItem* item) {
        if (parent)
            parent->addChild(item);
        else
            tree->addTopLevelItem(item);
    };
    for (const DebugVariable& v : list) {
        auto* item = new QTreeWidgetItem({v.name, v.value, v.type});
        item->setData(0, kPathRole, v.path);
        item->setToolTip(1, v.value);
        if (v.changed) {
            QFont bold = item->font(1);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
            item->setForeground(1, QColor(0xD0, 0x20, 0x20));
        }
        if (v.expandable)
            item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        add(item);
        addVariableItems(item, tree, v.children, &v);
        if (v.expanded)
            item->setExpanded(true);
    }
    if (owner && owner->more) {
        auto* more = new QTreeWidgetItem({QStringLiteral("…"), QStringLiteral("（ダブルクリックでさらに表示）")});
        more->setData(0, kPathRole, owner->path);
        more->setData(0, kMoreRole, true);
        add(more);
    }
}

}  // namespace

void TForm1::showDebugVariables(const DebugView& view)
{
    const int scrolled = Variables->verticalScrollBar()->value();
    const QSignalBlocker quiet(Variables);  // expanding items here is no user's request
    Variables->setUpdatesEnabled(false);
    Variables->clear();
    addVariableItems(nullptr, Variables, view.variables, nullptr);
    Variables->setUpdatesEnabled(true);
    Variables->verticalScrollBar()->setValue(scrolled);
}

void TForm1::showCallStack(const DebugView& view)
{
    CallStack->clear();
    const QStringList pageFiles = Memos->fileNames();
    // Between the innermost hundred and the outermost: how many are left out.
    const auto addLeftOut = [&](int count) {
        auto* row = new QTreeWidgetItem({count > 0 ? QStringLiteral("… %1 個の呼び出しを省略").arg(count)
                                                   : QStringLiteral("…（呼び出しを数えています）")});
        row->setData(0, kLevelRole, -1);
        CallStack->addTopLevelItem(row);
    };
    for (const FrameFacts& frame : view.frames) {
        if (view.framesLeftOut() > 0 && &frame == &view.frames.back())
            addLeftOut(view.framesLeftOut());
        // A frame of a page is named as the page is, the scratch copy as its page.
        const int page = pageForMessageFile(frame.fullname, builtSource_, Memos->indexOf(builtPage_), pageFiles, files());
        const QString file = QFileInfo(page >= 0 ? pageFiles[page] : frame.file).fileName();
        auto* item = new QTreeWidgetItem(
            {frame.func, frame.line > 0 ? QStringLiteral("%1:%2").arg(file).arg(frame.line) : QString()});
        item->setData(0, kLevelRole, frame.level);
        if (frame.level == view.frameLevel) {
            QFont bold = item->font(0);
            bold.setBold(true);
            item->setFont(0, bold);
            item->setFont(1, bold);
        }
        CallStack->addTopLevelItem(item);
    }
    if (view.depth == 0 && !view.frames.isEmpty())
        addLeftOut(0);
}

void TForm1::showDebugEnd(const DebugEnd& how)
{
    QString text;
    if (!how.error.isEmpty())
        text = QStringLiteral("デバッグを続けられません：") + how.error;
    else if (how.signal != 0)
        text = QStringLiteral("プログラムはシグナルで終了しました。") + explainer().signalText(how.signal);
    else if (how.exitCode >= 0)
        text = QStringLiteral("プログラムは終了しました（終了コード %1）").arg(how.exitCode);
    else
        text = QStringLiteral("デバッグを終了しました");
    const bool programEnded = how.error.isEmpty() && (how.signal != 0 || how.exitCode >= 0);
    closeDebugging(programEnded);
    setStatusText(text);
    if (!how.error.isEmpty())
        appendMessages({text}, std::nullopt);
}

void TForm1::endDebugging(bool closeConsole)
{
    if (!debug_)
        return;
    debug_->consoleTimer.stop();
    {
        const QSignalBlocker quiet(debug_->session);
        debug_->session->end();
    }
    closeDebugging(!closeConsole);
    setStatusText(QStringLiteral("デバッグを終了しました"));
}

// The marks and panes go; the console is told the program ended (it then closes or
// waits as the options say) or is closed.
void TForm1::closeDebugging(bool programEnded)
{
    if (!debug_)
        return;
    if (isSessionConsole(debug_->consolePid, debug_->ready))
        ::kill(pid_t(debug_->consolePid), programEnded ? SIGUSR1 : SIGTERM);
    // Without its keys file a console that still relays ends by itself, even one not
    // yet heard of; after the signal, so that one told of the program's end can wait.
    files().remove(debug_->keys);
    files().remove(debug_->ready);
    for (const QMetaObject::Connection& c : std::as_const(debug_->watches))
        disconnect(c);
    debug_.reset();
    for (int i = 0; i <= Memos->LastIndex(); ++i)
        Memos->editor(i)->setStoppedLine(0);
    showDebugPanes(false);
}

void TForm1::showDebugPanes(bool on)
{
    Variables->clear();
    CallStack->clear();
    Variables->setVisible(on);
    CallStack->setVisible(on);
    FormResize();
}

}  // namespace nollex
