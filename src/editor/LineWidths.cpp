#include "LineWidths.h"

namespace nollex {

namespace {

// The code point of the UTF-8 sequence at text[i], and its length; length 0
// for a byte that starts no valid sequence.
std::pair<char32_t, size_t> decode(std::string_view text, size_t i)
{
    const auto b = static_cast<unsigned char>(text[i]);
    size_t n = 0;
    char32_t c = 0;
    if (b >= 0xF0 && b < 0xF5) {
        n = 4;
        c = b & 0x07;
    } else if (b >= 0xE0) {
        n = b < 0xF0 ? 3 : 0;
        c = b & 0x0F;
    } else if (b >= 0xC2) {
        n = 2;
        c = b & 0x1F;
    }
    if (n == 0 || i + n > text.size())
        return {0, 0};
    for (size_t k = 1; k < n; ++k) {
        const auto t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80)
            return {0, 0};
        c = (c << 6) | (t & 0x3F);
    }
    return {c, n};
}

}  // namespace

LineWidthBound::LineWidthBound(std::function<double(char32_t)> measure, double tab, double blob)
    : measure_(std::move(measure)), tab_(tab), blob_(blob)
{
    ascii_.fill(-1);
}

double LineWidthBound::widthOf(char32_t c)
{
    // Control characters, the C1 ones too, are drawn as a blob with their name.
    if (c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0))
        return c == '\t' ? tab_ : blob_;
    if (c < 0x80) {
        double& w = ascii_[c];
        if (w < 0)
            w = measure_(c);
        return w;
    }
    auto it = others_.constFind(c);
    if (it == others_.constEnd())
        it = others_.insert(c, measure_(c));
    return *it;
}

size_t LineWidthBound::firstTooWide(std::string_view text, double width)
{
    size_t lineStart = 0;
    double x = 0;
    for (size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (b == '\n' || b == '\r') {
            x = 0;
            lineStart = ++i;
            continue;
        }
        if (b < 0x80) {
            x += widthOf(b);
            ++i;
        } else {
            const auto [c, n] = decode(text, i);
            // A byte of no character is drawn as a blob with its value.
            x += n ? widthOf(c) : blob_;
            i += n ? n : 1;
        }
        if (x > width)
            return lineStart;
    }
    return std::string_view::npos;
}

}  // namespace nollex
