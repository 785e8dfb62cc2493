#pragma once
// One debugging session: gdb in its machine interface as a child process, running
// the program on a terminal of its own, and what the window shows of it: where the
// program stopped, the call stack and a frame's variables. Everything here is
// asynchronous: commands go out with a token, and gdb's answers come back through
// the event loop.

#include "debug/MiFacts.h"

#include <QHash>
#include <QObject>
#include <QProcess>
#include <QSet>

#include <functional>

namespace nollex {

// A line of a source file, as gdb names it (a full path).
struct SourceLine {
    QString file;
    int line = 0;
    friend bool operator==(const SourceLine&, const SourceLine&) = default;
};

struct DebugVariable {
    QString path;        // the variable's name, then each member's, joined by '\n'
    QString name;
    QString value;
    QString type;
    bool changed = false;     // its value differs from the last time this frame was shown
    bool expandable = false;  // has members or elements
    bool expanded = false;
    bool more = false;        // members beyond those listed in children
    QList<DebugVariable> children;
};

// A frame's variables from its simple values (scalars have one) and its full values
// (every variable's text): which open to members, without the compiler's own.
QList<DebugVariable> frameVariables(const QList<VariableFacts>& simple, const QList<VariableFacts>& full);

// What the window shows while the program is stopped.
struct DebugView {
    StopFacts stop;  // why and where frame 0 stopped
    // Innermost first: at most the innermost hundred, and then the outermost once
    // the stack is counted (an endless recursion has a hundred thousand).
    QList<FrameFacts> frames;
    int depth = 0;          // how many frames the stack has; 0 while they are counted
    int frameLevel = 0;     // the frame whose variables are shown
    QList<DebugVariable> variables;
    // The listed frame of that level, or none.
    const FrameFacts* frame(int level) const;
    // How many frames between the innermost hundred and the outermost are not listed.
    int framesLeftOut() const { return depth > frames.size() ? depth - int(frames.size()) : 0; }
};

// How a session ended.
struct DebugEnd {
    int exitCode = -1;  // the program's exit status; -1 when it did not exit by itself
    int signal = 0;     // the signal that ended it, 0 when none
    QString error;      // why the session could not go on; empty when the program ended
};

class DebugSession : public QObject {
    Q_OBJECT
public:
    enum class State { Idle, Starting, Running, Stopped };

    struct Launch {
        QString gdb = QStringLiteral("gdb");
        QString program;   // the executable, full path
        QString folder;    // the program's current folder
        QString terminal;  // the terminal device for its input and output
        QList<SourceLine> breakpoints;
    };

    explicit DebugSession(QObject* parent = nullptr);
    ~DebugSession() override;

    // Starts gdb and runs the program to the first breakpoint, or to main's first
    // line when there is none.
    void start(const Launch& launch);
    State state() const { return state_; }
    bool active() const { return state_ != State::Idle; }
    const DebugView& view() const { return view_; }
    // The program's process id once it runs; 0 before and after.
    qint64 programPid() const { return programPid_; }

    // These act only while the program is stopped.
    void resume();
    void stepOver();
    void stepInto();
    void stepOut();
    void selectFrame(int level);
    void setExpanded(const QString& path, bool expanded);
    void showMore(const QString& path);

    // Sets or clears a breakpoint in the running session (at start they come with Launch).
    void setBreakpoint(const SourceLine& at, bool on);

    // Ends the program and gdb at once; nothing of either is left when it returns.
    void end();

signals:
    // The program stopped and view() is complete.
    void stopped();
    // The program runs again (the view is out of date until the next stop).
    void running();
    // view() changed while stopped: another frame, or members listed.
    void viewChanged();
    // The session is over: the program ended, or gdb failed.
    void ended(const DebugEnd& how);

private:
    using Reply = std::function<void(const MiRecord&)>;
    void send(const QString& command, Reply reply = {});
    void readOutput();
    void handle(const MiRecord& record);
    void onStopped(const MiRecord& record);
    void leaveSystemCode();
    void execute(const QString& command);
    void fetchView(bool newStop);
    void countFrames();
    void fetchVariables();
    void listExpanded();
    void listChildren(const QString& varobj, const QList<int>& where, int count);
    DebugVariable* variableAt(const QList<int>& where);
    void viewDone();
    void finish(const DebugEnd& how);
    QString frameOptions() const;
    QString frameKey() const;

    QProcess gdb_;
    State state_ = State::Idle;
    QByteArray pending_;
    qint64 nextToken_ = 1;
    QHash<qint64, Reply> replies_;
    qint64 programPid_ = 0;
    QString threadId_ = QStringLiteral("1");
    DebugView view_;
    int generation_ = 0;  // bumped at each stop and frame change: older answers are dropped
    int stops_ = 0;       // bumped at each stop and resume: the stack's count is of one stop
    int outstanding_ = 0;
    bool viewIsNewStop_ = false;
    bool countAfterStop_ = false;  // the stack is deeper than the frames listed
    QStringList varobjs_;
    QSet<QString> expanded_;
    QHash<QString, int> shownCount_;  // how many elements a path lists
    QHash<QString, QHash<QString, QString>> lastValues_;  // per frame: path -> value
    QHash<QString, int> breakpointNumbers_;  // "file\nline" -> gdb's number
    bool ending_ = false;
};

}  // namespace nollex
