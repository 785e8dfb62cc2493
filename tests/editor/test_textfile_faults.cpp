#include "editor/TextFile.h"
#include "platform/Errors.h"
#include "support/FileSizeLimit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace nollex;

using nollex::test::FileSizeLimit;

// A write that the disk cuts short must fail and leave the old file whole.
TEST(TextFileFaults, ShortWriteFailsAndKeepsOldFile)
{
    test::TempDir dir;
    const QString path = dir.write(QStringLiteral("a.cpp"), QByteArray("old contents\n"));
    // Both sizes: one that fits the file device's buffer (written at the final
    // flush) and one that does not.
    for (const int size : {8 * 1024, 200 * 1024}) {
        FileSizeLimit limit(1024);
        EXPECT_THROW(writeFileAtomically(path, QByteArray(size, 'x')), NollexError) << size;
    }
    EXPECT_EQ(dir.read(QStringLiteral("a.cpp")), QByteArray("old contents\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
}
