// The wire reader over bytes cut anywhere: whole messages out, and framing errors
// stop it where a bad body is only skipped.
#include "lsp/JsonRpc.h"

#include <QJsonDocument>

#include <gtest/gtest.h>

using nollex::lsp::frameMessage;
using nollex::lsp::JsonRpcReader;

namespace {

QByteArray msg(const QByteArray& body)
{
    return "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

struct Row {
    const char* name;
    QByteArray bytes;
    QList<qsizetype> cuts;  // the reads end at these offsets; the rest comes last
    QList<QByteArray> expected;  // the messages' compact JSON
    bool broken;
    int dropped;
};

// Every message the reader gives, as compact JSON, after each read.
QList<QByteArray> readAll(JsonRpcReader& reader, const QByteArray& bytes, const QList<qsizetype>& cuts)
{
    QList<QByteArray> out;
    qsizetype from = 0;
    QList<qsizetype> ends = cuts;
    ends << bytes.size();
    for (const qsizetype end : ends) {
        reader.feed(QByteArrayView(bytes).sliced(from, end - from));
        from = end;
        while (const auto m = reader.next())
            out << QJsonDocument(*m).toJson(QJsonDocument::Compact);
    }
    return out;
}

TEST(JsonRpcReader, Table)
{
    const QByteArray a = R"({"id":1,"result":null})";
    const QByteArray b = R"({"method":"x","params":{"t":"表"}})";
    const QByteArray two = msg(a) + msg(b);
    const Row rows[] = {
        {"whole", msg(a), {}, {a}, false, 0},
        {"one byte at a time", msg(b), [] { QList<qsizetype> c; for (int i = 1; i < 60; ++i) c << i; return c; }(),
         {b}, false, 0},
        {"cut inside the header's end", two, {msg(a).size() - 2, msg(a).size() + 19}, {a, b}, false, 0},
        {"cut inside a UTF-8 character", msg(b), {msg(b).size() - 5}, {b}, false, 0},
        {"two in one read", two, {}, {a, b}, false, 0},
        {"cut off: waits for the rest", two.first(two.size() - 3), {}, {a}, false, 0},
        {"Content-Type and case", "content-length: 22\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n" + a,
         {}, {a}, false, 0},
        {"blanks around the length", "Content-Length:   22  \r\n\r\n" + a, {}, {a}, false, 0},
        {"not JSON: skipped", msg("{not json") + msg(a), {}, {a}, false, 1},
        {"JSON but no object: skipped", msg("[1,2]") + msg("") + msg(a), {}, {a}, false, 2},
        {"no Content-Length", "Content-Type: x\r\n\r\n" + a, {}, {}, true, 0},
        {"length not a number", "Content-Length: 2x\r\n\r\n" + a, {}, {}, true, 0},
        {"negative length", "Content-Length: -1\r\n\r\n" + a, {}, {}, true, 0},
        {"huge length", "Content-Length: 67108865\r\n\r\n" + a, {}, {}, true, 0},
        {"absurd length", "Content-Length: 99999999999999999999\r\n\r\n", {}, {}, true, 0},
        {"two different lengths", "Content-Length: 22\r\nContent-Length: 23\r\n\r\n" + a, {}, {}, true, 0},
        {"header line without colon", "garbage\r\n\r\n" + a, {}, {}, true, 0},
        {"endless header", QByteArray(9000, 'x'), {}, {}, true, 0},
        {"good, then garbage: the good one stays", msg(a) + "hello\r\n\r\n" + msg(b), {}, {a}, true, 0},
    };
    for (const Row& row : rows) {
        JsonRpcReader reader;
        EXPECT_EQ(readAll(reader, row.bytes, row.cuts), row.expected) << row.name;
        EXPECT_EQ(reader.broken(), row.broken) << row.name;
        EXPECT_EQ(reader.droppedBodies(), row.dropped) << row.name;
        if (row.broken) {
            EXPECT_FALSE(reader.error().isEmpty()) << row.name;
            reader.feed(msg(a));  // broken stays broken: the stream cannot be trusted again
            EXPECT_FALSE(reader.next()) << row.name;
        }
    }
}

TEST(JsonRpcReader, LongestBodyIsRead)
{
    QByteArray big = "{\"s\":\"" + QByteArray(JsonRpcReader::kMaxBody - 8, 'a') + "\"}";
    JsonRpcReader reader;
    reader.feed(msg(big));
    const auto m = reader.next();
    ASSERT_TRUE(m);
    EXPECT_EQ(m->value(u"s").toString().size(), JsonRpcReader::kMaxBody - 8);
}

TEST(JsonRpcReader, FramedMessageReadsBack)
{
    const QJsonObject m{{QStringLiteral("text"), QStringLiteral("表示\r\n\"x\"")}};
    JsonRpcReader reader;
    reader.feed(frameMessage(m) + frameMessage(m));
    EXPECT_EQ(reader.next(), m);
    EXPECT_EQ(reader.next(), m);
    EXPECT_FALSE(reader.next());
}

}  // namespace
