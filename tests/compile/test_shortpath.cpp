// Short paths on a Windows file system in memory and on the real one, and the
// decoding of compiler output.

#include "FakePlatform.h"
#include "compile/MessageText.h"
#include "compile/ShortPath.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

#include <QDir>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace nollex;
using nollex::test::FakeWindowsFileSystem;
using nollex::test::windowsDisk;

// Every component in its short form (or as stored), each with a final backslash;
// empty as soon as anything on the way is missing.
TEST(ToShortPath, WindowsPaths)
{
    const FakeWindowsFileSystem fs = windowsDisk();
    const struct {
        const char* name;
        const char* path;
        const char* shortPath;
    } rows[] = {
        {"worked example", "C:\\Program Files\\Tools", "C:\\PROGRA~1\\Tools\\"},
        {"final backslash", "C:\\Program Files\\Tools\\", "C:\\PROGRA~1\\Tools\\"},
        {"a file", "C:\\Program Files\\Tools\\Nollex.exe", "C:\\PROGRA~1\\Tools\\Nollex.exe\\"},
        {"already short", "C:\\PROGRA~1\\Tools", "C:\\PROGRA~1\\Tools\\"},
        {"stored spelling", "c:\\borland\\BCC55\\bin", "c:\\Borland\\bcc55\\Bin\\"},
        {"drive", "C:\\", "C:\\"},
        {"missing last", "C:\\Program Files\\None", ""},
        {"missing middle", "C:\\Nowhere\\Tools", ""},
        {"wildcard", "C:\\Program Files\\T*", "C:\\PROGRA~1\\Tools\\"},
        {"empty", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ToShortPath(QString::fromLatin1(row.path), fs), QString::fromLatin1(row.shortPath));
    }
    EXPECT_TRUE(PathExists(QStringLiteral("C:\\PROGRA~1\\Tools\\*.exe"), fs));
    EXPECT_FALSE(PathExists(QStringLiteral("C:\\PROGRA~1\\Tools\\*.txt"), fs));
}

// On Linux: the absolute path, components as stored (blanks and Japanese kept),
// each followed by "/"; relative paths are taken from the current folder.
TEST(ToShortPath, RealFileSystem)
{
    test::TempDir dir;
    HostFileSystem fs;
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("my work/日本語")));
    dir.write(QStringLiteral("my work/日本語/a.cpp"), "x");
    const QString base = QDir(dir.path()).canonicalPath() + u'/';

    EXPECT_EQ(ToShortPath(base + QStringLiteral("my work/日本語"), fs), base + QStringLiteral("my work/日本語/"));
    EXPECT_EQ(ToShortPath(base + QStringLiteral("my work//日本語/"), fs), base + QStringLiteral("my work/日本語/"));
    EXPECT_EQ(ToShortPath(base + QStringLiteral("my work/日本語/a.cpp"), fs),
              base + QStringLiteral("my work/日本語/a.cpp/"));
    EXPECT_EQ(ToShortPath(base + QStringLiteral("my work/none"), fs), QString());
    EXPECT_EQ(ToShortPath(QStringLiteral("/"), fs), QStringLiteral("/"));

    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(base));
    EXPECT_EQ(ToShortPath(QStringLiteral("my work"), fs), base + QStringLiteral("my work/"));
    EXPECT_TRUE(PathExists(QStringLiteral("my work/日本語/a.cpp"), fs));
    QDir::setCurrent(previous);

    // "?", "*", "[" and "]" are letters of a name here: a pattern that matches
    // another file must not stand for it (a build would write over "h1.cpp").
    EXPECT_FALSE(PathExists(base + QStringLiteral("my work/日本語/*.cpp"), fs));
    EXPECT_FALSE(PathExists(base + QStringLiteral("*/日本語"), fs));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a?/b[1]")));
    dir.write(QStringLiteral("a?/h1.cpp"), "x");
    EXPECT_FALSE(PathExists(base + QStringLiteral("a?/h?.cpp"), fs));
    EXPECT_EQ(ToShortPath(base + QStringLiteral("a?/h?.cpp"), fs), QString());
    EXPECT_EQ(ToShortPath(base + QStringLiteral("a?/b[1]"), fs), base + QStringLiteral("a?/b[1]/"));
    ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("a1")));
    EXPECT_EQ(ToShortPath(base + QStringLiteral("a*"), fs), QString());
    dir.write(QStringLiteral("a?/h?.cpp"), "x");
    EXPECT_EQ(ToShortPath(base + QStringLiteral("a?/h?.cpp"), fs), base + QStringLiteral("a?/h?.cpp/"));
}

