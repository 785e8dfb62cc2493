#pragma once
// Opening a project file as editor pages and closing it again, on the main
// window's page set and project state. TForm1's handlers forward here; what
// belongs to the window (its Close command, caption and status bar) is asked of
// it through WindowHost.
//
// While a project is open, page j holds the project's entry j and
// ProjectMainIndex names the main file's page; the build and the Close command
// rely on that.

#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QString>
#include <QStringList>

namespace nollex {

class TCustomizedMemo;

class ProjectCommands {
public:
    ProjectCommands(WindowState& state, WindowHost& window) : state_(state), window_(window) {}

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
    // The caption then names the active page, when that changed.
    bool closeAllPages();
    // Back to the project state from before a stopped opening.
    void restoreProject(const QString& oldFile, int oldMainIndex, TCustomizedMemo* oldMainPage);
    void loadEntries(const QString& path, const QStringList& entries);

    WindowState& state_;
    WindowHost& window_;
};

// The notice for a listed file that does not exist (caption "Nollex").
QString missingProjectEntryText(const QString& path);

}  // namespace nollex
