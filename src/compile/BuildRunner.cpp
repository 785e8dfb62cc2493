#include "BuildRunner.h"

#include "BatchFile.h"
#include "MessagePlace.h"
#include "MessageText.h"
#include "ShortPath.h"
#include "editor/TMemos.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/ProgramFolders.h"
#include "platform/Waiting.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace nollex {

namespace {

const QString kAppTitle = QStringLiteral("Nollex");

QString outputSwitch(const QString& folder)
{
    return QStringLiteral("-n") + commandWord(folder) + u' ';
}

// One Execute or Make, step by step: prepare, write the batch file, compile and
// collect the messages, run the program, clean up.
class Build {
public:
    Build(WindowState& state, WindowHost& window, BuildMode mode)
        : state_(state), window_(window), files_(window.files()), mode_(mode)
    {
    }

    void run()
    {
        if (!prepare() || !writeBatchFile())
            return;
        bool built = false;
        const QString messages = compileAndCollect(&built);
        if (mode_ == BuildMode::Make)
            window_.setMessages(withMadeProgram(messages, built));
        else
            runProgram(messages, built);
    }

private:
    bool prepare();
    bool prepareMake();
    void prepareExecute();
    bool saveProjectPages();
    void settleWorkFolder();
    void refuseUnsafeBuild() const;
    void refuseScratchPages() const;
    void refuseOverwritingPages(const QString& outputFolder) const;
    void refuseUntrustedScratch() const;
    bool lockBuildFiles();
    bool writeBatchFile();
    QString compileAndCollect(bool* built);
    QStringList replayEnvironment();
    QString withMadeProgram(QString messages, bool built) const;
    void runProgram(QString messages, bool built);
    void cleanUp();

    // Execute, Sample Run and Debug build the same scratch program.
    bool executes() const { return mode_ != BuildMode::Make; }
    QString activeFileName() const { return window_.pages().fileName(window_.pages().ActiveIndex()); }
    QString executeSourcePath() const;

