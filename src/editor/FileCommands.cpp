#include "FileCommands.h"

#include "PathParts.h"
#include "TMemos.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

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
    TCustomizedMemo* editor = memos.editor(page);
    editor->Loading = true;
    if (file.utf8.isNull())
        editor->setPlainText(file.text);
    else
        editor->setUtf8Text(file.utf8);
    editor->Loading = false;
    memos.setFormat(page, file.format);
    memos.setStamp(page, file.stamp);
    editor->setModified(false);
    memos.setFileName(page, path);
    // The caption is rewritten, so a mark left from earlier edits goes with it.
    memos.setCaption(page, fileNamePart(path));
    editor->ChangeMarked = false;
}

void loadPageFile(TMemos& memos, int page, const QString& path)
{
    putPageFile(memos, page, path, readTextFile(path));
}

int freshPage(TMemos& memos)
{
    const int active = memos.ActiveIndex();
    if (memos.fileName(active).isEmpty() && !memos.editor(active)->Modified())
        return active;
    memos.AddPage(QString());
    memos.setTabWidth(memos.editor(0)->TabWidth);
    return memos.ActiveIndex();
}

int FileCommands::targetPage() { return freshPage(window_.pages()); }

// The open and save dialogs start in the active page's folder, an untitled
// page's in the folder last chosen in them.
QString FileCommands::startFolder() const
{
    const TMemos& memos = window_.pages();
    const QString path = memos.fileName(memos.ActiveIndex());
    return path.isEmpty() ? state_.LastFolder : QFileInfo(path).absolutePath();
}

void FileCommands::chosenIn(const QString& path)
{
    state_.LastFolder = QFileInfo(path).absolutePath();
}

void FileCommands::newPage()
{
    TMemos& memos = window_.pages();
    memos.AddPage(QString());
    memos.setTabWidth(memos.editor(0)->TabWidth);
}

void FileCommands::open()
{
    const QStringList paths = window_.dialogs().openFiles({kOpenFilter, startFolder(), true});
    if (!paths.isEmpty())
        chosenIn(paths.first());
    for (const QString& path : paths) {
        // Read before choosing the page, so a file that fails leaves no stray page.
        const DecodedText file = readTextFile(path);
        const int page = targetPage();
        putPageFile(window_.pages(), page, path, file);
        window_.setMainCaption(window_.pages().caption(page));
    }
}

void FileCommands::drop(const QStringList& paths)
{
    for (const QString& path : paths) {
        if (extensionPart(path) == QStringLiteral(".prj")) {
            window_.OpenProject(path);
            continue;
        }
        const DecodedText file = readTextFile(path);
        const int page = targetPage();
        putPageFile(window_.pages(), page, path, file);
        window_.setMainCaption(path);
    }
}

bool FileCommands::savePage(SaveMode mode)
{
    TMemos& memos = window_.pages();
    const int p = memos.ActiveIndex();
    TCustomizedMemo* editor = memos.editor(p);
    const QString current = memos.fileName(p);

    bool written = true;
    if (mode == SaveMode::Save && !current.isEmpty()) {
        writeTextFile(current, editor->toPlainText(), memos.format(p));
    } else {
        const QString preset = (mode == SaveMode::SaveAs && !current.isEmpty()) ? current : kUntitledName;
        const std::optional<QString> chosen =
            window_.dialogs().saveFile({kSaveFilter, preset, startFolder()});
        if (chosen) {
            chosenIn(*chosen);
            writeTextFile(*chosen, editor->toPlainText(), memos.format(p));
            memos.setFileName(p, *chosen);
        } else {
            written = false;
        }
    }

    if (written)
        memos.setStamp(p, fileStamp(memos.fileName(p)));
    window_.setMainCaption(memos.fileName(p));
    memos.setCaption(p, fileNamePart(memos.fileName(p)));
    editor->ChangeMarked = false;
    if (written)
        editor->setModified(false);
    return written;
}

void FileCommands::close()
{
    TMemos& memos = window_.pages();
    TCustomizedMemo* editor = memos.ActiveMemo();
    if (state_.ProjectMainIndex != -1 && !editor->OwningProject.isEmpty() &&
        askCloseAlone(window_.dialogs(), memos.fileName(memos.ActiveIndex()), editor->OwningProject) !=
            MsgAnswer::Yes)
        return;
    if (editor->Modified()) {
        switch (askSaveChanges(window_.dialogs(), memos.fileName(memos.ActiveIndex()))) {
        case MsgAnswer::Yes:
            // A cancelled save dialog keeps the page: closing it would lose the edits
            // the user just asked to save.
            if (!savePage(SaveMode::Save))
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
    TMemos& memos = window_.pages();
    // Each question shows its page first: untitled pages have no name to tell
    // them apart. Afterwards the page that was active is again, unless a Yes
    // made the asked page active to save it.
    int activeAfter = memos.ActiveIndex();
    bool mayClose = true;
    for (int i = 0; i <= memos.LastIndex() && mayClose; ++i) {
        if (!memos.editor(i)->Modified())
            continue;
        memos.setActiveIndex(i);
        switch (askSaveChanges(window_.dialogs(), memos.fileName(i))) {
        case MsgAnswer::Yes:
            activeAfter = i;
            // As at Close: a cancelled save dialog keeps the window and the edits.
            mayClose = savePage(SaveMode::Save);
            break;
        case MsgAnswer::No:
            break;
        default:
            mayClose = false;
        }
    }
    memos.setActiveIndex(activeAfter);
    return mayClose;
}

}  // namespace nollex
