#pragma once
#include <QString>

class QPlainTextEdit;

namespace nollex {

struct CaretPos {
    int line = 1;    // 1-based display line; a wrapped paragraph counts as several
    int column = 1;  // 1-based; a full-width character counts two, a tab one
};

// Position of the selection start. Only the caret's own paragraph is looked at,
// so the cost does not grow with the document.
CaretPos caretPosition(const QPlainTextEdit& editor);

// The text of a file line (from 1, as the compiler counts them); empty past the end.
QString lineText(const QPlainTextEdit& editor, int line);

// Puts the caret at a file line (from 1) and a character index in it, clamped to
// the text, and scrolls it into view.
void placeCaret(QPlainTextEdit& editor, int line, int index);

}  // namespace nollex
