#include "platform/Errors.h"
#include "project/ProjectFile.h"
#include "settings/IniFile.h"
#include "support/TempDir.h"

#include "support/FileSizeLimit.h"

#include <QStringEncoder>

#include <gtest/gtest.h>

using namespace nollex;
using nollex::test::TempDir;

namespace {

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

}  // namespace

// Guards the writer's content and layout and the reader's view of it: three
// entries with the second selected come back as they went in.
TEST(ProjectFile, ThreeEntriesWithTheSecondSelectedRoundTrip)
{
    TempDir dir;
    const QString path = dir.file("p.prj");
    const QStringList files{"/home/u/p/main.c", "/home/u/p/util.c", "/home/u/p/util.h"};
    writeProjectFile(path, files, 1);
    EXPECT_EQ(dir.read(path), QByteArray("[System]\r\n"
                                         "Version=200\r\n"
                                         "Index=3\r\n"
                                         "MainIndex=1\r\n"
                                         "\r\n"
                                         "[Project]\r\n"
                                         "file0=/home/u/p/main.c\r\n"
                                         "file1=/home/u/p/util.c\r\n"
                                         "file2=/home/u/p/util.h\r\n"));
    const ProjectFileData data = readProjectFile(path);
    EXPECT_EQ(data.version, 200);
    EXPECT_FALSE(data.versionTooOld());
    EXPECT_TRUE(data.valid);
    EXPECT_EQ(data.count, 3);
    EXPECT_EQ(data.mainIndex, 1);
    EXPECT_EQ(data.entries, files);
    EXPECT_EQ(data.mainFile(), files[1]);
}

// Guards "Index" as a count: a shorter list written over a longer one leaves the
// surplus keys in the file, and reading stops at the count.
TEST(ProjectFile, ShorterListOverALongerOneKeepsSurplusKeysButReadsTheCount)
{
    TempDir dir;
    const QString path = dir.file("p.prj");
    writeProjectFile(path, {"/a/0.c", "/a/1.c", "/a/2.c", "/a/3.c"}, 3);
    writeProjectFile(path, {"/b/0.c", "/b/1.c"}, 0);

    const IniFile ini(path);
    EXPECT_EQ(ini.readString("Project", "file2", ""), "/a/2.c");
    EXPECT_EQ(ini.readString("Project", "file3", ""), "/a/3.c");
    const ProjectFileData data = readProjectFile(path);
    EXPECT_TRUE(data.valid);
    EXPECT_EQ(data.count, 2);
    EXPECT_EQ(data.mainIndex, 0);
    EXPECT_EQ(data.entries, (QStringList{"/b/0.c", "/b/1.c"}));
}

// Guards the validity check on hand-made files; rejected files give no entries.
TEST(ProjectFile, ValidityCheck)
{
    struct Row {
        const char* name;
        const char* system;  // lines of [System] after Version=200
        bool valid;
    };
    const Row rows[] = {
        {"main-at-count", "Index=2\r\nMainIndex=2\r\n", false},
        {"count-zero", "Index=0\r\nMainIndex=0\r\n", false},
        {"no-selection", "Index=3\r\nMainIndex=-1\r\n", false},
        {"main-missing", "Index=3\r\n", false},
        {"count-missing", "MainIndex=0\r\n", false},
        {"count-junk", "Index=three\r\nMainIndex=0\r\n", false},
        {"main-entry-empty", "Index=5\r\nMainIndex=4\r\n", false},
        {"main-entry-absent", "Index=7\r\nMainIndex=6\r\n", false},
        {"beyond-limit", "Index=2147483647\r\nMainIndex=0\r\n", false},
        {"main-last", "Index=4\r\nMainIndex=3\r\n", true},
        {"hex-count", "Index=0x3\r\nMainIndex=$2\r\n", true},
    };
    TempDir dir;
    for (const Row& r : rows) {
        const QString path = dir.write(QString::fromLatin1(r.name) + ".prj",
                                       QByteArray("[System]\r\nVersion=200\r\n") + r.system +
                                           "[Project]\r\n"
                                           "file0=/p/a.c\r\nfile1=\r\nfile2=/p/c.c\r\n"
                                           "file3=/p/d.c\r\nfile4=\r\n");
        const ProjectFileData data = readProjectFile(path);
        EXPECT_EQ(data.valid, r.valid) << r.name;
        if (!r.valid) {
            EXPECT_TRUE(data.entries.isEmpty()) << r.name;
        }
    }
    // A present but empty entry elsewhere is an empty path, not a rejection.
    const ProjectFileData last = readProjectFile(dir.file("main-last.prj"));
    EXPECT_EQ(last.entries, (QStringList{"/p/a.c", "", "/p/c.c", "/p/d.c"}));

    const ProjectFileData missing = readProjectFile(dir.file("none.prj"));
    EXPECT_EQ(missing.version, 0);
    EXPECT_TRUE(missing.versionTooOld());
    EXPECT_FALSE(missing.valid);
}

