// Command line of ks340sim.
#pragma once

#include <string>
#include <vector>

#include "sim/RadioSim.h"

namespace ks340::sim {

struct SimOptions {
    RadioConfig radio;
    std::string imagePath;  // --image: raw 8192-byte memory image
    std::string ks3Path;    // --ks3: setting file, encoded at start
    std::string savePath;   // --save: where each completed write goes
    std::string linkPath;   // --link: symlink to the pseudo-terminal
    bool verbose = false;
    bool quiet = false;
    bool help = false;

    // Where a completed write is saved: --save, else the --image file, else nowhere.
    std::string effectiveSavePath() const { return !savePath.empty() ? savePath : imagePath; }
};

struct SimOptionsResult {
    bool ok = false;
    std::string error;
    SimOptions options;
};

// Parses the arguments after the program name.
SimOptionsResult parseSimOptions(const std::vector<std::string>& args);

// The --help text.
std::string simUsage();

}  // namespace ks340::sim
