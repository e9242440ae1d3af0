// The complete editable configuration of one radio.
//
// Plain structures of 32-bit integers and 8-bit strings. Text fields hold
// bytes exactly as they go to the radio and the setting file; the desktop
// program shows them as Windows-1252. Most integers are zero-based positions
// in the fixed choice lists of the page that edits them.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace ks340 {

inline constexpr int kGroupSlots = 14;     // slot 0 = all-channel pool, 1..13 = groups
inline constexpr int kChannelSlots = 209;  // slot 0 unused, channels 1..208
inline constexpr int kChannelCapacity = 208;
inline constexpr int kToneCount = 15;     // tones 0..9, A..E
inline constexpr int kSequenceSlots = 9;  // slot 0 unused, sequences 1..8
inline constexpr int kDecodeEntries = 8;

struct HeaderSettings {
    int model = 0;                            // 0 "KS-340 Series", 1 "KS-390 Series"
    int radioBand = 0;                        // 0 UHF2, 1 VHF2
    int speaker = 0;                          // 0 "Internal", 1 "External"
    std::string lcdDisplayLogo = "Vandrell";  // at most 9 characters

    bool operator==(const HeaderSettings&) const = default;
};

struct ChannelEntry {
    int inUse = 0;
    std::string label;        // at most 8 characters
    std::string rxFrequency;  // MHz "%.5f"; empty = channel not programmed
    int rxCodeN = 0;
    int rxCodeA = 0;
    std::string txFrequency;  // MHz "%.5f"; empty = none
    int txCodeN = 0;
    int txCodeA = 0;
    int channelSpare1 = 0;
    int channelSpare2 = 0;
    int rxInverseDcs = 0;
    int rxSquelch = 0;  // ToneCode
    int channelSpare3 = 0;
    int channelSpare4 = 0;
    int txInverseDcs = 0;
    int txSquelch = 0;  // ToneCode
    int bandwidth = 0;  // 1 "S", 0 "N"
    int txPower = 0;    // 1 "High", 0 "Low"
    int scanChannel = 0;
    int priorityChannel = 0;
    int powerOnChannel = 0;
    int rxStepCode = 0;
    int txStepCode = 0;

    bool isProgrammed() const { return !rxFrequency.empty(); }
    bool operator==(const ChannelEntry&) const = default;
};

struct ChannelGroup {
    int enabled = 0;
    int hasChannels = 0;
    int groupSpare = 0;
    int firstChannel = 0;
    int lastChannel = 0;
    int priorityChannel = 0;
    int powerOnChannel = 0;
    int usedChannels = 0;  // derived
    int capability = 0;
    int channelEnd = 0;
    std::array<ChannelEntry, kChannelSlots> channels{};

    bool operator==(const ChannelGroup&) const = default;
};

inline constexpr int kChannelRecordSize = 9;
using ChannelRecordBytes = std::array<std::uint8_t, kChannelRecordSize>;

// Channel records and bitmaps rebuilt before every programming run
// (never saved). Filled by prepareChannelImage.
struct ChannelImagePreparation {
    // Nine-byte radio records of channels 1..208; record 0 stays all zero.
    std::array<ChannelRecordBytes, kChannelSlots> channelImage{};
    std::array<std::uint8_t, 26> programmedMask{};
    std::array<std::uint8_t, 26> scanMask{};
    std::array<std::uint8_t, 26> scanMask2{};
    std::array<std::uint8_t, 2> scanGroupMask{};

    // Rebuilt from the channels before every use, the preparation is no
    // part of the configuration's content: any two compare equal, so that
    // the configuration compares field for field with its defaulted ==.
    bool operator==(const ChannelImagePreparation&) const { return true; }
    bool sameBytes(const ChannelImagePreparation& o) const {
        return channelImage == o.channelImage && programmedMask == o.programmedMask && scanMask == o.scanMask &&
               scanMask2 == o.scanMask2 && scanGroupMask == o.scanGroupMask;
    }
};

class ChannelTable {
public:
    virtual ~ChannelTable() = default;
    ChannelTable() { reset(); }
    ChannelTable(const ChannelTable&) = default;
    ChannelTable& operator=(const ChannelTable&) = default;

    // Applies every default of the table, its groups and their channels.
    void reset();

    int currentGroup = 0;
    int currentChannel = 0;
    int totalCapability = 0;
    int tableSpare = 0;
    int channelsLeft = kChannelCapacity;
    int channelCapacity = kChannelCapacity;
    int firstProgrammedGroup = 0;
    int firstScanGroup = 0;
    int lowestGroup = 0;
    int highestGroup = 0;
    int lastScanGroup = 0;
    int totalUsed = 0;  // derived
    int priorityPresent = 0;
    int noPowerOnChannel = 1;
    int scanMode = 0;  // 0 all channel scan mode, 1 group scan mode
    int appliedScanMode = 0;
    int groupScanFlag = 0;
    int anyScanChannel = 0;
    std::array<ChannelGroup, kGroupSlots> groups{};

    ChannelImagePreparation prep;  // never saved

    bool operator==(const ChannelTable&) const = default;
};

