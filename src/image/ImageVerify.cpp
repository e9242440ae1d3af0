#include "image/ImageVerify.h"

#include <cstdio>

#include "image/ImageLayout.h"
#include "model/SignallingLists.h"
#include "model/ToneLists.h"

namespace ks340 {

namespace {

namespace L = layout;

std::string hex(int address) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(address));
    return buf;
}

bool within(int a, int start, int length) { return a >= start && a < start + length; }

// Slot n (0-based) of `count` equal slots of `size` bytes from `base`, or -1.
int slotOf(int a, int base, int size, int count) {
    if (a < base || a >= base + size * count) return -1;
    return (a - base) / size;
}

std::string bitmapChannels(int a, int base) {
    const int word = (a - base) / 2;
    return "(channels " + std::to_string(16 * word + 1) + ".." + std::to_string(16 * word + 16) + ")";
}

// The first nine bytes hold switches of several pages.
constexpr const char* kSettingsBlock[kChannelRecordSize] = {
    "Option / Tx Inhibit, Mark Idle, Tx Delay, PTT Timer, Busy Ch. Lock out, Beep",
    "Option / Scan Tx, Scan Type; Header / Model, Radio Band; DTMF",
    "Option / Tx Inhibit; Radio / Priority CH present",
    "Option / Tx Timer",
    "Option / Priority LB Time, Scan Wait Time",
    "Option / Scan Speed Time",
    "Radio / Mode, PowON CH present",
    "Option / Power up Alert, Hook, Tx Inhibit Alert; Radio / Scan CH present",
    "Option / Hook Scan, Open Lock, Auto Mute, Power up; Header / Speaker; Encode / Selcall, ANI",
};

struct Single {
    int address;
    int length;
    const char* name;
};

constexpr Single kSingles[] = {
    {L::kDecodeDuration, 2, "Decode / Decode duration"},
    {L::kDtmf9Present, 1, "DTMF and Selcall Status / DTMF 9 present"},
    {L::kDtmf1to8Present, 2, "DTMF and Selcall Status / DTMF 1..8 present"},
    {L::kDtmfTimes, 1, "DTMF and Selcall Status / DTMF Lead In Time"},
    {L::kDtmfTimes + 1, 1, "DTMF and Selcall Status / DTMF Lead Out Time"},
    {L::kDtmfTimes + 2, 1, "DTMF and Selcall Status / DTMF Mark Time"},
    {L::kDtmfTimes + 3, 1, "DTMF and Selcall Status / DTMF Space Time"},
    {L::kGroupFlags8to13, 2, "Radio / Group flags"},
    {L::kListRecord, 4, "Radio / Channel list record (last, first, priority, power-on)"},
    {L::kPowerOnMask8to13, 2, "Radio / PowON CH marks"},
    {L::kGroupRange, 2, "Radio / Group range"},
    {L::kPriorityMask8to13, 2, "Radio / Priority CH marks"},
    {L::kKey1Short, 1, "Option / Programmable Key 1 Short Key"},
    {L::kKey2Short, 1, "Option / Programmable Key 2 Short Key"},
    {L::kKey3Short, 1, "Option / Programmable Key 3 Short Key"},
    {L::kKey1Long, 1, "Option / Programmable Key 1 Long Key"},
    {L::kKey2Long, 1, "Option / Programmable Key 2 Long Key"},
    {L::kKey3Long, 1, "Option / Programmable Key 3 Long Key"},
    {L::kKeyModes12, 2, "Option / Programmable key modes"},
    {L::kCallPresence, 1, "Encode / Calls present"},
    {L::kModemFlags, 1, "Modem / Baud Rate and flags"},
    {L::kTxOnDelay, 1, "Modem / Tx On Delay"},
    {L::kTxOffDelay, 1, "Modem / Tx Off Delay"},
    {L::kRxOnDelay, 1, "Modem / Rx On Delay"},
    {L::kTxDelayTime, 1, "Modem / Tx Delay Time"},
    {L::kAutoMuteTimer, 1, "Option / Auto Mute Timer"},
    {L::kDecoderToneLength, 2, "Decode / Decoder Tone Length"},
    {L::kCovertRxTime, 1, "Decode / Covert Rx Time"},
    {L::kCovertTxTime, 1, "Decode / Covert Tx Time"},
    {L::kScanGroupMask, 4, "Radio / Scan group marks"},
    {L::kScanMode, 1, "Radio / Mode"},
    {L::kFirstProgrammedGroup, 2, "Radio / First programmed group"},
    {L::kLastScanGroup, 1, "Radio / Last scan group"},
    {L::kToneset, 1, "Tone Sequence / Toneset"},
    {L::kToneLength, 1, "Tone Sequence / Tone Length"},
    {L::kSequenceLengths, 8, "Tone Sequence / Sequence lengths"},
    {L::kCall1, 12, "Encode / Call 1 Sequence"},
    {L::kCall2, 12, "Encode / Call 2 Sequence"},
    {L::kCall3, 12, "Encode / Call 3 Sequence"},
    {L::kAniShort, 4, "Encode / ANI Seq."},
    {L::kMultiAniDelay, 1, "Encode / Multi ANI Delay"},
    {L::kEmgCycleRepeatTime, 1, "Encode / Cycle Repeat Time"},
    {L::kEmgShort, 4, "Encode / EMG Seq."},
    {L::kEmgRepeats, 1, "Encode / Repeats"},
    {L::kEmgTxTimer, 1, "Encode / Tx Timer"},
    {L::kCallFlags, 2, "Encode / Call Check Open, Check Busy and Encode Alert"},
    {L::kAniEmgFlags, 1, "Encode / ANI and emergency flags"},
    {L::kAcknowledge, 12, "Encode / Acknowledge 1..3"},
    {L::kAcknowledgeLengths, 4, "Encode / Acknowledge lengths"},
    {L::kEmgLong, 17, "Encode / EMG Tone"},
    {L::kAniLong, 17, "Encode / ANI Tone"},
    {L::kLightKeyAbsent, 1, "Option / Light key"},
    {L::kLogo, L::kLogoWidth + 1, "Header / LCD Display Logo"},
};

}  // namespace

