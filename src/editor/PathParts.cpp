#include "PathParts.h"

namespace nollex {

QString fileNamePart(const QString& path)
{
    return path.mid(path.lastIndexOf(u'/') + 1);
}

QString extensionPart(const QString& path)
{
    const qsizetype dot = path.lastIndexOf(u'.');
    if (dot < 0 || dot < path.lastIndexOf(u'/'))
        return QString();
    return path.mid(dot);
}

}  // namespace nollex
