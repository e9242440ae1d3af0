// ks340sim's main loop: the radio model served on a pseudo-terminal.
#pragma once

#include "sim/SimOptions.h"

namespace ks340::sim {

// Loads the memory, opens the terminal, prints its path on the first line
// of standard output and serves requests until SIGINT, SIGTERM or SIGHUP
// (or a hang-up fault). Returns the process exit status: 0 when stopped,
// 1 when something failed (file, terminal).
int runSimServer(const SimOptions& options);

}  // namespace ks340::sim
