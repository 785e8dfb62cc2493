// Programs written for the old compilers (conio.h, dos.h, windows.h, system("pause"))
// built by the real bcc32.exe with the machine's gcc/g++ and run on a pseudo-terminal,
// where this test plays the terminal and the user.
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

using nollex::test::TempDir;

namespace {

const QString kBin = QStringLiteral(NOLLEX_BINARY_DIR "/");

// Valid as C and as C++; <unistd.h> comes before <dos.h> in one and after in the other.
const char* const kProgram = R"(#ifndef __cplusplus
#include <unistd.h>
#endif
#include <conio.h>
#include <dos.h>
#include <windows.h>
#ifdef __cplusplus
#include <unistd.h>
#endif
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

/* Endless in practice: the sum after the call keeps it from becoming a loop. */
static int deeper(int n)
{
    volatile char frame[256];
    if (n < 0)
        return 0;
    frame[0] = (char)n;
    return deeper(n + 1) + frame[0];
}

int main(int argc, char** argv)
{
    const char* mode = argc > 1 ? argv[1] : "";
    if (strcmp(mode, "keys") == 0) {
        int k, a, b, h;
        char line[8];
        printf("A>"); k = getch(); printf("[%d]\n", k);
        printf("B>"); a = getch(); b = getch(); printf("[%d,%d]\n", a, b);
        printf("C>"); h = kbhit(); printf("[hit=%d]\n", h);
        printf("D>"); while (!kbhit()) delay(5); printf("[k=%d]\n", getch());
        printf("E>"); k = getche(); printf("[e=%d]\n", k);
        ungetch('u'); printf("[u=%d]\n", getch());
        line[0] = 6;
        printf("F>"); cgets(line); printf("[line=%s,%d]\n", line + 2, line[1]);
        return 0;
    }
    if (strcmp(mode, "screen") == 0) {
        DWORD start;
        BOOL beeped;
        int x, y;
        clrscr(); gotoxy(10, 5); gotoxy(0, 3);
        x = wherex(); y = wherey(); printf("[x=%d,y=%d]\n", x, y);
        textcolor(RED); textbackground(BLUE); cputs("red"); cprintf("<%d>", 42); putch('!');
        textcolor(LIGHTGREEN | BLINK); clreol(); normvideo(); cputs("plain\n");
        start = GetTickCount();
        Sleep(100); delay(50); sleep(0); beeped = Beep(440, 10);
        printf("[slept=%d,beep=%d]\n", GetTickCount() - start >= 150, beeped == TRUE);
        system("cls");
        printf("P>\n"); system("pause"); printf("[after pause]\n");
        return 0;
    }
    if (strcmp(mode, "poll") == 0) {  /* ends in key mode, by exit() or a key's signal */
        printf("W>");
        while (!kbhit()) delay(5);
        exit(3);
    }
    if (strcmp(mode, "overflow") == 0) {  /* runs out of stack in key mode */
        printf("O>");
        while (!kbhit()) delay(5);
        return deeper(0);
    }
    if (strcmp(mode, "wait") == 0) {  /* ended by a signal from outside */
        printf("G>");
        getch();
        return 0;
    }
    if (strcmp(mode, "pipe") == 0) {
        int a = getch(), b = getch(), h = kbhit(), c = getch();
        printf("[%d %d %d %d]\n", a, b, h, c);
        return 0;
    }
    return 1;
}
)";

struct Built {
    QByteArray messages;  // bcc32.exe's output: the host commands and their diagnostics
    QString exe;          // empty when nothing was built
};

Built build(const TempDir& dir, const QString& source, const QByteArray& text)
{
    dir.write(source, text);
    QProcess p;
    p.setProgram(kBin + QStringLiteral("bcc32.exe"));
    p.setArguments({source});
    p.setWorkingDirectory(dir.path());
    p.setProcessChannelMode(QProcess::MergedChannels);
    // The link line is read from the commands it shows when asked.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOLLEX_SHOW_HOST_COMMANDS"), QStringLiteral("1"));
    p.setProcessEnvironment(env);
    p.start();
    EXPECT_TRUE(p.waitForFinished(120000));
    Built b;
    b.messages = p.readAll();
    const QString exe = dir.file(source.section(u'.', 0, 0) + QStringLiteral(".exe"));
    if (p.exitCode() == 0 && QFile::exists(exe))
        b.exe = exe;
    return b;
}

