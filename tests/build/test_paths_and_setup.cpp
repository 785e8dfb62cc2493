// Short paths on a Windows file system in memory and on the real one, the
// compiler checks and configuration files, and the decoding of compiler output.

#include "FakePlatform.h"
#include "build/CompilerSetup.h"
#include "build/MessageText.h"
#include "build/ShortPath.h"
#include "platform/Errors.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QDir>
#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace nollex;
using nollex::test::FakeWindowsFileSystem;

namespace {

FakeWindowsFileSystem windowsDisk()
{
    FakeWindowsFileSystem fs;
    fs.addFolder(QStringLiteral("C:\\Program Files"), QStringLiteral("PROGRA~1"));
    fs.addFolder(QStringLiteral("C:\\Program Files\\Tools"));
    fs.addFile(QStringLiteral("C:\\Program Files\\Tools\\Nollex.exe"));
    fs.addFolder(QStringLiteral("C:\\Borland\\bcc55\\Bin"));
    fs.addFile(QStringLiteral("C:\\Borland\\bcc55\\Bin\\bcc32.exe"));
    return fs;
}

}  // namespace

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

// "OK" when the compiler is there; otherwise the name as typed with exactly one
// separator between folder and name, captioned "Existence" with the information icon.
TEST(CompilerSetup, Existence)
{
    const FakeWindowsFileSystem fs = windowsDisk();
    EXPECT_EQ(compilerExistenceMessage(QStringLiteral("C:\\Borland\\bcc55\\Bin"), QStringLiteral("bcc32.exe"), fs),
              QStringLiteral("OK"));
    EXPECT_EQ(compilerExistenceMessage(QStringLiteral("C:\\Borland\\bcc55\\Bin"), QStringLiteral("bcc99.exe"), fs),
              QStringLiteral("C:\\Borland\\bcc55\\Bin\\bcc99.exe は存在しません"));
    EXPECT_EQ(compilerExistenceMessage(QStringLiteral("C:\\Borland\\bcc55\\Bin\\"), QStringLiteral("bcc99.exe"), fs),
              QStringLiteral("C:\\Borland\\bcc55\\Bin\\bcc99.exe は存在しません"));
    EXPECT_EQ(compilerExistenceMessage(QString(), QStringLiteral("bcc32.exe"), fs),
              QStringLiteral("\\bcc32.exe は存在しません"));

    // A folder that does not exist leaves the bare name, found in the current folder.
    test::TempDir dir;
    HostFileSystem host;
    dir.write(QStringLiteral("bcc32.exe"), "");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(compilerExistenceMessage(QStringLiteral("/no/such/folder"), QStringLiteral("bcc32.exe"), host),
              QStringLiteral("OK"));
    QDir::setCurrent(previous);
    EXPECT_EQ(compilerExistenceMessage(dir.path(), QStringLiteral("bcc32.exe"), host), QStringLiteral("OK"));
    EXPECT_EQ(compilerExistenceMessage(dir.path(), QString(), host), dir.path() + QStringLiteral(" は存在しません"));
    EXPECT_EQ(compilerExistenceMessage(dir.path() + QStringLiteral("sub"), QStringLiteral("x"), host),
              dir.path() + QStringLiteral("sub/x は存在しません"));

    test::ScriptedDialogs dialogs;
    dialogs.answer(MsgAnswer::Ok);
    CheckCompilerExists(dir.path(), QStringLiteral("bcc32.exe"), host, dialogs);
    ASSERT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(dialogs.asked[0].caption, QStringLiteral("Existence"));
    EXPECT_EQ(dialogs.asked[0].text, QStringLiteral("OK"));
    EXPECT_EQ(dialogs.asked[0].icon, MsgIcon::Information);
    EXPECT_EQ(dialogs.asked[0].buttons, MsgButtons::Ok);
}

// The parent folder D, typed with or without a final separator; a text with no
// separator before its last character is D itself.
TEST(CompilerSetup, ConfigFileContents)
{
    for (const char* folder : {"C:\\Borland\\bcc55\\Bin", "C:\\Borland\\bcc55\\Bin\\"}) {
        SCOPED_TRACE(folder);
        const ConfigFiles f = configFilesFor(QString::fromLatin1(folder), u'\\');
        EXPECT_EQ(f.compilerConfigPath, QStringLiteral("C:\\Borland\\bcc55\\Bin\\bcc32.cfg"));
        EXPECT_EQ(f.linkerConfigPath, QStringLiteral("C:\\Borland\\bcc55\\Bin\\ilink32.cfg"));
        EXPECT_EQ(f.compilerConfig,
                  QByteArray("-I\"C:\\Borland\\bcc55\\include\"\r\n-L\"C:\\Borland\\bcc55\\lib\"\r\n"));
        EXPECT_EQ(f.linkerConfig, QByteArray("-L\"C:\\Borland\\bcc55\\lib\"\r\n"));
    }
    const ConfigFiles drive = configFilesFor(QStringLiteral("C:"), u'\\');
    EXPECT_EQ(drive.compilerConfigPath, QStringLiteral("C:\\bcc32.cfg"));
    EXPECT_EQ(drive.linkerConfig, QByteArray("-L\"C:lib\"\r\n"));
    const ConfigFiles driveRoot = configFilesFor(QStringLiteral("C:\\"), u'\\');
    EXPECT_EQ(driveRoot.linkerConfig, QByteArray("-L\"C:\\lib\"\r\n"));

    const ConfigFiles linux = configFilesFor(QStringLiteral("/opt/bcc55/Bin"), u'/');
    EXPECT_EQ(linux.compilerConfigPath, QStringLiteral("/opt/bcc55/Bin/bcc32.cfg"));
    EXPECT_EQ(linux.compilerConfig, QByteArray("-I\"/opt/bcc55/include\"\r\n-L\"/opt/bcc55/lib\"\r\n"));
}

// Both files are replaced without asking; a file that cannot be written is named
// in the error after the other one has been written; an empty folder writes nothing.
TEST(CompilerSetup, GenerateWritesAndReports)
{
    test::TempDir dir;
    HostFileSystem fs;
    const QString bin = dir.path() + QStringLiteral("Bin");
    ASSERT_TRUE(QDir().mkpath(bin));
    dir.write(QStringLiteral("Bin/bcc32.cfg"), "old old old old old old old old\r\n");
    GenerateConfigFiles(bin, fs);
    EXPECT_EQ(dir.read(QStringLiteral("Bin/bcc32.cfg")),
              ("-I\"" + dir.path() + "include\"\r\n-L\"" + dir.path() + "lib\"\r\n").toUtf8());
    EXPECT_EQ(dir.read(QStringLiteral("Bin/ilink32.cfg")), ("-L\"" + dir.path() + "lib\"\r\n").toUtf8());

    QFile::remove(dir.file(QStringLiteral("Bin/ilink32.cfg")));
    QFile::remove(dir.file(QStringLiteral("Bin/bcc32.cfg")));
    ASSERT_TRUE(QDir().mkpath(dir.file(QStringLiteral("Bin/bcc32.cfg"))));  // a folder in the way
    try {
        GenerateConfigFiles(bin, fs);
        ADD_FAILURE() << "no error for a file that cannot be written";
    } catch (const NollexError& e) {
        EXPECT_TRUE(e.text().contains(QStringLiteral("bcc32.cfg")));
    }
    EXPECT_FALSE(dir.read(QStringLiteral("Bin/ilink32.cfg")).isEmpty());

    EXPECT_THROW(GenerateConfigFiles(QString(), fs), NollexError);
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
