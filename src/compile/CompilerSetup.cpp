#include "CompilerSetup.h"

#include "ShortPath.h"
#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

namespace nollex {

QString compilerExistenceMessage(const QString& folder, const QString& name, const FileSystem& fs)
{
    // No name would find the folder itself.
    if (!name.isEmpty() && PathExists(ToShortPath(folder, fs) + name, fs))
        return QStringLiteral("OK");
    const QString separator = folder.endsWith(fs.separator()) ? QString() : QString(fs.separator());
    return folder + separator + name + QStringLiteral(" は存在しません");
}

void CheckCompilerExists(const QString& folder, const QString& name, const FileSystem& fs,
                         Dialogs& dialogs)
{
    dialogs.message(QStringLiteral("Existence"), compilerExistenceMessage(folder, name, fs),
                    MsgButtons::Ok, MsgIcon::Information);
}

ConfigFiles configFilesFor(const QString& folder, QChar separator)
{
    const QString joiner = folder.endsWith(separator) ? QString() : QString(separator);
    // D: the parent of the compiler folder, whether or not it was typed with a final separator.
    QString parent = folder;
    for (qsizetype i = folder.size() - 2; i >= 0; --i) {
        if (folder[i] == separator) {
            parent = folder.left(i + 1);
            break;
        }
    }
    const QString crlf = QStringLiteral("\r\n");
    const QString libLine = QStringLiteral("-L\"") + parent + QStringLiteral("lib\"") + crlf;
    return {folder + joiner + QStringLiteral("bcc32.cfg"), folder + joiner + QStringLiteral("ilink32.cfg"),
            (QStringLiteral("-I\"") + parent + QStringLiteral("include\"") + crlf + libLine).toUtf8(),
            libLine.toUtf8()};
}

void GenerateConfigFiles(const QString& folder, FileSystem& fs)
{
    // No folder: the files would land in the root folder.
    if (folder.isEmpty())
        throw NollexError(QStringLiteral("コンパイラフォルダが空です。コンフィグファイルは作成しませんでした"));
    const ConfigFiles files = configFilesFor(folder, fs.separator());
    const auto compilerError = fs.writeFile(files.compilerConfigPath, files.compilerConfig);
    const auto linkerError = fs.writeFile(files.linkerConfigPath, files.linkerConfig);
    if (compilerError)
        throw NollexError(*compilerError);
    if (linkerError)
        throw NollexError(*linkerError);
}

}  // namespace nollex
