#include "debug/DebugSession.h"

#include <QLoggingCategory>

#include <algorithm>
#include <csignal>
#include <sys/types.h>

namespace nollex {

namespace {

// QT_LOGGING_RULES="nollex.gdb.debug=true" shows what goes to gdb and back.
Q_LOGGING_CATEGORY(lcGdb, "nollex.gdb", QtWarningMsg)

// A line of gdb's output can be long (a big value), but not without end: past this
// a line is dropped rather than held.
constexpr qsizetype MaxLine = qsizetype{64} * 1024 * 1024;

// How many members or elements a variable lists before "more".
constexpr int ListStep = 100;

// How many of the innermost frames the call stack lists (the outermost comes too).
constexpr int ShownFrames = 100;

// The system's own sources (the library's headers; the C library's, which gdb names
// relative to where it was built): never a page.
bool isUserSource(const QString& fullname)
{
    return fullname.startsWith(u'/') && !fullname.startsWith(QStringLiteral("/usr/"));
}

QString breakpointKey(const SourceLine& at)
{
    return at.file + u'\n' + QString::number(at.line);
}

QString location(const SourceLine& at)
{
    return miQuoted(at.file + u':' + QString::number(at.line));
}

// A C++ class's members come under pseudo-members named after their access.
bool isAccessGroup(const MiValue& child)
{
    const QString exp = child.string(u"exp");
    return !child.field(u"type") &&
           (exp == u"public" || exp == u"private" || exp == u"protected");
}

}  // namespace

DebugSession::DebugSession(QObject* parent) : QObject(parent)
{
    gdb_.setProcessChannelMode(QProcess::MergedChannels);
    connect(&gdb_, &QProcess::readyReadStandardOutput, this, &DebugSession::readOutput);
    connect(&gdb_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart && state_ != State::Idle) {
            finish({-1, 0,
                    QStringLiteral("デバッガ gdb を起動できません。gdb パッケージをインストールしてください"
                                   "（sudo apt install gdb）")});
        }
    });
    connect(&gdb_, &QProcess::finished, this, [this] {
        if (state_ != State::Idle && !ending_)
            finish({-1, 0, QStringLiteral("デバッガ gdb が途中で終了しました")});
    });
}

DebugSession::~DebugSession()
{
    blockSignals(true);  // the window that listens may be going too
    end();
}

void DebugSession::start(const Launch& launch)
{
    if (state_ != State::Idle)
        return;
    state_ = State::Starting;
    ending_ = false;
    pending_.clear();
    replies_.clear();
    programPid_ = 0;
    view_ = {};
    varobjs_.clear();
    breakpointNumbers_.clear();
    gdb_.setWorkingDirectory(launch.folder);
    gdb_.start(launch.gdb, {QStringLiteral("--interpreter=mi3"), QStringLiteral("--nx"), QStringLiteral("-q")});
    if (state_ == State::Idle)  // it failed to start, and said so
        return;
    // Commands from a window, never a terminal; the program may fork, and only the
    // parent is followed; a step never goes into the system's headers.
    for (const char* setting : {"-gdb-set mi-async on", "-gdb-set startup-with-shell off", "-gdb-set confirm off",
                                // A value shows one level of members: a big nested
                                // container would keep gdb busy for minutes.
                                "-gdb-set print elements 100", "-gdb-set print max-depth 1",
                                "-enable-pretty-printing",
                                "-interpreter-exec console \"skip -gfi /usr/*\""})
        send(QString::fromLatin1(setting));
    const auto failed = [this](const MiRecord& r) {
        if (r.cls == u"error")
            finish({-1, 0, r.results.string(u"msg")});
    };
    send(QStringLiteral("-file-exec-and-symbols ") + miQuoted(launch.program), failed);
    if (!launch.terminal.isEmpty())
        send(QStringLiteral("-inferior-tty-set ") + miQuoted(launch.terminal));
    for (const SourceLine& at : launch.breakpoints)
        setBreakpoint(at, true);
    if (launch.breakpoints.isEmpty())
        send(QStringLiteral("-break-insert -t main"));
    send(QStringLiteral("-exec-run"), [this, failed](const MiRecord& r) {
        if (r.cls == u"running" && state_ == State::Starting)
            state_ = State::Running;
        failed(r);
    });
}

