#pragma once
// The strip between the pages and the panes under them. Dragged up or down, it
// tells where its top edge should go; a double-click gives the panes the
// layout's own height back.

#include <QWidget>
#include <functional>

namespace nollex {

class PaneBorder : public QWidget {
public:
    PaneBorder(QWidget* parent, std::function<void(int top)> dragged, std::function<void()> reset);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::function<void(int)> dragged_;
    std::function<void()> reset_;
    int grab_ = -1;  // where in the strip it was grabbed; -1 when not dragged
};

}  // namespace nollex
