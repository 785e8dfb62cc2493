#pragma once
// A Windows file system and process starter in memory, for running the build
// logic on Windows paths (backslashes, drives, 8.3 names) on any machine.

#include "platform/FileSystem.h"
#include "platform/Processes.h"

#include <QList>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <functional>

namespace nollex::test {

class FakeWindowsFileSystem : public FileSystem {
public:
    // Adds a folder and every folder above it; alternate = its 8.3 name, if any.
    void addFolder(const QString& path, const QString& alternate = {})
    {
        addEntry(path, alternate, true);
    }
    void addFile(const QString& path, const QByteArray& bytes = {})
    {
        addEntry(path, {}, false);
        files_[key(path)] = bytes;
    }
    void setReadOnly(const QString& path, bool readOnly = true)
    {
        if (readOnly)
            readOnly_.insert(key(path));
        else
            readOnly_.remove(key(path));
    }
    // What the search tells of an entry: a link, another user's file; and a
    // file that cannot be deleted.
    void setLink(const QString& path) { entries_[key(path)].found.isLink = true; }
    void setForeign(const QString& path) { entries_[key(path)].found.foreign = true; }
    void setUndeletable(const QString& path) { undeletable_.insert(key(path)); }
    QSet<QString> locks;  // the keys of the files locked, by the build or another window
    bool hasFile(const QString& path) const { return files_.contains(key(path)); }
    QByteArray file(const QString& path) const { return files_.value(key(path)); }
    QStringList removed;  // every path remove() was called with, in order
    QStringList written;  // every path written, in order

    QChar separator() const override { return u'\\'; }
    bool isRoot(const QString& prefix) const override { return prefix.endsWith(u':'); }
    QString absolutePath(const QString& path) const override { return path; }

    std::optional<FoundEntry> findFirst(const QString& path) const override
    {
        const qsizetype cut = path.lastIndexOf(u'\\');
        const QString last = path.mid(cut + 1);
        if (!last.contains(u'*') && !last.contains(u'?')) {
            const auto it = entries_.find(key(path));
            if (it == entries_.end())
                return std::nullopt;
            return it->found;
        }
        const QString folder = key(path.left(cut));
        const QRegularExpression match(QRegularExpression::wildcardToRegularExpression(last),
                                       QRegularExpression::CaseInsensitiveOption);
        for (const Entry& e : entries_) {
            if (e.folder == folder && match.match(e.found.name).hasMatch())
                return e.found;
        }
        return std::nullopt;
    }
    bool folderExists(const QString& path) const override
    {
        QString p = key(path);
        if (p.endsWith(u'\\'))
            p.chop(1);
        if (p.size() == 2 && p.endsWith(u':'))
            return true;  // a drive
        const auto it = entries_.find(p);
        return it != entries_.end() && it->found.isFolder;
    }
    std::optional<QByteArray> readFile(const QString& path) const override
    {
        if (!files_.contains(key(path)))
            return std::nullopt;
        return files_.value(key(path));
    }
    std::optional<QString> writeFile(const QString& path, const QByteArray& bytes) override
    {
        const qsizetype cut = path.lastIndexOf(u'\\');
        if (readOnly_.contains(key(path)) || (cut >= 0 && !folderExists(path.left(cut))) || path.isEmpty())
            return QStringLiteral("cannot write \"%1\"").arg(path);
        written << path;
        addFile(path, bytes);
        return std::nullopt;
    }
    bool remove(const QString& path) override
    {
        removed << path;
        if (!files_.contains(key(path)) || undeletable_.contains(key(path)))
            return false;
        files_.remove(key(path));
        entries_.remove(key(path));
        return true;
    }

    std::unique_ptr<FileLock> tryLock(const QString& path) override
    {
        struct Lock : FileLock {
            QSet<QString>& locks;
            QString key;
            Lock(QSet<QString>& l, QString k) : locks(l), key(std::move(k)) { locks.insert(key); }
            ~Lock() override { locks.remove(key); }
        };
        if (locks.contains(key(path)))
            return nullptr;
        return std::make_unique<Lock>(locks, key(path));
    }

private:
    struct Entry {
        QString folder;  // key of the containing folder
        FoundEntry found;
    };
    // The path in upper case with every 8.3 component replaced by its long name,
    // as the system search accepts either.
    QString key(const QString& path) const
    {
        const QStringList parts = path.toUpper().split(u'\\');
        QString k = parts.value(0);
        for (qsizetype i = 1; i < parts.size(); ++i) {
            QString part = parts[i];
            for (const Entry& e : entries_) {
                if (e.folder == k && !e.found.alternateName.isEmpty() &&
                    e.found.alternateName.toUpper() == part) {
                    part = e.found.name.toUpper();
                    break;
                }
            }
            k += u'\\' + part;
        }
        return k;
    }
    void addEntry(const QString& path, const QString& alternate, bool isFolder)
    {
        const qsizetype cut = path.lastIndexOf(u'\\');
        if (cut < 0 || path.left(cut).endsWith(u':')) {
            if (cut < 0)
                return;
        } else if (!entries_.contains(key(path.left(cut)))) {
            addEntry(path.left(cut), {}, true);
        }
        entries_[key(path)] = Entry{key(path.left(cut)), FoundEntry{path.mid(cut + 1), alternate, isFolder}};
    }

    QMap<QString, Entry> entries_;
    QMap<QString, QByteArray> files_;
    QSet<QString> readOnly_;
    QSet<QString> undeletable_;
};

class FakeProcesses : public ProcessStarter {
public:
    QList<StartRequest> started;
    int id = 2;
    // Called for each start; returns the error number to report (0 = started).
    std::function<int(const StartRequest&)> onStart;
    // How a program waited for through run() ends.
    int exitCode = 0;
    bool stopped = false;

    int start(const StartRequest& request) override
    {
        started << request;
        return onStart ? onStart(request) : 0;
    }
    RunResult run(const StartRequest& request, Waiting&) override
    {
        const int error = start(request);
        return {error, error == 0 ? exitCode : 0, error == 0 && stopped};
    }
    int platformId() const override { return id; }
};

// C:\Program Files (short name PROGRA~1) with Nollex in Tools, and the compiler
// in C:\Borland\bcc55\Bin.
inline FakeWindowsFileSystem windowsDisk()
{
    FakeWindowsFileSystem fs;
    fs.addFolder(QStringLiteral("C:\\Program Files"), QStringLiteral("PROGRA~1"));
    fs.addFolder(QStringLiteral("C:\\Program Files\\Tools"));
    fs.addFile(QStringLiteral("C:\\Program Files\\Tools\\Nollex.exe"));
    fs.addFolder(QStringLiteral("C:\\Borland\\bcc55\\Bin"));
    fs.addFile(QStringLiteral("C:\\Borland\\bcc55\\Bin\\bcc32.exe"));
    return fs;
}

}  // namespace nollex::test