// The last command bcc32.exe ran: the link.
QByteArray linkLine(const QByteArray& messages)
{
    const QList<QByteArray> lines = messages.trimmed().split('\n');
    return lines.isEmpty() ? QByteArray() : lines.last();
}

bool keyMode(int tty)
{
    termios mode{};
    EXPECT_EQ(tcgetattr(tty, &mode), 0);
    return (mode.c_lflag & (ICANON | ECHO)) == 0;
}

bool lineMode(int tty)
{
    termios mode{};
    EXPECT_EQ(tcgetattr(tty, &mode), 0);
    return (mode.c_lflag & (ICANON | ECHO)) == (ICANON | ECHO);
}

// A program on a pseudo-terminal of its own, as in a console window: its session,
// its controlling terminal and the foreground there. Answers cursor-position queries
// as a terminal would (row 5, column 10).
class Console {
public:
    Console(const QString& exe, const char* mode)
    {
        termios mode0{};
        cfmakeraw(&mode0);
        mode0.c_iflag |= ICRNL;
        mode0.c_oflag |= OPOST | ONLCR;
        mode0.c_lflag |= ICANON | ECHO | ISIG;
        mode0.c_cc[VINTR] = 3;
        mode0.c_cc[VMIN] = 1;
        EXPECT_EQ(openpty(&master_, &tty_, nullptr, &mode0, nullptr), 0);
        // PATH as a console start of Nollex sets it: our pause and cls first. Made
        // before the fork: the child calls nothing that allocates.
        std::vector<QByteArray> environment;
        for (char** e = environ; *e; ++e)
            if (std::strncmp(*e, "PATH=", 5) != 0)
                environment.emplace_back(*e);
        environment.push_back("PATH=" + (kBin + QStringLiteral("compat/bin:")).toUtf8() + qgetenv("PATH"));
        std::vector<char*> envp;
        for (QByteArray& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
        QByteArray program = exe.toUtf8();
        QByteArray argument(mode);
        char* argv[] = {program.data(), argument.data(), nullptr};
        pid_ = fork();
        if (pid_ == 0) {
            setsid();
            ioctl(tty_, TIOCSCTTY, 0);
            dup2(tty_, 0);
            dup2(tty_, 1);
            dup2(tty_, 2);
            close(master_);
            close(tty_);
            execve(argv[0], argv, envp.data());
            _exit(127);
        }
    }
    ~Console()
    {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        close(master_);
        close(tty_);
    }
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    // Reads until the output holds text; false after a timeout.
    bool waitFor(const QByteArray& text)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!output_.contains(text)) {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            pump(50);
        }
        return true;
    }

    void type(const QByteArray& keys) { EXPECT_EQ(write(master_, keys.constData(), keys.size()), keys.size()); }

    // The wait status, or -1 when the program did not end in time.
    int wait()
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        int status = 0;
        while (waitpid(pid_, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline)
                return -1;
            pump(20);
        }
        ended_ = true;
        return status;
    }

    const QByteArray& output() const { return output_; }
    int tty() const { return tty_; }
    pid_t pid() const { return pid_; }

private:
    // What the program wrote within ms, and the answers to its cursor queries.
    void pump(int ms)
    {
        pollfd p{master_, POLLIN, 0};
        if (poll(&p, 1, ms) > 0) {
            char buf[512];
            const ssize_t n = read(master_, buf, sizeof buf);
            if (n > 0)
                output_.append(buf, n);
        }
        const qsizetype queries = output_.count("\033[6n");
        for (; answered_ < queries; ++answered_)
            type("\033[5;10R");
    }

    int master_ = -1;
    int tty_ = -1;
    pid_t pid_ = -1;
    bool ended_ = false;
    QByteArray output_;
    qsizetype answered_ = 0;
};

// What the output shows between two marks.
QByteArray between(const QByteArray& output, const QByteArray& first, const QByteArray& second)
{
    const qsizetype a = output.indexOf(first);
    const qsizetype b = output.indexOf(second, a);
    return a < 0 || b < 0 ? QByteArray("<missing>") : output.mid(a + first.size(), b - a - first.size());
}

}  // namespace

