#include "formats/SettingsDiff.h"

#include <algorithm>
#include <cstdio>
#include <map>

#include "model/OptionLists.h"
#include "model/Signalling.h"
#include "model/SignallingLists.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/ToneLists.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

namespace ol = optionlists;
namespace sl = signalling;

class Writer {
public:
    explicit Writer(std::vector<NamedSetting>& out) : out_(out) {}
    void page(std::string name) { page_ = std::move(name); }
    void add(const std::string& name, std::string value) {
        out_.push_back({page_.empty() ? name : page_ + " / " + name, std::move(value)});
    }
    void text(const std::string& name, const std::string& bytes) { add(name, cp1252ToUtf8(bytes)); }
    void number(const std::string& name, int v, const char* unit = "") { add(name, std::to_string(v) + unit); }
    template <typename List>
    void choice(const std::string& name, const List& items, int position, const char* unit = "") {
        std::string t = itemOf(items, position);
        add(name, t.empty() ? "(" + std::to_string(position) + ")" : t + unit);
    }

private:
    static std::string itemOf(const std::vector<std::string>& items, int position) {
        return position >= 0 && position < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(position)]
                                                                          : std::string();
    }
    std::vector<NamedSetting>& out_;
    std::string page_;
};

std::string orUnknown(std::string_view text, int value) {
    return text.empty() ? "(" + std::to_string(value) + ")" : std::string(text);
}

void describeChannel(Writer& w, const std::string& prefix, const ChannelEntry& e) {
    const bool programmed = e.isProgrammed();
    auto when = [&](bool shown, std::string text) { return shown ? std::move(text) : std::string(); };
    w.add(prefix + "Label", when(programmed, cp1252ToUtf8(e.label)));
    w.add(prefix + "Rx Freq.", when(programmed, e.rxFrequency));
    w.add(prefix + "RX Option", when(programmed, toneCodeText(e.rxSquelch, e.rxInverseDcs)));
    w.add(prefix + "Tx Freq.", when(programmed, e.txFrequency));
    w.add(prefix + "Tx Option", when(programmed && !e.txFrequency.empty(), toneCodeText(e.txSquelch, e.txInverseDcs)));
    w.add(prefix + "Scan CH", when(programmed && e.scanChannel, "ON"));
    w.add(prefix + "BandWidth", when(programmed, e.bandwidth ? "S" : "N"));
    w.add(prefix + "Tx Power", when(programmed, e.txPower ? "High" : "Low"));
    w.add(prefix + "Priority CH", when(programmed && e.priorityChannel, "ON"));
    w.add(prefix + "PowON CH", when(programmed && e.powerOnChannel, "ON"));
}

void describeChannels(Writer& w, const ChannelTable& t) {
    w.page("");
    const bool groups = t.scanMode != 0;
    w.add("Radio / Mode", groups ? "Group Scan Mode" : "All Channel Scan Mode");
    if (groups) {
        for (int g = 1; g < kGroupSlots; ++g)
            w.number("Radio / Group " + std::to_string(g) + " Capability", t.groups[g].capability);
        for (int g = 1; g < kGroupSlots; ++g) {
            const int cap = std::clamp(t.groups[g].capability, 0, kChannelCapacity);
            for (int c = 1; c <= cap; ++c)
                describeChannel(w, "Group " + std::to_string(g) + " Channel " + std::to_string(c) + " ",
                                t.groups[g].channels[c]);
        }
    } else {
        for (int c = 1; c <= kChannelCapacity; ++c)
            describeChannel(w, "Channel " + std::to_string(c) + " ", t.groups[0].channels[c]);
    }
}

void describeOption(Writer& w, const OptionSettings& o) {
    w.page("Option");
    const int shorts[3] = {o.programmableKey1Short, o.programmableKey2Short, o.programmableKey3Short};
    const int longs[3] = {o.programmableKey1Long, o.programmableKey2Long, o.programmableKey3Long};
    for (int k = 0; k < 3; ++k) {
        const std::string key = "Programmable Key " + std::to_string(k + 1);
        w.add(key + " Short Key", orUnknown(ol::keyFunctionText(shorts[k]), shorts[k]));
        w.add(key + " Long Key", orUnknown(ol::keyFunctionText(longs[k]), longs[k]));
    }
    const auto& de = ol::disableEnableItems();
    w.choice("Tx Delay", de, o.txDelay);
    w.choice("Monitor", de, o.monitor);
    w.choice("Hook", de, o.hook);
    w.choice("Hook Scan", ol::offOnItems(), o.hookScan);
    w.choice("Beep", de, o.beep);
    w.choice("Public Address", de, o.publicAddress);
    w.choice("Power up Alert", de, o.powerUpAlert);
    w.choice("Power up", ol::closeOpenItems(), o.powerUp);
    w.choice("Auto Mute", de, o.autoMute);
    w.number("Auto Mute Timer", o.autoMuteTimer, " S");
    w.choice("PTT Timer", de, o.pttTimer);
    w.add("Tx Timer", o.txTimer == 0 ? "Off" : ol::txTimerText(o.txTimer) + " S");
    w.add("Tx Inhibit", o.txInhibit == 0 ? "Off" : ol::txInhibitText(o.txInhibit) + " S");
    w.choice("Tx Inhibit Alert", de, o.txInhibitAlert);
    w.choice("Open Lock", ol::openLockItems(), o.openLock);
    w.choice("Busy Ch. Lock out", de, o.busyChLockOut);
    w.choice("Mark Idle", de, o.markIdle);
    w.choice("Scan Type", ol::scanTypeItems(), o.scanType);
    w.add("Scan Tx", orUnknown(ol::scanTxText(o.scanTx), o.scanTx));
    w.choice("Scan Wait Time", ol::scanWaitTimeItems(), o.scanWaitTime, " S");
    w.add("Scan Speed Time", ol::scanSpeedTimeText(o.scanSpeedTime) + " S");
    w.choice("Priority LB Time", ol::priorityLbTimeItems(), o.priorityLbTime, " S");
}

