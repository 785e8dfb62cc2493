#pragma once
// Execute and Make, re-running the last output and the command prompt. The main
// window hands in what a build reads and writes through BuildContext; everything
// outside (files, processes, dialogs) is reached through the collaborators in it,
// so a test can run a whole build against fakes.

#include <QString>
#include <functional>

namespace nollex {

class Dialogs;
class FileSystem;
class ProcessStarter;
class TMemos;
struct CompileOptionSet;

enum class BuildMode { Make = 0, Execute = 1 };

struct BuildContext {
    TMemos& memos;
    CompileOptionSet& options;  // Make borrows its "-n" text for the length of a build
    QString compilerDirectory;
    QString compilerName;
    int runMode = 0;           // 0: the console closes at the program's end; 1: it stays
    int projectMainIndex = -1;  // -1: no project open
    QString& workFolder;
    QString& lastBuildFileName;
    QString programFolder;  // the system's own folder
    std::function<void(const QString&)> setMessages;  // replaces the message pane's text
    std::function<int(int)> savePage;                 // 0 = Save, 1 = Save As; 1 when written
    // Writes the active page's text to a path as its Save does (encoding kept);
    // throws NollexError naming the file. Empty: UTF-8 of the editor's text through files.
    std::function<void(const QString&)> writeActivePage;
    Dialogs& dialogs;
    ProcessStarter& processes;
    FileSystem& files;
};

// Shown when the batch file cannot be written.
inline const QString kPreBuildError =
    QStringLiteral("コンパイル以前にエラーが生じました。状況をR-MOKUにお知らせください。");

// Saves what a project needs, writes and runs the batch file, shows the compiler's
// output and, for Execute, runs the program in a console window.
void RunBuild(BuildContext& c, BuildMode mode);

// Runs the __out.exe of the last Execute again in its folder.
void RerunOutput(BuildContext& c);

// An interactive command interpreter in a console window.
void OpenDosPrompt(BuildContext& c);

}  // namespace nollex
