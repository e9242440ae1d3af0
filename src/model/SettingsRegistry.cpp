#include "model/SettingsRegistry.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstdio>
#include <unordered_map>

#include "model/ChannelEditing.h"
#include "model/ChannelStep.h"
#include "model/ChannelValidator.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/OptionRules.h"
#include "model/Signalling.h"
#include "model/SignallingLists.h"
#include "model/SquelchText.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/ToneLists.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

namespace ol = optionlists;
namespace sl = signalling;

using IntRef = int* (*)(RadioSettings&, int);
using TextRef = std::string* (*)(RadioSettings&, int);
using ChoicesFn = ChoiceList (*)(const RadioSettings&);

#define KS_INT(expr)                       \
    +[](RadioSettings& s, int i) -> int* { \
        (void)i;                           \
        return &(expr);                    \
    }
#define KS_TEXT(expr)                              \
    +[](RadioSettings& s, int i) -> std::string* { \
        (void)i;                                   \
        return &(expr);                            \
    }
#define KS_CHOICES(expr)                        \
    +[](const RadioSettings& s) -> ChoiceList { \
        (void)s;                                \
        return expr;                            \
    }

ChoiceList positions(const std::vector<std::string>& items, int offset = 0) {
    ChoiceList list;
    list.reserve(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) list.push_back({static_cast<int>(i) + offset, items[i]});
    return list;
}

template <std::size_t N>
ChoiceList positions(const std::array<std::string_view, N>& items) {
    ChoiceList list;
    for (std::size_t i = 0; i < N; ++i) list.push_back({static_cast<int>(i), std::string(items[i])});
    return list;
}

ChoiceList keyChoices(int slot) {
    ChoiceList list;
    for (int code = ol::kKeyNone; code <= ol::lastKeyCode(slot); ++code)
        list.push_back({code, std::string(ol::keyFunctionText(code))});
    return list;
}

// Tx Timer and Tx Inhibit: 0 is off, n the list's entry n.
ChoiceList offOrPositionPlusOne(const std::vector<std::string>& items) {
    ChoiceList list{{0, "Off"}};
    const ChoiceList rest = positions(items, 1);
    list.insert(list.end(), rest.begin(), rest.end());
    return list;
}

ChoiceList offOn() { return {{0, "OFF"}, {1, "ON"}}; }

SettingInfo number(std::string key, std::string name, IntRef ref, int minimum, int maximum, std::string unit = {},
                   int step = 1) {
    SettingInfo e;
    e.key = std::move(key);
    e.name = std::move(name);
    e.type = SettingType::Number;
    e.integer = ref;
    e.minimum = minimum;
    e.maximum = maximum;
    e.unit = std::move(unit);
    e.step = step;
    return e;
}

// A value the program derives or only carries: any whole number, not set by hand.
SettingInfo stored(std::string key, std::string name, IntRef ref) {
    SettingInfo e = number(std::move(key), std::move(name), ref, INT_MIN, INT_MAX);
    e.settable = false;
    return e;
}

SettingInfo choice(std::string key, std::string name, IntRef ref, ChoicesFn choices, std::string unit = {}) {
    SettingInfo e;
    e.key = std::move(key);
    e.name = std::move(name);
    e.type = SettingType::Choice;
    e.integer = ref;
    e.choices = choices;
    e.unit = std::move(unit);
    e.minimum = INT_MIN;
    e.maximum = INT_MAX;
    return e;
}

SettingInfo text(std::string key, std::string name, TextRef ref, int maxLength, TextAlphabet alphabet,
                 StoredAs storedAs = StoredAs::Text) {
    SettingInfo e;
    e.key = std::move(key);
    e.name = std::move(name);
    e.type = SettingType::Text;
    e.storedAs = storedAs;
    e.text = ref;
    e.maxLength = maxLength;
    e.alphabet = alphabet;
    return e;
}

SettingInfo hidden(SettingInfo e) {
    e.settable = false;
    return e;
}

SettingInfo derived(SettingInfo e) {
    e.derived = true;
    return e;
}

// The option report's own label, unit or text for the value.
SettingInfo report(SettingInfo e, std::string label, std::string unit = {}, std::string (*text)(int value) = nullptr) {
    e.reportLabel = std::move(label);
    e.reportUnit = std::move(unit);
    e.reportText = text;
    return e;
}

// The page's label, where the name adds the box the field stands in.
SettingInfo labelled(SettingInfo e, std::string label) {
    e.label = std::move(label);
    return e;
}

std::string keyFunctionName(int code) { return std::string(ol::keyFunctionText(code)); }

SettingInfo indexed(SettingInfo e, int index) {
    e.index = index;
    return e;
}

SettingInfo checked(SettingInfo e, int minimum, int maximum, std::string checkName) {
    e.checkedOnLoad = true;
    e.checkName = std::move(checkName);
    e.minimum = minimum;
    e.maximum = maximum;
    return e;
}

std::string toneIndex(int tone) { return std::string(1, tonelists::toneDigit(tone)); }

std::string twoDigits(int n) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "%02d", n);
    return buffer;
}

class TableBuilder {
public:
    explicit TableBuilder(std::vector<SettingInfo>& out) : out_(out) {}
    void line(SettingLine l) {
        line_ = l;
        position_ = 0;
    }
    void add(SettingInfo e, SettingScope scope = SettingScope::Configuration) {
        e.line = line_;
        e.position = position_++;
        e.scope = scope;
        out_.push_back(std::move(e));
    }

private:
    std::vector<SettingInfo>& out_;
    SettingLine line_ = SettingLine::Header;
    int position_ = 0;
};

// A number the program keeps for a group or a channel: read, never set.
SettingInfo keptNumber(std::string field, std::string name) {
    SettingInfo e;
    e.key = std::move(field);
    e.name = std::move(name);
    e.type = SettingType::Number;
    e.minimum = INT_MIN;
    e.maximum = INT_MAX;
    e.settable = false;
    return e;
}

SettingInfo groupField(std::string field, std::string name, int ChannelGroup::*member) {
    SettingInfo e = keptNumber(std::move(field), std::move(name));
    e.groupInteger = member;
    return e;
}

SettingInfo channelNumber(std::string field, std::string name, int ChannelEntry::*member) {
    SettingInfo e = keptNumber(std::move(field), std::move(name));
    e.channelInteger = member;
    return e;
}

SettingInfo channelChoice(std::string field, std::string name, int ChannelEntry::*member, ChoicesFn choices) {
    SettingInfo e = channelNumber(std::move(field), std::move(name), member);
    e.type = SettingType::Choice;
    e.choices = choices;
    e.settable = true;
    return e;
}

SettingInfo channelText(std::string field, std::string name, std::string ChannelEntry::*member, int maxLength,
                        TextAlphabet alphabet, std::string unit = {}) {
    SettingInfo e;
    e.key = std::move(field);
    e.name = std::move(name);
    e.type = SettingType::Text;
    e.storedAs = StoredAs::Text;
    e.maxLength = maxLength;
    e.alphabet = alphabet;
    e.unit = std::move(unit);
    e.channelText = member;
    return e;
}

SettingInfo squelch(std::string field, std::string name, int ChannelEntry::*member) {
    SettingInfo e = channelNumber(std::move(field), std::move(name), member);
    e.type = SettingType::Squelch;
    e.settable = true;
    return e;
}

void buildHeader(TableBuilder& b) {
    b.line(SettingLine::Header);
    b.add(checked(
        choice("header.speaker", "Header / Speaker", KS_INT(s.header.speaker), KS_CHOICES(positions(SpeakerTable))), 0,
        kSpeakerCount - 1, "speaker"));
    b.add(checked(choice("header.model", "Header / Model", KS_INT(s.header.model), KS_CHOICES(positions(ModelTable))),
                  0, kModelCount - 1, "model"));
    b.add(checked(choice("header.radioBand", "Header / Radio Band", KS_INT(s.header.radioBand), KS_CHOICES([&] {
                             ChoiceList l;
                             for (int band = 0; band < kBandsPerModel; ++band)
                                 l.push_back({band, std::string(bandRow(s.header.model, band).name)});
                             return l;
                         }())),
                  0, kBandsPerModel - 1, "band"));
    b.add(text("header.lcdDisplayLogo", "Header / LCD Display Logo", KS_TEXT(s.header.lcdDisplayLogo), 9,
               TextAlphabet::Any));
}

