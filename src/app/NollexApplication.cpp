#include "NollexApplication.h"

#include "platform/QtDialogs.h"
#include "platform/ShowError.h"
#include "platform/Translations.h"

namespace nollex {

NollexApplication::NollexApplication(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Nollex"));
    // Standard buttons and file dialogs speak the user's language.
    installToolkitTranslations();
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
