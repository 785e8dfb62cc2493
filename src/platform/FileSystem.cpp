#include "FileSystem.h"

#include "Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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
    FoundEntry found{name.isEmpty() ? p : name, QString(), info.isDir()};
    struct stat st {};
    if (::lstat(QFile::encodeName(p).constData(), &st) == 0) {
        found.isLink = S_ISLNK(st.st_mode);
        found.foreign = st.st_uid != ::geteuid();
    }
    return found;
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

namespace {

class HostFileLock : public FileLock {
public:
    explicit HostFileLock(int fd) : fd_(fd) {}
    ~HostFileLock() override { ::close(fd_); }  // closing releases the lock

private:
    int fd_;
};

}  // namespace

std::unique_ptr<FileLock> HostFileSystem::tryLock(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        throw NollexError(QStringLiteral("ファイル \"%1\" を開けません（%2）")
                              .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK)
            return nullptr;
        throw NollexError(QStringLiteral("ファイル \"%1\" をロックできません（%2）")
                              .arg(path, QString::fromLocal8Bit(std::strerror(error))));
    }
    return std::make_unique<HostFileLock>(fd);
}

}  // namespace nollex
