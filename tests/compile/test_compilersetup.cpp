// The compiler checks and configuration files.

#include "FakePlatform.h"
#include "compile/CompilerSetup.h"
#include "platform/Errors.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace nollex;
using nollex::test::FakeWindowsFileSystem;
using nollex::test::windowsDisk;

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
