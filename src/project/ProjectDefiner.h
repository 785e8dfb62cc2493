#pragma once
// The project definer: the controls of the configuration dialog's "Project" tab.
// It edits a list of source files, the main file among them and the project
// file's path; the dialog hosts it for the whole run, so its state survives
// closing and reopening the dialog.

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace nollex {

class ProjectDefiner : public QWidget {
    Q_OBJECT
public:
    explicit ProjectDefiner(QWidget* parent = nullptr);

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
};

}  // namespace nollex
