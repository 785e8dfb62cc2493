#pragma once
// The two setup buttons of the configuration dialog: is the compiler where the
// dialog says, and the compiler's and linker's configuration files. Both work on
// the dialog's folder and name texts as typed.

#include <QByteArray>
#include <QString>

namespace nollex {

class Dialogs;
class FileSystem;

// "OK", or the folder and name as typed joined by one separator + " は存在しません".
QString compilerExistenceMessage(const QString& folder, const QString& name, const FileSystem& fs);

// Shows that message in a box captioned "Existence" with the information icon.
void CheckCompilerExists(const QString& folder, const QString& name, const FileSystem& fs,
                         Dialogs& dialogs);

struct ConfigFiles {
    QString compilerConfigPath;  // folder + "bcc32.cfg"
    QString linkerConfigPath;    // folder + "ilink32.cfg"
    QByteArray compilerConfig;   // -I"D include" and -L"D lib", CR LF after each
    QByteArray linkerConfig;     // -L"D lib"
};

// The files for a compiler folder, where D is its parent folder (the folder cut
// after its last separator before the final character).
ConfigFiles configFilesFor(const QString& folder, QChar separator);

// Writes both files, replacing them. An empty folder writes nothing; a file that
// cannot be written is reported (NollexError, naming it) after the other is written.
void GenerateConfigFiles(const QString& folder, FileSystem& fs);

}  // namespace nollex
