#include "platform/Errors.h"
#include "settings/IniFile.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

#include <gtest/gtest.h>

#include <unistd.h>

using namespace nollex;
using nollex::test::TempDir;

namespace {

QString q(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

QByteArray sjis(const QString& text)
{
    QStringEncoder enc("windows-31j");
    QByteArray bytes = enc.encode(text);
    EXPECT_FALSE(enc.hasError());
    return bytes;
}

qsizetype utf8Size(const QString& s)
{
    return s.toUtf8().size();
}

}  // namespace

// Guards the integer rule: the two hexadecimal forms, signs, range and junk.
TEST(IniInteger, ParsesDecimalAndBothHexadecimalForms)
{
    struct Row {
        const char* name;
        const char* text;
        std::optional<qint32> want;
    };
    const Row rows[] = {
        {"0x-lower", "0x10", 16},
        {"0X-upper", "0X1f", 31},
        {"dollar", "$10", 16},
        {"dollar-negative", "-$10", -16},
        {"hex-all-bits", "$FFFFFFFF", -1},
        {"0x-colour", "0x00FFFFFF", 0xFFFFFF},
        {"decimal", "12", 12},
        {"plus", "+7", 7},
        {"negative", "-12", -12},
        {"leading-zeros", "007", 7},
        {"max", "2147483647", 2147483647},
        {"min", "-2147483648", std::numeric_limits<qint32>::min()},
        {"too-big", "2147483648", std::nullopt},
        {"hex-too-big", "0x100000000", std::nullopt},
        {"0x-alone", "0x", std::nullopt},
        {"0x-signed", "0x-5", std::nullopt},
        {"dollar-alone", "$", std::nullopt},
        {"sign-alone", "-", std::nullopt},
        {"letters", "abc", std::nullopt},
        {"empty", "", std::nullopt},
        {"inner-blank", "1 2", std::nullopt},
        {"trailing-junk", "12px", std::nullopt},
        {"full-width-digits", "１２", std::nullopt},
    };
    for (const Row& r : rows)
        EXPECT_EQ(parseIniInteger(q(r.text)), r.want) << r.name;
}

// Guards the reading rules on one file: trimming, quotes, empty values, case,
// comments, odd lines and which of two equal names counts.
TEST(IniFile, ReadsValuesByTheirRules)
{
    TempDir dir;
    const QString path = dir.write("a.ini",
                                   "stray=before any section\r\n"
                                   "[Compiler]\r\n"
                                   "_smallb=-b \r\n"
                                   "  spaced  =  \t v w \t \r\n"
                                   "dq=\"quoted text\"\r\n"
                                   "sq='single'\r\n"
                                   "inner=\" a \"\r\n"
                                   "mixed=\"a'\r\n"
                                   "lone=\"\r\n"
                                   "partial=a\"b\"\r\n"
                                   "empty=\r\n"
                                   "; commented=1\r\n"
                                   "no equals sign\r\n"
                                   "twice=first\r\n"
                                   "TWICE=second\r\n"
                                   "[compiler]\r\n"
                                   "later=in a repeated section\r\n");
    const IniFile ini(path);
    const QString c = QStringLiteral("Compiler");
    EXPECT_EQ(ini.readString(c, "_smallb", "x"), "-b");
    EXPECT_EQ(ini.readString(c, "spaced", "x"), "v w");
    EXPECT_EQ(ini.readString("COMPILER", "SPACED", "x"), "v w");
    EXPECT_EQ(ini.readString(c, "dq", "x"), "quoted text");
    EXPECT_EQ(ini.readString(c, "sq", "x"), "single");
    EXPECT_EQ(ini.readString(c, "inner", "x"), " a ");
    EXPECT_EQ(ini.readString(c, "mixed", "x"), "\"a'");
    EXPECT_EQ(ini.readString(c, "lone", "x"), "\"");
    EXPECT_EQ(ini.readString(c, "partial", "x"), "a\"b\"");
    EXPECT_EQ(ini.readString(c, "empty", "x"), "");
    EXPECT_EQ(ini.readString(c, "twice", "x"), "first");
    EXPECT_EQ(ini.readString(c, "; commented", "x"), "x");
    EXPECT_EQ(ini.readString(c, "no equals sign", "x"), "x");
    EXPECT_EQ(ini.readString(c, "later", "x"), "x");
    EXPECT_EQ(ini.readString(c, "stray", "x"), "x");
    EXPECT_EQ(ini.readString("", "stray", "x"), "x");
    // Defaults lose trailing blanks only.
    EXPECT_EQ(ini.readString(c, "missing", " -b  "), " -b");
    EXPECT_EQ(ini.readString("Missing", "_smallb", "-w "), "-w");
}

// Guards integers and booleans read from a file: hexadecimal, junk and the empty
// text fall back to the default; any integer but 0 is true.
TEST(IniFile, ReadsIntegersAndBooleans)
{
    TempDir dir;
    const QString path = dir.write("a.ini",
                                   "[System]\n"
                                   "hex=0x10\n"
                                   "dollar=$10\n"
                                   "abc=abc\n"
                                   "empty=\n"
                                   "padded=  -42  \n"
                                   "quoted=\"7\"\n"
                                   "five=5\n"
                                   "zero=0\n"
                                   "negative=-1\n");
    const IniFile ini(path);
    const QString s = QStringLiteral("System");
    EXPECT_EQ(ini.readInteger(s, "hex", 12), 16);
    EXPECT_EQ(ini.readInteger(s, "dollar", 12), 16);
    EXPECT_EQ(ini.readInteger(s, "abc", 12), 12);
    EXPECT_EQ(ini.readInteger(s, "empty", 12), 12);
    EXPECT_EQ(ini.readInteger(s, "missing", 12), 12);
    EXPECT_EQ(ini.readInteger(s, "padded", 12), -42);
    EXPECT_EQ(ini.readInteger(s, "quoted", 12), 7);

    EXPECT_TRUE(ini.readBool(s, "five", false));
    EXPECT_TRUE(ini.readBool(s, "negative", false));
    EXPECT_FALSE(ini.readBool(s, "zero", true));
    EXPECT_TRUE(ini.readBool(s, "missing", true));
    EXPECT_FALSE(ini.readBool(s, "missing", false));
    EXPECT_TRUE(ini.readBool(s, "abc", true));
    EXPECT_FALSE(ini.readBool(s, "abc", false));
}

// Guards a missing file: defaults, no error, and reading does not create it.
TEST(IniFile, MissingFileGivesDefaultsAndStaysMissing)
{
    TempDir dir;
    const QString path = dir.file("none.ini");
    IniFile ini(path);
    EXPECT_EQ(ini.readString("System", "FontName", "ＭＳ 明朝"), "ＭＳ 明朝");
    EXPECT_EQ(ini.readInteger("System", "FontSize", 12), 12);
    EXPECT_TRUE(ini.readBool("Compiler", "__smallw", true));
    ini.release();
    EXPECT_FALSE(QFileInfo::exists(path));
    // A folder in the file's place reads as missing too.
    EXPECT_EQ(IniFile(dir.path()).readInteger("System", "Tab", 4), 4);
}

// Guards the 2047-byte cap, counted in the file's own bytes and never cutting
// a character apart.
TEST(IniFile, ValuesAreCutToTheBufferInTheFilesBytes)
{
    TempDir dir;
    const QString ascii(3000, u'a');
    const QString kana = QString(1100, QChar(0x3042));  // "あ": 3 bytes in UTF-8, 2 in Shift-JIS
    const QString oddKana = u'a' + kana;
    const QString utf8 = dir.write("u.ini", "[S]\r\nascii=" + ascii.toUtf8() + "\r\nkana=" +
                                                kana.toUtf8() + "\r\nquoted=\"" + ascii.toUtf8() +
                                                "\"\r\n");
    const IniFile u(utf8);
    EXPECT_EQ(u.readString("S", "ascii", ""), ascii.left(2047));
    EXPECT_EQ(u.readString("S", "kana", ""), kana.left(682));  // 2046 bytes
    EXPECT_EQ(u.readString("S", "quoted", ""), ascii.left(2047));
    EXPECT_EQ(u.readString("S", "missing", ascii), ascii.left(2047));

    const QString shiftJis =
        dir.write("s.ini", "[S]\r\nkana=" + sjis(kana) + "\r\nodd=" + sjis(oddKana) + "\r\n");
    const IniFile s(shiftJis);
    EXPECT_EQ(s.readString("S", "kana", ""), kana.left(1023));  // 2046 bytes
    EXPECT_EQ(s.readString("S", "odd", ""), oddKana.left(1024));  // 2047 bytes
    EXPECT_LE(utf8Size(u.readString("S", "kana", "")), 2047);
}

// Guards Shift-JIS files: detected and read, also where a second byte is "\" or
// "]"; the first write turns the whole file into UTF-8 with its text kept.
TEST(IniFile, ReadsShiftJisAndWritesItBackAsUtf8)
{
    TempDir dir;
    // In Shift-JIS "表" and "ソ" end in the byte of "\", "ゼ" in that of "[" and
    // "ゾ" in that of "]": "[ゾ" is no section name.
    const QString path = dir.write("s.ini", sjis(q("; 日本語の注記\r\n"
                                                   "[System]\r\n"
                                                   "FontName=ＭＳ 明朝\r\n"
                                                   "[プロジェクトゼゾ]\r\n"
                                                   "[ゾ\r\n"
                                                   "file0=C:\\表\\ソース.cpp\r\n")));
    IniFile ini(path);
    EXPECT_EQ(ini.readString("System", "FontName", ""), q("ＭＳ 明朝"));
    EXPECT_EQ(ini.readString(q("プロジェクトゼゾ"), "file0", ""), q("C:\\表\\ソース.cpp"));

    ini.writeInteger("System", "Tab", 8);
    EXPECT_EQ(dir.read(path), q("; 日本語の注記\r\n"
                                "[System]\r\n"
                                "FontName=ＭＳ 明朝\r\n"
                                "Tab=8\r\n"
                                "[プロジェクトゼゾ]\r\n"
                                "[ゾ\r\n"
                                "file0=C:\\表\\ソース.cpp\r\n")
                                  .toUtf8());
    EXPECT_EQ(IniFile(path).readString(q("プロジェクトゼゾ"), "file0", ""),
              q("C:\\表\\ソース.cpp"));
}

// Guards in-place updates: one changed key changes that line only, whatever the
// rest of the file holds (comments, odd lines, LF ends, blanks around "=").
TEST(IniFile, ChangingOneKeyLeavesEveryOtherByte)
{
    TempDir dir;
    const QByteArray before = "; settings\n"
                              "[Information]\r\n"
                              "Version=150\r\n"
                              "\r\n"
                              "[System]\n"
                              "  BGColor = 0x00FF00  \n"
                              "odd line without equals\n"
                              "Tab=4\n"
                              "[Compiler]\r\n"
                              "_smallb=-b \r\n"
                              "trailing=no line end";
    const QString path = dir.write("Nollex.ini", before);
    IniFile ini(path);
    ini.writeInteger("system", "bgcolor", 255);
    QByteArray want = before;
    want.replace("  BGColor = 0x00FF00  \n", "BGColor=255\r\n");
    EXPECT_EQ(dir.read(path), want);

    // Writing the value a key already holds changes nothing at all.
    const QFileInfo was(path);
    ini.writeInteger("System", "Tab", 4);
    EXPECT_EQ(dir.read(path), want);
    EXPECT_EQ(QFileInfo(path).lastModified(), was.lastModified());
}

// Guards where new entries go: a key at the end of its section (before the blank
// lines and the next section), a section at the end of the file; and the layout
// of a new file, CR LF throughout.
TEST(IniFile, NewKeysAndSectionsGoToTheEnd)
{
    TempDir dir;
    const QString path = dir.write("a.ini",
                                   "[System]\n"
                                   "Index=0\n"
                                   "; note\n"
                                   "\n"
                                   "[Project]\n"
                                   "ProjectFile=\n");
    IniFile ini(path);
    ini.writeString("SYSTEM", "FileName0", "/home/u/a.c");
    ini.writeBool("Compiler", "__smallw", true);
    ini.writeString("Project", "Extra", "x");
    EXPECT_EQ(dir.read(path), QByteArray("[System]\n"
                                         "Index=0\n"
                                         "FileName0=/home/u/a.c\r\n"
                                         "; note\n"
                                         "\n"
                                         "[Project]\n"
                                         "ProjectFile=\n"
                                         "Extra=x\r\n"
                                         "\r\n"
                                         "[Compiler]\r\n"
                                         "__smallw=1\r\n"));

    // A last line without a line end gets one before anything is appended, and a
    // section without keys takes its first key right under its name.
    const QString bare = dir.write("b.ini", "[Empty]\r\n[Other]\r\nk=v");
    IniFile b(bare);
    b.writeString("Other", "k2", "w");
    b.writeString("Empty", "first", "1");
    EXPECT_EQ(dir.read(bare), QByteArray("[Empty]\r\nfirst=1\r\n[Other]\r\nk=v\r\nk2=w\r\n"));

    const QString fresh = dir.file("new.ini");
    IniFile n(fresh);
    n.writeInteger("Information", "Version", 200);
    n.writeInteger("System", "BGColor", 0);
    n.writeString("System", "FontName", "ＭＳ 明朝");
    n.writeBool("System", "flag", false);
    EXPECT_EQ(dir.read(fresh), q("[Information]\r\nVersion=200\r\n\r\n"
                                 "[System]\r\nBGColor=0\r\nFontName=ＭＳ 明朝\r\nflag=0\r\n")
                                   .toUtf8());
    EXPECT_EQ(IniFile(fresh).readString("system", "fontname", ""), q("ＭＳ 明朝"));
}

// Guards what a written text reads back as, and that a line break in a value
// cannot smuggle in a key of its own.
TEST(IniFile, WrittenValuesReadBackByTheReadingRules)
{
    TempDir dir;
    const QString path = dir.file("a.ini");
    IniFile ini(path);
    ini.writeString("Compiler", "_smallb", "-b ");
    ini.writeString("Compiler", "_insideI", "\"C:\\My Include\"");
    ini.writeString("Compiler", "evil", "x\r\n[System]\r\nVersion=1");
    EXPECT_EQ(dir.read(path), QByteArray("[Compiler]\r\n_smallb=-b \r\n"
                                         "_insideI=\"C:\\My Include\"\r\n"
                                         "evil=x  [System]  Version=1\r\n"));
    const IniFile again(path);
    EXPECT_EQ(again.readString("Compiler", "_smallb", ""), "-b");
    EXPECT_EQ(again.readString("Compiler", "_insideI", ""), "C:\\My Include");
    EXPECT_EQ(again.readInteger("System", "Version", 0), 0);
}

// Guards against a stale view: the object follows changes that others make to
// the file, and a write never drops a key another writer added meanwhile.
TEST(IniFile, FollowsChangesMadeByOthers)
{
    TempDir dir;
    const QString path = dir.file("shared.ini");
    IniFile mine(path);
    mine.writeInteger("System", "Tab", 4);
    EXPECT_EQ(mine.readInteger("System", "Tab", 0), 4);

    IniFile other(path);
    other.writeInteger("System", "Tab", 8);
    other.writeString("Project", "ProjectFile", "/p.prj");
    EXPECT_EQ(mine.readInteger("System", "Tab", 0), 8);

    // Rewritten in place with the same size, as an editor might.
    dir.write("shared.ini", "[System]\r\nTab=9\r\n\r\n[Project]\r\nProjectFile=/q.prj\r\n");
    EXPECT_EQ(mine.readInteger("System", "Tab", 0), 9);
    mine.writeInteger("System", "ActiveIndex", 0);
    EXPECT_EQ(IniFile(path).readString("Project", "ProjectFile", ""), "/q.prj");

    // Gone again: defaults, and the next write starts a new file.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(mine.readInteger("System", "Tab", 0), 0);
    mine.writeInteger("System", "Tab", 2);
    EXPECT_EQ(dir.read(path), QByteArray("[System]\r\nTab=2\r\n"));
}

namespace {

void expectRefused(IniFile& ini, const QString& path)
{
    try {
        ini.writeString("System", "Tab", "8");
        ADD_FAILURE() << "write was not refused: " << path.toStdString();
    } catch (const NollexError& e) {
        EXPECT_EQ(e.text(), path + QStringLiteral(" に書き込めません"));
    }
}

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

}  // namespace

// Guards a refused write: the exact error with the path, and no half file left.
TEST(IniFile, RefusedWriteRaisesTheErrorWithThePath)
{
    TempDir dir;
    dir.write("plain", "x");
    const QString underFile = dir.file("plain/Nollex.ini");  // parent is a file
    IniFile a(underFile);
    expectRefused(a, underFile);

    // A folder in the file's place is never replaced.
    QDir(dir.path()).mkdir("folder.ini");
    IniFile b(dir.file("folder.ini"));
    expectRefused(b, dir.file("folder.ini"));
    EXPECT_TRUE(QFileInfo(dir.file("folder.ini")).isDir());
}

// Guards a read-only file: kept as it is, also for root, whom permissions do not
// stop; and a read-only folder, for everyone else.
TEST(IniFile, RefusedWriteToReadOnlyFileKeepsIt)
{
    TempDir dir;
    const QByteArray before = "[System]\r\nTab=4\r\n";
    const QString path = dir.write("Nollex.ini", before);
    IniFile ini(path);
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup);
    expectRefused(ini, path);
    EXPECT_EQ(dir.read(path), before);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"Nollex.ini"});
}