struct OptionSettings {
    int txDelay = 0;
    int monitor = 0;
    int hook = 0;
    int hookScan = 0;
    int beep = 0;
    int publicAddress = 0;
    int powerUpAlert = 0;
    int powerUp = 0;
    int autoMute = 0;
    int autoMuteTimer = 0;
    int pttTimer = 0;
    int txTimer = 0;
    int txInhibit = 0;
    int txInhibitAlert = 0;
    int openLock = 0;
    int busyChLockOut = 0;
    int markIdle = 0;
    int scanType = 0;
    int scanTx = 0;
    int scanWaitTime = 0;
    int scanSpeedTime = 0;
    int priorityLbTime = 0;
    int programmableKey1Short = 0;
    int programmableKey1Long = 0;
    int programmableKey1Mode = 0;
    int programmableKey2Short = 0;
    int programmableKey2Long = 0;
    int programmableKey2Mode = 0;
    int programmableKey3Short = 0;
    int programmableKey3Long = 0;
    int programmableKey3Mode = 0;

    bool operator==(const OptionSettings&) const = default;
};

struct ToneSequence {
    std::string sequence;
    int leadInTime = 0;
    int firstToneTime = 0;
    int leadOutTime = 0;

    bool operator==(const ToneSequence&) const = default;
};

struct ToneSequenceSettings {
    int toneset = 0;                                   // 7 = "User"
    std::array<int, kToneCount> toneFrequency{};       // Hz
    std::array<int, kToneCount> toneCycleCount{};      // derived
    std::array<int, kToneCount> toneCycleRemainder{};  // derived
    int toneLength = 0;                                // mS
    int longestLeadInTime = 0;                         // derived
    std::array<ToneSequence, kSequenceSlots> sequences{};
    std::array<std::string, kToneCount> userTone{};

    bool operator==(const ToneSequenceSettings&) const = default;
};

struct SelcallEncodeSettings {
    int selcall = 0;
    int emgType = 0;
    std::string emgSequence;
    int emgCheckOpen = 0;
    int emgCheckBusy = 0;
    int emgEncodeAlert = 0;
    int emgRepeats = 0;
    int emgCycleRepeatTime = 0;
    int emgTxTimer = 0;
    std::string acknowledge1;
    std::string acknowledge2;
    std::string acknowledge3;
    int aniType = 0;
    std::string aniSequence;
    int aniAt = 0;
    int multiAniDelay = 0;
    std::string call1Sequence;
    int call1CheckOpen = 0;
    int call1CheckBusy = 0;
    int call1EncodeAlert = 0;
    std::string call2Sequence;
    int call2CheckOpen = 0;
    int call2CheckBusy = 0;
    int call2EncodeAlert = 0;
    std::string call3Sequence;
    int call3CheckOpen = 0;
    int call3CheckBusy = 0;
    int call3EncodeAlert = 0;

    bool operator==(const SelcallEncodeSettings&) const = default;
};

struct DecodeEntry {
    std::string address;
    int action = 0;
    int ack = 0;
    std::string text;

    bool operator==(const DecodeEntry&) const = default;
};

struct SelcallDecodeSettings {
    // Call 1, Call 2, Call 3, Control 1..4, Group Call
    std::array<DecodeEntry, kDecodeEntries> decodeEntries{};
    int decoderToneLength = 0;  // mS
    int decodeDuration = 0;     // derived
    int covertRxTime = 0;       // S
    int covertTxTime = 0;       // S

    bool operator==(const SelcallDecodeSettings&) const = default;
};

struct DtmfSettings {
    int dtmf = 0;
    int dtmfLeadInTime = 0;
    int dtmfLeadOutTime = 0;
    int dtmfMarkTime = 0;
    int dtmfSpaceTime = 0;
    std::array<std::string, 9> dtmfCodes{};          // "DTMF 1".."DTMF 9" (dtmf1..dtmf9)
    std::array<std::string, 4> dtmfDecodeAddress{};  // dtmfDecodeAddress1..4
    std::array<int, 4> dtmfDecodeAction{};           // dtmfDecodeAction1..4
    std::array<std::string, 10> statusText{};        // statusText01..statusText10

    bool operator==(const DtmfSettings&) const = default;
};

class ModemSettings {
public:
    virtual ~ModemSettings() = default;
    ModemSettings() = default;
    ModemSettings(const ModemSettings&) = default;
    ModemSettings& operator=(const ModemSettings&) = default;

    int modemBaudRate = 0;
    int initializingDataForHt = 0;
    int txDelayTime = 0;
    int txOnDelay = 0;
    int txOffDelay = 0;
    int rxOnDelay = 0;
    std::array<std::string, 9> modemText{};        // modemText1..9
    std::array<std::string, 20> commonSentence{};  // commonSentence1..20

    bool operator==(const ModemSettings&) const = default;
};

struct RadioSettings {
    HeaderSettings header;
    ChannelTable channelTable;
    OptionSettings option;
    ToneSequenceSettings toneSequence;
    SelcallEncodeSettings selcallEncode;
    SelcallDecodeSettings selcallDecode;
    DtmfSettings dtmf;
    ModemSettings modem;

    bool operator==(const RadioSettings&) const = default;
};

}  // namespace ks340
