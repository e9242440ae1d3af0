#include "cli/CliCommon.h"

#include <cstdio>

#include "cli/CliOptions.h"
#include "model/Defaults.h"

namespace ks340::cli {

FileArgs parseFileArgs(const Args& args, bool takesOutput, bool takesForce, bool takesBase) {
    FileArgs r;
    Options options;
    if (takesOutput) options.value({"-o", "--output"}, r.output, &r.hasOutput);
    if (takesOutput || takesForce) options.flag({"--force"}, r.force);
    if (takesBase) options.value({"--base"}, r.base);
    if (!options.parse(args)) r.error = options.error();
    r.help = options.help();
    r.positional = options.arguments();
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
