#include "image/ImageVerify.h"

#include <cstdio>

#include "image/ImageFields.h"

namespace ks340 {

namespace {

std::string hex(int address) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(address));
    return buf;
}

}  // namespace

std::string imageAddressName(int a) {
    if (a < 0 || a >= static_cast<int>(kImageSize)) return "Outside the image (" + hex(a) + ")";
    if (a >= static_cast<int>(kTransferSize)) return "Unused (" + hex(a) + ")";
    std::string name = imageFieldName(a);
    if (!name.empty()) return name;
    return "Unnamed (" + hex(a) + ")";
}

std::vector<ByteMismatch> compareWrittenImage(const MemoryImage& sent, const MemoryImage& readBack) {
    std::vector<ByteMismatch> out;
    for (std::size_t a = 0; a < kTransferSize; ++a)
        if (sent[a] != readBack[a])
            out.push_back({static_cast<int>(a), sent[a], readBack[a], imageAddressName(static_cast<int>(a))});
    return out;
}

std::string formatByteMismatches(const std::vector<ByteMismatch>& mismatches, std::size_t maxLines) {
    std::string out;
    std::size_t shown = 0;
    for (const ByteMismatch& m : mismatches) {
        if (shown == maxLines) {
            out += "... and " + std::to_string(mismatches.size() - shown) + " more\n";
            break;
        }
        char buf[64];
        std::snprintf(buf, sizeof buf, "%s: sent %02X, read %02X (", hex(m.address).c_str(), m.sent, m.readBack);
        out += buf + m.setting + ")\n";
        ++shown;
    }
    return out;
}

}  // namespace ks340
