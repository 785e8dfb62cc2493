#pragma once
// Opening a project file as editor pages and closing it again, on the main
// window's page set and project state. TForm1's handlers forward here; what
// belongs to the window (its Close command, caption and status bar) comes in as
// callbacks, so the commands run and are tested without a main window.
//
// While a project is open, page j holds the project's entry j and
// projectMainIndex names the main file's page; the build and the Close command
// rely on that.

#include <QString>
#include <QStringList>
#include <functional>

namespace nollex {

class Dialogs;
class TCustomizedMemo;
class TMemos;

struct ProjectCommandsHost {
    TMemos& memos;
    Dialogs& dialogs;
    QString& projectFile;   // kept after a close
    int& projectMainIndex;  // -1 = no project open
    // The page Close command: closes the active page (a lone page is replaced by a
    // fresh untitled one) unless the user keeps it; may throw NollexError.
    std::function<void()> closeActivePage;
    std::function<void(const QString&)> setMainCaption;  // "Nollex < " + x + " >"
    std::function<void(const QString&)> setStatusText;   // status bar panel 0
    std::function<bool(const QString&)> pathExists;      // a file or folder is found
};

class ProjectCommands {
public:
    explicit ProjectCommands(ProjectCommandsHost host) : host_(std::move(host)) {}

    // "Project Open": the project open dialog, then open().
    void openFromDialog();

    // Replaces the pages by the project's files, after its version question and
    // validity check. When the user keeps one of the present pages while they are
    // closed, the opening stops there: nothing of the project is loaded and the
    // project state is what it was (an earlier project whose main page was closed
    // meanwhile counts as closed). A failed save while closing stops it the same
    // way and the error goes on to the caller.
    void open(const QString& path);

    // "Project Close": no project open any more, then every page closed. A page
    // the user keeps (Cancel, or a cancelled save) ends the closing there rather
    // than asking about the same page again.
    void close();

private:
    // Runs the Close command once per page; false as soon as the user keeps one.
    bool closeAllPages();
    // Back to the project state from before a stopped opening.
    void restoreProject(const QString& oldFile, int oldMainIndex, TCustomizedMemo* oldMainPage);
    void loadEntries(const QString& path, const QStringList& entries);

    ProjectCommandsHost host_;
};

// The notice for a listed file that does not exist (caption "Nollex").
QString missingProjectEntryText(const QString& path);

}  // namespace nollex
