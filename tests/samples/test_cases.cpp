// The cases of a page's test folder: found in natural order with or without their
// expected output, and added without ever replacing a file.
#include "samples/SampleCases.h"
#include "support/TempDir.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

#include <gtest/gtest.h>

using namespace nollex;
using nollex::test::TempDir;

// Numbers in names compare as numbers (sample-2 before sample-10); files that are
// no case's input are left out; a missing folder has no cases.
TEST(SampleCases, FindsInNaturalOrder)
{
    TempDir dir;
    const QString test = dir.file(QStringLiteral("test"));
    EXPECT_TRUE(findCases(test).isEmpty());
    QDir().mkpath(test + QStringLiteral("/folder.in"));
    for (const char* name : {"sample-10.in", "sample-10.out", "sample-2.in", "sample-2.out", "sample-1.in",
                             "b.in", "a2b.in", "a10a.in", "stray.out", "notes.txt", "sample-3.in~"})
        dir.write(QStringLiteral("test/") + QLatin1String(name), "1\n");
    QFile::link(test + QStringLiteral("/sample-2.in"), test + QStringLiteral("/sample-20.in"));

    QStringList names, outputs;
    for (const CaseFiles& c : findCases(test)) {
        names << c.name;
        outputs << QFileInfo(c.outputPath).fileName();
        EXPECT_EQ(c.inputPath, dir.file(QStringLiteral("test/") + c.name + QStringLiteral(".in")));
    }
    EXPECT_EQ(names, QStringList({"a2b", "a10a", "b", "sample-1", "sample-2", "sample-10", "sample-20"}));
    EXPECT_EQ(outputs, QStringList({"", "", "", "", "sample-2.out", "sample-10.out", ""}));

    EXPECT_TRUE(naturalLess(QStringLiteral("x9"), QStringLiteral("x10")));
    EXPECT_FALSE(naturalLess(QStringLiteral("x10"), QStringLiteral("x9")));
    EXPECT_TRUE(naturalLess(QStringLiteral("x99999999999999999999"), QStringLiteral("x100000000000000000000")));
}

// The next name is the first free number, whichever of the pair holds it; a pair
// is written as UTF-8 with LF line ends, in a folder made for it.
TEST(SampleCases, AddsTheNextPair)
{
    TempDir dir;
    const QString test = dir.file(QStringLiteral("test"));
    EXPECT_EQ(nextSampleName(test), QStringLiteral("sample-1"));
    const AddedSample first = addSample(test, QStringLiteral("3 4\r\n5\r6"), QStringLiteral("答え\n"));
    EXPECT_EQ(first.name, QStringLiteral("sample-1"));
    EXPECT_EQ(first.error, QString());
    EXPECT_EQ(dir.read(QStringLiteral("test/sample-1.in")), QByteArray("3 4\n5\n6\n"));
    EXPECT_EQ(dir.read(QStringLiteral("test/sample-1.out")), QByteArray("答え\n"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(test).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0755u & ~[] { const mode_t m = umask(0); umask(m); return m; }());

    // sample-2 is taken by its .out alone, sample-3 by a link to nowhere.
    dir.write(QStringLiteral("test/sample-2.out"), "kept");
    QFile::link(dir.file(QStringLiteral("nowhere")), test + QStringLiteral("/sample-3.in"));
    EXPECT_EQ(nextSampleName(test), QStringLiteral("sample-4"));
    EXPECT_EQ(addSample(test, QString(), QString()).name, QStringLiteral("sample-4"));
    EXPECT_EQ(dir.read(QStringLiteral("test/sample-2.out")), QByteArray("kept"));
    EXPECT_FALSE(QFile::exists(dir.file(QStringLiteral("nowhere"))));
    EXPECT_EQ(dir.read(QStringLiteral("test/sample-4.in")), QByteArray());
    EXPECT_EQ(nextSampleName(test), QStringLiteral("sample-5"));
}

// A folder that cannot be made is an error naming it, and nothing is written.
TEST(SampleCases, AddFailsNamingTheFolder)
{
    TempDir dir;
    dir.write(QStringLiteral("page.c"), "int main(){}\n");
    const QString test = dir.file(QStringLiteral("page.c/test"));
    const AddedSample added = addSample(test, QStringLiteral("1"), QStringLiteral("1"));
    EXPECT_TRUE(added.name.isEmpty());
    EXPECT_TRUE(added.error.contains(test)) << added.error.toStdString();
}
