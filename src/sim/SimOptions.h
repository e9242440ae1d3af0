// Command line of ks340sim.
#pragma once

#include <string>
#include <vector>

#include "sim/RadioSim.h"

namespace ks340::sim {

struct SimOptions {
    RadioConfig radio;
    std::string imagePath;    // --image: raw 8192-byte memory image
    std::string ks3Path;      // --ks3: setting file, encoded at start
    std::string savePath;     // --save: where each completed write goes
    std::string linkPath;     // --link: symlink to the pseudo-terminal
    std::string name;         // how messages name this radio ("radio 2"); empty: a lone radio
    bool swapRadio = false;   // --swap-radio: a fresh radio after each write and its read back
    bool saveToImage = true;  // a completed write goes back into the --image file
    bool verbose = false;
    bool quiet = false;
    bool help = false;

    // Where a completed write is saved: --save, else the --image file, else nowhere.
    std::string effectiveSavePath() const {
        return !savePath.empty() ? savePath : (saveToImage ? imagePath : std::string());
    }
};

struct SimOptionsResult {
    bool ok = false;
    std::string error;
    SimOptions options;
};

// Parses the arguments after the program name.
SimOptionsResult parseSimOptions(const std::vector<std::string>& args);

// A whole command line: one radio, or with --count N that many radios, each
// with its own memory. Options before the first "--radio K" apply to every
// radio; those after it to radio K only (1..N), after the shared ones.
// --link PREFIX names radio k PREFIXk; --save FILE saves radio k to FILE with
// "-k" before its extension; with more than one radio a write is not saved
// back into the --image file.
struct SimCommandLine {
    bool ok = false;
    bool help = false;
    std::string error;
    std::vector<SimOptions> radios;
};
SimCommandLine parseSimCommandLine(const std::vector<std::string>& args);

// "dir/a.img" with number 3 gives "dir/a-3.img"; "a" gives "a-3".
std::string numberedPath(const std::string& path, int number);

// The --help text.
std::string simUsage();

}  // namespace ks340::sim
