#pragma once
// The configuration dialog "Configuration". It keeps no settings of its own: it
// shows the main window's shared state, OK (or Ctrl+D) writes its controls into
// that state, and every closing shows the state again, so Cancel, Escape and the
// close box discard the edits. Created hidden with the main window and kept for
// the whole run; the main window shows it modally.

#include "options/CompileOptionSet.h"
#include "state/WindowState.h"

#include <QDialog>
#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTextEdit;

namespace nollex {

class Dialogs;
class ProjectDefiner;
class TMemos;
class TRadioGroup;
class TUpDown;

class TForm2 : public QDialog {
    Q_OBJECT
public:
    // The state, the page set (its tab width) and dialogs must outlive the dialog.
    TForm2(WindowState& state, TMemos& memos, Dialogs& dialogs, QWidget* parent = nullptr);
    ~TForm2() override;

    // --- controls outside the tabs ---
    QTabWidget* PageControl1 = nullptr;
    QWidget *TabSheet1 = nullptr, *TabSheet2 = nullptr, *TabSheet3 = nullptr, *TabSheet4 = nullptr;
    QPushButton* Button2 = nullptr;  // "OK"
    QPushButton* Button3 = nullptr;  // "Cancel"
    QAction* Default = nullptr;      // the hidden menu item, Ctrl+D

    // --- "Setup" ---
    QGroupBox* GroupBox1 = nullptr;  // "Editor"
    QLabel* Label2 = nullptr;
    QLineEdit* Edit6 = nullptr;  // tab width, any text until OK converts it
    TUpDown* UpDown1 = nullptr;
    QGroupBox* GroupBox4 = nullptr;  // "Execute"
    TRadioGroup* RadioGroup3 = nullptr;  // run mode
    QGroupBox* GroupBox2 = nullptr;  // "Compiler"
    QLabel *Label3 = nullptr, *Label4 = nullptr;
    QLineEdit* Edit7 = nullptr;  // compiler folder
    QLineEdit* Edit8 = nullptr;  // compiler file name
    QPushButton* Button4 = nullptr;  // "コンパイラ存在検出", wired by the main window
    QPushButton* Button5 = nullptr;  // "コンフィグファイル生成", wired by the main window

    // --- "Compile Option" ---
    QGroupBox* GroupBox3 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;  // CPU instructions
    TRadioGroup* RadioGroup2 = nullptr;  // priority
    QFrame* Bevel1 = nullptr;
    QCheckBox *CheckBox1 = nullptr, *CheckBox2 = nullptr, *CheckBox3 = nullptr,
              *CheckBox4 = nullptr, *CheckBox5 = nullptr, *CheckBox6 = nullptr,
              *CheckBox7 = nullptr, *CheckBox8 = nullptr, *CheckBox9 = nullptr,
              *CheckBox10 = nullptr, *CheckBox11 = nullptr, *CheckBox12 = nullptr,
              *CheckBox13 = nullptr, *CheckBox14 = nullptr, *CheckBox15 = nullptr,
              *CheckBox16 = nullptr, *CheckBox17 = nullptr, *CheckBox18 = nullptr;
    QLabel *Label5 = nullptr, *Label6 = nullptr;  // "N=" beside Edit9 and Edit10
    QLineEdit *Edit9 = nullptr, *Edit10 = nullptr;  // N of -gN and -jN
    QLineEdit *Edit1 = nullptr, *Edit2 = nullptr, *Edit3 = nullptr, *Edit4 = nullptr,
              *Edit5 = nullptr;  // arguments of -H, -I, -L, -T, -n
    QLineEdit* Edit = nullptr;   // the free options
    QPushButton* Button1 = nullptr;  // "初期状態（Ctrl-D）"

    // --- "Project" ---
    ProjectDefiner* Definer = nullptr;

    // --- "Key Help" ---
    QTextEdit *Memo1 = nullptr, *Memo2 = nullptr;  // read-only key tables

    // CheckBox1 .. CheckBox18 by number - 1.
    std::array<QCheckBox*, 18> checkBoxes() const;

    // --- handlers ---
    void Button1Click();  // reset the option controls
    void Button2Click();  // OK
    void Button3Click();  // Cancel
    void DefaultClick();  // Ctrl+D: the same as OK
    bool FormKeyDown(int key);  // true when the key was used (Escape)
    void FormClose();           // runs on every closing

    // --- the transfers ---
    // Dialog -> state, then closes. Throws NollexError on a text that is no
    // integer; the tab width (and n_of_g) may then already be applied. Throws
    // before any change on a text that would break the compile line (a '"' in the
    // compiler folder; an open '"' or a bare '>', '<', '|' in the compiler name or
    // an option text that reaches the line).
    void ApplyOptions();
    // State -> dialog, as it is.
    void LoadOptionsIntoDialog();
    void ResetDialogToDefaults();

    // The "Compile Option" tab's controls as plain values, and back.
    OptionControls optionControls() const;
    void setOptionControls(const OptionControls& state);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createSetupTab();
    void createCompileOptionTab();
    void createKeyHelpTab();
    void createButtons();    // OK, Cancel and the hidden Ctrl+D item
    void connectHandlers();
    void guarded(const std::function<void()>& handler);
    void refuseBrokenCommandTexts() const;

    WindowState& state_;
    TMemos& memos_;
    Dialogs& dialogs_;
};

}  // namespace nollex
