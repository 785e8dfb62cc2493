// The project definition reader (the Project tab's "参照" and the main window's
// Project Open both go through it) over arbitrary bytes. It must not crash or
// hang, must never change the file, must give the same data when read again,
// and what it calls valid must be safe to open: a main file that exists in the
// list, at most MaxProjectEntries entries, and exactly Index of them.

#include "FuzzSupport.h"

#include "project/ProjectFile.h"

using nollex::ProjectFileData;
using nollex::fuzz::ScratchFile;

namespace {

bool same(const ProjectFileData& a, const ProjectFileData& b)
{
    return a.version == b.version && a.count == b.count && a.mainIndex == b.mainIndex &&
           a.valid == b.valid && a.entries == b.entries;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ScratchFile& file = ScratchFile::instance();
    file.write(data, size);
    const ScratchFile::Snapshot before = file.snapshot();
    const QString path = QString::fromStdString(file.path());

    const ProjectFileData d = nollex::readProjectFile(path);
    if (d.valid) {
        FUZZ_CHECK(d.count > 0 && d.count <= nollex::MaxProjectEntries);
        FUZZ_CHECK(d.mainIndex >= 0 && d.mainIndex < d.count);
        FUZZ_CHECK(d.entries.size() == d.count);
        FUZZ_CHECK(!d.mainFile().isEmpty());
        FUZZ_CHECK(d.mainFile() == d.entries.at(d.mainIndex));
        for (const QString& entry : d.entries)
            FUZZ_CHECK(!entry.contains(u'\n'));
    } else {
        FUZZ_CHECK(d.entries.isEmpty());
        FUZZ_CHECK(d.mainFile().isEmpty());
    }
    FUZZ_CHECK(same(nollex::readProjectFile(path), d));
    FUZZ_CHECK(file.snapshot() == before);
    FUZZ_CHECK(file.entriesInFolder() == 1);
    return 0;
}
