// ks340sim's main loop: the radio model served on a pseudo-terminal.
#pragma once

#include <vector>

#include "sim/SimOptions.h"

namespace ks340::sim {

// Loads the memory, opens the terminal, prints its path on the first line
// of standard output and serves requests until SIGINT, SIGTERM or SIGHUP
// (or a hang-up fault). Returns the process exit status: 0 when stopped,
// 1 when something failed (file, terminal).
int runSimServer(const SimOptions& options);

// Several radios, one process each: the device paths are printed one a
// line in radio order once every radio is ready; SIGINT, SIGTERM or SIGHUP
// stops them all. One radio runs in this process. Returns 0 when stopped or
// when every radio has ended by itself, 1 when one could not be set up.
int runSimFleet(const std::vector<SimOptions>& radios);

}  // namespace ks340::sim
