#pragma once
// What the subsystems need of the main window beyond its shared values: its page
// set, its collaborators and the steps only the window can take. The window
// implements it; a test implements it to record what a command asked for.

#include "state/Modes.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace nollex {

class Dialogs;
class Explainer;
class FileSystem;
class ProcessStarter;
class TCustomizedMemo;
class TMemos;
class Waiting;
struct BuiltPage;
struct MessagePlace;
struct ProgramFolders;
class TCustomizedMemo;
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

    // --- asked by the journal (app/journal/JournalKeeper) ---
    // The caption names the active page's file when it named another page.
    virtual void captionFollowsActivePage() = 0;

    // --- the message pane (app/messages) and the watched run (app/runs) ---
    // Lines added under the pane's text; a place for those that lead to the code
    // (the lines after the first go with it: F8 stops once).
    virtual void appendMessages(const QStringList& lines, const std::optional<MessagePlace>& place) = 0;
    // An error's explanation under the line of the page its file names, the line
    // marked; nothing when no page holds the file or the place names no line.
    virtual void explainOnPage(const MessagePlace& place, const QString& text) = 0;
    // The explanations' reader, made at its first use: it reads the catalogs.
    virtual const Explainer& explainer() = 0;
    // The last build's page, as the explanations name it.
    virtual BuiltPage builtPageFacts() const = 0;
    // The page of a file a message names, opened as a dropped file when no page
    // holds it; -1 when it cannot be shown.
    virtual int placePage(const QString& file) = 0;
    // The private folder of runs' records and reports, made when missing; false
    // when it cannot be had (a run then goes unwatched).
    virtual bool runsFolderReady() const = 0;
    // What the last build compiled and from which page (null once closed): the
    // scratch copy of an Execute stands for that page in the compiler's messages.
    virtual TCustomizedMemo* builtPage() const = 0;
    virtual const QString& builtSource() const = 0;
    virtual void WMDropFiles(const QStringList& paths) = 0;  // opens them as files dropped on the window
    virtual void ShowCaretPos() = 0;  // the caret's line and column under the pages

    // --- asked by the debugger's window side (app/debug) ---
    // Builds the active page as mode says; the debugger's F5 builds it for gdb.
    virtual void RunBuild(BuildMode mode) = 0;
    // Runs a handler a timer or a signal calls; an error that escapes it is shown
    // and the window goes on.
    virtual void guarded(const std::function<void()>& handler) = 0;
    // The controls are laid out again: panes came or went.
    virtual void FormResize() = 0;
    // What the explainer tells of a signal a program got; empty when it knows none.
    virtual QString signalText(int signal) = 0;

    // --- asked by the sample runs (app/samples) ---
    // The menu's check marks follow the shared switches after one changed.
    virtual void showSwitches() = 0;
    // The environment entries a guarded run needs to leave its files at stem; none
    // when it cannot.
    virtual QStringList watchedRunEnvironment(const QString& stem) = 0;
    // What the checkers reported of a watched run's process, explained at the
    // built page's lines.
    virtual RunFault watchedRunFault(const QString& stem, const RunRecord& record) = 0;
    // A line added under the message pane's text that runs open when it is chosen
    // (double-clicked), until the pane's text is replaced.
    virtual void addOpeningMessage(const QString& line, std::function<void()> open) = 0;

protected:
    ~WindowHost() = default;
};

}  // namespace nollex
