#include "Layout.h"

#include <algorithm>

namespace nollex {

namespace {
constexpr int kPageLeft = 108;
constexpr int kPageTop = 20;
constexpr int kStatusHeight = 19;
constexpr int kMemoHeight = 77;
}  // namespace

MainLayout computeMainLayout(int clientWidth, int clientHeight, int label3Width)
{
    MainLayout l;
    const int pageHeight = std::max(0, clientHeight - kPageTop - kStatusHeight - 82);
    const int pageWidth = std::max(0, clientWidth - kPageLeft - 2);
    l.pageControl = QRect(kPageLeft, kPageTop, pageWidth, pageHeight);
    l.memo2 = QRect(2, kPageTop + pageHeight + 4, std::max(0, clientWidth - 4), kMemoHeight);
    l.statusBar = QRect(0, clientHeight - kStatusHeight, std::max(0, clientWidth), kStatusHeight);
    // C++ division truncates toward zero, as the rule asks.
    l.label3Left = (pageWidth - label3Width) / 2 + kPageLeft;
    return l;
}

}  // namespace nollex
