#include "NollexApplication.h"
#include "TForm1.h"
#include "platform/Fonts.h"
#include "platform/QtDialogs.h"
#include "platform/ShowError.h"

#include <QDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

// For the start-up benchmark (NOLLEX_EXIT_AFTER_SHOW set): once the main window
// has been painted for the first time, print "shown <CLOCK_MONOTONIC ns>" and
// end without the close steps, so Nollex.ini is left as it was.
class FirstPaintProbe : public QObject {
public:
    explicit FirstPaintProbe(QWidget* window) : window_(window) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!seen_ && event->type() == QEvent::Paint && widget && widget->window() == window_) {
            seen_ = true;
            // Queued, so the whole paint round and its flush come first.
            QTimer::singleShot(0, [] {
                timespec now{};
                clock_gettime(CLOCK_MONOTONIC, &now);
                std::printf("shown %lld\n", now.tv_sec * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
                QCoreApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget* window_;
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[])
{
    nollex::NollexApplication app(argc, argv);  // arguments are ignored
    nollex::installFontSubstitutes();
    nollex::QtDialogs dialogs;
    try {
        nollex::TForm1 form1({dialogs, QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/'});
        dialogs.setParent(&form1);
        std::unique_ptr<FirstPaintProbe> probe;
        if (qEnvironmentVariableIsSet("NOLLEX_EXIT_AFTER_SHOW"))
            probe = std::make_unique<FirstPaintProbe>(&form1);
        form1.show();
        app.exec();
        return 0;
    } catch (...) {
        // An error during start-up ends the program after it is shown.
        nollex::ShowError(dialogs, nollex::textOfCurrentException());
        return 1;
    }
}
