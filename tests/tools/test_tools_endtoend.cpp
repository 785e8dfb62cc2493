// The real cmd.exe and bcc32.exe, with the machine's gcc/g++, as the build uses them.
#include "compile/MessagePlace.h"
#include "compile/MessageText.h"
#include "platform/WinCommandLine.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringEncoder>
#include <QThread>

#include <memory>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using nollex::test::TempDir;

namespace {

const QString kBin = QStringLiteral(NOLLEX_BINARY_DIR "/");
const QString kCmd = kBin + QStringLiteral("cmd.exe");
const QString kBcc = kBin + QStringLiteral("bcc32.exe");

struct Result {
    int code = -1;
    QByteArray out;  // standard output and error together
};

Result run(const QString& program, const QStringList& args, const QString& folder,
           const QByteArray& input = {}, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProgram(program);
    p.setArguments(args);
    p.setWorkingDirectory(folder);
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
    EXPECT_TRUE(p.waitForStarted()) << program.toStdString();
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(120000)) << program.toStdString();
    Result r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAll();
    return r;
}

// A batch-line word: quoted as the build runner quotes it.
std::string q(const QString& s)
{
    return nollex::QuoteWindowsArgument(s.toStdString());
}

QString batch(const TempDir& dir, const std::vector<std::string>& lines)
{
    QByteArray text;
    for (const std::string& l : lines)
        text += QByteArray::fromStdString(l) + "\r\n";
    return dir.write(QStringLiteral("__out.bat"), text);
}

// The three lines the build writes: into the compiler's folder, compile with the
// output redirected, and a rem line.
QString buildBatch(const TempDir& dir, const QString& workFolder, const QString& source)
{
    return batch(dir, {"cd " + q(kBin),
                       "bcc32.exe -3 -b -O1 -w " + q("-n" + workFolder) + " " + q(workFolder + source)
                           + " > " + q(dir.file("message.txt")),
                       "rem " + kBin.toStdString()});
}

const char* const kProbeSource = R"(#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
int main(int argc, char** argv)
{
    if (argc > 2 && strcmp(argv[1], "--exit") == 0) return atoi(argv[2]);
    if (argc > 1 && strcmp(argv[1], "--signal") == 0) raise(SIGTERM);
    if (argc > 1 && strcmp(argv[1], "--interrupt") == 0) raise(SIGINT);
    if (argc > 1 && strcmp(argv[1], "--segv") == 0) raise(SIGSEGV);
    if (argc > 1 && strcmp(argv[1], "--lines") == 0) {
        char line[100];
        int lines = 0;
        printf("[reading]\n");
        fflush(stdout);
        while (fgets(line, sizeof line, stdin)) ++lines;
        printf("[lines:%d]\n", lines);
        return 0;
    }
    if (argc > 1 && strcmp(argv[1], "--read") == 0) {
        char line[100] = "";
        if (fgets(line, sizeof line, stdin)) line[strcspn(line, "\n")] = 0;
        printf("[got:%s]\n", line);
        return 0;
    }
    for (int i = 1; i < argc; ++i) printf("[%s]\n", argv[i]);
    return 0;
}
)";

}  // namespace

class ToolsEndToEnd : public ::testing::Test {
protected:
    // A small program that prints each argument in brackets, exits with a given status
    // or kills itself; built once with the stand-in compiler.
    static void SetUpTestSuite()
    {
        probeDir_ = new TempDir;
        probeDir_->write(QStringLiteral("probe.c"), kProbeSource);
        const Result r = run(kBcc, {QStringLiteral("probe.c")}, probeDir_->path());
        ASSERT_EQ(r.code, 0) << r.out.toStdString();
    }
    static void TearDownTestSuite()
    {
        delete probeDir_;
        probeDir_ = nullptr;
    }
    static QString probe() { return probeDir_->file(QStringLiteral("probe.exe")); }

    static TempDir* probeDir_;
};

TempDir* ToolsEndToEnd::probeDir_ = nullptr;

// Guards the whole Execute road: cd into the compiler folder, compile a page in a
// folder with a blank, messages into message.txt, and a program that runs.
TEST_F(ToolsEndToEnd, HelloWorldBuildsAndRuns)
{
    TempDir tmp;
    const QString work = tmp.path() + QStringLiteral("my work/");
    ASSERT_TRUE(QDir().mkpath(work));
    tmp.write(QStringLiteral("my work/__out.cpp"),
              "#include <iostream>\nint main() { std::cout << \"Hello, Nollex\" << std::endl; }\n");
    const QString bat = buildBatch(tmp, work, QStringLiteral("__out.cpp"));

    const Result r = run(kCmd, {QStringLiteral("/C"), bat}, tmp.path());
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    // A correct program built with the default switches: the host compiler says
    // nothing, and so the messages are empty.
    const QByteArray messages = tmp.read(QStringLiteral("message.txt"));
    EXPECT_EQ(messages, QByteArray());
    EXPECT_TRUE(QFile::exists(work + QStringLiteral("__out.obj")));
    ASSERT_TRUE(QFile::exists(work + QStringLiteral("__out.exe"))) << messages.toStdString();
    EXPECT_EQ(run(work + QStringLiteral("__out.exe"), {}, work).out, "Hello, Nollex\n");
}

