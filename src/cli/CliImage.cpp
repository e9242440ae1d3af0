// ks340ctl verbs that work on memory images: encode, decode, dump.
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "image/ConfigurationFile.h"
#include "image/ImageBackup.h"
#include "image/ImageFields.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

namespace ks340::cli {

namespace {

int failure(const std::string& message) {
    std::fprintf(stderr, "ks340ctl: %s\n", message.c_str());
    return kExitFailure;
}

}  // namespace

bool loadImageInput(const std::string& path, MemoryImage& image, std::string& error,
                    std::vector<FileWarning>* warnings) {
    RadioSettings settings = newRadioSettings();
    ConfigurationFile file = openConfigurationFile(path, Expected::Either, settings);
    if (!file.ok) {
        error = file.error;
        return false;
    }
    for (const FileWarning& w : file.warnings) std::fprintf(stderr, "ks340ctl: warning: %s\n", w.text.c_str());
    if (warnings) *warnings = std::move(file.warnings);
    if (file.kind == ConfigurationKind::MemoryImage) {
        image = file.image;
        return true;
    }
    prepareForTransfer(settings);
    encodeMemoryImage(settings, image);
    return true;
}

int runEncode(const Args& args) {
    static const char* usage = "ks340ctl encode IN.ks3 -o OUT.img [--force]";
    const FileArgs a = parseFileArgs(args, true, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads the setting file IN.ks3 into a new configuration, prepares it as\n"
            "before a write to the radio (channel records, tone and decode values)\n"
            "and writes the radio's 8192-byte memory image to OUT.img. A file that\n"
            "loads with warnings (it ends early, or a number field holds no number) is\n"
            "refused unless --force is given; --force also replaces a read-only OUT.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("encode", a.error, usage);
    if (a.positional.size() != 1) return usageError("encode", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("encode", "the output file is missing", usage);
    if (const int s = checkOutput("encode", a.output, OutputFormat::Image, a.force)) return s;

    RadioSettings settings;
    std::vector<FileWarning> warnings;
    std::string error;
    if (!loadConfiguration(a.positional[0], settings, error, &warnings) ||
        !acceptLoadWarnings(a.positional[0], warnings, a.force, error))
        return failure(error);
    prepareForTransfer(settings);
    const MemoryImage image = encodeMemoryImage(settings);
    const std::string_view bytes(reinterpret_cast<const char*>(image.data()), image.size());
    return writeOutput(a.output, bytes, a.force) ? kExitOk : kExitFailure;
}

int runDecode(const Args& args) {
    static const char* usage = "ks340ctl decode IN.img -o OUT.ks3 [--base BASE.ks3] [--force]";
    const FileArgs a = parseFileArgs(args, true, false, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Decodes an 8192-byte memory image (as read from a radio) into a new\n"
            "configuration, rebuilds the channel table from it as after a read, and\n"
            "saves it to OUT.ks3 as the program's Save does. With --base the image is\n"
            "decoded over BASE.ks3 instead, as the desktop program decodes a read over\n"
            "the configuration being edited: the settings the image does not carry\n"
            "(the modem's common sentences, the User tone texts under a built-in tone\n"
            "set, the channel slots past each group's capability) come from BASE.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("decode", a.error, usage);
    if (a.positional.size() != 1) return usageError("decode", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("decode", "the output file is missing", usage);
    if (const int s = checkOutput("decode", a.output, OutputFormat::SettingFile, a.force)) return s;

    MemoryImage image{};
    std::string error;
    if (!readImageFile(a.positional[0], image, error)) return failure(error);
    RadioSettings base;
    if (!loadBaseConfiguration(a.base, base, error)) return failure(error);
    RadioSettings settings = configurationFromImage(image, base);
    prepareForSave(settings);
    return writeSettingsOutput(a.output, settings, a.force) ? kExitOk : kExitFailure;
}

int runDump(const Args& args) {
    static const char* usage = "ks340ctl dump IN.img|IN.ks3 [--fields] [-o OUT.txt [--force]]";
    bool fields = false;
    FileArgs a;
    Options options;
    options.flag({"--fields"}, fields).value({"-o", "--output"}, a.output, &a.hasOutput).flag({"--force"}, a.force);
    if (!options.parse(args)) a.error = options.error();
    a.help = options.help();
    a.positional = options.arguments();
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Shows a memory image as the programming dialog's memory map does: rows\n"
            "000..1FF of sixteen bytes in hexadecimal. A setting file is encoded\n"
            "first, as for a write to the radio (an 8192-byte file is an image,\n"
            "whatever its name). --fields lists instead every field of the image, one\n"
            "a line in address order: its place, the setting key (or the name of a\n"
            "fixed or derived value) and what the image holds there. Output goes to\n"
            "standard output unless -o names a file; a name ending in .ks3, .img,\n"
            ".csv, .json or .pdf is refused.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("dump", a.error, usage);
    if (a.positional.size() != 1) return usageError("dump", "give exactly one input file", usage);
    if (a.hasOutput && a.output.empty()) return usageError("dump", "the output file name is empty", usage);
    if (a.hasOutput)
        if (const int s = checkOutput("dump", a.output, OutputFormat::Text, a.force)) return s;

    MemoryImage image{};
    std::string error;
    if (!loadImageInput(a.positional[0], image, error)) return failure(error);
    const std::string map = fields ? formatImageFields(image) : formatMemoryMap(image);
    if (a.hasOutput) {
        if (!writeOutput(a.output, map, a.force)) return kExitFailure;
    } else if (std::fwrite(map.data(), 1, map.size(), stdout) != map.size() || std::fflush(stdout) != 0) {
        return failure("cannot write to standard output");
    }
    return kExitOk;
}

}  // namespace ks340::cli
