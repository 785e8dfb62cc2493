#pragma once
// The one place where the page's positions meet the protocol's.
//
// The protocol counts a line's characters in UTF-16 code units (its default, which
// clangd keeps). A QString is UTF-16 too, so a character index in the page's line
// (as the window keeps it) is the protocol's column unchanged, surrogate pairs
// counting two on both sides. The page's encoding on disk plays no part: a
// Shift-JIS page is Unicode in the editor, and its text goes to the server as the
// UTF-8 of the JSON like any other page. Only the editing component counts in
// bytes of UTF-8; that count is converted here.

#include <QString>
#include <QStringView>

namespace nollex::lsp {

struct Position {
    int line = 0;       // from 0
    int character = 0;  // UTF-16 code units from the line's start
    bool operator==(const Position&) const = default;
};

// A line (from 0) and a character index in its QString: the same numbers.
inline Position toLsp(int line, int index) { return {line, index}; }

// A protocol column as an index into the line's text, clamped to it and moved off
// the second half of a surrogate pair.
int indexInLine(QStringView lineText, int character);

// The editing component's byte column in a line's UTF-8 and the character index
// in its QString, both ways; a byte inside a character counts as that character.
int indexFromUtf8Column(QStringView lineText, int byteColumn);
int utf8ColumnFromIndex(QStringView lineText, int index);

}  // namespace nollex::lsp