void DebugSession::send(const QString& command, Reply reply)
{
    const qint64 token = nextToken_++;
    if (reply)
        replies_.emplace(token, std::move(reply));
    gdb_.write(QByteArray::number(token) + command.toUtf8() + '\n');
    qCDebug(lcGdb) << ">>" << token << command;
}

void DebugSession::readOutput()
{
    pending_ += gdb_.readAllStandardOutput();
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = pending_.indexOf('\n', start);
        if (end < 0)
            break;
        QByteArrayView line(pending_.constData() + start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty() || line == "(gdb) ")
            continue;
        qCDebug(lcGdb) << "<<" << line.first(std::min<qsizetype>(line.size(), 300));
        handle(parseMiLine(QString::fromUtf8(line)));
        if (state_ == State::Idle)  // the session ended on that line
            return;
    }
    pending_.remove(0, start);
    if (pending_.size() > MaxLine)
        pending_.clear();
}

void DebugSession::handle(const MiRecord& record)
{
    switch (record.kind) {
    case MiKind::Result:
        if (const auto reply = replies_.find(record.token); reply != replies_.end()) {
            const Reply call = std::move(*reply);
            replies_.erase(reply);
            call(record);
        }
        break;
    case MiKind::Exec:
        if (record.cls == u"stopped")
            onStopped(record);
        break;
    case MiKind::Notify:
        if (record.cls == u"thread-group-started")
            programPid_ = record.results.string(u"pid").toLongLong();
        else if (record.cls == u"thread-group-exited")
            programPid_ = 0;
        break;
    default:
        break;
    }
}

void DebugSession::onStopped(const MiRecord& record)
{
    const std::optional<StopFacts> facts = stopFacts(record);
    if (!facts)
        return;
    if (const QString thread = record.results.string(u"thread-id"); !thread.isEmpty())
        threadId_ = thread;
    if (facts->reason.startsWith(QStringLiteral("exited"))) {
        finish({facts->exitCode, facts->signal, QString()});
        return;
    }
    if ((facts->reason == u"end-stepping-range" || facts->reason == u"function-finished") &&
        !isUserSource(facts->fullname)) {
        leaveSystemCode();
        return;
    }
    // Stopped once the view is gathered: a step asked before then goes nowhere.
    view_.stop = *facts;
    fetchView(true);
}

// A step that went into the C library (into strlen, say) goes back out to the
// user's code that called it; one that left the user's code for good (past the end
// of main) lets the program run on: there is nothing to show where it is.
void DebugSession::leaveSystemCode()
{
    send(QStringLiteral("-stack-list-frames --thread %1 0 %2").arg(threadId_).arg(ShownFrames - 1),
         [this](const MiRecord& r) {
        const QList<FrameFacts> frames = stackFrames(r);
        const bool called = std::any_of(frames.cbegin(), frames.cend(), [](const FrameFacts& f) {
            return f.level > 0 && isUserSource(f.fullname);
        });
        send(called ? QStringLiteral("-exec-finish --thread %1 --frame 0").arg(threadId_)
                    : QStringLiteral("-exec-continue"));
    });
}

void DebugSession::execute(const QString& command)
{
    if (state_ != State::Stopped)
        return;
    state_ = State::Running;
    ++generation_;  // the view being gathered is of a stop that is over
    ++stops_;
    emit running();
    send(command, [this](const MiRecord& r) {
        // Refused (finish from the outermost frame, say): still stopped where it was.
        if (r.cls == u"error" && state_ == State::Running) {
            state_ = State::Stopped;
            emit stopped();
        }
    });
}

// The steps go from where the program is, whichever frame the window shows.
void DebugSession::resume()
{
    execute(QStringLiteral("-exec-continue"));
}

void DebugSession::stepOver()
{
    execute(QStringLiteral("-exec-next --thread %1 --frame 0").arg(threadId_));
}

