#pragma once
// The window's side of Replace and Format. Replace (Ctrl+R) opens a small window
// beside the page: the text to find (the remembered search text to start with),
// its replacement, case, whole-word and regular-expression switches; Replace
// replaces the selected occurrence and selects the next, Replace All replaces
// the whole page in one undo step and counts in the status bar. Format lays the
// active page out with clang-format in one undo step.

#include "editor/Find.h"

#include <QObject>
#include <QPointer>

class QCheckBox;
class QDialog;
class QLineEdit;
class QWidget;

namespace nollex {

class WindowHost;
class TextMatcher;
struct WindowState;
struct ReplaceQuery;

class EditTools : public QObject {
    Q_OBJECT
public:
    // window: its parent and the Replace window's.
    EditTools(WindowHost& host, WindowState& state, QWidget* window);
    ~EditTools() override;

    void showReplace();  // Ctrl+R
    void format();       // Edit → Format

    // The Replace window and its controls; null until first shown.
    QDialog* replaceWindow() const;
    QLineEdit* findField() const { return find_; }
    QLineEdit* replacementField() const { return replacement_; }
    QCheckBox* caseSwitch() const { return matchCase_; }
    QCheckBox* wordSwitch() const { return wholeWord_; }
    QCheckBox* regexSwitch() const { return regex_; }
    void replaceOne();  // the window's Replace
    void replaceAll();  // the window's Replace All

    // The formatter's program; a test names one that is not there.
    QString formatProgram = QStringLiteral("clang-format");

private:
    void buildReplaceWindow();
    ReplaceQuery query() const;
    bool usable(const TextMatcher& matcher);  // otherwise says why in the status bar

    WindowHost& host_;
    WindowState& state_;
    QWidget* window_;
    DocumentTextCache cache_;
    QPointer<QDialog> replace_;
    QLineEdit* find_ = nullptr;
    QLineEdit* replacement_ = nullptr;
    QCheckBox* matchCase_ = nullptr;
    QCheckBox* wholeWord_ = nullptr;
    QCheckBox* regex_ = nullptr;
    bool toldMissing_ = false;  // the missing formatter is told in a message once, then in the status bar
};

}  // namespace nollex
