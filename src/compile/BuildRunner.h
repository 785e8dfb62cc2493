#pragma once
// Execute and Make, re-running the last output and the command prompt, on the
// main window's shared state. Everything outside (files, processes, dialogs, the
// message pane) is reached through WindowHost, so a test can run a whole build
// against fakes.

#include "state/WindowHost.h"
#include "state/WindowState.h"

#include <QString>

namespace nollex {

// Shown when the batch file cannot be written.
inline const QString kPreBuildError =
    QStringLiteral("コンパイル以前にエラーが生じました。状況をR-MOKUにお知らせください。");

// Saves what a project needs, writes and runs the batch file, shows the compiler's
// output and, for Execute, runs the program in a console window.
void RunBuild(WindowState& state, WindowHost& window, BuildMode mode);

// Runs the __out.exe of the last Execute again in its folder.
void RerunOutput(const WindowState& state, WindowHost& window);

// An interactive command interpreter in a console window.
void OpenDosPrompt(WindowHost& window);

}  // namespace nollex