void DebugSession::stepInto()
{
    execute(QStringLiteral("-exec-step --thread %1 --frame 0").arg(threadId_));
}

void DebugSession::stepOut()
{
    execute(QStringLiteral("-exec-finish --thread %1 --frame 0").arg(threadId_));
}

void DebugSession::selectFrame(int level)
{
    if (state_ != State::Stopped || !view_.frame(level) || level == view_.frameLevel)
        return;
    view_.frameLevel = level;
    fetchView(false);
}

void DebugSession::setExpanded(const QString& path, bool expanded)
{
    if (expanded == expanded_.contains(path))
        return;
    if (expanded)
        expanded_.insert(path);
    else
        expanded_.remove(path);
    if (state_ == State::Stopped)
        fetchView(false);
}

void DebugSession::showMore(const QString& path)
{
    shownCount_[path] = shownCount_.value(path, ListStep) + ListStep;
    if (state_ == State::Stopped)
        fetchView(false);
}

void DebugSession::setBreakpoint(const SourceLine& at, bool on)
{
    if (state_ == State::Idle)
        return;
    const QString key = breakpointKey(at);
    if (!on) {
        if (const auto number = breakpointNumbers_.find(key); number != breakpointNumbers_.end()) {
            send(QStringLiteral("-break-delete %1").arg(*number));
            breakpointNumbers_.erase(number);
        }
        return;
    }
    if (breakpointNumbers_.contains(key))
        return;
    breakpointNumbers_.insert(key, 0);  // not yet known; a clear before the answer clears nothing
    send(QStringLiteral("-break-insert ") + location(at), [this, key](const MiRecord& r) {
        const MiValue* bkpt = r.results.field(u"bkpt");
        const int number = bkpt ? bkpt->string(u"number").toInt() : 0;
        if (number > 0 && breakpointNumbers_.contains(key))
            breakpointNumbers_[key] = number;
        else if (number > 0)  // cleared while being set
            send(QStringLiteral("-break-delete %1").arg(number));
        else
            breakpointNumbers_.remove(key);
    });
}

QString DebugSession::frameOptions() const
{
    return QStringLiteral("--thread %1 --frame %2").arg(threadId_).arg(view_.frameLevel);
}

QString DebugSession::frameKey() const
{
    const FrameFacts* frame = view_.frame(view_.frameLevel);
    if (!frame)
        return QString();
    // The frame's function and its depth from the outermost: the same call's
    // variables compare with themselves across stops.
    const int depth = view_.depth > 0 ? view_.depth : int(view_.frames.size());
    return frame->func + u'#' + QString::number(depth - view_.frameLevel);
}

const FrameFacts* DebugView::frame(int level) const
{
    const auto found = std::find_if(frames.cbegin(), frames.cend(), [level](const FrameFacts& f) {
        return f.level == level;
    });
    return found == frames.cend() ? nullptr : &*found;
}

void DebugSession::fetchView(bool newStop)
{
    const int generation = ++generation_;
    viewIsNewStop_ = newStop;
    outstanding_ = 0;
    if (!newStop) {
        fetchVariables();
        return;
    }
    ++stops_;
    ++outstanding_;
    // Only so deep: past that the stack is counted once the stop is shown.
    send(QStringLiteral("-stack-info-depth --thread %1 %2").arg(threadId_).arg(ShownFrames + 1),
         [this, generation](const MiRecord& r) {
             if (generation == generation_)
                 view_.depth = std::min(r.results.string(u"depth").toInt(), ShownFrames + 1);
         });
    send(QStringLiteral("-stack-list-frames --thread %1 0 %2").arg(threadId_).arg(ShownFrames - 1),
         [this, generation](const MiRecord& r) {
        if (generation != generation_)
            return;
        --outstanding_;
        view_.frames = stackFrames(r);
        countAfterStop_ = view_.depth > ShownFrames;
        if (countAfterStop_)
            view_.depth = 0;
        // A crash in the C library shows where the program called it.
        view_.frameLevel = 0;
        for (const FrameFacts& frame : view_.frames) {
            if (isUserSource(frame.fullname) && frame.line > 0) {
                view_.frameLevel = frame.level;
                break;
            }
        }
        fetchVariables();
    });
}

