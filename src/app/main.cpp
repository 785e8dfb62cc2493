#include "NollexApplication.h"
#include "TForm1.h"
#include "platform/Fonts.h"
#include "platform/ProgramFolders.h"
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

// Files named on the command line, relative ones against the folder Nollex started in.
QStringList commandLineFiles(const QStringList& arguments)
{
    const QDir current = QDir::current();
    QStringList files;
    for (const QString& argument : arguments.mid(1))
        files << QDir::cleanPath(current.absoluteFilePath(argument));
    return files;
}

// For the crash test (NOLLEX_TEST_TYPE set): its text is typed at the caret of
// every page there is after the start, and into one more, new, untitled page;
// a real process then has unsaved pages to be killed with.
void typeForTest(nollex::TForm1& form, const QString& text)
{
    for (int i = 0; i <= form.Memos->LastIndex(); ++i)
        form.Memos->editor(i)->insertPlainText(text);
    form.New1Click();
    form.Memos->ActiveMemo()->insertPlainText(text);
}

}  // namespace

int main(int argc, char* argv[])
{
    nollex::NollexApplication app(argc, argv);
    app.setDesktopFileName(QStringLiteral("org.nollex.Nollex"));  // the desktop's entry and icon
    const QStringList files = commandLineFiles(app.arguments());
    nollex::installFontSubstitutes();
    nollex::QtDialogs dialogs;
    try {
        // The link in bin/ is already resolved here: this is the executable's own folder.
        const nollex::ProgramFolders folders = nollex::chooseProgramFolders(
            nollex::hostProgramFolderFacts(QDir(QCoreApplication::applicationDirPath()).absolutePath()));
        // An installed copy's per-user folders, before the restore reads one; a
        // portable copy's folder exists already. Each use checks they are private.
        for (const QString& folder : {folders.settings, folders.build}) {
            if (const auto error = nollex::makePrivateFolder(folder))
                nollex::ShowError(dialogs, *error);
        }
        nollex::TForm1 form1({dialogs, folders});
        dialogs.setParent(&form1);
        std::unique_ptr<FirstPaintProbe> probe;
        if (qEnvironmentVariableIsSet("NOLLEX_EXIT_AFTER_SHOW"))
            probe = std::make_unique<FirstPaintProbe>(&form1);
        form1.show();
        // After the restore, as if dropped on the window.
        if (!files.isEmpty())
            form1.guarded([&] { form1.WMDropFiles(files); });
        if (qEnvironmentVariableIsSet("NOLLEX_TEST_TYPE"))
            typeForTest(form1, qEnvironmentVariable("NOLLEX_TEST_TYPE"));
        app.exec();
        return 0;
    } catch (...) {
        // An error during start-up ends the program after it is shown.
        nollex::ShowError(dialogs, nollex::textOfCurrentException());
        return 1;
    }
}
