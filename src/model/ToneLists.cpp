#include "model/ToneLists.h"

#include "model/Signalling.h"

namespace ks340::tonelists {

char toneDigit(int tone) {
    if (tone < 0 || tone >= kToneCount) return '?';
    return tone < 10 ? static_cast<char>('0' + tone) : static_cast<char>('A' + tone - 10);
}

std::string toneLabel(int tone) { return std::string("Tone ") + toneDigit(tone); }

std::string sequenceLabel(int n) { return "Sequence " + std::to_string(n); }

std::string_view toneSetName(int toneset) {
    if (!isValidToneSet(toneset)) return {};
    return ToneSetTable[static_cast<std::size_t>(toneset)].name;
}

bool sequenceWithinLimits(std::string_view sequence) {
    int s = 0;
    int k = 0;
    for (char c : sequence) {
        if (c == 'S' || c == 's') ++s;
        if (c == 'K' || c == 'k') ++k;
    }
    return s <= kMaxSPerSequence && k <= kMaxKPerSequence;
}

}  // namespace ks340::tonelists
