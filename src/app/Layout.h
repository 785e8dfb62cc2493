#pragma once
#include <QList>
#include <QRect>

namespace nollex {

// Where the resize rule puts the controls that follow the window's client size.
struct MainLayout {
    QRect pageControl;
    QRect memo2;
    QRect variables, callStack;  // while debugging: beside the message pane, which is taller then
    QRect paneBorder;            // the 4-pixel gap above the panes, dragged to change their height
    QRect statusBar;
    int label3Left = 0;
};

// Applied on every resize, with no minimum size. Heights that the rule would make
// negative are clamped to 0, and the message pane still starts 4 pixels below the
// tab control's bottom edge. messageHeight is the panes' height the user dragged
// the border to (0: none, the rule's own); it is kept within what leaves the
// pages a few lines.
MainLayout computeMainLayout(int clientWidth, int clientHeight, int label3Width, bool debugging = false,
                             int messageHeight = 0);

// The panes' height when the border's top edge is dragged to borderTop, kept
// within the same bounds.
int messageHeightAt(int clientHeight, int borderTop);

// Where a window kept at `saved` goes on the screens' available areas now: where
// it was, no larger than the screen it is on, when its top edge can still be
// reached there; otherwise centred on the first screen, as large as fits. With
// no screens it goes where it was.
QRect placeOnScreens(const QRect& saved, const QList<QRect>& screens);

}  // namespace nollex
