#pragma once
// What the subsystems need of the main window beyond its shared values: its page
// set, its collaborators and the steps only the window can take. The window
// implements it; a test implements it to record what a command asked for.

#include "state/Modes.h"

#include <QString>

namespace nollex {

class Dialogs;
class FileSystem;
class ProcessStarter;
class TMemos;
class Waiting;
struct ProgramFolders;

class WindowHost {
public:
    virtual TMemos& pages() = 0;
    virtual Dialogs& dialogs() const = 0;
    virtual FileSystem& files() = 0;
    virtual ProcessStarter& processes() = 0;
    virtual const ProgramFolders& folders() const = 0;
    // How a build waits for its compile, or for another window's build.
    virtual Waiting& waiting() = 0;

    virtual void setMainCaption(const QString& x) = 0;  // "Nollex < " + x + " >"
    virtual void setStatusText(const QString& text) = 0;
    virtual void setMessages(const QString& text) = 0;  // replaces the message pane's text
    virtual void OpenProject(const QString& path) = 0;
    // True when the page was written, false when the save dialog was cancelled;
    // a failed write throws NollexError.
    virtual bool SavePage(SaveMode mode) = 0;
    // Closes the active page (a lone page is replaced by a fresh untitled one)
    // unless the user keeps it; may throw NollexError.
    virtual void closeActivePage() = 0;
    // Writes the active page's text to path as its Save does (encoding kept).
    virtual void writeActivePage(const QString& path) = 0;
    // Watches the run about to start for its end (see explain/RunFault.h), in place
    // of any run watched before; consoleCloses: the console closes by itself when
    // the program ends. The entries the console's environment needs for that;
    // none when the run cannot be watched (it then runs as it would unwatched).
    virtual QStringList watchRun(bool consoleCloses) = 0;
    // Runs the sample cases of the active page's folder with the program just built.
    virtual void runSamples(const QString& program) = 0;
    // Runs the program just built under the debugger.
    virtual void debugProgram(const QString& program) = 0;

    // --- asked by the journal (app/journal/JournalKeeper) ---
    // The caret labels show the active page's caret.
    virtual void ShowCaretPos() = 0;
    // The caption names the active page's file when it named another page.
    virtual void captionFollowsActivePage() = 0;

protected:
    ~WindowHost() = default;
};

}  // namespace nollex
