#pragma once
// Replace, Replace All and Format on one page's editor, over TextReplace.h and
// CodeFormat.h. Each change is one undo step and touches only the characters
// it replaces, so marks and breakpoints on the other lines stay where they are.

#include "CodeFormat.h"
#include "TextReplace.h"

#include <QString>
#include <vector>

namespace nollex {

class DocumentTextCache;
class TCustomizedMemo;

// Applies edits (in order, none overlapping, positions in text, which is the
// editor's text) as one undo step.
void applyEdits(TCustomizedMemo& editor, const QString& text, const std::vector<TextEdit>& edits);

enum class ReplaceStep {
    Replaced,     // the selected occurrence was replaced and the next one is selected
    ReplacedLast, // it was replaced and no other follows
    Selected,     // nothing was selected as an occurrence: the next one now is
    NotFound,
};

// Replace: the selection, when it is an occurrence, is replaced; then the next
// occurrence after the caret is selected.
ReplaceStep replaceNext(TCustomizedMemo& editor, const TextMatcher& matcher, DocumentTextCache& cache);

// Replace All: every occurrence of the page in one undo step; the count.
qsizetype replaceAll(TCustomizedMemo& editor, const TextMatcher& matcher, DocumentTextCache& cache);

// Format: the page laid out by clang-format in one undo step, the caret kept
// beside the same character. request.text is taken from the editor.
FormatResult formatPage(TCustomizedMemo& editor, FormatRequest request, DocumentTextCache& cache);

}  // namespace nollex
