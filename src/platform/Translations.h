#pragma once
#include <QLocale>

class QTranslator;

namespace nollex {

// Gives the toolkit's own texts (standard buttons, file dialogs) in the
// locale's language from the catalogs the system installs for it. Returns the
// translator now installed in the application (it owns it), or null when no
// catalog for the locale is installed: the texts stay English.
QTranslator* installToolkitTranslations(const QLocale& locale = QLocale());

}  // namespace nollex
