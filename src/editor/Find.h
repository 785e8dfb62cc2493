#pragma once
// Plain-text search in a page: exact, case-sensitive, counted in characters so
// that an occurrence never starts inside a character. Find (d = 0) searches
// downward from the caret, Find again downward (d = 1) from one character after
// it, Find again upward (d = -1) from one character before it; nothing wraps.

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <QTextDocument>
#include <optional>

class QPlainTextEdit;

namespace nollex {

class Dialogs;

// Position of the occurrence of pattern in text that the search in direction d
// from caret finds, or nothing. An empty pattern is never found.
std::optional<qsizetype> findInText(QStringView text, qsizetype caret, QStringView pattern, int d);

// The search text in the form the page's document holds it: a line break typed
// or pasted into the search text (LF, CR LF or a lone CR) matches a line break
// of the page, which the document keeps as U+2029 between its blocks.
QString documentPattern(const QString& searchText);

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
// the search text (asking for it when d is 0, and then remembering it in
// searchText), searches, and either places the caret on the occurrence with its
// line at the top or reports that nothing was found.
void runFind(QPlainTextEdit& editor, QString& searchText, int d, Dialogs& dialogs,
             DocumentTextCache& cache);

}  // namespace nollex