void buildChannelTable(TableBuilder& b) {
    b.line(SettingLine::ChannelTable);
    b.add(checked(
        derived(stored("channels.currentGroup", "Channels / Current Group", KS_INT(s.channelTable.currentGroup))), 0,
        kGroupSlots - 1, "current group"));
    b.add(derived(
        stored("channels.currentChannel", "Channels / Current Channel", KS_INT(s.channelTable.currentChannel))));
    b.add(derived(
        stored("channels.totalCapability", "Channels / Total Capability", KS_INT(s.channelTable.totalCapability))));
    b.add(derived(stored("channels.tableSpare", "Channels / tableSpare", KS_INT(s.channelTable.tableSpare))));
    b.add(derived(stored("channels.channelsLeft", "Channels / Left", KS_INT(s.channelTable.channelsLeft))));
    b.add(derived(stored("channels.channelCapacity", "Channels / Capacity", KS_INT(s.channelTable.channelCapacity))));
    b.add(derived(stored("channels.firstProgrammedGroup", "Channels / firstProgrammedGroup",
                         KS_INT(s.channelTable.firstProgrammedGroup))));
    b.add(
        derived(stored("channels.firstScanGroup", "Channels / firstScanGroup", KS_INT(s.channelTable.firstScanGroup))));
    b.add(derived(stored("channels.lowestGroup", "Channels / lowestGroup", KS_INT(s.channelTable.lowestGroup))));
    b.add(derived(stored("channels.highestGroup", "Channels / highestGroup", KS_INT(s.channelTable.highestGroup))));
    b.add(derived(stored("channels.lastScanGroup", "Channels / lastScanGroup", KS_INT(s.channelTable.lastScanGroup))));
    b.add(derived(
        stored("channels.priorityPresent", "Channels / priorityPresent", KS_INT(s.channelTable.priorityPresent))));
    b.add(derived(
        stored("channels.noPowerOnChannel", "Channels / noPowerOnChannel", KS_INT(s.channelTable.noPowerOnChannel))));
    b.add(hidden(choice("channels.scanMode", "Radio / Mode", KS_INT(s.channelTable.scanMode),
                        KS_CHOICES((ChoiceList{{0, "All Channel Scan Mode"}, {1, "Group Scan Mode"}})))));
    b.add(derived(
        stored("channels.appliedScanMode", "Channels / appliedScanMode", KS_INT(s.channelTable.appliedScanMode))));
    b.add(derived(stored("channels.groupScanFlag", "Channels / groupScanFlag", KS_INT(s.channelTable.groupScanFlag))));
    b.add(
        derived(stored("channels.anyScanChannel", "Channels / anyScanChannel", KS_INT(s.channelTable.anyScanChannel))));
}

void buildGroup(TableBuilder& b) {
    b.line(SettingLine::Group);
    const auto add = [&](SettingInfo e) { b.add(std::move(e), SettingScope::Group); };
    add(groupField("enabled", "enabled", &ChannelGroup::enabled));
    add(groupField("hasChannels", "hasChannels", &ChannelGroup::hasChannels));
    add(groupField("groupSpare", "groupSpare", &ChannelGroup::groupSpare));
    add(groupField("firstChannel", "firstChannel", &ChannelGroup::firstChannel));
    add(groupField("lastChannel", "lastChannel", &ChannelGroup::lastChannel));
    add(groupField("priorityChannel", "priorityChannel", &ChannelGroup::priorityChannel));
    add(groupField("powerOnChannel", "powerOnChannel", &ChannelGroup::powerOnChannel));
    SettingInfo capability = groupField("capability", "Capability", &ChannelGroup::capability);
    capability.settable = true;
    add(checked(std::move(capability), 0, kChannelCapacity, "capability"));
    add(groupField("channelEnd", "channelEnd", &ChannelGroup::channelEnd));
}

void buildChannel(TableBuilder& b) {
    b.line(SettingLine::Channel);
    const auto add = [&](SettingInfo e) { b.add(std::move(e), SettingScope::Channel); };
    add(channelText("label", "Label", &ChannelEntry::label, kChannelLabelLength, TextAlphabet::Printable));
    add(channelChoice("bandwidth", "BandWidth", &ChannelEntry::bandwidth,
                      KS_CHOICES((ChoiceList{{0, "N"}, {1, "S"}}))));
    add(channelNumber("inUse", "inUse", &ChannelEntry::inUse));
    add(channelChoice("txPower", "Tx Power", &ChannelEntry::txPower,
                      KS_CHOICES((ChoiceList{{0, "Low"}, {1, "High"}}))));
    add(channelChoice("powerOnChannel", "PowON CH", &ChannelEntry::powerOnChannel, KS_CHOICES(offOn())));
    add(channelChoice("priorityChannel", "Priority CH", &ChannelEntry::priorityChannel, KS_CHOICES(offOn())));
    add(channelNumber("rxInverseDcs", "rxInverseDcs", &ChannelEntry::rxInverseDcs));
    add(channelChoice("scanChannel", "Scan CH", &ChannelEntry::scanChannel, KS_CHOICES(offOn())));
    add(channelNumber("txInverseDcs", "txInverseDcs", &ChannelEntry::txInverseDcs));
    add(channelNumber("rxCodeN", "rxCodeN", &ChannelEntry::rxCodeN));
    add(channelNumber("rxCodeA", "rxCodeA", &ChannelEntry::rxCodeA));
    add(channelNumber("txCodeN", "txCodeN", &ChannelEntry::txCodeN));
    add(channelNumber("txCodeA", "txCodeA", &ChannelEntry::txCodeA));
    add(squelch("rxSquelch", "RX Option", &ChannelEntry::rxSquelch));
    add(squelch("txSquelch", "Tx Option", &ChannelEntry::txSquelch));
    add(channelText("rxFrequency", "Rx Freq.", &ChannelEntry::rxFrequency, 16, TextAlphabet::Frequency, "MHz"));
    add(channelText("txFrequency", "Tx Freq.", &ChannelEntry::txFrequency, 16, TextAlphabet::Frequency, "MHz"));
    add(channelNumber("channelSpare1", "channelSpare1", &ChannelEntry::channelSpare1));
    add(channelNumber("channelSpare2", "channelSpare2", &ChannelEntry::channelSpare2));
    add(channelNumber("channelSpare3", "channelSpare3", &ChannelEntry::channelSpare3));
    add(channelNumber("channelSpare4", "channelSpare4", &ChannelEntry::channelSpare4));
    add(channelNumber("rxStepCode", "rxStepCode", &ChannelEntry::rxStepCode));
    add(channelNumber("txStepCode", "txStepCode", &ChannelEntry::txStepCode));
}

ChoiceList disableEnable() { return positions(ol::disableEnableItems()); }

