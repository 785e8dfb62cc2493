#pragma once
// Where a copy of Nollex reads and writes. A portable copy (the build folder, or a
// folder the user unpacked it into) keeps everything beside its executable. An
// installed copy reads its stand-ins, manual and default compiler folder from the
// installation folder but never writes there: Nollex.ini goes to the user's
// configuration folder and the build's own files to the user's cache folder.

#include <QString>
#include <optional>
#include <utility>

namespace nollex {

// Written into the installation folder by the install step; its presence makes a
// copy installed even when the folder is writable (an install run as root).
inline const QString kInstalledMarker = QStringLiteral("installed");

struct ProgramFolders {
    ProgramFolders() = default;
    // A portable copy: one folder for everything.
    ProgramFolders(const QString& folder)
        : install(folder), settings(folder), build(folder), runs(folder + QStringLiteral("runs/")),
          journal(folder + QStringLiteral("journal/"))
    {
    }
    ProgramFolders(QString install, QString settings, QString build)
        : install(std::move(install)), settings(std::move(settings)), build(std::move(build)),
          runs(this->build + QStringLiteral("runs/")), journal(this->settings + QStringLiteral("journal/"))
    {
    }

    // Each with its final separator.
    QString install;   // the executable, the stand-ins, the manual; only read and started
    QString settings;  // Nollex.ini
    QString build;     // __out.bat, message.txt, an untitled page's __out.*
    // A run's record of its end and its checkers' reports: always private to the
    // user (the per-user cache), as the reports show what the program held.
    QString runs;
    // The journal of unsaved pages: beside Nollex.ini in a portable copy, in the
    // user's state folder in an installed one. It holds what the user typed.
    QString journal;

    // Whether folder is one of an installed copy's per-user folders, which must be
    // private (checkPrivateFolder); a portable copy's folder is the user's choice.
    bool isPerUser(const QString& folder) const { return folder != install; }
};

// What decides the folders; the host fills it in, a test states it.
struct ProgramFolderFacts {
    QString executableFolder;  // absolute, with or without its final separator
    bool markerPresent = false;
    bool folderWritable = true;
    QString home;           // $HOME, else the password database's home folder
    QString configHome;     // $XDG_CONFIG_HOME, empty when unset
    QString cacheHome;      // $XDG_CACHE_HOME, empty when unset
    QString stateHome;      // $XDG_STATE_HOME, empty when unset
};

// The replay's build of this window's guarded build (see explain/Replay.h), in the
// runs folder, never the page's: one per window, replaced at each build.
QString replayProgram(const ProgramFolders& folders);
// The valgrind the replay runs: NOLLEX_VALGRIND when set (tests point it elsewhere),
// else the one on the PATH.
QString valgrindProgram();

ProgramFolders chooseProgramFolders(const ProgramFolderFacts& facts);

// The facts of this machine for an executable's folder.
ProgramFolderFacts hostProgramFolderFacts(const QString& executableFolder);

// Creates the folder and any missing parent, each new one private to the user
// (0700); folders that exist are left as they are. The error text, naming the
// folder, when it cannot be created.
std::optional<QString> makePrivateFolder(const QString& path);

// Whether a per-user folder may be trusted: a real folder (not a link), owned by
// this user, with mode 0700. The error text, naming the folder, when it is not.
std::optional<QString> checkPrivateFolder(const QString& path);

}  // namespace nollex
