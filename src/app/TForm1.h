#pragma once
// The main window. It owns the page set and the state the other subsystems
// share (State), and is the WindowHost they ask for the rest; its handlers
// gather inputs, call the subsystem that does the work and show the result.

#include "compile/MessagePlace.h"
#include "editor/TMemos.h"
#include "state/WindowHost.h"
#include "state/WindowState.h"
#include "app/Appearance.h"
#include "editor/Find.h"
#include "app/TForm1Deps.h"

#include <QHash>
#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <memory>

class QAction; class QFrame; class QLabel; class QMenu; class QPlainTextEdit; class QPushButton; class QStatusBar;

namespace nollex {

class Explainer; class MessagePane; class WatchedRun; struct BuiltPage; class DebugPanel;
struct RunFault; struct RunRecord; class FileCommands; class ProjectCommands; class CompletionAssist;
class JournalKeeper; class PaneBorder; class SampleRunner; class TForm2; class EditTools;

class TForm1 : public QMainWindow, public WindowHost {
    Q_OBJECT
public:
    explicit TForm1(TForm1Deps deps, QWidget* parent = nullptr);
    ~TForm1() override;

    // --- state held for the other subsystems ---
    std::unique_ptr<TMemos> Memos;
    WindowState State;
    bool ThemeActive = false;
    FontChoice FontDialog1 = initialFontDialogFont();  // the font dialog's own font and colour
    QColor ColorDialog1 = Qt::black;  // the colour dialog opens on its own last choice

    const QString& programFolder() const { return deps_.folders.install; }
    TForm2* form2() const { return form2_.get(); }

    // --- what the subsystems ask of the window ---
    TMemos& pages() override { return *Memos; }
    Dialogs& dialogs() const override { return deps_.dialogs; }
    FileSystem& files() override { return *deps_.files; }
    ProcessStarter& processes() override { return *deps_.processes; }
    const ProgramFolders& folders() const override { return deps_.folders; }
    Waiting& waiting() override { return *deps_.waiting; }
    void setMainCaption(const QString& x) override;  // "Nollex < " + x + " >"
    void captionFollowsActivePage() override;
    void setStatusText(const QString& text) override;
    void setMessages(const QString& text) override;
    void OpenProject(const QString& path) override;
    bool SavePage(SaveMode mode) override;
    void closeActivePage() override { Close1Click(); }
    void writeActivePage(const QString& path) override;
    QStringList watchRun(bool consoleCloses) override;
    void runSamples(const QString& program) override;
    void debugProgram(const QString& program) override;
    // The message pane (app/messages) and the watched run (app/runs).
    void appendMessages(const QStringList& lines, const std::optional<MessagePlace>& place) override;
    void explainOnPage(const MessagePlace& place, const QString& text) override;
    const Explainer& explainer() override;
    BuiltPage builtPageFacts() const override;
    int placePage(const QString& file) override;
    bool runsFolderReady() const override;
    TCustomizedMemo* builtPage() const override { return builtPage_; }
    const QString& builtSource() const override { return builtSource_; }
    QString signalText(int signal) override;
    // The sample runs' calls (SampleRunner).
    void showSwitches() override { showEditorSwitches(); }
    QStringList watchedRunEnvironment(const QString& stem) override;
    RunFault watchedRunFault(const QString& stem, const RunRecord& record) override;
    void addOpeningMessage(const QString& line, std::function<void()> open) override;

    // --- controls ---
    QWidget* Client = nullptr;
    QLabel *Panel1 = nullptr, *Label3 = nullptr, *Label1 = nullptr, *Label2 = nullptr;
    QPushButton *Button1 = nullptr, *Button2 = nullptr, *Button3 = nullptr;
    QPushButton *Button4 = nullptr, *Button5 = nullptr, *Button6 = nullptr;
    QFrame *Bevel1 = nullptr, *Bevel2 = nullptr;
    TPageControl* PageControl1 = nullptr;
    QPlainTextEdit* Memo2 = nullptr;
    PaneBorder* PaneBorder1 = nullptr;  // between the pages and the panes: dragged, their height
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel0 = nullptr;  // the status bar's only panel
    QMenu* PopupMenu1 = nullptr;

    // Menu items by their names.
    QAction *Open1, *Close1, *ProjectOpen1, *ProjectClose1, *Save1, *Saveas1, *New1, *Exit1;
    QAction *Find1, *FindAgainDownward, *FindAgainUpward1, *Replace1, *Format1, *Undo1;
    QAction *Execute1, *Make1, *outexe1, *DosPrompt1, *NextMessage1, *PreviousMessage1;
    QAction *SampleRun1, *AddSample1, *SampleNumbers1;  // the last checkable
    QAction *Configuration1, *BgColor1, *Font1, *Makefontbigger1, *Makefontsmaller1, *enNOLLEX1;
    QAction *Colouring1, *LineNumbers1;  // checkable, for every page
    QAction *GuardedRun1, *Completion1;  // checkable: Execute with the run-time checks; completion
    QAction *Breakpoint1, *DebugRun1, *DebugStop1, *StepOver1, *StepInto1, *StepOut1;
    QAction *Version1, *Manual1;
    // Ctrl+Tab / Ctrl+PageDown and Ctrl+Shift+Tab / Ctrl+PageUp: the next and
    // previous page, wrapping round; window keys without a menu item.
    QAction *NextPage = nullptr, *PreviousPage = nullptr;

