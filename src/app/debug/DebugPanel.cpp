// The debugger's commands, the session's stops and ends shown in the pages, the
// panes and the status line; the console's side is in DebugConsole.cpp.
#include "app/debug/DebugRun.h"

#include "app/debug/DebugPanes.h"
#include "compile/MessagePlace.h"
#include "editor/TMemos.h"
#include "state/WindowHost.h"

#include <QFileInfo>

#include <csignal>

namespace nollex {

DebugPanel::DebugPanel(WindowHost& host, WindowState& state, QWidget* paneParent, QObject* parent)
    : QObject(parent), host_(host), state_(state), panes_(new DebugPanes(paneParent, this))
{
    connect(panes_, &DebugPanes::expandedChanged, this, [this](const QString& path, bool expanded) {
        if (DebugSession* s = session())
            s->setExpanded(path, expanded);
    });
    connect(panes_, &DebugPanes::moreWanted, this, [this](const QString& path) {
        if (DebugSession* s = session())
            s->showMore(path);
    });
    connect(panes_, &DebugPanes::frameChosen, this, [this](int level) {
        if (DebugSession* s = session())
            s->selectFrame(level);
    });
}

DebugPanel::~DebugPanel() = default;

bool DebugPanel::debugging() const
{
    return run_ && (run_->session->active() || run_->consoleTimer.isActive());
}

DebugSession* DebugPanel::session() const
{
    return run_ ? run_->session : nullptr;
}

bool DebugPanel::panesShown() const { return panes_->shown(); }
void DebugPanel::placePanes(const QRect& variables, const QRect& callStack) { panes_->place(variables, callStack); }
QTreeWidget* DebugPanel::variables() const { return panes_->variables(); }
QTreeWidget* DebugPanel::callStack() const { return panes_->callStack(); }

void DebugPanel::toggleBreakpoint()
{
    TCustomizedMemo* page = host_.pages().ActiveMemo();
    int line = 0, index = 0;
    page->getCursorPosition(&line, &index);
    page->toggleBreakpoint(line + 1);
}

void DebugPanel::runOrContinue()
{
    if (run_ && run_->session->state() == DebugSession::State::Stopped) {
        if (!run_->edited) {
            run_->session->resume();
            return;
        }
        // The page was edited: the program is built again from the new text.
        end(true);
    } else if (debugging()) {
        return;  // it runs (or starts): F5 waits for it to stop
    }
    if (gdbProgram().isEmpty()) {
        host_.setMessages(QStringLiteral("デバッガ gdb が見つかりません。gdb パッケージをインストールしてください"
                                         "（sudo apt install gdb）"));
        return;
    }
    host_.RunBuild(BuildMode::Debug);
}

void DebugPanel::stop()
{
    if (debugging())
        end(true);
}

void DebugPanel::stepOver()
{
    if (DebugSession* s = session())
        s->stepOver();
}

void DebugPanel::stepInto()
{
    if (DebugSession* s = session())
        s->stepInto();
}

void DebugPanel::stepOut()
{
    if (DebugSession* s = session())
        s->stepOut();
}

// What the window shows of the session, and the edits that make its program old.
void DebugPanel::watchSession()
{
    DebugSession* s = run_->session;
    connect(s, &DebugSession::stopped, this, [this] {
        host_.guarded([this] {
            showStop();
            explainSignal();
        });
    });
    connect(s, &DebugSession::viewChanged, this, [this] {
        host_.guarded([this] {
            // Members listed leave the page where the user has it; another frame moves it.
            if (run_->session->view().frameLevel == run_->shownFrame)
                showFrames();  // counted
            else
                showStop();
        });
    });
    connect(s, &DebugSession::running, this, [this] {
        showStatus();
        greyStop();
    });
    connect(s, &DebugSession::ended, this,
            [this](const DebugEnd& how) { host_.guarded([this, how] { showEnd(how); }); });
    // The running program is the text built: an edit from here on makes it old.
    TMemos& pages = host_.pages();
    for (int i = 0; i <= pages.LastIndex(); ++i) {
        run_->watches << connect(pages.editor(i), &QsciScintilla::textChanged, this, [this] {
            if (run_ && !run_->edited) {
                run_->edited = true;
                showStatus();
            }
        });
    }
}

void DebugPanel::greyStop()
{
    TMemos& pages = host_.pages();
    for (int i = 0; i <= pages.LastIndex(); ++i) {
        TCustomizedMemo* editor = pages.editor(i);
        if (const int line = editor->stoppedLine(); line > 0)
            editor->setStoppedLine(line, true);
    }
    panes_->grey();
}

QString DebugPanel::gdbFile(const TCustomizedMemo* page, int index) const
{
    // The scratch copy tells the compiler its lines are the page's file; an untitled
    // page's are the scratch copy's own.
    const QString own = host_.pages().fileName(index);
    return own.isEmpty() && page == host_.builtPage() ? host_.builtSource() : own;
}

QList<SourceLine> DebugPanel::breakpoints() const
{
    QList<SourceLine> all;
    TMemos& pages = host_.pages();
    for (int i = 0; i <= pages.LastIndex(); ++i) {
        TCustomizedMemo* page = pages.editor(i);
        const QString file = gdbFile(page, i);
        if (file.isEmpty())
            continue;
        for (const int line : page->breakpointLines())
            all.append({file, line});
    }
    return all;
}

void DebugPanel::watchBreakpoints(TCustomizedMemo* editor)
{
    connect(editor, &TCustomizedMemo::breakpointToggled, this, [this, editor](int line, bool on) {
        DebugSession* s = session();
        if (!s || !s->active())
            return;
        const QString file = gdbFile(editor, host_.pages().indexOf(editor));
        if (!file.isEmpty())
            s->setBreakpoint({file, line}, on);
    });
}

void DebugPanel::showStop()
{
    const DebugView& view = run_->session->view();
    if (view.stop.signal == SIGHUP) {
        // The console window was closed under the program: nothing is left to debug.
        end(true);
        host_.setStatusText(QStringLiteral("コンソールウィンドウが閉じられたので、デバッグを終了しました"));
        return;
    }
    TMemos& pages = host_.pages();
    for (int i = 0; i <= pages.LastIndex(); ++i)
        pages.editor(i)->setStoppedLine(0);
    run_->shownFrame = view.frameLevel;
    const FrameFacts* frame = view.frame(view.frameLevel);
    if (frame && frame->line > 0) {
        const int page = host_.placePage(frame->fullname);
        if (page >= 0) {
            pages.setActiveIndex(page);
            TCustomizedMemo* editor = pages.editor(page);
            editor->setStoppedLine(frame->line);
            editor->setCursorPosition(frame->line - 1, 0);
            editor->ensureLineVisible(frame->line - 1);
            host_.ShowCaretPos();
        }
    }
    showFrames();
    showStatus();
}

// A crash is told as a guarded run's fault is: in the message pane, leading to the
// line, and under the line itself.
void DebugPanel::explainSignal()
{
    if (!run_ || run_->session->view().stop.signal == 0)
        return;
    const DebugView& view = run_->session->view();
    const QString text = host_.signalText(view.stop.signal);
    const FrameFacts frame = view.frame(view.frameLevel) ? *view.frame(view.frameLevel) : FrameFacts{};
    if (text.isEmpty() || frame.line <= 0)
        return;
    const int page = host_.placePage(frame.fullname);
    TMemos& pages = host_.pages();
    const QString name = QFileInfo(page >= 0 ? pages.fileName(page) : frame.file).fileName();
    host_.appendMessages(
        {QStringLiteral("%1 %2 行目でプログラムが止まりました。%3").arg(name).arg(frame.line).arg(text).trimmed()},
        MessagePlace{frame.fullname, frame.line, 0, MessageKind::Error});
    if (page >= 0) {
        pages.editor(page)->addMark(TCustomizedMemo::MarkKind::Error, frame.line, -1);
        pages.editor(page)->addExplanation(TCustomizedMemo::MarkKind::Error, frame.line, text);
    }
}

void DebugPanel::showStatus()
{
    if (!run_)
        return;
    QString text;
    const DebugView& view = run_->session->view();
    if (run_->session->state() != DebugSession::State::Stopped)
        text = QStringLiteral("デバッグ中：プログラムが動いています（Shift+F5 で終了）");
    else if (view.stop.signal != 0)
        text = QStringLiteral("プログラムが止まりました。") + host_.signalText(view.stop.signal);
    else
        text = QStringLiteral("%1 行目で止まっています（F5 続行、F7 次の行へ、Shift+F7 関数の中へ、Ctrl+F7 関数から出る）")
                   .arg(view.frame(view.frameLevel) ? view.frame(view.frameLevel)->line : 0);
    if (run_->edited) {
        text = QStringLiteral("ページが変更されました。動いているのは変更前のプログラムです（止まっているときに F5 で作り直します）。") +
               text;
    }
    host_.setStatusText(text);
}

void DebugPanel::showFrames()
{
    const DebugView& view = run_->session->view();
    panes_->showVariables(view);
    TMemos& pages = host_.pages();
    const QStringList pageFiles = pages.fileNames();
    const int built = pages.indexOf(host_.builtPage());
    const QString builtSource = host_.builtSource();
    // A frame of a page is named as the page is, the scratch copy as its page.
    panes_->showCallStack(view, [&](const FrameFacts& frame) {
        const int page = pageForMessageFile(frame.fullname, builtSource, built, pageFiles, host_.files());
        return QFileInfo(page >= 0 ? pageFiles[page] : frame.file).fileName();
    });
}

void DebugPanel::showEnd(const DebugEnd& how)
{
    QString text;
    if (!how.error.isEmpty())
        text = QStringLiteral("デバッグを続けられません：") + how.error;
    else if (how.signal != 0)
        text = QStringLiteral("プログラムはシグナルで終了しました。") + host_.signalText(how.signal);
    else if (how.exitCode >= 0)
        text = QStringLiteral("プログラムは終了しました（終了コード %1）").arg(how.exitCode);
    else
        text = QStringLiteral("デバッグを終了しました");
    const bool programEnded = how.error.isEmpty() && (how.signal != 0 || how.exitCode >= 0);
    close(programEnded);
    host_.setStatusText(text);
    if (!how.error.isEmpty())
        host_.appendMessages({text}, std::nullopt);
}

void DebugPanel::end(bool closeConsole)
{
    if (!run_)
        return;
    run_->consoleTimer.stop();
    {
        const QSignalBlocker quiet(run_->session);
        run_->session->end();
    }
    close(!closeConsole);
    host_.setStatusText(QStringLiteral("デバッグを終了しました"));
}

void DebugPanel::showPanes(bool on)
{
    panes_->setShown(on);
    host_.FormResize();
}

}  // namespace nollex
