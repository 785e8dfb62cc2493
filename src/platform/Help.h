#pragma once
#include <QString>
#include <QWidget>

class QAction;
class QTextBrowser;

namespace nollex {

// The manual's own window: its pages with their links and pictures, back,
// forward and the index. It belongs to one main window (a child window of it, so
// it closes with it and never keeps the program running) and is reused: closing
// it only hides it. Links out of the manual (http and the like) go to the
// desktop.
class HelpWindow : public QWidget {
    Q_OBJECT  // found among the main window's children by its type

public:
    explicit HelpWindow(QWidget* owner);

    // Shows the page at path (a local file), as the page after the current one.
    void showPage(const QString& path);

    QTextBrowser* browser() const { return browser_; }
    QAction* backAction() const { return back_; }
    QAction* forwardAction() const { return forward_; }

private:
    QTextBrowser* browser_ = nullptr;
    QAction* back_ = nullptr;
    QAction* forward_ = nullptr;
};

// Opens the manual at path in owner's help window, made on first use, and brings
// it to the front. A missing manual throws a NollexError naming the path.
HelpWindow* ShowManual(const QString& path, QWidget* owner);

}  // namespace nollex
