// clangd's wire reader over any bytes, read whole and in pieces cut where the input
// says, and the answers' parsers over every message it gives. Nothing may crash or
// hang; the pieces give the same messages as the whole; a broken reader gives no
// more; a message framed again reads back as itself; and what the parsers give
// stays inside the texts it points into.

#include "FuzzSupport.h"

#include "lsp/Answers.h"
#include "lsp/JsonRpc.h"
#include "lsp/Positions.h"

#include <QJsonArray>

using namespace nollex::lsp;

namespace {

struct Read {
    QList<QJsonObject> messages;
    bool broken = false;
    int dropped = 0;
};

Read readInPieces(QByteArrayView bytes, std::size_t step)
{
    JsonRpcReader reader;
    Read out;
    for (qsizetype from = 0; from < bytes.size(); from += qsizetype(step)) {
        reader.feed(bytes.sliced(from, qMin(qsizetype(step), bytes.size() - from)));
        while (const auto m = reader.next()) {
            FUZZ_CHECK(!reader.broken());
            out.messages << *m;
        }
    }
    reader.feed(frameMessage({}));
    FUZZ_CHECK(!reader.broken() || !reader.next());
    out.broken = reader.broken();
    out.dropped = reader.droppedBodies();
    return out;
}

void checkAnswers(const QJsonObject& message)
{
    for (const QJsonValue& result : {message.value(u"result"), QJsonValue(message)}) {
        for (const CompletionItem& item : parseCompletion(result)) {
            FUZZ_CHECK(item.caretOffset >= 0 && item.caretOffset <= item.insertText.size());
            FUZZ_CHECK(!item.isFunction() || item.insertText.contains(u'('));
        }
        const SignatureHelp help = parseSignatureHelp(result);
        FUZZ_CHECK(help.signatures.isEmpty() || (help.active >= 0 && help.active < help.signatures.size()));
        for (const Signature& s : help.signatures)
            FUZZ_CHECK((s.activeStart == -1 && s.activeEnd == -1) ||
                       (s.activeStart >= 0 && s.activeStart <= s.activeEnd && s.activeEnd <= s.label.size()));
    }
}

void checkColumns(const QString& line)
{
    for (int i = 0; i <= int(line.size()) + 1; ++i) {
        const int index = indexInLine(line, i);
        FUZZ_CHECK(index >= 0 && index <= line.size());
        FUZZ_CHECK(indexFromUtf8Column(line, utf8ColumnFromIndex(line, i)) == index);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const Read whole = readInPieces(bytes, size + 1);
    const std::size_t step = size == 0 ? 1 : std::size_t(data[0] % 17) + 1;
    const Read pieces = readInPieces(bytes, step);
    FUZZ_CHECK(pieces.messages == whole.messages);
    FUZZ_CHECK(pieces.broken == whole.broken && pieces.dropped == whole.dropped);
    for (const QJsonObject& m : whole.messages) {
        JsonRpcReader again;
        again.feed(frameMessage(m));
        FUZZ_CHECK(again.next() == m);
        checkAnswers(m);
    }
    const QString text = QString::fromUtf8(bytes.first(qMin(bytes.size(), qsizetype(512))));
    checkColumns(text.left(64));
    return 0;
}
