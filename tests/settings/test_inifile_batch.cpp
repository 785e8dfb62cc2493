// Batched writing: many keys, one replace of the file.

#include "platform/Errors.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace nollex;
using nollex::test::TempDir;

namespace {

// The same writes as a batch and one by one.
void writeSome(IniFile& ini)
{
    ini.writeInteger("System", "Tab", 8);                   // replaced
    ini.writeString("System", "FileName0", "/a/b.cpp");    // new key in a section
    ini.writeString("Compiler", "compiler_name", "x.exe");  // new section
    ini.writeInteger("System", "Tab", 2);                   // the same key again
    ini.writeString("System", "FontName", "明朝");
}

ino_t inodeOf(const QString& path)
{
    struct stat st{};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

// Guards the batch's result and its one replace: the file is untouched until the
// commit, the object reads its own pending writes meanwhile, and the committed
// file is byte for byte what the same writes one by one make (a Shift-JIS file
// included, which turns into UTF-8 as a whole).
TEST(IniFileBatch, CommitWritesWhatSingleWritesWould)
{
    QStringEncoder sjis("windows-31j");
    const QByteArray start = "[System]\r\nTab=4\r\nFontName=" +
                             QByteArray(sjis.encode(QStringLiteral("ゴシック"))) + "\r\n";
    TempDir dir;
    const QString batched = dir.write("batched.ini", start);
    const QString single = dir.write("single.ini", start);

    IniFile one(single);
    writeSome(one);

    IniFile ini(batched);
    ini.beginBatch();
    EXPECT_TRUE(ini.inBatch());
    writeSome(ini);
    EXPECT_EQ(dir.read(batched), start);
    EXPECT_EQ(ini.readInteger("System", "Tab", 0), 2);
    EXPECT_EQ(ini.readString("System", "FontName", ""), QStringLiteral("明朝"));
    EXPECT_EQ(IniFile(batched).readInteger("System", "Tab", 0), 4);
    ini.commitBatch();
    EXPECT_FALSE(ini.inBatch());

    EXPECT_EQ(dir.read(batched), dir.read(single));
    EXPECT_EQ(IniFile(batched).readString("Compiler", "compiler_name", ""), "x.exe");
    EXPECT_EQ(entriesOf(dir.path()), (QStringList{"batched.ini", "single.ini"}));

    // After the batch, writes go to the file at once again.
    ini.writeInteger("System", "Tab", 3);
    EXPECT_EQ(IniFile(batched).readInteger("System", "Tab", 0), 3);
}

// Guards a batch on a file that does not exist yet: nothing appears before the
// commit; a batch that changes nothing leaves an existing file alone.
TEST(IniFileBatch, MissingFileAppearsAtCommitAndNoChangeWritesNothing)
{
    TempDir dir;
    const QString path = dir.file("Nollex.ini");
    {
        IniFile ini(path);
        ini.beginBatch();
        ini.writeInteger("Information", "Version", 200);
        ini.writeInteger("System", "Index", 0);
        EXPECT_FALSE(QFileInfo::exists(path));
        EXPECT_EQ(ini.readInteger("System", "Index", -1), 0);
        ini.commitBatch();
    }
    EXPECT_EQ(dir.read(path), QByteArray("[Information]\r\nVersion=200\r\n\r\n[System]\r\nIndex=0\r\n"));

    // The same values again: no replace, so not even the file's identity changes.
    const auto before = QFileInfo(path).fileTime(QFileDevice::FileMetadataChangeTime);
    const ino_t inode = inodeOf(path);
    IniFile ini(path);
    ini.beginBatch();
    ini.writeInteger("Information", "Version", 200);
    ini.writeInteger("System", "Index", 0);
    ini.commitBatch();
    EXPECT_EQ(inodeOf(path), inode);
    EXPECT_EQ(QFileInfo(path).fileTime(QFileDevice::FileMetadataChangeTime), before);
}

// Guards a batch that is never committed: dropped with the object or by release,
// nothing of it reaches the file.
TEST(IniFileBatch, UncommittedBatchWritesNothing)
{
    TempDir dir;
    const QByteArray start = "[System]\r\nTab=4\r\n";
    const QString path = dir.write("Nollex.ini", start);
    {
        IniFile ini(path);
        ini.beginBatch();
        writeSome(ini);
    }
    EXPECT_EQ(dir.read(path), start);

    IniFile ini(path);
    ini.beginBatch();
    writeSome(ini);
    ini.release();
    EXPECT_FALSE(ini.inBatch());
    EXPECT_EQ(ini.readInteger("System", "Tab", 0), 4);
    ini.commitBatch();  // nothing open: nothing to do
    EXPECT_EQ(dir.read(path), start);
}

// Guards a refused commit: the error names the file, the file keeps its old
// bytes with nothing left beside it, the batch is over, and the object reads
// the file as it is rather than the writes that never reached it.
TEST(IniFileBatch, RefusedCommitKeepsTheOldFile)
{
    TempDir dir;
    const QByteArray start = "[System]\r\nTab=4\r\n";
    const QString path = dir.write("Nollex.ini", start);
    IniFile ini(path);
    ini.beginBatch();
    writeSome(ini);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    try {
        ini.commitBatch();
        ADD_FAILURE() << "the commit was not refused";
    } catch (const NollexError& e) {
        EXPECT_EQ(e.text(), path + QStringLiteral(" に書き込めません"));
    }
    EXPECT_FALSE(ini.inBatch());
    EXPECT_EQ(dir.read(path), start);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"Nollex.ini"});
    EXPECT_EQ(ini.readInteger("System", "Tab", 0), 4);
    EXPECT_EQ(ini.readString("System", "FileName0", "none"), "none");
}
