#pragma once
#include <QColor>

namespace nollex {

// Colours are stored as 0x00BBGGRR numbers (red in the low byte), as the settings
// file has always held them.
inline QColor colorFromBgr(qint64 bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}
inline int bgrFromColor(const QColor& c)
{
    return c.red() | (c.green() << 8) | (c.blue() << 16);
}

}  // namespace nollex
