// Starting programs for real: lookup order, folders, waiting, error numbers and
// console windows through NOLLEX_TERMINAL.

#include "platform/Errors.h"
#include "platform/Processes.h"
#include "platform/Waiting.h"
#include "support/ScriptedWaiting.h"
#include "support/ProcessGone.h"
#include "support/TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace nollex;

namespace {

QString writeProgram(const test::TempDir& dir, const QString& name, const QByteArray& script)
{
    const QString path = dir.write(name, script);
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ExeOwner);
    return path;
}

QByteArray waitForFile(const QString& path, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = f.readAll();
            if (bytes.endsWith('\n'))
                return bytes;
        }
        QThread::msleep(20);
    }
    return {};
}

// Sets an environment variable for one scope.
struct ScopedEnv {
    const char* name;
    QByteArray old;
    bool had;
    ScopedEnv(const char* n, const QByteArray& value) : name(n), old(qgetenv(n)), had(qEnvironmentVariableIsSet(n))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had)
            qputenv(name, old);
        else
            qunsetenv(name);
    }
};

}  // namespace

// A bare name comes from the system's folder before PATH, then PATH in order;
// files that are not executable are passed over.
TEST(FindProgram, LookupOrder)
{
    test::TempDir system, first, second;
    writeProgram(system, QStringLiteral("tool"), "#!/bin/sh\n");
    writeProgram(first, QStringLiteral("tool"), "#!/bin/sh\n");
    writeProgram(second, QStringLiteral("other"), "#!/bin/sh\n");
    first.write(QStringLiteral("plain"), "not a program");
    writeProgram(second, QStringLiteral("plain"), "#!/bin/sh\n");
    const QString path = first.path() + u':' + second.path();

    EXPECT_EQ(findProgram(QStringLiteral("tool"), system.path(), path), system.file(QStringLiteral("tool")));
    EXPECT_EQ(findProgram(QStringLiteral("tool"), QString(), path), first.file(QStringLiteral("tool")));
    EXPECT_EQ(findProgram(QStringLiteral("other"), system.path(), path), second.file(QStringLiteral("other")));
    EXPECT_EQ(findProgram(QStringLiteral("plain"), system.path(), path), second.file(QStringLiteral("plain")));
    EXPECT_EQ(findProgram(QStringLiteral("none"), system.path(), path), std::nullopt);
    EXPECT_EQ(findProgram(first.file(QStringLiteral("tool")), QString(), QString()), first.file(QStringLiteral("tool")));
    EXPECT_EQ(findProgram(first.file(QStringLiteral("gone")), QString(), path), std::nullopt);
}

// NOLLEX_TERMINAL wins, a relative one taken from the folder Nollex started in;
// else the first known terminal on PATH, each with its own way of taking a
// command, xterm with the looks of a Windows console, and an x-terminal-emulator
// that only leads to xterm passed over; none at all is an error that says what to do.
TEST(ConsoleCommandPrefix, Choice)
{
    test::TempDir dir;
    const QString term = writeProgram(dir, QStringLiteral("my term"), "#!/bin/sh\n");
    const QString xtermLink = dir.file(QStringLiteral("x-terminal-emulator"));
    ASSERT_TRUE(QFile::link(writeProgram(dir, QStringLiteral("lxterm"), "#!/bin/sh\n"), xtermLink));
    auto onlyXterm = [](const QString& name) {
        return name == QStringLiteral("xterm") ? QStringLiteral("/usr/bin/xterm") : QString();
    };
    auto only = [](const char* wanted) {
        return [wanted](const QString& name) {
            return name == QLatin1String(wanted) ? QStringLiteral("/x/") + name : QString();
        };
    };
    auto nothing = [](const QString&) { return QString(); };

    EXPECT_EQ(consoleCommandPrefix(u'"' + term + QStringLiteral("\" -e"), nothing),
              (QStringList{term, QStringLiteral("-e")}));
    EXPECT_EQ(consoleCommandPrefix(QStringLiteral("\"./my term\" -e"), nothing, dir.path()),
              (QStringList{term, QStringLiteral("-e")}));
    const QStringList xterm = consoleCommandPrefix(QString(), onlyXterm);
    EXPECT_EQ(xterm.first(), QStringLiteral("/usr/bin/xterm"));
    EXPECT_EQ(xterm.last(), QStringLiteral("-e"));
    EXPECT_TRUE(xterm.join(u' ').contains(QStringLiteral("-geometry 80x25 -fg #c0c0c0 -bg black -fa"))) << xterm.join(u' ').toStdString();
    const auto xtermBehindTheSystemsTerminal = [&](const QString& name) {
        return name == QStringLiteral("x-terminal-emulator") ? xtermLink : onlyXterm(name);
    };
    EXPECT_EQ(consoleCommandPrefix(QString(), xtermBehindTheSystemsTerminal), xterm);
    EXPECT_EQ(consoleCommandPrefix(QString(), only("gnome-terminal")),
              (QStringList{QStringLiteral("/x/gnome-terminal"), QStringLiteral("--")}));
    EXPECT_EQ(consoleCommandPrefix(QString(), only("xfce4-terminal")),
              (QStringList{QStringLiteral("/x/xfce4-terminal"), QStringLiteral("-x")}));
    EXPECT_EQ(consoleCommandPrefix(QStringLiteral("  "), only("x-terminal-emulator")).value(0),
              QStringLiteral("/x/x-terminal-emulator"));
    EXPECT_THROW(consoleCommandPrefix(QStringLiteral("noterm -e"), onlyXterm), NollexError);
    try {
        consoleCommandPrefix(QString(), nothing);
        ADD_FAILURE() << "no terminal must be an error";
    } catch (const NollexError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("NOLLEX_TERMINAL")));
        EXPECT_TRUE(e.text().contains(QStringLiteral("xterm")));
    }
}

