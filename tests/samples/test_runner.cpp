// A case run with real processes, and its verdict: the faults are a program that
// outlives its limit (or leaves a child behind), output lost or kept past the cap,
// a wrong end, a leaked file, and a verdict or line that misreads the run.
#include "samples/CaseRunner.h"
#include "samples/Verdict.h"
#include "support/ProcessGone.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <csignal>
#include <cstring>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <gtest/gtest.h>

using namespace nollex;
using nollex::test::TempDir;

namespace {

QString script(const TempDir& dir, const QString& name, const QByteArray& body)
{
    const QString path = dir.write(name, "#!/bin/sh\n" + body + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

CaseRequest request(const TempDir& dir, const QString& program, const QByteArray& input)
{
    CaseRequest r;
    r.program = program;
    r.folder = dir.path();
    r.inputPath = dir.write(QStringLiteral("case.in"), input);
    r.launcher = QStringLiteral(NOLLEX_BINARY_DIR "/nollex-case");
    return r;
}

int openFiles()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size());
}

}  // namespace

// How a program ends, and its output, for the ends a learner's program comes to.
TEST(CaseRunner, Ends)
{
    const struct {
        const char* name;
        QByteArray body;
        QByteArray input;
        qint64 cap;
        CaseEnd end;
        int code;  // exit code or signal
        QByteArray output;
    } rows[] = {
        {"echo of its input", "exec cat", "1 2\nあ\n", 1 << 20, CaseEnd::Exited, 0, "1 2\nあ\n"},
        {"reading past the input", "read a; read b || echo \"eof after $a\"", "7\n", 1 << 20, CaseEnd::Exited, 0,
         "eof after 7\n"},
        {"folder and environment", "pwd; echo \"$NOLLEX_CASE_TEST\"; echo err >&2", "", 1 << 20, CaseEnd::Exited, 0,
         "{folder}\n値\n"},
        {"non-zero exit", "echo partial; exit 3", "", 1 << 20, CaseEnd::Exited, 3, "partial\n"},
        {"a signal", "kill -SEGV $$", "", 1 << 20, CaseEnd::Signaled, SIGSEGV, ""},
        {"exactly the cap", "head -c 100000 /dev/zero", "", 100000, CaseEnd::Exited, 0, QByteArray(100000, '\0')},
        {"a byte past the cap", "head -c 100001 /dev/zero", "", 100000, CaseEnd::OutputLimit, 0,
         QByteArray(100000, '\0')},
        {"past the cap", "exec yes", "", 100000, CaseEnd::OutputLimit, 0, QByteArray("y\n").repeated(50000)},
        {"a child left writing", "(sleep 3; echo late) & echo early", "", 1 << 20, CaseEnd::Exited, 0,
         "early\n"},
    };
    const std::atomic<bool> stop = false;
    const int filesBefore = openFiles();
    for (const auto& row : rows) {
        TempDir dir;
        CaseRequest r = request(dir, script(dir, QStringLiteral("p"), row.body), row.input);
        r.outputCap = row.cap;
        r.environment = {QStringLiteral("NOLLEX_CASE_TEST=値")};
        const auto t0 = std::chrono::steady_clock::now();
        const CaseResult result = runCase(r, stop);
        EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(1500)) << row.name;
        EXPECT_EQ(int(result.end), int(row.end)) << row.name;
        EXPECT_EQ(row.end == CaseEnd::Signaled ? result.signal : result.exitCode, row.code) << row.name;
        const QByteArray expected =
            QByteArray(row.output).replace("{folder}", QFile::encodeName(QDir(dir.path()).canonicalPath()));
        EXPECT_EQ(result.output.size(), expected.size()) << row.name;
        EXPECT_TRUE(result.output == expected) << row.name;
        EXPECT_GT(result.peakKb, 0) << row.name;
    }
    EXPECT_EQ(openFiles(), filesBefore);
}