void buildOption(TableBuilder& b) {
    b.line(SettingLine::Option);
    const char* keyNames[3] = {"Option / Programmable Key 1", "Option / Programmable Key 2",
                               "Option / Programmable Key 3"};
    b.add(report(choice("option.programmableKey1Short", std::string(keyNames[0]) + " Short Key",
                        KS_INT(s.option.programmableKey1Short), KS_CHOICES(keyChoices(ol::shortSlot(0)))),
                 "Programmable Key1", {}, keyFunctionName));
    b.add(report(choice("option.programmableKey2Short", std::string(keyNames[1]) + " Short Key",
                        KS_INT(s.option.programmableKey2Short), KS_CHOICES(keyChoices(ol::shortSlot(1)))),
                 "Programmable Key2", {}, keyFunctionName));
    b.add(report(choice("option.programmableKey3Short", std::string(keyNames[2]) + " Short Key",
                        KS_INT(s.option.programmableKey3Short), KS_CHOICES(keyChoices(ol::shortSlot(2)))),
                 "Programmable Key3", {}, keyFunctionName));
    b.add(report(choice("option.programmableKey1Long", std::string(keyNames[0]) + " Long Key",
                        KS_INT(s.option.programmableKey1Long), KS_CHOICES(keyChoices(ol::longSlot(0)))),
                 "Programmable Key1", {}, keyFunctionName));
    b.add(report(choice("option.programmableKey2Long", std::string(keyNames[1]) + " Long Key",
                        KS_INT(s.option.programmableKey2Long), KS_CHOICES(keyChoices(ol::longSlot(1)))),
                 "Programmable Key2", {}, keyFunctionName));
    b.add(report(choice("option.programmableKey3Long", std::string(keyNames[2]) + " Long Key",
                        KS_INT(s.option.programmableKey3Long), KS_CHOICES(keyChoices(ol::longSlot(2)))),
                 "Programmable Key3", {}, keyFunctionName));
    b.add(derived(stored("option.programmableKey1Mode", std::string(keyNames[0]) + " Mode",
                         KS_INT(s.option.programmableKey1Mode))));
    b.add(derived(stored("option.programmableKey2Mode", std::string(keyNames[1]) + " Mode",
                         KS_INT(s.option.programmableKey2Mode))));
    b.add(derived(stored("option.programmableKey3Mode", std::string(keyNames[2]) + " Mode",
                         KS_INT(s.option.programmableKey3Mode))));
    b.add(choice("option.txDelay", "Option / Tx Delay", KS_INT(s.option.txDelay), KS_CHOICES(disableEnable())));
    b.add(hidden(choice("option.monitor", "Option / Monitor", KS_INT(s.option.monitor), KS_CHOICES(disableEnable()))));
    b.add(choice("option.priorityLbTime", "Option / Priority LB Time", KS_INT(s.option.priorityLbTime),
                 KS_CHOICES(positions(ol::priorityLbTimeItems())), "S"));
    b.add(choice("option.hook", "Option / Hook", KS_INT(s.option.hook), KS_CHOICES(disableEnable())));
    b.add(choice("option.hookScan", "Option / Hook Scan", KS_INT(s.option.hookScan),
                 KS_CHOICES(positions(ol::offOnItems()))));
    b.add(choice("option.beep", "Option / Beep", KS_INT(s.option.beep), KS_CHOICES(disableEnable())));
    b.add(hidden(choice("option.publicAddress", "Option / Public Address", KS_INT(s.option.publicAddress),
                        KS_CHOICES(disableEnable()))));
    b.add(report(choice("option.powerUpAlert", "Option / Power up Alert", KS_INT(s.option.powerUpAlert),
                        KS_CHOICES(disableEnable())),
                 "Power Up Alert"));
    b.add(report(choice("option.powerUp", "Option / Power up", KS_INT(s.option.powerUp),
                        KS_CHOICES(positions(ol::closeOpenItems()))),
                 "Power Up"));
    b.add(choice("option.autoMute", "Option / Auto Mute", KS_INT(s.option.autoMute), KS_CHOICES(disableEnable())));
    b.add(number("option.autoMuteTimer", "Option / Auto Mute Timer", KS_INT(s.option.autoMuteTimer), 0,
                 ol::kAutoMuteTimerMax, "S"));
    b.add(choice("option.pttTimer", "Option / PTT Timer", KS_INT(s.option.pttTimer), KS_CHOICES(disableEnable())));
    b.add(report(choice("option.txTimer", "Option / Tx Timer", KS_INT(s.option.txTimer),
                        KS_CHOICES(offOrPositionPlusOne(ol::txTimerItems())), "S"),
                 "TX Timer", {}, ol::txTimerText));
    b.add(report(choice("option.txInhibit", "Option / Tx Inhibit", KS_INT(s.option.txInhibit),
                        KS_CHOICES(offOrPositionPlusOne(ol::txInhibitItems())), "S"),
                 "TX Inhibit", {}, ol::txInhibitText));
    b.add(report(choice("option.txInhibitAlert", "Option / Tx Inhibit Alert", KS_INT(s.option.txInhibitAlert),
                        KS_CHOICES(disableEnable())),
                 "TX Inhibit Alert"));
    b.add(choice("option.openLock", "Option / Open Lock", KS_INT(s.option.openLock),
                 KS_CHOICES(positions(ol::openLockItems()))));
    b.add(report(choice("option.busyChLockOut", "Option / Busy Ch. Lock out", KS_INT(s.option.busyChLockOut),
                        KS_CHOICES(disableEnable())),
                 "Busy CH. Lock Out"));
    b.add(choice("option.markIdle", "Option / Mark Idle", KS_INT(s.option.markIdle), KS_CHOICES(disableEnable())));
    b.add(hidden(choice("option.scanType", "Option / Scan Type", KS_INT(s.option.scanType),
                        KS_CHOICES(positions(ol::scanTypeItems())))));
    b.add(choice("option.scanTx", "Option / Scan Tx", KS_INT(s.option.scanTx), KS_CHOICES([] {
                     ChoiceList l;
                     for (int v = kScanTxPriorityOnly; v <= kScanTxNormal; ++v)
                         l.push_back({v, std::string(ol::scanTxText(v))});
                     return l;
                 }())));
    b.add(choice("option.scanWaitTime", "Option / Scan Wait Time", KS_INT(s.option.scanWaitTime),
                 KS_CHOICES(positions(ol::scanWaitTimeItems())), "S"));
    SettingInfo speed =
        number("option.scanSpeedTime", "Option / Scan Speed Time", KS_INT(s.option.scanSpeedTime), 4, 199, "S");
    speed.type = SettingType::Seconds;
    b.add(std::move(speed));
}

void buildToneSequence(TableBuilder& b) {
    b.line(SettingLine::ToneSequence);
    b.add(checked(choice("tone.toneset", "Tone Sequence / Toneset", KS_INT(s.toneSequence.toneset), KS_CHOICES([] {
                             ChoiceList l;
                             for (int t = 0; t < kToneSetCount; ++t)
                                 l.push_back({t, std::string(tonelists::toneSetName(t))});
                             return l;
                         }())),
                  0, kToneSetCount - 1, "tone set"));
    for (int t = 0; t < kToneCount; ++t) {
        SettingInfo e = number("tone.toneFrequency[" + toneIndex(t) + "]", "Tone Sequence / " + tonelists::toneLabel(t),
                               KS_INT(s.toneSequence.toneFrequency[static_cast<std::size_t>(i)]), 0, 3000, "Hz");
        e.settable = false;  // the tone set's table, or the user tone texts
        b.add(indexed(std::move(e), t));
    }
    // The report prints the tone page's times in "ms", the decode and DTMF times in "mS".
    b.add(report(number("tone.toneLength", "Tone Sequence / Tone Length", KS_INT(s.toneSequence.toneLength), 0,
                        kMaxTimeMs, "mS", 5),
                 {}, "ms"));
    const auto name = [](int n, const char* what) { return "Tone Sequence / " + tonelists::sequenceLabel(n) + what; };
    const auto key = [](int n, const char* what) { return "tone.sequence[" + std::to_string(n) + "]." + what; };
    for (int n = 1; n < kSequenceSlots; ++n)
        b.add(indexed(text(key(n, "sequence"), name(n, ""),
                           KS_TEXT(s.toneSequence.sequences[static_cast<std::size_t>(i)].sequence),
                           tonelists::kSequenceLength, TextAlphabet::ToneSequence),
                      n));
    for (int n = 1; n < kSequenceSlots; ++n)
        b.add(indexed(report(number(key(n, "leadInTime"), name(n, " Lead In Time"),
                                    KS_INT(s.toneSequence.sequences[static_cast<std::size_t>(i)].leadInTime), 0,
                                    kMaxTimeMs, "mS", 5),
                             {}, "ms"),
                      n));
    for (int n = 1; n < kSequenceSlots; ++n)
        b.add(indexed(report(number(key(n, "firstToneTime"), name(n, " 1st Tone Time"),
                                    KS_INT(s.toneSequence.sequences[static_cast<std::size_t>(i)].firstToneTime), 0,
                                    kMaxTimeMs, "mS", 5),
                             {}, "ms"),
                      n));
    for (int n = 1; n < kSequenceSlots; ++n)
        b.add(indexed(report(number(key(n, "leadOutTime"), name(n, " Lead Out Time"),
                                    KS_INT(s.toneSequence.sequences[static_cast<std::size_t>(i)].leadOutTime), 0,
                                    kMaxTimeMs, "mS", 5),
                             {}, "ms"),
                      n));
    for (int t = 0; t < kToneCount; ++t)
        b.add(indexed(text("tone.userTone[" + toneIndex(t) + "]", "Tone Sequence / User " + tonelists::toneLabel(t),
                           KS_TEXT(s.toneSequence.userTone[static_cast<std::size_t>(i)]), tonelists::kToneFieldLength,
                           TextAlphabet::Digits, StoredAs::RawText),
                      t));
}

// The fields of encode call 1, 2 or 3.
struct CallFields {
    std::string* sequence;
    int* checkOpen;
    int* checkBusy;
    int* encodeAlert;
};

CallFields callFields(SelcallEncodeSettings& e, int n) {
    switch (n) {
        case 1:
            return {&e.call1Sequence, &e.call1CheckOpen, &e.call1CheckBusy, &e.call1EncodeAlert};
        case 2:
            return {&e.call2Sequence, &e.call2CheckOpen, &e.call2CheckBusy, &e.call2EncodeAlert};
        default:
            return {&e.call3Sequence, &e.call3CheckOpen, &e.call3CheckBusy, &e.call3EncodeAlert};
    }
}

