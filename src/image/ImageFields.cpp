#include "image/ImageFields.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "image/ImageConversions.h"
#include "image/ImageLayout.h"
#include "model/Signalling.h"

namespace ks340 {

namespace {

using namespace layout;
namespace cv = conversions;

std::string channelsOfBitmap(int address, int base) {
    const int word = (address - base) / 2;
    return "(channels " + std::to_string(16 * word + 1) + ".." + std::to_string(16 * word + 16) + ")";
}

std::string channelRecordName(const ImageField&, int a) { return "Channel " + std::to_string(a / kChannelRecordSize); }
std::string labelName(const ImageField&, int a) {
    return "Channel " + std::to_string((a - kLabels) / 9 + 1) + " Label";
}

std::string groupTableName(const ImageField&, int a) {
    if (a >= kGroupRecords && a < groupRecord(kGroupSlots))
        return "Radio / Group " + std::to_string((a - kGroupRecords) / 5 + 1) + " record";
    if (a >= kProgrammedMask && a < kProgrammedMask + kMaskBytes)
        return "Radio / Programmed channel bitmap " + channelsOfBitmap(a, kProgrammedMask);
    if (a >= kListRecord && a < kGroupRecords) return "Radio / Channel list record (last, first, priority, power-on)";
    if (a == kPowerOnMask8to13 || a == kPowerOnMask0to7) return "Radio / PowON CH marks";
    if (a == kPriorityMask8to13 || a == kPriorityMask0to7) return "Radio / Priority CH marks";
    if (a == kGroupRange) return "Radio / Group range";
    return "Radio / Group flags";
}

std::string scanBitmapName(const ImageField&, int a) {
    if (a < kScanMask2) return "Radio / Scan CH bitmap " + channelsOfBitmap(a, kScanMask);
    return "Radio / Second scan CH bitmap " + channelsOfBitmap(a, kScanMask2);
}

std::string toneCyclesName(const ImageField& f, int) { return settingName(f.key) + " cycle values"; }

const ImageConversion kChannelRecordsConversion{"channel records", cv::encodeChannelRecords, cv::decodeChannelRecords,
                                                channelRecordName};
const ImageConversion kGroupTableConversion{"group table", cv::encodeGroupTable, cv::decodeGroupTable, groupTableName};
const ImageConversion kScanGroupMarksConversion{"scan group marks", cv::encodeScanGroupMarks, nullptr};
const ImageConversion kScanBitmapsConversion{"scan bitmaps", cv::encodeScanBitmaps, cv::decodeScanBitmaps,
                                             scanBitmapName};
const ImageConversion kLabelsConversion{"channel labels", cv::encodeLabels, cv::decodeLabels, labelName};
const ImageConversion kToneCyclesConversion{"tone cycle values", cv::encodeToneCycles, nullptr, toneCyclesName};
const ImageConversion kToneSetConversion{"tone set", cv::encodeToneSet, cv::decodeToneSet};
const ImageConversion kToneSequenceConversion{"tone sequence", cv::encodeToneSequence, cv::decodeToneSequence};
const ImageConversion kUserToneConversion{"user tone", cv::encodeUserTone, cv::decodeUserTone};
const ImageConversion kDecodeDurationConversion{"decode duration", cv::encodeDecodeDuration, nullptr};
const ImageConversion kLightKeyAbsentConversion{"light key", cv::encodeLightKeyAbsent, nullptr};
const ImageConversion kLogoConversion{"LCD logo", cv::encodeLogo, cv::decodeLogo};

bool userToneSet(const RadioSettings& s) { return s.toneSequence.toneset == kUserToneSet; }
bool shortAni(const RadioSettings& s) { return (s.selcallEncode.aniType & 1) == 0; }
bool longAni(const RadioSettings& s) { return (s.selcallEncode.aniType & 1) != 0; }
bool shortEmg(const RadioSettings& s) { return (s.selcallEncode.emgType & 1) == 0; }
bool longEmg(const RadioSettings& s) { return (s.selcallEncode.emgType & 1) != 0; }

class Builder {
public:
    std::vector<ImageField> fields;

