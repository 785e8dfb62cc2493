#include "editor/TextFile.h"
#include "platform/Errors.h"
#include "support/TempDir.h"

#include <csignal>
#include <sys/resource.h>

#include <gtest/gtest.h>

using namespace nollex;

namespace {
// Limits the size of any file this process writes, the way a full disk would stop it.
struct FileSizeLimit {
    rlimit old{};
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit lim = old;
        lim.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &lim);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &old); }
};
}  // namespace

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