// A looping program and the child it started are both ended soon after the limit,
// or when stopped; neither outlives the run.
TEST(CaseRunner, LimitAndStopEndTheWholeGroup)
{
    TempDir dir;
    const QString program = script(dir, QStringLiteral("loop"), "sleep 100 & echo $!; while :; do :; done");
    for (const bool byStop : {false, true}) {
        CaseRequest r = request(dir, program, "");
        r.timeLimitMs = byStop ? 5000 : 300;
        std::atomic<bool> stop = false;
        std::thread stopper;
        if (byStop)
            stopper = std::thread([&stop] { std::this_thread::sleep_for(std::chrono::milliseconds(200)); stop = true; });
        const auto t0 = std::chrono::steady_clock::now();
        const CaseResult result = runCase(r, stop);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
        if (stopper.joinable())
            stopper.join();
        EXPECT_EQ(int(result.end), int(byStop ? CaseEnd::Stopped : CaseEnd::TimedOut));
        EXPECT_GE(ms, byStop ? 200 : 300);
        EXPECT_LE(ms, (byStop ? 200 : 300) + 100);
        const qint64 child = result.output.trimmed().toLongLong();
        ASSERT_GT(child, 0) << result.output.constData();
        for (int i = 0; i < 50 && !test::processGone(child); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_TRUE(test::processGone(child));
        EXPECT_TRUE(test::processGone(result.pid));
    }
}

// The peak memory shown is the program's own (its children's included), never
// that of the process running the cases, however much that one has touched.
TEST(CaseRunner, PeakIsTheProgramsOwn)
{
    constexpr std::size_t kParentBytes = 800u << 20;
    const std::unique_ptr<char[]> held(new char[kParentBytes]);
    std::memset(held.get(), 1, kParentBytes);
    const struct {
        const char* name;
        QByteArray body;
        qint64 atLeastKb;
        qint64 belowKb;
    } rows[] = {
        {"a small program", "exit 0", 1, 8 << 10},
        {"a program that holds 10 MB", "x=$(head -c 10000000 /dev/zero | tr '\\0' a); echo ${#x}", 9700, 100 << 10},
    };
    const std::atomic<bool> stop = false;
    for (const auto& row : rows) {
        TempDir dir;
        const CaseResult result = runCase(request(dir, script(dir, QStringLiteral("p"), row.body), ""), stop);
        EXPECT_EQ(int(result.end), int(CaseEnd::Exited)) << row.name;
        EXPECT_GE(result.peakKb, row.atLeastKb) << row.name;
        EXPECT_LT(result.peakKb, row.belowKb) << row.name << ": " << result.peakKb << " KB";
    }
    EXPECT_EQ(held[kParentBytes - 1], 1);
}

// However the process running the cases ends (here killed outright), the case's
// program and what it started end with it.
TEST(CaseRunner, EndsWithItsParent)
{
    TempDir dir;
    const QString program = script(dir, QStringLiteral("loop"),
                                   "sleep 100 & echo $! > child; echo $$ > pid; while :; do :; done");
    const CaseRequest r = request(dir, program, "");
    const pid_t parent = fork();
    ASSERT_GE(parent, 0);
    if (parent == 0) {
        const std::atomic<bool> stop = false;
        CaseRequest looping = r;
        looping.timeLimitMs = 20000;
        runCase(looping, stop);
        _exit(0);
    }
    qint64 pid = 0, child = 0;
    for (int i = 0; i < 200 && (pid <= 0 || child <= 0); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        pid = dir.read(QStringLiteral("pid")).trimmed().toLongLong();
        child = dir.read(QStringLiteral("child")).trimmed().toLongLong();
    }
    kill(parent, SIGKILL);
    waitpid(parent, nullptr, 0);
    ASSERT_GT(pid, 0);
    ASSERT_GT(child, 0);
    for (int i = 0; i < 100 && !(test::processGone(pid) && test::processGone(child)); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_TRUE(test::processGone(pid));
    EXPECT_TRUE(test::processGone(child));
    if (!test::processGone(pid))
        kill(-pid_t(pid), SIGKILL);
}

// A program or an input that is not there: nothing starts, and the line says which.
// An input or an expected output that is a FIFO is never waited on.
TEST(CaseRunner, StartFailures)
{
    TempDir dir;
    const std::atomic<bool> stop = false;
    const CaseResult missing = runCase(request(dir, dir.file(QStringLiteral("none")), "1\n"), stop);
    EXPECT_EQ(int(missing.end), int(CaseEnd::StartFailed));
    EXPECT_EQ(missing.startError, ENOENT);
    EXPECT_FALSE(missing.inputUnreadable);

    CaseRequest noInput = request(dir, script(dir, QStringLiteral("p"), "exec cat"), "");
    noInput.inputPath = dir.file(QStringLiteral("none.in"));
    const CaseResult unread = runCase(noInput, stop);
    EXPECT_EQ(int(unread.end), int(CaseEnd::StartFailed));
    EXPECT_TRUE(unread.inputUnreadable);

    const QString a = verdictLine(QStringLiteral("sample-1"), judge(missing, "1\n", {}), missing);
    const QString b = verdictLine(QStringLiteral("sample-1"), judge(unread, "1\n", {}), unread);
    EXPECT_TRUE(a.startsWith(QStringLiteral("sample-1  プログラムを起動できません"))) << a.toStdString();
    EXPECT_TRUE(b.startsWith(QStringLiteral("sample-1  入力ファイルを開けません"))) << b.toStdString();

    CaseRequest fifo = noInput;
    fifo.inputPath = dir.file(QStringLiteral("fifo.in"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo.inputPath).constData(), 0600), 0);
    const CaseResult blocked = runCase(fifo, stop);
    EXPECT_EQ(int(blocked.end), int(CaseEnd::StartFailed));
    EXPECT_TRUE(blocked.inputNotFile);
    EXPECT_TRUE(verdictLine(QStringLiteral("s"), judge(blocked, "1\n", {}), blocked)
                    .startsWith(QStringLiteral("s  入力が通常のファイルではありません")));
    const CaseResult ran = runCase(request(dir, noInput.program, "1\n"), stop);
    EXPECT_EQ(int(judgeAgainstFile(ran, fifo.inputPath, {}).verdict), int(Verdict::Unreadable));
}

// The verdict of each kind of end and output, and the line the window shows.
TEST(Verdict, JudgeAndLines)
{
    const auto ended = [](CaseEnd end, const QByteArray& output, int code = 0) {
        CaseResult r;
        r.end = end;
        r.output = output;
        (end == CaseEnd::Signaled ? r.signal : r.exitCode) = code;
        r.ms = 12;
        r.peakKb = 1843;
        return r;
    };
    const struct {
        const char* name;
        CaseResult result;
        std::optional<QByteArray> expected;
        bool numbers;
        Verdict verdict;
        const char* line;
    } rows[] = {
        {"ac", ended(CaseEnd::Exited, "3 \r\n\n"), "3\n", false, Verdict::AC, "sample-1  AC  12 ms  1.8 MB"},
        {"wa", ended(CaseEnd::Exited, "4\n"), "3\n", false, Verdict::WA, "sample-1  WA  12 ms  1.8 MB"},
        {"numbers within", ended(CaseEnd::Exited, "0.3333333\n"), "0.333333333\n", true, Verdict::AC, nullptr},
        {"a literal \\xff is not the byte", ended(CaseEnd::Exited, "\\xff\n"), "\xff\n", false, Verdict::WA, nullptr},
        {"no .out", ended(CaseEnd::Exited, "4\n"), std::nullopt, false, Verdict::NoVerdict,
         "sample-1  --  12 ms  1.8 MB"},
        {"exit code", ended(CaseEnd::Exited, "3\n", 1), "3\n", false, Verdict::RE,
         "sample-1  RE  12 ms  1.8 MB  終了コード 1"},
        {"signal", ended(CaseEnd::Signaled, "", SIGSEGV), "3\n", false, Verdict::RE,
         "sample-1  RE  12 ms  1.8 MB  シグナル 11（SIGSEGV）"},
        {"tle with the right output", ended(CaseEnd::TimedOut, "3\n"), "3\n", false, Verdict::TLE, nullptr},
        {"ole", ended(CaseEnd::OutputLimit, "3\n"), "3\n", false, Verdict::OLE, nullptr},
        {"stopped", ended(CaseEnd::Stopped, ""), std::nullopt, false, Verdict::Stopped, nullptr},
    };
    for (const auto& row : rows) {
        CompareOptions options;
        options.numbersWithin = row.numbers;
        const Judged j = judge(row.result, row.expected, options);
        EXPECT_EQ(int(j.verdict), int(row.verdict)) << row.name;
        EXPECT_EQ(j.difference.has_value(), row.verdict == Verdict::WA) << row.name;
        if (row.line) {
            EXPECT_EQ(verdictLine(QStringLiteral("sample-1"), j, row.result), QString::fromUtf8(row.line)) << row.name;
        }
    }

    // The .out as a file: read and compared, missing, or larger than the cap, which
    // is never read (a sparse file of 100 GB) and is told on the case's line.
    TempDir dir;
    const QString big = dir.write(QStringLiteral("big.out"), "");
    ASSERT_TRUE(QFile::resize(big, 100LL << 30));
    const struct {
        const char* name;
        CaseResult result;
        QString path;
        Verdict verdict;
        const char* line;
    } files[] = {
        {"read", ended(CaseEnd::Exited, "3\n"), dir.write(QStringLiteral("3.out"), "3\n"), Verdict::AC, nullptr},
        {"none", ended(CaseEnd::Exited, "3\n"), QString(), Verdict::NoVerdict, nullptr},
        {"missing", ended(CaseEnd::Exited, "3\n"), dir.file(QStringLiteral("gone.out")), Verdict::Unreadable, nullptr},
        {"too large", ended(CaseEnd::Exited, "3\n"), big, Verdict::ExpectedTooLarge,
         "sample-1  --  12 ms  1.8 MB  期待する出力が 64 MB を超えるため比べません"},
        {"too large, but a run-time error", ended(CaseEnd::Signaled, "", SIGSEGV), big, Verdict::RE, nullptr},
    };
    for (const auto& row : files) {
        const Judged j = judgeAgainstFile(row.result, row.path, {});
        EXPECT_EQ(int(j.verdict), int(row.verdict)) << row.name;
        if (row.line) {
            EXPECT_EQ(verdictLine(QStringLiteral("sample-1"), j, row.result), QString::fromUtf8(row.line)) << row.name;
        }
    }

    const QString longLine(100, u'x');
    EXPECT_EQ(differenceLines({12, QStringLiteral("3"), longLine}),
              QStringList{QStringLiteral("    12 行目: 期待 「3」 / 実際 「") + longLine.left(60) + QStringLiteral("…」")});
    EXPECT_EQ(summaryLine(3, 2), QStringLiteral("3 件中 2 件 AC"));
}