// The whole stack's depth and its outermost frame (main), told as a change of the
// view; gdb takes a while over a deep one, so the stop does not wait for it.
void DebugSession::countFrames()
{
    const int stop = stops_;
    send(QStringLiteral("-stack-info-depth --thread ") + threadId_, [this, stop](const MiRecord& r) {
        const int depth = r.results.string(u"depth").toInt();
        if (stop != stops_ || depth <= ShownFrames)
            return;
        send(QStringLiteral("-stack-list-frames --thread %1 %2 %2").arg(threadId_).arg(depth - 1),
             [this, stop, depth](const MiRecord& frames) {
                 const QList<FrameFacts> outermost = stackFrames(frames);
                 if (stop != stops_ || outermost.isEmpty())
                     return;
                 view_.frames.append(outermost.first());
                 view_.depth = depth;
                 if (state_ == State::Stopped && outstanding_ == 0)
                     emit viewChanged();
             });
    });
}

void DebugSession::fetchVariables()
{
    const int generation = generation_;
    for (const QString& varobj : std::as_const(varobjs_))
        send(QStringLiteral("-var-delete ") + varobj);
    varobjs_.clear();
    // The simple values tell scalars from compound variables; the full values are
    // the compound ones' text (arrays cut at 100 elements).
    auto simple = std::make_shared<QList<VariableFacts>>();
    outstanding_ += 2;
    send(QStringLiteral("-stack-list-variables %1 --simple-values").arg(frameOptions()),
         [this, generation, simple](const MiRecord& r) {
             if (generation != generation_)
                 return;
             --outstanding_;
             *simple = variables(r);
         });
    send(QStringLiteral("-stack-list-variables %1 --all-values").arg(frameOptions()),
         [this, generation, simple](const MiRecord& r) {
             if (generation != generation_)
                 return;
             --outstanding_;
             view_.variables = frameVariables(*simple, variables(r));
             listExpanded();
             if (outstanding_ == 0)
                 viewDone();
         });
}

// The members of the variables the user opened, listed again at every stop.
void DebugSession::listExpanded()
{
    const int generation = generation_;
    for (qsizetype i = 0; i < view_.variables.size(); ++i) {
        DebugVariable& v = view_.variables[i];
        if (!v.expandable || !expanded_.contains(v.path))
            continue;
        v.expanded = true;
        ++outstanding_;
        send(QStringLiteral("-var-create %1 - * %2").arg(frameOptions(), v.name),
             [this, generation, i](const MiRecord& created) {
                 if (generation != generation_)
                     return;
                 --outstanding_;
                 const QString varobj = created.results.string(u"name");
                 if (!varobj.isEmpty()) {
                     varobjs_.append(varobj);
                     const QString path = view_.variables[i].path;
                     listChildren(varobj, {int(i)}, shownCount_.value(path, ListStep));
                 }
                 if (outstanding_ == 0)
                     viewDone();
             });
    }
}

QList<DebugVariable> frameVariables(const QList<VariableFacts>& simple, const QList<VariableFacts>& full)
{
    QList<DebugVariable> out;
    for (qsizetype i = 0; i < full.size(); ++i) {
        // The compiler's own (a range for's __for_range, __for_begin, ...).
        if (full[i].name.startsWith(QStringLiteral("__")))
            continue;
        DebugVariable v;
        v.path = v.name = full[i].name;
        v.value = full[i].value;
        if (i < simple.size() && simple[i].name == v.name) {
            v.type = simple[i].type;
            const bool compound = simple[i].value.isEmpty() && !v.value.startsWith(u'"');
            const bool pointer = v.type.endsWith(u'*') && !v.type.contains(QStringLiteral("char"));
            // A reference shows its target's value: braces where it has members.
            const bool reference = v.type.endsWith(u'&') && v.value.contains(u'{');
            v.expandable = compound || pointer || reference;
        }
        out.append(v);
    }
    return out;
}

