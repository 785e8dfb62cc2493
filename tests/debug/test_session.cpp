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
                            "    std::vector<int> big(1000000, 7);\n"  // 6
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

    // Members on demand: a struct's through its access group, a vector's a hundred at a time.
    session.setExpanded(QStringLiteral("p"), true);
    session.setExpanded(QStringLiteral("big"), true);
    ASSERT_TRUE(changes.wait(5000));  // one view for both: the first is dropped for the second
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
