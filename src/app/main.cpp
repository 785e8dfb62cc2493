#include "NollexApplication.h"
#include "TForm1.h"
#include "platform/Fonts.h"
#include "platform/QtDialogs.h"
#include "platform/ShowError.h"

#include <QDir>

int main(int argc, char* argv[])
{
    nollex::NollexApplication app(argc, argv);  // arguments are ignored
    nollex::installFontSubstitutes();
    nollex::QtDialogs dialogs;
    try {
        nollex::TForm1 form1({dialogs, QDir(QCoreApplication::applicationDirPath()).absolutePath() + u'/'});
        dialogs.setParent(&form1);
        form1.show();
        app.exec();
        return 0;
    } catch (...) {
        // An error during start-up ends the program after it is shown.
        nollex::ShowError(dialogs, nollex::textOfCurrentException());
        return 1;
    }
}
