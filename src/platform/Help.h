#pragma once
#include <QString>
#include <QUrl>
#include <functional>

namespace nollex {

// Opens the manual at path with the desktop's viewer. open hands a URL to the
// viewer and says whether one took it; it defaults to the desktop's own.
// A missing manual, or one no viewer opens, throws a NollexError naming the path.
void ShowManual(const QString& path, const std::function<bool(const QUrl&)>& open = {});

}  // namespace nollex
