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

}  // namespace nollex
