// The source-file decoder and its encoding detection over arbitrary bytes. What it
// accepts must be savable again without edits, must read back as the same text in
// the same encoding, and a UTF-8 file must keep its bytes apart from line breaks.

#include "FuzzSupport.h"

#include "editor/TextFile.h"

#include <QByteArrayView>

using namespace nollex;

namespace {

// The bytes a file is saved with after an unedited load: every line break (CR LF,
// a lone CR, and in UTF-8 U+2029) is one LF.
QByteArray normalisedLineBreaks(QByteArray bytes, bool utf8)
{
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    if (utf8)
        bytes.replace("\xE2\x80\xA9", "\n");
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    DecodeProblem problem = DecodeProblem::None;
    const std::optional<DecodedText> decoded = decodeText(bytes, &problem);
    if (bytes.contains('\0'))
        FUZZ_CHECK(!decoded && problem == DecodeProblem::NulByte);
    if (!decoded) {
        FUZZ_CHECK(problem != DecodeProblem::None);
        return 0;
    }
    FUZZ_CHECK(problem == DecodeProblem::None);
    const QString& text = decoded->text;
    FUZZ_CHECK(!text.contains(u'\r') && !text.contains(QChar(QChar::ParagraphSeparator)));
    FUZZ_CHECK(!text.contains(QChar(0xFDD0)) && !text.contains(QChar(0xFDD1)));

    const bool bom = bytes.startsWith("\xEF\xBB\xBF");
    const bool utf8 = QByteArrayView(bytes).sliced(bom ? 3 : 0).isValidUtf8();
    FUZZ_CHECK((decoded->format.encoding == TextEncoding::Utf8) == utf8);
    FUZZ_CHECK(decoded->format.bom == (utf8 && bom));

    // Saved without edits: it must be written, and read back the same.
    qsizetype bad = -1;
    const std::optional<QByteArray> saved = encodeText(text, decoded->format, &bad);
    FUZZ_CHECK(saved.has_value());
    // A UTF-8 file keeps its bytes; in Shift-JIS a character with two codes may come
    // back as the other one, but no byte is lost or added.
    if (utf8)
        FUZZ_CHECK(*saved == normalisedLineBreaks(bytes, true));
    else
        FUZZ_CHECK(saved->size() == normalisedLineBreaks(bytes, false).size());
    const std::optional<DecodedText> again = decodeText(*saved);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->format == decoded->format);
    FUZZ_CHECK(again->text == text);
    return 0;
}
