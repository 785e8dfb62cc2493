#include "NollexApplication.h"

#include "platform/QtDialogs.h"
#include "platform/ShowError.h"

namespace nollex {

NollexApplication::NollexApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Nollex"));
}

bool NollexApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        QtDialogs dialogs(activeWindow());
        ShowError(dialogs, textOfCurrentException());
        return false;
    }
}

}  // namespace nollex
