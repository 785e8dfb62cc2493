#include "journal/JournalEntry.h"
#include "journal/JournalFolder.h"
#include "journal/JournalWriter.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace nollex;

namespace {

JournalEntry entry(const QString& file, const QByteArray& text, TextFormat format = {}, qint64 caret = 0)
{
    JournalEntry e;
    e.fileName = file;
    e.format = format;
    e.text = text;
    e.caret = caret;
    if (!file.isEmpty())
        e.stamp = {1700000000123456789, text.size(), 42};
    return e;
}

JournalEntry readBack(const QString& path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    const auto decoded = decodeJournalEntry(f.readAll());
    EXPECT_TRUE(std::holds_alternative<JournalEntry>(decoded)) << path.toStdString();
    return std::holds_alternative<JournalEntry>(decoded) ? std::get<JournalEntry>(decoded) : JournalEntry{};
}

}  // namespace

// Every field comes back as written: a name with a blank or a line break must
// not spill into the next header line, and the file's format must survive.
TEST(JournalEntry, RoundTripKeepsEveryField)
{
    const struct {
        const char* name;
        JournalEntry entry;
    } rows[] = {
        {"untitled-empty", entry({}, {})},
        {"sjis-crlf", entry("/home/u/a.c", "int main(){}\n", {TextEncoding::ShiftJis, false, LineEnd::CrLf}, 4)},
        {"utf8-bom-cr", entry("/home/u/b.cpp", "\xE3\x81\x82\n\n", {TextEncoding::Utf8, true, LineEnd::Cr}, 3)},
        {"name-blank-break", entry("/tmp/a b\nc%20.c", "x", {}, 1)},
        {"text-with-blank-line", entry({}, "a\n\nfile /etc/passwd\n\n")},
    };
    for (const auto& row : rows) {
        JournalEntry e = row.entry;
        e.pageIndex = 7;
        const auto decoded = decodeJournalEntry(encodeJournalEntry(e));
        ASSERT_TRUE(std::holds_alternative<JournalEntry>(decoded)) << row.name;
        EXPECT_EQ(std::get<JournalEntry>(decoded), e) << row.name;
    }
}

// An entry cut off by a crash, damaged on disk or from a newer version is told
// apart, never read as a page's text.
TEST(JournalEntry, UnusableEntriesAreSkippedWithTheirReason)
{
    const QByteArray good = encodeJournalEntry(entry("/home/u/a.c", "int main() { return 0; }\n"));
    QByteArray flipped = good;
    flipped[flipped.size() - 3] = 'X';
    QByteArray newer = good;
    newer.replace("Nollex journal 1", "Nollex journal 2");
    QByteArray badFormat = good;
    badFormat.replace("format utf8", "format ebcdic");
    const struct {
        const char* name;
        QByteArray bytes;
        JournalProblem problem;
    } rows[] = {
        {"empty", {}, JournalProblem::Cut},
        {"cut-in-magic", good.left(5), JournalProblem::Cut},
        {"cut-in-header", good.left(40), JournalProblem::Cut},
        {"cut-in-text", good.chopped(3), JournalProblem::Cut},
        {"byte-changed-in-text", flipped, JournalProblem::Damaged},
        {"bytes-after-text", good + "more", JournalProblem::Damaged},
        {"unknown-format", badFormat, JournalProblem::Damaged},
        {"not-a-journal", "#include <stdio.h>\n\nint main", JournalProblem::Damaged},
        {"newer-version", newer, JournalProblem::Newer},
    };
    for (const auto& row : rows) {
        const auto decoded = decodeJournalEntry(row.bytes);
        ASSERT_TRUE(std::holds_alternative<JournalProblem>(decoded)) << row.name;
        EXPECT_EQ(std::get<JournalProblem>(decoded), row.problem) << row.name;
    }
}

