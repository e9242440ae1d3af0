// ks340sim: a simulated radio on a pseudo-terminal.
#include <cstdio>
#include <string>
#include <vector>

#include "sim/SimOptions.h"
#include "sim/SimServer.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const ks340::sim::SimCommandLine parsed = ks340::sim::parseSimCommandLine(args);
    if (!parsed.ok) {
        std::fprintf(stderr, "ks340sim: %s\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.help) {
        std::fputs(ks340::sim::simUsage().c_str(), stdout);
        return 0;
    }
    return ks340::sim::runSimFleet(parsed.radios);
}