std::string imageAddressName(int a) {
    if (a < 0 || a >= static_cast<int>(kImageSize)) return "Outside the image (" + hex(a) + ")";
    if (a >= static_cast<int>(kTransferSize)) return "Unused (" + hex(a) + ")";
    if (a <= L::kChannelAreaEnd) {
        if (a < kChannelRecordSize) return kSettingsBlock[a];
        return "Channel " + std::to_string(a / kChannelRecordSize);
    }
    if (int g = slotOf(a, L::kGroupRecords, 5, 13); g >= 0) return "Radio / Group " + std::to_string(g + 1) + " record";
    if (within(a, L::kProgrammedMask, L::kMaskBytes))
        return "Radio / Programmed channel bitmap " + bitmapChannels(a, L::kProgrammedMask);
    if (within(a, L::kScanMask, L::kMaskBytes)) return "Radio / Scan CH bitmap " + bitmapChannels(a, L::kScanMask);
    if (within(a, L::kScanMask2, L::kMaskBytes))
        return "Radio / Second scan CH bitmap " + bitmapChannels(a, L::kScanMask2);
    if (int t = slotOf(a, L::kToneCycles, 2, kToneCount); t >= 0)
        return "Tone Sequence / " + tonelists::toneLabel(t) + " cycle values";
    if (int n = slotOf(a, L::kSequences, 11, 8); n >= 0) return "Tone Sequence / " + tonelists::sequenceLabel(n + 1);
    if (int i = slotOf(a, L::kDtmfCodes, 25, 9); i >= 0)
        return "DTMF and Selcall Status / DTMF " + std::to_string(i + 1);
    if (int i = slotOf(a, L::kDecodeEntriesBase, 20, kDecodeEntries); i >= 0)
        return "Decode / " + signalling::decodeEntryNames()[static_cast<std::size_t>(i)];
    if (int i = slotOf(a, L::kModemTexts, 43, 9); i >= 0) return "Modem / Modem Text " + std::to_string(i + 1);
    if (int i = slotOf(a, L::kStatusTexts, 9, 10); i >= 0) {
        return std::string("DTMF and Selcall Status / Status ") + (i + 1 < 10 ? "0" : "") + std::to_string(i + 1);
    }
    if (int t = slotOf(a, L::kUserTones, 3, kToneCount); t >= 0)
        return "Tone Sequence / " + tonelists::toneLabel(t) + " (User)";
    if (int i = slotOf(a, L::kDtmfDecode, 17, 4); i >= 0)
        return "DTMF and Selcall Status / DTMF Decoding Address " + std::to_string(i + 1);
    if (int k = slotOf(a, L::kLabels, 9, L::kLabelSlots); k >= 0) return "Channel " + std::to_string(k + 1) + " Label";
    for (const Single& s : kSingles)
        if (within(a, s.address, s.length)) return s.name;
    if (a >= L::kKey1Short && a < L::kScanGroupMask) return "Option settings (" + hex(a) + ")";
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
