#include "CaretPos.h"

#include "TCustomizedMemo.h"
#include "platform/QtDialogs.h"

namespace nollex {

CaretPos caretPosition(TCustomizedMemo& editor)
{
    const int p = editor.selectionStart();
    const int line = editor.displayLineOf(p);
    // The display line's first character: the first position at or before p
    // that lies on the same display line (positions only move down a paragraph).
    int lo = editor.toChar(int(editor.SendScintilla(
        QsciScintillaBase::SCI_POSITIONFROMLINE,
        editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, editor.toByte(p)))));
    const long y = editor.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, editor.toByte(p));
    int hi = p;
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (editor.SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0, editor.toByte(mid)) < y)
            lo = mid + 1;
        else
            hi = mid;
    }
    const QString text = editor.textRange(lo, p);
    CaretPos pos;
    pos.line = line + 1;
    pos.column = codePageWidth(text) + 1;
    return pos;
}

}  // namespace nollex
