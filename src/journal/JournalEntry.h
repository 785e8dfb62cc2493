#pragma once
// One page of the journal: what is needed to put an unsaved page back after a
// crash. The text is kept as the page holds it (UTF-8, LF breaks); the file's
// own encoding and line ends go with it, so that a later save writes the file
// as it was read.

#include "editor/TextFile.h"
#include "editor/TextFormat.h"

#include <QByteArray>
#include <QString>
#include <variant>

namespace nollex {

// The newest entry layout this version writes and reads.
inline constexpr int JournalVersion = 1;

struct JournalEntry {
    QString fileName;  // empty: an untitled page
    TextFormat format;
    FileStamp stamp;   // the file as the page last read or saved it
    qint64 caret = 0;  // a byte offset into text
    int pageIndex = 0; // the page's place among the tabs, for the order of a restore
    QByteArray text;   // UTF-8

    bool operator==(const JournalEntry&) const = default;
};

QByteArray encodeJournalEntry(const JournalEntry& entry);

enum class JournalProblem {
    Cut,      // shorter than its header says: the write was cut off
    Damaged,  // a header that does not parse, or text that fails its check
    Newer,    // written by a newer version
};

// The entry, or why it cannot be used.
std::variant<JournalEntry, JournalProblem> decodeJournalEntry(const QByteArray& bytes);

// The problem as the message pane says it, after the entry's name.
QString journalProblemText(JournalProblem problem);

}  // namespace nollex
