#pragma once
// The file system as the build sees it: search for an entry, existence of a
// folder, reading, writing and deleting whole files. The path syntax (separator,
// what a root looks like) belongs to it too, so that the build logic runs
// unchanged against a fake Windows file system in the tests.

#include <QByteArray>
#include <QString>
#include <memory>
#include <optional>

namespace nollex {

struct FoundEntry {
    QString name;           // as stored
    QString alternateName;  // the 8.3 name; empty when the entry has none (always on Linux)
    bool isFolder = false;
    bool isLink = false;   // a symbolic link (the entry itself, not what it points at)
    bool foreign = false;  // owned by another user
};

// An exclusive lock on a file, held until it is destroyed.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    virtual QChar separator() const = 0;
    // True for the first component of an absolute path, which is used as it is
    // ("C:" on Windows, the empty text before the leading "/" here).
    virtual bool isRoot(const QString& prefix) const = 0;
    // The path as the search resolves it (here: absolute, cleaned).
    virtual QString absolutePath(const QString& path) const = 0;

    // The entry of exactly that name (the host never matches a pattern; the
    // fake Windows file system of the tests keeps the system search's "*" and "?").
    virtual std::optional<FoundEntry> findFirst(const QString& path) const = 0;
    virtual bool folderExists(const QString& path) const = 0;
    // Whether two paths name the same entry: the same absolute path (in any letter
    // case where the separator is a backslash), or here also one file reached twice.
    virtual bool sameEntry(const QString& a, const QString& b) const;

    // Nothing when the file cannot be read.
    virtual std::optional<QByteArray> readFile(const QString& path) const = 0;
    // Creates or replaces the file; on failure the error text, naming the file.
    virtual std::optional<QString> writeFile(const QString& path, const QByteArray& bytes) = 0;
    // False when nothing was deleted (a missing file included).
    virtual bool remove(const QString& path) = 0;
    // The lock on path (created when missing, never through a link), or null
    // while someone else holds it. Throws NollexError, naming the file, when it
    // cannot be opened.
    virtual std::unique_ptr<FileLock> tryLock(const QString& path) = 0;
};

// The machine's own file system.
class HostFileSystem : public FileSystem {
public:
    QChar separator() const override { return u'/'; }
    bool isRoot(const QString& prefix) const override { return prefix.isEmpty(); }
    QString absolutePath(const QString& path) const override;
    std::optional<FoundEntry> findFirst(const QString& path) const override;
    bool folderExists(const QString& path) const override;
    bool sameEntry(const QString& a, const QString& b) const override;
    std::optional<QByteArray> readFile(const QString& path) const override;
    std::optional<QString> writeFile(const QString& path, const QByteArray& bytes) override;
    bool remove(const QString& path) override;
    std::unique_ptr<FileLock> tryLock(const QString& path) override;
};

}  // namespace nollex
