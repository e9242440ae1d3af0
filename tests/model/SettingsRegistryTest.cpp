#include <gtest/gtest.h>

#include <set>

#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/SettingsRegistry.h"

using namespace ks340;

namespace {

// A configuration in which every option control is available: a scan
// channel, PTT timer, hook, auto mute and busy lock-out on.
RadioSettings editableConfiguration() {
    RadioSettings s = newRadioSettings();
    std::string error;
    for (const char* kv :
         {"channel[1].rxFrequency=446.00625", "channel[1].scanChannel=ON", "channel[1].priorityChannel=ON",
          "option.programmableKey3Short=N/A", "option.pttTimer=Enable", "option.hook=Enable", "option.powerUp=Open",
          "option.autoMute=Enable", "option.busyChLockOut=Enable", "encode.emgSequence=2", "encode.aniSequence=3",
          "encode.call1Sequence=1", "encode.call2Sequence=4", "encode.call3Sequence=5"}) {
        const std::string_view text(kv);
        const std::size_t eq = text.find('=');
        EXPECT_TRUE(applySetting(s, text.substr(0, eq), text.substr(eq + 1), &error)) << kv << ": " << error;
    }
    return s;
}

// Candidate values for a setting, in the pages' words.
std::vector<std::string> candidates(const SettingRef& ref, const RadioSettings& s) {
    const SettingInfo& info = *ref.info;
    switch (info.type) {
        case SettingType::Choice:
            return settingListItems(settingKey(ref), s);
        case SettingType::Number:
            return {std::to_string(info.maximum), std::to_string(info.minimum)};
        case SettingType::Seconds:
            return {"1.25"};
        case SettingType::Squelch:
            return {"DCS : 023"};
        case SettingType::Text:
            break;
    }
    switch (info.alphabet) {
        case TextAlphabet::Frequency:
            return {"450.01250"};
        case TextAlphabet::OneToEight:
            return {"12"};
        case TextAlphabet::Digits:
            return {"1200"};
        case TextAlphabet::DtmfDigits:
            return {"12#"};
        default:
            return {"AB1"};
    }
}

}  // namespace

TEST(SettingsRegistry, KeysAreUniqueAndFollowTheFileLayout) {
    const RadioSettings s = newRadioSettings();
    const std::vector<std::string> keys = settingKeys(s);
    EXPECT_EQ(std::set<std::string>(keys.begin(), keys.end()).size(), keys.size());
    EXPECT_EQ(keys.front(), "header.speaker");
    for (const char* key : {"header.model", "option.beep", "channel[12].rxFrequency", "group[3].capability",
                            "encode.aniSequence", "tone.sequence[2].leadInTime", "tone.toneFrequency[A]",
                            "decode.entry[8].text", "dtmf.statusText[10]", "modem.commonSentence[20]"})
        EXPECT_TRUE(findSetting(key).has_value()) << key;
    // Line lengths of the setting file.
    const std::pair<SettingLine, std::size_t> lengths[] = {
        {SettingLine::Header, 4},         {SettingLine::ChannelTable, 17},  {SettingLine::Group, 9},
        {SettingLine::Channel, 23},       {SettingLine::Option, 31},        {SettingLine::ToneSequence, 64},
        {SettingLine::SelcallEncode, 28}, {SettingLine::SelcallDecode, 35}, {SettingLine::Dtmf, 32},
        {SettingLine::Modem, 35}};
    for (const auto& [line, count] : lengths) EXPECT_EQ(settingLineFields(line).size(), count);
    EXPECT_FALSE(findSetting("group[3].channel[209].label").has_value());
    EXPECT_FALSE(findSetting("group[0].channel[1].label").has_value());
    EXPECT_FALSE(findSetting("option.nothing").has_value());
    EXPECT_EQ(settingName("channel[12].rxFrequency"), "Channel 12 Rx Freq.");
    EXPECT_EQ(settingName("option.beep"), "Option / Beep");
    EXPECT_EQ(settingUnit("option.autoMuteTimer"), "S");
}

TEST(SettingsRegistry, EverySettableKeyReadsBackWhatWasSet) {
    const RadioSettings base = editableConfiguration();
    int tried = 0;
    for (const std::string& key : settingKeys(base)) {
        const SettingRef ref = *findSetting(key);
        // Channels beyond the first (programmed) one repeat the same fields.
        if (ref.info->scope == SettingScope::Channel && ref.channel > 1) continue;
        if (!ref.info->settable) {
            RadioSettings s = base;
            std::string error;
            EXPECT_FALSE(applySetting(s, key, "0", &error)) << key;
            EXPECT_NE(error.find(key), std::string::npos) << error;
            continue;
        }
        bool applied = false;
        for (const std::string& value : candidates(ref, base)) {
            RadioSettings s = base;
            std::string error;
            if (!applySetting(s, key, value, &error)) continue;
            applied = true;
            EXPECT_EQ(settingValue(s, key).value_or("?"), value) << key;
            break;
        }
        // The all-channel list's size is fixed; every other setting takes a value.
        EXPECT_EQ(applied, key != "group[0].capability") << key;
        ++tried;
    }
    EXPECT_GT(tried, 200);
}