// Guards that the host compiler's diagnostics (its standard error) reach message.txt
// with the line number, and that no program is left to run.
TEST_F(ToolsEndToEnd, CompileErrorShowsDiagnosticWithLineNumber)
{
    TempDir tmp;
    tmp.write(QStringLiteral("__out.cpp"), "int main()\n{\n    int x = ;\n}\n");
    const Result r = run(kCmd, {QStringLiteral("/C"), buildBatch(tmp, tmp.path(), QStringLiteral("__out.cpp"))},
                         tmp.path());
    EXPECT_NE(r.code, 0);
    const QByteArray messages = tmp.read(QStringLiteral("message.txt"));
    EXPECT_TRUE(messages.contains("__out.cpp:3:")) << messages.toStdString();
    EXPECT_TRUE(messages.contains("error")) << messages.toStdString();
    EXPECT_FALSE(QFile::exists(tmp.file(QStringLiteral("__out.exe"))));
}

// Guards the C road: gcc, not g++, and the maths library linked.
TEST_F(ToolsEndToEnd, CPageBuildsWithGcc)
{
    TempDir tmp;
    qputenv("NOLLEX_SHOW_HOST_COMMANDS", "1");
    tmp.write(QStringLiteral("__out.c"),
              "#include <math.h>\n#include <stdio.h>\nint main(void) { volatile double x = 2.0;\n"
              "  printf(\"%.3f\\n\", sqrt(x)); return 0; }\n");
    run(kCmd, {QStringLiteral("/C"), buildBatch(tmp, tmp.path(), QStringLiteral("__out.c"))}, tmp.path());
    const QByteArray messages = tmp.read(QStringLiteral("message.txt"));
    qunsetenv("NOLLEX_SHOW_HOST_COMMANDS");
    EXPECT_TRUE(messages.startsWith("gcc ") || messages.contains("\ngcc ")) << messages.toStdString();
    ASSERT_TRUE(QFile::exists(tmp.file(QStringLiteral("__out.exe")))) << messages.toStdString();
    EXPECT_EQ(run(tmp.file(QStringLiteral("__out.exe")), {}, tmp.path()).out, "1.414\n");
}

// Guards Shift-JIS pages: 表, ソ and 能 end in the byte of a backslash, which a
// UTF-8 reading turns into escapes; the program must print what the page shows.
TEST_F(ToolsEndToEnd, ShiftJisPagePrintsItsTextInUtf8)
{
    TempDir tmp;
    QStringEncoder sjis("Shift_JIS");
    const QByteArray source = sjis.encode(QStringLiteral(
        "#include <stdio.h>\nint main(void) { printf(\"表ソ能\\n%d\", (int)sizeof \"表\"); return 0; }\n"));
    ASSERT_FALSE(sjis.hasError());
    for (const char* name : {"__out.c", "__out.cpp"}) {
        SCOPED_TRACE(name);
        tmp.write(QString::fromLatin1(name), source);
        run(kCmd, {QStringLiteral("/C"), buildBatch(tmp, tmp.path(), QString::fromLatin1(name))}, tmp.path());
        const QByteArray messages = tmp.read(QStringLiteral("message.txt"));
        EXPECT_FALSE(messages.contains("warning")) << messages.toStdString();
        ASSERT_TRUE(QFile::exists(tmp.file(QStringLiteral("__out.exe")))) << messages.toStdString();
        // The program's strings are UTF-8, so a full-width letter is 3 bytes (+ NUL).
        EXPECT_EQ(run(tmp.file(QStringLiteral("__out.exe")), {}, tmp.path()).out,
                  QStringLiteral("表ソ能\n4").toUtf8());
    }
}

// Guards the compiler's own words: the user's language reaches the host compiler
// unchanged, and message.txt shows Japanese intact (where gcc has its Japanese
// messages; LANGUAGE picks them even under the C.UTF-8 locale).
TEST_F(ToolsEndToEnd, JapaneseMessagesReachThePane)
{
    if (!QFile::exists(QStringLiteral("/usr/share/locale/ja/LC_MESSAGES/gcc-12.mo")))
        GTEST_SKIP() << "gcc-12-locales is not installed";
    TempDir tmp;
    tmp.write(QStringLiteral("__out.cpp"), "int main()\n{\n    return missing;\n}\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LANGUAGE"), QStringLiteral("ja"));
    env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
    env.remove(QStringLiteral("LC_ALL"));
    run(kCmd, {QStringLiteral("/C"), buildBatch(tmp, tmp.path(), QStringLiteral("__out.cpp"))}, tmp.path(), {}, env);
    const QString messages = nollex::decodeMessageText(tmp.read(QStringLiteral("message.txt")));
    EXPECT_TRUE(messages.contains(QStringLiteral("__out.cpp:3:12: エラー: "))) << messages.toStdString();
    const std::optional<nollex::MessagePlace> place =
        nollex::parseMessagePlace(messages.split(u'\n').filter(QStringLiteral("エラー")).value(0));
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(place->kind, nollex::MessageKind::Error);
    EXPECT_EQ(place->line, 3);
}

