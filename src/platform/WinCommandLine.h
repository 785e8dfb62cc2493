#pragma once
// Command lines in the Windows form: the build's batch lines and the command lines
// Nollex starts are written this way, and both the process starter and the stand-in
// command interpreter take them apart with the same rules.
//
// Rules (applied to bytes, so Shift-JIS and UTF-8 text pass through unchanged):
// - Blanks (space, tab) separate words; runs of blanks count as one, and blanks at
//   either end are ignored.
// - A double quote switches quoting on; inside quotes blanks belong to the word and the
//   next single double quote switches quoting off. The quotes themselves are removed,
//   and a word may mix quoted and unquoted parts: -n"/home/u/my work/" is one word.
// - Inside quotes, two double quotes in a row stand for one literal double quote.
// - "" (or any word made of quotes only) is an empty word, not no word.
// - An unbalanced quote stays open to the end of the line: the rest, blanks included,
//   belongs to the last word.
// - A backslash is an ordinary character, also before a quote, because folders are
//   written with a final backslash ("C:\work\") and must survive quoting.
#include <string>
#include <string_view>
#include <vector>

namespace nollex {

std::vector<std::string> SplitWindowsCommandLine(std::string_view line);

// The word as it must be written so that SplitWindowsCommandLine gives it back
// unchanged: as it is when it is not empty and holds no blank, quote or character
// that a command interpreter treats specially (< > | & ^ %), otherwise in quotes
// with every inner quote doubled. Quoting those characters too keeps a path such as
// "/home/u/a>b/" from being read as a redirection in a batch line.
std::string QuoteWindowsArgument(std::string_view word);

// The words quoted as needed and joined by one blank.
std::string JoinWindowsCommandLine(const std::vector<std::string>& words);

}  // namespace nollex
