#include "platform/ProgramFolders.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace nollex;

namespace {

struct FolderRow {
    const char* name;
    ProgramFolderFacts facts;
    ProgramFolders expected;
    QString journal;
};

const QString kExe = QStringLiteral("/opt/nx/lib/nollex");
const QString kHome = QStringLiteral("/home/u");

ProgramFolderFacts facts(bool marker, bool writable, const QString& config = {}, const QString& cache = {},
                         const QString& state = {})
{
    return {kExe, marker, writable, kHome, config, cache, state};
}

const QString kPortableJournal = QStringLiteral("/opt/nx/lib/nollex/journal/");
const QString kInstalledJournal = QStringLiteral("/home/u/.local/state/nollex/journal/");

const ProgramFolders kPortable(QStringLiteral("/opt/nx/lib/nollex/"));
const ProgramFolders kInstalledDefault(QStringLiteral("/opt/nx/lib/nollex/"), QStringLiteral("/home/u/.config/nollex/"),
                                       QStringLiteral("/home/u/.cache/nollex/"));

}  // namespace

// Guards the mode decision (a writable copy that was installed must not write
// beside itself; an unwritable one must not fail) and the XDG folder rules.
TEST(ProgramFolders, ModeAndWritableFolders)
{
    const FolderRow rows[] = {
        {"portable", facts(false, true), kPortable, kPortableJournal},
        {"marker-writable", facts(true, true), kInstalledDefault, kInstalledJournal},
        {"unwritable", facts(false, false), kInstalledDefault, kInstalledJournal},
        {"marker-unwritable", facts(true, false), kInstalledDefault, kInstalledJournal},
        {"xdg-set", facts(true, false, QStringLiteral("/x/conf"), QStringLiteral("/x/cache/"), QStringLiteral("/x/st")),
         {kExe + u'/', QStringLiteral("/x/conf/nollex/"), QStringLiteral("/x/cache/nollex/")},
         QStringLiteral("/x/st/nollex/journal/")},
        {"xdg-relative-ignored",
         facts(true, false, QStringLiteral("conf"), QStringLiteral("./cache"), QStringLiteral("st")),
         kInstalledDefault, kInstalledJournal},
        {"xdg-ignored-when-portable",
         facts(false, true, QStringLiteral("/x/conf"), QStringLiteral("/x/cache"), QStringLiteral("/x/st")), kPortable,
         kPortableJournal},
    };
    for (const FolderRow& row : rows) {
        const ProgramFolders got = chooseProgramFolders(row.facts);
        EXPECT_EQ(got.install, row.expected.install) << row.name;
        EXPECT_EQ(got.settings, row.expected.settings) << row.name;
        EXPECT_EQ(got.build, row.expected.build) << row.name;
        EXPECT_EQ(got.journal, row.journal) << row.name;
        // A run's reports stay private even for a copy kept in a shared folder.
        EXPECT_TRUE(got.runs.endsWith(QStringLiteral("/nollex/runs/")) && !got.runs.startsWith(kExe)) << row.name;
    }
    EXPECT_EQ(chooseProgramFolders(rows[6].facts).runs, QStringLiteral("/x/cache/nollex/runs/"));
}

