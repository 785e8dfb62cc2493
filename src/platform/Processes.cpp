#include "Processes.h"

#include "Errors.h"
#include "WinCommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nollex {

namespace {

bool isProgramFile(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// This process's environment with folder first on PATH.
std::vector<QByteArray> environmentWithPathFirst(const QByteArray& folder)
{
    std::vector<QByteArray> entries;
    QByteArray path = "PATH=" + folder;
    bool hadPath = false;
    for (char** e = environ; *e; ++e) {
        const QByteArray entry(*e);
        if (entry.startsWith("PATH=") && !hadPath) {
            hadPath = true;
            if (entry.size() > 5)
                path += ':' + entry.mid(5);
            else
                path += ':';  // an empty PATH meant the current folder; it still does
        } else {
            entries.push_back(entry);
        }
    }
    if (!hadPath)
        path += ":/usr/local/bin:/usr/bin:/bin";  // what a missing PATH searches
    entries.push_back(path);
    return entries;
}

// Starts argv[0] (a full path) in folder. With wait, returns when it has ended;
// without, it runs in a session of its own, re-parented so nobody has to reap it.
// 0 or the errno of the failed step, as the child reports it through a pipe.
// pathFirst, when not empty, goes first on the program's PATH.
int spawn(const QStringList& words, const QString& folder, bool wait, const QString& pathFirst = QString())
{
    std::vector<QByteArray> bytes;
    bytes.reserve(words.size());
    for (const QString& w : words)
        bytes.push_back(QFile::encodeName(w));
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    const QByteArray dir = QFile::encodeName(folder);
    std::vector<QByteArray> environment;
    std::vector<char*> envp;
    if (!pathFirst.isEmpty()) {
        environment = environmentWithPathFirst(QFile::encodeName(pathFirst));
        for (QByteArray& entry : environment)
            envp.push_back(entry.data());
        envp.push_back(nullptr);
    }

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return errno;
    const pid_t pid = fork();
    if (pid < 0) {
        const int e = errno;
        close(report[0]);
        close(report[1]);
        return e;
    }
    if (pid == 0) {
        // Only async-signal-safe calls from here on.
        close(report[0]);
        auto fail = [&](int e) {
            (void)!write(report[1], &e, sizeof e);
            _exit(127);
        };
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        signal(SIGPIPE, SIG_DFL);
        // No handles are inherited: only standard input, output and error stay open.
        close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        if (!wait) {
            setsid();
            const pid_t grandchild = fork();
            if (grandchild < 0)
                fail(errno);
            if (grandchild > 0)
                _exit(0);
        }
        if (!dir.isEmpty() && chdir(dir.constData()) != 0)
            fail(errno);
        execve(argv[0], argv.data(), envp.empty() ? environ : envp.data());
        fail(errno);
    }
    close(report[1]);
    int error = 0;
    ssize_t n;
    do {
        n = read(report[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    close(report[0]);
    if (n != sizeof error)
        error = 0;
    // The waited program, a child that failed, or the short-lived parent of a
    // detached one: each is reaped here.
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return error;
}

}  // namespace

std::optional<QString> findProgram(const QString& name, const QString& systemFolder,
                                   const QString& path)
{
    if (name.isEmpty())
        return std::nullopt;
    if (name.contains(u'/')) {
        const QString full = QDir::current().absoluteFilePath(name);
        return QFileInfo::exists(full) ? std::optional(full) : std::nullopt;
    }
    if (!systemFolder.isEmpty()) {
        const QString inSystem = QDir(systemFolder).absoluteFilePath(name);
        if (isProgramFile(inSystem))
            return inSystem;
    }
    for (const QString& folder : path.split(u':', Qt::SkipEmptyParts)) {
        const QString candidate = QDir(folder).absoluteFilePath(name);
        if (isProgramFile(candidate))
            return candidate;
    }
    return std::nullopt;
}

QStringList consoleCommandPrefix(const QString& terminalVariable,
                                 const std::function<QString(const QString&)>& findOnPath)
{
    if (!terminalVariable.trimmed().isEmpty()) {
        QStringList words = QProcess::splitCommand(terminalVariable);
        const QString program = words.value(0);
        const QString found = program.contains(u'/') ? program : findOnPath(program);
        if (found.isEmpty() || !isProgramFile(found)) {
            throw NollexError(QStringLiteral("環境変数 NOLLEX_TERMINAL の端末 \"%1\" が見つかりません")
                                  .arg(program));
        }
        words[0] = found;
        return words;
    }
    // Each terminal's own way of saying "run this program and its arguments".
    static const struct {
        const char* name;
        const char* runOption;
    } terminals[] = {{"x-terminal-emulator", "-e"},
                     {"xterm", "-e"},
                     {"gnome-terminal", "--"},
                     {"konsole", "-e"},
                     {"xfce4-terminal", "-x"}};
    for (const auto& t : terminals) {
        const QString found = findOnPath(QString::fromLatin1(t.name));
        if (!found.isEmpty())
            return {found, QString::fromLatin1(t.runOption)};
    }
    throw NollexError(QStringLiteral(
        "コンソールウィンドウを開く端末が見つかりません。xterm などの端末をインストールするか、"
        "環境変数 NOLLEX_TERMINAL に端末のコマンド（例: xterm -e）を設定してください"));
}

int HostProcessStarter::start(const StartRequest& request)
{
    QStringList words;
    for (const std::string& w : SplitWindowsCommandLine(request.commandLine.toStdString()))
        words << QString::fromStdString(w);
    if (words.isEmpty())
        return ENOENT;
    const std::optional<QString> program =
        findProgram(words.first(), systemFolder_, qEnvironmentVariable("PATH"));
    if (!program)
        return ENOENT;
    words[0] = *program;
    if (request.console) {
        const QStringList prefix = consoleCommandPrefix(
            qEnvironmentVariable("NOLLEX_TERMINAL"),
            [](const QString& name) { return QStandardPaths::findExecutable(name); });
        words = prefix + words;
        // The programs run there find our pause and cls first, for system("pause")
        // and system("cls").
        const QString commands = QDir(systemFolder_).absoluteFilePath(QStringLiteral("compat/bin"));
        if (!systemFolder_.isEmpty() && QFileInfo(commands).isDir())
            return spawn(words, request.folder, request.wait, commands);
    }
    return spawn(words, request.folder, request.wait);
}

}  // namespace nollex
