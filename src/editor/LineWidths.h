#pragma once

#include <QHash>

#include <array>
#include <functional>
#include <string_view>

namespace nollex {

// An upper bound on how wide each line of a page is drawn, from the widths of
// its characters. The editing component measures every line of a page to wrap
// it, seconds of work for a large page; a page none of whose lines can reach
// the edge has nothing to wrap, and is spared that.
class LineWidthBound {
public:
    // measure gives one character's width in pixels as the page draws it;
    // tab is a whole tab stop, blob a control character drawn as its name.
    LineWidthBound(std::function<double(char32_t)> measure, double tab, double blob);

    // The offset in text (UTF-8) of the first line that may be wider than width,
    // or npos when every line fits. Lines end at LF or CR.
    size_t firstTooWide(std::string_view text, double width);

private:
    double widthOf(char32_t c);

    std::function<double(char32_t)> measure_;
    double tab_;
    double blob_;
    std::array<double, 128> ascii_{};  // negative: not measured yet
    QHash<char32_t, double> others_;
};

}  // namespace nollex
