#pragma once
// The project definition file (.prj): section "System" holds Version, Index (the
// number of files, despite its name) and MainIndex (position of the main file,
// -1 when none was selected); section "Project" holds file0, file1, ... with the
// full paths in the order the user added them.
//
// Both readers (the Project tab's "参照" and OpenProject) read the same data and
// differ only in what they do with an old version: the tab refuses it, the main
// window asks. They ask through Dialogs with the texts below.

#include "settings/FormatVersion.h"

#include <QString>
#include <QStringList>

namespace nollex {

inline const QString ProjectCaption = QStringLiteral("Nollex Project");
inline const QString ProjectTooOldText =
    QStringLiteral("プロジェクト定義ファイルのバージョンが古いので中止します");
inline const QString ProjectTooOldQuestion =
    QStringLiteral("プロジェクト定義ファイルのバージョンが古いですが続行しますか？");
inline const QString ProjectRejectedText =
    QStringLiteral("プロジェクトファイルが異常ですので中止します");
inline const QString ProjectNoMainFileText = QStringLiteral("メインファイルを指定してください");

// A larger "Index" is rejected as damaged: no project has that many files, and
// reading (and opening) that many entries would never end.
inline constexpr int MaxProjectEntries = 10000;

struct ProjectFileData {
    int version = 0;     // "Version"; 0 when missing, unparsable, or no file at all
    int count = 0;       // "Index"
    int mainIndex = -1;  // "MainIndex"
    // 0 <= mainIndex < count <= MaxProjectEntries and the main entry is not empty.
    bool valid = false;
    // Positions 0 .. count-1 (an absent entry is the empty text); filled only when
    // valid. Further "file" keys in the file are not part of the project.
    QStringList entries;

    // Below FormatVersion: the tab refuses the file, the main window asks.
    bool versionTooOld() const { return version < FormatVersion; }
    QString mainFile() const { return valid ? entries.at(mainIndex) : QString(); }
};

// Reading never fails and never changes the file: a missing or damaged file
// comes back as version 0 and not valid.
ProjectFileData readProjectFile(const QString& path);

// Writes Version 200, Index, MainIndex (-1 = no selection) and file0 .. fileN-1,
// updating an existing file in place: its other keys, surplus "file" keys of a
// longer earlier list included, stay. Throws NollexError("<path> に書き込めません").
void writeProjectFile(const QString& path, const QStringList& entries, int mainIndex);

}  // namespace nollex
