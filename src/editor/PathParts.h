#pragma once
// The two parts of a path that the file commands show and test: the file name
// part (tab captions, questions) and the extension (what a dropped file is).

#include <QString>

namespace nollex {

// Everything after the last "/"; the whole path when there is none.
QString fileNamePart(const QString& path);

// From the last "." to the end when that "." lies in the file name part;
// otherwise empty. Case is kept: ".PRJ" is not ".prj".
QString extensionPart(const QString& path);

}  // namespace nollex
