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
        EXPECT_EQ(*saved, QByteArray(bytes).replace("\r\n", "\n"));
    }
    // With a byte order mark it is neither encoding, and refused.
    DecodeProblem problem = DecodeProblem::None;
    EXPECT_FALSE(decodeText("\xEF\xBB\xBF" "x\xC3", &problem).has_value());
    EXPECT_EQ(problem, DecodeProblem::NotText);
    // Complete sequences stay UTF-8.
    EXPECT_EQ(decodeText("\xE3\x81\x82")->format.encoding, TextEncoding::Utf8);
}
