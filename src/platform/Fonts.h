#pragma once

namespace nollex {

// Maps the Japanese Windows font names the program uses to fonts this machine
// has, so that captions and pages never show boxes.
void installFontSubstitutes();

}  // namespace nollex
