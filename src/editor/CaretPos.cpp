#include "CaretPos.h"

#include "platform/QtDialogs.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

namespace nollex {

CaretPos caretPosition(const QPlainTextEdit& editor)
{
    const int p = editor.textCursor().selectionStart();
    const QTextBlock block = editor.document()->findBlock(p);
    if (!block.isValid())
        return {};
    const int inBlock = p - block.position();
    int lineInBlock = 0;
    int lineStart = 0;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(inBlock);
        if (line.isValid()) {
            lineInBlock = line.lineNumber();
            lineStart = line.textStart();
        }
    }
    const int firstLine = std::max(block.firstLineNumber(), block.blockNumber());
    const QString text = block.text();
    CaretPos pos;
    pos.line = firstLine + lineInBlock + 1;
    pos.column = codePageWidth(QStringView(text).mid(lineStart, inBlock - lineStart)) + 1;
    return pos;
}

}  // namespace nollex
