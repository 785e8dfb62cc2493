#include "Processes.h"

#include "Errors.h"
#include "HostProcess.h"
#include "Waiting.h"
#include "WinCommandLine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace nollex {

namespace {

bool isProgramFile(const QString& path)
{
    return host::IsExecutableFile(QFile::encodeName(path).toStdString());
}

// This process's environment with folder first on PATH.
// This process's environment with the extra entries in place of their namesakes
// and, when folder is given, that folder first in PATH.
std::vector<std::string> environmentWith(const std::string& folder, const QStringList& extra)
{
    std::vector<std::string> entries;
    std::vector<std::string> added;
    for (const QString& e : extra)
        added.push_back(QFile::encodeName(e).toStdString());
    const auto replaced = [&](std::string_view entry) {
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos)
            return false;
        const std::string_view name = entry.substr(0, equals + 1);
        return std::any_of(added.begin(), added.end(), [&](const std::string& a) { return a.starts_with(name); });
    };
    std::string path = "PATH=" + folder;
    bool hadPath = folder.empty();
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (replaced(entry))
            continue;
        if (entry.starts_with("PATH=") && !hadPath) {
            hadPath = true;
            if (entry.size() > 5)
                path += ':' + std::string(entry.substr(5));
            else
                path += ':';  // an empty PATH meant the current folder; it still does
        } else {
            entries.emplace_back(entry);
        }
    }
    if (!hadPath) {
        path += ":/usr/local/bin:/usr/bin:/bin";  // what a missing PATH searches
        entries.push_back(path);
    } else if (!folder.empty()) {
        entries.push_back(path);
    }
    entries.insert(entries.end(), added.begin(), added.end());
    return entries;
}

// Starts words[0] (a full path) in folder, waiting or detached; 0 or the errno
// of the failed step. pathFirst, when not empty, goes first on the program's PATH.
host::Launch launchOf(const QStringList& words, const QString& folder)
{
    host::Launch launch;
    for (const QString& w : words)
        launch.argv.push_back(QFile::encodeName(w).toStdString());
    launch.program = launch.argv.front();
    launch.folder = QFile::encodeName(folder).toStdString();
    // No handles are inherited: only standard input, output and error stay open.
    launch.closeOtherFiles = true;
    return launch;
}

int spawn(const QStringList& words, const StartRequest& request, const QString& pathFirst = QString())
{
    host::Launch launch = launchOf(words, request.folder);
    if (!pathFirst.isEmpty() || !request.environment.isEmpty())
        launch.environment = environmentWith(QFile::encodeName(pathFirst).toStdString(), request.environment);
    const bool wait = request.wait;
    launch.detach = !wait;
    return host::StartProcess(launch).startError;
}

int exitCodeOf(int waitStatus)
{
    if (WIFSIGNALED(waitStatus))
        return 128 + WTERMSIG(waitStatus);
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 1;
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
    std::vector<std::string> folders;
    if (!systemFolder.isEmpty())
        folders.push_back(QFile::encodeName(QDir(systemFolder).absolutePath()).toStdString());
    for (const QString& folder : path.split(u':', Qt::SkipEmptyParts))
        folders.push_back(QFile::encodeName(QDir(folder).absolutePath()).toStdString());
    const std::string found = host::FindExecutable(QFile::encodeName(name).toStdString(), folders);
    if (found.empty())
        return std::nullopt;
    return QFile::decodeName(found.c_str());
}

namespace {

// A console of xterm's own looks as a Windows console window does: 80 x 25
// characters, light grey on black, Japanese in two cells of its own font, and UTF-8
// as the programs write it whatever the locale. The CJK font only draws the wide
// characters: as xterm's main font its widest glyph would make every cell wide.
const QStringList kXtermConsole = {QStringLiteral("-geometry"), QStringLiteral("80x25"),
                                   QStringLiteral("-fg"),       QStringLiteral("#c0c0c0"),
                                   QStringLiteral("-bg"),       QStringLiteral("black"),
                                   QStringLiteral("-fa"),       QStringLiteral("DejaVu Sans Mono"),
                                   QStringLiteral("-fd"),       QStringLiteral("Noto Sans Mono CJK JP"),
                                   QStringLiteral("-fs"),       QStringLiteral("12"),
                                   QStringLiteral("-u8")};

// The terminal that NOLLEX_TERMINAL names, its program made a full path: a
// relative one from startFolder, a bare name from PATH.
QStringList namedTerminal(const QString& terminalVariable, const QString& startFolder,
                          const std::function<QString(const QString&)>& findOnPath)
{
    QStringList words = QProcess::splitCommand(terminalVariable);
    const QString program = words.value(0);
    const QString found = program.contains(u'/') ? QDir::cleanPath(QDir(startFolder).absoluteFilePath(program))
                                                 : findOnPath(program);
    if (found.isEmpty() || !isProgramFile(found)) {
        throw NollexError(QStringLiteral("環境変数 NOLLEX_TERMINAL の端末 \"%1\" が見つかりません").arg(program));
    }
    words[0] = found;
    return words;
}

// The system's x-terminal-emulator that merely leads to one of xterm's own
// starters: what the xterm package installs, not a choice of the user's.
bool leadsToXterm(const QString& path)
{
    static const QStringList xtermStarters = {QStringLiteral("xterm"), QStringLiteral("uxterm"),
                                              QStringLiteral("lxterm"), QStringLiteral("koi8rxterm")};
    const QString target = QFileInfo(path).canonicalFilePath();
    return !target.isEmpty() && xtermStarters.contains(QFileInfo(target).fileName());
}

}  // namespace

