#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace nollex {

namespace {

bool hasWildcard(const QString& text)
{
    return text.contains(u'*') || text.contains(u'?');
}

// An entry that exists, a dangling symbolic link included (it has a name in its folder).
bool entryExists(const QFileInfo& info)
{
    return info.exists() || info.isSymLink();
}

}  // namespace

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
    const qsizetype slash = p.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QStringLiteral(".") : (slash == 0 ? QStringLiteral("/") : p.left(slash));
    const QString pattern = slash < 0 ? p : p.mid(slash + 1);

    // Only the last component may hold wildcards, as with the system search.
    if (hasWildcard(folder))
        return std::nullopt;
    if (!hasWildcard(pattern)) {
        const QFileInfo info(p);
        if (!entryExists(info))
            return std::nullopt;
        return FoundEntry{pattern.isEmpty() ? p : pattern, QString(), info.isDir()};
    }
    QDir dir(folder);
    const QFileInfoList found =
        dir.entryInfoList({pattern}, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot |
                                         QDir::CaseSensitive,
                          QDir::Name);
    if (found.isEmpty())
        return std::nullopt;
    return FoundEntry{found.first().fileName(), QString(), found.first().isDir()};
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
