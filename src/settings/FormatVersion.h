#pragma once

namespace nollex {

// Version 2.00: written into the settings file and project files and compared
// with the version stored there.
inline constexpr int FormatVersion = 200;

}  // namespace nollex
