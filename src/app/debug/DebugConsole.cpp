// The program's console under the debugger: started with a file of the session's
// own to tell its terminal, and a keys file for the debugger's keys typed there;
// told at the end whether the program ended (it then closes or waits) or is closed.
#include "app/debug/DebugRun.h"

#include "compile/BatchFile.h"
#include "editor/TMemos.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/ProgramFolders.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStandardPaths>

#include <csignal>
#include <sys/types.h>

namespace nollex {

namespace {

// How long the debugged program's console may take to open.
constexpr int kConsoleWaitMs = 10000;

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

}  // namespace

QString gdbProgram()
{
    const QString named = qEnvironmentVariable("NOLLEX_GDB");
    if (named.isEmpty())
        return QStandardPaths::findExecutable(QStringLiteral("gdb"));
    return QFileInfo(named).isExecutable() ? named : QString();
}

void DebugPanel::debugProgram(const QString& program)
{
    end(true);
    if (!host_.runsFolderReady())
        throw NollexError(QStringLiteral("デバッグに使うフォルダ \"%1\" を用意できません").arg(host_.folders().runs));
    run_ = std::make_unique<Run>(this);
    Run& run = *run_;
    run.program = program;
    // A name of the session's own: a console that comes late finds no keys file and
    // ends, taking its file with it, and never another session's.
    static int sessions = 0;
    run.ready = host_.folders().runs +
                QStringLiteral("debug-%1-%2.tty").arg(QCoreApplication::applicationPid()).arg(++sessions);
    run.keys = run.ready + QStringLiteral(".keys");
    host_.files().remove(run.ready);
    if (const std::optional<QString> error = host_.files().writeFile(run.keys, {})) {
        run_.reset();
        throw NollexError(*error);
    }
    watchSession();
    startConsole(run);
    run.consoleTimer.setInterval(20);
    connect(&run.consoleTimer, &QTimer::timeout, this, [this] { host_.guarded([this] { pollConsole(); }); });
    run.consoleTimer.start();
    run.keysTimer.setInterval(kKeysPollMs);
    connect(&run.keysTimer, &QTimer::timeout, this, [this] { host_.guarded([this] { readKeys(); }); });
    run.keysTimer.start();
    host_.setStatusText(QStringLiteral("デバッグを始めています…"));
    showPanes(true);
}

// The console writes its terminal's name when it is ready; the program runs there.
// The run is dropped when it cannot start.
void DebugPanel::startConsole(Run& run)
{
    const QString after = state_.RunMode == AfterRun::CloseConsole ? QStringLiteral("close") : QStringLiteral("wait");
    int started = 0;
    try {
        started = host_.processes().start({QStringLiteral("nollex-console %1 %2 %3")
                                               .arg(commandWord(run.ready))
                                               .arg(QCoreApplication::applicationPid())
                                               .arg(after),
                                           state_.WorkFolder, true, false, {}});
    } catch (...) {
        host_.files().remove(run.keys);
        run_.reset();
        throw;
    }
    if (started != 0) {
        host_.files().remove(run.keys);
        run_.reset();
        throw NollexError(QStringLiteral("デバッグ用のコンソール nollex-console を起動できません（%1）").arg(started));
    }
}

void DebugPanel::pollConsole()
{
    Run& run = *run_;
    run.waitedMs += run.consoleTimer.interval();
    QFile ready(run.ready);
    if (!ready.open(QIODevice::ReadOnly)) {
        if (run.waitedMs >= kConsoleWaitMs) {
            run.consoleTimer.stop();
            end(false);
            host_.setStatusText(QStringLiteral("デバッグするプログラムのコンソールウィンドウが開きませんでした"));
        }
        return;
    }
    run.consoleTimer.stop();
    const QList<QByteArray> lines = ready.readAll().split('\n');
    ready.close();
    host_.files().remove(run.ready);
    run.consolePid = lines.value(1).toLongLong();
    DebugSession::Launch launch;
    launch.gdb = gdbProgram();
    launch.program = run.program;
    launch.folder = state_.WorkFolder;
    launch.terminal = QString::fromLocal8Bit(lines.value(0));
    launch.breakpoints = breakpoints();
    run.session->start(launch);
}

// The debugger's keys typed in the program's console act as in the window.
void DebugPanel::readKeys()
{
    const Run* run = run_.get();
    QFile file(run->keys);
    if (!file.open(QIODevice::ReadOnly) || file.size() <= run->keysRead || !file.seek(run->keysRead))
        return;
    const QByteArray bytes = file.readAll();
    const qsizetype whole = bytes.lastIndexOf('\n') + 1;  // a line still being written waits
    run_->keysRead += whole;
    using Handler = void (DebugPanel::*)();
    static const QHash<QByteArray, Handler> handlers = {
        {"F4", &DebugPanel::toggleBreakpoint}, {"F5", &DebugPanel::runOrContinue}, {"S-F5", &DebugPanel::stop},
        {"F7", &DebugPanel::stepOver},         {"S-F7", &DebugPanel::stepInto},    {"C-F7", &DebugPanel::stepOut},
    };
    for (const QByteArray& key : bytes.first(whole).split('\n')) {
        if (const auto handler = handlers.constFind(key); handler != handlers.constEnd()) {
            (this->**handler)();
            if (run_.get() != run)  // the session ended, or another began
                return;
        }
    }
}

// The marks and panes go; the console is told the program ended (it then closes or
// waits as the options say) or is closed.
void DebugPanel::close(bool programEnded)
{
    if (!run_)
        return;
    if (isSessionConsole(run_->consolePid, run_->ready))
        ::kill(pid_t(run_->consolePid), programEnded ? SIGUSR1 : SIGTERM);
    // Without its keys file a console that still relays ends by itself, even one not
    // yet heard of; after the signal, so that one told of the program's end can wait.
    host_.files().remove(run_->keys);
    host_.files().remove(run_->ready);
    for (const QMetaObject::Connection& c : std::as_const(run_->watches))
        disconnect(c);
    run_.reset();
    TMemos& pages = host_.pages();
    for (int i = 0; i <= pages.LastIndex(); ++i)
        pages.editor(i)->setStoppedLine(0);
    showPanes(false);
}

}  // namespace nollex
