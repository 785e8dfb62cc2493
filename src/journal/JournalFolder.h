#pragma once
// One window's part of the journal: a folder of its own under the journal's
// root, held by a lock file while the window lives. A second window never takes
// a held folder; a folder whose holder ended without closing (a crash, a kill,
// a power cut) is taken over by the next window that starts, which puts its
// pages back.

#include "JournalEntry.h"

#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace nollex {

class JournalFolder {
public:
    ~JournalFolder();  // lets the folder go; what it holds stays
    JournalFolder(const JournalFolder&) = delete;
    JournalFolder& operator=(const JournalFolder&) = delete;

    // A new folder under root (which must exist) for this window; the error
    // text, naming the folder, when it cannot be made.
    static std::unique_ptr<JournalFolder> create(const QString& root, QString* error);
    // The first folder under root whose window ended without closing, now held
    // by this one; null when there is none. Folders that hold nothing are removed.
    static std::unique_ptr<JournalFolder> claimAbandoned(const QString& root);

    QString path() const { return path_; }  // with its final separator
    static QString entryName(int id);       // "page-<id>.entry"
    // The ids of the entries the folder holds, in no order.
    QList<int> entryIds() const { return entryIdsIn(path_); }
    static QList<int> entryIdsIn(const QString& folder);

    struct Contents {
        QList<JournalEntry> entries;  // in page order
        QStringList problems;         // one line for each entry that was skipped
        bool newer = false;           // an entry of a newer version: leave the folder to it
    };
    Contents read() const;

    // The folder goes with all it holds; its root too when nothing else is left there.
    void remove();

private:
    JournalFolder(QString path, std::unique_ptr<QLockFile> lock);
    QString path_;
    std::unique_ptr<QLockFile> lock_;
};

}  // namespace nollex
