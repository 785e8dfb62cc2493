#include "lsp/Answers.h"

#include <QJsonArray>
#include <QJsonObject>

namespace nollex::lsp {

namespace {

CompletionItem completionItem(const QJsonObject& o)
{
    CompletionItem item;
    // clangd puts a blank or a bullet before the label for the include it would add.
    item.label = o.value(u"label").toString().trimmed();
    if (item.label.startsWith(u'\u2022'))
        item.label = item.label.mid(1).trimmed();
    item.detail = o.value(u"detail").toString();
    item.kind = o.value(u"kind").toInt();
    const QJsonObject edit = o.value(u"textEdit").toObject();
    item.insertText = edit.value(u"newText").toString();
    if (item.insertText.isEmpty())
        item.insertText = o.value(u"insertText").toString();
    if (item.insertText.isEmpty())
        item.insertText = item.label;
    const QJsonObject start = edit.value(u"range").toObject().value(u"start").toObject();
    if (!start.isEmpty())
        item.replaceFrom = Position{start.value(u"line").toInt(), start.value(u"character").toInt()};
    item.caretOffset = int(item.insertText.size());
    if (item.isFunction() && !item.insertText.contains(u'(')) {
        // No parameters when the label shows "()" ("f()", "f(void)" in C++): the caret goes after them.
        const bool empty = item.label.contains(u"()") || item.label.contains(u"(void)");
        item.insertText += QStringLiteral("()");
        item.caretOffset = int(item.insertText.size()) - (empty ? 0 : 1);
    }
    return item;
}

}  // namespace

QList<CompletionItem> parseCompletion(const QJsonValue& result)
{
    const QJsonArray items = result.isArray() ? result.toArray() : result.toObject().value(u"items").toArray();
    QList<CompletionItem> out;
    for (const auto& v : items)
        if (v.isObject() && v.toObject().value(u"label").isString())
            out << completionItem(v.toObject());
    return out;
}

SignatureHelp parseSignatureHelp(const QJsonValue& result)
{
    const QJsonObject o = result.toObject();
    SignatureHelp help;
    const int activeParameter = o.value(u"activeParameter").toInt();
    const QJsonArray signatures = o.value(u"signatures").toArray();
    for (const auto& v : signatures) {
        const QJsonObject s = v.toObject();
        Signature sig;
        sig.label = s.value(u"label").toString();
        const QJsonArray params = s.value(u"parameters").toArray();
        const int current = s.value(u"activeParameter").toInt(activeParameter);
        const QJsonValue label = params.at(current).toObject().value(u"label");
        if (label.isArray()) {
            sig.activeStart = label.toArray().at(0).toInt(-1);
            sig.activeEnd = label.toArray().at(1).toInt(-1);
        } else if (label.isString() && !label.toString().isEmpty()) {
            sig.activeStart = int(sig.label.indexOf(label.toString()));
            sig.activeEnd = sig.activeStart < 0 ? -1 : sig.activeStart + int(label.toString().size());
        }
        if (sig.activeStart < 0 || sig.activeEnd < sig.activeStart || sig.activeEnd > sig.label.size())
            sig.activeStart = sig.activeEnd = -1;
        help.signatures << sig;
    }
    help.active = qBound(0, o.value(u"activeSignature").toInt(), int(qMax<qsizetype>(help.signatures.size(), 1)) - 1);
    return help;
}

}  // namespace nollex::lsp