QStringList consoleCommandPrefix(const QString& terminalVariable,
                                 const std::function<QString(const QString&)>& findOnPath,
                                 const QString& startFolder)
{
    if (!terminalVariable.trimmed().isEmpty())
        return namedTerminal(terminalVariable, startFolder, findOnPath);
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
        const QString name = QString::fromLatin1(t.name);
        const QString found = findOnPath(name);
        if (found.isEmpty() || (name == QStringLiteral("x-terminal-emulator") && leadsToXterm(found)))
            continue;
        if (name == QStringLiteral("xterm"))
            return QStringList{found} + kXtermConsole + QStringList{QString::fromLatin1(t.runOption)};
        return {found, QString::fromLatin1(t.runOption)};
    }
    throw NollexError(QStringLiteral(
        "コンソールウィンドウを開く端末が見つかりません。xterm などの端末をインストールするか、"
        "環境変数 NOLLEX_TERMINAL に端末のコマンド（例: xterm -e）を設定してください"));
}

HostProcessStarter::HostProcessStarter(QString systemFolder)
    : systemFolder_(std::move(systemFolder)), startFolder_(QDir::currentPath())
{
}

// The words of a command line with its program found; nothing when it is not.
std::optional<QStringList> HostProcessStarter::programWords(const QString& commandLine) const
{
    QStringList words;
    for (const std::string& w : SplitWindowsCommandLine(commandLine.toStdString()))
        words << QString::fromStdString(w);
    if (words.isEmpty())
        return std::nullopt;
    const std::optional<QString> program =
        findProgram(words.first(), systemFolder_, qEnvironmentVariable("PATH"));
    if (!program)
        return std::nullopt;
    words[0] = *program;
    return words;
}

RunResult HostProcessStarter::run(const StartRequest& request, Waiting& waiting)
{
    RunResult result;
    const std::optional<QStringList> words = programWords(request.commandLine);
    if (!words) {
        result.startError = ENOENT;
        return result;
    }
    host::Launch launch = launchOf(*words, request.folder);
    launch.newProcessGroup = true;
    if (!request.environment.isEmpty())
        launch.environment = environmentWith(std::string(), request.environment);
    // Nothing may wait for input that nobody can type.
    const int nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    launch.stdinFd = nullInput;
    const int pid = host::SpawnProcess(launch, &result.startError);
    if (nullInput >= 0)
        ::close(nullInput);
    if (pid < 0)
        return result;
    int status = 0;
    if (!waiting.waitFor([&] { return host::ProcessEnded(pid, &status); }, kCompilingText)) {
        host::KillProcessGroup(pid);
        result.stopped = true;
        result.exitCode = 128 + SIGKILL;
        return result;
    }
    result.exitCode = exitCodeOf(status);
    return result;
}

int HostProcessStarter::start(const StartRequest& request)
{
    const std::optional<QStringList> found = programWords(request.commandLine);
    if (!found)
        return ENOENT;
    QStringList words = *found;
    if (request.console) {
        const QStringList prefix = consoleCommandPrefix(
            qEnvironmentVariable("NOLLEX_TERMINAL"),
            [](const QString& name) { return QStandardPaths::findExecutable(name); }, startFolder_);
        words = prefix + words;
        // The programs run there find our pause and cls first, for system("pause")
        // and system("cls").
        const QString commands = QDir(systemFolder_).absoluteFilePath(QStringLiteral("compat/bin"));
        if (!systemFolder_.isEmpty() && QFileInfo(commands).isDir())
            return spawn(words, request, commands);
    }
    return spawn(words, request);
}

}  // namespace nollex
