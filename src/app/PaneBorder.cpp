#include "PaneBorder.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

namespace nollex {

PaneBorder::PaneBorder(QWidget* parent, std::function<void(int top)> dragged, std::function<void()> reset)
    : QWidget(parent), dragged_(std::move(dragged)), reset_(std::move(reset))
{
    setCursor(Qt::SplitVCursor);
    setAttribute(Qt::WA_Hover);
    setToolTip(QStringLiteral("ドラッグでメッセージ欄の高さを変えます（ダブルクリックで元の高さ）"));
}

void PaneBorder::paintEvent(QPaintEvent*)
{
    // As a splitter's handle between panes stacked on each other.
    QPainter p(this);
    QStyleOption opt;
    opt.initFrom(this);
    opt.state &= ~QStyle::State_Horizontal;
    if (grab_ >= 0)
        opt.state |= QStyle::State_Sunken;
    style()->drawControl(QStyle::CE_Splitter, &opt, &p, this);
}

void PaneBorder::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    grab_ = event->position().toPoint().y();
    update();
}

void PaneBorder::mouseMoveEvent(QMouseEvent* event)
{
    if (grab_ < 0)
        return QWidget::mouseMoveEvent(event);
    dragged_(mapToParent(event->position().toPoint()).y() - grab_);
}

void PaneBorder::mouseReleaseEvent(QMouseEvent* event)
{
    if (grab_ < 0)
        return QWidget::mouseReleaseEvent(event);
    grab_ = -1;
    update();
}

void PaneBorder::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseDoubleClickEvent(event);
    grab_ = -1;
    reset_();
}

}  // namespace nollex
