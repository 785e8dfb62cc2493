#include "TGroupBox.h"

#include <QPainter>
#include <QStyle>

namespace nollex {

void TGroupBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics fm(font());
    const QRect caption(6, 0, fm.horizontalAdvance(title()) + 4, fm.height());

    // An etched frame: a dark line with a light one inside and below it.
    const QRect frame = rect().adjusted(0, fm.height() / 2, -1, -1);
    painter.save();
    if (!title().isEmpty())
        painter.setClipRegion(QRegion(rect()).subtracted(caption));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, 0, 0));
    painter.restore();

    style()->drawItemText(&painter, caption, Qt::AlignCenter, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

}  // namespace nollex