// A waited start has finished when it returns, in the folder asked for, with
// quoted words kept whole; failures come back as errno (2 = not found).
TEST(HostProcessStarter, WaitFolderAndErrors)
{
    test::TempDir system, work;
    writeProgram(system, QStringLiteral("record"), "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > out.txt\npwd >> out.txt\n");
    HostProcessStarter starter(system.path());

    EXPECT_EQ(starter.start({QStringLiteral("record \"a b\" -n\"/x y/\" c>d"), work.path(), false, true, {}}), 0);
    EXPECT_EQ(work.read(QStringLiteral("out.txt")),
              "[a b]\n[-n/x y/]\n[c>d]\n" + QDir(work.path()).canonicalPath().toUtf8() + "\n");

    // Descriptors of this process stay behind (only 0, 1 and 2 are inherited).
    writeProgram(system, QStringLiteral("fds"), "#!/bin/sh\nls /proc/$$/fd > fds.txt\n");
    const int leaked = dup(1);
    EXPECT_EQ(starter.start({QStringLiteral("fds"), work.path(), false, true, {}}), 0);
    EXPECT_FALSE(work.read(QStringLiteral("fds.txt")).split('\n').contains(QByteArray::number(leaked)))
        << work.read(QStringLiteral("fds.txt")).toStdString();
    close(leaked);

    EXPECT_EQ(starter.start({QStringLiteral("no-such-program x"), QString(), false, true, {}}), 2);
    EXPECT_EQ(starter.start({QStringLiteral("record"), work.path() + QStringLiteral("gone"), false, true, {}}), 2);
    EXPECT_EQ(starter.start({QString(), QString(), false, true, {}}), 2);
    const QString plain = system.write(QStringLiteral("plain"), "data");
    EXPECT_EQ(starter.start({plain, QString(), false, true, {}}), EACCES);
    EXPECT_EQ(starter.platformId(), 2);
}

// A start that is not waited for returns at once; a console start runs the
// program through the terminal command with its arguments after it.
TEST(HostProcessStarter, DetachedAndConsole)
{
    test::TempDir system, work;
    writeProgram(system, QStringLiteral("slow"), "#!/bin/sh\nsleep 1\necho done > slow.txt\n");
    const QString term = writeProgram(system, QStringLiteral("term"),
                                      "#!/bin/sh\nfor a in \"$@\"; do echo \"[$a]\"; done > \"$PWD/term.txt\"\n");
    HostProcessStarter starter(system.path());

    QElapsedTimer timer;
    timer.start();
    EXPECT_EQ(starter.start({QStringLiteral("slow"), work.path(), false, false, {}}), 0);
    EXPECT_LT(timer.elapsed(), 900);
    EXPECT_EQ(waitForFile(work.file(QStringLiteral("slow.txt"))), "done\n");

    {
        ScopedEnv env("NOLLEX_TERMINAL", (term + QStringLiteral(" --run")).toUtf8());
        EXPECT_EQ(starter.start({QStringLiteral("slow /K \"x y\""), work.path(), true, false, {}}), 0);
        EXPECT_EQ(waitForFile(work.file(QStringLiteral("term.txt"))),
                  "[--run]\n[" + system.file(QStringLiteral("slow")).toUtf8() + "]\n[/K]\n[x y]\n");
        // The program is looked up before any window opens.
        EXPECT_EQ(starter.start({QStringLiteral("absent"), work.path(), true, false, {}}), 2);
    }
    {
        ScopedEnv env("NOLLEX_TERMINAL", "/no/such/terminal -e");
        EXPECT_THROW(starter.start({QStringLiteral("slow"), work.path(), true, false, {}}), NollexError);
    }
}

