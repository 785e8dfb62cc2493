#include "Layout.h"

#include <algorithm>

namespace nollex {

namespace {
constexpr int kPageLeft = 108;
constexpr int kPageTop = 20;
constexpr int kStatusHeight = 19;
constexpr int kMemoHeight = 77;
constexpr int kDebugMemoHeight = 160;  // the variables want more than a few lines
}  // namespace

MainLayout computeMainLayout(int clientWidth, int clientHeight, int label3Width, bool debugging)
{
    MainLayout l;
    const int memoHeight = debugging ? kDebugMemoHeight : kMemoHeight;
    const int pageHeight = std::max(0, clientHeight - kPageTop - kStatusHeight - memoHeight - 5);
    const int pageWidth = std::max(0, clientWidth - kPageLeft - 2);
    l.pageControl = QRect(kPageLeft, kPageTop, pageWidth, pageHeight);
    const int paneTop = kPageTop + pageHeight + 4;
    const int paneWidth = std::max(0, clientWidth - 4);
    l.memo2 = QRect(2, paneTop, paneWidth, memoHeight);
    if (debugging) {
        // Messages, variables and the call stack side by side: 3 : 4 : 2.
        const int messages = paneWidth * 3 / 9, variables = paneWidth * 4 / 9;
        l.memo2.setWidth(messages);
        l.variables = QRect(2 + messages, paneTop, variables, memoHeight);
        l.callStack = QRect(2 + messages + variables, paneTop, paneWidth - messages - variables, memoHeight);
    }
    l.statusBar = QRect(0, clientHeight - kStatusHeight, std::max(0, clientWidth), kStatusHeight);
    // C++ division truncates toward zero, as the rule asks.
    l.label3Left = (pageWidth - label3Width) / 2 + kPageLeft;
    return l;
}

}  // namespace nollex
