#include "TUpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

namespace nollex {

TUpDown::TUpDown(QLineEdit* associate, QWidget* parent)
    : QWidget(parent), associate_(associate), up_(new QToolButton(this)),
      down_(new QToolButton(this))
{
    for (QToolButton* b : {up_, down_}) {
        b->setArrowType(b == up_ ? Qt::UpArrow : Qt::DownArrow);
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
    }
    connect(up_, &QToolButton::clicked, this, [this] { stepBy(1); });
    connect(down_, &QToolButton::clicked, this, [this] { stepBy(-1); });
    // The arrow keys in the edit step as the arrows do.
    associate_->installEventFilter(this);
}

void TUpDown::setPosition(int position)
{
    position_ = std::clamp(position, Min, Max);
}

void TUpDown::stepBy(int delta)
{
    bool ok = false;
    const int typed = associate_->text().toInt(&ok);
    int from = ok ? std::clamp(typed, Min, Max) : position_;
    setPosition(from + delta);
    associate_->setText(QString::number(position_));
}

void TUpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == associate_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            stepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace nollex
