// The journal of unsaved pages and the pages' files changed on disk. Every page
// that changed is handed, a second after typing stops, as a copy of its text to
// a writer thread; a window that ended without closing leaves its journal for
// the next start to put back. Files on disk are written by Save alone.

#include "app/journal/JournalKeeper.h"

#include "editor/FileCommands.h"
#include "editor/PathParts.h"
#include "editor/TMemos.h"
#include "journal/JournalFolder.h"
#include "journal/JournalWriter.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/ProgramFolders.h"
#include "platform/ShowError.h"
#include "state/WindowHost.h"

#include <QPlainTextEdit>
#include <QScopedValueRollback>

#include <algorithm>

namespace nollex {

namespace {

const QString kDeletedMark = QStringLiteral(" (削除済み)");
const QString kChangedMark = QStringLiteral(" *");
constexpr int kQuietMs = 1000;    // typing stopped this long: the pages are written
constexpr int kLongestWaitMs = 4000;  // unbroken typing still writes this often

// The page's text as the component holds it, UTF-8 with LF breaks.
QByteArray pageBytes(const TCustomizedMemo& e)
{
    const long length = e.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
    const auto* bytes = reinterpret_cast<const char*>(e.SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return QByteArray(bytes, length);
}

JournalEntry entryOf(TMemos& memos, int i)
{
    const TCustomizedMemo& e = *memos.editor(i);
    JournalEntry entry;
    entry.fileName = memos.fileName(i);
    entry.format = memos.format(i);
    entry.stamp = memos.stamp(i);
    entry.caret = e.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    entry.pageIndex = i;
    entry.text = pageBytes(e);
    return entry;
}


// The page of the entry's file; opened as a drop would, or bound to the name
// when the file cannot be read (it was deleted: Save writes it again).
int filePage(TMemos& memos, const JournalEntry& entry)
{
    const int open = int(memos.fileNames().indexOf(entry.fileName));
    if (open >= 0)
        return open;
    const int page = freshPage(memos);
    try {
        loadPageFile(memos, page, entry.fileName);
    } catch (const NollexError&) {
        memos.setFileName(page, entry.fileName);
        memos.setFormat(page, entry.format);
        memos.setStamp(page, entry.stamp);
        memos.setCaption(page, fileNamePart(entry.fileName));
    }
    return page;
}

// The journalled text into the page as one edit (Undo gives the file's text
// back), marked changed, with its caret.
void putJournalText(TMemos& memos, int page, const JournalEntry& entry)
{
    TCustomizedMemo* e = memos.editor(page);
    memos.setFormat(page, entry.format);
    // Put in as a file is loaded: an edit of the whole text would check and colour
    // it all at once, and a start with a journal would wait on that.
    e->Loading = true;
    e->setUtf8Text(entry.text);
    e->Loading = false;
    e->setModified(true);
    if (!e->ChangeMarked) {
        memos.setCaption(page, memos.caption(page) + kChangedMark);
        e->ChangeMarked = true;
    }
    const long caret = std::clamp<long>(entry.caret, 0, e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    e->SendScintilla(QsciScintillaBase::SCI_SETEMPTYSELECTION, caret);
}

// One entry back into the pages; a line for the pane when it did not go where it was.
void restoreEntry(TMemos& memos, const JournalEntry& entry, QStringList& lines)
{
    if (entry.fileName.isEmpty()) {
        putJournalText(memos, freshPage(memos), entry);
        return;
    }
    const int page = filePage(memos, entry);
    const FileStamp now = fileStamp(entry.fileName);
    if (!now.exists() || now == entry.stamp) {
        putJournalText(memos, page, entry);
        return;
    }
    // The text was typed over a file that has changed since: both are kept.
    JournalEntry untitled = entry;
    untitled.fileName.clear();
    putJournalText(memos, freshPage(memos), untitled);
    lines << QStringLiteral("\"%1\" は変更の記録の後にほかのプログラムで変更されていたため、"
                            "保存されていなかった変更は新しい無題のページに復元しました")
                 .arg(entry.fileName);
}

}  // namespace

JournalKeeper::JournalKeeper(WindowHost& host, QPlainTextEdit& pane, QObject* parent)
    : QObject(parent), host_(host), pane_(pane), writer_([this](const std::optional<QString>& error) {
          QMetaObject::invokeMethod(this, [this, error] { reported(error); }, Qt::QueuedConnection);
      })
{
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, [this] {
        try {
            write();
        } catch (...) {
            ShowError(host_.dialogs(), textOfCurrentException());
        }
    });
}

JournalKeeper::~JournalKeeper() = default;

void JournalKeeper::watch(TCustomizedMemo* editor)
{
    pages_.insert(editor, {nextId_++});
    auto onChange = [this, editor] { changed(editor); };
    connect(editor, &QsciScintilla::textChanged, this, onChange);
    connect(editor, &QsciScintilla::modificationChanged, this, onChange);
    connect(editor, &QObject::destroyed, this, [this, editor] {
        pages_.remove(editor);
        changed(nullptr);  // a round removes the closed page's entry
    });
}

void JournalKeeper::changed(const TCustomizedMemo* editor)
{
    pages_[editor].dirty = true;
    if (!timer_.isActive())
        sinceFirstChange_.start();
    else if (sinceFirstChange_.elapsed() >= kLongestWaitMs)
        return;  // keep the running timer: the round is due
    timer_.start(kQuietMs);
}

// A full disk is said once, not at every round; the pages stay as they are
// and are written again at their next change.
void JournalKeeper::reported(const std::optional<QString>& error)
{
    if (!error) {
        failureShown_ = false;
        return;
    }
    for (Watched& w : pages_)
        w.dirty = true;
    if (!failureShown_)
        pane_.appendPlainText(QStringLiteral("保存されていない変更を記録できません: ") + *error);
    failureShown_ = true;
}

bool JournalKeeper::ensureFolder()
{
    if (folder_)
        return true;
    const ProgramFolders& f = host_.folders();
    std::optional<QString> problem = makePrivateFolder(f.journal);
    // An installed copy's journal holds what the user typed: private, or not used.
    if (!problem && f.isPerUser(f.settings))
        problem = checkPrivateFolder(f.journal);
    QString error;
    if (!problem && !(folder_ = JournalFolder::create(f.journal, &error)))
        problem = error;
    if (problem)
        reported(problem);
    return bool(folder_);
}

void JournalKeeper::write()
{
    TMemos& memos = host_.pages();
    QHash<int, JournalEntry> writes;
    QSet<int> keep;
    for (int i = 0; i <= memos.LastIndex(); ++i) {
        const auto it = pages_.find(memos.editor(i));
        if (it == pages_.end() || !memos.editor(i)->Modified())
            continue;  // an unchanged page has no entry
        keep << it->id;
        if (it->dirty)
            writes.insert(it->id, entryOf(memos, i));
        it->dirty = false;
    }
    pages_.remove(nullptr);
    if ((folder_ || !writes.isEmpty()) && ensureFolder())
        writer_.submit(folder_->path(), writes, std::move(keep));
}

void JournalKeeper::waitIdle()
{
    writer_.waitIdle();
}

void JournalKeeper::close()
{
    timer_.stop();
    writer_.discard();
    if (folder_)
        folder_->remove();
    folder_.reset();
}

void JournalKeeper::restore()
{
    std::unique_ptr<JournalFolder> folder = JournalFolder::claimAbandoned(host_.folders().journal);
    if (!folder)
        return;
    const JournalFolder::Contents contents = folder->read();
    QStringList lines;
    // A newer version's journal is left whole for it.
    if (!contents.newer) {
        for (const JournalEntry& entry : contents.entries)
            restoreEntry(host_.pages(), entry, lines);
        if (!contents.entries.isEmpty())
            lines.prepend(QStringLiteral("保存されていなかった変更を %1 ページ分復元しました").arg(contents.entries.size()));
        folder_ = std::move(folder);
        // At once under this window's own ids; the old entries go once these are written.
        write();
        // The restored pages were added behind the settings' caption.
        if (!contents.entries.isEmpty())
            host_.captionFollowsActivePage();
    }
    for (const QString& line : lines + contents.problems)
        pane_.appendPlainText(line);
    host_.ShowCaretPos();
}

void JournalKeeper::checkFilesOnDisk()
{
    if (checking_)
        return;
    QScopedValueRollback checking(checking_, true);
    for (int i = 0; i <= host_.pages().LastIndex(); ++i)
        checkFileOnDisk(i);
}

// A page whose file another program changed: reloaded when the page is
// unchanged, else as the user answers; a deleted file is shown in the tab and
// its page counts as changed, so that closing it asks first.
void JournalKeeper::checkFileOnDisk(int i)
{
    TMemos& memos = host_.pages();
    const QString path = memos.fileName(i);
    const FileStamp known = memos.stamp(i);
    const FileStamp now = fileStamp(path);
    if (path.isEmpty() || !known.exists() || now == known)
        return;
    TCustomizedMemo* e = memos.editor(i);
    if (!now.exists()) {
        if (!memos.caption(i).contains(kDeletedMark)) {
            memos.setCaption(i, fileNamePart(path) + kDeletedMark + kChangedMark);
            e->setModified(true);
            e->ChangeMarked = true;
        }
        return;
    }
    if (e->Modified() &&
        host_.dialogs().message(QStringLiteral("Nollex"),
                          QStringLiteral("ファイル \"%1\" はほかのプログラムで変更されました。\n"
                                         "ファイルを読み込み直しますか?\n（いいえ: このページの内容を残します）")
                              .arg(fileNamePart(path)),
                          MsgButtons::YesNo, MsgIcon::None) != MsgAnswer::Yes) {
        memos.setStamp(i, now);  // asked once for this change
        memos.setCaption(i, fileNamePart(path) + kChangedMark);
        return;
    }
    const int caret = e->caretPosition();
    const int top = e->firstVisibleLine();
    try {
        loadPageFile(memos, i, path);
    } catch (const NollexError& error) {
        // Said once for this change (the box's OK activates the window again); the
        // page keeps its text and counts as changed, so that Save writes it back.
        memos.setStamp(i, now);
        e->setModified(true);
        e->ChangeMarked = true;
        memos.setCaption(i, fileNamePart(path) + kChangedMark);
        ShowError(host_.dialogs(), error.text());
        return;
    }
    e->setCaret(std::min(caret, e->characterCount()));
    e->setFirstVisibleLine(top);
    if (i == memos.ActiveIndex())
        host_.ShowCaretPos();
}

}  // namespace nollex
