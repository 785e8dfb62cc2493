#pragma once
// Paths as the outside tools are given them. On Windows that is the 8.3 short
// form, so that a command line holds no blanks inside a path; here the search
// reports no alternate names and the form is the absolute path as stored. Every
// function takes the file system, whose separator and search decide the syntax.

#include <QString>

namespace nollex {

class FileSystem;

// True when an entry of exactly that name exists (a file or a folder).
bool PathExists(const QString& path, const FileSystem& fs);

// The short form of an existing path: every component (its alternate name, or its
// name as stored when it has none) followed by one separator. Empty when the path
// or one of its leading folders does not exist.
QString ToShortPath(const QString& path, const FileSystem& fs);

// Everything after the last separator (on Windows also after ":"); the whole path
// when there is none.
QString fileNamePart(const QString& path, const FileSystem& fs);

// The path up to and including its last separator; empty when there is none.
QString folderPart(const QString& path, const FileSystem& fs);

// From the last "." of the file name part to the end; empty when it has none.
QString extensionPart(const QString& path, const FileSystem& fs);

}  // namespace nollex