// A console start (Execute, Re-run, the prompt) finds pause and cls of the system's
// compat/bin first on PATH, so that system("pause") runs ours; the build's minimised
// start keeps PATH as it is.
TEST(HostProcessStarter, ConsoleStartsPutCompatCommandsFirst)
{
    test::TempDir system, work;
    ASSERT_TRUE(QDir().mkpath(system.file(QStringLiteral("compat/bin"))));
    const QString term = writeProgram(system, QStringLiteral("term"), "#!/bin/sh\n\"$@\"\n");
    writeProgram(system, QStringLiteral("showpath"), "#!/bin/sh\necho \"$PATH\" > \"$1\"\n");
    HostProcessStarter starter(system.path());
    ScopedEnv env("NOLLEX_TERMINAL", term.toUtf8());
    const QByteArray path = qgetenv("PATH");

    EXPECT_EQ(starter.start({QStringLiteral("showpath console.txt"), work.path(), true, false, {}}), 0);
    EXPECT_EQ(waitForFile(work.file(QStringLiteral("console.txt"))),
              QDir(system.path()).absoluteFilePath(QStringLiteral("compat/bin")).toUtf8() + ':' + path + '\n');
    EXPECT_EQ(starter.start({QStringLiteral("showpath build.txt"), work.path(), false, true, {}}), 0);
    EXPECT_EQ(work.read(QStringLiteral("build.txt")), path + '\n');
    EXPECT_EQ(qgetenv("PATH"), path);
}

// The build's compile: its input is the null device (a read never waits), its
// exit status comes back, and a stopped wait ends its whole process group, a
// program it started in the background included.
TEST(HostProcessStarter, RunReadsNothingAndStopsTheWholeGroup)
{
    test::TempDir system, work;
    writeProgram(system, QStringLiteral("reads"), "#!/bin/sh\nreadlink /proc/$$/fd/0 > in.txt\ncat >> in.txt\nexit 3\n");
    writeProgram(system, QStringLiteral("hangs"), "#!/bin/sh\nsleep 60 &\necho $! > child.txt\nwait\n");
    HostProcessStarter starter(system.path());
    test::ScriptedWaiting waiting;

    RunResult result = starter.run({QStringLiteral("reads"), work.path(), false, true, {}}, waiting);
    EXPECT_EQ(result.startError, 0);
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_FALSE(result.stopped);
    EXPECT_EQ(work.read(QStringLiteral("in.txt")), "/dev/null\n");
    EXPECT_EQ(waiting.texts, QStringList{kCompilingText});

    waiting.onPoll = [&](int) {
        if (work.read(QStringLiteral("child.txt")).endsWith('\n'))
            waiting.stopAfterPolls = 0;
    };
    result = starter.run({QStringLiteral("hangs"), work.path(), false, true, {}}, waiting);
    EXPECT_TRUE(result.stopped);
    EXPECT_NE(result.exitCode, 0);
    const QByteArray child = work.read(QStringLiteral("child.txt")).trimmed();
    ASSERT_FALSE(child.isEmpty());
    const auto ended = [&] { return test::processGone(child.toLongLong()); };
    QElapsedTimer timer;
    timer.start();
    while (!ended() && timer.elapsed() < 5000)
        QThread::msleep(20);
    EXPECT_TRUE(ended()) << child.toStdString();

    EXPECT_EQ(starter.run({QStringLiteral("no-such-program"), QString(), false, true, {}}, waiting).startError, 2);
}
