#include "ShowError.h"

#include "Dialogs.h"
#include "Errors.h"

#include <exception>

namespace nollex {

QString errorDisplayText(const QString& text)
{
    if (!text.isEmpty() && text.back() > QChar(u'.'))
        return text + u'.';
    return text;
}

void ShowError(Dialogs& dialogs, const QString& text)
{
    dialogs.message(QStringLiteral("Nollex"), errorDisplayText(text), MsgButtons::Ok,
                    MsgIcon::Error);
}

QString textOfCurrentException()
{
    try {
        throw;
    } catch (const NollexError& e) {
        return e.text();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("Unknown error");
    }
}

}  // namespace nollex
