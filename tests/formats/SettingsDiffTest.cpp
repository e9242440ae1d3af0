// Settings diff by page names, and the settings a changed image byte
// belongs to.
#include <gtest/gtest.h>

#include <functional>

#include "formats/SettingsDiff.h"
#include "image/ImageLayout.h"
#include "image/ImageTestSupport.h"
#include "image/ImageVerify.h"

namespace ks340 {

namespace {

RadioSettings vhfWithChannel12() {
    RadioSettings s = newRadioSettings();
    s.header.radioBand = kBandVhf2;
    ChannelEntry& e = test::listChannel(s, 12);
    e.inUse = 1;
    e.label = "CH12";
    e.rxFrequency = "150.00000";
    e.txFrequency = "150.00000";
    e.bandwidth = 1;
    e.txPower = 1;
    return s;
}

std::vector<std::string> lines(const std::vector<SettingDifference>& d) {
    std::vector<std::string> out;
    for (const SettingDifference& x : d) out.push_back(formatSettingDifference(x));
    return out;
}

}  // namespace

TEST(SettingsDiffTest, NamesTheChangedSettingsAsThePagesShowThem) {
    const RadioSettings a = vhfWithChannel12();
    RadioSettings b = a;
    test::listChannel(b, 12).rxFrequency = "150.01250";
    b.option.beep = 0;
    b.dtmf.statusText[2] = "BUSY";
    EXPECT_EQ(lines(diffSettings(a, b)),
              (std::vector<std::string>{"Channel 12 Rx Freq.: 150.00000 \u2192 150.01250",
                                        "Option / Beep: Enable \u2192 Disable",
                                        "DTMF and Selcall Status / Status 03: (empty) \u2192 BUSY"}));
    EXPECT_TRUE(diffSettings(a, a).empty());
    // A field whose page label follows another setting keeps one name.
    RadioSettings c = a;
    c.selcallEncode.aniType = 1;
    c.selcallEncode.aniSequence = "123";
    c.dtmf.dtmf = 1;
    const auto d = lines(diffSettings(a, c));
    EXPECT_EQ(d.size(), 3u);
    EXPECT_NE(std::find(d.begin(), d.end(), "Encode / ANI Seq.: (empty) \u2192 123"), d.end());
    EXPECT_NE(std::find(d.begin(), d.end(), "DTMF and Selcall Status / DTMF: Disable \u2192 Enable"), d.end());
    // Tones as the tone page shows them: a built-in set's own tones, whatever a file held.
    RadioSettings e = a;
    e.toneSequence.toneFrequency[3] += 7;
    EXPECT_TRUE(diffSettings(a, e).empty());
    e.toneSequence.toneset = kUserToneSet;
    e.toneSequence.userTone[3] = "1234";
    const auto toUser = lines(diffSettings(a, e));
    const std::string tone3 =
        "Tone Sequence / Tone 3: " + std::to_string(ToneSetTable[std::size_t(a.toneSequence.toneset)].tones[3]) +
        " Hz \u2192 1234 Hz";
    EXPECT_NE(std::find(toUser.begin(), toUser.end(), tone3), toUser.end()) << tone3;
}

TEST(SettingsDiffTest, ChannelValuesFollowTheGrid) {
    const RadioSettings a = vhfWithChannel12();
    RadioSettings b = a;
    ChannelEntry& e = test::listChannel(b, 12);
    e.rxSquelch = 39;  // DCS 023
    e.rxInverseDcs = 1;
    e.scanChannel = 1;
    // Fields of an empty channel do not show in the grid.
    test::listChannel(b, 30).label = "HIDDEN";
    EXPECT_EQ(lines(diffSettings(a, b)), (std::vector<std::string>{"Channel 12 RX Option: OFF \u2192 Inv DCS : 023",
                                                                   "Channel 12 Scan CH: (empty) \u2192 ON"}));
    // A whole new channel lists every column it shows.
    RadioSettings c = a;
    test::listChannel(c, 12) = ChannelEntry{};
    const auto removed = diffSettings(a, c);
    ASSERT_EQ(removed.size(), 7u);  // Label, Rx Freq., RX Option, Tx Freq., Tx Option, BandWidth, Tx Power
    EXPECT_EQ(removed[0].name, "Channel 12 Label");
    EXPECT_EQ(removed[0].after, "");
}

TEST(SettingsDiffTest, GroupLayoutsNameGroupsAndChannels) {
    RadioSettings a = newRadioSettings();
    std::array<int, 14> caps{};
    caps[1] = 2;
    caps[3] = 4;
    test::useGroups(a, caps);
    RadioSettings b = a;
    ChannelEntry& e = test::groupChannel(b, 3, 4);
    e.rxFrequency = "445.00000";
    e.txPower = 1;
    const auto d = diffSettings(a, b);
    ASSERT_FALSE(d.empty());
    EXPECT_EQ(d[0].name, "Group 3 Channel 4 Rx Freq.");
    RadioSettings c = a;
    c.channelTable.groups[3].capability = 5;
    EXPECT_EQ(diffSettings(a, c).at(0).name, "Group 3 Capability");
}

TEST(SettingsDiffTest, ASettingFileAgainstAnImageComparesAsTheRadioHoldsIt) {
    // A read sets the hidden Monitor and Public Address controls; a file
    // never written shows no difference for them, nor for a repeated tone.
    RadioSettings file = vhfWithChannel12();
    file.toneSequence.sequences[3].sequence = "1123";
    file.modem.commonSentence[0] = "NOT IN THE IMAGE";
    RadioSettings sent = file;
    const MemoryImage image = test::prepareAndEncode(sent);
    EXPECT_TRUE(diffSettingsWithImage(file, image).empty());
    EXPECT_FALSE(diffSettings(file, configurationFromImage(image)).empty());

    RadioSettings changed = file;
    changed.option.beep = 0;
    const MemoryImage changedImage = test::prepareAndEncode(changed);
    EXPECT_EQ(lines(diffSettingsWithImage(file, changedImage)),
              std::vector<std::string>{"Option / Beep: Enable \u2192 Disable"});
    EXPECT_EQ(lines(diffSettingsWithImage(file, changedImage, true)),
              std::vector<std::string>{"Option / Beep: Disable \u2192 Enable"});
}

TEST(ImageVerifyTest, EachChangedSettingsBytesAreNamedAfterIt) {
    struct Case {
        const char* expected;
        std::function<void(RadioSettings&)> change;
    };
    const Case cases[] = {
        {"Channel 12", [](RadioSettings& s) { test::listChannel(s, 12).rxFrequency = "150.01250"; }},
        {"Channel 12 Label", [](RadioSettings& s) { test::listChannel(s, 12).label = "OTHER"; }},
        {"Header / LCD Display Logo", [](RadioSettings& s) { s.header.lcdDisplayLogo = "HELLO"; }},
        // Its presence flag changes with it.
        {"DTMF and Selcall Status / DTMF", [](RadioSettings& s) { s.dtmf.dtmfCodes[2] = "123"; }},
        {"DTMF and Selcall Status / Status 04", [](RadioSettings& s) { s.dtmf.statusText[3] = "AWAY"; }},
        {"Modem / Modem Text 2", [](RadioSettings& s) { s.modem.modemText[1] = "HELLO WORLD"; }},
        {"Option / Programmable Key 1 Short Key", [](RadioSettings& s) { s.option.programmableKey1Short = 4; }},
        {"Decode / Call 2", [](RadioSettings& s) { s.selcallDecode.decodeEntries[1].text = "TEXT"; }},
        {"Beep", [](RadioSettings& s) { s.option.beep = 0; }},
        {"Speaker", [](RadioSettings& s) { s.header.speaker = 1; }},
        {"Scan Speed Time", [](RadioSettings& s) { s.option.scanSpeedTime = 99; }},
    };
    for (const Case& c : cases) {
        RadioSettings before = vhfWithChannel12();
        RadioSettings after = before;
        c.change(after);
        const MemoryImage a = test::prepareAndEncode(before);
        const MemoryImage b = test::prepareAndEncode(after);
        const auto mismatches = compareWrittenImage(a, b);
        ASSERT_FALSE(mismatches.empty()) << c.expected;
        for (const ByteMismatch& m : mismatches) {
            EXPECT_NE(m.setting.find(c.expected), std::string::npos)
                << "address " << m.address << " named " << m.setting << ", expected " << c.expected;
            EXPECT_EQ(m.sent, a[static_cast<std::size_t>(m.address)]);
            EXPECT_EQ(m.readBack, b[static_cast<std::size_t>(m.address)]);
        }
    }
}

TEST(ImageVerifyTest, EveryByteTheEncoderVariesHasAName) {
    RadioSettings plain = newRadioSettings();
    const MemoryImage base = test::prepareAndEncode(plain);
    for (std::uint32_t seed = 1; seed <= 15; ++seed) {
        RadioSettings s = test::RandomConfig(seed).make();
        for (const ByteMismatch& m : compareWrittenImage(base, test::prepareAndEncode(s)))
            EXPECT_EQ(m.setting.rfind("Unnamed", 0), std::string::npos) << "seed " << seed << ": " << m.setting;
    }
}

TEST(ImageVerifyTest, OnlyTheBytesAWriteSendsAreCompared) {
    MemoryImage a{}, b{};
    b[0x1FE0] = 1;  // beyond what a write sends
    b[0x1FFF] = 1;
    EXPECT_TRUE(compareWrittenImage(a, b).empty());
    b[0x1FDF] = 1;
    b[0] = 5;
    const auto m = compareWrittenImage(a, b);
    ASSERT_EQ(m.size(), 2u);
    EXPECT_EQ(m[0].address, 0);
    EXPECT_EQ(m[1].address, 0x1FDF);
    const std::string text = formatByteMismatches(m, 1);
    EXPECT_NE(text.find("0x0000: sent 00, read 05 (Option / Tx Inhibit, Mark Idle"), std::string::npos) << text;
    EXPECT_NE(text.find("and 1 more"), std::string::npos) << text;
    EXPECT_EQ(imageAddressName(layout::labelSlot(207)), "Channel 208 Label");
    EXPECT_EQ(imageAddressName(9 * 208 + 8), "Channel 208");
    EXPECT_EQ(imageAddressName(0x1FE5), "Unused (0x1FE5)");
}

}  // namespace ks340
