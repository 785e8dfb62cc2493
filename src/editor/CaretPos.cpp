#include "CaretPos.h"

#include "TCustomizedMemo.h"
#include "platform/QtDialogs.h"

#include <algorithm>

namespace nollex {

CaretPos caretPosition(TCustomizedMemo& editor)
{
    const int p = editor.selectionStart();
    const long fileLine = editor.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, editor.toByte(p));
    // The explanations under the lines above are no lines of the page.
    const int line = editor.displayLineOf(p) - editor.explanationRowsAbove(int(fileLine) + 1);
    // The display line's first character: the first position at or before p
    // that lies on the same display line (positions only move down a paragraph).
    int lo = editor.toChar(int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, fileLine)));
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

QString lineText(const TCustomizedMemo& editor, int line)
{
    if (line < 1 || line > editor.lines())
        return QString();
    const long from = editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line - 1);
    const long to = editor.SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, line - 1);
    return editor.textRange(editor.toChar(int(from)), editor.toChar(int(to)));
}

void placeCaret(TCustomizedMemo& editor, int line, int index)
{
    line = std::clamp(line, 1, std::max(editor.lines(), 1));
    const int start = editor.toChar(int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line - 1)));
    const int length = int(lineText(editor, line).size());
    const int pos = start + std::clamp(index, 0, length);
    editor.setCaret(pos);
    // Scrolled here rather than by the component, which would first wrap all of
    // a large page that is still wrapping; a few lines above stay in view.
    editor.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE,
                         std::max(0, editor.displayLineOf(pos) - 3));
}

}  // namespace nollex
