#pragma once
// The Find commands on a page, over the search of TextSearch.h.

#include "TextSearch.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QTextDocument>
#include <optional>

class QPlainTextEdit;

namespace nollex {

class Dialogs;

// The text of the document last searched, kept up to date with its edits, so
// that repeated searches through a large page do not copy it each time.
class DocumentTextCache {
public:
    DocumentTextCache() = default;
    DocumentTextCache(const DocumentTextCache&) = delete;
    DocumentTextCache& operator=(const DocumentTextCache&) = delete;
    ~DocumentTextCache();

    // The document's characters, one U+2029 between blocks; positions are the
    // document's cursor positions.
    const QString& text(QTextDocument* document);

private:
    void forget();
    void noteChange(int from, int removed, int added);

    QPointer<QTextDocument> document_;
    QMetaObject::Connection changed_;
    QString text_;
    bool valid_ = false;
    // Edits since text_ was made, kept as one range so that refreshing a large
    // page after a few keystrokes copies only what changed.
    bool dirty_ = false;
    qsizetype lo_ = 0, hi_ = 0, oldHi_ = 0;
};

// Puts the editor line that holds position pos at the top of the editor, as far
// as the text allows (a position near the end leaves the last page in view).
void scrollLineToTop(QPlainTextEdit& editor, int pos);

// The Find command on one editor: collapses the selection to its start, takes
// the search text (asking for it when d is Ask, and then remembering it in
// searchText), searches, and either places the caret on the occurrence with its
// line at the top or reports that nothing was found.
void runFind(QPlainTextEdit& editor, QString& searchText, FindDirection d, Dialogs& dialogs,
             DocumentTextCache& cache);

}  // namespace nollex
