#include "Help.h"

#include "Errors.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <memory>

namespace nollex {

namespace {

// A viewer that ends in failure within this time did not open the manual; one
// that fails later (a browser closed after use) is none of our business.
constexpr qint64 ViewerStartMs = 20000;

QString noViewerText(const QString& path)
{
    return QStringLiteral("No viewer could open the manual ") + path;
}

}  // namespace

QString findViewer()
{
    for (const char* name : {"xdg-open", "x-www-browser", "sensible-browser"}) {
        QString program = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!program.isEmpty())
            return program;
    }
    return QString();
}

void ShowManual(const QString& path, const QString& viewer, QObject* context,
                const std::function<void(const QString&)>& failed)
{
    if (!QFileInfo(path).isFile())
        throw NollexError(QStringLiteral("The manual ") + path + QStringLiteral(" was not found"));
    if (viewer.isEmpty())
        throw NollexError(noViewerText(path));
    // Without a parent: the viewer outlives the window and is never killed with
    // it. Its output goes nowhere, so a viewer that stays is never blocked on a
    // full pipe and Nollex's own standard error stays clean.
    auto* process = new QProcess;
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    auto started = std::make_shared<QElapsedTimer>();
    started->start();
    auto report = [path, started, failed] {
        if (started->elapsed() < ViewerStartMs)
            failed(noViewerText(path));
    };
    QObject::connect(process, &QProcess::errorOccurred, context, [report](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            report();
    });
    QObject::connect(process, &QProcess::finished, context,
                     [report](int code, QProcess::ExitStatus status) {
                         if (code != 0 || status != QProcess::NormalExit)
                             report();
                     });
    // Deleted when done, whether or not the window still lives.
    QObject::connect(process, &QProcess::errorOccurred, process, [process](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            process->deleteLater();
    });
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->start(viewer, {QUrl::fromLocalFile(path).toString()});
}

}  // namespace nollex