class CompatPrograms : public ::testing::TestWithParam<const char*> {
protected:
    // The same program built once as C and once as C++.
    static void SetUpTestSuite()
    {
        dir_ = new TempDir;
        for (const char* source : {"prog_c.c", "prog_cpp.cpp"}) {
            const Built b = build(*dir_, QString::fromLatin1(source), kProgram);
            ASSERT_FALSE(b.exe.isEmpty()) << b.messages.toStdString();
            EXPECT_TRUE(linkLine(b.messages).contains("/compat/lib/libnollexcompat.a")) << b.messages.toStdString();
        }
    }
    static void TearDownTestSuite()
    {
        delete dir_;
        dir_ = nullptr;
    }
    static QString exe() { return dir_->file(QString::fromLatin1(GetParam()) + QStringLiteral(".exe")); }

    static TempDir* dir_;
};

TempDir* CompatPrograms::dir_ = nullptr;

INSTANTIATE_TEST_SUITE_P(CAndCxx, CompatPrograms, ::testing::Values("prog_c", "prog_cpp"));

// Guards the keyboard: one key without Enter and unechoed, arrows as the old
// two-part codes, kbhit at once, then the terminal's line mode back at the end.
TEST_P(CompatPrograms, KeysWithoutEnterOrEcho)
{
    Console con(exe(), "keys");
    ASSERT_TRUE(con.waitFor("A>")) << con.output().toStdString();
    EXPECT_TRUE(keyMode(con.tty()));
    con.type("x");
    ASSERT_TRUE(con.waitFor("[120]")) << con.output().toStdString();
    EXPECT_EQ(between(con.output(), "A>", "[120]"), "");  // nothing echoed

    ASSERT_TRUE(con.waitFor("B>"));
    con.type("\033[A");  // the Up key
    ASSERT_TRUE(con.waitFor("[224,72]")) << con.output().toStdString();
    ASSERT_TRUE(con.waitFor("[hit=0]")) << con.output().toStdString();
    ASSERT_TRUE(con.waitFor("D>"));
    con.type("k");
    ASSERT_TRUE(con.waitFor("[k=107]")) << con.output().toStdString();
    ASSERT_TRUE(con.waitFor("E>"));
    con.type("\n");  // Enter gives 13 and getche shows it
    ASSERT_TRUE(con.waitFor("[e=13]")) << con.output().toStdString();
    EXPECT_EQ(between(con.output(), "E>", "[e=13]"), "\r");
    ASSERT_TRUE(con.waitFor("[u=117]"));
    ASSERT_TRUE(con.waitFor("F>"));
    con.type("ab\x7f" "cdefgh\r");  // Backspace takes the b back; room for five
    ASSERT_TRUE(con.waitFor("[line=acdef,5]")) << con.output().toStdString();

    const int status = con.wait();
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_TRUE(lineMode(con.tty()));
}

// Guards the screen: the escape sequences of clrscr, gotoxy and the colours, the
// cursor position read from the terminal, the pauses, and system("cls") and
// system("pause") reaching our commands.
TEST_P(CompatPrograms, ScreenPausesAndSystemCommands)
{
    Console con(exe(), "screen");
    ASSERT_TRUE(con.waitFor("[x=10,y=5]")) << con.output().toStdString();
    EXPECT_TRUE(con.output().startsWith("\033[2J\033[H\033[5;10H\033[6n")) << con.output().toStdString();
    ASSERT_TRUE(con.waitFor("plain"));
    EXPECT_EQ(between(con.output(), "y=5]\r\n", "plain"),
              "\033[0;31;44mred\033[0m\033[0;31;44m<42>\033[0m\033[0;31;44m!\033[0m\033[0;92;44;5m\033[K\033[0m");
    ASSERT_TRUE(con.waitFor("[slept=1,beep=1]")) << con.output().toStdString();
    EXPECT_TRUE(con.output().contains("\a"));
    ASSERT_TRUE(con.waitFor("続行するには何かキーを押してください . . .")) << con.output().toStdString();
    EXPECT_TRUE(between(con.output(), "beep=1]", "P>").contains("\033[H\033[2J")) << con.output().toStdString();
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(con.output().contains("[after pause]"));  // it waits for a key
    EXPECT_TRUE(keyMode(con.tty()));
    con.type("p");
    ASSERT_TRUE(con.waitFor("[after pause]")) << con.output().toStdString();
    EXPECT_FALSE(between(con.output(), ". . .", "[after pause]").contains("p"));
    EXPECT_EQ(con.wait(), 0);
    EXPECT_TRUE(lineMode(con.tty()));
}

