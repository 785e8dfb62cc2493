#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace nollex {

namespace {

// An entry that exists, a dangling symbolic link included (it has a name in its folder).
bool entryExists(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

}  // namespace

bool FileSystem::sameEntry(const QString& a, const QString& b) const
{
    if (a.isEmpty() || b.isEmpty())
        return false;
    const Qt::CaseSensitivity cs = separator() == u'\\' ? Qt::CaseInsensitive : Qt::CaseSensitive;
    return absolutePath(a).compare(absolutePath(b), cs) == 0;
}

bool HostFileSystem::sameEntry(const QString& a, const QString& b) const
{
    if (FileSystem::sameEntry(a, b))
        return true;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

QString HostFileSystem::absolutePath(const QString& path) const
{
    if (path.isEmpty())
        return path;
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

std::optional<FoundEntry> HostFileSystem::findFirst(const QString& path) const
{
    if (path.isEmpty())
        return std::nullopt;
    QString p = path;
    while (p.size() > 1 && p.endsWith(u'/'))
        p.chop(1);
    // "?", "*", "[" and "]" are ordinary letters of a Linux name: the entry is
    // looked up by its exact name, never matched as a pattern, so that "h?.cpp"
    // can never stand for "h1.cpp".
    const QFileInfo info(p);
    if (!entryExists(info))
        return std::nullopt;
    const QString name = p.mid(p.lastIndexOf(u'/') + 1);
    return FoundEntry{name.isEmpty() ? p : name, QString(), info.isDir()};
}

bool HostFileSystem::folderExists(const QString& path) const
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

std::optional<QByteArray> HostFileSystem::readFile(const QString& path) const
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    return f.readAll();
}

std::optional<QString> HostFileSystem::writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
        !f.flush()) {
        return QStringLiteral("ファイル \"%1\" に書き込めません（%2）").arg(path, f.errorString());
    }
    f.close();
    if (f.error() != QFileDevice::NoError)
        return QStringLiteral("ファイル \"%1\" に書き込めません（%2）").arg(path, f.errorString());
    return std::nullopt;
}

bool HostFileSystem::remove(const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        return false;
    return QFile::remove(path);
}

}  // namespace nollex
