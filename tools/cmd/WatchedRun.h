#pragma once
// The end of a run that Nollex watches: Nollex names the stem of the run's files in
// NOLLEX_RUN. When the program ends, a record of how it ended goes to STEM.end for
// the window; a fault the run-time checks reported (STEM.asan.PID, STEM.ubsan.PID)
// or a signal is explained on the console by the explaining tool beside this program,
// which also replays the run (NOLLEX_REPLAY names the replay's build) before the
// record is written: the window shows the replay's report with the run's end.
#include <string>

namespace nollex::cmd {

struct RunEnd {
    int pid = 0;
    int waitStatus = 0;
    long long ms = 0;   // how long it ran
    bool held = false;  // the console waits for Enter under the explanation it shows
};

// "pid=…", "exit=…" or "signal=…", "ms=…", a line each; then "held=1" when held.
std::string RunRecordText(const RunEnd& end);

// The replay of a guarded run (see explain/Replay.h): its unchecked build and the
// bytes typed to the program. None when the program is empty.
struct Replay {
    std::string program;
    std::string input;
};

// Writes the record (whole or not at all) and shows the explanation, if any.
// With waitToClose, an explanation shown on a terminal is left there until Enter,
// and the record says the console is held.
void FinishWatchedRun(const std::string& stem, const RunEnd& end, bool waitToClose, const Replay& replay = {});

}  // namespace nollex::cmd