void buildSelcallEncode(TableBuilder& b) {
    b.line(SettingLine::SelcallEncode);
    const auto de = KS_CHOICES(positions(sl::disableEnableItems()));
    const auto types = KS_CHOICES(positions(sl::signallingTypeItems()));
    const auto seconds = [](std::string key, std::string name, IntRef ref) {
        return number(std::move(key), "Encode / " + name, ref, 0, sl::kMaxEncodeSeconds, "S");
    };
    const auto sequence = [](std::string key, std::string name, TextRef ref) {
        return text(std::move(key), "Encode / " + name, ref, sl::kSequenceNumberLength, TextAlphabet::OneToEight);
    };
    b.add(hidden(choice("encode.selcall", "Encode / Selcall", KS_INT(s.selcallEncode.selcall), de)));
    b.add(choice("encode.emgType", "Encode / EMG Type", KS_INT(s.selcallEncode.emgType), types));
    b.add(report(sequence("encode.emgSequence", "EMG Seq.", KS_TEXT(s.selcallEncode.emgSequence)), "EMG Sequence"));
    b.add(labelled(
        choice("encode.emgCheckOpen", "Encode / Emergency Check Open", KS_INT(s.selcallEncode.emgCheckOpen), de),
        "Check Open"));
    b.add(labelled(
        choice("encode.emgCheckBusy", "Encode / Emergency Check Busy", KS_INT(s.selcallEncode.emgCheckBusy), de),
        "Check Busy"));
    b.add(labelled(
        choice("encode.emgEncodeAlert", "Encode / Emergency Encode Alert", KS_INT(s.selcallEncode.emgEncodeAlert), de),
        "Encode Alert"));
    b.add(choice("encode.emgRepeats", "Encode / Repeats", KS_INT(s.selcallEncode.emgRepeats),
                 KS_CHOICES(positions(sl::repeatsItems()))));
    b.add(seconds("encode.emgCycleRepeatTime", "Cycle Repeat Time", KS_INT(s.selcallEncode.emgCycleRepeatTime)));
    b.add(seconds("encode.emgTxTimer", "Tx Timer", KS_INT(s.selcallEncode.emgTxTimer)));
    b.add(sequence("encode.acknowledge1", "Acknowledge 1", KS_TEXT(s.selcallEncode.acknowledge1)));
    b.add(sequence("encode.acknowledge2", "Acknowledge 2", KS_TEXT(s.selcallEncode.acknowledge2)));
    b.add(sequence("encode.acknowledge3", "Acknowledge 3", KS_TEXT(s.selcallEncode.acknowledge3)));
    b.add(choice("encode.aniType", "Encode / ANI Type", KS_INT(s.selcallEncode.aniType), types));
    b.add(report(sequence("encode.aniSequence", "ANI Seq.", KS_TEXT(s.selcallEncode.aniSequence)), "ANI Sequence"));
    b.add(choice("encode.aniAt", "Encode / ANI at", KS_INT(s.selcallEncode.aniAt),
                 KS_CHOICES(positions(sl::aniAtItems(s.selcallEncode.aniType)))));
    b.add(seconds("encode.multiAniDelay", "Multi ANI Delay", KS_INT(s.selcallEncode.multiAniDelay)));
    for (int n = 1; n <= 3; ++n) {
        const std::string key = "encode.call" + std::to_string(n);
        const std::string name = "Encode / Call " + std::to_string(n);
        b.add(indexed(report(sequence(key + "Sequence", "Call " + std::to_string(n) + " Sequence",
                                      KS_TEXT(*callFields(s.selcallEncode, i).sequence)),
                             "Call" + std::to_string(n) + " Sequence"),
                      n));
        b.add(indexed(labelled(choice(key + "CheckOpen", name + " Check Open",
                                      KS_INT(*callFields(s.selcallEncode, i).checkOpen), de),
                               "Check Open"),
                      n));
        b.add(indexed(labelled(choice(key + "CheckBusy", name + " Check Busy",
                                      KS_INT(*callFields(s.selcallEncode, i).checkBusy), de),
                               "Check Busy"),
                      n));
        b.add(indexed(labelled(choice(key + "EncodeAlert", name + " Encode Alert",
                                      KS_INT(*callFields(s.selcallEncode, i).encodeAlert), de),
                               "Encode Alert"),
                      n));
    }
}

void buildSelcallDecode(TableBuilder& b) {
    b.line(SettingLine::SelcallDecode);
    const auto& names = sl::decodeEntryNames();
    const auto& addressLabels = sl::decodeAddressLabels();
    for (int i = 0; i < kDecodeEntries; ++i) {
        const std::string key = "decode.entry[" + std::to_string(i + 1) + "].";
        const std::string name = "Decode / " + names[static_cast<std::size_t>(i)];
        b.add(indexed(text(key + "address", "Decode / " + addressLabels[static_cast<std::size_t>(i)],
                           KS_TEXT(s.selcallDecode.decodeEntries[static_cast<std::size_t>(i)].address),
                           sl::kDecodeAddressLength, TextAlphabet::SelcallAddress),
                      i));
        b.add(indexed(labelled(choice(key + "action", name + " Action",
                                      KS_INT(s.selcallDecode.decodeEntries[static_cast<std::size_t>(i)].action),
                                      KS_CHOICES(positions(sl::decodeActionItems()))),
                               "Action"),
                      i));
        b.add(indexed(labelled(choice(key + "ack", name + " Ack",
                                      KS_INT(s.selcallDecode.decodeEntries[static_cast<std::size_t>(i)].ack),
                                      KS_CHOICES(positions(sl::decodeAckItems()))),
                               "Ack"),
                      i));
        b.add(indexed(labelled(text(key + "text", name + " Text",
                                    KS_TEXT(s.selcallDecode.decodeEntries[static_cast<std::size_t>(i)].text),
                                    sl::kDecodeTextLength, TextAlphabet::Printable),
                               "Text"),
                      i));
    }
    b.add(number("decode.decoderToneLength", "Decode / Decoder Tone Length", KS_INT(s.selcallDecode.decoderToneLength),
                 0, kMaxTimeMs, "mS", 5));
    b.add(number("decode.covertRxTime", "Decode / Covert Rx Time", KS_INT(s.selcallDecode.covertRxTime), 0,
                 sl::kMaxCovertSeconds, "S"));
    b.add(number("decode.covertTxTime", "Decode / Covert Tx Time", KS_INT(s.selcallDecode.covertTxTime), 0,
                 sl::kMaxCovertSeconds, "S"));
}

void buildDtmf(TableBuilder& b) {
    b.line(SettingLine::Dtmf);
    const std::string page = "DTMF and Selcall Status / ";
    b.add(choice("dtmf.dtmf", page + "DTMF", KS_INT(s.dtmf.dtmf), KS_CHOICES(positions(sl::disableEnableItems()))));
    b.add(number("dtmf.dtmfLeadInTime", page + "DTMF Lead In Time", KS_INT(s.dtmf.dtmfLeadInTime), 0,
                 sl::kDtmfLeadTimeLimit, "mS", 10));
    b.add(number("dtmf.dtmfLeadOutTime", page + "DTMF Lead Out Time", KS_INT(s.dtmf.dtmfLeadOutTime), 0,
                 sl::kDtmfLeadTimeLimit, "mS", 10));
    b.add(number("dtmf.dtmfMarkTime", page + "DTMF Mark Time", KS_INT(s.dtmf.dtmfMarkTime), sl::kDtmfToneTimeMinimum,
                 sl::kDtmfToneTimeLimit, "mS", 10));
    b.add(number("dtmf.dtmfSpaceTime", page + "DTMF Space Time", KS_INT(s.dtmf.dtmfSpaceTime), sl::kDtmfToneTimeMinimum,
                 sl::kDtmfToneTimeLimit, "mS", 10));
    for (int i = 0; i < 9; ++i)
        b.add(indexed(text("dtmf.dtmfCodes[" + std::to_string(i + 1) + "]", page + "DTMF " + std::to_string(i + 1),
                           KS_TEXT(s.dtmf.dtmfCodes[static_cast<std::size_t>(i)]), sl::kDtmfDigitsLength,
                           TextAlphabet::DtmfDigits),
                      i));
    for (int i = 0; i < 4; ++i) {
        const std::string n = std::to_string(i + 1);
        b.add(indexed(labelled(text("dtmf.dtmfDecodeAddress[" + n + "]", page + "DTMF Decode Address " + n,
                                    KS_TEXT(s.dtmf.dtmfDecodeAddress[static_cast<std::size_t>(i)]),
                                    sl::kDtmfDigitsLength, TextAlphabet::DtmfDigits),
                               "Address"),
                      i));
        b.add(indexed(labelled(choice("dtmf.dtmfDecodeAction[" + n + "]", page + "DTMF Decode Address " + n + " Action",
                                      KS_INT(s.dtmf.dtmfDecodeAction[static_cast<std::size_t>(i)]),
                                      KS_CHOICES(positions(sl::dtmfActionItems()))),
                               "Action"),
                      i));
    }
    for (int i = 0; i < 10; ++i)
        b.add(indexed(text("dtmf.statusText[" + std::to_string(i + 1) + "]", page + "Status " + twoDigits(i + 1),
                           KS_TEXT(s.dtmf.statusText[static_cast<std::size_t>(i)]), sl::kStatusTextLength,
                           TextAlphabet::Printable),
                      i));
}

