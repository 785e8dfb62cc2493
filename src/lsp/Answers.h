#pragma once
// What the window needs out of clangd's answers, as plain values.

#include "lsp/Positions.h"

#include <QJsonValue>
#include <QList>
#include <QString>
#include <optional>

namespace nollex::lsp {

struct CompletionItem {
    QString label;       // as listed: "printf(const char *restrict format, ...)"
    QString detail;      // the type or return type, when given
    QString insertText;  // what is written; a function's has its parentheses
    int caretOffset = 0; // where the caret goes in insertText: inside "(" when there are parameters
    int kind = 0;        // the protocol's CompletionItemKind
    std::optional<Position> replaceFrom;  // the start of the typed part it replaces, when told
    bool isFunction() const { return kind == 2 || kind == 3 || kind == 4; }
};

struct Signature {
    QString label;         // "int printf(const char *restrict format, ...)"
    int activeStart = -1;  // the current parameter in label (UTF-16 offsets), -1: none
    int activeEnd = -1;
};

struct SignatureHelp {
    QList<Signature> signatures;
    int active = 0;  // the signature to show
};

// A completion result: a list of items or {isIncomplete, items}; anything else is empty.
QList<CompletionItem> parseCompletion(const QJsonValue& result);

// A signatureHelp result; null or malformed gives no signatures.
SignatureHelp parseSignatureHelp(const QJsonValue& result);

}  // namespace nollex::lsp
