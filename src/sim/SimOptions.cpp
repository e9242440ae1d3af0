#include "sim/SimOptions.h"

#include <charconv>
#include <cstdint>
#include <limits>

namespace ks340::sim {

namespace {

// Decimal, or hexadecimal with 0x.
bool parseInteger(const std::string& text, long long minimum, long long maximum, long long& value) {
    if (text.empty()) return false;
    int base = 10;
    std::size_t skip = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        skip = 2;
    }
    long long v = 0;
    const char* begin = text.data() + skip;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(begin, end, v, base);
    if (ec != std::errc() || ptr != end || v < minimum || v > maximum) return false;
    value = v;
    return true;
}

}  // namespace

SimOptionsResult parseSimOptions(const std::vector<std::string>& args) {
    SimOptionsResult result;
    SimOptions& o = result.options;
    auto fail = [&result](std::string message) {
        result.ok = false;
        result.error = std::move(message);
        return result;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        if (name.rfind("--", 0) == 0) {
            const auto eq = name.find('=');
            if (eq != std::string::npos) {
                value = name.substr(eq + 1);
                name = name.substr(0, eq);
                hasValue = true;
            }
        }
        auto takeValue = [&](std::string& out) {
            if (hasValue) {
                out = value;
                return true;
            }
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        auto noValue = [&]() { return !hasValue; };
        auto integerOption = [&](long long minimum, long long maximum, long long& out) -> bool {
            std::string text;
            if (!takeValue(text)) {
                result.error = name + " needs a value";
                return false;
            }
            if (!parseInteger(text, minimum, maximum, out)) {
                result.error = name + ": '" + text + "' is not a whole number from " + std::to_string(minimum) +
                               " to " + std::to_string(maximum);
                return false;
            }
            return true;
        };
        auto scheduleOption = [&](FaultSchedule& out) -> bool {
            std::string text;
            if (!takeValue(text)) {
                result.error = name + " needs a value";
                return false;
            }
            std::string why;
            auto schedule = FaultSchedule::parse(text, &why);
            if (!schedule) {
                result.error = name + ": '" + text + "': " + why;
                return false;
            }
            out = *schedule;
            return true;
        };
        auto pathOption = [&](std::string& out) -> bool {
            if (!takeValue(out) || out.empty()) {
                result.error = name + " needs a file name";
                return false;
            }
            return true;
        };

        long long n = 0;
        if (name == "-h" || name == "--help") {
            o.help = true;
        } else if (name == "-v" || name == "--verbose") {
            o.verbose = true;
            o.radio.trace = true;
        } else if (name == "-q" || name == "--quiet") {
            o.quiet = true;
        } else if (name == "--image") {
            if (!pathOption(o.imagePath)) return result;
        } else if (name == "--ks3") {
            if (!pathOption(o.ks3Path)) return result;
        } else if (name == "--save") {
            if (!pathOption(o.savePath)) return result;
        } else if (name == "--link") {
            if (!pathOption(o.linkPath)) return result;
        } else if (name == "--swap-radio") {
            if (!noValue()) return fail("--swap-radio takes no value");
            o.swapRadio = true;
        } else if (name == "--baud") {
            if (!integerOption(0, 4000000, n)) return result;
            o.radio.baud = static_cast<int>(n);
        } else if (name == "--reply-delay") {
            if (!integerOption(0, 60000, n)) return result;
            o.radio.replyDelayMs = static_cast<int>(n);
        } else if (name == "--resend-timeout") {
            if (!integerOption(1, 60000, n)) return result;
            o.radio.resendTimeoutMs = static_cast<int>(n);
        } else if (name == "--seed") {
            std::string text;
            if (!takeValue(text)) return fail("--seed needs a value");
            std::uint64_t seed = 0;
            const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), seed);
            if (text.empty() || ec != std::errc() || ptr != text.data() + text.size())
                return fail("--seed: '" + text + "' is not a whole number");
            o.radio.seed = seed;
        } else if (name == "--drop-reply") {
            if (!scheduleOption(o.radio.dropReply)) return result;
        } else if (name == "--corrupt-packet") {
            if (!scheduleOption(o.radio.corruptPacket)) return result;
        } else if (name == "--stray-bytes") {
            if (hasValue) {
                if (!scheduleOption(o.radio.strayBytes)) return result;
            } else {
                // On its own: one stray byte in front of the ready reply.
                o.radio.strayBytes = FaultSchedule::atOrdinals({1});
            }
        } else if (name == "--refuse-requests") {
            if (!integerOption(0, 1000000, n)) return result;
            o.radio.refuseRequests = static_cast<int>(n);
        } else if (name == "--burst") {
            if (!noValue()) return fail("--burst takes no value");
            o.radio.burst = true;
        } else if (name == "--hangup-after") {
            if (!integerOption(0, std::numeric_limits<int>::max(), n)) return result;
            o.radio.hangupAfter = static_cast<int>(n);
        } else if (name == "--wrong-byte") {
            if (!integerOption(0, wire::kImageSize - 1, n)) return result;
            o.radio.wrongByteAddresses.push_back(static_cast<int>(n));
        } else {
            return fail("unknown option '" + args[i] + "' (see --help)");
        }
    }
    if (!o.imagePath.empty() && !o.ks3Path.empty()) return fail("--image and --ks3 cannot be used together");
    result.ok = true;
    return result;
}

std::string numberedPath(const std::string& path, int number) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    const std::size_t at =
        (dot != std::string::npos && (slash == std::string::npos || dot > slash + 1)) ? dot : path.size();
    return path.substr(0, at) + "-" + std::to_string(number) + path.substr(at);
}

