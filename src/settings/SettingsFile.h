#pragma once
// Nollex.ini, the settings of the last run. The restore runs once, when the main
// window is first shown; the save runs when it closes. Both read and write the
// window's shared state and its page set; the window shows the restored state
// in its configuration dialog.

#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QString>

namespace nollex {

// The settings file in the system's own folder (which ends in its separator).
QString settingsFilePath(const QString& programFolder);

// A version number as the question shows it: 150 -> "1.5", 101 -> "1.01", 200 -> "2".
QString versionNumberText(int version);

// The question before a file written by an older version is read.
inline const QString OlderSettingsCaption = QStringLiteral("Nollex.ini");
QString olderSettingsQuestion(int storedVersion);

// A damaged Index could ask for millions of pages; more than this many are not
// restored (the bound of the project reader too), and none past the last
// FileName key the file holds.
inline constexpr int MaxRestoredPages = 10000;

// Fills the state and the pages from the file. A missing, empty or damaged file
// is no error: every value that is missing or unusable keeps its default. A page
// file that cannot be loaded is reported, its page stays untitled, and the
// restore goes on. False when the user declined to read an older file.
bool restoreSettings(const QString& path, WindowState& state, WindowHost& window);

// Asked after the save at close failed: Yes closes without the settings.
inline const QString kCloseWithoutSettingsQuestion =
    QStringLiteral("設定を保存できませんでした。設定を保存せずに終了しますか？");

// Writes every key, whatever the file held, replacing the file once. A refused
// write throws NollexError("<path> に書き込めません") and leaves the file as it was.
void saveSettings(const QString& path, const WindowState& state, WindowHost& window);

}  // namespace nollex
