#pragma once
// What a main window is made with: the dialogs it asks through, its folders, and what
// the build starts programs, finds files and waits with.

#include "platform/ProgramFolders.h"

#include <memory>

namespace nollex {

class Dialogs;
class FileSystem;
class ProcessStarter;
class Waiting;

struct TForm1Deps {
    Dialogs& dialogs;
    // The installation folder, where the stand-ins and the manual are read and
    // started from, and the folders written to; a portable copy has one for all.
    ProgramFolders folders;
    // What the build starts programs and finds files with; null = the machine's own.
    std::shared_ptr<ProcessStarter> processes = nullptr;
    std::shared_ptr<FileSystem> files = nullptr;
    // How a build waits; null = the small window of the toolkit after two seconds.
    std::shared_ptr<Waiting> waiting = nullptr;
};

}  // namespace nollex
