#pragma once

namespace nollex {

enum class TextEncoding { Utf8, ShiftJis };

// The kind of line break a file is written with; inside a page every break is LF.
enum class LineEnd { Lf, CrLf, Cr };

// How a page's file is stored, so that a save writes it back the way it was read.
// A new page is UTF-8 without a byte order mark, with LF line ends.
struct TextFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool bom = false;  // UTF-8 only: the file starts with EF BB BF
    LineEnd lineEnd = LineEnd::Lf;  // the kind of the file's first line break

    bool operator==(const TextFormat&) const = default;
};

}  // namespace nollex
