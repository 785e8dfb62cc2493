#pragma once
// The project definer: the controls of the configuration dialog's "Project" tab.
// It edits a list of source files, the main file among them and the project
// file's path; the dialog hosts it for the whole run, so its state survives
// closing and reopening the dialog. It only reads and writes project files:
// nothing it does opens a project in the main window.

#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace nollex {

class Dialogs;

class ProjectDefiner : public QWidget {
    Q_OBJECT
public:
    // dialogs must outlive the definer.
    explicit ProjectDefiner(Dialogs& dialogs, QWidget* parent = nullptr);

    // Where "参照" starts looking: the program's own folder.
    void setProgramFolder(const QString& folder) { programFolder_ = folder; }

    QLabel* Label7 = nullptr;   // the tab's title
    QLabel* Label11 = nullptr;  // "プロジェクト名"
    QLineEdit* Edit11 = nullptr;  // the project file's path
    QLabel* Label12 = nullptr;  // the note that OK does not save
    QPushButton* Button8 = nullptr;  // "参照"
    QPushButton* Button9 = nullptr;  // "保存"
    QLabel* Label8 = nullptr;
    QLabel* Label1 = nullptr;
    // The file list: full paths; a check mark marks an entry for deletion and the
    // selected entry is the main file.
    QListWidget* CheckListBox1 = nullptr;
    QLabel* Label9 = nullptr;   // "Main : "
    QLabel* Label10 = nullptr;  // the main file's path as last chosen
    QPushButton* Button6 = nullptr;  // "Add（追加）"
    QPushButton* Button7 = nullptr;  // "Delete（削除）"

    // --- handlers ---
    void Button6Click();  // Add: chosen files appended, unchecked
    void Button7Click();  // Delete: every checked entry removed
    void CheckListBox1Click();  // the selected entry becomes the main file
    void Button8Click();  // 参照: a project file loaded for editing
    void Button9Click();  // 保存: the list written as a project file

    // The list's entries in order, and the selected position (-1 = none).
    QStringList entries() const;
    int selectedIndex() const;

private:
    void createList();  // the file list, its notes, the main file and Add/Delete
    void connectHandlers();
    void appendEntry(const QString& path);
    void guarded(const std::function<void()>& handler);

    Dialogs& dialogs_;
    QString programFolder_;
};

}  // namespace nollex
