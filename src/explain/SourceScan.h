#pragma once
// What the explanations read from the learner's own text: the line where an
// unclosed '{' most likely opened, and the column a character is shown at.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace nollex {

// The line (from 1) of the '{' that most likely lacks its '}', 0 when every '{'
// is closed. Strings, character constants, comments and preprocessor lines are
// skipped. Of the braces left open, the likely one is the first whose '}' was
// taken by a '}' indented less than the line that opened it (that '}' belonged to
// an outer block); without such a clue, the innermost one left open.
int likelyUnclosedBraceLine(QStringView text);

// The column the status bar's 桁 shows for the character at `index`: from 1, a
// tab counts one, a full-width character two.
int caretColumnAt(QStringView line, qsizetype index);

// The arguments of the call whose parentheses hold the character at `index` of a
// line, each trimmed, split at the commas outside parentheses, brackets, braces,
// strings and character constants. Empty when no call on the line holds it.
QStringList callArguments(QStringView line, qsizetype index);

// The line (from 1) where the text defines the function `name` at the top level
// ("int twice(int n)" with its body next), 0 when it does not.
int definitionLine(QStringView text, const QString& name);

// gcc's source excerpt shows some characters as "<U+3000>": the line as written.
QString unescapeExcerpt(QStringView excerpt);

}  // namespace nollex
