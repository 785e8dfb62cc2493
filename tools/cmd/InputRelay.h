#pragma once
// The bytes a watched program read, kept for its replay (see cmd/WatchedRun.h). On a
// terminal the program runs on a pseudo-terminal of its own, between which and the
// terminal this process relays, since only so are the keys typed to it seen.
#include "common/Process.h"

#include <string>
#include <string_view>
#include <termios.h>

namespace nollex::cmd {

// What a program reading a terminal in canonical mode is given of the keys typed:
// whole lines, erase, word erase and kill applied, CR read as LF as the mode says;
// the end-of-input key ends the input (as the replay's pipe will) and so do the
// interrupt and quit keys, which end the program. A line not finished was not read.
std::string CookedInput(std::string_view typed, const termios& mode);

// Runs the program on a pseudo-terminal relayed to this process's terminal (its
// standard input), as RunAndWait runs it, keeping what it read up to limit bytes.
// *whole becomes false when the keeping fails: past the limit, or keys typed while
// the program read them one by one (not in canonical mode).
tools::Outcome RunOnRelay(const tools::Launch& launch, std::string& kept, std::size_t limit, bool* whole);

}  // namespace nollex::cmd
