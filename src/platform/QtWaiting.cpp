#include "QtWaiting.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QThread>
#include <QVBoxLayout>

#include <memory>

namespace nollex {

namespace {

std::unique_ptr<QDialog> makeWaitWindow(QWidget* parent, const QString& text, bool* stopped)
{
    auto window = std::make_unique<QDialog>(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    window->setWindowTitle(QStringLiteral("Nollex"));
    window->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(window.get());
    layout->addWidget(new QLabel(text, window.get()));
    auto* stop = new QPushButton(kStopCaption, window.get());
    layout->addWidget(stop);
    QObject::connect(stop, &QPushButton::clicked, window.get(), [stopped] { *stopped = true; });
    // Escape or the close box would only hide it; they stop the wait as the button does.
    QObject::connect(window.get(), &QDialog::rejected, window.get(), [stopped] { *stopped = true; });
    return window;
}

}  // namespace

bool QtWaiting::waitFor(const std::function<bool()>& finished, const QString& text)
{
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<QDialog> window;
    bool stopped = false;
    while (!finished()) {
        if (!window && timer.elapsed() >= quietMs_) {
            window = makeWaitWindow(parent_, text, &stopped);
            window->show();
        }
        // Until the small window shows, input waits in the queue (as it did while
        // the window was blocked); after, the modal window keeps it from the others.
        QCoreApplication::processEvents(window ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
        if (stopped)
            return false;
        QThread::msleep(10);
    }
    return true;
}

}  // namespace nollex
