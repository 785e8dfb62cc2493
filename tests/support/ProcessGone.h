#pragma once
#include <QFile>

namespace nollex::test {

// Gone, or a zombie waiting for whoever adopted it: either way it runs no more.
inline bool processGone(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray s = stat.readAll();
    return s.mid(s.lastIndexOf(')') + 2, 1) == "Z";
}

}  // namespace nollex::test
