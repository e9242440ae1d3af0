// ks340ctl verbs that work on memory images: encode, decode, dump.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/CliCommon.h"
#include "cli/Verbs.h"
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

bool isSettingFileName(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return ext == ".ks3";
}

// Reads a memory image file: exactly 8192 bytes.
bool readImage(const std::string& path, MemoryImage& image, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": cannot open (" + std::strerror(errno) + ")";
        return false;
    }
    std::vector<char> bytes;
    bytes.reserve(kImageSize + 1);
    char buf[4096];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) {
        bytes.insert(bytes.end(), buf, buf + in.gcount());
        if (bytes.size() > kImageSize) break;
    }
    if (in.bad()) {
        error = path + ": read error";
        return false;
    }
    if (bytes.size() != kImageSize) {
        error = path + ": not a memory image (" +
                (bytes.size() > kImageSize ? std::string("more than 8192") : std::to_string(bytes.size())) +
                " bytes; an image has exactly 8192)";
        return false;
    }
    for (std::size_t i = 0; i < kImageSize; ++i) image[i] = static_cast<std::uint8_t>(bytes[i]);
    return true;
}

// Writes through a temporary file so that a failed write leaves an
// existing file as it was.
bool writeFile(const std::string& path, const void* data, std::size_t size, std::string& error) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) {
            error = path + ": cannot write (" + std::strerror(errno) + ")";
            return false;
        }
        out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            error = path + ": write error";
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = path + ": cannot replace (" + std::strerror(errno) + ")";
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

// A setting file read as the program's Open does, prepared for a transfer
// and encoded.
bool encodeSettingFile(const std::string& path, MemoryImage& image, bool force, std::string& error) {
    RadioSettings settings;
    std::vector<FileWarning> warnings;
    if (!loadConfiguration(path, settings, error, &warnings) || !acceptLoadWarnings(path, warnings, force, error))
        return false;
    prepareForTransfer(settings);
    encodeMemoryImage(settings, image);
    return true;
}

}  // namespace

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
            "refused unless --force is given.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("encode", a.error, usage);
    if (a.positional.size() != 1) return usageError("encode", "give exactly one input file", usage);
    if (!a.hasOutput || a.output.empty()) return usageError("encode", "the output file is missing", usage);

    MemoryImage image{};
    std::string error;
    if (!encodeSettingFile(a.positional[0], image, a.force, error)) return failure(error);
    if (!writeFile(a.output, image.data(), image.size(), error)) return failure(error);
    return kExitOk;
}

int runDecode(const Args& args) {
    static const char* usage = "ks340ctl decode IN.img -o OUT.ks3 [--base BASE.ks3]";
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

    MemoryImage image{};
    std::string error;
    if (!readImage(a.positional[0], image, error)) return failure(error);
    RadioSettings base;
    if (!loadBaseConfiguration(a.base, base, error)) return failure(error);
    RadioSettings settings = configurationFromImage(image, base);
    prepareForSave(settings);
    const FileResult r = writeSettingFile(a.output, settings);
    if (!r.ok) return failure(r.error);
    return kExitOk;
}

int runDump(const Args& args) {
    static const char* usage = "ks340ctl dump IN.img|IN.ks3 [-o OUT.txt]";
    const FileArgs a = parseFileArgs(args, true);
    if (a.help) {
        std::printf(
            "Usage: %s\n\n"
            "Shows a memory image as the programming dialog's memory map does: rows\n"
            "000..1FF of sixteen bytes in hexadecimal. A setting file (.ks3) is\n"
            "encoded first, as for a write to the radio. Output goes to standard\n"
            "output unless -o names a file.\n",
            usage);
        return kExitOk;
    }
    if (!a.error.empty()) return usageError("dump", a.error, usage);
    if (a.positional.size() != 1) return usageError("dump", "give exactly one input file", usage);
    if (a.hasOutput && a.output.empty()) return usageError("dump", "the output file name is empty", usage);

    const std::string& in = a.positional[0];
    MemoryImage image{};
    std::string error;
    const bool ok = isSettingFileName(in) ? encodeSettingFile(in, image, true, error) : readImage(in, image, error);
    if (!ok) return failure(error);
    const std::string map = formatMemoryMap(image);
    if (a.hasOutput) {
        if (!writeFile(a.output, map.data(), map.size(), error)) return failure(error);
    } else if (std::fwrite(map.data(), 1, map.size(), stdout) != map.size() || std::fflush(stdout) != 0) {
        return failure("cannot write to standard output");
    }
    return kExitOk;
}

}  // namespace ks340::cli
