#pragma once
// Character counts from the start of a page, which the editing component asks for
// on every edit, are answered from the page's line index instead of counting.

namespace nollex {

// How many counts from the start have been answered from a line index so far.
long lineIndexedCounts();

}  // namespace nollex