// Guards the silent failures: a program that cannot be found, and a folder change
// that fails before it (the build's missing compiler folder), both end up in the
// redirected file the user is shown.
TEST_F(ToolsEndToEnd, FailuresAreWrittenWhereTheLineOutputGoes)
{
    TempDir tmp;
    const QString msg = tmp.file(QStringLiteral("message.txt"));
    run(kCmd, {QStringLiteral("/C"), batch(tmp, {"cd \"\"", "bcc32.exe -w x.cpp > " + q(msg), "rem x"})},
        tmp.path());
    const QByteArray text = tmp.read(msg);
    EXPECT_TRUE(text.contains("cd \"\": フォルダの名前がありません")) << text.toStdString();
    EXPECT_TRUE(text.contains("\"bcc32.exe\" が見つかりません")) << text.toStdString();

    run(kCmd, {QStringLiteral("/C"),
               batch(tmp, {"cd \"/nonexistent/nollex folder/\"", q(probe()) + " ran > " + q(msg)})},
        tmp.path());
    const QByteArray after = tmp.read(msg);
    EXPECT_TRUE(after.contains("フォルダ \"/nonexistent/nollex folder/\" に移れません（ファイルまたはフォルダがありません）"))
        << after.toStdString();
    EXPECT_TRUE(after.endsWith("[ran]\n")) << after.toStdString();

    run(kCmd, {QStringLiteral("/C"), batch(tmp, {"nosuchprog.exe -x > " + q(msg)})}, tmp.path());
    EXPECT_TRUE(tmp.read(msg).contains("\"nosuchprog.exe\" が見つかりません"));
}

