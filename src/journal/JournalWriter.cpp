#include "JournalWriter.h"

#include "JournalFolder.h"
#include "platform/Errors.h"

#include <QFile>

#include <algorithm>

namespace nollex {

JournalWriter::JournalWriter(Report report) : report_(std::move(report)), thread_([this] { run(); }) {}

JournalWriter::~JournalWriter()
{
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void JournalWriter::submit(const QString& folder, const QHash<int, JournalEntry>& writes, QSet<int> keep)
{
    {
        std::lock_guard lock(mutex_);
        if (folder != folder_)
            writes_.clear();
        folder_ = folder;
        writes_.insert(writes);
        keep_ = std::move(keep);
        pending_ = true;
    }
    wake_.notify_all();
}

void JournalWriter::discard()
{
    std::unique_lock lock(mutex_);
    writes_.clear();
    pending_ = false;
    idle_.wait(lock, [this] { return !busy_; });
}

void JournalWriter::waitIdle()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !pending_; });
}

void JournalWriter::run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stop_; });
        if (!pending_)
            return;
        const QString folder = folder_;
        const QHash<int, JournalEntry> writes = std::exchange(writes_, {});
        const QSet<int> keep = keep_;
        pending_ = false;
        busy_ = true;
        lock.unlock();
        writeRound(folder, writes, keep);
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

void JournalWriter::writeRound(const QString& folder, const QHash<int, JournalEntry>& writes, const QSet<int>& keep)
{
    std::optional<QString> error;
    for (auto it = writes.begin(); it != writes.end(); ++it) {
        try {
            // Replaced in one step: a crash mid-write leaves the entry before it.
            writeFileAtomically(folder + JournalFolder::entryName(it.key()), encodeJournalEntry(it.value()));
        } catch (const NollexError& e) {
            if (!error)
                error = e.text();
        }
    }
    // An entry goes only once every page kept has its own on disk: until then an
    // older entry (a restored journal's, a closed page's) may hold the only copy
    // of what was typed. A failed round, or a kept page whose write failed in a
    // round the window has not heard of yet, removes nothing.
    const QList<int> present = JournalFolder::entryIdsIn(folder);
    const bool allKept = std::all_of(keep.begin(), keep.end(), [&](int id) { return present.contains(id); });
    if (!error && allKept) {
        for (const int id : present) {
            if (!writes.contains(id) && !keep.contains(id))
                QFile::remove(folder + JournalFolder::entryName(id));
        }
    }
    if (report_)
        report_(error);
}

}  // namespace nollex
