#pragma once
// A main window for the subsystems' tests: the page set and collaborators the
// test gives, and a record of what the commands asked of the window.

#include "compile/MessagePlace.h"
#include "editor/TMemos.h"
#include "explain/Explainer.h"
#include "explain/RunFault.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/ProgramFolders.h"
#include "state/WindowHost.h"
#include "support/ScriptedWaiting.h"

#include <QStringList>
#include <functional>

namespace nollex::test {

class FakeWindow : public WindowHost {
public:
    FakeWindow(Dialogs& dialogs, FileSystem& files, ProcessStarter& processes,
               ProgramFolders folders = {})
        : dialogs_(dialogs), files_(files), processes_(processes), folders_(std::move(folders))
    {
    }

    TMemos& pages() override { return *memos; }
    Dialogs& dialogs() const override { return dialogs_; }
    FileSystem& files() override { return files_; }
    ProcessStarter& processes() override { return processes_; }
    const ProgramFolders& folders() const override { return folders_; }
    Waiting& waiting() override { return waiter; }
    void setMainCaption(const QString& x) override { captions << x; }
    void setStatusText(const QString& text) override { statusTexts << text; }
    void setMessages(const QString& text) override { messages = text; }
    void OpenProject(const QString& path) override { onOpenProject(path); }
    bool SavePage(SaveMode mode) override { return onSave(mode); }
    void closeActivePage() override { onClose(); }
    // The active page's text in UTF-8, through the test's file system.
    void writeActivePage(const QString& path) override
    {
        const TCustomizedMemo* memo = memos->ActiveMemo();
        if (const auto error = files_.writeFile(path, memo ? memo->toPlainText().toUtf8() : QByteArray()))
            throw NollexError(*error);
    }

    QStringList watchRun(bool consoleCloses) override
    {
        watchedRuns << consoleCloses;
        return {};
    }

    void runSamples(const QString& program) override { sampleRuns << program; }
    void debugProgram(const QString& program) override { debugRuns << program; }
    void ShowCaretPos() override { ++caretShown; }
    void captionFollowsActivePage() override { ++captionFollowed; }

    // The message pane and the watched run: the lines appended are recorded.
    void appendMessages(const QStringList& lines, const std::optional<MessagePlace>&) override
    {
        appendedMessages << lines;
        messages += (messages.isEmpty() ? QString() : QStringLiteral("\n")) + lines.join(u'\n');
    }
    void explainOnPage(const MessagePlace&, const QString&) override {}
    const Explainer& explainer() override
    {
        if (!explainerToGive)
            throw NollexError(QStringLiteral("the test gave no explainer"));
        return *explainerToGive;
    }
    BuiltPage builtPageFacts() const override { return {}; }
    int placePage(const QString& file) override { return memos ? memos->fileNames().indexOf(file) : -1; }
    bool runsFolderReady() const override { return !folders_.runs.isEmpty(); }
    TCustomizedMemo* builtPage() const override { return nullptr; }
    const QString& builtSource() const override { return noSource_; }
    void WMDropFiles(const QStringList& paths) override { droppedFiles << paths; }

    // What the debugger's room asks.
    void RunBuild(BuildMode mode) override { builds << mode; }
    void guarded(const std::function<void()>& handler) override
    {
        try {
            handler();
        } catch (const NollexError& e) {
            errors << e.text();
        }
    }
    void FormResize() override {}
    QString signalText(int) override { return {}; }

    // The sample runs': runs go unwatched.
    void showSwitches() override {}
    QStringList watchedRunEnvironment(const QString&) override { return {}; }
    RunFault watchedRunFault(const QString&, const RunRecord&) override { return {}; }
    void addOpeningMessage(const QString& line, std::function<void()>) override { appendMessages({line}, {}); }

    TMemos* memos = nullptr;  // set by the test, may change between commands
    ScriptedWaiting waiter;
    QStringList captions, statusTexts, projects;
    QString messages;
    QList<bool> watchedRuns;  // each run watched: whether its console closes by itself
    QStringList sampleRuns;   // the programs whose sample cases were asked to run
    QStringList debugRuns;    // the programs asked to run under the debugger
    int caretShown = 0, captionFollowed = 0;  // times the caret labels and the caption were asked to follow
    QStringList appendedMessages, droppedFiles;
    const Explainer* explainerToGive = nullptr;
    QList<BuildMode> builds;  // the builds asked for
    QStringList errors;       // the errors a guarded handler let escape
    std::function<void(const QString&)> onOpenProject = [this](const QString& path) { projects << path; };
    std::function<bool(SaveMode)> onSave = [](SaveMode) { return true; };
    std::function<void()> onClose = [] {};

private:
    Dialogs& dialogs_;
    FileSystem& files_;
    ProcessStarter& processes_;
    ProgramFolders folders_;
    QString noSource_;
};

}  // namespace nollex::test