// Guards against any shell: names and options holding $(...), ;, &, quotes,
// backquotes and blanks are passed on as words and never run.
TEST_F(ToolsEndToEnd, FileNamesAreNeverRunByAShell)
{
    TempDir tmp;
    const QString work = tmp.path() + QStringLiteral("x $(touch pwned0) y/");
    ASSERT_TRUE(QDir().mkpath(work));
    const QStringList names = {QStringLiteral("$(touch pwned1)"), QStringLiteral("a;touch pwned2"),
                               QStringLiteral("b & touch pwned3"), QStringLiteral("`touch pwned4`"),
                               QStringLiteral("it's \"q\"")};
    for (const QString& name : names) {
        QFile f(work + name + QStringLiteral(".cpp"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("int main() { return 0; }\n");
    }
    for (const QString& name : names) {
        run(kCmd, {QStringLiteral("/C"), buildBatch(tmp, work, name + QStringLiteral(".cpp"))}, tmp.path());
        EXPECT_TRUE(QFile::exists(work + name + QStringLiteral(".exe")))
            << name.toStdString() << "\n" << tmp.read(QStringLiteral("message.txt")).toStdString();
    }

    // The same words as arguments, through a batch line and through /C.
    std::string line = q(probe());
    for (const QString& name : names)
        line += " " + q(name);
    run(kCmd, {QStringLiteral("/C"), batch(tmp, {line + " > " + q(tmp.file(QStringLiteral("args.txt")))})},
        tmp.path());
    QByteArray expected;
    for (const QString& name : names)
        expected += "[" + name.toUtf8() + "]\n";
    EXPECT_EQ(tmp.read(QStringLiteral("args.txt")), expected);
    EXPECT_EQ(run(kCmd, QStringList{QStringLiteral("/C"), probe()} + names + QStringList{QStringLiteral(">"), QStringLiteral("x")},
                  tmp.path())
                  .out,
              expected + "[>]\n[x]\n");

    for (const QString& folder : {tmp.path(), work, kBin})
        for (const QString& entry : QDir(folder).entryList())
            EXPECT_FALSE(entry.startsWith(QStringLiteral("pwned"))) << (folder + entry).toStdString();
}

// Guards the window that stays open: the program's status (or its signal) is shown,
// then the prompt runs until EXIT in any letter case.
TEST_F(ToolsEndToEnd, KeepOpenShowsStatusThenPromptsUntilExit)
{
    TempDir tmp;
    const Result exited = run(kCmd, {QStringLiteral("/K"), probe(), QStringLiteral("--exit"), QStringLiteral("3")},
                              tmp.path(), "ExIt\n" + QByteArray::fromStdString(q(probe())) + " after\n");
    EXPECT_TRUE(exited.out.contains("-- probe.exe は終了しました（終了コード 3）")) << exited.out.toStdString();
    EXPECT_FALSE(exited.out.contains("[after]")) << exited.out.toStdString();
    EXPECT_TRUE(exited.out.contains("EXIT と入力するとこのウィンドウを閉じます。")) << exited.out.toStdString();

    const Result killed = run(kCmd, {QStringLiteral("/K"), probe(), QStringLiteral("--signal")}, tmp.path(), "exit\n");
    EXPECT_TRUE(killed.out.contains("-- probe.exe はシグナル 15（SIGTERM）で強制終了しました")) << killed.out.toStdString();
    // The prompt ignores Ctrl+C while it waits; the program it runs does not.
    const Result interrupted =
        run(kCmd, {QStringLiteral("/K"), probe(), QStringLiteral("--interrupt")}, tmp.path(), "exit\n");
    EXPECT_TRUE(interrupted.out.contains("シグナル 2（SIGINT）で強制終了しました")) << interrupted.out.toStdString();

    // /C ends at once and adds nothing to the program's output.
    EXPECT_EQ(run(kCmd, {QStringLiteral("/c"), probe(), QStringLiteral("only")}, tmp.path(), "exit\n").out,
              "[only]\n");
}

// Guards the console's end of input as Windows textbooks teach it: Ctrl+Z then
// Enter ends a program's input (and stops nothing); the terminal's own keys are
// back for the prompt afterwards.
TEST_F(ToolsEndToEnd, CtrlZEndsAProgramsInputInTheConsole)
{
    QByteArray cmd = kCmd.toUtf8(), program = probe().toUtf8();
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(cmd.constData(), "cmd.exe", "/K", program.constData(), "--lines", static_cast<char*>(nullptr));
        _exit(127);
    }
    QByteArray screen;
    const auto pump = [&] {  // what the console shows within 50 ms
        pollfd p{master, POLLIN, 0};
        char buf[256];
        const ssize_t n = poll(&p, 1, 50) > 0 ? read(master, buf, sizeof buf) : 0;
        if (n > 0)
            screen.append(buf, n);
        else if (n < 0)
            usleep(50000);  // the console is closed: wait as long as a poll would
    };
    const auto waitFor = [&](const QByteArray& text) {
        for (int i = 0; i < 400 && !screen.contains(text); ++i)
            pump();
        return screen.contains(text);
    };
    const auto type = [&](const QByteArray& keys) { EXPECT_EQ(write(master, keys.data(), keys.size()), keys.size()); };
    EXPECT_TRUE(waitFor("[reading]")) << screen.toStdString();
    type("one\ntwo\n\x1a\n");
    EXPECT_TRUE(waitFor("[lines:2]")) << screen.toStdString();
    EXPECT_TRUE(waitFor("-- probe.exe は終了しました（終了コード 0）")) << screen.toStdString();
    termios mode{};
    ASSERT_EQ(tcgetattr(master, &mode), 0);
    EXPECT_EQ(mode.c_cc[VEOF], 4);    // Ctrl+D
    EXPECT_EQ(mode.c_cc[VSUSP], 26);  // Ctrl+Z
    type("exit\n");
    int status = 0;
    bool ended = false;
    for (int i = 0; i < 400 && !ended; ++i) {
        pump();
        ended = waitpid(pid, &status, WNOHANG) == pid;
    }
    EXPECT_TRUE(ended && WIFEXITED(status) && WEXITSTATUS(status) == 0) << screen.toStdString();
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(master);
}

// Enter at a held console ends it within four seconds; the terminal is closed.
static void enterClosesTheConsole(int master, pid_t pid)
{
    EXPECT_EQ(write(master, "\n", 1), 1);
    int status = 0;
    for (int i = 0; i < 200 && waitpid(pid, &status, WNOHANG) == 0; ++i)
        usleep(20000);
    if (kill(pid, 0) == 0) {
        ADD_FAILURE() << "Enter did not close the console";
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    close(master);
}

// Guards the record of a watched run that crashed: the console explains the
// signal, and on a terminal waits for Enter under it, which the record says
// (the window then does not tell how to keep the console open). Without a
// terminal nothing waits and the record says nothing of it.
TEST_F(ToolsEndToEnd, WatchedRunRecordSaysWhenTheConsoleIsHeld)
{
    TempDir tmp;
    const QString held = tmp.file(QStringLiteral("held")), closed = tmp.file(QStringLiteral("closed"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOLLEX_RUN"), closed);
    const Result r = run(kCmd, {QStringLiteral("/C"), probe(), QStringLiteral("--segv")}, tmp.path(), {}, env);
    EXPECT_TRUE(r.out.contains("セグメンテーション違反")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("Enter キー")) << r.out.toStdString();
    const QByteArray unheld = tmp.read(closed + QStringLiteral(".end"));
    EXPECT_TRUE(unheld.contains("signal=11\n")) << unheld.toStdString();
    EXPECT_FALSE(unheld.contains("held")) << unheld.toStdString();

    QByteArray cmd = kCmd.toUtf8(), program = probe().toUtf8(), stem = held.toUtf8();
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("NOLLEX_RUN", stem.constData(), 1);
        execl(cmd.constData(), "cmd.exe", "/C", program.constData(), "--segv", static_cast<char*>(nullptr));
        _exit(127);
    }
    QByteArray screen;
    for (int i = 0; i < 400 && !screen.contains("Enter キー"); ++i) {
        pollfd p{master, POLLIN, 0};
        char buf[256];
        const ssize_t n = poll(&p, 1, 50) > 0 ? read(master, buf, sizeof buf) : 0;
        if (n > 0)
            screen.append(buf, n);
    }
    EXPECT_TRUE(screen.contains("セグメンテーション違反")) << screen.toStdString();
    ASSERT_TRUE(screen.contains("Enter キー")) << screen.toStdString();
    const QByteArray record = tmp.read(held + QStringLiteral(".end"));
    EXPECT_TRUE(record.contains("signal=11\n")) << record.toStdString();
    EXPECT_TRUE(record.endsWith("held=1\n")) << record.toStdString();
    EXPECT_EQ(waitpid(pid, nullptr, WNOHANG), 0) << "the console waits for Enter";
    enterClosesTheConsole(master, pid);
}

// Guards the replay on a terminal: the program runs on the console's own relay, and
// the replay is fed what the program read, the line as edited ("1", erased, "2": a[2]
// was never set, a[1] was), so the value never set is explained under its output.
TEST_F(ToolsEndToEnd, ReplayIsFedTheLineTheProgramRead)
{
    TempDir tmp;
    const QByteArray source = "#include <stdio.h>\nint main(void)\n{\n    int a[4];\n    int n = 0;\n"
                              "    a[1] = 0;\n    if (scanf(\"%d\", &n) == 1) printf(\"read %d\\n\", n);\n"
                              "    if (a[n] > 0)\n        puts(\"positive\");\n    return 0;\n}\n";
    tmp.write(QStringLiteral("unset.c"), source);
    const Result built = run(QStringLiteral("gcc"), {"-g", "-O0", "-o", "unset.exe", "unset.c"}, tmp.path());
    ASSERT_EQ(built.code, 0) << built.out.toStdString();
    const QString stem = tmp.file(QStringLiteral("run"));
    tmp.write(QStringLiteral("run.page"), tmp.file(QStringLiteral("unset.c")).toUtf8() + "\nunset.c\n" + source);

    QByteArray cmd = kCmd.toUtf8(), program = tmp.file(QStringLiteral("unset.exe")).toUtf8(), stemBytes = stem.toUtf8();
    int master = -1;
    const pid_t pid = forkpty(&master, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        setenv("NOLLEX_RUN", stemBytes.constData(), 1);
        setenv("NOLLEX_REPLAY", program.constData(), 1);
        execl(cmd.constData(), "cmd.exe", "/C", program.constData(), static_cast<char*>(nullptr));
        _exit(127);
    }
    QByteArray screen;
    const auto readUntil = [&](const char* text) {
        for (int i = 0; i < 400 && !screen.contains(text); ++i) {
            pollfd p{master, POLLIN, 0};
            char buf[256];
            const ssize_t n = poll(&p, 1, 50) > 0 ? read(master, buf, sizeof buf) : 0;
            if (n > 0)
                screen.append(buf, n);
        }
        return screen.contains(text);
    };
    QThread::msleep(300);
    EXPECT_EQ(write(master, "1\x7f" "2\r", 4), 4);
    EXPECT_TRUE(readUntil("read 2")) << screen.toStdString();
    ASSERT_TRUE(readUntil("Enter キー")) << screen.toStdString();
    EXPECT_TRUE(screen.contains("unset.c 8 行目: 配列 a の要素に値を入れる前に使っています")) << screen.toStdString();
    EXPECT_TRUE(tmp.read(QStringLiteral("run.end")).endsWith("held=1\n"));
    EXPECT_TRUE(QFile::exists(stem + QStringLiteral(".replay.xml"))) << "left for the window";
    EXPECT_FALSE(QFile::exists(stem + QStringLiteral(".input")));
    enterClosesTheConsole(master, pid);
}

// Guards the replay's end when the window moves on: its page file gone (a new run),
// a replay that would run to its time limit stops at once and explains nothing; the
// run's record still comes.
TEST_F(ToolsEndToEnd, ReplayStopsWhenTheWindowMovesOn)
{
    TempDir tmp;
    tmp.write(QStringLiteral("loop.c"), "int main(void) { for (;;) {} }\n");
    const Result built = run(QStringLiteral("gcc"), {"-g", "-O0", "-o", "loop.exe", "loop.c"}, tmp.path());
    ASSERT_EQ(built.code, 0) << built.out.toStdString();
    const QString stem = tmp.file(QStringLiteral("run"));
    tmp.write(QStringLiteral("run.page"), "/x/__out.c\nloop.c\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOLLEX_RUN"), stem);
    env.insert(QStringLiteral("NOLLEX_REPLAY"), tmp.file(QStringLiteral("loop.exe")));
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(kCmd, {QStringLiteral("/C"), probe(), QStringLiteral("one")});
    ASSERT_TRUE(p.waitForStarted());
    p.closeWriteChannel();
    EXPECT_FALSE(p.waitForFinished(1500)) << "the replay runs: " << p.readAll().toStdString();
    QElapsedTimer stopped;
    stopped.start();
    QFile::remove(stem + QStringLiteral(".page"));
    ASSERT_TRUE(p.waitForFinished(5000));
    EXPECT_LT(stopped.elapsed(), 1500);
    const QByteArray out = p.readAll();
    EXPECT_TRUE(out.startsWith("[one]\n") && !out.contains("行目")) << out.toStdString();
    EXPECT_TRUE(tmp.read(QStringLiteral("run.end")).contains("exit=0\n"));
    EXPECT_EQ(QDir(tmp.path()).entryList({QStringLiteral("run.*")}, QDir::Files), QStringList{QStringLiteral("run.end")});
}

TEST_F(ToolsEndToEnd, PromptHandlesLinesLikeBatchLines)
{
    TempDir tmp;
    ASSERT_TRUE(QDir().mkpath(tmp.path() + QStringLiteral("sub dir")));
    const QByteArray input = "cd \"sub dir\"\n" + QByteArray::fromStdString(q(probe())) + " one > o.txt\nEXIT\n";
    const Result r = run(kCmd, {}, tmp.path(), input);
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(tmp.read(QStringLiteral("sub dir/o.txt")), "[one]\n");
    EXPECT_TRUE(r.out.contains("sub dir>")) << r.out.toStdString();
}

// Guards that the prompt reads no further than its own line: the next line of input
// belongs to the program that the line starts.
TEST_F(ToolsEndToEnd, PromptLeavesFollowingInputToTheProgram)
{
    TempDir tmp;
    const QByteArray input = QByteArray::fromStdString(q(probe())) + " --read\nhello there\nexit\n";
    const Result r = run(kCmd, {}, tmp.path(), input);
    EXPECT_TRUE(r.out.contains("[got:hello there]")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("\"hello\" が見つかりません")) << r.out.toStdString();
}

// Guards batch files that run batch files: their output is redirected as a whole,
// the caller goes on afterwards, and one that runs itself ends with a message.
TEST_F(ToolsEndToEnd, BatchFilesRunBatchFiles)
{
    TempDir tmp;
    tmp.write(QStringLiteral("inner.bat"), QByteArray::fromStdString(q(probe()) + " inner\r\n"));
    tmp.write(QStringLiteral("loop.bat"), "loop.bat\r\n");
    const QString outer = batch(tmp, {"cd " + q(tmp.path()), "inner.bat > out.txt",
                                      q(probe()) + " after > out2.txt", "loop.bat > loop.txt"});
    run(kCmd, {QStringLiteral("/C"), outer}, kBin);
    EXPECT_EQ(tmp.read(QStringLiteral("out.txt")), "[inner]\n");
    EXPECT_EQ(tmp.read(QStringLiteral("out2.txt")), "[after]\n");
    EXPECT_TRUE(tmp.read(QStringLiteral("loop.txt")).contains("バッチファイルの呼び出しが深すぎる"));
}

// Guards bcc32.cfg beside the compiler: a quoted include folder with a blank works.
TEST_F(ToolsEndToEnd, ConfigFileBesideTheCompilerIsRead)
{
    TempDir tmp;
    ASSERT_TRUE(QDir().mkpath(tmp.path() + QStringLiteral("inc dir")));
    ASSERT_TRUE(QDir().mkpath(tmp.path() + QStringLiteral("bin")));
    const QString bcc = tmp.file(QStringLiteral("bin/bcc32.exe"));
    ASSERT_TRUE(QFile::copy(kBcc, bcc));
    tmp.write(QStringLiteral("bin/bcc32.cfg"),
              "-I\"" + tmp.path().toUtf8() + "inc dir\"\r\n-L\"" + tmp.path().toUtf8() + "lib\"\r\n");
    tmp.write(QStringLiteral("inc dir/greet.h"), "#define GREETING \"from cfg\"\n");
    tmp.write(QStringLiteral("main.cpp"), "#include <cstdio>\n#include \"greet.h\"\nint main() { std::puts(GREETING); }\n");
    const Result r = run(bcc, {QStringLiteral("main.cpp")}, tmp.path());
    ASSERT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_EQ(run(tmp.file(QStringLiteral("main.exe")), {}, tmp.path()).out, "from cfg\n");
}

TEST_F(ToolsEndToEnd, MissingHostCompilerIsReported)
{
    TempDir tmp;
    tmp.write(QStringLiteral("a.cpp"), "int main() {}\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOLLEX_CXX"), QStringLiteral("/nonexistent/g++"));
    const Result r = run(kBcc, {QStringLiteral("a.cpp")}, tmp.path(), {}, env);
    EXPECT_EQ(r.code, 127);
    EXPECT_TRUE(r.out.contains("\"/nonexistent/g++\" was not found")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("NOLLEX_CXX"));
}

// Guards the debug build: line information and no optimisation win over the option
// set's, and the run-time checks stay out even when the guarded run is on.
TEST_F(ToolsEndToEnd, DebugBuildHasLineInformationAndNoChecks)
{
    TempDir tmp;
    tmp.write(QStringLiteral("a.cpp"), "int main() {}\n");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOLLEX_DEBUG"), QStringLiteral("1"));
    env.insert(QStringLiteral("NOLLEX_GUARD"), QStringLiteral("1"));
    env.insert(QStringLiteral("NOLLEX_SHOW_HOST_COMMANDS"), QStringLiteral("1"));
    env.insert(QStringLiteral("NOLLEX_CXX"), QStringLiteral("true"));  // the commands are what counts
    const Result r = run(kBcc, {QStringLiteral("-O2"), QStringLiteral("a.cpp")}, tmp.path(), {}, env);
    EXPECT_EQ(r.code, 0) << r.out.toStdString();
    EXPECT_TRUE(r.out.startsWith("true -c -O2 -g -O0 ")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("-fsanitize") || r.out.contains("nollexguard")) << r.out.toStdString();
}

namespace {

// The debugged program's console, started with pipes for its terminal window, and
// the inner terminal it announced, opened as the debugger's child opens it. The
// keys file is made as the window makes it.
class DebugConsole {
public:
    DebugConsole(const TempDir& dir, const char* after, qint64 window = getpid())
        : ready(dir.file(QStringLiteral("ready"))), keys(ready + QStringLiteral(".keys"))
    {
        QFile::remove(ready);  // an earlier console's
        QFile made(keys);
        EXPECT_TRUE(made.open(QIODevice::WriteOnly | QIODevice::Truncate));
        process_.start(kBin + QStringLiteral("nollex-console"),
                       {ready, QString::number(window), QString::fromLatin1(after)});
        EXPECT_TRUE(process_.waitForStarted());
        for (int i = 0; i < 250 && !QFile::exists(ready); ++i)
            QThread::msleep(20);
        const QList<QByteArray> lines = dir.read(ready).split('\n');
        EXPECT_TRUE(lines.size() == 3 && lines[0].startsWith("/dev/pts/")) << lines.join('|').toStdString();
        EXPECT_EQ(lines.value(1).toLongLong(), process_.processId());
        slave_ = open(lines.value(0).constData(), O_RDWR | O_NOCTTY);  // gone with a console that ended
    }
    ~DebugConsole()
    {
        if (slave_ >= 0)
            close(slave_);
        process_.kill();
        process_.waitForFinished();
    }
    DebugConsole(const DebugConsole&) = delete;
    DebugConsole& operator=(const DebugConsole&) = delete;

    const QString ready;
    const QString keys;

    void program(const QByteArray& bytes) { EXPECT_EQ(write(slave_, bytes.data(), bytes.size()), bytes.size()); }
    // The program's terminal as a program that reads key by key sets it.
    void rawProgram()
    {
        termios mode{};
        tcgetattr(slave_, &mode);
        cfmakeraw(&mode);
        tcsetattr(slave_, TCSANOW, &mode);
    }
    // What the program reads until it has read expected or a second has gone by.
    QByteArray programReadsUntil(const QByteArray& expected)
    {
        QByteArray got;
        for (int i = 0; i < 10 && got.size() < expected.size(); ++i) {
            pollfd p{slave_, POLLIN, 0};
            char buf[256];
            const ssize_t n = poll(&p, 1, 100) > 0 ? read(slave_, buf, sizeof buf) : 0;
            got.append(buf, n > 0 ? int(n) : 0);
        }
        return got;
    }
    // What the program reads from the inner terminal within a second.
    QByteArray programReads()
    {
        pollfd p{slave_, POLLIN, 0};
        char buf[256];
        const ssize_t n = poll(&p, 1, 1000) > 0 ? read(slave_, buf, sizeof buf) : 0;
        return QByteArray(buf, n > 0 ? int(n) : 0);
    }
    void type(const QByteArray& keys) { process_.write(keys); process_.waitForBytesWritten(); }
    // Whether the terminal window has shown text within a second.
    bool shows(const QByteArray& text)
    {
        for (int i = 0; i < 50 && !screen_.contains(text); ++i) {
            process_.waitForReadyRead(20);
            screen_ += process_.readAllStandardOutput();
        }
        return screen_.contains(text);
    }
    void signal(int number) { kill(pid_t(process_.processId()), number); }
    // The exit status once it ended within ms; -1 while it runs.
    int ended(int ms = 1000)
    {
        if (!process_.waitForFinished(ms))
            return -1;
        screen_ += process_.readAllStandardOutput();
        return process_.exitStatus() == QProcess::NormalExit ? process_.exitCode() : -1;
    }
    const QByteArray& screen() const { return screen_; }

private:
    QProcess process_;
    int slave_ = -1;
    QByteArray screen_;
};

}  // namespace

// Guards the relay both ways and the program's last output, written just before the
// window says it ended, which must still reach the screen.
TEST(DebugConsoleTool, RelaysBothWaysAndClosesWhenTheProgramEnds)
{
    TempDir tmp;
    DebugConsole console(tmp, "close");
    console.program("hello");
    EXPECT_TRUE(console.shows("hello")) << console.screen().toStdString();
    console.type("abc\n");
    EXPECT_EQ(console.programReads(), "abc\n");
    // Stopped, the console takes the end before it could read the words: it must
    // still relay them.
    console.signal(SIGSTOP);
    console.program("last words\n");
    console.signal(SIGUSR1);
    console.signal(SIGCONT);
    EXPECT_EQ(console.ended(), 0);
    EXPECT_TRUE(console.screen().endsWith("last words\r\n")) << console.screen().toStdString();
}

// The debugger's keys typed in the console are the window's: named in the keys file,
// never the program's input, even when a key's sequence comes in two reads; other
// sequences (an arrow) and the Escape key itself still reach the program. The keys
// file gone, the console ends and takes its announcement with it.
TEST(DebugConsoleTool, DebuggerKeysGoToTheWindowNotTheProgram)
{
    TempDir tmp;
    DebugConsole console(tmp, "close");
    console.rawProgram();
    console.type("a\x1b[1");
    QThread::msleep(30);
    console.type("8~b\x1b[A\x1b[15;2~c");
    EXPECT_EQ(console.programReadsUntil("ab\x1b[Ac"), "ab\x1b[Ac");
    console.type("\x1bOS\x1b[14~\x1b[15~\x1b[18;2~\x1b[18;5~");
    console.type("\x1b");
    EXPECT_EQ(console.programReadsUntil("\x1b"), "\x1b");
    EXPECT_EQ(tmp.read(console.keys), "F7\nS-F5\nF4\nF4\nF5\nS-F7\nC-F7\n");

    ASSERT_TRUE(QFile::remove(console.keys));
    EXPECT_NE(console.ended(), -1);
    EXPECT_FALSE(QFile::exists(console.ready));
}

// Guards the window that stays open: the program's end is said, then the window
// waits for Enter; typing before that ends nothing.
TEST(DebugConsoleTool, WaitsForEnterAfterTheProgramEnds)
{
    TempDir tmp;
    DebugConsole console(tmp, "wait");
    console.signal(SIGUSR1);
    EXPECT_TRUE(console.shows(QStringLiteral("プログラムが終了しました。").toUtf8()));
    console.type("x");
    EXPECT_EQ(console.ended(200), -1);
    console.type("\n");
    EXPECT_EQ(console.ended(), 0);
}

// Guards the ways it ends by itself: its window gone (a console left behind would
// hold its terminal window open), SIGTERM, and bad usage.
TEST(DebugConsoleTool, EndsWithoutItsWindowOrOnBadUsage)
{
    TempDir tmp;
    const pid_t gone = fork();
    if (gone == 0)
        _exit(0);
    ASSERT_GT(gone, 0);
    waitpid(gone, nullptr, 0);
    {
        DebugConsole orphan(tmp, "close", gone);
        EXPECT_NE(orphan.ended(), -1);
        DebugConsole stopped(tmp, "wait");
        stopped.signal(SIGTERM);
        EXPECT_NE(stopped.ended(), -1);
    }
    const QString tool = kBin + QStringLiteral("nollex-console");
    const QString ready = tmp.file(QStringLiteral("r"));
    const QString self = QString::number(getpid());
    const QStringList bad[] = {
        {ready, self},
        {ready, self, QStringLiteral("stay")},
        {ready, QStringLiteral("0"), QStringLiteral("close")},
        {tmp.file(QStringLiteral("no folder/r")), self, QStringLiteral("close")},
    };
    for (const QStringList& args : bad)
        EXPECT_EQ(run(tool, args, tmp.path()).code, 2) << args.join(u' ').toStdString();
}
