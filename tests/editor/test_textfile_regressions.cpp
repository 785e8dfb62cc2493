// Inputs the fuzz run found, kept as plain cases.

#include "editor/TextFile.h"

#include <gtest/gtest.h>

using namespace nollex;

// A file whose last bytes begin a UTF-8 sequence and stop was taken as UTF-8 with
// those bytes silently dropped (and a save then cut them off the file). It is
// not valid UTF-8, so it is Shift-JIS, every byte kept.
TEST(TextFileRegressions, SequenceCutOffAtTheEndIsNotUtf8)
{
    for (const QByteArray& bytes : {QByteArray("\r\n\xD0"), QByteArray("int a; // \xE3\x81"),
                                   QByteArray("x\xC3")}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const std::optional<DecodedText> d = decodeText(bytes);
        ASSERT_TRUE(d.has_value());
        EXPECT_EQ(d->format.encoding, TextEncoding::ShiftJis);
        const std::optional<QByteArray> saved = encodeText(d->text, d->format);
        ASSERT_TRUE(saved.has_value());
        EXPECT_EQ(*saved, bytes);
    }
    // With a byte order mark it is neither encoding, and refused.
    DecodeProblem problem = DecodeProblem::None;
    EXPECT_FALSE(decodeText("\xEF\xBB\xBF" "x\xC3", &problem).has_value());
    EXPECT_EQ(problem, DecodeProblem::NotText);
    // Complete sequences stay UTF-8.
    EXPECT_EQ(decodeText("\xE3\x81\x82")->format.encoding, TextEncoding::Utf8);
}

// Found by the fuzz run: a Shift-JIS file with a half-width katakana before an
// IBM-extension Roman numeral was saved, unedited, with the numeral's usual code,
// and those bytes are valid UTF-8: reopened, the page showed other text. The
// save keeps one such character in its IBM form, so the file stays Shift-JIS.
TEST(TextFileRegressions, UneditedShiftJisNeverReadsBackAsUtf8)
{
    // The last: "≒" in its NEC code, whose usual code makes the line UTF-8.
    for (const QByteArray& bytes : {QByteArray("fffffffffg\xDD\xFA\x4F"), QByteArray("\xC2\xFA\x4A\xFA\x4B"),
                                    QByteArray("x\xDF\xFA\x54"), QByteArray("\xC2\x87\x90\xA1\x81\x40")}) {
        SCOPED_TRACE(bytes.toHex().toStdString());
        const std::optional<DecodedText> d = decodeText(bytes);
        ASSERT_TRUE(d.has_value());
        ASSERT_EQ(d->format.encoding, TextEncoding::ShiftJis);
        const std::optional<QByteArray> saved = encodeText(d->text, d->format);
        ASSERT_TRUE(saved.has_value());
        const std::optional<DecodedText> again = decodeText(*saved);
        ASSERT_TRUE(again.has_value());
        EXPECT_EQ(again->format.encoding, TextEncoding::ShiftJis);
        EXPECT_EQ(again->text, d->text);
    }
    // Characters Shift-JIS holds once keep their only code.
    const QString kanji = QString::fromUtf8("\xE6\x97\xA5\xE6\x9C\xAC");  // 日本
    EXPECT_EQ(encodeText(kanji, {TextEncoding::ShiftJis, false}), QByteArray("\x93\xFA\x96\x7B"));
}
