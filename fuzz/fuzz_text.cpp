// The source-file decoder and its encoding detection over arbitrary bytes. What it
// accepts must be savable again without edits, must read back as the same text in
// the same format, and a UTF-8 file must keep its bytes apart from line breaks.

#include "FuzzSupport.h"

#include "editor/TextFile.h"

#include <QByteArrayView>

using namespace nollex;

namespace {

// The bytes a file is saved with after an unedited load: every line break (CR LF,
// a lone CR, LF) is one of the kind of the first.
QByteArray normalisedLineBreaks(QByteArray bytes)
{
    QByteArray kind("\n");
    for (qsizetype i = 0; i < bytes.size() && bytes[i] != '\n'; ++i) {
        if (bytes[i] == '\r') {
            kind = bytes.mid(i, 2) == "\r\n" ? QByteArray("\r\n") : QByteArray("\r");
            break;
        }
    }
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    return bytes.replace("\n", kind);
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
    FUZZ_CHECK(!text.contains(u'\r'));

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
        FUZZ_CHECK(*saved == normalisedLineBreaks(bytes));
    else
        FUZZ_CHECK(saved->size() == normalisedLineBreaks(bytes).size());
    const std::optional<DecodedText> again = decodeText(*saved);
    FUZZ_CHECK(again.has_value());
    FUZZ_CHECK(again->format == decoded->format);
    FUZZ_CHECK(again->text == text);
    return 0;
}
