#pragma once
#include <QString>

namespace nollex {

class Dialogs;

// The text ShowError displays: a full stop is added when the last character
// sorts after "." (so "...。" and "abc" get one, "x." and "(1)" do not).
QString errorDisplayText(const QString& text);

// Error message box: the application title as caption, error icon, OK.
void ShowError(Dialogs& dialogs, const QString& text);

// Text of whatever was thrown, for the catch-alls around handlers.
QString textOfCurrentException();

}  // namespace nollex
