#pragma once
#include <QByteArray>
#include <QString>

namespace nollex {

// The compiler's captured output as the message pane shows it: UTF-8 when the
// bytes are valid UTF-8, else the local code page, else Shift-JIS (a Shift-JIS
// source quoted in a diagnostic), else UTF-8 with the bad bytes replaced. Line
// breaks become LF; one final line break ends the last line and adds none.
QString decodeMessageText(const QByteArray& bytes);

}  // namespace nollex
