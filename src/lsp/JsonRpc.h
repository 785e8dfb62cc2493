#pragma once
// The language server's wire: messages framed by a Content-Length header, bodies
// of JSON. The reader takes the bytes as they come, in pieces of any size.
//
// Errors: a framing error (a header line without ':', no Content-Length, a length
// that is not a number or is over kMaxBody, a header over kMaxHeader) leaves no way
// to find the next message, so the reader turns Broken for good and the client
// restarts the server. A well-framed body that is not a JSON object is dropped and
// counted; the messages after it are read as usual.

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonObject>
#include <QString>
#include <optional>

namespace nollex::lsp {

class JsonRpcReader {
public:
    static constexpr qsizetype kMaxBody = qsizetype(64) * 1024 * 1024;
    static constexpr qsizetype kMaxHeader = 8192;

    void feed(QByteArrayView bytes);
    // The next whole message, if one has come.
    std::optional<QJsonObject> next();

    bool broken() const { return !error_.isEmpty(); }
    const QString& error() const { return error_; }
    int droppedBodies() const { return dropped_; }

private:
    bool readHeader();
    void breakWith(const QString& why);

    QByteArray buffer_;
    qsizetype bodyLength_ = -1;  // the header is read: the body's length
    QString error_;
    int dropped_ = 0;
};

// A message with its header, as the server reads it.
QByteArray frameMessage(const QJsonObject& message);

}  // namespace nollex::lsp
