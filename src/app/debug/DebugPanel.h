#pragma once
// The debugger in the window: F5 builds the active page for gdb and runs it in a
// console of its own; while it is stopped the page shows the line and the panes
// the frame's variables and the call stack. Breakpoints are the pages' markers.
// It knows the window through WindowHost.

#include <QList>
#include <QObject>
#include <memory>

class QRect;
class QTreeWidget;
class QWidget;

namespace nollex {

class DebugPanes;
class DebugSession;
class TCustomizedMemo;
class WindowHost;
struct DebugEnd;
struct SourceLine;
struct WindowState;

class DebugPanel : public QObject {
    Q_OBJECT
public:
    // The panes are made in paneParent, hidden until a session starts.
    DebugPanel(WindowHost& host, WindowState& state, QWidget* paneParent, QObject* parent);
    ~DebugPanel() override;

    // The Debug menu's commands.
    void toggleBreakpoint();  // F4: on the caret's line
    void runOrContinue();     // F5: start, or continue when stopped
    void stop();              // Shift+F5
    void stepOver();
    void stepInto();
    void stepOut();

    // Runs the program just built under the debugger.
    void debugProgram(const QString& program);
    // The page's breakpoints are set and cleared in the running session too.
    void watchBreakpoints(TCustomizedMemo* editor);
    void end(bool closeConsole);  // at once, the program and gdb with it

    bool debugging() const;  // a session runs, stops or starts
    DebugSession* session() const;  // null when none
    bool panesShown() const;
    void placePanes(const QRect& variables, const QRect& callStack);
    QTreeWidget* variables() const;
    QTreeWidget* callStack() const;

private:
    struct Run;
    void startConsole(Run& run);
    void watchSession();
    void pollConsole();
    void readKeys();
    void greyStop();
    QString gdbFile(const TCustomizedMemo* page, int index) const;  // the file gdb knows the page by
    QList<SourceLine> breakpoints() const;
    void showStop();
    void showStatus();
    void explainSignal();
    void showFrames();
    void showEnd(const DebugEnd& how);
    void close(bool programEnded);
    void showPanes(bool on);

    WindowHost& host_;
    WindowState& state_;
    DebugPanes* panes_;
    std::unique_ptr<Run> run_;
};

}  // namespace nollex
