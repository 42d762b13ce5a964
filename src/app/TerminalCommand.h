#pragma once
#include "app/CommandLine.h"

namespace zp {

// Runs a terminal command (anything but the windows and --pdf) as the
// program does: a core application, no window system, the system's date
// order and today, the user's field labels, the computer's facts for --info.
// Returns the exit status.
int runOnTerminal(int argc, char** argv, const CommandLine& command);

} // namespace zp
