// ks340ctl verbs for channel CSV files and comparing configurations:
// export-csv, import-csv, diff. Also the transfer options shared by read and
// write: the image backups and the transfer trace.
#include <QStandardPaths>
#include <QString>

#include <cstdio>
#include <string>

#include "cli/CliCommon.h"
#include "cli/CliOptions.h"
#include "cli/CliOutput.h"
#include "cli/Verbs.h"
#include "formats/ChannelCsv.h"
#include "formats/CsvFile.h"
#include "formats/SettingsDiff.h"
#include "image/ConfigurationFile.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

namespace ks340::cli {

namespace {

std::string globalTraceFile;

struct FormatArgs {
    std::vector<std::string> positional;
    std::string output;
    bool hasOutput = false;
    bool force = false;
    std::string format;
    bool cutLabels = false;
    bool skipUnfit = false;
    bool help = false;
    std::string error;
};

FormatArgs parseArgs(const Args& args, bool takesOutput, bool takesFormat, bool takesCut) {
    FormatArgs r;
    Options options;
    if (takesOutput) options.value({"-o", "--output"}, r.output, &r.hasOutput).flag({"--force"}, r.force);
    if (takesFormat) options.value({"--format"}, r.format);
    if (takesCut) options.flag({"--cut-labels"}, r.cutLabels).flag({"--skip-unfit"}, r.skipUnfit);
    if (!options.parse(args)) r.error = options.error();
    r.help = options.help();
    r.positional = options.arguments();
    return r;
}

}  // namespace

// A setting file as the program's Open reads it, or a memory image decoded
// as a radio read is; the kind is told by the contents.
bool loadAnyConfiguration(const std::string& path, RadioSettings& settings, std::string& error) {
    settings = newRadioSettings();
    const ConfigurationFile file = openConfigurationFile(path, Expected::Either, settings);
    if (!file.ok) {
        error = file.error;
        return false;
    }
    for (const FileWarning& w : file.warnings) std::fprintf(stderr, "ks340ctl: warning: %s\n", w.text.c_str());
    if (file.kind == ConfigurationKind::MemoryImage) settings = configurationFromImage(file.image);
    return true;
}

std::string defaultBackupDirectory() {
    // The same folder the desktop program uses.
    return (QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/KS340/backups"))
        .toStdString();
}

void setGlobalTraceFile(const std::string& path) { globalTraceFile = path; }
const std::string& globalTraceFilePath() { return globalTraceFile; }

int runExportCsv(const Args& args) {
    static const char* usage = "ks340ctl export-csv IN.ks3|IN.img -o OUT.csv [--format native|common] [--force]";
    const FormatArgs a = parseArgs(args, true, true, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Writes every programmed channel of the configuration to a CSV file.\n"
            "--format native (the default): this program's columns, Group,CH,Label,\n"
            "  Rx Freq.,RX Option,Tx Freq.,Tx Option,Scan CH,BandWidth,Tx Power,\n"
            "  Priority CH,PowON CH, with the texts the channel grid shows.\n"
            "--format common: the channel CSV of multi-radio programming tools,\n"
            "  Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,\n"
            "  DtcsPolarity,Mode,TStep,Skip,Power,Comment,RxDtcsCode,CrossMode.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("export-csv", a.error, usage);
    if (a.positional.size() != 1) return usageError("export-csv", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("export-csv", "the output file is missing (-o)", usage);
    const auto format = a.format.empty() ? std::optional(ChannelCsvFormat::Native) : channelCsvFormatFromName(a.format);
    if (!format) return usageError("export-csv", "unknown format '" + a.format + "' (native or common)", usage);
    if (const int s = checkOutput("export-csv", a.output, OutputFormat::Csv, a.force)) return s;
    RadioSettings settings;
    std::string error;
    if (!loadAnyConfiguration(a.positional[0], settings, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    return writeOutput(a.output, exportChannelCsv(settings, *format), a.force) ? kExitOk : kExitFailure;
}

int runImportCsv(const Args& args) {
    static const char* usage =
        "ks340ctl import-csv IN.ks3 CHANNELS.csv -o OUT.ks3 [--format native|common] [--cut-labels] "
        "[--skip-unfit] [--force]";
    const FormatArgs a = parseArgs(args, true, true, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Replaces the channel list of IN.ks3 (or IN.img) with the channels of\n"
            "CHANNELS.csv and saves the result as OUT.ks3. The layout is taken from the\n"
            "header line unless --format names it (native or common; see export-csv).\n"
            "Every row is checked against the band and channel raster of the file's\n"
            "model and band, and labels against the radio's characters and 8-character\n"
            "length (--cut-labels cuts longer labels instead). Any bad row is reported\n"
            "as \"line N, COLUMN: reason\" and nothing is written, unless --skip-unfit\n"
            "is given: then the rows that fit the radio are imported and the others\n"
            "are listed by line and reason.\n"
            "A CSV file of more than 10 MB or 10,000 lines is refused.\n"
            "Exit status 0 when imported, 1 when a row or a file was bad.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("import-csv", a.error, usage);
    if (a.positional.size() != 2) return usageError("import-csv", "give the configuration and the CSV file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("import-csv", "the output file is missing (-o)", usage);
    if (const int s = checkOutput("import-csv", a.output, OutputFormat::SettingFile, a.force)) return s;
    CsvImportOptions options;
    options.cutLongLabels = a.cutLabels;
    options.skipUnfit = a.skipUnfit;
    if (!a.format.empty()) {
        options.format = channelCsvFormatFromName(a.format);
        if (!options.format)
            return usageError("import-csv", "unknown format '" + a.format + "' (native or common)", usage);
    }
    RadioSettings settings;
    std::string error, text;
    if (!loadAnyConfiguration(a.positional[0], settings, error) || !readCsvFile(a.positional[1], text, error)) {
        std::fprintf(stderr, "ks340ctl: %s\n", error.c_str());
        return kExitFailure;
    }
    const CsvImportResult r = importChannelCsv(text, settings, options);
    if (!r.ok) {
        for (const CsvIssue& issue : r.errors)
            std::fprintf(stderr, "%s: %s\n", a.positional[1].c_str(), formatCsvIssue(issue).c_str());
        std::fprintf(stderr, "ks340ctl: %zu error(s); nothing was imported\n", r.errors.size());
        return kExitFailure;
    }
    for (const CsvIssue& note : r.notes)
        std::fprintf(stderr, "%s: %s\n", a.positional[1].c_str(), formatCsvIssue(note).c_str());
    for (const CsvIssue& issue : r.skipped)
        std::fprintf(stderr, "%s: %s (left out)\n", a.positional[1].c_str(), formatCsvIssue(issue).c_str());
    if (r.unfitRows > 0) std::fprintf(stderr, "ks340ctl: %d row(s) left out\n", r.unfitRows);
    prepareForSave(settings);
    if (!writeSettingsOutput(a.output, settings, a.force)) return kExitFailure;
    std::printf("%d channel(s) imported\n", r.channels);
    return kExitOk;
}

int runDiff(const Args& args) {
    static const char* usage = "ks340ctl diff A.ks3|A.img B.ks3|B.img";
    const FormatArgs a = parseArgs(args, false, false, false);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Lists the settings in which two configurations differ, by the names the\n"
            "pages show them under, one a line:\n"
            "  Channel 12 Rx Freq.: 150.00000 -> 150.01250\n"
            "  Option / Beep: Enable -> Disable\n"
            "A file of exactly 8192 bytes is a memory image, whatever its name,\n"
            "decoded as a radio read is; any other file must be a setting file. A\n"
            "setting file against an image is compared as the radio holds it: the\n"
            "setting file is encoded and decoded first, so what an image cannot carry\n"
            "shows no difference.\n"
            "Exit status 0 when they are the same, 1 when they differ or a file\n"
            "cannot be read.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("diff", a.error, usage);
    if (a.positional.size() != 2) return usageError("diff", "give exactly two files", usage);
    // A setting file against an image is compared as the radio holds it.
    RadioSettings settings[2];
    MemoryImage images[2]{};
    bool isImage[2] = {};
    std::string error;
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string& path = a.positional[i];
        settings[i] = newRadioSettings();
        const ConfigurationFile file = openConfigurationFile(path, Expected::Either, settings[i]);
        if (!file.ok) {
            std::fprintf(stderr, "ks340ctl: %s\n", file.error.c_str());
            return kExitFailure;
        }
        for (const FileWarning& w : file.warnings) std::fprintf(stderr, "ks340ctl: warning: %s\n", w.text.c_str());
        isImage[i] = file.kind == ConfigurationKind::MemoryImage;
        if (isImage[i]) images[i] = file.image;
    }
    std::vector<SettingDifference> differences;
    if (isImage[0] && isImage[1])
        differences = diffSettings(configurationFromImage(images[0]), configurationFromImage(images[1]));
    else if (isImage[0] != isImage[1])
        differences = isImage[0] ? diffSettingsWithImage(settings[1], images[0], true)
                                 : diffSettingsWithImage(settings[0], images[1]);
    else
        differences = diffSettings(settings[0], settings[1]);
    for (const SettingDifference& d : differences) std::printf("%s\n", formatSettingDifference(d).c_str());
    return differences.empty() ? kExitOk : kExitFailure;
}

}  // namespace ks340::cli
