#include "Find.h"

#include "platform/Dialogs.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

#include <algorithm>

namespace nollex {

// ---------------------------------------------------------------- DocumentTextCache

DocumentTextCache::~DocumentTextCache()
{
    QObject::disconnect(changed_);
}

void DocumentTextCache::forget()
{
    QObject::disconnect(changed_);
    document_ = nullptr;
    text_.clear();
    valid_ = false;
    dirty_ = false;
}

void DocumentTextCache::noteChange(int from, int removed, int added)
{
    // One range covers every change since the copy was made: [lo_, hi_) in the
    // document now, [lo_, oldHi_) in the copy.
    if (!dirty_) {
        lo_ = from;
        hi_ = qsizetype(from) + added;
        oldHi_ = qsizetype(from) + removed;
        dirty_ = true;
        return;
    }
    const qsizetype end = qsizetype(from) + removed;  // in the document before this change
    oldHi_ += std::max<qsizetype>(0, end - hi_);
    hi_ = std::max(hi_, end) + (added - removed);
    lo_ = std::min<qsizetype>(lo_, from);
}

const QString& DocumentTextCache::text(QTextDocument* document)
{
    if (document != document_.data())
        forget();
    if (!document)
        return text_;
    if (!document_) {
        document_ = document;
        // A document reports its changes only once it has a layout (an editor's
        // always has one; a bare document gets its default here).
        document->documentLayout();
        changed_ = QObject::connect(document, &QTextDocument::contentsChange,
                                    [this](int from, int removed, int added) {
                                        noteChange(from, removed, added);
                                    });
    }
    const qsizetype length = document->characterCount() - 1;  // without the closing separator
    if (valid_ && dirty_) {
        // Only the changed range is copied again; the document reports ranges
        // that may reach past its end, so each side is cut at its own end.
        const qsizetype lo = std::min(lo_, text_.size());
        const qsizetype oldHi = std::clamp(oldHi_, lo, text_.size());
        const qsizetype hi = std::clamp(hi_, std::min(lo, length), length);
        QTextCursor range(document);
        range.setPosition(int(std::min(lo, length)));
        range.setPosition(int(hi), QTextCursor::KeepAnchor);
        text_.replace(lo, oldHi - lo, range.selectedText());
    }
    dirty_ = false;
    // The length check also catches a change made while the document's
    // signals were blocked, and anything the range above missed.
    if (!valid_ || text_.size() != length) {
        // toRawText keeps every character as it is; toPlainText would also turn
        // no-break spaces into blanks, and the search must be exact.
        text_ = document->toRawText();
        valid_ = true;
    }
    return text_;
}

// ---------------------------------------------------------------- the editor

void scrollLineToTop(QPlainTextEdit& editor, int pos)
{
    QTextDocument* doc = editor.document();
    const QTextBlock block = doc->findBlock(pos);
    if (!block.isValid())
        return;
    // Laying the block out tells on which of its wrapped lines the position lies.
    doc->documentLayout()->blockBoundingRect(block);
    int line = block.firstLineNumber();
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine textLine = layout->lineForTextPosition(pos - block.position());
        if (textLine.isValid())
            line += textLine.lineNumber();
    }
    // The editor's scroll position counts lines the way firstLineNumber does; the
    // scroll bar stops at the last page of the text by itself.
    editor.verticalScrollBar()->setValue(line);
}

void runFind(QPlainTextEdit& editor, QString& searchText, FindDirection d, Dialogs& dialogs,
             DocumentTextCache& cache)
{
    QTextCursor cursor = editor.textCursor();
    if (cursor.hasSelection()) {
        cursor.setPosition(cursor.selectionStart());
        editor.setTextCursor(cursor);
    }
    const qsizetype caret = cursor.position();

    QString s;
    if (d == FindDirection::Ask) {
        InputRequest request;
        request.caption = QStringLiteral("NOLLEX");
        request.prompt = QStringLiteral("Find");
        request.preset = searchText;
        request.maxBytes = 255;
        // Cancelling keeps the preset, so a cancelled Find searches the old text.
        s = dialogs.input(request).value_or(searchText);
        if (s.isEmpty())
            return;
        searchText = s;
    } else {
        if (searchText.isEmpty())
            return;
        s = searchText;
    }

    const std::optional<qsizetype> found =
        findInText(cache.text(editor.document()), caret, documentPattern(s), d);
    if (!found) {
        dialogs.message(QStringLiteral("Find"),
                        QStringLiteral("Couldn't find String \"") + s + QStringLiteral("\"."),
                        MsgButtons::Ok, MsgIcon::None);
        return;
    }
    editor.setFocus();
    // Scrolling first leaves the caret in view, so the editor does not lay out
    // a screenful above it to bring it into view on its own.
    scrollLineToTop(editor, int(*found));
    cursor.setPosition(int(*found));
    editor.setTextCursor(cursor);
}

}  // namespace nollex
