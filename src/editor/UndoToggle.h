#pragma once

namespace nollex {

class TCustomizedMemo;

// The page's Undo: reverts the last edit operation, and used again right after,
// reverts that undo. It never clears the page's modified state: a text brought
// back to what was last saved still counts as changed, so that closing never
// drops an undo without asking.
void undoLastEdit(TCustomizedMemo& editor);

}  // namespace nollex