TEST(PathParts, BySeparator)
{
    const FakeWindowsFileSystem win;
    const HostFileSystem host;
    EXPECT_EQ(fileNamePart(QStringLiteral("C:\\a\\b.C"), win), QStringLiteral("b.C"));
    EXPECT_EQ(fileNamePart(QStringLiteral("C:b.c"), win), QStringLiteral("b.c"));
    EXPECT_EQ(folderPart(QStringLiteral("C:\\a\\b.c"), win), QStringLiteral("C:\\a\\"));
    EXPECT_EQ(fileNamePart(QStringLiteral("/a\\b/c:d.c"), host), QStringLiteral("c:d.c"));
    EXPECT_EQ(extensionPart(QStringLiteral("/a.b/c"), host), QString());
    EXPECT_EQ(extensionPart(QStringLiteral("/a/c.tar.C"), host), QStringLiteral(".C"));
}

// Compiler output in UTF-8 or Shift-JIS reads as text; broken bytes never stop it.
TEST(MessageText, Decoding)
{
    EXPECT_EQ(decodeMessageText("a\r\nb\r\n"), QStringLiteral("a\nb"));
    EXPECT_EQ(decodeMessageText("a\rb\n\n"), QStringLiteral("a\nb\n"));
    EXPECT_EQ(decodeMessageText("エラー: 3行目\n"), QStringLiteral("エラー: 3行目"));
    const QByteArray sjis = QStringEncoder("Shift_JIS").encode(QStringLiteral("警告 hello.cpp 3: 表示"));
    EXPECT_EQ(decodeMessageText(sjis), QStringLiteral("警告 hello.cpp 3: 表示"));
    const QString broken = decodeMessageText(QByteArray("ok \xff\xfe\x80 end", 10));
    EXPECT_TRUE(broken.startsWith(QStringLiteral("ok ")));
    EXPECT_TRUE(broken.endsWith(QStringLiteral("end")));
    EXPECT_EQ(decodeMessageText(QByteArray()), QString());
}

// The build's lock: one holder at a time (two windows are two open files), free
// again when the holder goes, and never taken through a link planted in its place.
TEST(HostFileSystem, LockIsExclusiveAndNeverFollowsALink)
{
    test::TempDir dir;
    HostFileSystem fs;
    const QString path = dir.file(QStringLiteral("__out.lock"));
    std::unique_ptr<FileLock> first = fs.tryLock(path);
    ASSERT_TRUE(first);
    EXPECT_FALSE(fs.tryLock(path));
    first.reset();
    EXPECT_TRUE(fs.tryLock(path));

    const QString target = dir.write(QStringLiteral("precious.txt"), "mine");
    const QString link = dir.file(QStringLiteral("link.lock"));
    ASSERT_TRUE(QFile::link(target, link));
    EXPECT_THROW(fs.tryLock(link), NollexError);
    EXPECT_EQ(dir.read(QStringLiteral("precious.txt")), QByteArray("mine"));
    const std::optional<FoundEntry> entry = fs.findFirst(link);
    ASSERT_TRUE(entry);
    EXPECT_TRUE(entry->isLink);
    EXPECT_FALSE(entry->foreign);
}
