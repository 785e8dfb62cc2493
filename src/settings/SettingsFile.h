#pragma once
// Nollex.ini, the settings of the last run. The restore runs once, when the main
// window is first shown; the save runs when it closes. Both reach the main
// window's state, the configuration dialog's controls and the window's own
// operations through SettingsHost, which the main window fills with references
// to what it owns, so a test drives them on a real window.

#include "platform/Dialogs.h"

#include <QString>
#include <functional>

namespace nollex {

class FileSystem;
class TForm2;
class TMemos;
struct CompileOptionSet;

struct SettingsHost {
    TMemos& memos;
    CompileOptionSet& options;
    int& runMode;
    QString& compilerDirectory;
    QString& compilerName;
    QString& projectFile;
    const int& projectMainIndex;  // -1 = no project open
    FontChoice& fontDialog;       // the main window's font dialog state
    TForm2& dialog;               // its controls show the restored values
    Dialogs& dialogs;
    const FileSystem& files;      // the existence test for the pages' files
    std::function<void(const QString&)> openProject;
    std::function<void(const QString&)> setMainCaption;  // "Nollex < " + x + " >"
};

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

// Fills the window from the file. A missing, empty or damaged file is no error:
// every value that is missing or unusable keeps its default. A page file that
// cannot be loaded is reported, its page stays untitled, and the restore goes on.
void restoreSettings(const QString& path, SettingsHost& host);

// Asked after the save at close failed: Yes closes without the settings.
inline const QString kCloseWithoutSettingsQuestion =
    QStringLiteral("設定を保存できませんでした。設定を保存せずに終了しますか？");

// Writes every key, whatever the file held, replacing the file once. A refused
// write throws NollexError("<path> に書き込めません") and leaves the file as it was.
void saveSettings(const QString& path, SettingsHost& host);

}  // namespace nollex
