#pragma once
// Writes a window's journal entries on a thread of its own, so that no key
// waits on the disk. The window hands over a round (copies of the changed
// pages); a round handed over before the last one is written merges into it,
// the later text of a page winning.

#include "JournalEntry.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace nollex {

class JournalWriter {
public:
    // Called on the writer's thread after each round: the first error's text,
    // or nothing when every entry was written.
    using Report = std::function<void(const std::optional<QString>& error)>;
    explicit JournalWriter(Report report);
    ~JournalWriter();  // writes what was handed over, then stops
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Entries to write into folder, by id; every entry there whose id is in
    // neither writes nor keep is removed, once all of keep is on disk.
    void submit(const QString& folder, const QHash<int, JournalEntry>& writes, QSet<int> keep);
    // Forgets what is not written yet and waits for a write under way.
    void discard();
    // Waits until everything handed over is written.
    void waitIdle();

private:
    void run();
    void writeRound(const QString& folder, const QHash<int, JournalEntry>& writes, const QSet<int>& keep);

    Report report_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    QString folder_;
    QHash<int, JournalEntry> writes_;
    QSet<int> keep_;
    bool pending_ = false;
    bool busy_ = false;
    bool stop_ = false;
    std::thread thread_;
};

}  // namespace nollex