// Guards the version: 150 and a missing one are too old (the tab refuses, the main
// window asks) while the content stays readable for the main window's "Yes";
// anything from 200 up is accepted.
TEST(ProjectFile, OldVersionsAreReportedWithTheirContent)
{
    TempDir dir;
    const QByteArray body = "Index=2\r\nMainIndex=1\r\n[Project]\r\nfile0=/p/a.c\r\nfile1=/p/b.c\r\n";
    const QString v150 = dir.write("v150.prj", "[System]\r\nVersion=150\r\n" + body);
    const QString none = dir.write("none.prj", "[System]\r\n" + body);
    const QString v250 = dir.write("v250.prj", "[System]\r\nVersion=250\r\n" + body);

    const ProjectFileData old = readProjectFile(v150);
    EXPECT_EQ(old.version, 150);
    EXPECT_TRUE(old.versionTooOld());
    EXPECT_TRUE(old.valid);
    EXPECT_EQ(old.entries, (QStringList{"/p/a.c", "/p/b.c"}));

    const ProjectFileData missing = readProjectFile(none);
    EXPECT_EQ(missing.version, 0);
    EXPECT_TRUE(missing.versionTooOld());
    EXPECT_TRUE(missing.valid);

    EXPECT_FALSE(readProjectFile(v250).versionTooOld());
}

// Guards Japanese paths: written in UTF-8 and read back unchanged, and read from a
// Shift-JIS file written elsewhere.
TEST(ProjectFile, JapanesePathsRoundTrip)
{
    TempDir dir;
    const QStringList files{q("/home/ユーザー/課題/表示.c"), q("/home/ユーザー/課題/ソース 2.c")};
    const QString path = dir.file(q("課題.prj"));
    writeProjectFile(path, files, 0);
    EXPECT_TRUE(dir.read(path).contains(files[1].toUtf8()));
    EXPECT_EQ(readProjectFile(path).entries, files);

    QStringEncoder sjis("windows-31j");
    const QByteArray legacy = sjis.encode(q("[System]\r\nVersion=200\r\nIndex=1\r\nMainIndex=0\r\n"
                                            "[Project]\r\nfile0=C:\\課題\\表示.c\r\n"));
    const ProjectFileData data = readProjectFile(dir.write("legacy.prj", legacy));
    EXPECT_TRUE(data.valid);
    EXPECT_EQ(data.entries, QStringList{q("C:\\課題\\表示.c")});
}

// Guards the writer against a refused write: the ini error text with the path.
TEST(ProjectFile, RefusedWriteRaisesTheError)
{
    TempDir dir;
    dir.write("plain", "x");
    const QString path = dir.file("plain/p.prj");
    try {
        writeProjectFile(path, {"/a.c"}, 0);
        ADD_FAILURE() << "write was not refused";
    } catch (const NollexError& e) {
        EXPECT_EQ(e.text(), path + q(" に書き込めません"));
    }
}

// Guards the all-or-nothing write: when the new file cannot be written whole (a
// full disk, here a file-size limit), the old one stays as it was, never a count
// and main index that point at old entries.
TEST(ProjectFile, FailedWriteLeavesTheOldFileWhole)
{
    TempDir dir;
    const QByteArray before = "[System]\r\nVersion=200\r\nIndex=1\r\nMainIndex=0\r\n[Project]\r\nfile0=/a.c\r\n";
    const QString path = dir.write("p.prj", before);
    QStringList entries;
    for (int i = 0; i < 20; ++i)
        entries << QStringLiteral("/home/user/a long folder name/project/file%1.c").arg(i);

    {
        const test::FileSizeLimit limit(512);
        ASSERT_TRUE(limit.active());
        EXPECT_THROW(writeProjectFile(path, entries, 7), NollexError);
    }

    EXPECT_EQ(dir.read(path), before);
}

// Guards the keys the writer does not own: other keys and sections stay.
TEST(ProjectFile, UpdatingKeepsForeignKeys)
{
    TempDir dir;
    const QString path = dir.write("p.prj", "; made by hand\r\n[System]\r\nVersion=100\r\n"
                                            "Note=keep\r\n[Other]\r\nx=1\r\n");
    writeProjectFile(path, {"/a.c"}, 0);
    EXPECT_EQ(dir.read(path), QByteArray("; made by hand\r\n[System]\r\nVersion=200\r\n"
                                         "Note=keep\r\nIndex=1\r\nMainIndex=0\r\n[Other]\r\nx=1\r\n"
                                         "\r\n[Project]\r\nfile0=/a.c\r\n"));
}
