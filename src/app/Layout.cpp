#include "Layout.h"

#include <algorithm>

namespace nollex {

namespace {
constexpr int kPageLeft = 108;
constexpr int kPageTop = 20;
constexpr int kStatusHeight = 19;
constexpr int kMemoHeight = 77;
// While debugging the variables want more than a few lines: three tenths of the
// window, within these.
constexpr int kDebugPanesMaxHeight = 200;
}  // namespace

MainLayout computeMainLayout(int clientWidth, int clientHeight, int label3Width, bool debugging)
{
    MainLayout l;
    const int memoHeight =
        debugging ? std::clamp(clientHeight * 3 / 10, kMemoHeight, kDebugPanesMaxHeight) : kMemoHeight;
    const int pageHeight = std::max(0, clientHeight - kPageTop - kStatusHeight - memoHeight - 5);
    const int pageWidth = std::max(0, clientWidth - kPageLeft - 2);
    l.pageControl = QRect(kPageLeft, kPageTop, pageWidth, pageHeight);
    const int paneTop = kPageTop + pageHeight + 4;
    const int paneWidth = std::max(0, clientWidth - 4);
    l.memo2 = QRect(2, paneTop, paneWidth, memoHeight);
    if (debugging) {
        // Beside the buttons and caret labels, under the pages: messages, variables
        // and the call stack side by side, 2 : 4 : 2.
        const int width = pageWidth;
        const int messages = width / 4, variables = width / 2;
        l.memo2 = QRect(kPageLeft, paneTop, messages, memoHeight);
        l.variables = QRect(kPageLeft + messages, paneTop, variables, memoHeight);
        l.callStack = QRect(kPageLeft + messages + variables, paneTop, width - messages - variables, memoHeight);
    }
    l.statusBar = QRect(0, clientHeight - kStatusHeight, std::max(0, clientWidth), kStatusHeight);
    // C++ division truncates toward zero, as the rule asks.
    l.label3Left = (pageWidth - label3Width) / 2 + kPageLeft;
    return l;
}

}  // namespace nollex
