#pragma once
// The values the main window shares with its subsystems. The window owns the one
// instance and hands it on by reference; whoever changes a value changes it here.

#include "options/CompileOptionSet.h"
#include "state/Modes.h"

#include <QRect>
#include <QString>

namespace nollex {

// Where the main window was at the last close. An invalid geometry: none kept
// (the first start), the window keeps its designed size.
struct WindowPlace {
    QRect geometry;  // on the desktop, without the frame; when maximised, the size it comes back to
    bool maximized = false;
    int messageHeight = 0;  // the panes' height the border was dragged to; 0: the layout's own
};

struct WindowState {
    AfterRun RunMode = AfterRun::CloseConsole;
    QString CompilerDirectory;
    QString CompilerName = QStringLiteral("bcc32.exe");
    QString WorkFolder;         // the short form of the last build's folder, "" before one
    QString LastBuildFileName;  // file name part of the page last built
    QString BuiltProgram;       // the __out.exe the last build made; "" when it made none
    bool GuardedRun = true;     // Execute builds with the run-time checks
    bool ReplayMissingTold = false;  // the pane said once that valgrind would add the replay
    bool Completion = true;     // the completion list and the parameters while typing
    int SampleTimeLimit = 2000;      // ms a sample case may run
    bool SampleNumbersWithin = false;  // sample outputs' numbers may differ by 1e-6
    QString ProjectFile;        // kept after the project closes
    int ProjectMainIndex = -1;  // the project's main page; -1 = no project open
    QString SearchText;
    // Where the last file was chosen in the open or save dialog, "" before one:
    // an untitled page's dialogs start there.
    QString LastFolder;
    CompileOptionSet OptionSet;
    // What the configuration dialog's "Compile Option" controls hold between its
    // showings; they are saved as they are, apart from the set.
    OptionControls OptionBoxes = defaultOptionControls();
    WindowPlace Place;  // read by the restore, set by the window before the save
};

}  // namespace nollex
