#include "Layout.h"

#include <algorithm>

namespace nollex {

namespace {
constexpr int kPageLeft = 108;
constexpr int kPageTop = 20;
constexpr int kStatusHeight = 19;
constexpr int kMemoHeight = 77;
constexpr int kGap = 4;  // between the pages and the panes: the border
// While debugging the variables want more than a few lines: three tenths of the
// window, within these.
constexpr int kDebugPanesMaxHeight = 200;
// A dragged height leaves the panes a line and the pages a few.
constexpr int kMinMessageHeight = 20;
constexpr int kMinPageHeight = 60;

// Everything under the tab row but the pages: the panes, the gap, the status bar.
int belowPages(int memoHeight)
{
    return kStatusHeight + memoHeight + kGap + 1;
}

int boundedMessageHeight(int clientHeight, int wanted)
{
    const int room = clientHeight - kPageTop - belowPages(0) - kMinPageHeight;
    return std::clamp(wanted, kMinMessageHeight, std::max(kMinMessageHeight, room));
}

int messageHeightFor(int clientHeight, bool debugging, int kept)
{
    if (kept > 0)
        return boundedMessageHeight(clientHeight, kept);
    return debugging ? std::clamp(clientHeight * 3 / 10, kMemoHeight, kDebugPanesMaxHeight) : kMemoHeight;
}
}  // namespace

MainLayout computeMainLayout(int clientWidth, int clientHeight, int label3Width, bool debugging, int messageHeight)
{
    MainLayout l;
    const int memoHeight = messageHeightFor(clientHeight, debugging, messageHeight);
    const int pageHeight = std::max(0, clientHeight - kPageTop - belowPages(memoHeight));
    const int pageWidth = std::max(0, clientWidth - kPageLeft - 2);
    l.pageControl = QRect(kPageLeft, kPageTop, pageWidth, pageHeight);
    const int paneTop = kPageTop + pageHeight + kGap;
    const int paneWidth = std::max(0, clientWidth - 4);
    l.memo2 = QRect(2, paneTop, paneWidth, memoHeight);
    l.paneBorder = QRect(2, paneTop - kGap, paneWidth, kGap);
    if (debugging) {
        // Beside the buttons and caret labels, under the pages: messages, variables
        // and the call stack side by side, 2 : 4 : 2.
        const int width = pageWidth;
        const int messages = width / 4, variables = width / 2;
        l.memo2 = QRect(kPageLeft, paneTop, messages, memoHeight);
        l.variables = QRect(kPageLeft + messages, paneTop, variables, memoHeight);
        l.callStack = QRect(kPageLeft + messages + variables, paneTop, width - messages - variables, memoHeight);
        l.paneBorder = QRect(kPageLeft, paneTop - kGap, width, kGap);
    }
    l.statusBar = QRect(0, clientHeight - kStatusHeight, std::max(0, clientWidth), kStatusHeight);
    // C++ division truncates toward zero, as the rule asks.
    l.label3Left = (pageWidth - label3Width) / 2 + kPageLeft;
    return l;
}

int messageHeightAt(int clientHeight, int borderTop)
{
    // The panes end a pixel above the status bar.
    const int paneBottom = clientHeight - kStatusHeight - 1;
    return boundedMessageHeight(clientHeight, paneBottom - (borderTop + kGap));
}

QRect placeOnScreens(const QRect& saved, const QList<QRect>& screens)
{
    if (screens.isEmpty())
        return saved;
    // The top edge, where the title bar is grabbed, must show enough of itself.
    const QRect topEdge(saved.left(), saved.top(), saved.width(), 1);
    for (const QRect& screen : screens) {
        const QRect reach = topEdge.intersected(screen);
        if (reach.width() >= std::min(100, saved.width())) {
            QRect r(saved.topLeft(), saved.size().boundedTo(screen.size()));
            // Kept within the screen where it would stick out of it.
            r.moveLeft(std::min(r.left(), screen.right() + 1 - r.width()));
            r.moveTop(std::min(r.top(), screen.bottom() + 1 - r.height()));
            return r;
        }
    }
    const QRect& first = screens.front();
    QRect r(QPoint(), saved.size().boundedTo(first.size()));
    r.moveCenter(first.center());
    return r;
}

}  // namespace nollex
