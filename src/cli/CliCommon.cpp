#include "cli/CliCommon.h"

#include <cstdio>

namespace ks340::cli {

FileArgs parseFileArgs(const Args& args, bool takesOutput) {
    FileArgs r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            r.help = true;
        } else if (takesOutput && (a == "-o" || a == "--output")) {
            if (i + 1 >= args.size()) {
                r.error = "option '" + a + "' needs a file name";
                return r;
            }
            if (r.hasOutput) {
                r.error = "only one output file can be given";
                return r;
            }
            r.output = args[++i];
            r.hasOutput = true;
        } else if (takesOutput && a == "--force") {
            r.force = true;
        } else if (takesOutput && a.rfind("--output=", 0) == 0) {
            r.output = a.substr(9);
            r.hasOutput = true;
        } else if (a.size() > 1 && a[0] == '-') {
            r.error = "unknown option '" + a + "'";
            return r;
        } else {
            r.positional.push_back(a);
        }
    }
    return r;
}

int usageError(const char* verb, const std::string& message, const char* usage) {
    std::fprintf(stderr, "ks340ctl %s: %s\nUsage: %s\n", verb, message.c_str(), usage);
    return kExitUsage;
}

}  // namespace ks340::cli
