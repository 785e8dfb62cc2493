#include "platform/ProgramFolders.h"
#include "support/TempDir.h"

#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace nollex;

namespace {

struct FolderRow {
    const char* name;
    ProgramFolderFacts facts;
    ProgramFolders expected;
};

const QString kExe = QStringLiteral("/opt/nx/lib/nollex");
const QString kHome = QStringLiteral("/home/u");

ProgramFolderFacts facts(bool marker, bool writable, const QString& config = {}, const QString& cache = {})
{
    return {kExe, marker, writable, kHome, config, cache};
}

const ProgramFolders kPortable(QStringLiteral("/opt/nx/lib/nollex/"));
const ProgramFolders kInstalledDefault(QStringLiteral("/opt/nx/lib/nollex/"), QStringLiteral("/home/u/.config/nollex/"),
                                       QStringLiteral("/home/u/.cache/nollex/"));

}  // namespace

// Guards the mode decision (a writable copy that was installed must not write
// beside itself; an unwritable one must not fail) and the XDG folder rules.
TEST(ProgramFolders, ModeAndWritableFolders)
{
    const FolderRow rows[] = {
        {"portable", facts(false, true), kPortable},
        {"marker-writable", facts(true, true), kInstalledDefault},
        {"unwritable", facts(false, false), kInstalledDefault},
        {"marker-unwritable", facts(true, false), kInstalledDefault},
        {"xdg-set", facts(true, false, QStringLiteral("/x/conf"), QStringLiteral("/x/cache/")),
         {kExe + u'/', QStringLiteral("/x/conf/nollex/"), QStringLiteral("/x/cache/nollex/")}},
        {"xdg-relative-ignored", facts(true, false, QStringLiteral("conf"), QStringLiteral("./cache")),
         kInstalledDefault},
        {"xdg-ignored-when-portable", facts(false, true, QStringLiteral("/x/conf"), QStringLiteral("/x/cache")),
         kPortable},
    };
    for (const FolderRow& row : rows) {
        const ProgramFolders got = chooseProgramFolders(row.facts);
        EXPECT_EQ(got.install, row.expected.install) << row.name;
        EXPECT_EQ(got.settings, row.expected.settings) << row.name;
        EXPECT_EQ(got.build, row.expected.build) << row.name;
    }
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
