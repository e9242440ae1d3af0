// ks340ctl verbs that work on setting files: new, convert, check, show.
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/SettingsRegistry.h"
#include "model/Signalling.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/Windows1252.h"

namespace ks340::cli {

namespace {

// A text field for the terminal: control characters show as '?', the
// rest is converted from Windows-1252.
std::string toUtf8(std::string_view bytes) {
    std::string clean(bytes);
    for (char& c : clean)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
    return cp1252ToUtf8(clean);
}

// printf into a std::string of any length.
[[gnu::format(printf, 1, 2)]] std::string format(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list copy;
    va_copy(copy, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, copy);
    va_end(copy);
    std::string out(n > 0 ? static_cast<std::size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(out.data(), out.size() + 1, fmt, args);
    va_end(args);
    return out;
}

// Pads UTF-8 text to `width` characters.
std::string padded(const std::string& utf8, std::size_t width) {
    std::size_t chars = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    std::string out = utf8;
    if (chars < width) out.append(width - chars, ' ');
    return out;
}

}  // namespace

// Warnings go to stderr; the load still counts.
bool loadConfiguration(const std::string& path, RadioSettings& settings, std::string& error,
                       std::vector<FileWarning>* warnings) {
    settings = newRadioSettings();
    FileResult r = openSettingFile(path, settings);
    if (!r.ok) {
        error = r.error;
        return false;
    }
    for (const FileWarning& w : r.warnings) std::fprintf(stderr, "ks340ctl: warning: %s\n", w.text.c_str());
    if (warnings) *warnings = std::move(r.warnings);
    return true;
}

int runNew(const Args& args) {
    static const char* usage =
        "ks340ctl new [--model MODEL] [--band BAND] [--speaker SPEAKER] [--logo TEXT] -o FILE.ks3 [--force]";
    std::string model, band, speaker, logo;
    bool hasModel = false, hasBand = false, hasSpeaker = false, hasLogo = false;
    FileArgs a;
    Options options;
    options.value({"--model"}, model, &hasModel)
        .value({"--band"}, band, &hasBand)
        .value({"--speaker"}, speaker, &hasSpeaker)
        .value({"--logo"}, logo, &hasLogo)
        .value({"-o", "--output"}, a.output, &a.hasOutput)
        .flag({"--force"}, a.force);
    if (!options.parse(args)) a.error = options.error();
    a.help = options.help();
    a.positional = options.arguments();
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Writes a new configuration (the state after New: all 208 channels empty,\n"
            "every page at its defaults) to FILE.ks3. An existing file is replaced\n"
            "(a read-only one only with --force).\n"
            "The header is KS-340 Series, UHF2, Internal speaker and logo \"Vandrell\"\n"
            "unless the options name others, in the header's own words:\n"
            "  --model    \"KS-340 Series\" or \"KS-390 Series\" (or KS-340, KS-390)\n"
            "  --band     the model's band: \"UHF2 (440 ~ 480Mhz)\", ... (or UHF2, VHF2)\n"
            "  --speaker  Internal or External\n"
            "  --logo     the LCD display logo, at most 9 characters\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("new", a.error, usage);
    if (!a.positional.empty()) return usageError("new", "unexpected argument '" + a.positional[0] + "'", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("new", "the output file is missing", usage);
    if (const int s = checkOutput("new", a.output, OutputFormat::SettingFile, a.force)) return s;

    RadioSettings settings = newRadioSettings();
    // The model first: choosing it resets the band.
    const std::pair<const char*, const std::string*> header[] = {{"header.model", hasModel ? &model : nullptr},
                                                                 {"header.radioBand", hasBand ? &band : nullptr},
                                                                 {"header.speaker", hasSpeaker ? &speaker : nullptr},
                                                                 {"header.lcdDisplayLogo", hasLogo ? &logo : nullptr}};
    for (const auto& [key, value] : header) {
        std::string error;
        if (value && !applySetting(settings, key, *value, &error)) {
            std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
            return kExitFailure;
        }
    }
    prepareForSave(settings);
    return writeSettingsOutput(a.output, settings, a.force) ? kExitOk : kExitFailure;
}

int runConvert(const Args& args) {
    static const char* usage = "ks340ctl convert IN.ks3 -o OUT.ks3 [--force]";
    const FileArgs a = parseFileArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads IN.ks3 into a new configuration and saves it to OUT.ks3 as the\n"
            "program's Save does. With the \"User\" tone set each tone frequency is\n"
            "taken from its user tone text. IN and OUT may be the same file.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("convert", a.error, usage);
    if (a.positional.size() != 1) return usageError("convert", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("convert", "the output file is missing", usage);
    if (const int s = checkOutput("convert", a.output, OutputFormat::SettingFile, a.force)) return s;

    RadioSettings settings;
    std::string error;
    if (!loadConfiguration(a.positional[0], settings, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    prepareForSave(settings);
    return writeSettingsOutput(a.output, settings, a.force) ? kExitOk : kExitFailure;
}

int runCheck(const Args& args) {
    static const char* usage = "ks340ctl check FILE.ks3";
    const FileArgs a = parseFileArgs(args, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Reads FILE.ks3. Exit status 0 when it loads cleanly; 1 with a one-line\n"
            "error naming the file and the line when it does not load, and 1 with one\n"
            "warning per line when it loads with warnings (the file ends early, or a\n"
            "number field holds no number and was read as 0).\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("check", a.error, usage);
    if (a.positional.size() != 1) return usageError("check", "give exactly one file", usage);

    RadioSettings settings;
    std::string error;
    std::vector<FileWarning> warnings;
    if (!loadConfiguration(a.positional[0], settings, error, &warnings)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    if (!warnings.empty()) return kExitFailure;
    std::printf("%s: ok\n", a.positional[0].c_str());
    return kExitOk;
}

int runShow(const Args& args) {
    static const char* usage = "ks340ctl show FILE.ks3";
    const FileArgs a = parseFileArgs(args, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Prints a summary of FILE.ks3: model, band, speaker, display logo and\n"
            "the programmed channels with their squelch settings.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("show", a.error, usage);
    if (a.positional.size() != 1) return usageError("show", "give exactly one file", usage);

    RadioSettings s;
    std::string error;
    if (!loadConfiguration(a.positional[0], s, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }

    const HeaderSettings& h = s.header;
    const ChannelTable& t = s.channelTable;
    std::printf("Model:     %s\n", std::string(modelName(h.model)).c_str());
    std::printf("Band:      %s\n", std::string(bandName(h.model, h.radioBand)).c_str());
    std::printf("Speaker:   %s\n", std::string(speakerName(h.speaker)).c_str());
    std::printf("Logo:      %s\n", toUtf8(h.lcdDisplayLogo).c_str());
    std::printf("Scan mode: %s\n", t.scanMode == 1 ? "Group Scan Mode" : "All Channel Scan Mode");

    // All-channel mode uses slot 0 only; group mode uses groups 1..13.
    const int firstSlot = t.scanMode == 1 ? 1 : 0;
    const int lastSlot = t.scanMode == 1 ? kGroupSlots - 1 : 0;
    int programmed = 0;
    std::string table;
    for (int g = firstSlot; g <= lastSlot; ++g) {
        const ChannelGroup& group = t.groups[static_cast<std::size_t>(g)];
        const int capability = std::min(std::max(group.capability, 0), kChannelCapacity);
        for (int c = 1; c <= capability; ++c) {
            const ChannelEntry& e = group.channels[static_cast<std::size_t>(c)];
            if (!e.isProgrammed()) continue;
            ++programmed;
            table += format("%-5s %3d  %s  %-10s %-10s %-16s %-16s %-2s %-4s %-4s %-4s %s\n",
                            g == 0 ? "-" : std::to_string(g).c_str(), c, padded(toUtf8(e.label), 8).c_str(),
                            padded(toUtf8(e.rxFrequency), 10).c_str(), padded(toUtf8(e.txFrequency), 10).c_str(),
                            toneCodeText(e.rxSquelch, e.rxInverseDcs).c_str(),
                            toneCodeText(e.txSquelch, e.txInverseDcs).c_str(), e.bandwidth ? "S" : "N",
                            e.txPower ? "High" : "Low", e.scanChannel ? "ON" : "", e.priorityChannel ? "ON" : "",
                            e.powerOnChannel ? "ON" : "");
        }
    }
    std::printf("Channels:  %d programmed\n", programmed);
    if (programmed > 0) {
        std::printf("\n%-5s %3s  %-8s  %-10s %-10s %-16s %-16s %-2s %-4s %-4s %-4s %s\n", "Group", "CH", "Label",
                    "Rx MHz", "Tx MHz", "Rx Squelch", "Tx Squelch", "BW", "Pwr", "Scan", "Pri", "PowOn");
        std::fputs(table.c_str(), stdout);
    }
    return kExitOk;
}

}  // namespace ks340::cli
