#include "ProjectCommands.h"

#include "ProjectFile.h"
#include "editor/FileCommands.h"
#include "editor/PathParts.h"
#include "editor/TMemos.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/ShowError.h"

#include <QFileInfo>
#include <QPointer>

namespace nollex {

namespace {

const QString kOpenFilter = QStringLiteral("Nollex Project(*.prj)|*.prj");

}  // namespace

QString missingProjectEntryText(const QString& path)
{
    return u'"' + path + u'"' + QStringLiteral(" は存在しないので新規で開きます");
}

void ProjectCommands::openFromDialog()
{
    const QStringList chosen = host_.dialogs.openFiles({kOpenFilter, QString(), false});
    if (!chosen.isEmpty())
        open(chosen.first());
}

void ProjectCommands::open(const QString& path)
{
    const ProjectFileData data = readProjectFile(path);
    if (data.versionTooOld() &&
        host_.dialogs.message(ProjectCaption, ProjectTooOldQuestion, MsgButtons::YesNo,
                              MsgIcon::None) != MsgAnswer::Yes)
        return;
    if (!data.valid) {
        host_.dialogs.message(ProjectCaption, ProjectRejectedText, MsgButtons::Ok, MsgIcon::None);
        return;
    }

    TMemos& memos = host_.memos;
    const QString oldFile = host_.projectFile;
    const int oldMainIndex = host_.projectMainIndex;
    const QPointer<TCustomizedMemo> oldMainPage =
        oldMainIndex >= 0 && oldMainIndex <= memos.LastIndex() ? memos.Editors[oldMainIndex] : nullptr;

    // The new project counts as open while the old pages close, so the Close
    // command asks about each page that belongs to a project.
    host_.projectFile = path;
    host_.projectMainIndex = data.mainIndex;
    bool closed = false;
    try {
        closed = closeAllPages();
    } catch (...) {
        restoreProject(oldFile, oldMainIndex, oldMainPage);
        throw;
    }
    if (!closed) {
        restoreProject(oldFile, oldMainIndex, oldMainPage);
        return;
    }

    loadEntries(path, data.entries);
    host_.setMainCaption(memos.caption(memos.ActiveIndex()));
    host_.setStatusText(QStringLiteral("Project : ") + path);
}

void ProjectCommands::close()
{
    if (host_.projectMainIndex == -1)
        return;
    host_.projectMainIndex = -1;
    host_.setStatusText(QString());
    closeAllPages();
}

bool ProjectCommands::closeAllPages()
{
    TMemos& memos = host_.memos;
    const int n = memos.LastIndex();
    for (int k = 0; k <= n; ++k) {
        const QPointer<TCustomizedMemo> page = memos.ActiveMemo();
        host_.closeActivePage();
        // A closed page's editor is gone; a kept one is still in the set.
        if (page && memos.Editors.contains(page.data()))
            return false;
    }
    return memos.LastIndex() == 0;
}

void ProjectCommands::restoreProject(const QString& oldFile, int oldMainIndex,
                                     TCustomizedMemo* oldMainPage)
{
    host_.projectFile = oldFile;
    if (oldMainIndex == -1) {
        host_.projectMainIndex = -1;
        return;
    }
    // Pages in front of the old main page may have closed; follow the page itself.
    // When it was closed too, the old project can no longer be built as one.
    host_.projectMainIndex =
        oldMainPage ? int(host_.memos.Editors.indexOf(oldMainPage)) : -1;
    if (host_.projectMainIndex == -1)
        host_.setStatusText(QString());
}

void ProjectCommands::loadEntries(const QString& path, const QStringList& entries)
{
    TMemos& memos = host_.memos;
    for (int j = 0; j < entries.size(); ++j) {
        const QString& entry = entries[j];
        if (j > 0)
            memos.AddPage(QString());
        const int page = memos.ActiveIndex();
        memos.Editors[page]->OwningProject = path;
        memos.setTabWidth(memos.Editors[0]->TabWidth);
        const bool exists = host_.pathExists ? host_.pathExists(entry) : QFileInfo::exists(entry);
        if (!exists) {
            host_.dialogs.message(QStringLiteral("Nollex"), missingProjectEntryText(entry),
                                  MsgButtons::Ok, MsgIcon::None);
        } else {
            // An unreadable file (or a folder) is reported with its own error and
            // opened untitled like a missing one, so page j still stands for entry j.
            try {
                loadPageFile(memos, page, entry);
            } catch (const NollexError& error) {
                ShowError(host_.dialogs, error.text());
            }
        }
        memos.setCaption(page, fileNamePart(entry));
    }
}

}  // namespace nollex
