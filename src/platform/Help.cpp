#include "Help.h"

#include "Errors.h"

#include <QDesktopServices>
#include <QFileInfo>

namespace nollex {

void ShowManual(const QString& path, const std::function<bool(const QUrl&)>& open)
{
    if (!QFileInfo(path).isFile())
        throw NollexError(QStringLiteral("The manual ") + path + QStringLiteral(" was not found"));
    const QUrl url = QUrl::fromLocalFile(path);
    const bool opened = open ? open(url) : QDesktopServices::openUrl(url);
    if (!opened)
        throw NollexError(QStringLiteral("No viewer could open the manual ") + path);
}

}  // namespace nollex
