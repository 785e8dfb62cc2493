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

namespace {

// The second half of a surrogate pair: a place inside one character.
bool insideCharacter(QStringView text, qsizetype k)
{
    return k > 0 && k < text.size() && text[k].isLowSurrogate() && text[k - 1].isHighSurrogate();
}

}  // namespace

std::optional<qsizetype> findInText(QStringView text, qsizetype caret, QStringView pattern, int d)
{
    if (pattern.isEmpty() || pattern.size() > text.size())
        return std::nullopt;
    caret = std::clamp<qsizetype>(caret, 0, text.size());

    if (d >= 0) {
        qsizetype from = caret;
        if (d > 0 && from < text.size())
            from += insideCharacter(text, from + 1) ? 2 : 1;
        else if (d > 0)
            return std::nullopt;  // nothing lies after the end
        for (qsizetype k = text.indexOf(pattern, from, Qt::CaseSensitive); k >= 0;
             k = text.indexOf(pattern, k + 1, Qt::CaseSensitive)) {
            if (!insideCharacter(text, k))
                return k;
        }
        return std::nullopt;
    }

    // Upward: the nearest occurrence that starts before the caret. Qt reads a
    // negative start as counted from the end, so the caret at 0 stops here.
    if (caret == 0)
        return std::nullopt;
    for (qsizetype k = text.lastIndexOf(pattern, caret - 1, Qt::CaseSensitive); k >= 0;
         k = k > 0 ? text.lastIndexOf(pattern, k - 1, Qt::CaseSensitive) : -1) {
        if (!insideCharacter(text, k))
            return k;
    }
    return std::nullopt;
}

QString documentPattern(const QString& searchText)
{
    QString p = searchText;
    p.replace(QStringLiteral("\r\n"), QString(QChar::ParagraphSeparator));
    p.replace(u'\r', QChar::ParagraphSeparator);
    p.replace(u'\n', QChar::ParagraphSeparator);
    return p;
}

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
}

const QString& DocumentTextCache::text(QTextDocument* document)
{
    if (document != document_.data())
        forget();
    if (!document)
        return text_;
    if (!document_) {
        document_ = document;
        changed_ = QObject::connect(document, &QTextDocument::contentsChanged,
                                    [this] { valid_ = false; });
    }
    // The length check also catches a change made while the document's
    // signals were blocked.
    if (!valid_ || text_.size() + 1 != document->characterCount()) {
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

void runFind(QPlainTextEdit& editor, QString& searchText, int d, Dialogs& dialogs,
             DocumentTextCache& cache)
{
    QTextCursor cursor = editor.textCursor();
    if (cursor.hasSelection()) {
        cursor.setPosition(cursor.selectionStart());
        editor.setTextCursor(cursor);
    }
    const qsizetype caret = cursor.position();

    QString s;
    if (d == 0) {
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
    cursor.setPosition(int(*found));
    editor.setTextCursor(cursor);
    scrollLineToTop(editor, int(*found));
}

}  // namespace nollex