TEST(IniFile, RefusedWriteInReadOnlyFolderKeepsTheFile)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "a read-only folder does not stop root";
    TempDir dir;
    const QByteArray before = "[System]\r\nTab=4\r\n";
    const QString path = dir.write("Nollex.ini", before);
    IniFile ini(path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner);
    expectRefused(ini, path);
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(dir.read(path), before);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"Nollex.ini"});
}

// Guards "the disk fills up in the middle of a write": the old file stays whole,
// every key in it, and nothing is left beside it. A file-size limit makes the
// write fail the same way for every user, root included.
TEST(IniFile, WriteThatRunsOutOfSpaceKeepsTheOldFile)
{
    TempDir dir;
    QByteArray before = "[System]\r\n";
    for (int i = 0; i < 100; ++i)
        before += "FileName" + QByteArray::number(i) + "=/home/user/src/file" +
                  QByteArray::number(i) + ".c\r\n";
    const QString path = dir.write("Nollex.ini", before);
    IniFile ini(path);
    EXPECT_EQ(ini.readString("System", "FileName99", ""), "/home/user/src/file99.c");

    bool threw = false;
    {
        const test::FileSizeLimit limit(1024);
        ASSERT_TRUE(limit.active());
        try {
            ini.writeString("System", "FileName0", "/elsewhere/a.c");
        } catch (const NollexError& e) {
            threw = true;
            EXPECT_EQ(e.text(), path + QStringLiteral(" に書き込めません"));
        }
    }

    EXPECT_TRUE(threw);
    EXPECT_EQ(dir.read(path), before);
    EXPECT_EQ(entriesOf(dir.path()), QStringList{"Nollex.ini"});
    EXPECT_EQ(ini.readString("System", "FileName0", ""), "/home/user/src/file0.c");
}

// Guards reading: it never changes the file, not even its time stamp.
TEST(IniFile, ReadingNeverTouchesTheFile)
{
    TempDir dir;
    const QByteArray bytes = "[System]\r\nTab=0x10\r\n";
    const QString path = dir.write("a.ini", bytes);
    const QDateTime stamp = QFileInfo(path).lastModified();
    {
        IniFile ini(path);
        EXPECT_EQ(ini.readInteger("System", "Tab", 4), 16);
        EXPECT_EQ(ini.readString("Nope", "Nope", "d"), "d");
        ini.release();
    }
    EXPECT_EQ(dir.read(path), bytes);
    EXPECT_EQ(QFileInfo(path).lastModified(), stamp);
}