// Guards reading the machine: the marker beside the executable and the XDG variables.
TEST(ProgramFolders, HostFactsSeeMarkerAndEnvironment)
{
    test::TempDir dir;
    const QString folder = dir.path().chopped(1);
    qputenv("XDG_CONFIG_HOME", "/x/conf");
    qunsetenv("XDG_CACHE_HOME");
    ProgramFolderFacts got = hostProgramFolderFacts(folder);
    EXPECT_FALSE(got.markerPresent);
    EXPECT_TRUE(got.folderWritable);
    EXPECT_EQ(got.configHome, QStringLiteral("/x/conf"));
    EXPECT_TRUE(got.cacheHome.isEmpty());
    EXPECT_FALSE(got.home.isEmpty());
    qunsetenv("XDG_CONFIG_HOME");

    // Without HOME the home folder is the user's own, never "/".
    const QByteArray home = qgetenv("HOME");
    const passwd* entry = ::getpwuid(::geteuid());
    ASSERT_TRUE(entry);
    for (const bool unset : {true, false}) {
        if (unset)
            qunsetenv("HOME");
        else
            qputenv("HOME", "");
        EXPECT_EQ(hostProgramFolderFacts(folder).home, QString::fromLocal8Bit(entry->pw_dir)) << unset;
    }
    qputenv("HOME", home);

    dir.write(kInstalledMarker, "");
    got = hostProgramFolderFacts(folder);
    EXPECT_TRUE(got.markerPresent);
    EXPECT_EQ(chooseProgramFolders(got).build, QDir::homePath() + QStringLiteral("/.cache/nollex/"));
}

// Guards the per-user folders: every folder it creates is private, the ones that
// exist keep their mode, and a failure names the folder.
TEST(ProgramFolders, PrivateFolderCreation)
{
    test::TempDir dir;
    ASSERT_EQ(::mkdir(dir.file(QStringLiteral("home")).toLocal8Bit().constData(), 0755), 0);
    ::chmod(dir.file(QStringLiteral("home")).toLocal8Bit().constData(), 0755);
    EXPECT_EQ(makePrivateFolder(dir.file(QStringLiteral("home/.config/nollex/"))), std::nullopt);
    auto mode = [&](const char* name) {
        struct stat st {};
        ::stat(dir.file(QLatin1String(name)).toLocal8Bit().constData(), &st);
        return st.st_mode & 07777;
    };
    EXPECT_EQ(mode("home"), 0755u);
    EXPECT_EQ(mode("home/.config"), 0700u);
    EXPECT_EQ(mode("home/.config/nollex"), 0700u);
    // Again: nothing to do, no error.
    EXPECT_EQ(makePrivateFolder(dir.file(QStringLiteral("home/.config/nollex"))), std::nullopt);

    dir.write(QStringLiteral("file"), "x");
    const std::optional<QString> error = makePrivateFolder(dir.file(QStringLiteral("file/nollex")));
    ASSERT_TRUE(error);
    EXPECT_TRUE(error->contains(dir.file(QStringLiteral("file")))) << error->toStdString();
    EXPECT_FALSE(QFileInfo::exists(dir.file(QStringLiteral("file/nollex"))));
}

// Guards trusting a per-user folder as found: only a real folder of this user
// that nobody else may enter passes; the refusal names the folder.
TEST(ProgramFolders, PrivateFolderCheck)
{
    test::TempDir dir;
    const auto folder = [&](const char* name, mode_t mode) {
        const QString path = dir.file(QLatin1String(name));
        ::mkdir(QFile::encodeName(path).constData(), mode);
        ::chmod(QFile::encodeName(path).constData(), mode);
        return path;
    };
    const QString good = folder("good", 0700);
    EXPECT_EQ(checkPrivateFolder(good), std::nullopt);
    EXPECT_EQ(checkPrivateFolder(good + u'/'), std::nullopt);

    QStringList bad{folder("open", 0755), folder("group", 0750), dir.write(QStringLiteral("file"), "x"),
                    dir.file(QStringLiteral("missing"))};
    bad << dir.file(QStringLiteral("link"));
    ASSERT_TRUE(QFile::link(good, bad.last()));
    const auto refused = [](const QString& path) {
        const std::optional<QString> problem = checkPrivateFolder(path);
        ASSERT_TRUE(problem) << path.toStdString();
        EXPECT_TRUE(problem->contains(path)) << problem->toStdString();
    };
    for (const QString& path : bad)
        refused(path);

    const QString theirs = folder("theirs", 0700);
    if (::geteuid() == 65534 || ::chown(QFile::encodeName(theirs).constData(), 65534, 65534) != 0)
        GTEST_SKIP() << "this machine does not let a test give a folder to another user";
    refused(theirs);
}
