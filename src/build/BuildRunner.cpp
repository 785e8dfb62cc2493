#include "BuildRunner.h"

#include "BatchFile.h"
#include "MessageText.h"
#include "ShortPath.h"
#include "editor/TMemos.h"
#include "options/CompileOptionSet.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Processes.h"

namespace nollex {

namespace {

const QString kAppTitle = QStringLiteral("Nollex");

// Asks about the project's other changed pages and leaves its main page active.
// False when the user cancelled.
bool saveProjectPages(BuildContext& c)
{
    TMemos& m = c.memos;
    const int main = c.projectMainIndex;
    if (main < 0 || main > m.LastIndex())
        return true;
    m.setActiveIndex(main);
    const QString project = m.Editors[main]->OwningProject;
    for (int i = 0; i <= m.LastIndex(); ++i) {
        if (i == main)
            continue;
        const TCustomizedMemo* page = m.Editors[i];
        if (page->OwningProject != project || !page->ChangeMarked)
            continue;
        m.setActiveIndex(i);
        const MsgAnswer answer = c.dialogs.message(
            kAppTitle,
            QStringLiteral("プロジェクトに含まれるファイル \"") + m.FileNames[i] +
                QStringLiteral("\" を保存しますか？"),
            MsgButtons::YesNoCancel, MsgIcon::None);
        if (answer == MsgAnswer::Cancel)
            return false;
        if (answer == MsgAnswer::Yes)
            c.savePage(0);
    }
    m.setActiveIndex(main);
    return true;
}

QString activeFileName(const BuildContext& c)
{
    return c.memos.FileNames.value(c.memos.ActiveIndex());
}

// WorkFolder and LastBuildFileName for the active page.
void settleWorkFolder(BuildContext& c)
{
    const QString file = activeFileName(c);
    c.workFolder = ToShortPath(file.isEmpty() ? c.programFolder : folderPart(file, c.files), c.files);
    c.lastBuildFileName = fileNamePart(file, c.files);
}

void writeActivePage(BuildContext& c, const QString& path)
{
    if (c.writeActivePage) {
        c.writeActivePage(path);
        return;
    }
    const TCustomizedMemo* memo = c.memos.ActiveMemo();
    if (const auto error = c.files.writeFile(path, memo ? memo->toPlainText().toUtf8() : QByteArray()))
        throw NollexError(*error);
}

QString executeSourcePath(const BuildContext& c)
{
    const bool cSource =
        extensionPart(c.lastBuildFileName, c.files).compare(QStringLiteral(".c"), Qt::CaseInsensitive) == 0;
    return c.workFolder + QStringLiteral("__out") + (cSource ? QStringLiteral(".c") : QStringLiteral(".cpp"));
}

// Stops a build that would write somewhere it must not: a page whose folder has
// gone would be built in Nollex's current folder, and Execute's scratch files
// (replaced, then deleted) must never be the file of an open page.
void refuseUnsafeBuild(const BuildContext& c, BuildMode mode)
{
    const QString file = activeFileName(c);
    if (!file.isEmpty() && c.workFolder.isEmpty()) {
        throw NollexError(QStringLiteral("フォルダ \"%1\" が見つかりません。ファイルを保存し直してからコンパイルしてください")
                              .arg(folderPart(file, c.files)));
    }
    if (mode != BuildMode::Execute)
        return;
    const QString scratch[] = {executeSourcePath(c), c.workFolder + QStringLiteral("__out.exe"),
                               c.workFolder + QStringLiteral("__out.obj"), c.workFolder + QStringLiteral("__out.tds")};
    for (const QString& page : c.memos.FileNames) {
        for (const QString& path : scratch) {
            if (c.files.sameEntry(page, path)) {
                throw NollexError(
                    QStringLiteral("ファイル \"%1\" は実行の一時ファイルと同じ名前のため、実行できません。"
                                   "別の名前で保存してください")
                        .arg(page));
            }
        }
    }
}

QString outputSwitch(const QString& folder)
{
    return QStringLiteral("-n") + commandWord(folder) + u' ';
}

}  // namespace

void RunBuild(BuildContext& c, BuildMode mode)
{
    if (c.projectMainIndex != -1 && !saveProjectPages(c))
        return;

    settleWorkFolder(c);
    refuseUnsafeBuild(c, mode);
    const QString programFolder = ToShortPath(c.programFolder, c.files);
    const QString batPath = programFolder + QStringLiteral("__out.bat");
    if (c.files.writeFile(batPath, {})) {
        c.setMessages(kPreBuildError);
        return;
    }
    BatchInputs batch;
    batch.compilerFolder = ToShortPath(c.compilerDirectory, c.files);
    batch.compilerName = c.compilerName;
    batch.programFolder = programFolder;
    batch.optionText = joinedOptionText(c.options);
    const QString messagePath = programFolder + QStringLiteral("message.txt");
    c.files.remove(messagePath);

    if (mode == BuildMode::Make) {
        if (c.lastBuildFileName.isEmpty()) {
            if (c.savePage(1) == 0)
                return;
            // The page now has a file, maybe in another folder: build from there.
            settleWorkFolder(c);
        }
        const bool borrowed = c.options.smalln.isEmpty();
        if (borrowed)
            c.options.smalln = outputSwitch(c.workFolder);
        batch.optionText += c.options.smallc + c.options.smalln;
        if (borrowed)
            c.options.smalln.clear();
        refuseUnsafeBuild(c, mode);
        const QString name = fileNamePart(activeFileName(c), c.files);
        batch.sourcePath = ToShortPath(c.workFolder + name, c.files);
        if (batch.sourcePath.isEmpty())
            batch.sourcePath = c.workFolder + name;  // the page's file was removed: write it anew
        else
            batch.sourcePath.chop(1);
    } else {
        batch.optionText += outputSwitch(c.workFolder);
        batch.sourcePath = executeSourcePath(c);
        c.files.remove(c.workFolder + QStringLiteral("__out.exe"));
    }

    const std::optional<QString> interpreter = SelectInterpreter(c.processes.platformId());
    if (!interpreter)
        return;
    // A line break in a name would end its batch line there, and the interpreter
    // would run the rest of the name as a command of its own.
    for (const QString* part : {&batch.compilerFolder, &batch.compilerName, &batch.optionText,
                                &batch.sourcePath, &batch.programFolder}) {
        if (part->contains(u'\n') || part->contains(u'\r'))
            throw NollexError(QStringLiteral("\"%1\" は改行を含むため、コンパイルできません").arg(*part));
    }
    if (const auto error = c.files.writeFile(batPath, makeBatchFile(batch).bytes())) {
        c.setMessages(kPreBuildError);
        return;
    }
    writeActivePage(c, batch.sourcePath);

    const int startError =
        c.processes.start({batchCommand(*interpreter, programFolder), QString(), false, true});
    if (startError != 0)
        c.dialogs.message(kAppTitle, QString::number(startError), MsgButtons::Ok, MsgIcon::None);

    QString messages = QStringLiteral("MessageOpenError");
    if (PathExists(messagePath, c.files)) {
        if (const auto bytes = c.files.readFile(messagePath))
            messages = decodeMessageText(*bytes);
    }
    if (mode == BuildMode::Make) {
        c.setMessages(messages);
        return;
    }

    const QString exe = c.workFolder + QStringLiteral("__out.exe");
    const bool built = PathExists(exe, c.files);
    if (!built && messages.isEmpty())
        messages = QStringLiteral("__out.exeが作成されませんでした（コンパイラからのメッセージはありません）");
    c.setMessages(messages);
    auto removeTemporaries = [&] {
        c.files.remove(c.workFolder + QStringLiteral("__out.tds"));
        c.files.remove(batch.sourcePath);
        c.files.remove(c.workFolder + QStringLiteral("__out.obj"));
    };
    try {
        if (built)
            c.processes.start({runCommand(*interpreter, c.runMode, exe), c.workFolder, true, false});
    } catch (...) {
        removeTemporaries();
        throw;
    }
    removeTemporaries();
}

void RerunOutput(BuildContext& c)
{
    if (c.workFolder.isEmpty()) {
        c.dialogs.message(QStringLiteral("__out.exe"), QStringLiteral("__out.exeを作成していません"),
                          MsgButtons::Ok, MsgIcon::None);
        return;
    }
    const std::optional<QString> interpreter = SelectInterpreter(c.processes.platformId());
    if (!interpreter)
        return;
    // Whether it started is not reported: the console shows what happened.
    c.processes.start({runCommand(*interpreter, c.runMode, QStringLiteral("__out.exe")), c.workFolder, true, false});
}

void OpenDosPrompt(BuildContext& c)
{
    const std::optional<QString> interpreter = SelectInterpreter(c.processes.platformId());
    if (!interpreter)
        return;
    c.processes.start({*interpreter, QString(), true, false});
}

}  // namespace nollex
