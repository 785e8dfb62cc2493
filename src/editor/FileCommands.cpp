#include "FileCommands.h"

#include "PathParts.h"
#include "TMemos.h"
#include "platform/Dialogs.h"

#include <algorithm>

namespace nollex {

namespace {

const QString kOpenFilter = QStringLiteral(
    "C/C++ lang(*c;*.cpp;*.h)|*.c;*.cpp;*.h|Text Files(*.txt)|*.txt|Others(*.*)|*.*");
const QString kSaveFilter =
    QStringLiteral("C/C++ lang(*c;*.cpp;*.h)|*.c;*.cpp;*.h|Text Files|*.txt|Others|*.*");
const QString kUntitledName = QStringLiteral("UNTITLED.cpp");
const QString kCaption = QStringLiteral("Nollex");

MsgAnswer askSaveChanges(Dialogs& dialogs, const QString& path)
{
    return dialogs.message(kCaption,
                           QStringLiteral("ファイル \"") + fileNamePart(path) +
                               QStringLiteral("\" が編集されています\n保存しますか?"),
                           MsgButtons::YesNoCancel, MsgIcon::None);
}

MsgAnswer askCloseAlone(Dialogs& dialogs, const QString& path, const QString& project)
{
    return dialogs.message(kCaption,
                           QStringLiteral("このファイル \"") + path +
                               QStringLiteral("\" はプロジェクト \"") + project +
                               QStringLiteral("\" に属しています。単独で閉じますか？"),
                           MsgButtons::YesNo, MsgIcon::None);
}

}  // namespace

void putPageFile(TMemos& memos, int page, const QString& path, const DecodedText& file)
{
    TCustomizedMemo* editor = memos.Editors[page];
    editor->Loading = true;
    editor->setPlainText(file.text);
    editor->Loading = false;
    editor->FileFormat = file.format;
    editor->setModified(false);
    memos.FileNames[page] = path;
    // The caption is rewritten, so a mark left from earlier edits goes with it.
    memos.setCaption(page, fileNamePart(path));
    editor->ChangeMarked = false;
}

void loadPageFile(TMemos& memos, int page, const QString& path)
{
    putPageFile(memos, page, path, readTextFile(path));
}

int FileCommands::targetPage()
{
    TMemos& memos = host_.memos;
    const int active = memos.ActiveIndex();
    if (memos.FileNames[active].isEmpty() && !memos.Editors[active]->Modified())
        return active;
    memos.AddPage(QString());
    memos.setTabWidth(memos.Editors[0]->TabWidth);
    return memos.ActiveIndex();
}

void FileCommands::newPage()
{
    TMemos& memos = host_.memos;
    memos.AddPage(QString());
    memos.setTabWidth(memos.Editors[0]->TabWidth);
}

void FileCommands::open()
{
    const QStringList paths = host_.dialogs.openFiles({kOpenFilter, QString(), true});
    for (const QString& path : paths) {
        // Read before choosing the page, so a file that fails leaves no stray page.
        const DecodedText file = readTextFile(path);
        const int page = targetPage();
        putPageFile(host_.memos, page, path, file);
        host_.setMainCaption(host_.memos.caption(page));
    }
}

void FileCommands::drop(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (extensionPart(path) == QStringLiteral(".prj")) {
            host_.openProject(path);
            continue;
        }
        const DecodedText file = readTextFile(path);
        const int page = targetPage();
        putPageFile(host_.memos, page, path, file);
        host_.setMainCaption(path);
    }
}

int FileCommands::savePage(int mode)
{
    TMemos& memos = host_.memos;
    const int p = memos.ActiveIndex();
    TCustomizedMemo* editor = memos.Editors[p];
    const QString current = memos.FileNames[p];

    int result = 1;
    if (mode == 0 && !current.isEmpty()) {
        writeTextFile(current, editorText(*editor), editor->FileFormat);
    } else {
        const QString preset = (mode != 0 && !current.isEmpty()) ? current : kUntitledName;
        const std::optional<QString> chosen =
            host_.dialogs.saveFile({kSaveFilter, preset, QString()});
        if (chosen) {
            writeTextFile(*chosen, editorText(*editor), editor->FileFormat);
            memos.FileNames[p] = *chosen;
        } else {
            result = 0;
        }
    }

    host_.setMainCaption(memos.FileNames[p]);
    memos.setCaption(p, fileNamePart(memos.FileNames[p]));
    editor->ChangeMarked = false;
    if (result == 1)
        editor->setModified(false);
    return result;
}

void FileCommands::close()
{
    TMemos& memos = host_.memos;
    TCustomizedMemo* editor = memos.ActiveMemo();
    if (host_.projectMainIndex != -1 && !editor->OwningProject.isEmpty() &&
        askCloseAlone(host_.dialogs, memos.FileNames[memos.ActiveIndex()], editor->OwningProject) !=
            MsgAnswer::Yes)
        return;
    if (editor->Modified()) {
        switch (askSaveChanges(host_.dialogs, memos.FileNames[memos.ActiveIndex()])) {
        case MsgAnswer::Yes:
            // A cancelled save dialog keeps the page: closing it would lose the edits
            // the user just asked to save.
            if (savePage(0) == 0)
                return;
            break;
        case MsgAnswer::No:
            break;
        default:
            return;
        }
    }
    if (memos.LastIndex() == 0) {
        memos.AddPage(QString());
        memos.ClosePage(0);
    }
    const int next = std::max(0, memos.ActiveIndex() - 1);
    memos.ClosePage(memos.ActiveIndex());
    memos.setActiveIndex(next);
}

bool FileCommands::mayCloseWindow()
{
    TMemos& memos = host_.memos;
    for (int i = 0; i <= memos.LastIndex(); ++i) {
        if (!memos.Editors[i]->Modified())
            continue;
        switch (askSaveChanges(host_.dialogs, memos.FileNames[i])) {
        case MsgAnswer::Yes:
            memos.setActiveIndex(i);
            // As at Close: a cancelled save dialog keeps the window and the edits.
            if (savePage(0) == 0)
                return false;
            break;
        case MsgAnswer::No:
            break;
        default:
            return false;
        }
    }
    return true;
}

}  // namespace nollex
