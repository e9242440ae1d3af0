// Verbs not built yet. Each helper that implements a verb removes its stub here.
#include <cstdio>

#include "cli/Verbs.h"

namespace ks340::cli {

static int notYet(const char* verb) {
    std::fprintf(stderr, "ks340ctl: '%s' is not available in this build\n", verb);
    return kExitFailure;
}

int runEncode(const Args&) { return notYet("encode"); }
int runDecode(const Args&) { return notYet("decode"); }
int runDump(const Args&) { return notYet("dump"); }

}  // namespace ks340::cli