void describeTones(Writer& w, const ToneSequenceSettings& t) {
    w.page("Tone Sequence");
    w.add("Toneset", orUnknown(tonelists::toneSetName(t.toneset), t.toneset));
    const bool user = t.toneset == kUserToneSet;
    for (int i = 0; i < kToneCount; ++i)
        w.add(tonelists::toneLabel(i), user ? cp1252ToUtf8(t.userTone[static_cast<std::size_t>(i)]) + " Hz"
                                            : std::to_string(t.toneFrequency[static_cast<std::size_t>(i)]) + " Hz");
    w.number("Tone Length", t.toneLength, " mS");
    for (int n = 1; n <= tonelists::kSequenceCount; ++n) {
        const ToneSequence& q = t.sequences[static_cast<std::size_t>(n)];
        const std::string label = tonelists::sequenceLabel(n);
        w.text(label, q.sequence);
        w.number(label + " Lead In Time", q.leadInTime, " mS");
        w.number(label + " 1st Tone Time", q.firstToneTime, " mS");
        w.number(label + " Lead Out Time", q.leadOutTime, " mS");
    }
}

void describeEncode(Writer& w, const SelcallEncodeSettings& e) {
    w.page("Encode");
    const auto& de = sl::disableEnableItems();
    w.choice("Selcall", de, e.selcall);
    w.choice("EMG Type", sl::signallingTypeItems(), e.emgType);
    w.text(sl::emergencyFieldLabel(e.emgType), e.emgSequence);
    w.choice("Emergency Check Open", de, e.emgCheckOpen);
    w.choice("Emergency Check Busy", de, e.emgCheckBusy);
    w.choice("Emergency Encode Alert", de, e.emgEncodeAlert);
    w.choice("Repeats", sl::repeatsItems(), e.emgRepeats);
    w.number("Cycle Repeat Time", e.emgCycleRepeatTime, " S");
    w.number("Tx Timer", e.emgTxTimer, " S");
    w.text("Acknowledge 1", e.acknowledge1);
    w.text("Acknowledge 2", e.acknowledge2);
    w.text("Acknowledge 3", e.acknowledge3);
    w.choice("ANI Type", sl::signallingTypeItems(), e.aniType);
    w.text(sl::aniFieldLabel(e.aniType), e.aniSequence);
    w.choice("ANI at", sl::aniAtItems(e.aniType), e.aniAt);
    w.number("Multi ANI Delay", e.multiAniDelay, " S");
    const std::string* seqs[3] = {&e.call1Sequence, &e.call2Sequence, &e.call3Sequence};
    const int opens[3] = {e.call1CheckOpen, e.call2CheckOpen, e.call3CheckOpen};
    const int busies[3] = {e.call1CheckBusy, e.call2CheckBusy, e.call3CheckBusy};
    const int alerts[3] = {e.call1EncodeAlert, e.call2EncodeAlert, e.call3EncodeAlert};
    for (int i = 0; i < 3; ++i) {
        const std::string call = "Call " + std::to_string(i + 1);
        w.text(call + " Sequence", *seqs[i]);
        w.choice(call + " Check Open", de, opens[i]);
        w.choice(call + " Check Busy", de, busies[i]);
        w.choice(call + " Encode Alert", de, alerts[i]);
    }
}

void describeDecode(Writer& w, const SelcallDecodeSettings& d) {
    w.page("Decode");
    const auto& names = sl::decodeEntryNames();
    const auto& addressLabels = sl::decodeAddressLabels();
    for (int i = 0; i < kDecodeEntries; ++i) {
        const DecodeEntry& e = d.decodeEntries[static_cast<std::size_t>(i)];
        const std::string name = names[static_cast<std::size_t>(i)];
        w.text(addressLabels[static_cast<std::size_t>(i)], e.address);
        w.choice(name + " Action", sl::decodeActionItems(), e.action);
        w.choice(name + " Ack", sl::decodeAckItems(), e.ack);
        w.text(name + " Text", e.text);
    }
    w.number("Decoder Tone Length", d.decoderToneLength, " mS");
    w.number("Covert Rx Time", d.covertRxTime, " S");
    w.number("Covert Tx Time", d.covertTxTime, " S");
}

