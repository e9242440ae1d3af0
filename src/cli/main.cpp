// ks340ctl: the headless command-line tool. Each verb lives in its own file
// and is listed here.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/Verbs.h"

namespace {

struct Verb {
    const char* name;
    const char* summary;
    int (*run)(const std::vector<std::string>& args);
};

const Verb kVerbs[] = {
    {"new", "write a new configuration", ks340::cli::runNew},
    {"convert", "read a setting file and save it again", ks340::cli::runConvert},
    {"check", "check that a setting file loads", ks340::cli::runCheck},
    {"show", "print a readable summary of a setting file", ks340::cli::runShow},
    {"encode", "encode a setting file into an 8192-byte memory image", ks340::cli::runEncode},
    {"decode", "decode a memory image into a setting file", ks340::cli::runDecode},
    {"dump", "show a memory image as the memory map does", ks340::cli::runDump},
    {"ports", "list the serial ports present", ks340::cli::runPorts},
    {"read", "read a radio into a setting file or image", ks340::cli::runRead},
    {"write", "write a setting file or image to a radio", ks340::cli::runWrite},
    {"print", "print reports to a PDF file", ks340::cli::runPrint},
    {"export-csv", "write the channel list to a CSV file", ks340::cli::runExportCsv},
    {"import-csv", "read the channel list from a CSV file", ks340::cli::runImportCsv},
    {"diff", "list the settings two configurations differ in", ks340::cli::runDiff},
    {"keys", "list every setting key with its allowed values", ks340::cli::runKeys},
    {"get", "print settings of a configuration by key", ks340::cli::runGet},
    {"set", "change settings by key and save the result", ks340::cli::runSet},
    {"export-json", "write a whole configuration as JSON, by key", ks340::cli::runExportJson},
    {"import-json", "read a configuration from JSON into a setting file", ks340::cli::runImportJson},
};

void usage(FILE* out) {
    std::fprintf(out, "Usage: ks340ctl VERB [OPTIONS] [ARGS]\n\nVerbs:\n");
    for (const Verb& v : kVerbs) std::fprintf(out, "  %-11s %s\n", v.name, v.summary);
    std::fprintf(out, "\n'ks340ctl VERB --help' describes one verb.\n");
    std::fprintf(out, "'ks340ctl --trace FILE read|write ...' writes every byte of the transfer to FILE.\n");
}

}  // namespace

int main(int argc, char** argv) {
    // Options before the verb: --trace FILE.
    int first = 1;
    while (first < argc &&
           (std::strcmp(argv[first], "--trace") == 0 || std::strncmp(argv[first], "--trace=", 8) == 0)) {
        if (argv[first][7] == '=') {
            ks340::cli::setGlobalTraceFile(argv[first] + 8);
            first += 1;
        } else if (first + 1 < argc) {
            ks340::cli::setGlobalTraceFile(argv[first + 1]);
            first += 2;
        } else {
            std::fprintf(stderr, "ks340ctl: option '--trace' needs a file\n");
            return ks340::cli::kExitUsage;
        }
    }
    if (argc - first < 1) {
        usage(stderr);
        return ks340::cli::kExitUsage;
    }
    const std::string verb = argv[first];
    if (verb == "--help" || verb == "-h" || verb == "help") {
        usage(stdout);
        return 0;
    }
    if (verb == "--version") {
        std::printf("ks340ctl %s\n", KS340_VERSION);
        return 0;
    }
    std::vector<std::string> args(argv + first + 1, argv + argc);
    for (const Verb& v : kVerbs)
        if (verb == v.name) return v.run(args);
    std::fprintf(stderr, "ks340ctl: unknown verb '%s'\n", verb.c_str());
    usage(stderr);
    return ks340::cli::kExitUsage;
}
