#pragma once
// Starting the outside programs. A command line is given in the Windows form and
// split by the Windows rules (platform/WinCommandLine.h); its program is looked
// up in the system's own folder, then in PATH. Nothing is ever handed to a shell.

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nollex {

class Waiting;

struct StartRequest {
    QString commandLine;
    QString folder;        // current folder of the program; empty = this process's
    bool console = false;  // in a console window; otherwise no window at all
    bool wait = false;     // block until it ends, without time limit
    // "NAME=value" entries that replace or add to the inherited environment.
    QStringList environment;
};

// How a program that was waited for through run() ended.
struct RunResult {
    int startError = 0;    // as start() gives it; 0 when it started
    int exitCode = 0;      // its exit status; 128 + N when signal N ended it
    bool stopped = false;  // the user stopped the wait and the program was ended
};

class ProcessStarter {
public:
    virtual ~ProcessStarter() = default;
    // 0 when the program started (and, with wait, has ended); otherwise an error
    // number (errno; 2 = not found). Throws NollexError when a console window is
    // asked for and no terminal can be found.
    virtual int start(const StartRequest& request) = 0;
    // Starts the request's program with no window, the null device as its input
    // and in a process group of its own, and waits for it through waiting (the
    // request's console and wait are not used). A stop ends the whole group.
    virtual RunResult run(const StartRequest& request, Waiting& waiting) = 0;
    // The Windows platform id this system answers to: 2 here (the NT family).
    virtual int platformId() const = 0;
};

class HostProcessStarter : public ProcessStarter {
public:
    // systemFolder: where bare program names are looked for first. The current
    // folder now is the one a relative NOLLEX_TERMINAL is taken from.
    explicit HostProcessStarter(QString systemFolder);
    int start(const StartRequest& request) override;
    RunResult run(const StartRequest& request, Waiting& waiting) override;
    int platformId() const override { return 2; }

private:
    std::optional<QStringList> programWords(const QString& commandLine) const;

    QString systemFolder_;
    QString startFolder_;
};

// The full path of a program named on a command line: a name with a folder as it
// is, a bare name from systemFolder, then from the folders of path (PATH's form).
// Nothing when it is not found.
std::optional<QString> findProgram(const QString& name, const QString& systemFolder,
                                   const QString& path);

// The command that opens a console window running a program: the words of
// NOLLEX_TERMINAL (terminalVariable) when set, its program taken from startFolder
// (empty: the current folder) when it is a relative path, else the first known
// terminal that findOnPath finds (an x-terminal-emulator that only leads to xterm
// counts as none; xterm itself gets the looks of a Windows console). The program
// and its arguments follow these words. Throws NollexError when there is none.
QStringList consoleCommandPrefix(const QString& terminalVariable,
                                 const std::function<QString(const QString&)>& findOnPath,
                                 const QString& startFolder = QString());

}  // namespace nollex
