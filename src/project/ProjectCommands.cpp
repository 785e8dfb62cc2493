#include "ProjectCommands.h"

#include "ProjectFile.h"
#include "compile/ShortPath.h"
#include "editor/FileCommands.h"
#include "editor/PathParts.h"
#include "editor/TMemos.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/ShowError.h"

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
    const QStringList chosen = window_.dialogs().openFiles({kOpenFilter, QString(), false});
    if (!chosen.isEmpty())
        open(chosen.first());
}

void ProjectCommands::open(const QString& path)
{
    const ProjectFileData data = readProjectFile(path);
    if (data.versionTooOld() &&
        window_.dialogs().message(ProjectCaption, ProjectTooOldQuestion, MsgButtons::YesNo,
                              MsgIcon::None) != MsgAnswer::Yes)
        return;
    if (!data.valid) {
        window_.dialogs().message(ProjectCaption, ProjectRejectedText, MsgButtons::Ok, MsgIcon::None);
        return;
    }

    TMemos& memos = window_.pages();
    const QString oldFile = state_.ProjectFile;
    const int oldMainIndex = state_.ProjectMainIndex;
    const QPointer<TCustomizedMemo> oldMainPage =
        oldMainIndex >= 0 && oldMainIndex <= memos.LastIndex() ? memos.editor(oldMainIndex) : nullptr;

    // The new project counts as open while the old pages close, so the Close
    // command asks about each page that belongs to a project.
    state_.ProjectFile = path;
    state_.ProjectMainIndex = data.mainIndex;
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
    window_.setMainCaption(memos.caption(memos.ActiveIndex()));
    window_.setStatusText(QStringLiteral("Project : ") + path);
}

void ProjectCommands::close()
{
    if (state_.ProjectMainIndex == -1)
        return;
    state_.ProjectMainIndex = -1;
    window_.setStatusText(QString());
    closeAllPages();
}

bool ProjectCommands::closeAllPages()
{
    TMemos& memos = window_.pages();
    const QPointer<TCustomizedMemo> activeBefore = memos.ActiveMemo();
    // The pages close under the save questions, while the window is not the
    // active one, so no page entry tells the caption: it follows here, also when
    // the closing stops part way.
    auto followActivePage = [&] {
        if (memos.ActiveMemo() != activeBefore)
            window_.setMainCaption(memos.fileName(memos.ActiveIndex()));
    };
    const int n = memos.LastIndex();
    for (int k = 0; k <= n; ++k) {
        const QPointer<TCustomizedMemo> page = memos.ActiveMemo();
        try {
            window_.closeActivePage();
        } catch (...) {
            followActivePage();
            throw;
        }
        // A closed page's editor is gone; a kept one is still in the set.
        if (page && memos.indexOf(page.data()) != -1) {
            followActivePage();
            return false;
        }
    }
    followActivePage();
    return memos.LastIndex() == 0;
}

void ProjectCommands::restoreProject(const QString& oldFile, int oldMainIndex,
                                     TCustomizedMemo* oldMainPage)
{
    state_.ProjectFile = oldFile;
    if (oldMainIndex == -1) {
        state_.ProjectMainIndex = -1;
        return;
    }
    // Pages in front of the old main page may have closed; follow the page itself.
    // When it was closed too, the old project can no longer be built as one.
    state_.ProjectMainIndex =
        oldMainPage ? window_.pages().indexOf(oldMainPage) : -1;
    if (state_.ProjectMainIndex == -1)
        window_.setStatusText(QString());
}

void ProjectCommands::loadEntries(const QString& path, const QStringList& entries)
{
    TMemos& memos = window_.pages();
    for (int j = 0; j < entries.size(); ++j) {
        const QString& entry = entries[j];
        if (j > 0)
            memos.AddPage(QString());
        const int page = memos.ActiveIndex();
        memos.editor(page)->OwningProject = path;
        memos.setTabWidth(memos.editor(0)->TabWidth);
        if (!PathExists(entry, window_.files())) {
            window_.dialogs().message(QStringLiteral("Nollex"), missingProjectEntryText(entry),
                                  MsgButtons::Ok, MsgIcon::None);
        } else {
            // An unreadable file (or a folder) is reported with its own error and
            // opened untitled like a missing one, so page j still stands for entry j.
            try {
                loadPageFile(memos, page, entry);
            } catch (const NollexError& error) {
                ShowError(window_.dialogs(), error.text());
            }
        }
        memos.setCaption(page, fileNamePart(entry));
    }
}

}  // namespace nollex
