#include "JournalFolder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace nollex {

namespace {

const QString kLockName = QStringLiteral("lock");
const QString kEntrySuffix = QStringLiteral(".entry");
const QString kEntryPrefix = QStringLiteral("page-");

QString withSeparator(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

std::unique_ptr<QLockFile> takeLock(const QString& folder, int waitMs)
{
    auto lock = std::make_unique<QLockFile>(folder + kLockName);
    // A holder that ended leaves a lock naming a process that is gone: Qt takes
    // it as stale at once, whatever its age.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(waitMs))
        return nullptr;
    return lock;
}

}  // namespace

JournalFolder::JournalFolder(QString path, std::unique_ptr<QLockFile> lock)
    : path_(std::move(path)), lock_(std::move(lock))
{
}

JournalFolder::~JournalFolder() = default;

QString JournalFolder::entryName(int id)
{
    return kEntryPrefix + QString::number(id) + kEntrySuffix;
}

std::unique_ptr<JournalFolder> JournalFolder::create(const QString& root, QString* error)
{
    static int made = 0;
    const QString name = QStringLiteral("%1-%2-%3")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QDateTime::currentMSecsSinceEpoch())
                             .arg(++made);
    const QString folder = withSeparator(root) + name + u'/';
    if (::mkdir(QFile::encodeName(folder).constData(), 0700) != 0) {
        *error = QStringLiteral("フォルダ \"%1\" を作成できません（%2）")
                     .arg(folder, QString::fromLocal8Bit(std::strerror(errno)));
        return nullptr;
    }
    // Another window starting may be looking into the new folder for a moment.
    std::unique_ptr<QLockFile> lock = takeLock(folder, 1000);
    if (!lock) {
        *error = QStringLiteral("フォルダ \"%1\" をロックできません").arg(folder);
        QDir(folder).removeRecursively();
        return nullptr;
    }
    return std::unique_ptr<JournalFolder>(new JournalFolder(folder, std::move(lock)));
}

std::unique_ptr<JournalFolder> JournalFolder::claimAbandoned(const QString& root)
{
    const QDir dir(root);
    // Oldest first: their names start with the holder's process and time.
    const QStringList names = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time | QDir::Reversed);
    for (const QString& name : names) {
        const QString folder = withSeparator(dir.absoluteFilePath(name));
        // Without a lock file and empty, it is a window's that is still taking it.
        const bool locked = QFileInfo::exists(folder + kLockName);
        std::unique_ptr<QLockFile> lock = takeLock(folder, 0);
        if (!lock)
            continue;  // a window that is running
        std::unique_ptr<JournalFolder> claimed(new JournalFolder(folder, std::move(lock)));
        if (!claimed->entryIds().isEmpty())
            return claimed;
        if (locked)
            claimed->remove();
    }
    return nullptr;
}

QList<int> JournalFolder::entryIdsIn(const QString& folder)
{
    QList<int> ids;
    for (const QString& name : QDir(folder).entryList({kEntryPrefix + u'*' + kEntrySuffix}, QDir::Files)) {
        bool ok = false;
        const int id = name.mid(kEntryPrefix.size()).chopped(kEntrySuffix.size()).toInt(&ok);
        if (ok)
            ids << id;
    }
    return ids;
}

JournalFolder::Contents JournalFolder::read() const
{
    Contents contents;
    for (const int id : entryIds()) {
        QFile file(path_ + entryName(id));
        const bool opened = file.open(QIODevice::ReadOnly);
        const auto decoded = decodeJournalEntry(opened ? file.readAll() : QByteArray());
        if (const auto* entry = std::get_if<JournalEntry>(&decoded)) {
            contents.entries << *entry;
            continue;
        }
        const JournalProblem problem = std::get<JournalProblem>(decoded);
        contents.newer = contents.newer || problem == JournalProblem::Newer;
        contents.problems << QStringLiteral("ジャーナルの \"%1\" は復元しませんでした（%2）")
                                 .arg(file.fileName(), opened ? journalProblemText(problem)
                                                              : QStringLiteral("読めません"));
    }
    std::stable_sort(contents.entries.begin(), contents.entries.end(),
                     [](const JournalEntry& a, const JournalEntry& b) { return a.pageIndex < b.pageIndex; });
    return contents;
}

void JournalFolder::remove()
{
    for (const int id : entryIds())
        QFile::remove(path_ + entryName(id));
    lock_.reset();
    QDir(path_).removeRecursively();
    // Only an empty root goes: other windows' folders stay.
    const QString root = QDir::cleanPath(path_ + QStringLiteral(".."));
    QDir().rmdir(root);
}

}  // namespace nollex
