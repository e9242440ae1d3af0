// Verbs not built yet. Each helper that implements a verb removes its stub here.
#include <cstdio>

#include "cli/Verbs.h"

namespace ks340::cli {

static int notYet(const char* verb) {
    std::fprintf(stderr, "ks340ctl: '%s' is not available in this build\n", verb);
    return kExitFailure;
}

int runNew(const Args&) { return notYet("new"); }
int runConvert(const Args&) { return notYet("convert"); }
int runCheck(const Args&) { return notYet("check"); }
int runShow(const Args&) { return notYet("show"); }
int runEncode(const Args&) { return notYet("encode"); }
int runDecode(const Args&) { return notYet("decode"); }
int runDump(const Args&) { return notYet("dump"); }
int runPorts(const Args&) { return notYet("ports"); }
int runRead(const Args&) { return notYet("read"); }
int runWrite(const Args&) { return notYet("write"); }
int runPrint(const Args&) { return notYet("print"); }

}  // namespace ks340::cli
