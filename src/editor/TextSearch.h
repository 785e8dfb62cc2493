#pragma once
// Plain-text search: exact, case-sensitive, counted in characters so that an
// occurrence never starts inside a character. Find (Ask) searches downward from
// the caret, Find again downward (Down) from one character after it, Find again
// upward (Up) from one character before it; nothing wraps.

#include "state/Modes.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace nollex {

// Position of the occurrence of pattern in text that the search in direction d
// from caret finds, or nothing. An empty pattern is never found.
std::optional<qsizetype> findInText(QStringView text, qsizetype caret, QStringView pattern,
                                     FindDirection d);

// The search text in the form the page's document holds it: a line break typed
// or pasted into the search text (LF, CR LF or a lone CR) matches a line break
// of the page, which the page keeps as LF.
QString documentPattern(const QString& searchText);

}  // namespace nollex
