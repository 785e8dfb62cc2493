#include "lsp/JsonRpc.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace nollex::lsp {

namespace {

// The digits of a Content-Length, or -1; more than kMaxBody is -2.
qsizetype parseLength(QByteArrayView value)
{
    value = value.trimmed();
    if (value.isEmpty() || value.size() > 12)
        return -1;
    qsizetype n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9')
            return -1;
        n = n * 10 + (c - '0');
    }
    return n > JsonRpcReader::kMaxBody ? -2 : n;
}

}  // namespace

void JsonRpcReader::feed(QByteArrayView bytes)
{
    if (!broken())
        buffer_.append(bytes);
}

void JsonRpcReader::breakWith(const QString& why)
{
    error_ = why;
    buffer_.clear();
    bodyLength_ = -1;
}

// Reads the header when all of it is there; false when it is not yet, or is bad.
bool JsonRpcReader::readHeader()
{
    const qsizetype end = buffer_.indexOf("\r\n\r\n");
    if (end < 0) {
        if (buffer_.size() > kMaxHeader)
            breakWith(QStringLiteral("header too long"));
        return false;
    }
    if (end > kMaxHeader) {
        breakWith(QStringLiteral("header too long"));
        return false;
    }
    qsizetype length = -1;
    for (QByteArray line : buffer_.first(end).split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0) {
            breakWith(QStringLiteral("bad header line"));
            return false;
        }
        if (line.first(colon).trimmed().compare("Content-Length", Qt::CaseInsensitive) != 0)
            continue;  // Content-Type and anything else: the body is always UTF-8 JSON
        const qsizetype n = parseLength(QByteArrayView(line).sliced(colon + 1));
        if (n < 0 || (length >= 0 && n != length)) {
            breakWith(n == -2 ? QStringLiteral("message too long") : QStringLiteral("bad Content-Length"));
            return false;
        }
        length = n;
    }
    if (length < 0) {
        breakWith(QStringLiteral("no Content-Length"));
        return false;
    }
    buffer_.remove(0, end + 4);
    bodyLength_ = length;
    return true;
}

std::optional<QJsonObject> JsonRpcReader::next()
{
    while (!broken()) {
        if (bodyLength_ < 0 && !readHeader())
            return std::nullopt;
        if (buffer_.size() < bodyLength_)
            return std::nullopt;
        QJsonParseError status{};
        const QJsonDocument doc = QJsonDocument::fromJson(buffer_.first(bodyLength_), &status);
        buffer_.remove(0, bodyLength_);
        bodyLength_ = -1;
        if (status.error == QJsonParseError::NoError && doc.isObject())
            return doc.object();
        ++dropped_;
    }
    return std::nullopt;
}

QByteArray frameMessage(const QJsonObject& message)
{
    const QByteArray body = QJsonDocument(message).toJson(QJsonDocument::Compact);
    return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

}  // namespace nollex::lsp
