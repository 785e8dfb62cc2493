#pragma once
// When the page asks clangd without being told to: a completion list while a name
// is typed, and a function's parameters while its arguments are.

#include <QChar>
#include <QStringView>

namespace nollex::lsp {

// The line up to the caret: after two characters of a name, after ".", "->" and
// "::", and inside "#include <" or "#include \"".
bool AsksCompletion(QStringView lineBeforeCaret);

// The character just typed: "(" opens a call's arguments, "," moves to the next one.
inline bool AsksParameters(QChar typed) { return typed == u'(' || typed == u','; }

}  // namespace nollex::lsp
