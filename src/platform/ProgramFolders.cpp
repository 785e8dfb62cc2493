#include "ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nollex {

namespace {

QString withSeparator(const QString& folder)
{
    return folder.endsWith(u'/') ? folder : folder + u'/';
}

// An XDG base folder: the variable when it holds an absolute path (a relative one
// is to be ignored), else the default under the home folder.
QString baseFolder(const QString& variable, const QString& home, const QString& fallback)
{
    if (QDir::isAbsolutePath(variable))
        return withSeparator(QDir::cleanPath(variable));
    return withSeparator(QDir::cleanPath(home + u'/' + fallback));
}

// $HOME, or the password database's entry when it is unset or empty (a "/"
// home would put the per-user folders at the top of the file system).
QString homeFolder()
{
    QString home = qEnvironmentVariable("HOME");
    if (!home.isEmpty())
        return home;
    if (const passwd* entry = ::getpwuid(::geteuid()); entry && entry->pw_dir)
        return QFile::decodeName(entry->pw_dir);
    return QString();
}

}  // namespace

QString valgrindProgram()
{
    return qEnvironmentVariable("NOLLEX_VALGRIND", QStringLiteral("valgrind"));
}

QString replayProgram(const ProgramFolders& folders)
{
    return folders.runs + QStringLiteral("replay-%1.exe").arg(QCoreApplication::applicationPid());
}

ProgramFolders chooseProgramFolders(const ProgramFolderFacts& facts)
{
    const QString install = withSeparator(facts.executableFolder);
    const QString cache = baseFolder(facts.cacheHome, facts.home, QStringLiteral(".cache")) + QStringLiteral("nollex/");
    // A folder the user cannot write would leave the window unable to save its
    // settings and close; such a copy behaves as installed instead.
    ProgramFolders folders(install);
    if (facts.markerPresent || !facts.folderWritable) {
        folders = ProgramFolders(
            install, baseFolder(facts.configHome, facts.home, QStringLiteral(".config")) + QStringLiteral("nollex/"),
            cache);
        folders.journal =
            baseFolder(facts.stateHome, facts.home, QStringLiteral(".local/state")) + QStringLiteral("nollex/journal/");
    }
    folders.runs = cache + QStringLiteral("runs/");
    return folders;
}

ProgramFolderFacts hostProgramFolderFacts(const QString& executableFolder)
{
    ProgramFolderFacts facts;
    facts.executableFolder = executableFolder;
    facts.markerPresent = QFileInfo::exists(withSeparator(executableFolder) + kInstalledMarker);
    facts.folderWritable = ::access(QFile::encodeName(executableFolder).constData(), W_OK) == 0;
    facts.home = homeFolder();
    facts.configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    facts.cacheHome = qEnvironmentVariable("XDG_CACHE_HOME");
    facts.stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    return facts;
}

std::optional<QString> makePrivateFolder(const QString& path)
{
    const QString clean = QDir::cleanPath(QDir(path).absolutePath());
    // Each missing component from the top down, so that a new parent (a fresh
    // ~/.config) is private too.
    QString prefix;
    for (const QString& part : clean.split(u'/', Qt::SkipEmptyParts)) {
        prefix += u'/' + part;
        const QByteArray name = QFile::encodeName(prefix);
        if (::mkdir(name.constData(), 0700) == 0 || errno == EEXIST) {
            if (QFileInfo(prefix).isDir())
                continue;
            errno = ENOTDIR;
        }
        return QStringLiteral("フォルダ \"%1\" を作成できません（%2）")
            .arg(prefix, QString::fromLocal8Bit(std::strerror(errno)));
    }
    return std::nullopt;
}


std::optional<QString> checkPrivateFolder(const QString& path)
{
    QString clean = QDir::cleanPath(QDir(path).absolutePath());
    struct stat st {};
    QString problem;
    if (::lstat(QFile::encodeName(clean).constData(), &st) != 0)
        problem = QString::fromLocal8Bit(std::strerror(errno));
    else if (S_ISLNK(st.st_mode))
        problem = QStringLiteral("リンクです");
    else if (!S_ISDIR(st.st_mode))
        problem = QStringLiteral("フォルダではありません");
    else if (st.st_uid != ::geteuid())
        problem = QStringLiteral("ほかのユーザーのフォルダです");
    else if ((st.st_mode & 07777) != 0700)
        problem = QStringLiteral("アクセス権が 0700 ではありません（%1）").arg(st.st_mode & 07777, 4, 8, QChar(u'0'));
    if (problem.isEmpty())
        return std::nullopt;
    return QStringLiteral("フォルダ \"%1\" は使えません（%2）。自分だけが使えるフォルダ（アクセス権 0700）にしてください")
        .arg(clean, problem);
}

}  // namespace nollex
