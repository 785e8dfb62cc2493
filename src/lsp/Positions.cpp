#include "lsp/Positions.h"

namespace nollex::lsp {

namespace {

// The UTF-8 bytes of the character (or pair) that starts at i.
int utf8Bytes(QStringView text, qsizetype i, int* units)
{
    const char16_t c = text[i].unicode();
    *units = 1;
    if (QChar::isHighSurrogate(c) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
        *units = 2;
        return 4;
    }
    if (c < 0x80)
        return 1;
    return c < 0x800 ? 2 : 3;  // a lone surrogate is written as U+FFFD, three bytes
}

}  // namespace

int indexInLine(QStringView lineText, int character)
{
    const qsizetype i = qBound(qsizetype(0), qsizetype(character), lineText.size());
    if (i > 0 && i < lineText.size() && lineText[i].isLowSurrogate() && lineText[i - 1].isHighSurrogate())
        return int(i - 1);
    return int(i);
}

int indexFromUtf8Column(QStringView lineText, int byteColumn)
{
    qsizetype i = 0;
    int bytes = 0;
    while (i < lineText.size() && bytes < byteColumn) {
        int units = 0;
        const int n = utf8Bytes(lineText, i, &units);
        if (bytes + n > byteColumn)
            break;
        bytes += n;
        i += units;
    }
    return int(i);
}

int utf8ColumnFromIndex(QStringView lineText, int index)
{
    const qsizetype end = indexInLine(lineText, index);
    qsizetype i = 0;
    int bytes = 0;
    while (i < end) {
        int units = 0;
        bytes += utf8Bytes(lineText, i, &units);
        i += units;
    }
    return bytes;
}

}  // namespace nollex::lsp
