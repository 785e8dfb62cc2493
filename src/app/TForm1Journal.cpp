// The journal of unsaved pages and the pages' files changed on disk. Every page
// that changed is handed, a second after typing stops, as a copy of its text to
// a writer thread; a window that ended without closing leaves its journal for
// the next start to put back. Files on disk are written by Save alone.

#include "TForm1.h"

#include "editor/FileCommands.h"
#include "editor/PathParts.h"
#include "journal/JournalFolder.h"
#include "journal/JournalWriter.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/ShowError.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPlainTextEdit>
#include <QScopedValueRollback>
#include <QTimer>

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

// The window's journal: which pages changed since their last round, the folder
// this window holds, and the writer. Its writer goes first when it is destroyed.
class PageJournal : public QObject {
public:
    explicit PageJournal(TForm1& window) : QObject(&window), window_(window)
    {
        timer.setSingleShot(true);
        connect(&timer, &QTimer::timeout, this, [this] { window_.guarded([this] { window_.writeJournal(); }); });
        window.installEventFilter(this);
    }

    struct Watched {
        int id = 0;
        bool dirty = true;  // changed since its last round
    };
    QHash<const TCustomizedMemo*, Watched> pages;
    int nextId = 1;
    std::unique_ptr<JournalFolder> folder;
    QTimer timer;
    QElapsedTimer sinceFirstChange;
    bool failureShown = false;
    bool checking = false;  // the files on disk are being checked (a question may be up)
    JournalWriter writer{[this](const std::optional<QString>& error) {
        QMetaObject::invokeMethod(this, [this, error] { reported(error); }, Qt::QueuedConnection);
    }};

    void changed(const TCustomizedMemo* editor)
    {
        pages[editor].dirty = true;
        if (!timer.isActive())
            sinceFirstChange.start();
        else if (sinceFirstChange.elapsed() >= kLongestWaitMs)
            return;  // keep the running timer: the round is due
        timer.start(kQuietMs);
    }

    // A full disk is said once, not at every round; the pages stay as they are
    // and are written again at their next change.
    void reported(const std::optional<QString>& error)
    {
        if (!error) {
            failureShown = false;
            return;
        }
        for (Watched& w : pages)
            w.dirty = true;
        if (!failureShown)
            window_.Memo2->appendPlainText(QStringLiteral("保存されていない変更を記録できません: ") + *error);
        failureShown = true;
    }

    bool ensureFolder();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // Queued: the activation finishes before a question may show.
        if (watched == &window_ && event->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, [this] { window_.guarded([this] { window_.FormActivate(); }); });
        return false;
    }

private:
    TForm1& window_;
};

bool PageJournal::ensureFolder()
{
    if (folder)
        return true;
    const ProgramFolders& f = window_.folders();
    std::optional<QString> problem = makePrivateFolder(f.journal);
    // An installed copy's journal holds what the user typed: private, or not used.
    if (!problem && f.isPerUser(f.settings))
        problem = checkPrivateFolder(f.journal);
    QString error;
    if (!problem && !(folder = JournalFolder::create(f.journal, &error)))
        problem = error;
    if (problem)
        reported(problem);
    return bool(folder);
}

void TForm1::watchPage(TCustomizedMemo* editor)
{
    if (!journal_)
        journal_ = new PageJournal(*this);
    journal_->pages.insert(editor, {journal_->nextId++});
    auto changed = [this, editor] { journal_->changed(editor); };
    connect(editor, &QsciScintilla::textChanged, journal_, changed);
    connect(editor, &QsciScintilla::modificationChanged, journal_, changed);
    connect(editor, &QObject::destroyed, journal_, [this, editor] {
        journal_->pages.remove(editor);
        journal_->changed(nullptr);  // a round removes the closed page's entry
    });
}