    ImageField& add(std::string key, ImageCoding coding, int address, int bit = 0, int width = 8) {
        ImageField& f = fields.emplace_back();
        f.key = std::move(key);
        f.coding = coding;
        f.address = address;
        f.bit = bit;
        f.width = width;
        return f;
    }
    ImageField& bits(std::string key, int address, int bit = 0, int width = 8) {
        return add(std::move(key), ImageCoding::Bits, address, bit, width);
    }
    ImageField& byte(std::string key, int address) { return bits(std::move(key), address); }
    ImageField& times5(std::string key, int address) { return add(std::move(key), ImageCoding::Times5, address); }
    ImageField& times10(std::string key, int address) { return add(std::move(key), ImageCoding::Times10, address); }
    ImageField& digits(std::string key, int address, int width, int length) {
        ImageField& f = add(std::move(key), ImageCoding::Digits, address, 0, width);
        f.length = length;
        return f;
    }
    ImageField& text(std::string key, int address, int width, int length) {
        ImageField& f = add(std::move(key), ImageCoding::Text, address, 0, width);
        f.length = length;
        return f;
    }
    ImageField& present(std::string key, int address, int bit) {
        ImageField& f = add(std::move(key), ImageCoding::Present, address, bit, 1);
        f.direction = ImageDirection::EncodeOnly;
        return f;
    }
    ImageField& nonZero(std::string key, int address, int bit) {
        ImageField& f = add(std::move(key), ImageCoding::NonZero, address, bit, 1);
        f.direction = ImageDirection::EncodeOnly;
        return f;
    }
    ImageField& readBack(std::string key, int address, int bit) {
        ImageField& f = bits(std::move(key), address, bit, 1);
        f.direction = ImageDirection::DecodeOnly;
        return f;
    }
    ImageField& encodeOnly(std::string key, int address, int bit = 0, int width = 8) {
        ImageField& f = bits(std::move(key), address, bit, width);
        f.direction = ImageDirection::EncodeOnly;
        return f;
    }
    void fixed(const FixedBits& fixed) {
        ImageField& f = add(std::string(), ImageCoding::Fixed, fixed.address, fixed.bit, fixed.width);
        f.name = fixed.name;
        f.value = fixed.value;
        f.direction = ImageDirection::EncodeOnly;
    }
    ImageField& convert(std::string key, std::string name, const ImageConversion& c, int address, int size) {
        ImageField& f = add(std::move(key), ImageCoding::Conversion, address);
        f.name = std::move(name);
        f.size = size;
        f.conversion = &c;
        if (!c.decode) f.direction = ImageDirection::EncodeOnly;
        return f;
    }
};

std::string indexed(const char* prefix, int i, const char* suffix = "") {
    return prefix + std::to_string(i) + "]" + suffix;
}

void settingsBlock(Builder& b) {
    // Byte 0
    b.nonZero("option.txInhibit", 0, 0);
    b.bits("option.markIdle", 0, 2, 1);
    b.fixed(kMonitorOn);
    b.readBack("option.monitor", 0, 3);
    b.bits("option.txDelay", 0, 4, 1);
    b.bits("option.pttTimer", 0, 5, 1);
    b.bits("option.busyChLockOut", 0, 6, 1);
    b.bits("option.beep", 0, 7, 1);
    // Byte 1
    b.bits("option.scanTx", 1, 0, 2);
    b.bits("header.radioBand", 1, 2, 1);
    b.bits("header.model", 1, 3, 1);
    b.bits("dtmf.dtmf", 1, 5, 1);
    b.bits("option.scanType", 1, 7, 1);
    // Bytes 2..5
    b.bits("option.txInhibit", 2, 0, 4);
    b.bits("channels.priorityPresent", 2, 4, 1);
    b.fixed(kSettingsMark);
    b.byte("option.txTimer", 3);
    b.bits("option.priorityLbTime", 4, 0, 4);
    b.bits("option.scanWaitTime", 4, 4, 4);
    b.byte("option.scanSpeedTime", 5);
    // Bytes 6..8
    b.bits("channels.groupScanFlag", 6, 0, 1);
    b.bits("channels.noPowerOnChannel", 6, 1, 1);
    b.bits("channels.anyScanChannel", 7, 0, 1);
    b.bits("option.powerUpAlert", 7, 4, 1);
    b.fixed(kPublicAddressOn);
    b.readBack("option.publicAddress", 7, 5);
    b.bits("option.hook", 7, 6, 1);
    b.bits("option.txInhibitAlert", 7, 7, 1);
    b.present("encode.aniSequence", 8, 0);
    b.bits("encode.selcall", 8, 1, 1);
    b.bits("header.speaker", 8, 2, 1);
    b.bits("option.hookScan", 8, 3, 1);
    b.bits("option.openLock", 8, 4, 2);
    b.bits("option.autoMute", 8, 6, 1);
    b.bits("option.powerUp", 8, 7, 1);
}

void channelsAndKeys(Builder& b) {
    b.convert("", "Channel", kChannelRecordsConversion, kChannelRecordSize, kChannelAreaEnd + 1 - kChannelRecordSize);
    b.convert("", "Radio / Group table", kGroupTableConversion, kGroupFlags8to13,
              kProgrammedMask + kMaskBytes - kGroupFlags8to13);
    b.fixed(kPowerOnMarksHigh);
    // Labels follow the groups read just before.
    b.convert("", "Channel labels", kLabelsConversion, kLabels, 9 * kLabelSlots);

    const char* shorts[3] = {"option.programmableKey1Short", "option.programmableKey2Short",
                             "option.programmableKey3Short"};
    const char* longs[3] = {"option.programmableKey1Long", "option.programmableKey2Long",
                            "option.programmableKey3Long"};
    for (int k = 0; k < 3; ++k) {
        b.byte(shorts[k], kKey1Short + k);
        b.byte(longs[k], kKey1Long + k);
    }
    b.fixed(kKeyMark1);
    b.fixed(kKeyMark2);
    b.bits("option.programmableKey1Mode", kKeyModes12, 0, 4);
    b.bits("option.programmableKey2Mode", kKeyModes12, 4, 4);
    b.bits("option.programmableKey3Mode", kKeyMode3, 0, 4);
    b.fixed(kKeyMode3Mark);
    b.fixed(kKeyMark3);
    b.byte("option.autoMuteTimer", kAutoMuteTimer);
    b.convert("", "Option / Light key", kLightKeyAbsentConversion, kLightKeyAbsent, 1);

    b.convert("", "Radio / Scan group marks", kScanGroupMarksConversion, kScanGroupMask, 2);
    b.byte("channels.scanMode", kScanMode);
    b.encodeOnly("channels.firstProgrammedGroup", kFirstProgrammedGroup);
    b.encodeOnly("channels.lastScanGroup", kLastScanGroup);
    b.convert("", "Radio / Scan CH bitmaps", kScanBitmapsConversion, kScanMask, 2 * kMaskBytes);
}

void tones(Builder& b) {
    for (int t = 0; t < kToneCount; ++t) {
        ImageField& f = b.convert("tone.toneFrequency[" + std::string(1, "0123456789ABCDE"[t]) + "]", "",
                                  kToneCyclesConversion, kToneCycles + 2 * t, 2);
        f.value = t;
    }
    b.convert("tone.toneset", "", kToneSetConversion, kToneset, 1);
    b.times5("tone.toneLength", kToneLength);
    for (int n = 1; n < kSequenceSlots; ++n) {
        const int slot = sequenceSlot(n);
        ImageField& f =
            b.convert(indexed("tone.sequence[", n, ".sequence"), "", kToneSequenceConversion, slot, kSequenceWidth);
        f.width = kSequenceWidth;
        f.length = kSequenceLengths + n - 1;
        b.times5(indexed("tone.sequence[", n, ".leadInTime"), slot + 8);
        b.times5(indexed("tone.sequence[", n, ".firstToneTime"), slot + 9);
        b.times5(indexed("tone.sequence[", n, ".leadOutTime"), slot + 10);
    }
    // Read after the tone set that decides them.
    for (int t = 0; t < kToneCount; ++t) {
        const int slot = userToneSlot(t);
        ImageField& f =
            b.convert("tone.userTone[" + std::string(1, "0123456789ABCDE"[t]) + "]", "", kUserToneConversion, slot, 2);
        f.length = slot + 2;
        f.when = userToneSet;
    }
}

void selcallEncode(Builder& b) {
    b.digits("encode.call1Sequence", kCall1, kShortDigitWidth, kCall1 + kShortDigitWidth);
    b.digits("encode.call2Sequence", kCall2, kShortDigitWidth, kCall2 + kShortDigitWidth);
    b.digits("encode.call3Sequence", kCall3, kShortDigitWidth, kCall3 + kShortDigitWidth);
    const char* flags[8] = {"encode.call1CheckOpen", "encode.call1CheckBusy", "encode.call1EncodeAlert",
                            "encode.call2CheckOpen", "encode.call2CheckBusy", "encode.call2EncodeAlert",
                            "encode.call3CheckOpen", "encode.call3CheckBusy"};
    for (int i = 0; i < 8; ++i) b.bits(flags[i], kCallFlags, i, 1);
    b.bits("encode.call3EncodeAlert", kCall3EncodeAlert, 0, 1);
    b.bits("encode.aniAt", kAniEmgFlags, 0, 2);
    b.bits("encode.aniType", kAniEmgFlags, 2, 1);
    b.bits("encode.emgCheckOpen", kAniEmgFlags, 3, 1);
    b.bits("encode.emgCheckBusy", kAniEmgFlags, 4, 1);
    b.bits("encode.emgEncodeAlert", kAniEmgFlags, 5, 1);
    b.bits("encode.emgType", kAniEmgFlags, 6, 1);
    // One of two places, by the type read just before.
    b.digits("encode.emgSequence", kEmgShort, kShortDigitWidth, kEmgShort + kShortDigitWidth).when = shortEmg;
    b.digits("encode.emgSequence", kEmgLong, kLongDigitWidth, kEmgLong + kLongDigitWidth).when = longEmg;
    b.byte("encode.emgCycleRepeatTime", kEmgCycleRepeatTime);
    b.byte("encode.emgRepeats", kEmgRepeats);
    b.byte("encode.emgTxTimer", kEmgTxTimer);
    b.digits("encode.aniSequence", kAniShort, kShortDigitWidth, kAniShort + kShortDigitWidth).when = shortAni;
    b.digits("encode.aniSequence", kAniLong, kLongDigitWidth, kAniLong + kLongDigitWidth).when = longAni;
    b.byte("encode.multiAniDelay", kMultiAniDelay);
    for (int i = 0; i < 3; ++i)
        b.digits("encode.acknowledge" + std::to_string(i + 1), kAcknowledge + kShortDigitWidth * i, kShortDigitWidth,
                 kAcknowledgeLengths + i);
    // What the radio looks at first: ANI at, and which calls are set.
    b.encodeOnly("encode.aniAt", kCallPresence);
    b.present("encode.call1Sequence", kCallPresence, 1);
    b.present("encode.call2Sequence", kCallPresence, 2);
    b.present("encode.call3Sequence", kCallPresence, 3);
}

void dtmf(Builder& b) {
    b.times10("dtmf.dtmfLeadInTime", kDtmfTimes + 0);
    b.times10("dtmf.dtmfLeadOutTime", kDtmfTimes + 1);
    b.times10("dtmf.dtmfMarkTime", kDtmfTimes + 2);
    b.times10("dtmf.dtmfSpaceTime", kDtmfTimes + 3);
    b.fixed(kDtmfMark);
    for (int i = 1; i <= 9; ++i) {
        const std::string key = indexed("dtmf.dtmfCodes[", i);
        const int slot = dtmfCodeSlot(i - 1);
        b.digits(key, slot, kLongDigitWidth, slot + kLongDigitWidth);
        if (i == 9)
            b.present(key, kDtmf9Present, 0);
        else
            b.present(key, kDtmf1to8Present, i - 1);
    }
    for (int i = 1; i <= 4; ++i) {
        const int slot = dtmfDecodeSlot(i - 1);
        b.digits(indexed("dtmf.dtmfDecodeAddress[", i), slot, kLongDigitWidth, slot + kLongDigitWidth);
        b.byte(indexed("dtmf.dtmfDecodeAction[", i), slot + kLongDigitWidth + 1);
    }
    for (int i = 1; i <= 10; ++i) {
        const int slot = statusTextSlot(i - 1);
        b.text(indexed("dtmf.statusText[", i), slot + 1, kStatusTextWidth, slot);
    }
}

void selcallDecode(Builder& b) {
    for (int i = 1; i <= kDecodeEntries; ++i) {
        const int slot = decodeEntrySlot(i - 1);
        b.digits(indexed("decode.entry[", i, ".address"), slot, kDecodeAddressWidth, slot + 9);
        b.bits(indexed("decode.entry[", i, ".action"), slot + 10, 0, 3);
        b.bits(indexed("decode.entry[", i, ".ack"), slot + 10, 6, 2);
        b.text(indexed("decode.entry[", i, ".text"), slot + 12, kDecodeTextWidth, slot + 11);
    }
    b.times5("decode.decoderToneLength", kDecoderToneLength);
    b.byte("decode.covertRxTime", kCovertRxTime);
    b.byte("decode.covertTxTime", kCovertTxTime);
    b.convert("", "Decode / Decode duration", kDecodeDurationConversion, kDecodeDuration, 2);
}

void modemAndLogo(Builder& b) {
    b.bits("modem.initializingDataForHt", kModemFlags, 3, 1);
    b.bits("modem.modemBaudRate", kModemFlags, 6, 1);
    b.bits("modem.txOnDelay", kTxOnDelay, 2, 6);
    b.bits("modem.txOffDelay", kTxOffDelay, 2, 6);
    b.bits("modem.rxOnDelay", kRxOnDelay, 2, 6);
    b.byte("modem.txDelayTime", kTxDelayTime);
    b.fixed(kModemMark);
    for (int i = 1; i <= 9; ++i) {
        const int slot = modemTextSlot(i - 1);
        b.text(indexed("modem.modemText[", i), slot, kModemTextWidth, slot + kModemTextWidth);
    }
    ImageField& logo = b.convert("header.lcdDisplayLogo", "", kLogoConversion, layout::kLogo, kLogoWidth);
    logo.width = kLogoWidth;
    logo.length = layout::kLogo + kLogoWidth;
}

std::vector<ImageField> buildFields() {
    Builder b;
    // The channel records come first: reading them also keeps the raw
    // records (settings block included) for the channel page.
    b.fields.reserve(400);
    channelsAndKeys(b);
    settingsBlock(b);
    tones(b);
    selcallEncode(b);
    dtmf(b);
    selcallDecode(b);
    modemAndLogo(b);
    for (ImageField& f : b.fields) {
        if (f.key.empty()) continue;
        std::string error;
        const std::optional<SettingRef> ref = findSetting(f.key, &error);
        if (!ref || (!ref->info->integer && !ref->info->text)) throw std::logic_error("image field: " + error + f.key);
        f.setting = ref->info;
    }
    return b.fields;
}

// Page and label of a name: "Option / Beep" -> "Option", "Beep".
std::pair<std::string, std::string> splitName(const std::string& name) {
    const std::size_t at = name.find(" / ");
    if (at == std::string::npos) return {std::string(), name};
    return {name.substr(0, at), name.substr(at + 3)};
}

bool covers(const ImageField& f, int a) {
    switch (f.coding) {
        case ImageCoding::Digits:
        case ImageCoding::Text:
            return (a >= f.address && a < f.address + f.width) || a == f.length;
        case ImageCoding::Conversion:
            return (a >= f.address && a < f.address + f.size) || a == f.length;
        default:
            return a == f.address;
    }
}

}  // namespace

const std::vector<ImageField>& imageFields() {
    static const std::vector<ImageField> fields = buildFields();
    return fields;
}

std::string imageFieldName(int address) {
    // Settings of one page that share a byte: "Option / Tx Delay, Beep".
    std::vector<std::pair<std::string, std::string>> names;
    std::string fixedName;
    for (const ImageField& f : imageFields()) {
        if (!covers(f, address)) continue;
        if (f.coding == ImageCoding::Fixed) {
            fixedName = f.name;
            continue;
        }
        std::string name;
        if (f.conversion && f.conversion->addressName)
            name = f.conversion->addressName(f, address);
        else
            name = f.key.empty() ? f.name : settingName(f.key);
        auto parts = splitName(name);
        if (std::find(names.begin(), names.end(), parts) == names.end()) names.push_back(std::move(parts));
    }
    if (names.empty()) return fixedName;
    std::string out;
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool samePage = i > 0 && names[i].first == names[i - 1].first;
        if (i > 0) out += samePage ? ", " : "; ";
        if (!samePage && !names[i].first.empty()) out += names[i].first + " / ";
        out += names[i].second;
    }
    return out;
}

