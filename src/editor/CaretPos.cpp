#include "CaretPos.h"

#include "platform/QtDialogs.h"

#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

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

QString lineText(const QPlainTextEdit& editor, int line)
{
    return editor.document()->findBlockByNumber(line - 1).text();
}

void placeCaret(QPlainTextEdit& editor, int line, int index)
{
    QTextBlock block = editor.document()->findBlockByNumber(std::max(line, 1) - 1);
    if (!block.isValid())
        block = editor.document()->lastBlock();
    QTextCursor cursor(block);
    cursor.setPosition(block.position() + std::clamp(index, 0, int(block.length()) - 1));
    editor.setTextCursor(cursor);
    editor.ensureCursorVisible();
}

}  // namespace nollex