// Two windows each hold their own folder: a running window's journal is never
// claimed by another, and the one claimed is exactly the ended window's.
TEST(JournalFolder, TwoWindowsNeverTakeEachOthersJournal)
{
    test::TempDir root;
    QString error;
    auto a = JournalFolder::create(root.path(), &error);
    auto b = JournalFolder::create(root.path(), &error);
    ASSERT_TRUE(a && b) << error.toStdString();
    writeFileAtomically(a->path() + JournalFolder::entryName(1), encodeJournalEntry(entry({}, "from a")));
    writeFileAtomically(b->path() + JournalFolder::entryName(1), encodeJournalEntry(entry({}, "from b")));
    EXPECT_EQ(JournalFolder::claimAbandoned(root.path()), nullptr);

    const QString aPath = a->path();
    a.reset();  // window a ends without closing
    auto claimed = JournalFolder::claimAbandoned(root.path());
    ASSERT_TRUE(claimed);
    EXPECT_EQ(claimed->path(), aPath);
    const JournalFolder::Contents contents = claimed->read();
    ASSERT_EQ(contents.entries.size(), 1);
    EXPECT_EQ(contents.entries[0].text, QByteArray("from a"));
    EXPECT_EQ(JournalFolder::claimAbandoned(root.path()), nullptr);

    claimed->remove();
    EXPECT_FALSE(QFileInfo::exists(aPath));
    EXPECT_TRUE(QFileInfo::exists(b->path() + JournalFolder::entryName(1)));
    b->remove();
    EXPECT_FALSE(QFileInfo::exists(root.path()));
}

// The writer replaces an entry whole, removes the entries of pages no longer
// changed, and on a full disk keeps the entry it had and says why; no entry
// goes before the entries of every page kept are on disk.
TEST(JournalWriter, ReplacesWholeRemovesStaleAndKeepsOldOnFullDisk)
{
    test::TempDir dir;
    std::mutex m;
    QList<std::optional<QString>> reports;
    JournalWriter writer([&](const std::optional<QString>& e) {
        std::lock_guard lock(m);
        reports << e;
    });
    const QString folder = dir.path();
    writer.submit(folder, {{1, entry({}, "one")}, {2, entry({}, "two")}}, {1, 2});
    writer.waitIdle();
    writer.submit(folder, {{1, entry({}, "one, again")}}, {1});  // page 2 was saved
    writer.waitIdle();
    EXPECT_EQ(readBack(folder + JournalFolder::entryName(1)).text, QByteArray("one, again"));
    EXPECT_EQ(JournalFolder::entryIdsIn(folder), QList<int>{1});
    {
        test::FileSizeLimit full(200);
        ASSERT_TRUE(full.active());
        writer.submit(folder, {{1, entry({}, QByteArray(4096, 'x'))}}, {1});
        writer.waitIdle();
    }
    EXPECT_EQ(readBack(folder + JournalFolder::entryName(1)).text, QByteArray("one, again"));

    // A restored journal's entry (1) stays until the page's new entry (5) is on
    // disk: not after a failed round, nor after a round that wrote another page
    // while 5 was still missing.
    {
        test::FileSizeLimit full(200);
        writer.submit(folder, {{5, entry({}, QByteArray(4096, 'y'))}}, {5});
        writer.waitIdle();
    }
    EXPECT_EQ(JournalFolder::entryIdsIn(folder), QList<int>{1});
    writer.submit(folder, {{6, entry({}, "six")}}, {5, 6});
    writer.waitIdle();
    EXPECT_EQ(readBack(folder + JournalFolder::entryName(1)).text, QByteArray("one, again"));
    writer.submit(folder, {{5, entry({}, "five")}}, {5, 6});
    writer.waitIdle();
    QList<int> ids = JournalFolder::entryIdsIn(folder);
    std::sort(ids.begin(), ids.end());
    EXPECT_EQ(ids, (QList<int>{5, 6}));

    std::lock_guard lock(m);
    ASSERT_EQ(reports.size(), 6);
    EXPECT_FALSE(reports[0] || reports[1]);
    EXPECT_TRUE(reports[2] && reports[2]->contains(JournalFolder::entryName(1)));
    EXPECT_TRUE(reports[3] && reports[3]->contains(JournalFolder::entryName(5)));
    EXPECT_FALSE(reports[4] || reports[5]);
}
