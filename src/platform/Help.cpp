#include "Help.h"

#include "Errors.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace nollex {

namespace {

// The desktop's viewer for the file; where the desktop has none registered,
// the system's chosen web browser.
bool openWithDesktop(const QUrl& url)
{
    if (QDesktopServices::openUrl(url))
        return true;
    for (const char* browser : {"x-www-browser", "sensible-browser"}) {
        const QString program = QStandardPaths::findExecutable(QString::fromLatin1(browser));
        if (!program.isEmpty() && QProcess::startDetached(program, {url.toString()}))
            return true;
    }
    return false;
}

}  // namespace

void ShowManual(const QString& path, const std::function<bool(const QUrl&)>& open)
{
    if (!QFileInfo(path).isFile())
        throw NollexError(QStringLiteral("The manual ") + path + QStringLiteral(" was not found"));
    const QUrl url = QUrl::fromLocalFile(path);
    if (!(open ? open(url) : openWithDesktop(url)))
        throw NollexError(QStringLiteral("No viewer could open the manual ") + path);
}

}  // namespace nollex
