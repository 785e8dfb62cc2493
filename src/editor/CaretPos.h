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

}  // namespace nollex