SimCommandLine parseSimCommandLine(const std::vector<std::string>& args) {
    SimCommandLine line;
    auto fail = [&line](std::string message) {
        line.ok = false;
        line.error = std::move(message);
        return line;
    };
    // --count and the --radio sections first; everything else is a radio option.
    long long count = 1;
    bool several = false;  // --count given: radios are numbered even when there is one
    std::vector<std::string> shared;
    std::vector<std::pair<long long, std::vector<std::string>>> sections;
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool inlineValue = false;
        if (const auto eq = name.find('='); name.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = name.substr(eq + 1);
            name = name.substr(0, eq);
            inlineValue = true;
        }
        if (name != "--count" && name != "--radio") {
            (sections.empty() ? shared : sections.back().second).push_back(args[i]);
            continue;
        }
        if (!inlineValue) {
            if (i + 1 >= args.size()) return fail(name + " needs a value");
            value = args[++i];
        }
        long long n = 0;
        if (!parseInteger(value, 1, 1000, n))
            return fail(name + ": '" + value + "' is not a whole number from 1 to 1000");
        if (name == "--count") {
            if (!sections.empty()) return fail("--count belongs before the first --radio");
            count = n;
            several = true;
        } else {
            sections.push_back({n, {}});
        }
    }
    for (const auto& [number, section] : sections)
        if (number > count)
            return fail("--radio " + std::to_string(number) + ": there are only " + std::to_string(count) +
                        " radios (--count)");

    for (int k = 1; k <= count; ++k) {
        std::vector<std::string> own;  // this radio's section options, checked on their own
        for (const auto& [number, section] : sections)
            if (number == k) own.insert(own.end(), section.begin(), section.end());
        std::vector<std::string> all = shared;
        all.insert(all.end(), own.begin(), own.end());
        SimOptionsResult r = parseSimOptions(all);
        if (!r.ok) return fail(count > 1 ? "radio " + std::to_string(k) + ": " + r.error : r.error);
        if (r.options.help) line.help = true;
        if (several) {
            const SimOptionsResult mine = parseSimOptions(own);
            SimOptions& o = r.options;
            o.name = "radio " + std::to_string(k);
            if (mine.options.linkPath.empty() && !o.linkPath.empty()) o.linkPath += std::to_string(k);
            if (mine.options.savePath.empty() && !o.savePath.empty()) o.savePath = numberedPath(o.savePath, k);
            if (mine.options.imagePath.empty()) o.saveToImage = false;
        }
        line.radios.push_back(std::move(r.options));
    }
    line.ok = true;
    return line;
}

std::string simUsage() {
    return R"(Usage: ks340sim [OPTIONS]

A simulated KS-340/390 radio on a pseudo-terminal. It prints the terminal's
device path on the first line of standard output, then answers read and
write requests until it is stopped (Ctrl-C or SIGTERM). Point the
programmer at the printed path (or at the --link path).

Memory (8192 bytes; all 0xFF when nothing is loaded):
  --image FILE         load a raw memory image; completed writes are saved
                       back into it unless --save says otherwise
  --ks3 FILE           load a setting file, encoded as for a write
  --save FILE          save the memory after each completed write: as a
                       setting file when FILE ends in .ks3 (decoded as a
                       read from the radio is), else as a raw image
  --link PATH          make PATH a symbolic link to the terminal (removed
                       again on exit)

Several radios:
  --count N            simulate N radios, each on its own terminal with its
                       own memory; the N device paths are printed one a
                       line, radio 1 first. --link PREFIX links radio k as
                       PREFIXk; --save FILE saves radio k as FILE-k (before
                       the extension); a write is not saved back into a
                       shared --image file
  --radio K            the options that follow apply to radio K only
                       (faults, memory, delays), after the shared ones
  --swap-radio         after a write and the read that follows it, a fresh
                       radio takes this one's place: the memory is again as
                       loaded at start (as when radios are changed on the
                       cable one after another)

Line:
  --baud N             pace both directions at N baud, 10 bits a byte
                       (default 19200; 0 = as fast as possible)
  --reply-delay MS     wait MS milliseconds before every reply and read
                       packet (default 0)
  --resend-timeout MS  send an unanswered read packet again after MS
                       milliseconds (default 250)

Faults (counted per transfer: from the first request after the previous
transfer ended; SPEC is a rate such as 0.05 or 5%, drawn from --seed, or
event numbers such as 3 or 1,7,300):
  --seed N             seed of the random faults (default 1)
  --drop-reply SPEC    lose these transmissions of the radio (request
                       replies, block acknowledgements, read packets)
  --corrupt-packet SPEC
                       damage these packets: a read packet goes out with
                       a wrong first or last byte; a written block is
                       taken as damaged and refused
  --stray-bytes[=SPEC] put one stray byte in front of these transmissions
                       (without SPEC: in front of the first reply)
  --refuse-requests N  refuse the first N requests of every transfer
  --burst              send the ready reply and the first read packet in
                       one burst
  --hangup-after N     close the terminal in place of packet N+1 of a
                       transfer (written block or read packet), then exit
  --wrong-byte ADDR    a write stores a wrong byte (inverted) at ADDR
                       (0..8191, decimal or 0x hex); may be repeated

Other:
  -v, --verbose        report every frame on standard error
  -q, --quiet          report nothing but errors
  -h, --help           show this text

Exit status: 0 when stopped by a signal or after --hangup-after (with
several radios: once every radio has ended), 1 when a file or a terminal
could not be set up, 2 for a bad command line.
)";
}

}  // namespace ks340::sim
