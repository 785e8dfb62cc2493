// The debugging session against the real gdb, without a window: what a stop shows
// of a frame's variables (members listed on demand, a long vector a hundred at a
// time, changes marked), and that ending leaves no process. The program's terminal
// is a pseudo-terminal the test holds.
#include "debug/DebugSession.h"
#include "support/ProcessGone.h"
#include "support/TempDir.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

using namespace nollex;

namespace {

const QByteArray kProgram = "#include <string>\n"
                            "#include <vector>\n"
                            "struct Point { int x; int y; };\n"
                            "int main()\n"
                            "{\n"
                            // A big one, and one of a million elements three deep,
                            // whose full value keeps gdb busy for minutes.
                            "    std::vector<int> big(1000000, 7); std::vector<std::vector<std::vector<int>>> "
                            "cube(100, std::vector<std::vector<int>>(100, std::vector<int>(100, 1)));\n"  // 6
                            "    std::string word = \"こんにちは\";\n"
                            "    int a[5] = {1, 2, 3, 4, 5};\n"
                            "    Point p{1, 2};\n"
                            "    for (int i = 0; i < 3; ++i)\n"  // 10
                            "        p.x += a[i];\n"
                            "    while (true) { }\n"  // 12
                            "}\n";

struct Pty {
    int master = posix_openpt(O_RDWR | O_NOCTTY);
    Pty()
    {
        grantpt(master);
        unlockpt(master);
    }
    ~Pty() { ::close(master); }
    QString slave() const { return QString::fromLocal8Bit(ptsname(master)); }
};

const DebugVariable* find(const QList<DebugVariable>& list, const QString& name)
{
    for (const DebugVariable& v : list) {
        if (v.name == name)
            return &v;
    }
    return nullptr;
}

}  // namespace

TEST(DebugSession, StopsShowVariablesAndEndingLeavesNoProcess)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
        GTEST_SKIP() << "gdb is not installed";
    test::TempDir dir;
    dir.write(QStringLiteral("prog.cpp"), kProgram);
    ASSERT_EQ(QProcess::execute(QStringLiteral("g++"), {QStringLiteral("-g"), QStringLiteral("-O0"), QStringLiteral("-o"),
                                                         dir.file(QStringLiteral("prog")), dir.file(QStringLiteral("prog.cpp"))}),
              0);
    Pty pty;
    DebugSession session;
    QSignalSpy stops(&session, &DebugSession::stopped);
    QSignalSpy changes(&session, &DebugSession::viewChanged);
    QSignalSpy ends(&session, &DebugSession::ended);
    const QString source = dir.file(QStringLiteral("prog.cpp"));
    session.start({QStringLiteral("gdb"), dir.file(QStringLiteral("prog")), dir.path(), pty.slave(),
                   {{source, 11}}});
    ASSERT_TRUE(stops.wait(20000)) << "no stop";
    EXPECT_EQ(session.view().depth, 1);
    EXPECT_EQ(session.view().stop.line, 11);
    EXPECT_EQ(session.view().stop.reason, QStringLiteral("breakpoint-hit"));
    const QList<DebugVariable>& vars = session.view().variables;
    const DebugVariable* p = find(vars, QStringLiteral("p"));
    ASSERT_TRUE(p);
    EXPECT_EQ(p->value, QStringLiteral("{x = 1, y = 2}"));
    EXPECT_TRUE(p->expandable);
    ASSERT_TRUE(find(vars, QStringLiteral("word")));
    EXPECT_EQ(find(vars, QStringLiteral("word"))->value, QStringLiteral("\"こんにちは\""));
    EXPECT_FALSE(find(vars, QStringLiteral("word"))->expandable);
    EXPECT_TRUE(find(vars, QStringLiteral("big"))->value.startsWith(QStringLiteral("std::vector of length 1000000")));
    ASSERT_TRUE(find(vars, QStringLiteral("cube")));
    EXPECT_TRUE(find(vars, QStringLiteral("cube"))->expandable);

    // Members on demand: a struct's through its access group, a vector's a hundred at a time.
    // An array's elements are named as a vector's.
    session.setExpanded(QStringLiteral("p"), true);
    session.setExpanded(QStringLiteral("a"), true);
    session.setExpanded(QStringLiteral("big"), true);
    ASSERT_TRUE(changes.wait(5000));  // one view for all: the first are dropped for the last
    const DebugVariable* a = find(session.view().variables, QStringLiteral("a"));
    ASSERT_TRUE(a);
    ASSERT_EQ(a->children.size(), 5);
    EXPECT_EQ(a->children[0].name, QStringLiteral("[0]"));
    EXPECT_EQ(a->children[4].value, QStringLiteral("5"));
    const DebugVariable* big = find(session.view().variables, QStringLiteral("big"));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->children.size(), 100);
    EXPECT_TRUE(big->more);
    session.showMore(QStringLiteral("big"));
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_EQ(find(session.view().variables, QStringLiteral("big"))->children.size(), 200);
    p = find(session.view().variables, QStringLiteral("p"));
    ASSERT_EQ(p->children.size(), 2);
    EXPECT_EQ(p->children[0].name, QStringLiteral("x"));

    // A step changes p.x: marked, and the member too; each step well inside the
    // bound with the vector listed. The next step changes only i.
    QElapsedTimer step;
    step.start();
    session.stepOver();
    ASSERT_TRUE(stops.wait(5000));
    EXPECT_LT(step.elapsed(), 1000);
    EXPECT_EQ(session.view().stop.line, 10);
    p = find(session.view().variables, QStringLiteral("p"));
    ASSERT_TRUE(p);
    EXPECT_TRUE(p->changed);
    ASSERT_EQ(p->children.size(), 2);
    EXPECT_TRUE(p->children[0].changed);
    EXPECT_FALSE(p->children[1].changed);
    EXPECT_FALSE(find(session.view().variables, QStringLiteral("word"))->changed);
    session.stepOver();
    ASSERT_TRUE(stops.wait(5000));
    EXPECT_FALSE(find(session.view().variables, QStringLiteral("p"))->changed);
    EXPECT_TRUE(find(session.view().variables, QStringLiteral("i"))->changed);

    // The endless loop: a continue runs on; the end takes the program and gdb.
    session.setBreakpoint({source, 11}, false);
    session.resume();
    QTest::qWait(300);
    EXPECT_EQ(session.state(), DebugSession::State::Running);
    const qint64 pid = session.programPid();
    ASSERT_GT(pid, 0);
    session.end();
    EXPECT_EQ(ends.size(), 1);
    EXPECT_FALSE(session.active());
    QTest::qWait(100);
    EXPECT_TRUE(test::processGone(pid)) << "the program is still there";
}

