#include "UndoToggle.h"

#include "TCustomizedMemo.h"

namespace nollex {

void undoLastEdit(TCustomizedMemo& editor)
{
    const bool wasModified = editor.Modified();
    // The editor keeps many steps (Ctrl+Z, Ctrl+Y); this command only ever moves
    // one step back and forth. A new edit starts it over (undoToggled is cleared
    // by the editor), and empties the redo list.
    if (editor.undoToggled && editor.isRedoAvailable()) {
        editor.redo();
        editor.undoToggled = false;
    } else if (editor.isUndoAvailable()) {
        editor.undo();
        editor.undoToggled = true;
    }
    if (wasModified)
        editor.setModified(true);
}

}  // namespace nollex