    // --- command handlers, by menu ---
    void Open1Click(), Close1Click(), ProjectOpen1Click(), ProjectClose1Click();
    void Save1Click(), Saveas1Click(), New1Click(), Exit1Click();
    void Find1Click(), FindAgainDownwardClick(), FindAgainUpward1Click(), Undo1Click();
    void Replace1Click(), Format1Click();
    void Execute1Click(), Make1Click(), outexe1Click(), DosPrompt1Click();
    void NextMessage1Click(), PreviousMessage1Click();
    // Sample Run runs the page's sample cases, or stops them.
    void SampleRun1Click(), AddSample1Click(), SampleNumbers1Click();
    void Configuration1Click(), BgColor1Click(), Font1Click(), enNOLLEX1Click();
    void Makefontbigger1Click(), Makefontsmaller1Click();
    void Colouring1Click(), LineNumbers1Click(), GuardedRun1Click(), Completion1Click();
    // F4 on the caret's line; F5 starts, or continues when stopped; Shift+F5.
    void Breakpoint1Click(), DebugRun1Click(), DebugStop1Click();
    void StepOver1Click(), StepInto1Click(), StepOut1Click();
    void Version1Click(), Manual1Click();
    // The menu's check marks follow the page set's switches (after a restore too).
    void showEditorSwitches();
    void FontDialog1Apply(const FontChoice& choice);
    // True when the other colour is unreadable against the one chosen and the
    // user wants it black or white (readableAgainst).
    bool offerReadable(const QColor& chosen, const QColor& other, bool fontChanges);
    // The six buttons on the left do what their menu items do.
    void Button1Click() { Execute1Click(); }   void Button2Click() { Make1Click(); }
    void Button3Click() { outexe1Click(); }    void Button4Click() { BgColor1Click(); }
    void Button5Click() { Font1Click(); }      void Button6Click() { DosPrompt1Click(); }

    // --- window and editor events ---
    void FormCreate(), FormShow(), FormClose();  bool FormCloseQuery();
    void FormResize() override;
    void WMDropFiles(const QStringList& paths) override;
    void PageControl1Changing(), PageControl1Change();
    void MemoEnter();
    void MemoKeyDown() { ShowCaretPos(); }  void MemoKeyUp() { ShowCaretPos(); }
    void MemoMouseDown() { ShowCaretPos(); }
    void ShowCaretPos() override;

    // --- main-window operations ---
    void FindString(FindDirection d);
    void RunBuild(BuildMode mode) override;
    void RerunOutput(), OpenDosPrompt();
    // Makes the page of the place that line of the message pane names active, with
    // the caret there; false when the line names no place that can be shown.
    bool JumpToMessage(int line);

    // Runs a handler; an error that escapes it is shown and the window goes on.
    void guarded(const std::function<void()>& handler) override;
    void FormActivate();  // the window got the focus: pages whose files changed on disk

    // --- the rooms of the added capabilities (app/samples, debug, journal, edit, completion) ---
    SampleRunner& sampleRunner() const { return *samples_; }
    DebugPanel& debugPanel() const { return *debug_; }
    JournalKeeper& journal() const { return *journal_; }  EditTools& editTools() const { return *edit_; }
    CompletionAssist& completion() const { return *complete_; }

protected:
    void showEvent(QShowEvent* event) override;  void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;  void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuseUntrustedSettingsFolder() const;
    void applyPlace(const WindowPlace& place);  // the last close's place, at the first showing
    WindowPlace currentPlace() const;
    int messageHeight_ = 0;  // the panes' dragged height; 0: the layout's own
    // The title (version panel, title line), the six buttons, the panes (caret labels,
    // pages, message pane, status bar); the menus: File, Edit and Compile, Option and
    // Help, Debug, the pages' pop-up menu, and the keys NextPage and PreviousPage.
    void createControls(), createTitle(), createButtons(), createPanes();
    void createMenus(), createFileMenu(), createEditMenus(), createOptionMenus();
    void createDebugMenu(), createPageMenu(), createPageKeys();
    void stepPage(int step);  // +1 next page, -1 previous
    void wireEditor(TCustomizedMemo* editor);
    FileCommands fileCommands();  // the file commands on this window's pages
    ProjectCommands projectCommands();  // the project commands on this window
    QAction* menuItem(QMenu* menu, const QString& caption, const QKeySequence& shortcut,
                      void (TForm1::*handler)());

    TForm1Deps deps_;
    std::unique_ptr<TForm2> form2_;
    bool shown_ = false;
    QPointer<TCustomizedMemo> captionPage_;  // the page the caption was last set for
    DocumentTextCache findText_;  // text of the page last searched
    // What the last build compiled and from which page: the scratch copy of an
    // Execute stands for that page in the compiler's messages.
    QPointer<TCustomizedMemo> builtPage_;
    QString builtSource_;
    // The pane's lines that open something when chosen (a sample case's verdict).
    QHash<int, std::function<void()>> openingLines_;
    // The rooms; all but the sample runs are children of the window.
    MessagePane* messages_ = nullptr;  WatchedRun* run_ = nullptr;  EditTools* edit_ = nullptr;
    DebugPanel* debug_ = nullptr;  JournalKeeper* journal_ = nullptr;  CompletionAssist* complete_ = nullptr;
    std::unique_ptr<SampleRunner> samples_;
};

}  // namespace nollex
