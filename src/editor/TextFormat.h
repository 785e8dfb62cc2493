#pragma once

namespace nollex {

enum class TextEncoding { Utf8, ShiftJis };

// How a page's file is stored, so that a save writes it back the way it was read.
// A new page is UTF-8 without a byte order mark.
struct TextFormat {
    TextEncoding encoding = TextEncoding::Utf8;
    bool bom = false;  // UTF-8 only: the file starts with EF BB BF

    bool operator==(const TextFormat&) const = default;
};

}  // namespace nollex