void buildModem(TableBuilder& b) {
    b.line(SettingLine::Modem);
    b.add(hidden(choice("modem.modemBaudRate", "Modem / Baud Rate", KS_INT(s.modem.modemBaudRate),
                        KS_CHOICES(positions(sl::modemBaudRateItems())))));
    b.add(stored("modem.initializingDataForHt", "Modem / Initializing Data for HT",
                 KS_INT(s.modem.initializingDataForHt)));
    b.add(hidden(choice("modem.txDelayTime", "Modem / Tx Delay Time", KS_INT(s.modem.txDelayTime),
                        KS_CHOICES(positions(sl::txDelayTimeItems())), "mS")));
    b.add(choice("modem.txOnDelay", "Modem / Tx On Delay", KS_INT(s.modem.txOnDelay),
                 KS_CHOICES(positions(sl::txOnDelayItems())), "mS"));
    b.add(choice("modem.txOffDelay", "Modem / Tx Off Delay", KS_INT(s.modem.txOffDelay),
                 KS_CHOICES(positions(sl::txOffDelayItems())), "mS"));
    b.add(hidden(choice("modem.rxOnDelay", "Modem / Rx On Delay", KS_INT(s.modem.rxOnDelay),
                        KS_CHOICES(positions(sl::rxOnDelayItems())), "mS")));
    for (int i = 0; i < 9; ++i)
        b.add(indexed(
            text("modem.modemText[" + std::to_string(i + 1) + "]", "Modem / Modem Text " + std::to_string(i + 1),
                 KS_TEXT(s.modem.modemText[static_cast<std::size_t>(i)]), sl::kModemTextLength,
                 TextAlphabet::Printable),
            i));
    for (int i = 0; i < 20; ++i)
        b.add(hidden(indexed(text("modem.commonSentence[" + std::to_string(i + 1) + "]",
                                  "Modem / Common Sentence " + std::to_string(i + 1),
                                  KS_TEXT(s.modem.commonSentence[static_cast<std::size_t>(i)]),
                                  sl::kCommonSentenceLength, TextAlphabet::Printable),
                             i)));
}

struct Registry {
    std::vector<SettingInfo> table;
    std::array<std::vector<const SettingInfo*>, 10> lines;
    std::unordered_map<std::string_view, const SettingInfo*> byKey;  // configuration scope
};

const Registry& registry() {
    static const Registry r = [] {
        Registry reg;
        TableBuilder b(reg.table);
        buildHeader(b);
        buildChannelTable(b);
        buildGroup(b);
        buildChannel(b);
        buildOption(b);
        buildToneSequence(b);
        buildSelcallEncode(b);
        buildSelcallDecode(b);
        buildDtmf(b);
        buildModem(b);
        for (const SettingInfo& e : reg.table) {
            reg.lines[static_cast<std::size_t>(e.line)].push_back(&e);
            if (e.scope == SettingScope::Configuration) reg.byKey.emplace(e.key, &e);
        }
        return reg;
    }();
    return r;
}

// ---- Keys ----

// Reads "[N]" at the front of `rest`; the index text in *index.
bool takeIndex(std::string_view& rest, std::string_view& index) {
    if (rest.empty() || rest.front() != '[') return false;
    const std::size_t close = rest.find(']');
    if (close == std::string_view::npos || close == 1) return false;
    index = rest.substr(1, close - 1);
    rest.remove_prefix(close + 1);
    return true;
}

