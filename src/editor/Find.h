#pragma once
// The Find commands on a page, over the search of TextSearch.h.

#include "TextSearch.h"

#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <optional>

namespace nollex {

class Dialogs;
class TCustomizedMemo;

// The text of the page last searched, copied again only after it changed, so
// that repeated searches through a large page do not copy it each time.
class DocumentTextCache {
public:
    DocumentTextCache() = default;
    DocumentTextCache(const DocumentTextCache&) = delete;
    DocumentTextCache& operator=(const DocumentTextCache&) = delete;
    ~DocumentTextCache();

    // The page's characters, lines joined by LF; positions are the page's
    // character positions.
    const QString& text(TCustomizedMemo* editor);

private:
    void forget();

    QPointer<TCustomizedMemo> editor_;
    QMetaObject::Connection changed_;
    QString text_;
    bool valid_ = false;
};

// Puts the display line that holds position pos at the top of the editor, as
// far as the text allows (a position near the end leaves the last page in view).
void scrollLineToTop(TCustomizedMemo& editor, int pos);

// The Find command on one editor: collapses the selection to its start, takes
// the search text (asking for it when d is Ask, and then remembering it in
// searchText), searches, and either places the caret on the occurrence with its
// line at the top or reports that nothing was found.
void runFind(TCustomizedMemo& editor, QString& searchText, FindDirection d, Dialogs& dialogs,
             DocumentTextCache& cache);

}  // namespace nollex
