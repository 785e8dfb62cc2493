#pragma once
#include <QString>
#include <functional>

class QObject;

namespace nollex {

// The program that opens a file with the desktop's viewer: xdg-open, else the
// system's web browser; empty when the machine has none.
QString findViewer();

// Opens the manual at path with viewer, a program that takes the file's URL as
// its one argument. A missing manual, or no viewer, throws a NollexError naming
// the path. The viewer runs on without blocking the window; one that cannot
// start, or soon ends in failure (xdg-open finding no application), is reported
// later through failed, with a text naming the path, while context lives.
void ShowManual(const QString& path, const QString& viewer, QObject* context,
                const std::function<void(const QString&)>& failed);

}  // namespace nollex
