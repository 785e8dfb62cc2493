#include "BuildRunner.h"

#include "BatchFile.h"
#include "MessageText.h"
#include "ShortPath.h"
#include "editor/TMemos.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"
#include "platform/ProgramFolders.h"

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
        const QString messages = compileAndCollect();
        if (mode_ == BuildMode::Make)
            window_.setMessages(messages);
        else
            runProgram(messages);
    }

private:
    bool prepare();
    bool prepareMake();
    void prepareExecute();
    bool saveProjectPages();
    void settleWorkFolder();
    void refuseUnsafeBuild() const;
    bool writeBatchFile();
    QString compileAndCollect();
    void runProgram(QString messages);
    void cleanUp();

    QString activeFileName() const { return window_.pages().fileName(window_.pages().ActiveIndex()); }
    QString executeSourcePath() const;

    WindowState& state_;
    WindowHost& window_;
    FileSystem& files_;
    BuildMode mode_;
    BatchInputs batch_;
    QString batPath_, messagePath_, interpreter_;
};

bool Build::prepare()
{
    if (state_.ProjectMainIndex != -1 && !saveProjectPages())
        return false;
    settleWorkFolder();
    refuseUnsafeBuild();
    const QString programFolder = ToShortPath(window_.folders().build, files_);
    batPath_ = programFolder + QStringLiteral("__out.bat");
    if (files_.writeFile(batPath_, {})) {
        window_.setMessages(kPreBuildError);
        return false;
    }
    batch_.compilerFolder = ToShortPath(state_.CompilerDirectory, files_);
    batch_.compilerName = state_.CompilerName;
    batch_.programFolder = programFolder;
    batch_.optionText = joinedOptionText(state_.OptionSet);
    messagePath_ = programFolder + QStringLiteral("message.txt");
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
    const QString name = fileNamePart(activeFileName(), files_);
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
    files_.remove(state_.WorkFolder + QStringLiteral("__out.exe"));
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
}

QString Build::executeSourcePath() const
{
    const bool cSource = extensionPart(state_.LastBuildFileName, files_)
                             .compare(QStringLiteral(".c"), Qt::CaseInsensitive) == 0;
    return state_.WorkFolder + QStringLiteral("__out") +
           (cSource ? QStringLiteral(".c") : QStringLiteral(".cpp"));
}

// Stops a build that would write somewhere it must not: a page whose folder has
// gone would be built in Nollex's current folder, and Execute's scratch files
// (replaced, then deleted) must never be the file of an open page.
void Build::refuseUnsafeBuild() const
{
    const QString file = activeFileName();
    if (!file.isEmpty() && state_.WorkFolder.isEmpty()) {
        throw NollexError(QStringLiteral("フォルダ \"%1\" が見つかりません。ファイルを保存し直してからコンパイルしてください")
                              .arg(folderPart(file, files_)));
    }
    if (mode_ != BuildMode::Execute)
        return;
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

QString Build::compileAndCollect()
{
    const int startError = window_.processes().start(
        {batchCommand(interpreter_, batch_.programFolder), QString(), false, true});
    if (startError != 0) {
        window_.dialogs().message(kAppTitle, QString::number(startError), MsgButtons::Ok,
                                  MsgIcon::None);
    }
    QString messages = QStringLiteral("MessageOpenError");
    if (PathExists(messagePath_, files_)) {
        if (const auto bytes = files_.readFile(messagePath_))
            messages = decodeMessageText(*bytes);
    }
    return messages;
}

void Build::runProgram(QString messages)
{
    const QString exe = state_.WorkFolder + QStringLiteral("__out.exe");
    const bool built = PathExists(exe, files_);
    if (!built && messages.isEmpty())
        messages = QStringLiteral("__out.exeが作成されませんでした（コンパイラからのメッセージはありません）");
    window_.setMessages(messages);
    try {
        if (built) {
            window_.processes().start(
                {runCommand(interpreter_, state_.RunMode, exe), state_.WorkFolder, true, false});
        }
    } catch (...) {
        cleanUp();
        throw;
    }
    cleanUp();
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
    if (state.WorkFolder.isEmpty()) {
        window.dialogs().message(QStringLiteral("__out.exe"), QStringLiteral("__out.exeを作成していません"),
                                 MsgButtons::Ok, MsgIcon::None);
        return;
    }
    const std::optional<QString> interpreter = SelectInterpreter(window.processes().platformId());
    if (!interpreter)
        return;
    // Whether it started is not reported: the console shows what happened.
    window.processes().start(
        {runCommand(*interpreter, state.RunMode, QStringLiteral("__out.exe")), state.WorkFolder, true, false});
}

void OpenDosPrompt(WindowHost& window)
{
    const std::optional<QString> interpreter = SelectInterpreter(window.processes().platformId());
    if (!interpreter)
        return;
    window.processes().start({*interpreter, QString(), true, false});
}

}  // namespace nollex
