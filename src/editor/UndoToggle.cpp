#include "UndoToggle.h"

#include <QPlainTextEdit>
#include <QTextDocument>

namespace nollex {

namespace {

// Kept on the document: whether the last thing Undo did there was an undo. Any
// new edit starts over, so the next Undo reverts that edit.
class UndoToggleState : public QObject {
public:
    explicit UndoToggleState(QTextDocument* document) : QObject(document)
    {
        connect(document, &QTextDocument::undoCommandAdded, this, [this] { undone = false; });
    }
    bool undone = false;
};

UndoToggleState* stateOf(QTextDocument* document)
{
    for (QObject* child : document->children()) {
        if (auto* state = dynamic_cast<UndoToggleState*>(child))
            return state;
    }
    return new UndoToggleState(document);
}

}  // namespace

void undoLastEdit(QPlainTextEdit& editor)
{
    QTextDocument* document = editor.document();
    UndoToggleState* state = stateOf(document);
    const bool wasModified = document->isModified();
    // The editor keeps many steps; this command only ever moves one step back
    // and forth. A new edit after an undo empties the redo list, so redo being
    // available means nothing was typed since.
    if (state->undone && document->isRedoAvailable()) {
        editor.redo();
        state->undone = false;
    } else if (document->isUndoAvailable()) {
        editor.undo();
        state->undone = true;
    }
    if (wasModified)
        document->setModified(true);
}

}  // namespace nollex
