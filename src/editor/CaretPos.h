#pragma once
#include <QString>

namespace nollex {

class TCustomizedMemo;

struct CaretPos {
    int line = 1;    // 1-based display line; a wrapped paragraph counts as several
    int column = 1;  // 1-based; a full-width character counts two, a tab one
};

// Position of the selection start. Only the caret's own paragraph is laid out;
// the lines above count as the page has wrapped them (all of them on a small
// page; on a large one as far as its background wrapping has come).
CaretPos caretPosition(TCustomizedMemo& editor);

// The text of a file line (from 1, as the compiler counts them); empty past the end.
QString lineText(const TCustomizedMemo& editor, int line);

// Puts the caret at a file line (from 1) and a character index in it, clamped to
// the text, and scrolls it into view.
void placeCaret(TCustomizedMemo& editor, int line, int index);

}  // namespace nollex
