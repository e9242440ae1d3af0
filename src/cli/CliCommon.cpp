#include "cli/CliCommon.h"

#include <cstdio>

#include "model/Defaults.h"

namespace ks340::cli {

FileArgs parseFileArgs(const Args& args, bool takesOutput, bool takesForce, bool takesBase) {
    FileArgs r;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            r.help = true;
        } else if (takesForce && a == "--force") {
            r.force = true;
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
        } else if (takesBase && a == "--base") {
            if (i + 1 >= args.size()) {
                r.error = "option '" + a + "' needs a file name";
                return r;
            }
            r.base = args[++i];
        } else if (takesBase && a.rfind("--base=", 0) == 0) {
            r.base = a.substr(7);
        } else if (a.size() > 1 && a[0] == '-') {
            r.error = "unknown option '" + a + "'";
            return r;
        } else {
            r.positional.push_back(a);
        }
    }
    return r;
}

bool acceptLoadWarnings(const std::string& path, const std::vector<FileWarning>& warnings, bool force,
                        std::string& error) {
    if (warnings.empty() || force) return true;
    error = path + ": the file loaded with " + std::to_string(warnings.size()) +
            (warnings.size() == 1 ? " warning" : " warnings") + " (above); --force uses it as it loaded";
    return false;
}

bool loadBaseConfiguration(const std::string& basePath, RadioSettings& settings, std::string& error) {
    if (basePath.empty()) {
        settings = newRadioSettings();
        return true;
    }
    return loadConfiguration(basePath, settings, error);
}

int usageError(const char* verb, const std::string& message, const char* usage) {
    std::fprintf(stderr, "ks340ctl %s: %s\nUsage: %s\n", verb, message.c_str(), usage);
    return kExitUsage;
}

}  // namespace ks340::cli