TEST(SettingsRegistry, IllegalValuesAreRefusedAndChangeNothing) {
    const RadioSettings base = editableConfiguration();
    const std::pair<const char*, const char*> refused[] = {
        {"option.beep", "Maybe"},
        {"option.autoMuteTimer", "251"},
        {"option.autoMuteTimer", "12x"},
        {"tone.toneLength", "42"},  // not a multiple of 5
        {"header.lcdDisplayLogo", "TEN CHARS!"},
        {"header.radioBand", "UHF2 (440 ~ 470Mhz)"},  // the other model's band
        {"channel[1].rxFrequency", "146.00000"},      // outside UHF2
        {"channel[3].bandwidth", "S"},                // an empty channel
        {"encode.call1Sequence", "9"},
        {"option.scanSpeedTime", "2.01"},
        {"option.programmableKey2Short", "Power"},  // held by key 1
        {"group[0].capability", "100"},
        {"option.programmableKey1Mode", "1"},  // derived
        {"tone.sequence[1].sequence", "SSS"},
        {"nothing.here", "1"},
    };
    for (const auto& [key, value] : refused) {
        RadioSettings s = base;
        std::string error;
        EXPECT_FALSE(applySetting(s, key, value, &error)) << key << "=" << value;
        EXPECT_NE(error.find(key), std::string::npos) << error;
        EXPECT_TRUE(s == base) << key;
    }
    std::string error;
    RadioSettings s = base;
    ASSERT_FALSE(applySetting(s, "option.beep", "On", &error));
    EXPECT_NE(error.find("Disable, Enable"), std::string::npos) << error;
}

TEST(SettingsRegistry, ChangesCascadeAsOnThePages) {
    RadioSettings s = editableConfiguration();
    std::string error;
    // A new band clears the channels and returns the pages to their defaults.
    ASSERT_TRUE(applySetting(s, "header.radioBand", "VHF2 (148 ~ 174Mhz)", &error)) << error;
    EXPECT_FALSE(s.channelTable.groups[0].channels[1].isProgrammed());
    EXPECT_EQ(s.option.pttTimer, 0);
    EXPECT_EQ(s.header.lcdDisplayLogo, "Vandrell");
    // A built-in tone set brings its tones and tone length.
    ASSERT_TRUE(applySetting(s, "tone.toneset", "ZVEI1", &error)) << error;
    EXPECT_EQ(s.toneSequence.toneFrequency[0], 2400);
    EXPECT_EQ(s.selcallDecode.decoderToneLength, 70);
    // Encode texts bring their options; a new ANI type empties the ANI text.
    ASSERT_TRUE(applySetting(s, "encode.emgSequence", "7", &error)) << error;
    EXPECT_EQ(s.selcallEncode.emgRepeats, 3);
    EXPECT_EQ(*settingValue(s, "encode.emgEncodeAlert"), "Enable");
    ASSERT_TRUE(applySetting(s, "encode.aniSequence", "12", &error)) << error;
    EXPECT_EQ(*settingValue(s, "encode.aniAt"), "Start");
    ASSERT_TRUE(applySetting(s, "encode.aniType", "DTMF", &error)) << error;
    EXPECT_EQ(s.selcallEncode.aniSequence, "");
    EXPECT_FALSE(applySetting(s, "encode.multiAniDelay", "5", &error));
    // A group capability switches to group scan mode.
    ASSERT_TRUE(applySetting(s, "group[3].capability", "10", &error)) << error;
    EXPECT_EQ(s.channelTable.scanMode, 1);
    EXPECT_EQ(s.channelTable.channelsLeft, 198);
    EXPECT_FALSE(applySetting(s, "group[4].capability", "199", &error));
    ASSERT_TRUE(applySetting(s, "group[3].channel[2].rxFrequency", "150.0125", &error)) << error;
    EXPECT_EQ(*settingValue(s, "group[3].channel[2].rxFrequency"), "150.01250");
    EXPECT_FALSE(applySetting(s, "group[3].channel[11].label", "X", &error));  // beyond its capability
}

TEST(SettingsRegistry, ReportAndDifferenceTextsComeFromTheTable) {
    RadioSettings s = newRadioSettings();
    s.option.txTimer = 0;
    s.option.scanTx = 99;
    s.toneSequence.toneLength = 120;
    s.selcallDecode.decoderToneLength = 40;
    // The report's own labels and units; Tx Timer shows the page's item when off.
    EXPECT_EQ(settingReportLabel("option.txTimer"), "TX Timer");
    EXPECT_EQ(settingReportLabel("option.beep"), "Beep");
    EXPECT_EQ(settingReportLabel("decode.entry[2].ack"), "Ack");
    EXPECT_EQ(settingReportText(s, "option.txTimer"), optionlists::txTimerText(0) + "  S");
    EXPECT_EQ(settingReportText(s, "tone.toneLength"), "120  ms");
    EXPECT_EQ(settingReportText(s, "decode.decoderToneLength"), "40  mS");
    EXPECT_EQ(settingReportText(s, "option.scanTx"), "");
    // Lists of differences: "(n)" for a value no item carries, a unit after numbers only.
    const auto display = [&](const char* key) { return settingDisplayText(s, *findSetting(key)); };
    EXPECT_EQ(display("option.txTimer"), "Off");
    EXPECT_EQ(display("option.scanTx"), "(99)");
    EXPECT_EQ(display("tone.toneLength"), "120 mS");
}
