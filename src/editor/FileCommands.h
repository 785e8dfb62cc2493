#pragma once
// New, Open, Save, Save As, Close, the question at exit and dropped files, all on
// the window's page set. TForm1's handlers forward here; what belongs to the
// window (its caption, opening a project) is asked of it through WindowHost, so
// the commands run and are tested without a main window.

#include "TextFile.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QString>
#include <QStringList>

namespace nollex {

class TMemos;

class FileCommands {
public:
    FileCommands(WindowState& state, WindowHost& window) : state_(state), window_(window) {}

    void newPage();
    void open();
    // True when written, false when the save dialog was cancelled. A failed
    // write throws NollexError and changes nothing.
    bool savePage(SaveMode mode);
    // Closes the active page, or replaces it by a fresh untitled page when it is
    // the only one, unless the user keeps it.
    void close();
    // Whether the main window may close, after asking about every modified page,
    // each shown while it is asked about.
    bool mayCloseWindow();
    void drop(const QStringList& paths);

private:
    int targetPage();
    QString startFolder() const;
    void chosenIn(const QString& path);
    WindowState& state_;
    WindowHost& window_;
};

// The page a file or a text goes into: the active page when it is an untitled
// page never changed, else a new one.
int freshPage(TMemos& memos);

// Loads the file into page `page`: text, encoding, file name and tab
// caption; the page is then neither modified nor marked. Throws NollexError
// naming the file and leaves the page as it was.
void loadPageFile(TMemos& memos, int page, const QString& path);

// The page's text and encoding go into page `page`, bound to path.
void putPageFile(TMemos& memos, int page, const QString& path, const DecodedText& file);

}  // namespace nollex
