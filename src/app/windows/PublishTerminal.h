#pragma once
#include "app/CommandLine.h"

namespace zp {

// --publish as the windows program runs it (it links Qt Network and the
// keyring; the terminal command hands it over by exec): a core
// application, no display. Returns the exit status.
int runPublishOnTerminal(int argc, char** argv, const CommandLine& command);

} // namespace zp
