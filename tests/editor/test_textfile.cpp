#include "editor/PathParts.h"
#include "editor/TextFile.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace nollex;

namespace {
const QByteArray kSjisJapanese = QByteArray::fromHex("93fa967b8cea");  // 日本語
const QByteArray kSjisHyou = QByteArray::fromHex("955c");              // 表: second byte 0x5C
}  // namespace

// Encoding detection and line breaks: what a file turns into on load.
TEST(TextFile, DecodeDetectsEncodingAndNormalisesLineBreaks)
{
    struct Row {
        const char* name;
        QByteArray bytes;
        QString text;
        TextFormat format;
    } rows[] = {
        {"empty", "", "", {TextEncoding::Utf8, false}},
        {"crlf, lone cr, lf", "a\r\nb\rc\nd\r", "a\nb\nc\nd\n", {TextEncoding::Utf8, false, LineEnd::CrLf}},
        {"lone cr first", "a\rb\r\nc", "a\nb\nc", {TextEncoding::Utf8, false, LineEnd::Cr}},
        {"lf first", "a\nb\r\n", "a\nb\n", {TextEncoding::Utf8, false, LineEnd::Lf}},
        {"utf8 bom", "\xEF\xBB\xBFx", "x", {TextEncoding::Utf8, true}},
        {"second bom is text", "\xEF\xBB\xBF\xEF\xBB\xBFx", QString(QChar(0xFEFF)) + u'x',
         {TextEncoding::Utf8, true}},
        {"sjis", kSjisJapanese + "\r\n", QString::fromUtf8("日本語\n"),
         {TextEncoding::ShiftJis, false, LineEnd::CrLf}},
        {"sjis-0x5c", "\"" + kSjisHyou + "\\n\"", QString::fromUtf8("\"表\\n\""),
         {TextEncoding::ShiftJis, false}},
        {"separators and U+FDD0, U+FDD1 are characters",
         "a\xE2\x80\xA8" "b\xE2\x80\xA9" "c\xEF\xB7\x90\xEF\xB7\x91",
         QString::fromUtf8("a\u2028b\u2029c\uFDD0\uFDD1"), {TextEncoding::Utf8, false}},
        {"noncharacter and four bytes", "\xEF\xBF\xBE\xF0\x9D\x84\x9E\n",
         QString(QChar(0xFFFE)) + QString::fromUtf8("\U0001D11E\n"), {TextEncoding::Utf8, false}},
        {"bom, then lf only", "\xEF\xBB\xBF" "a\nb\n", "a\nb\n", {TextEncoding::Utf8, true}},
    };
    // A file read from disk gives the same text, whether or not its bytes are
    // taken as they stand.
    test::TempDir dir;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const auto decoded = decodeText(r.bytes);
        ASSERT_TRUE(decoded);
        EXPECT_EQ(decoded->text, r.text);
        EXPECT_EQ(decoded->format, r.format);
        dir.write(QStringLiteral("page.txt"), r.bytes);
        const DecodedText read = readTextFile(dir.file(QStringLiteral("page.txt")));
        EXPECT_EQ(read.pageText(), r.text);
        EXPECT_EQ(read.format, r.format);
    }
    // Bytes that are no UTF-8 (a surrogate, past U+10FFFF) and a CR are never
    // taken as they stand.
    for (const QByteArray& bytes : {QByteArray("\xED\xA0\x80"), QByteArray("\xF4\x90\x80\x80"),
                                    QByteArray("a\r\nb")}) {
        dir.write(QStringLiteral("page.txt"), bytes);
        const auto decoded = decodeText(bytes);
        try {
            const DecodedText read = readTextFile(dir.file(QStringLiteral("page.txt")));
            ASSERT_TRUE(decoded) << bytes.toHex().toStdString();
            EXPECT_TRUE(read.utf8.isNull());
            EXPECT_EQ(read.pageText(), decoded->text);
        } catch (const NollexError&) {
            EXPECT_FALSE(decoded) << bytes.toHex().toStdString();
        }
    }
    DecodeProblem problem = DecodeProblem::None;
    EXPECT_FALSE(decodeText(QByteArray("ab\0cd", 5), &problem));
    EXPECT_EQ(problem, DecodeProblem::NulByte);
    EXPECT_FALSE(decodeText(QByteArray::fromHex("41ff80a0"), &problem));
    EXPECT_EQ(problem, DecodeProblem::NotText);
}

// A character the page's encoding lacks is refused, never dropped or replaced
// by a look-alike (the yen sign would come back as a backslash).
TEST(TextFile, EncodeRefusesCharactersTheEncodingLacks)
{
    const TextFormat sjis{TextEncoding::ShiftJis, false};
    qsizetype bad = -1;
    EXPECT_FALSE(encodeText(QString::fromUtf8("日本\n語😀"), sjis, &bad));
    EXPECT_EQ(bad, 4);
    EXPECT_FALSE(encodeText(QString::fromUtf8("a¥"), sjis, &bad));
    EXPECT_EQ(bad, 1);
    EXPECT_EQ(encodeText(QString::fromUtf8("日本語"), sjis), kSjisJapanese);

    EXPECT_EQ(encodeText(QStringLiteral("x"), {TextEncoding::Utf8, true}), QByteArray("\xEF\xBB\xBFx"));
    EXPECT_FALSE(encodeText(QString(QChar(0xD800)), {TextEncoding::Utf8, false}, &bad));
}

// The replacement keeps the file's permissions and goes through a symbolic link.
TEST(TextFile, AtomicWriteKeepsPermissionsAndLinks)
{
    test::TempDir dir;
    const QString target = dir.write("t.c", "old");
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ASSERT_TRUE(QFile::link("t.c", dir.file("link.c")));
    writeFileAtomically(dir.file("link.c"), "new");
    EXPECT_EQ(QFileInfo(dir.file("link.c")).symLinkTarget(), target);
    EXPECT_EQ(dir.read("t.c"), QByteArray("new"));
    EXPECT_EQ(QFile::permissions(target) & 0x7077,  // owner, group, others
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    EXPECT_THROW(writeFileAtomically(dir.file("no/such/folder.c"), "x"), NollexError);
}

TEST(PathParts, NamePartAndCaseSensitiveExtension)
{
    EXPECT_EQ(fileNamePart("/home/u/a.b/main.cpp"), "main.cpp");
    EXPECT_EQ(fileNamePart("main.c"), "main.c");
    EXPECT_EQ(fileNamePart("/home/u/"), "");
    EXPECT_EQ(extensionPart("/home/u/x.tar.prj"), ".prj");
    EXPECT_EQ(extensionPart("/home/u/X.PRJ"), ".PRJ");
    EXPECT_EQ(extensionPart("/home/u.d/Makefile"), "");
    EXPECT_EQ(extensionPart(""), "");
}