// Guards the restore however the program ends while the terminal is in key mode:
// the interrupt key, exit(), signals from outside, and a stack overflow. A signal still ends the
// program as that signal.
TEST_P(CompatPrograms, TerminalModeRestoredHoweverItEnds)
{
    const struct {
        const char* what;
        const char* mode;
        const char* prompt;
        const char* keys;  // typed, or
        int signal;        // sent to the program
        int exitCode;      // -1: ended by the signal
        int endingSignal;
    } cases[] = {
        {"Ctrl+C while polling", "poll", "W>", "\x03", 0, -1, SIGINT},
        {"exit() after a key", "poll", "W>", "q", 0, 3, 0},
        {"SIGTERM in getch", "wait", "G>", nullptr, SIGTERM, -1, SIGTERM},
        {"SIGHUP in getch", "wait", "G>", nullptr, SIGHUP, -1, SIGHUP},
        {"stack overflow after kbhit", "overflow", "O>", "q", 0, -1, SIGSEGV},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Console con(exe(), c.mode);
        ASSERT_TRUE(con.waitFor(c.prompt)) << con.output().toStdString();
        EXPECT_TRUE(keyMode(con.tty()));
        if (c.keys)
            con.type(c.keys);
        else
            kill(con.pid(), c.signal);
        const int status = con.wait();
        if (c.exitCode >= 0)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.exitCode) << status;
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == c.endingSignal) << status;
        EXPECT_TRUE(lineMode(con.tty()));
    }
}

// Guards input that is not a terminal (a file here): bytes as they come, then EOF; kbhit says yes
// at the end so that a loop waiting for a key ends.
TEST_P(CompatPrograms, InputNotATerminal)
{
    TempDir dir;
    QProcess p;
    p.setStandardInputFile(dir.write(QStringLiteral("input"), "ab"));
    p.start(exe(), {QStringLiteral("pipe")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.readAllStandardOutput(), "[97 98 1 -1]\n");
}

// Guards the rule that a program that includes none of the headers is linked as
// before, and that the other headers of that world stay missing.
TEST(CompatBuild, LinkLineWithoutTheHeaders)
{
    TempDir dir;
    const struct {
        const char* source;
        const char* text;
        const char* link;  // null: the compile fails with this message instead
        const char* message;
    } cases[] = {
        {"plain.cpp", "#include <cstdio>\nint main() { std::puts(\"x\"); }\n", "g++ plain.obj -o plain.exe", nullptr},
        {"plain_c.c", "#include <stdio.h>\nint main(void) { puts(\"x\"); return 0; }\n",
         "gcc plain_c.obj -lm -o plain_c.exe", nullptr},
        {"uses.c", "#include <windows.h>\nint main(void) { Sleep(1); return 0; }\n", nullptr, nullptr},
        {"graph.cpp", "#include <graphics.h>\nint main() {}\n", nullptr, "graphics.h: No such file or directory"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const Built b = build(dir, QString::fromLatin1(c.source), c.text);
        if (c.message) {
            EXPECT_TRUE(b.exe.isEmpty());
            EXPECT_TRUE(b.messages.contains(c.message)) << b.messages.toStdString();
        } else if (c.link) {
            EXPECT_EQ(linkLine(b.messages), c.link) << b.messages.toStdString();
        } else {
            EXPECT_FALSE(b.exe.isEmpty()) << b.messages.toStdString();
            EXPECT_TRUE(linkLine(b.messages).endsWith("/compat/lib/libnollexcompat.a -lm -o uses.exe"))
                << b.messages.toStdString();
        }
    }
}
