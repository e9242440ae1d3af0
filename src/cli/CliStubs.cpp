// Verbs not built yet. Each helper that implements a verb removes its stub here.
#include <cstdio>

#include "cli/Verbs.h"

namespace ks340::cli {

[[maybe_unused]] static int notYet(const char* verb) {
    std::fprintf(stderr, "ks340ctl: '%s' is not available in this build\n", verb);
    return kExitFailure;
}


}  // namespace ks340::cli