DebugVariable* DebugSession::variableAt(const QList<int>& where)
{
    QList<DebugVariable>* level = &view_.variables;
    DebugVariable* v = nullptr;
    for (const int i : where) {
        if (i < 0 || i >= level->size())
            return nullptr;
        v = &(*level)[i];
        level = &v->children;
    }
    return v;
}

// Lists a variable's members into the tree at where; an access group's members go
// to the variable itself.
void DebugSession::listChildren(const QString& varobj, const QList<int>& where, int count)
{
    const int generation = generation_;
    ++outstanding_;
    send(QStringLiteral("-var-list-children --all-values %1 0 %2").arg(varobj).arg(count),
         [this, generation, where, count](const MiRecord& r) {
             if (generation != generation_)
                 return;
             --outstanding_;
             DebugVariable* parent = variableAt(where);
             const MiValue* children = r.results.field(u"children");
             if (parent) {
                 parent->more = parent->more || r.results.string(u"has_more") == u"1";
                 static const QList<std::pair<QString, MiValue>> none;
                 for (const auto& [key, child] : children ? children->fields : none) {
                     if (key != u"child")
                         continue;
                     if (isAccessGroup(child)) {
                         listChildren(child.string(u"name"), where, count);
                         continue;
                     }
                     DebugVariable v;
                     v.name = child.string(u"exp");
                     // An array's element, named as a vector's is.
                     if (parent->type.endsWith(u']') && !parent->type.contains(QStringLiteral("(*)")))
                         v.name = u'[' + v.name + u']';
                     v.path = parent->path + u'\n' + v.name;
                     v.value = child.string(u"value");
                     v.type = child.string(u"type");
                     const bool dynamic = child.string(u"dynamic") == u"1";
                     v.expandable = child.string(u"numchild").toInt() > 0 ||
                                    (dynamic && child.string(u"displayhint") != u"string");
                     v.expanded = v.expandable && expanded_.contains(v.path);
                     parent = variableAt(where);  // the append below may move it
                     parent->children.append(v);
                     if (v.expanded) {
                         QList<int> at = where;
                         at.append(int(parent->children.size() - 1));
                         listChildren(child.string(u"name"), at, shownCount_.value(v.path, ListStep));
                     }
                 }
             }
             if (outstanding_ == 0)
                 viewDone();
         });
}

void DebugSession::viewDone()
{
    QHash<QString, QString>& last = lastValues_[frameKey()];
    const std::function<void(QList<DebugVariable>&)> mark = [&](QList<DebugVariable>& list) {
        for (DebugVariable& v : list) {
            const auto before = last.constFind(v.path);
            v.changed = before != last.constEnd() && *before != v.value;
            last.insert(v.path, v.value);
            mark(v.children);
        }
    };
    mark(view_.variables);
    if (viewIsNewStop_) {
        viewIsNewStop_ = false;
        state_ = State::Stopped;
        emit stopped();
        // Behind everything the stop asked for, which a count would hold up.
        if (countAfterStop_ && state_ == State::Stopped) {
            countAfterStop_ = false;
            countFrames();
        }
    } else {
        emit viewChanged();
    }
}

void DebugSession::finish(const DebugEnd& how)
{
    if (state_ == State::Idle)
        return;
    state_ = State::Idle;
    ending_ = true;
    ++generation_;
    replies_.clear();
    if (gdb_.state() != QProcess::NotRunning) {
        gdb_.write("-gdb-exit\n");
        if (!gdb_.waitForFinished(500)) {
            gdb_.kill();
            gdb_.waitForFinished(1000);
        }
    }
    programPid_ = 0;
    view_ = {};
    emit ended(how);
}

void DebugSession::end()
{
    if (state_ == State::Idle)
        return;
    // The program and whatever it forked share its process group (gdb gave it a
    // session of its own); gdb goes with it.
    if (programPid_ > 0) {
        ::kill(-pid_t(programPid_), SIGKILL);
        ::kill(pid_t(programPid_), SIGKILL);
    }
    ending_ = true;
    gdb_.kill();
    gdb_.waitForFinished(2000);
    finish({});
}

}  // namespace nollex
