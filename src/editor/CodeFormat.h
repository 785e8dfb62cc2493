#pragma once
// The layout of a page by clang-format, without a window: the style it is given,
// the run itself, and the check that the result differs from the page only in
// blanks, as the edits that take the page there.

#include "TextReplace.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace nollex {

// A space, a tab, a line break, a form feed or a vertical tab: what layout may change.
bool isLayoutBlank(QChar c);

// The nearest .clang-format (or _clang-format) in folder or a folder above it;
// empty when there is none.
QString styleFileAbove(const QString& folder);

// Whether the page indents with tabs: more of its indented lines start with a
// tab than with a space.
bool indentsWithTabs(QStringView text);

// The style of a page no style file governs, for textbooks: K&R braces (a
// function's on a line of its own, the others at the end of the line), the
// page's tab width, tabs or spaces as the page has them; nothing that adds,
// removes or moves anything but blanks (no sorted includes, no reflowed
// comments, no split strings, no namespace comments).
QString textbookStyle(int tabWidth, bool tabs);

// The edits that turn from into to, each one run of blanks between the same two
// non-blank characters; nothing when the two differ in anything but blanks.
std::optional<std::vector<TextEdit>> blankEdits(QStringView from, QStringView to);

// Where caret in from lands in to when the two differ only in blanks: after the
// same non-blank characters, beside the one it was beside.
qsizetype caretAfterLayout(QStringView from, QStringView to, qsizetype caret);

struct FormatRequest {
    QString program = QStringLiteral("clang-format");
    QString text;
    QString file;      // the page's file, its style file is looked for from its folder; may be empty
    bool cpp = true;   // an untitled page is taken as C++
    int tabWidth = 8;
    int timeoutMs = 5000;
};

struct FormatResult {
    enum Status { Done, Missing, Failed, NotOnlyBlanks };
    Status status = Failed;
    std::vector<TextEdit> edits;  // Done: from the page's text to the formatted text
    QString formatted;
    QString why;                  // Missing, Failed, NotOnlyBlanks: the user's message
};

// Runs clang-format on the text (UTF-8 on its standard input) and checks its answer.
FormatResult formatCode(const FormatRequest& request);

}  // namespace nollex