// A deep stack lists its innermost hundred frames at once, then, once counted, its
// outermost (main) and how many are left out between; the stop does not wait for
// the count (gdb takes a minute over an endless recursion's).
TEST(DebugSession, DeepStackListsTheInnermostHundredAndMain)
{
    if (QStandardPaths::findExecutable(QStringLiteral("gdb")).isEmpty())
        GTEST_SKIP() << "gdb is not installed";
    test::TempDir dir;
    dir.write(QStringLiteral("deep.c"), "int down(int n)\n"
                                        "{\n"
                                        "    if (n == 300)\n"
                                        "        *(volatile int*)0 = n;\n"  // 4
                                        "    return down(n + 1) + 1;\n"
                                        "}\n"
                                        "int main(void) { return down(0); }\n");
    ASSERT_EQ(QProcess::execute(QStringLiteral("gcc"), {QStringLiteral("-g"), QStringLiteral("-O0"), QStringLiteral("-o"),
                                                         dir.file(QStringLiteral("deep")), dir.file(QStringLiteral("deep.c"))}),
              0);
    Pty pty;
    DebugSession session;
    QSignalSpy stops(&session, &DebugSession::stopped);
    QSignalSpy changes(&session, &DebugSession::viewChanged);
    session.start({QStringLiteral("gdb"), dir.file(QStringLiteral("deep")), dir.path(), pty.slave(),
                   {{dir.file(QStringLiteral("deep.c")), 4}}});
    ASSERT_TRUE(stops.wait(20000)) << "no stop";
    ASSERT_EQ(session.view().frames.size(), 100);
    EXPECT_EQ(session.view().frames[99].level, 99);
    EXPECT_EQ(session.view().depth, 0) << "counted before the stop was shown";
    ASSERT_TRUE(changes.wait(10000)) << "never counted";
    const DebugView& view = session.view();
    EXPECT_EQ(view.depth, 302);
    ASSERT_EQ(view.frames.size(), 101);
    EXPECT_EQ(view.frames.last().func, QStringLiteral("main"));
    EXPECT_EQ(view.frames.last().level, 301);
    EXPECT_EQ(view.framesLeftOut(), 201);
    // The outermost frame's variables on request, as any listed frame's.
    session.selectFrame(301);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_EQ(session.view().frameLevel, 301);
    session.end();
}
