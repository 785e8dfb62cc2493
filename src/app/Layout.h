#pragma once
#include <QRect>

namespace nollex {

// Where the resize rule puts the controls that follow the window's client size.
struct MainLayout {
    QRect pageControl;
    QRect memo2;
    QRect variables, callStack;  // while debugging: beside the message pane, which is taller then
    QRect statusBar;
    int label3Left = 0;
};

// Applied on every resize, with no minimum size. Heights that the rule would make
// negative are clamped to 0, and the message pane still starts 4 pixels below the
// tab control's bottom edge.
MainLayout computeMainLayout(int clientWidth, int clientHeight, int label3Width, bool debugging = false);

}  // namespace nollex
