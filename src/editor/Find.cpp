#include "Find.h"

#include "TCustomizedMemo.h"
#include "platform/Dialogs.h"

namespace nollex {

// ---------------------------------------------------------------- DocumentTextCache

DocumentTextCache::~DocumentTextCache()
{
    QObject::disconnect(changed_);
}

void DocumentTextCache::forget()
{
    QObject::disconnect(changed_);
    editor_ = nullptr;
    text_.clear();
    valid_ = false;
}

const QString& DocumentTextCache::text(TCustomizedMemo* editor)
{
    if (editor != editor_.data())
        forget();
    if (!editor)
        return text_;
    if (!editor_) {
        editor_ = editor;
        changed_ = QObject::connect(editor, &QsciScintillaBase::SCN_MODIFIED,
                                    [this](int, int type) {
                                        if (type & (QsciScintillaBase::SC_MOD_INSERTTEXT |
                                                    QsciScintillaBase::SC_MOD_DELETETEXT))
                                            valid_ = false;
                                    });
    }
    // The length check also catches a change made while the page's signals
    // were blocked. A fresh copy of ten megabytes of UTF-8 takes a few ms.
    if (!valid_ || text_.size() != editor->characterCount()) {
        text_ = editor->toPlainText();
        valid_ = true;
    }
    return text_;
}

// ---------------------------------------------------------------- the editor

void scrollLineToTop(TCustomizedMemo& editor, int pos)
{
    // The component stops at the last page of the text by itself.
    editor.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, editor.displayLineOf(pos));
}

void runFind(TCustomizedMemo& editor, QString& searchText, FindDirection d, Dialogs& dialogs,
             DocumentTextCache& cache)
{
    const int caret = editor.selectionStart();
    if (editor.hasSelection())
        editor.setCaret(caret);

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
        findInText(cache.text(&editor), caret, documentPattern(s), d);
    if (!found) {
        dialogs.message(QStringLiteral("Find"),
                        QStringLiteral("Couldn't find String \"") + s + QStringLiteral("\"."),
                        MsgButtons::Ok, MsgIcon::None);
        return;
    }
    editor.setFocus();
    // The caret is placed without the component scrolling to it (which would
    // wrap all of a large page first); the scroll puts its line at the top.
    editor.setCaret(int(*found));
    scrollLineToTop(editor, int(*found));
}

}  // namespace nollex
