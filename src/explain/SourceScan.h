#pragma once
// What the explanations read from the learner's own text: the line where an
// unclosed '{' most likely opened, and the column a character is shown at.

#include <QString>
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

// gcc's source excerpt shows some characters as "<U+3000>": the line as written.
QString unescapeExcerpt(QStringView excerpt);

}  // namespace nollex
