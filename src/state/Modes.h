#pragma once
// The modes the window's commands run in. Where a mode is stored (Nollex.ini's
// close_or_not), its number is the stored value.

namespace nollex {

enum class SaveMode { Save = 0, SaveAs = 1 };

// Find asks for the search text; the other two search again from beside the caret.
enum class FindDirection { Ask = 0, Down = 1, Up = -1 };

// SampleRun builds as Execute does and runs the page's sample cases instead of a console;
// Debug builds as Execute does, for the debugger (line information, no optimisation,
// no run-time checks), and runs the program under it.
enum class BuildMode { Make = 0, Execute = 1, SampleRun = 2, Debug = 3 };

// What the console window does when the built program ends.
enum class AfterRun { CloseConsole = 0, WaitForExit = 1 };

}  // namespace nollex