    WindowState& state_;
    WindowHost& window_;
    FileSystem& files_;
    BuildMode mode_;
    BatchInputs batch_;
    QString batPath_, messagePath_, interpreter_;
    QString madeProgram_;  // what Make links, when it links
    std::unique_ptr<FileLock> lock_;  // held for the whole build
    bool noValgrind_ = false;  // a guarded build without the replay: valgrind is missing
};

// The folder of a "-n" option text ("-nC:\out\ ", quotes allowed), with its separator.
QString outputFolderOf(const QString& nText, const FileSystem& files)
{
    QString folder = nText.trimmed().mid(2);
    if (folder.size() >= 2 && folder.startsWith(u'"') && folder.endsWith(u'"'))
        folder = folder.mid(1, folder.size() - 2);
    if (!folder.isEmpty() && !folder.endsWith(files.separator()))
        folder += files.separator();
    return folder;
}

// Where a scratch file's folder and name part meet, for the messages.
QString folderOfPath(const QString& path, const FileSystem& files)
{
    return path.left(path.lastIndexOf(files.separator()) + 1);
}

QString nameOfPath(const QString& path, const FileSystem& files)
{
    return path.mid(path.lastIndexOf(files.separator()) + 1);
}

[[noreturn]] void refuseForeignFile(const QString& path, const FileSystem& files)
{
    throw NollexError(QStringLiteral("フォルダ \"%1\" の \"%2\" はほかのユーザーのものか、削除できません。"
                                     "このフォルダではコンパイルできないので、ページを自分のフォルダに保存してから"
                                     "コンパイルしてください")
                          .arg(folderOfPath(path, files), nameOfPath(path, files)));
}

// Removes an old output of the compiler; one that stays would pass for this build's.
void removeOldOutput(const QString& path, FileSystem& files)
{
    files.remove(path);
    if (files.findFirst(path))
        refuseForeignFile(path, files);
}

bool Build::prepare()
{
    if (state_.ProjectMainIndex != -1 && !saveProjectPages())
        return false;
    settleWorkFolder();
    refuseUnsafeBuild();
    const QString programFolder = ToShortPath(window_.folders().build, files_);
    batPath_ = programFolder + QStringLiteral("__out.bat");
    messagePath_ = programFolder + QStringLiteral("message.txt");
    const ProgramFolders& folders = window_.folders();
    if (folders.isPerUser(folders.build)) {
        if (const std::optional<QString> problem = checkPrivateFolder(folders.build))
            throw NollexError(*problem);
    }
    refuseUntrustedScratch();
    if (!lockBuildFiles())
        return false;
    if (files_.writeFile(batPath_, {})) {
        window_.setMessages(kPreBuildError);
        return false;
    }
    batch_.compilerFolder = ToShortPath(state_.CompilerDirectory, files_);
    batch_.compilerName = state_.CompilerName;
    batch_.programFolder = programFolder;
    batch_.optionText = joinedOptionText(state_.OptionSet);
    files_.remove(messagePath_);
    if (mode_ == BuildMode::Make) {
        if (!prepareMake())
            return false;
    } else {
        prepareExecute();
    }
    const std::optional<QString> interpreter = SelectInterpreter(window_.processes().platformId());
    if (!interpreter)
        return false;
    interpreter_ = *interpreter;
    return true;
}

bool Build::prepareMake()
{
    if (state_.LastBuildFileName.isEmpty()) {
        if (!window_.SavePage(SaveMode::SaveAs))
            return false;
        // The page now has a file, maybe in another folder: build from there.
        settleWorkFolder();
    }
    const CompileOptionSet& set = state_.OptionSet;
    const QString output = set.smalln.isEmpty() ? outputSwitch(state_.WorkFolder) : set.smalln;
    batch_.optionText += set.smallc + output;
    refuseUnsafeBuild();
    const QString outputFolder = set.smalln.isEmpty() ? state_.WorkFolder : outputFolderOf(set.smalln, files_);
    refuseOverwritingPages(outputFolder.isEmpty() ? batch_.compilerFolder : outputFolder);
    const QString name = fileNamePart(activeFileName(), files_);
    if (set.smallc.isEmpty()) {
        madeProgram_ = (outputFolder.isEmpty() ? batch_.compilerFolder : outputFolder) +
                       name.left(name.size() - extensionPart(name, files_).size()) + QStringLiteral(".exe");
    }
    batch_.sourcePath = ToShortPath(state_.WorkFolder + name, files_);
    if (batch_.sourcePath.isEmpty())
        batch_.sourcePath = state_.WorkFolder + name;  // the page's file was removed: write it anew
    else
        batch_.sourcePath.chop(1);
    return true;
}

void Build::prepareExecute()
{
    batch_.optionText += outputSwitch(state_.WorkFolder);
    batch_.sourcePath = executeSourcePath();
    removeOldOutput(state_.WorkFolder + QStringLiteral("__out.exe"), files_);
    removeOldOutput(state_.WorkFolder + QStringLiteral("__out.obj"), files_);
    removeOldOutput(batch_.sourcePath, files_);
}

// Asks about the project's other changed pages and leaves its main page active.
// False when the user cancelled.
bool Build::saveProjectPages()
{
    TMemos& m = window_.pages();
    const int main = state_.ProjectMainIndex;
    if (main < 0 || main > m.LastIndex())
        return true;
    m.setActiveIndex(main);
    const QString project = m.editor(main)->OwningProject;
    for (int i = 0; i <= m.LastIndex(); ++i) {
        const TCustomizedMemo* page = m.editor(i);
        if (i == main || page->OwningProject != project || !page->ChangeMarked)
            continue;
        m.setActiveIndex(i);
        const MsgAnswer answer = window_.dialogs().message(
            kAppTitle,
            QStringLiteral("プロジェクトに含まれるファイル \"") + m.fileName(i) +
                QStringLiteral("\" を保存しますか？"),
            MsgButtons::YesNoCancel, MsgIcon::None);
        if (answer == MsgAnswer::Cancel)
            return false;
        if (answer == MsgAnswer::Yes)
            window_.SavePage(SaveMode::Save);
    }
    m.setActiveIndex(main);
    return true;
}

// WorkFolder and LastBuildFileName for the active page.
void Build::settleWorkFolder()
{
    const QString file = activeFileName();
    state_.WorkFolder =
        ToShortPath(file.isEmpty() ? window_.folders().build : folderPart(file, files_), files_);
    state_.LastBuildFileName = fileNamePart(file, files_);
    state_.BuiltProgram.clear();
}

QString Build::executeSourcePath() const
{
    const bool cSource = extensionPart(state_.LastBuildFileName, files_)
                             .compare(QStringLiteral(".c"), Qt::CaseInsensitive) == 0;
    return state_.WorkFolder + QStringLiteral("__out") +
           (cSource ? QStringLiteral(".c") : QStringLiteral(".cpp"));
}

// Stops a build that would write somewhere it must not: a page whose folder has
// gone would be built in Nollex's current folder.
void Build::refuseUnsafeBuild() const
{
    const QString file = activeFileName();
    if (!file.isEmpty() && state_.WorkFolder.isEmpty()) {
        throw NollexError(QStringLiteral("フォルダ \"%1\" が見つかりません。ファイルを保存し直してからコンパイルしてください")
                              .arg(folderPart(file, files_)));
    }
    if (executes())
        refuseScratchPages();
}

// Execute's scratch files (replaced, then deleted) must never be the file of an open page.
void Build::refuseScratchPages() const
{
    const QString& work = state_.WorkFolder;
    const QString scratch[] = {executeSourcePath(), work + QStringLiteral("__out.exe"),
                               work + QStringLiteral("__out.obj"), work + QStringLiteral("__out.tds")};
    for (const QString& page : window_.pages().fileNames()) {
        for (const QString& path : scratch) {
            if (files_.sameEntry(page, path)) {
                throw NollexError(
                    QStringLiteral("ファイル \"%1\" は実行の一時ファイルと同じ名前のため、実行できません。"
                                   "別の名前で保存してください")
                        .arg(page));
            }
        }
    }
}

// Make's outputs are named after the page: a page "prog.exe" would be replaced
// by its own program.
void Build::refuseOverwritingPages(const QString& outputFolder) const
{
    const QString name = fileNamePart(activeFileName(), files_);
    const QString stem = outputFolder + name.left(name.size() - extensionPart(name, files_).size());
    QStringList outputs{stem + QStringLiteral(".obj")};
    if (state_.OptionSet.smallc.isEmpty())
        outputs << stem + QStringLiteral(".exe");
    for (const QString& page : window_.pages().fileNames()) {
        for (const QString& output : outputs) {
            if (files_.sameEntry(page, output)) {
                throw NollexError(QStringLiteral("ファイル \"%1\" はコンパイルで作られるファイルと同じ名前のため、"
                                                 "上書きされてしまいます。拡張子を .c か .cpp にして保存し直してください")
                                      .arg(page));
            }
        }
    }
}

// The build's own files are never written through a link, and never taken over
// from another user: either could make the build overwrite a file it does not own.
void Build::refuseUntrustedScratch() const
{
    QStringList scratch{batPath_, messagePath_};
    if (executes()) {
        const QString& work = state_.WorkFolder;
        scratch << executeSourcePath() << work + QStringLiteral("__out.exe") << work + QStringLiteral("__out.obj");
    }
    for (const QString& path : scratch) {
        const std::optional<FoundEntry> entry = files_.findFirst(path);
        if (entry && entry->isLink) {
            throw NollexError(QStringLiteral("フォルダ \"%1\" の \"%2\" はリンクです。コンパイルの一時ファイルはリンクを通して"
                                             "書き込まないので、リンクを削除するか、ページを自分のフォルダに保存してから"
                                             "コンパイルしてください")
                                  .arg(folderOfPath(path, files_), nameOfPath(path, files_)));
        }
        if (entry && entry->foreign)
            refuseForeignFile(path, files_);
    }
}

// Another window of this user shares __out.bat, message.txt and the untitled
// page's scratch files: its build is waited for. False when the wait was stopped.
bool Build::lockBuildFiles()
{
    const QString path = folderOfPath(batPath_, files_) + QStringLiteral("__out.lock");
    lock_ = files_.tryLock(path);
    if (!lock_) {
        window_.waiting().waitFor([&] { return (lock_ = files_.tryLock(path)) != nullptr; }, kCompilingText);
    }
    if (!lock_) {
        window_.setMessages(QStringLiteral("ほかの Nollex ウィンドウのコンパイルが終わるのを待たずに、コンパイルを中止しました"));
        return false;
    }
    return true;
}

bool Build::writeBatchFile()
{
    // A line break in a name would end its batch line there, and the interpreter
    // would run the rest of the name as a command of its own.
    for (const QString* part : {&batch_.compilerFolder, &batch_.compilerName, &batch_.optionText,
                                &batch_.sourcePath, &batch_.programFolder}) {
        if (part->contains(u'\n') || part->contains(u'\r'))
            throw NollexError(QStringLiteral("\"%1\" は改行を含むため、コンパイルできません").arg(*part));
    }
    if (files_.writeFile(batPath_, makeBatchFile(batch_).bytes())) {
        window_.setMessages(kPreBuildError);
        return false;
    }
    window_.writeActivePage(batch_.sourcePath);
    return true;
}

// The replay's build beside a guarded one, when valgrind is there to replay the run;
// for Sample Run always, which times a case past the limit again with it.
QStringList Build::replayEnvironment()
{
    const QString valgrind = valgrindProgram();
    noValgrind_ = valgrind.contains(u'/') ? !QFileInfo(valgrind).isExecutable()
                                          : QStandardPaths::findExecutable(valgrind).isEmpty();
    if ((noValgrind_ && mode_ != BuildMode::SampleRun) || !window_.runsFolderReady())
        return {};
    return {QStringLiteral("NOLLEX_REPLAY=") + replayProgram(window_.folders())};
}

// The compiler's messages; *built tells whether the compile and link succeeded.
QString Build::compileAndCollect(bool* built)
{
    // The last build's replay goes with it: it is no build of this page's text, and
    // a replay still running from it ends when its program is gone.
    if (executes() && !window_.folders().runs.isEmpty())
        files_.remove(replayProgram(window_.folders()));
    StartRequest compile{batchCommand(interpreter_, batch_.programFolder), QString(), false, true, {}};
    if (mode_ == BuildMode::Debug)
        compile.environment << QStringLiteral("NOLLEX_DEBUG=1");
    else if (executes() && state_.GuardedRun)
        compile.environment << QStringLiteral("NOLLEX_GUARD=1") << replayEnvironment();
    const RunResult result = window_.processes().run(compile, window_.waiting());
    if (result.startError != 0) {
        window_.dialogs().message(kAppTitle, QString::number(result.startError), MsgButtons::Ok,
                                  MsgIcon::None);
    }
    // The interpreter's status is the compiler's: a failed compile or link built
    // nothing, whatever files it left.
    *built = result.startError == 0 && result.exitCode == 0 && !result.stopped;
    QString messages = QStringLiteral("MessageOpenError");
    if (PathExists(messagePath_, files_)) {
        if (const auto bytes = files_.readFile(messagePath_))
            messages = decodeMessageText(*bytes);
    }
    if (result.stopped) {
        if (!messages.isEmpty() && !messages.endsWith(u'\n'))
            messages += u'\n';
        messages += QStringLiteral("コンパイルを中止しました");
    }
    return messages;
}

void Build::runProgram(QString messages, bool built)
{
    const QString exe = state_.WorkFolder + QStringLiteral("__out.exe");
    built = built && PathExists(exe, files_);
    if (!built && messages.isEmpty())
        messages = QStringLiteral("__out.exeが作成されませんでした（コンパイラからのメッセージはありません）");
    window_.setMessages(messages);
    if (built && noValgrind_ && !state_.ReplayMissingTold) {
        state_.ReplayMissingTold = true;
        window_.appendMessages({QStringLiteral("初期化していない値の使用も見つけるには valgrind パッケージを入れてください"
                                               "（sudo apt install valgrind）。ほかの実行時チェックはこのまま働きます。")},
                               std::nullopt);
    }
    try {
        if (built) {
            state_.BuiltProgram = exe;
            if (mode_ == BuildMode::SampleRun) {
                window_.runSamples(exe);
            } else if (mode_ == BuildMode::Debug) {
                window_.debugProgram(exe);
            } else {
                window_.processes().start({runCommand(interpreter_, state_.RunMode, exe), state_.WorkFolder, true,
                                           false, window_.watchRun(state_.RunMode == AfterRun::CloseConsole)});
            }
        }
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
}

// A Make that linked tells where its program went: a compile with no messages
// otherwise leaves the pane empty.
QString Build::withMadeProgram(QString messages, bool built) const
{
    if (!built || madeProgram_.isEmpty() || !PathExists(madeProgram_, files_))
        return messages;
    if (!messages.isEmpty() && !messages.endsWith(u'\n'))
        messages += u'\n';
    return messages + QStringLiteral("プログラム %1 を作りました").arg(madeProgram_);
}

void Build::cleanUp()
{
    files_.remove(state_.WorkFolder + QStringLiteral("__out.tds"));
    files_.remove(batch_.sourcePath);
    files_.remove(state_.WorkFolder + QStringLiteral("__out.obj"));
}

}  // namespace

void RunBuild(WindowState& state, WindowHost& window, BuildMode mode)
{
    Build(state, window, mode).run();
}

void RerunOutput(const WindowState& state, WindowHost& window)
{
    // Only the program the last build made: a failed build's leftover, or a file
    // put in its place since, may be anybody's.
    const std::optional<FoundEntry> program =
        state.BuiltProgram.isEmpty() ? std::nullopt : window.files().findFirst(state.BuiltProgram);
    if (state.WorkFolder.isEmpty() || !program || program->isLink || program->foreign) {
        window.dialogs().message(QStringLiteral("__out.exe"), QStringLiteral("__out.exeを作成していません"),
                                 MsgButtons::Ok, MsgIcon::None);
        return;
    }
    const std::optional<QString> interpreter = SelectInterpreter(window.processes().platformId());
    if (!interpreter)
        return;
    // Whether it started is not reported: the console shows what happened.
    window.processes().start({runCommand(*interpreter, state.RunMode, QStringLiteral("__out.exe")),
                              state.WorkFolder, true, false, window.watchRun(state.RunMode == AfterRun::CloseConsole)});
}

void OpenDosPrompt(WindowHost& window)
{
    const std::optional<QString> interpreter = SelectInterpreter(window.processes().platformId());
    if (!interpreter)
        return;
    window.processes().start({*interpreter, QString(), true, false, {}});
}

}  // namespace nollex
