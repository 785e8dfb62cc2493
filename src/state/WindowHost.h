#pragma once
// What the subsystems need of the main window beyond its shared values: its page
// set, its collaborators and the steps only the window can take. The window
// implements it; a test implements it to record what a command asked for.

#include "state/Modes.h"

#include <QStringList>
#include <functional>
#include <optional>

namespace nollex {

class Dialogs;
class FileSystem;
class ProcessStarter;
class TMemos;
class Waiting;
struct ProgramFolders;
struct MessagePlace;
struct RunFault;
struct RunRecord;

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

    // --- what the sample runs (SampleRunner) ask of the window ---
    // Builds the active page as that mode's command does.
    virtual void build(BuildMode mode) = 0;
    // The menu's check marks follow the shared switches after one changed.
    virtual void showSwitches() = 0;
    // The private folder of watched runs' files, made when missing; empty when it
    // cannot be had (the runs then go unwatched).
    virtual QString watchedRunsFolder() = 0;
    // The environment entries a guarded run needs to leave its files at stem; none
    // when it cannot.
    virtual QStringList watchedRunEnvironment(const QString& stem) = 0;
    // What the checkers reported of a watched run's process, explained at the
    // built page's lines.
    virtual RunFault watchedRunFault(const QString& stem, const RunRecord& record) = 0;
    // Lines added under the message pane's text; place: where they lead in the code.
    virtual void addMessages(const QStringList& lines, const std::optional<MessagePlace>& place) = 0;
    // A line added under the message pane's text that runs open when it is chosen
    // (double-clicked), until the pane's text is replaced.
    virtual void addOpeningMessage(const QString& line, std::function<void()> open) = 0;

protected:
    ~WindowHost() = default;
};

}  // namespace nollex
