#include "MessageText.h"

#include <QStringDecoder>

namespace nollex {

namespace {

bool decodesCleanly(QStringDecoder&& decoder, const QByteArray& bytes, QString* text)
{
    if (!decoder.isValid())
        return false;
    *text = decoder.decode(bytes);
    return !decoder.hasError();
}

}  // namespace

QString decodeMessageText(const QByteArray& bytes)
{
    QString text;
    if (!decodesCleanly(QStringDecoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless), bytes,
                        &text) &&
        !decodesCleanly(QStringDecoder(QStringDecoder::System, QStringDecoder::Flag::Stateless), bytes,
                        &text) &&
        !decodesCleanly(QStringDecoder("Shift_JIS", QStringDecoder::Flag::Stateless), bytes, &text)) {
        text = QString::fromUtf8(bytes);
    }
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}

}  // namespace nollex
