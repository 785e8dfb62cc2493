#pragma once
// New, Open, Save, Save As, Close, the question at exit and dropped files, all on
// the page set. TForm1's handlers forward here; what belongs to the window (its
// caption, opening a project) comes in as callbacks, so the commands run and are
// tested without a main window.

#include "TextFile.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace nollex {

class Dialogs;
class TMemos;

struct FileCommandsHost {
    TMemos& memos;
    Dialogs& dialogs;
    const int& projectMainIndex;                         // -1 = no project open
    std::function<void(const QString&)> setMainCaption;  // "Nollex < " + x + " >"
    std::function<void(const QString&)> openProject;     // a dropped .prj file
};

class FileCommands {
public:
    explicit FileCommands(FileCommandsHost host) : host_(std::move(host)) {}

    void newPage();
    void open();
    // mode 0 = Save, 1 = Save As; 1 when written, 0 when the save dialog was
    // cancelled. A failed write throws NollexError and changes nothing.
    int savePage(int mode);
    // Closes the active page, or replaces it by a fresh untitled page when it is
    // the only one, unless the user keeps it.
    void close();
    // Whether the main window may close, after asking about every modified page.
    bool mayCloseWindow();
    void drop(const QStringList& paths);

private:
    int targetPage();
    FileCommandsHost host_;
};

// Loads the file into page `page`: text, encoding, FileNames entry and tab
// caption; the page is then neither modified nor marked. Throws NollexError
// naming the file and leaves the page as it was.
void loadPageFile(TMemos& memos, int page, const QString& path);

// The page's text and encoding go into page `page`, bound to path.
void putPageFile(TMemos& memos, int page, const QString& path, const DecodedText& file);

}  // namespace nollex