bool parseWhole(std::string_view text, int& value) {
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

const SettingInfo* fieldOf(SettingScope scope, std::string_view field) {
    const SettingLine line = scope == SettingScope::Group ? SettingLine::Group : SettingLine::Channel;
    for (const SettingInfo* e : registry().lines[static_cast<std::size_t>(line)])
        if (e->key == field) return e;
    return nullptr;
}

std::string fieldList(SettingLine line) {
    std::string out;
    for (const SettingInfo* e : registry().lines[static_cast<std::size_t>(line)]) {
        if (!out.empty()) out += ", ";
        out += e->key;
    }
    return out;
}

bool fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

int channelsOf(const RadioSettings& s, int group) {
    return std::clamp(s.channelTable.groups[static_cast<std::size_t>(group)].capability, 0, kChannelCapacity);
}

// ---- Values ----

std::string joinChoices(const ChoiceList& list) {
    std::string out;
    for (const ChoiceItem& item : list) {
        if (!out.empty()) out += ", ";
        out += item.text;
    }
    return out;
}

bool alphabetAccepts(TextAlphabet alphabet, unsigned char c) {
    const auto in = [c](std::string_view set) { return set.find(static_cast<char>(c)) != std::string_view::npos; };
    const bool digit = c >= '0' && c <= '9';
    switch (alphabet) {
        case TextAlphabet::Any:
        case TextAlphabet::Frequency:
            return c >= 0x20 && c != 0x7F;
        case TextAlphabet::Digits:
            return digit;
        case TextAlphabet::OneToEight:
            return c >= '1' && c <= '8';
        case TextAlphabet::DtmfDigits:
            return digit || in("ABCDabcd*#");
        case TextAlphabet::SelcallAddress:
            return digit || in("ABCDEabcdeSsXx");
        case TextAlphabet::ToneSequence:
            return digit || in("ABCDEabcdeKkSsXx");
        case TextAlphabet::Printable:
            return isLabelByte(c);
    }
    return false;
}

std::string alphabetText(TextAlphabet alphabet) {
    switch (alphabet) {
        case TextAlphabet::Any:
            return "characters";
        case TextAlphabet::Digits:
            return "digits";
        case TextAlphabet::OneToEight:
            return "digits 1 to 8";
        case TextAlphabet::DtmfDigits:
            return "DTMF digits (0-9 A-D * #)";
        case TextAlphabet::SelcallAddress:
            return "selcall digits (0-9 A-E S X)";
        case TextAlphabet::ToneSequence:
            return "tone digits (0-9 A-E K S X)";
        case TextAlphabet::Printable:
            return "letters, digits, space and # ' ( ) * + - . / ? \\ _";
        case TextAlphabet::Frequency:
            return "a frequency";
    }
    return {};
}

struct TextRule {
    int maxLength;
    TextAlphabet alphabet;
};

// The emergency and ANI texts hold a sequence number for selcall and DTMF
// digits for DTMF.
TextRule textRule(const SettingInfo& info, const RadioSettings& s) {
    if (info.key == "encode.emgSequence" && s.selcallEncode.emgType == sl::kSignallingTypeDtmf)
        return {sl::kDtmfDigitsLength, TextAlphabet::DtmfDigits};
    if (info.key == "encode.aniSequence" && s.selcallEncode.aniType == sl::kSignallingTypeDtmf)
        return {sl::kDtmfDigitsLength, TextAlphabet::DtmfDigits};
    return {info.maxLength, info.alphabet};
}

std::string keyNameForMessages(const SettingRef& ref) { return settingKey(ref); }

std::string refusal(const SettingRef& ref, const RadioSettings& s, std::string_view value) {
    return keyNameForMessages(ref) + ": '" + std::string(value) + "' is not allowed; allowed: " + allowedValues(ref, s);
}

// The availability rules of the option page.
bool optionAvailable(const std::string& key, const RadioSettings& s, std::string* why) {
    const OptionAvailability a = optionAvailability(s.option, s.channelTable);
    struct Rule {
        const char* key;
        bool available;
        const char* reason;
    };
    const SelcallEncodeSettings& e = s.selcallEncode;
    const bool emergency = !e.emgSequence.empty();
    const bool emergencySelcall = emergency && e.emgType == sl::kSignallingTypeSelcall;
    const bool ani = !e.aniSequence.empty();
    const bool call[3] = {!e.call1Sequence.empty(), !e.call2Sequence.empty(), !e.call3Sequence.empty()};
    const Rule rules[] = {
        {"encode.emgCheckOpen", emergencySelcall, "while the emergency sequence is set"},
        {"encode.emgCheckBusy", emergencySelcall, "while the emergency sequence is set"},
        {"encode.emgEncodeAlert", emergency, "while the emergency text is set"},
        {"encode.emgRepeats", emergency, "while the emergency text is set"},
        {"encode.emgCycleRepeatTime", emergency, "while the emergency text is set"},
        {"encode.emgTxTimer", emergency, "while the emergency text is set"},
        {"encode.aniAt", ani, "while the ANI text is set"},
        {"encode.multiAniDelay", ani, "while the ANI text is set"},
        {"encode.call1CheckOpen", call[0], "while Call 1 Sequence is set"},
        {"encode.call1CheckBusy", call[0], "while Call 1 Sequence is set"},
        {"encode.call1EncodeAlert", call[0], "while Call 1 Sequence is set"},
        {"encode.call2CheckOpen", call[1], "while Call 2 Sequence is set"},
        {"encode.call2CheckBusy", call[1], "while Call 2 Sequence is set"},
        {"encode.call2EncodeAlert", call[1], "while Call 2 Sequence is set"},
        {"encode.call3CheckOpen", call[2], "while Call 3 Sequence is set"},
        {"encode.call3CheckBusy", call[2], "while Call 3 Sequence is set"},
        {"encode.call3EncodeAlert", call[2], "while Call 3 Sequence is set"},
        {"option.programmableKey1Long", a.longKey[0], "while Programmable Key 1 Short Key is not Monitor"},
        {"option.programmableKey2Long", a.longKey[1], "while Programmable Key 2 Short Key is not Monitor"},
        {"option.programmableKey3Long", a.longKey[2], "while Programmable Key 3 Short Key is not Monitor"},
        {"option.hookScan", a.hookScan, "while Hook is Enable"},
        {"option.autoMute", a.autoMute, "while Power up is Open"},
        {"option.autoMuteTimer", a.autoMuteTimer, "while Auto Mute is Enable"},
        {"option.txTimer", a.pttTimers, "while PTT Timer is Enable"},
        {"option.txInhibit", a.pttTimers, "while PTT Timer is Enable"},
        {"option.txInhibitAlert", a.pttTimers, "while PTT Timer is Enable"},
        {"option.markIdle", a.markIdle, "while Busy Ch. Lock out is Enable"},
        {"option.scanTx", a.scanTx, "while some channel is a scan channel"},
        {"option.scanWaitTime", a.scanWaitTime, "while some channel is a scan channel"},
        {"option.scanSpeedTime", a.scanSpeedTime, "while some channel is a scan channel"},
        {"option.priorityLbTime", a.priorityLbTime,
         "while some channel is a scan channel and Scan Tx is Priority Scan Tx or Priority Only Tx"},
    };
    for (const Rule& r : rules) {
        if (key == r.key && !r.available) {
            if (why) *why = r.reason;
            return false;
        }
    }
    return true;
}

int keyFromOptionKey(const std::string& key) { return key[std::string("option.programmableKey").size()] - '1'; }

// Applies a checked value with the consequences the page gives it.
void applyInteger(RadioSettings& s, const SettingRef& ref, int value) {
    const SettingInfo& info = *ref.info;
    const std::string& key = info.key;
    if (info.scope == SettingScope::Group) {
        setGroupCapability(s.channelTable, ref.group, value);
        applyGroupLayout(s.channelTable);
        return;
    }
    if (info.scope == SettingScope::Channel) {
        ChannelTable& t = s.channelTable;
        const ChannelEntry& c =
            t.groups[static_cast<std::size_t>(ref.group)].channels[static_cast<std::size_t>(ref.channel)];
        const int current = c.*info.channelInteger;
        if (current == value) return;
        ChannelMark mark = ChannelMark::Scan;
        if (key == "bandwidth")
            mark = ChannelMark::Bandwidth;
        else if (key == "txPower")
            mark = ChannelMark::TxPower;
        else if (key == "priorityChannel")
            mark = ChannelMark::Priority;
        else if (key == "powerOnChannel")
            mark = ChannelMark::PowerOn;
        toggleChannelMark(t, s.option, ref.group, ref.channel, channelsOf(s, ref.group), mark);
        return;
    }
    OptionSettings& o = s.option;
    if (key == "header.model") {
        chooseModel(s, value);
    } else if (key == "header.radioBand") {
        chooseBand(s, value);
    } else if (key.rfind("option.programmableKey", 0) == 0 && key.find("Short") != std::string::npos) {
        chooseShortKey(o, keyFromOptionKey(key), value);
    } else if (key.rfind("option.programmableKey", 0) == 0 && key.find("Long") != std::string::npos) {
        chooseLongKey(o, keyFromOptionKey(key), value);
    } else if (key == "option.hook") {
        chooseHook(o, value);
    } else if (key == "option.powerUp") {
        choosePowerUp(o, value, o.autoMute);
    } else if (key == "option.autoMute") {
        chooseAutoMute(o, value);
    } else if (key == "option.pttTimer") {
        choosePttTimer(o, value);
    } else if (key == "option.busyChLockOut") {
        chooseBusyChLockOut(o, value);
    } else if (key == "encode.emgType") {
        chooseEmergencyType(s.selcallEncode, value);
    } else if (key == "encode.aniType") {
        chooseAniType(s.selcallEncode, value);
    } else if (key == "tone.toneset") {
        chooseToneSet(s, value);
    } else if (key == "tone.toneLength") {
        setToneLength(s, value);
    } else {
        *info.integer(s, info.index) = value;
    }
}

// Extra checks of the page rules for a value within the allowed list or range.
bool ruleAllows(const RadioSettings& s, const SettingRef& ref, int value, std::string* error) {
    const SettingInfo& info = *ref.info;
    const std::string& key = info.key;
    std::string why;
    if (info.scope == SettingScope::Group) {
        if (ref.group == 0)
            return fail(error, settingKey(ref) + ": the all-channel list always holds " +
                                   std::to_string(kChannelCapacity) + " channels; give groups 1..13 their capability");
        const int free = s.channelTable.channelsLeft;
        const int own = s.channelTable.groups[static_cast<std::size_t>(ref.group)].capability;
        if (value != own && value > free)
            return fail(error, settingKey(ref) + ": " + std::to_string(value) + " is more than the " +
                                   std::to_string(free) + " channels left (set it to 0 first to free its own " +
                                   std::to_string(own) + ")");
        return true;
    }
    if (info.scope == SettingScope::Channel) {
        const ChannelEntry& c =
            s.channelTable.groups[static_cast<std::size_t>(ref.group)].channels[static_cast<std::size_t>(ref.channel)];
        if (!c.isProgrammed() && c.*info.channelInteger != value)
            return fail(error, settingKey(ref) + ": the channel is empty; give it an rxFrequency first");
        return true;
    }
    if (!optionAvailable(key, s, &why)) return fail(error, key + ": can be changed only " + why);
    if (key.rfind("option.programmableKey", 0) == 0) {
        const int k = keyFromOptionKey(key);
        const int slot = key.find("Short") != std::string::npos ? ol::shortSlot(k) : ol::longSlot(k);
        if (!keySlotOffers(s.option, slot, value))
            return fail(error, key + ": '" + std::string(ol::keyFunctionText(value)) +
                                   "' is held by another key; a function belongs to one key at a time");
    }
    if ((key == "option.txTimer" || key == "option.txInhibit") && value == 0)
        return fail(error, key + ": 'Off' follows PTT Timer Disable; choose a time");
    if (key == "option.scanTx") {
        const std::array<int, 2> pair = ol::scanTxPair(s.option.scanTx);
        if (value != pair[0] && value != pair[1])
            return fail(error, key + ": '" + std::string(ol::scanTxText(value)) + "' is not offered now; allowed: " +
                                   std::string(ol::scanTxText(pair[0])) + ", " + std::string(ol::scanTxText(pair[1])));
    }
    return true;
}

bool applyText(RadioSettings& s, const SettingRef& ref, std::string_view value, std::string* error) {
    const SettingInfo& info = *ref.info;
    bool lossy = false;
    std::string bytes = utf8ToCp1252(value, &lossy);
    const TextRule rule = textRule(info, s);
    if (lossy) return fail(error, refusal(ref, s, value));
    if (info.scope == SettingScope::Channel) {
        ChannelTable& t = s.channelTable;
        ChannelEntry& c = t.groups[static_cast<std::size_t>(ref.group)].channels[static_cast<std::size_t>(ref.channel)];
        if (rule.alphabet == TextAlphabet::Frequency) {
            const bool rx = info.key == "rxFrequency";
            const FieldCheck check = checkChannelFrequency(value, s.header.model, s.header.radioBand);
            if (!check.ok) return fail(error, settingKey(ref) + ": " + check.reason);
            if (check.value.empty()) {
                if (rx) {
                    clearChannel(t, s.option, ref.group, ref.channel);
                    updateAnyScanChannel(t);
                } else {
                    c.txFrequency.clear();
                }
                return true;
            }
            if (!rx && !c.isProgrammed())
                return fail(error, settingKey(ref) + ": the channel is empty; give it an rxFrequency first");
            ChannelDialogResult result{c.label,
                                       rx ? check.value : c.rxFrequency,
                                       rx ? c.txFrequency : check.value,
                                       c.rxSquelch,
                                       c.rxInverseDcs,
                                       c.txSquelch,
                                       c.txInverseDcs};
            applyChannelDialog(t, ref.group, ref.channel, result);
            return true;
        }
        if (info.key == "label") {
            const FieldCheck check = checkChannelLabel(value);
            if (!check.ok) return fail(error, settingKey(ref) + ": " + check.reason);
            c.label = check.value;
            return true;
        }
    }
    if (static_cast<int>(bytes.size()) > rule.maxLength) return fail(error, refusal(ref, s, value));
    for (unsigned char ch : bytes)
        if (!alphabetAccepts(rule.alphabet, ch)) return fail(error, refusal(ref, s, value));
    if (info.key.rfind("tone.sequence[", 0) == 0 && !tonelists::sequenceWithinLimits(bytes))
        return fail(error, settingKey(ref) + ": a sequence holds at most two S and two K");
    SelcallEncodeSettings& encode = s.selcallEncode;
    if (info.key == "encode.emgSequence") {
        setEmergencyText(encode, bytes);
        return true;
    }
    if (info.key == "encode.aniSequence") {
        setAniText(encode, bytes);
        return true;
    }
    for (int call = 1; call <= 3; ++call) {
        if (info.key == "encode.call" + std::to_string(call) + "Sequence") {
            setCallSequence(encode, call, bytes);
            return true;
        }
    }
    const bool leadIn5 = info.key == "tone.sequence[5].sequence" && !bytes.empty();
    *info.text(s, info.index) = std::move(bytes);
    // Sequence 5 always starts with the long lead-in.
    if (leadIn5) s.toneSequence.sequences[5].leadInTime = tonelists::kSequence5LeadInTime;
    return true;
}

bool sameLetters(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

// The item a value names: its text exactly, in any case, or the one item
// whose text begins with the value and a space ("UHF2" for
// "UHF2 (440 ~ 480Mhz)", "KS-390" for "KS-390 Series").
const ChoiceItem* findChoice(const ChoiceList& list, std::string_view value) {
    for (const ChoiceItem& c : list)
        if (c.text == value) return &c;
    for (const ChoiceItem& c : list)
        if (sameLetters(c.text, value)) return &c;
    const ChoiceItem* found = nullptr;
    for (const ChoiceItem& c : list) {
        if (value.empty() || c.text.size() <= value.size() || c.text[value.size()] != ' ') continue;
        if (!sameLetters(std::string_view(c.text).substr(0, value.size()), value)) continue;
        if (found) return nullptr;  // more than one
        found = &c;
    }
    return found;
}

// "0.50" -> 49; nothing for a text that is not a time of 0.05 .. 2.00 S
// with at most two decimals.
std::optional<int> parseScanSpeed(std::string_view text) {
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction = dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (whole.empty() || fraction.size() > 2 || (dot != std::string_view::npos && fraction.empty())) return {};
    int w = 0;
    int f = 0;
    if (!parseWhole(whole, w) || whole.front() == '-' || whole.front() == '+') return {};
    if (!fraction.empty()) {
        for (char c : fraction)
            if (c < '0' || c > '9') return {};
        parseWhole(fraction, f);
        if (fraction.size() == 1) f *= 10;
    }
    if (w > 2) return {};
    const int hundredths = w * 100 + f;
    if (hundredths < 5 || hundredths > 200) return {};
    return hundredths - 1;
}

}  // namespace

// ------------------------------------------------------------------ public

const std::vector<SettingInfo>& settingTable() { return registry().table; }

const std::vector<const SettingInfo*>& settingLineFields(SettingLine line) {
    return registry().lines[static_cast<std::size_t>(line)];
}

std::optional<SettingRef> findSetting(std::string_view key, std::string* error) {
    const auto unknown = [&](std::string why) -> std::optional<SettingRef> {
        if (error) *error = std::move(why);
        return std::nullopt;
    };
    std::string_view rest = key;
    SettingRef ref;
    std::string_view index;
    if (rest.rfind("group", 0) == 0 && rest.size() > 5 && rest[5] == '[') {
        rest.remove_prefix(5);
        if (!takeIndex(rest, index) || !parseWhole(index, ref.group) || ref.group < 0 || ref.group >= kGroupSlots)
            return unknown("unknown key '" + std::string(key) + "': groups are group[0] .. group[13]");
        if (rest.rfind(".channel[", 0) == 0) {
            if (ref.group == 0)
                return unknown("unknown key '" + std::string(key) +
                               "': channels of the all-channel list are channel[1] .. channel[208]");
            rest.remove_prefix(8);
        } else {
            if (rest.empty() || rest.front() != '.') return unknown("unknown key '" + std::string(key) + "'");
            rest.remove_prefix(1);
            ref.info = fieldOf(SettingScope::Group, rest);
            if (!ref.info)
                return unknown("unknown key '" + std::string(key) + "': a group has " + fieldList(SettingLine::Group));
            return ref;
        }
    } else if (rest.rfind("channel[", 0) == 0) {
        rest.remove_prefix(7);
    } else {
        const auto& byKey = registry().byKey;
        const auto it = byKey.find(key);
        if (it != byKey.end()) {
            ref.info = it->second;
            return ref;
        }
        return unknown("unknown key '" + std::string(key) + "' ('ks340ctl keys' lists them)");
    }
    // A channel: rest is "[N].field".
    if (!takeIndex(rest, index) || !parseWhole(index, ref.channel) || ref.channel < 1 || ref.channel > kChannelCapacity)
        return unknown("unknown key '" + std::string(key) + "': channels are numbered 1 .. 208");
    if (rest.empty() || rest.front() != '.') return unknown("unknown key '" + std::string(key) + "'");
    rest.remove_prefix(1);
    ref.info = fieldOf(SettingScope::Channel, rest);
    if (!ref.info)
        return unknown("unknown key '" + std::string(key) + "': a channel has " + fieldList(SettingLine::Channel));
    return ref;
}

std::string settingKey(const SettingRef& ref) {
    if (!ref.info) return {};
    switch (ref.info->scope) {
        case SettingScope::Configuration:
            return ref.info->key;
        case SettingScope::Group:
            return "group[" + std::to_string(ref.group) + "]." + ref.info->key;
        case SettingScope::Channel:
            return (ref.group == 0 ? std::string() : "group[" + std::to_string(ref.group) + "].") + "channel[" +
                   std::to_string(ref.channel) + "]." + ref.info->key;
    }
    return {};
}

std::vector<std::string> settingKeys(const RadioSettings& s) {
    std::vector<std::string> keys;
    const auto& lines = registry().lines;
    const auto addLine = [&](SettingLine line) {
        for (const SettingInfo* e : lines[static_cast<std::size_t>(line)]) keys.push_back(e->key);
    };
    addLine(SettingLine::Header);
    addLine(SettingLine::ChannelTable);
    for (int g = 0; g < kGroupSlots; ++g) {
        for (const SettingInfo* e : lines[static_cast<std::size_t>(SettingLine::Group)])
            keys.push_back(settingKey({e, g, 0}));
        for (int c = 1; c <= channelsOf(s, g); ++c)
            for (const SettingInfo* e : lines[static_cast<std::size_t>(SettingLine::Channel)])
                keys.push_back(settingKey({e, g, c}));
    }
    for (SettingLine line : {SettingLine::Option, SettingLine::ToneSequence, SettingLine::SelcallEncode,
                             SettingLine::SelcallDecode, SettingLine::Dtmf, SettingLine::Modem})
        addLine(line);
    return keys;
}

std::vector<std::string> settingKeyPatterns() {
    std::vector<std::string> keys;
    for (const SettingInfo& e : registry().table) {
        if (e.scope == SettingScope::Group)
            keys.push_back("group[G]." + e.key);
        else if (e.scope == SettingScope::Channel)
            keys.push_back("channel[N]." + e.key);
        else
            keys.push_back(e.key);
    }
    return keys;
}

std::string settingName(std::string_view key) {
    const std::optional<SettingRef> ref = findSetting(key);
    if (!ref) return {};
    const SettingInfo& info = *ref->info;
    switch (info.scope) {
        case SettingScope::Configuration:
            return info.name;
        case SettingScope::Group:
            return "Group " + std::to_string(ref->group) + " " + info.name;
        case SettingScope::Channel:
            return (ref->group == 0 ? std::string() : "Group " + std::to_string(ref->group) + " ") + "Channel " +
                   std::to_string(ref->channel) + " " + info.name;
    }
    return {};
}

std::string settingUnit(std::string_view key) {
    const std::optional<SettingRef> ref = findSetting(key);
    return ref ? ref->info->unit : std::string();
}

std::string settingLabel(std::string_view key) {
    const std::optional<SettingRef> ref = findSetting(key);
    if (!ref) return {};
    if (!ref->info->label.empty()) return ref->info->label;
    const std::string& name = ref->info->name;
    const std::size_t slash = name.rfind(" / ");
    return slash == std::string::npos ? name : name.substr(slash + 3);
}

std::string settingReportLabel(std::string_view key) {
    const std::optional<SettingRef> ref = findSetting(key);
    if (!ref) return {};
    return ref->info->reportLabel.empty() ? settingLabel(key) : ref->info->reportLabel;
}

std::string settingReportText(const RadioSettings& s, std::string_view key) {
    const std::optional<SettingRef> ref = findSetting(key);
    if (!ref) return {};
    const SettingInfo& info = *ref->info;
    if (const std::string* t = textField(s, *ref)) return cp1252ToUtf8(*t);
    const int value = *integerField(s, *ref);
    std::string shown;
    if (info.reportText) {
        shown = info.reportText(value);
    } else if (info.type == SettingType::Choice) {
        for (const ChoiceItem& item : info.choices(s))
            if (item.value == value) shown = item.text;
    } else if (info.type == SettingType::Seconds) {
        shown = ol::scanSpeedTimeText(value);
    } else {
        shown = std::to_string(value);
    }
    const std::string& unit = info.reportUnit.empty() ? info.unit : info.reportUnit;
    if (!shown.empty() && !unit.empty()) shown += "  " + unit;
    return shown;
}

std::string settingDisplayText(const RadioSettings& s, const SettingRef& ref) {
    const SettingInfo& info = *ref.info;
    if (const std::string* t = textField(s, ref)) return cp1252ToUtf8(*t);
    const int value = *integerField(s, ref);
    std::string shown;
    switch (info.type) {
        case SettingType::Choice: {
            for (const ChoiceItem& item : info.choices(s))
                if (item.value == value) shown = item.text;
            if (shown.empty()) return "(" + std::to_string(value) + ")";
            break;
        }
        case SettingType::Seconds:
            shown = ol::scanSpeedTimeText(value);
            break;
        case SettingType::Squelch: {
            const ChannelEntry& c = s.channelTable.groups[static_cast<std::size_t>(ref.group)]
                                        .channels[static_cast<std::size_t>(ref.channel)];
            return toneCodeText(value, info.key == "rxSquelch" ? c.rxInverseDcs : c.txInverseDcs);
        }
        default:
            shown = std::to_string(value);
    }
    // A unit follows numbers only: "30 S", but "Off".
    if (!info.unit.empty() && !shown.empty() && (std::isdigit(static_cast<unsigned char>(shown[0])) || shown[0] == '-'))
        shown += " " + info.unit;
    return shown;
}

std::vector<std::string> settingListItems(std::string_view key, const RadioSettings& settings) {
    const std::optional<SettingRef> ref = findSetting(key);
    std::vector<std::string> items;
    if (!ref || ref->info->type != SettingType::Choice) return items;
    for (const ChoiceItem& item : ref->info->choices(settings)) items.push_back(item.text);
    return items;
}

std::vector<std::string> settingListItems(std::string_view key) {
    static const RadioSettings fresh = newRadioSettings();
    return settingListItems(key, fresh);
}

std::string allowedValues(const SettingRef& ref, const RadioSettings& s) {
    const SettingInfo& info = *ref.info;
    const std::string unit = info.unit.empty() ? std::string() : " " + info.unit;
    switch (info.type) {
        case SettingType::Number: {
            if (info.minimum == INT_MIN) return "a whole number";
            std::string out = std::to_string(info.minimum) + " .. " + std::to_string(info.maximum) + unit;
            if (info.step > 1) out += " in steps of " + std::to_string(info.step);
            return out;
        }
        case SettingType::Choice:
            return joinChoices(info.choices(s)) + unit;
        case SettingType::Seconds:
            return "0.05 .. 2.00 S (two decimals)";
        case SettingType::Squelch:
            return "OFF, a CTCSS tone (67.0 .. 254.1) or a DCS code (D023N, D023I)";
        case SettingType::Text: {
            const TextRule rule = textRule(info, s);
            if (rule.alphabet == TextAlphabet::Frequency)
                return "a frequency in MHz within " + bandRangeText(s.header.model, s.header.radioBand) +
                       " on the channel raster, or empty";
            return "at most " + std::to_string(rule.maxLength) + " " + alphabetText(rule.alphabet);
        }
    }
    return {};
}

int* integerField(RadioSettings& s, const SettingRef& ref) {
    const SettingInfo& info = *ref.info;
    if (info.scope == SettingScope::Group)
        return &(s.channelTable.groups[static_cast<std::size_t>(ref.group)].*info.groupInteger);
    if (info.scope == SettingScope::Channel) {
        if (!info.channelInteger) return nullptr;
        return &(
            s.channelTable.groups[static_cast<std::size_t>(ref.group)].channels[static_cast<std::size_t>(ref.channel)].*
            info.channelInteger);
    }
    return info.integer ? info.integer(s, info.index) : nullptr;
}

std::string* textField(RadioSettings& s, const SettingRef& ref) {
    const SettingInfo& info = *ref.info;
    if (info.scope == SettingScope::Group) return nullptr;
    if (info.scope == SettingScope::Channel) {
        if (!info.channelText) return nullptr;
        return &(
            s.channelTable.groups[static_cast<std::size_t>(ref.group)].channels[static_cast<std::size_t>(ref.channel)].*
            info.channelText);
    }
    return info.text ? info.text(s, info.index) : nullptr;
}

const int* integerField(const RadioSettings& s, const SettingRef& ref) {
    return integerField(const_cast<RadioSettings&>(s), ref);
}

const std::string* textField(const RadioSettings& s, const SettingRef& ref) {
    return textField(const_cast<RadioSettings&>(s), ref);
}

std::optional<std::string> settingValue(const RadioSettings& s, std::string_view key) {
    const std::optional<SettingRef> ref = findSetting(key);
    if (!ref) return std::nullopt;
    const SettingInfo& info = *ref->info;
    if (const std::string* t = textField(s, *ref)) return cp1252ToUtf8(*t);
    const int value = *integerField(s, *ref);
    switch (info.type) {
        case SettingType::Choice:
            for (const ChoiceItem& item : info.choices(s))
                if (item.value == value) return item.text;
            return std::to_string(value);
        case SettingType::Seconds:
            return ol::scanSpeedTimeText(value);
        case SettingType::Squelch: {
            const ChannelEntry& c = s.channelTable.groups[static_cast<std::size_t>(ref->group)]
                                        .channels[static_cast<std::size_t>(ref->channel)];
            return toneCodeText(value, info.key == "rxSquelch" ? c.rxInverseDcs : c.txInverseDcs);
        }
        default:
            return std::to_string(value);
    }
}

bool applySetting(RadioSettings& s, std::string_view key, std::string_view value, std::string* error) {
    std::string why;
    const std::optional<SettingRef> found = findSetting(key, &why);
    if (!found) return fail(error, why);
    const SettingRef& ref = *found;
    const SettingInfo& info = *ref.info;
    if (!info.settable)
        return fail(error, settingKey(ref) + ": no page edits this setting; the program keeps it up to date");
    if (info.scope == SettingScope::Channel && ref.channel > channelsOf(s, ref.group))
        return fail(error,
                    settingKey(ref) + ": " +
                        (ref.group == 0 ? std::string("the all-channel list") : "group " + std::to_string(ref.group)) +
                        " holds " + std::to_string(channelsOf(s, ref.group)) + " channels");

    if (info.type == SettingType::Text) {
        if (info.scope == SettingScope::Configuration && !optionAvailable(info.key, s, &why))
            return fail(error, info.key + ": can be changed only " + why);
        return applyText(s, ref, value, error);
    }

    int wanted = 0;
    switch (info.type) {
        case SettingType::Number:
            if (!parseWhole(value, wanted) || wanted < info.minimum || wanted > info.maximum ||
                (info.step > 1 && wanted % info.step != 0))
                return fail(error, refusal(ref, s, value));
            break;
        case SettingType::Choice: {
            const ChoiceList list = info.choices(s);
            const ChoiceItem* item = findChoice(list, value);
            if (!item) return fail(error, refusal(ref, s, value));
            wanted = item->value;
            break;
        }
        case SettingType::Seconds: {
            const std::optional<int> v = parseScanSpeed(value);
            if (!v) return fail(error, refusal(ref, s, value));
            wanted = *v;
            break;
        }
        case SettingType::Squelch: {
            const SquelchCheck check = checkSquelchText(value);
            if (!check.ok) return fail(error, settingKey(ref) + ": " + check.reason);
            const SquelchSetting* q = &check.setting;
            ChannelEntry& c = s.channelTable.groups[static_cast<std::size_t>(ref.group)]
                                  .channels[static_cast<std::size_t>(ref.channel)];
            if (!c.isProgrammed())
                return fail(error, settingKey(ref) + ": the channel is empty; give it an rxFrequency first");
            if (info.key == "rxSquelch") {
                c.rxSquelch = q->code;
                c.rxInverseDcs = q->inverseDcs;
            } else {
                c.txSquelch = q->code;
                c.txInverseDcs = q->inverseDcs;
            }
            return true;
        }
        case SettingType::Text:
            break;
    }
    if (!ruleAllows(s, ref, wanted, error)) return false;
    applyInteger(s, ref, wanted);
    return true;
}

}  // namespace ks340