void describeDtmf(Writer& w, const DtmfSettings& t) {
    w.page("DTMF and Selcall Status");
    w.number("DTMF", t.dtmf);
    w.number("DTMF Lead In Time", t.dtmfLeadInTime, " mS");
    w.number("DTMF Lead Out Time", t.dtmfLeadOutTime, " mS");
    w.number("DTMF Mark Time", t.dtmfMarkTime, " mS");
    w.number("DTMF Space Time", t.dtmfSpaceTime, " mS");
    for (int i = 0; i < 9; ++i) w.text("DTMF " + std::to_string(i + 1), t.dtmfCodes[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 4; ++i) {
        const std::string name = "DTMF Decoding Address " + std::to_string(i + 1);
        w.text(name, t.dtmfDecodeAddress[static_cast<std::size_t>(i)]);
        w.choice(name + " Action", sl::dtmfActionItems(), t.dtmfDecodeAction[static_cast<std::size_t>(i)]);
    }
    for (int i = 0; i < 10; ++i) {
        char label[16];
        std::snprintf(label, sizeof label, "Status %02d", i + 1);
        w.text(label, t.statusText[static_cast<std::size_t>(i)]);
    }
}

void describeModem(Writer& w, const ModemSettings& m) {
    w.page("Modem");
    w.choice("Baud Rate", sl::modemBaudRateItems(), m.modemBaudRate);
    w.number("Initializing Data for HT", m.initializingDataForHt);
    w.choice("Tx Delay Time", sl::txDelayTimeItems(), m.txDelayTime, " mS");
    w.choice("Tx On Delay", sl::txOnDelayItems(), m.txOnDelay, " mS");
    w.choice("Tx Off Delay", sl::txOffDelayItems(), m.txOffDelay, " mS");
    w.choice("Rx On Delay", sl::rxOnDelayItems(), m.rxOnDelay, " mS");
    for (int i = 0; i < 9; ++i) w.text("Modem Text " + std::to_string(i + 1), m.modemText[static_cast<std::size_t>(i)]);
    for (int i = 0; i < 20; ++i)
        w.text("Common Sentence " + std::to_string(i + 1), m.commonSentence[static_cast<std::size_t>(i)]);
}

}  // namespace

std::vector<NamedSetting> describeSettings(const RadioSettings& s) {
    std::vector<NamedSetting> out;
    Writer w(out);
    w.page("Header");
    w.add("Model", orUnknown(modelName(s.header.model), s.header.model));
    w.add("Radio Band", isValidModel(s.header.model) && isValidBand(s.header.radioBand)
                            ? std::string(bandName(s.header.model, s.header.radioBand))
                            : "(" + std::to_string(s.header.radioBand) + ")");
    w.add("Speaker", orUnknown(speakerName(s.header.speaker), s.header.speaker));
    w.text("LCD Display Logo", s.header.lcdDisplayLogo);
    describeChannels(w, s.channelTable);
    describeOption(w, s.option);
    describeTones(w, s.toneSequence);
    describeEncode(w, s.selcallEncode);
    describeDecode(w, s.selcallDecode);
    describeDtmf(w, s.dtmf);
    describeModem(w, s.modem);
    return out;
}

std::vector<SettingDifference> diffSettings(const RadioSettings& before, const RadioSettings& after) {
    const std::vector<NamedSetting> a = describeSettings(before);
    const std::vector<NamedSetting> b = describeSettings(after);
    std::map<std::string, const std::string*> inB;
    for (const NamedSetting& s : b) inB.emplace(s.name, &s.value);
    std::map<std::string, bool> inA;
    std::vector<SettingDifference> out;
    for (const NamedSetting& s : a) {
        inA.emplace(s.name, true);
        const auto it = inB.find(s.name);
        const std::string other = it == inB.end() ? std::string() : *it->second;
        if (other != s.value) out.push_back({s.name, s.value, other});
    }
    for (const NamedSetting& s : b)
        if (!inA.count(s.name) && !s.value.empty()) out.push_back({s.name, "", s.value});
    return out;
}

std::vector<SettingDifference> diffSettingsWithImage(const RadioSettings& settings, const MemoryImage& image,
                                                     bool imageFirst) {
    const RadioSettings held = configurationAsRadioHoldsIt(settings);
    const RadioSettings read = configurationFromImage(image, settings);
    return imageFirst ? diffSettings(read, held) : diffSettings(held, read);
}

std::string formatSettingDifference(const SettingDifference& d) {
    auto shown = [](const std::string& v) { return v.empty() ? std::string("(empty)") : v; };
    return d.name + ": " + shown(d.before) + " \u2192 " + shown(d.after);
}

}  // namespace ks340
