#include "cli/CliOutput.h"

#include <cctype>
#include <cstdio>

#include "cli/Verbs.h"
#include "fileio/AtomicFile.h"
#include "image/ConfigurationFile.h"
#include "model/SettingFile.h"

namespace ks340::cli {

namespace {

bool endsWithNoCase(const std::string& s, std::string_view suffix) {
    if (s.size() < suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(s[s.size() - suffix.size() + i])) != suffix[i]) return false;
    return true;
}

const char* formatName(OutputFormat f) {
    switch (f) {
        case OutputFormat::SettingFile:
            return "a setting file (.ks3)";
        case OutputFormat::Image:
            return "a memory image (.img)";
        case OutputFormat::Csv:
            return "a CSV file (.csv)";
        case OutputFormat::Json:
            return "a JSON file (.json)";
        case OutputFormat::Pdf:
            return "a PDF file (.pdf)";
        case OutputFormat::Text:
            break;
    }
    return "text";
}

}  // namespace

OutputFormat outputFormatOfName(const std::string& path) {
    if (endsWithNoCase(path, ".ks3")) return OutputFormat::SettingFile;
    if (endsWithNoCase(path, ".img") || endsWithNoCase(path, ".bin")) return OutputFormat::Image;
    if (endsWithNoCase(path, ".csv")) return OutputFormat::Csv;
    if (endsWithNoCase(path, ".json")) return OutputFormat::Json;
    if (endsWithNoCase(path, ".pdf")) return OutputFormat::Pdf;
    return OutputFormat::Text;
}

int checkOutput(const char* verb, const std::string& path, OutputFormat format, bool force) {
    const fileio::OutputTarget target = fileio::resolveOutput(path);
    std::string problem;
    if (target.kind == fileio::OutputKind::Refused) {
        problem = path + ": cannot be written: " + target.error;
    } else if (target.kind != fileio::OutputKind::StandardOutput && target.kind != fileio::OutputKind::PassThrough &&
               outputFormatOfName(path) != format) {
        const OutputFormat named = outputFormatOfName(path);
        problem = path + ": this writes " + formatName(format) +
                  (named == OutputFormat::Text ? std::string(", but the name has another ending")
                                               : std::string(", but the name is that of ") + formatName(named)) +
                  "; nothing was written";
    } else if (target.kind == fileio::OutputKind::RegularFile && target.readOnly && !force) {
        problem = path + ": the file is read-only; --force replaces it";
    }
    if (problem.empty()) return 0;
    std::fprintf(stderr, "ks340ctl %s: %s\n", verb, problem.c_str());
    return kExitUsage;
}

bool writeOutput(const std::string& path, std::string_view bytes, bool force) {
    fileio::WriteOptions options;
    options.force = force;
    const fileio::IoStatus s = fileio::writeFileAtomically(path, bytes, options);
    if (!s.ok) std::fprintf(stderr, "ks340ctl: %s\n", s.error.c_str());
    return s.ok;
}

bool writeSettingsOutput(const std::string& path, const RadioSettings& settings, bool force) {
    return writeOutput(path, formatSettingFile(settings), force);
}

bool checkTraceFile(const std::string& path, std::string& error) {
    const fileio::OutputTarget target = fileio::resolveOutput(path);
    if (target.kind == fileio::OutputKind::Refused) {
        error = path + ": the trace file cannot be written: " + target.error;
        return false;
    }
    if (target.kind == fileio::OutputKind::PassThrough || target.kind == fileio::OutputKind::StandardOutput)
        return true;
    const OutputFormat named = outputFormatOfName(path);
    if (named != OutputFormat::Text) {
        error = path + ": a trace is text, but the name is that of " + std::string(formatName(named)) +
                "; nothing was written";
        return false;
    }
    if (target.kind == fileio::OutputKind::RegularFile) {
        if (const auto kind = configurationKindOf(target.path)) {
            error = path + ": holds " +
                    (*kind == ConfigurationKind::SettingFile ? "a setting file" : "a memory image") +
                    "; a trace is never appended to one; nothing was written";
            return false;
        }
    }
    return true;
}

}  // namespace ks340::cli