void TForm1::writeJournal()
{
    QHash<int, JournalEntry> writes;
    QSet<int> keep;
    for (int i = 0; i <= Memos->LastIndex(); ++i) {
        const auto it = journal_->pages.find(Memos->editor(i));
        if (it == journal_->pages.end() || !Memos->editor(i)->Modified())
            continue;  // an unchanged page has no entry
        keep << it->id;
        if (it->dirty)
            writes.insert(it->id, entryOf(*Memos, i));
        it->dirty = false;
    }
    journal_->pages.remove(nullptr);
    if ((journal_->folder || !writes.isEmpty()) && journal_->ensureFolder())
        journal_->writer.submit(journal_->folder->path(), writes, std::move(keep));
}

void TForm1::waitForJournal()
{
    journal_->writer.waitIdle();
}

void TForm1::closeJournal()
{
    journal_->timer.stop();
    journal_->writer.discard();
    if (journal_->folder)
        journal_->folder->remove();
    journal_->folder.reset();
}

void TForm1::restoreJournal()
{
    std::unique_ptr<JournalFolder> folder = JournalFolder::claimAbandoned(folders().journal);
    if (!folder)
        return;
    const JournalFolder::Contents contents = folder->read();
    QStringList lines;
    // A newer version's journal is left whole for it.
    if (!contents.newer) {
        for (const JournalEntry& entry : contents.entries)
            restoreEntry(*Memos, entry, lines);
        if (!contents.entries.isEmpty())
            lines.prepend(QStringLiteral("保存されていなかった変更を %1 ページ分復元しました").arg(contents.entries.size()));
        journal_->folder = std::move(folder);
        // At once under this window's own ids; the old entries go once these are written.
        writeJournal();
        // The restored pages were added behind the settings' caption.
        if (!contents.entries.isEmpty())
            captionFollowsActivePage();
    }
    for (const QString& line : lines + contents.problems)
        Memo2->appendPlainText(line);
    ShowCaretPos();
}

void TForm1::FormActivate()
{
    if (journal_->checking)
        return;
    QScopedValueRollback checking(journal_->checking, true);
    for (int i = 0; i <= Memos->LastIndex(); ++i)
        checkFileOnDisk(i);
}

// A page whose file another program changed: reloaded when the page is
// unchanged, else as the user answers; a deleted file is shown in the tab and
// its page counts as changed, so that closing it asks first.
void TForm1::checkFileOnDisk(int i)
{
    const QString path = Memos->fileName(i);
    const FileStamp known = Memos->stamp(i);
    const FileStamp now = fileStamp(path);
    if (path.isEmpty() || !known.exists() || now == known)
        return;
    TCustomizedMemo* e = Memos->editor(i);
    if (!now.exists()) {
        if (!Memos->caption(i).contains(kDeletedMark)) {
            Memos->setCaption(i, fileNamePart(path) + kDeletedMark + kChangedMark);
            e->setModified(true);
            e->ChangeMarked = true;
        }
        return;
    }
    if (e->Modified() &&
        dialogs().message(QStringLiteral("Nollex"),
                          QStringLiteral("ファイル \"%1\" はほかのプログラムで変更されました。\n"
                                         "ファイルを読み込み直しますか?\n（いいえ: このページの内容を残します）")
                              .arg(fileNamePart(path)),
                          MsgButtons::YesNo, MsgIcon::None) != MsgAnswer::Yes) {
        Memos->setStamp(i, now);  // asked once for this change
        Memos->setCaption(i, fileNamePart(path) + kChangedMark);
        return;
    }
    const int caret = e->caretPosition();
    const int top = e->firstVisibleLine();
    try {
        loadPageFile(*Memos, i, path);
    } catch (const NollexError& error) {
        // Said once for this change (the box's OK activates the window again); the
        // page keeps its text and counts as changed, so that Save writes it back.
        Memos->setStamp(i, now);
        e->setModified(true);
        e->ChangeMarked = true;
        Memos->setCaption(i, fileNamePart(path) + kChangedMark);
        ShowError(dialogs(), error.text());
        return;
    }
    e->setCaret(std::min(caret, e->characterCount()));
    e->setFirstVisibleLine(top);
    if (i == Memos->ActiveIndex())
        ShowCaretPos();
}

}  // namespace nollex