std::string formatImageFields(const MemoryImage& image) {
    std::vector<const ImageField*> sorted;
    for (const ImageField& f : imageFields()) sorted.push_back(&f);
    std::stable_sort(sorted.begin(), sorted.end(), [](const ImageField* a, const ImageField* b) {
        return a->address != b->address ? a->address < b->address : a->bit > b->bit;
    });
    std::string out;
    char buf[64];
    for (const ImageField* f : sorted) {
        const int span = f->coding == ImageCoding::Digits || f->coding == ImageCoding::Text ? f->width
                         : f->coding == ImageCoding::Conversion                             ? f->size
                                                                                            : 1;
        std::string place;
        if (f->coding == ImageCoding::Bits || f->coding == ImageCoding::Present || f->coding == ImageCoding::NonZero ||
            f->coding == ImageCoding::Fixed) {
            if (f->width == 8) {
                std::snprintf(buf, sizeof buf, "0x%04X", static_cast<unsigned>(f->address));
            } else if (f->width == 1) {
                std::snprintf(buf, sizeof buf, "0x%04X.%d", static_cast<unsigned>(f->address), f->bit);
            } else {
                std::snprintf(buf, sizeof buf, "0x%04X.%d-%d", static_cast<unsigned>(f->address), f->bit + f->width - 1,
                              f->bit);
            }
            place = buf;
        } else {
            const int last = std::max(f->address + span - 1, f->length);
            std::snprintf(buf, sizeof buf, span == 1 && f->length < 0 ? "0x%04X" : "0x%04X..%04X",
                          static_cast<unsigned>(f->address), static_cast<unsigned>(last));
            place = buf;
        }
        std::string value;
        const int byte = image[static_cast<std::size_t>(f->address)];
        if (f->coding == ImageCoding::Conversion && span > 16) {
            value = "(" + std::to_string(span) + " bytes)";
        } else if (f->coding == ImageCoding::Times5 || f->coding == ImageCoding::Times10) {
            value = std::to_string(byte);
        } else if (f->coding == ImageCoding::Bits || f->coding == ImageCoding::Present ||
                   f->coding == ImageCoding::NonZero || f->coding == ImageCoding::Fixed) {
            value = std::to_string((byte >> f->bit) & ((1 << f->width) - 1));
        } else {
            for (int i = 0; i < span; ++i) {
                std::snprintf(buf, sizeof buf, "%s%02X", i ? " " : "", image[static_cast<std::size_t>(f->address + i)]);
                value += buf;
            }
            if (f->length >= 0 && f->length >= f->address + span) {
                std::snprintf(buf, sizeof buf, " %02X", image[static_cast<std::size_t>(f->length)]);
                value += buf;
            }
        }
        std::snprintf(buf, sizeof buf, "%-14s ", place.c_str());
        std::string line = buf;
        const std::string& label = f->key.empty() ? f->name : f->key;
        line += label;
        if (label.size() < 34) line.append(34 - label.size(), ' ');
        out += line + " " + value + "\n";
    }
    return out;
}

}  // namespace ks340
