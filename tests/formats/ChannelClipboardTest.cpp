#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formats/ChannelClipboard.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/SettingFile.h"
#include "model/SquelchText.h"

namespace ks340 {
namespace {

std::unique_ptr<RadioSettings> fresh() { return std::make_unique<RadioSettings>(newRadioSettings()); }

// Group scan mode with groups 1 and 2 of `capability` channels each.
void twoGroups(RadioSettings& s, int capability) {
    ChannelTable& t = s.channelTable;
    t.scanMode = 1;
    t.groupScanFlag = 1;
    t.appliedScanMode = 1;
    for (int g = 1; g <= 2; ++g) {
        t.groups[std::size_t(g)].capability = capability;
        t.groups[std::size_t(g)].enabled = 1;
    }
}

ChannelEntry& channel(RadioSettings& s, int group, int ch) {
    return s.channelTable.groups[std::size_t(group)].channels[std::size_t(ch)];
}

// A programmed channel with everything the grid shows set.
void program(RadioSettings& s, int group, int ch, int seed) {
    ChannelEntry& c = channel(s, group, ch);
    const int khz = 6250 * seed;
    char rx[32];
    std::snprintf(rx, sizeof rx, "%d.%05d", 446 + khz / 1000000, (khz % 1000000) / 10);
    c.rxFrequency = rx;
    c.txFrequency = seed % 3 == 0 ? std::string() : std::string(rx);
    c.label = "L" + std::to_string(seed);
    c.inUse = 1;
    c.rxSquelch = seed % 122;
    c.rxInverseDcs = c.rxSquelch >= 39 && seed % 2 == 0 ? 1 : 0;
    c.txSquelch = (seed * 7) % 122;
    c.txInverseDcs = c.txSquelch >= 39 && seed % 5 == 0 ? 1 : 0;
    c.bandwidth = seed % 2;
    c.txPower = (seed / 2) % 2;
    c.scanChannel = seed % 4 == 0 ? 1 : 0;
    c.channelSpare2 = seed;
}

std::vector<int> range(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
}

// The grid's texts of a channel without its number.
std::vector<std::string> shown(const ChannelEntry& e) {
    std::vector<std::string> v;
    for (int c = kColumnLabel; c < kGridColumnCount; ++c) v.push_back(channelCellText(e, 0, c));
    return v;
}

TEST(SquelchText, ReadsTheGridTextsAndTheSpreadsheetForms) {
    struct Case {
        const char* text;
        int code;
        int inverse;
    } cases[] = {
        {"", 0, 0},
        {"OFF", 0, 0},
        {"off", 0, 0},
        {"CTCSS : 67.0", 1, 0},
        {"ctcss:250.3", 38, 0},
        {"67.0", 1, 0},
        {"67", 1, 0},
        {"100", 12, 0},
        {"88.5 Hz", 8, 0},
        {"DCS : 023", 39, 0},
        {"Inv DCS : 754", 121, 1},
        {"D023N", 39, 0},
        {"d754i", 121, 1},
        {"D023", 39, 0},
        {"023", 39, 0},
        {"754", 121, 0},
    };
    for (const Case& c : cases) {
        const auto s = parseSquelchText(c.text);
        ASSERT_TRUE(s.has_value()) << c.text;
        EXPECT_EQ(s->code, c.code) << c.text;
        EXPECT_EQ(s->inverseDcs, c.inverse) << c.text;
    }
    for (const char* bad :
         {"CTCSS : 66.0", "DCS : 024", "D024N", "D023X", "68", "999", "abc", "Inv DCS : 67.0", "1.2.3", "D0231N"})
        EXPECT_FALSE(parseSquelchText(bad).has_value()) << bad;
}

TEST(SquelchText, EveryGridTextReadsBack) {
    for (int code = 0; code <= kLastDcsCode; ++code) {
        for (int inverse = 0; inverse <= (isDcsCode(code) ? 1 : 0); ++inverse) {
            const auto s = parseSquelchText(toneCodeText(code, inverse));
            ASSERT_TRUE(s.has_value()) << code;
            EXPECT_EQ(s->code, code);
            EXPECT_EQ(s->inverseDcs, inverse);
        }
    }
}

TEST(ChannelClipboard, ColumnNamesAreTheGridsHeaders) {
    EXPECT_EQ(gridColumnName(kColumnRxFrequency), "Rx Freq.");
    EXPECT_EQ(gridColumnName(kColumnPowerOn), "PowON CH");
    EXPECT_EQ(gridColumnFromName("   Rx Freq.   "), kColumnRxFrequency);
    EXPECT_EQ(gridColumnFromName("rx freq"), kColumnRxFrequency);
    EXPECT_EQ(gridColumnFromName("  RX Option  "), kColumnRxOption);
    EXPECT_EQ(gridColumnFromName("Group"), -1);
    EXPECT_EQ(gridColumnName(11), "");
}

TEST(ChannelClipboard, CellTextsAreTheGridsTexts) {
    auto s = fresh();
    ChannelEntry& c = channel(*s, 0, 4);
    c.rxFrequency = "446.00625";
    c.txFrequency = "446.10625";
    c.label = "REP";
    c.rxSquelch = 121;
    c.rxInverseDcs = 1;
    c.txSquelch = 1;
    c.bandwidth = 0;
    c.txPower = 1;
    c.priorityChannel = 1;
    EXPECT_EQ(shown(c), (std::vector<std::string>{"REP", "446.00625", "Inv DCS : 754", "446.10625", "CTCSS : 67.0", "",
                                                  "N", "High", "ON", ""}));
    // Not programmed: only the frequencies and the scan mark show.
    ChannelEntry empty;
    empty.label = "X";
    empty.txFrequency = "150.00000";
    empty.scanChannel = 1;
    empty.priorityChannel = 1;
    EXPECT_EQ(shown(empty), (std::vector<std::string>{"", "", "", "150.00000", "OFF", "ON", "", "", "", ""}));
    EXPECT_EQ(channelCellText(c, 4, kColumnChannel), "4");
}

TEST(ChannelClipboard, TsvHasAHeaderLineAndOneLinePerChannel) {
    auto s = fresh();
    program(*s, 0, 2, 8);
    const std::string tsv = channelsToTsv(s->channelTable, 0, {2, 3});
    EXPECT_EQ(tsv,
              "CH\tLabel\tRx Freq.\tRX Option\tTx Freq.\tTx Option\tScan CH\tBandWidth\tTx Power\t"
              "Priority CH\tPowON CH\n"
              "2\tL8\t446.05000\tCTCSS : 88.5\t446.05000\tDCS : 125\tON\tN\tLow\t\t\n"
              "3\t\t\t\t\t\t\t\t\t\t\n");
}

TEST(ChannelClipboard, TwentyRowsCopiedAsTextPasteIntoAnotherGroup) {
    auto s = fresh();
    twoGroups(*s, 30);
    for (int ch = 1; ch <= 20; ++ch) program(*s, 1, ch, ch + 1);
    channel(*s, 1, 7) = ChannelEntry{};  // an empty row among them
    const std::string tsv = channelsToTsv(s->channelTable, 1, range(1, 20));
    // Something in the way in group 2 that the empty row clears.
    program(*s, 2, 12, 99);

    const ChannelRows rows = parseSpreadsheetText(tsv, kColumnChannel);
    ASSERT_EQ(rows.size(), 20u);
    const PasteOutcome out = pasteChannels(*s, 2, 6, rows);
    ASSERT_TRUE(out.ok) << (out.errors.empty() ? "" : formatClipboardIssue(out.errors.front()));
    EXPECT_EQ(out.firstChannel, 6);
    EXPECT_EQ(out.lastChannel, 25);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(shown(channel(*s, 2, 6 + i)), shown(channel(*s, 1, 1 + i))) << "row " << i + 1;
    EXPECT_FALSE(channel(*s, 2, 12).isProgrammed());
    EXPECT_EQ(channel(*s, 2, 6).inUse, 1);
    EXPECT_FALSE(channel(*s, 2, 5).isProgrammed());
    EXPECT_FALSE(channel(*s, 2, 26).isProgrammed());
    EXPECT_EQ(s->channelTable.anyScanChannel, 1);
}

TEST(ChannelClipboard, OwnFormatCarriesTheChannelsExactly) {
    auto s = fresh();
    twoGroups(*s, 30);
    for (int ch = 1; ch <= 20; ++ch) program(*s, 1, ch, ch + 1);
    channel(*s, 1, 3).rxStepCode = 2;
    channel(*s, 1, 3).channelSpare4 = -5;
    channel(*s, 1, 4).label = "A,\"B";
    const auto quoted = parseOwnFormat(channelsToOwnFormat(*s, 1, range(1, 20)));
    ASSERT_TRUE(quoted.has_value());
    EXPECT_EQ(quoted->entries[3].label, "A,\"B");
    // The form carries it, but no label may hold those characters.
    const PasteOutcome refused = pasteChannels(*s, 2, 1, *quoted);
    ASSERT_FALSE(refused.ok);
    EXPECT_EQ(refused.errors.front().column, "Label");
    EXPECT_FALSE(channel(*s, 2, 1).isProgrammed());

    channel(*s, 1, 4).label = "Caf\xE9 \x8A";  // Windows-1252 letters
    const auto rows = parseOwnFormat(channelsToOwnFormat(*s, 1, range(1, 20)));
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 20u);
    const PasteOutcome out = pasteChannels(*s, 2, 1, *rows);
    ASSERT_TRUE(out.ok) << (out.errors.empty() ? "" : formatClipboardIssue(out.errors.front()));
    for (int ch = 1; ch <= 20; ++ch) EXPECT_EQ(channel(*s, 2, ch), channel(*s, 1, ch)) << ch;
}

TEST(ChannelClipboard, OwnFormatLinesAreSettingFileChannelLines) {
    auto s = fresh();
    program(*s, 0, 1, 5);
    channel(*s, 0, 1).rxCodeN = 1234;
    const std::string file = formatSettingFile(*s);
    const std::string own = channelsToOwnFormat(*s, 0, {1});
    const std::string line = own.substr(own.find("\r\n") + 2);
    // "1," then the channel's line as the setting file writes it.
    ASSERT_EQ(line.substr(0, 2), "1,");
    EXPECT_NE(file.find("\r\n" + line.substr(2)), std::string::npos) << line;
}

TEST(ChannelClipboard, DamagedOwnFormatIsRefused) {
    auto s = fresh();
    program(*s, 0, 1, 5);
    std::string own = channelsToOwnFormat(*s, 0, {1, 2});
    EXPECT_TRUE(parseOwnFormat(own).has_value());
    EXPECT_FALSE(parseOwnFormat("CH\tLabel\n").has_value());
    EXPECT_FALSE(parseOwnFormat(own.substr(0, own.size() - 10)).has_value());
    std::string bad = own;
    bad.replace(bad.rfind(",0,"), 3, ",x,");
    EXPECT_FALSE(parseOwnFormat(bad).has_value());
}

TEST(ChannelClipboard, ABadRowChangesNothingAndEveryBadRowIsNamed) {
    auto s = fresh();
    s->header.radioBand = 0;  // UHF2 440..480
    program(*s, 0, 10, 3);
    const auto before = std::make_unique<RadioSettings>(*s);
    const std::string text =
        "Label\tRx Freq.\tRX Option\tTx Freq.\n"
        "GOOD\t446.00625\t67.0\t446.00625\n"
        "LOW\t150.00000\tOFF\t\n"       // row 2: another band
        "OK2\t446.0062\tOFF\t\n"        // row 3: off the raster
        "TOOLONGLABEL\t446.5\tOFF\t\n"  // row 4: label
        "X\t446.5\tCTCSS : 66.0\t\n"    // row 5: no such tone
        "Y\t447\tD023N\t481\n";         // row 6: Tx outside the band
    const PasteOutcome out = pasteChannels(*s, 0, 9, parseSpreadsheetText(text, kColumnLabel));
    EXPECT_FALSE(out.ok);
    ASSERT_EQ(out.errors.size(), 5u);
    EXPECT_EQ(out.errors[0].row, 2);
    EXPECT_EQ(out.errors[0].channel, 10);
    EXPECT_EQ(out.errors[0].column, "Rx Freq.");
    EXPECT_EQ(out.errors[1].row, 3);
    EXPECT_NE(out.errors[1].reason.find("raster"), std::string::npos) << out.errors[1].reason;
    EXPECT_EQ(out.errors[2].column, "Label");
    EXPECT_EQ(out.errors[3].column, "RX Option");
    EXPECT_EQ(out.errors[4].row, 6);
    EXPECT_EQ(out.errors[4].column, "Tx Freq.");
    EXPECT_EQ(formatClipboardIssue(out.errors[0]).substr(0, 28), "row 2 (channel 10), Rx Freq.");
    EXPECT_TRUE(*s == *before);
}

TEST(ChannelClipboard, RowsBeyondTheListAreRefused) {
    auto s = fresh();
    twoGroups(*s, 5);
    const auto before = std::make_unique<RadioSettings>(*s);
    const std::string text = "Rx Freq.\n446.5\n446.6\n446.7\n";
    const PasteOutcome out = pasteChannels(*s, 2, 4, parseSpreadsheetText(text, 0));
    EXPECT_FALSE(out.ok);
    ASSERT_EQ(out.errors.size(), 1u);
    EXPECT_EQ(out.errors[0].row, 3);
    EXPECT_EQ(out.errors[0].channel, 6);
    EXPECT_TRUE(*s == *before);
}

TEST(ChannelClipboard, SpreadsheetTextTypedByHandPastes) {
    auto s = fresh();
    const std::string text =
        "rx freq\tlabel\tRX Option\tTx Freq\tTx Option\tScan CH\tBandWidth\tTx Power\n"
        "446.00625\tREP1\tCTCSS : 67.0\t446.50625\tDCS : 023\tON\tN\tLow\r\n"
        "446,1 MHz\tREP2\tInv DCS : 754\t\t\t\t\t\r\n"
        "\r\n"
        "446.2\t\"A B\"\tD023I\t446.2\t88.5\tOFF\tS\tHigh\r\n";
    const PasteOutcome out = pasteChannels(*s, 0, 1, parseSpreadsheetText(text, kColumnLabel));
    ASSERT_TRUE(out.ok) << formatClipboardIssue(out.errors.front());
    EXPECT_EQ(out.lastChannel, 3);
    const ChannelEntry& a = channel(*s, 0, 1);
    EXPECT_EQ(a.rxFrequency, "446.00625");
    EXPECT_EQ(a.label, "REP1");
    EXPECT_EQ(a.rxSquelch, 1);
    EXPECT_EQ(a.txFrequency, "446.50625");
    EXPECT_EQ(a.txSquelch, 39);
    EXPECT_EQ(a.scanChannel, 1);
    EXPECT_EQ(a.bandwidth, 0);
    EXPECT_EQ(a.txPower, 0);
    const ChannelEntry& b = channel(*s, 0, 2);
    EXPECT_EQ(b.rxFrequency, "446.10000");
    EXPECT_EQ(b.rxSquelch, 121);
    EXPECT_EQ(b.rxInverseDcs, 1);
    EXPECT_TRUE(b.txFrequency.empty());
    // A new channel without a BandWidth or Tx Power gets "S" and "High".
    EXPECT_EQ(b.bandwidth, 1);
    EXPECT_EQ(b.txPower, 1);
    const ChannelEntry& c = channel(*s, 0, 3);
    EXPECT_EQ(c.label, "A B");
    EXPECT_EQ(c.rxSquelch, 39);
    EXPECT_EQ(c.rxInverseDcs, 1);
    EXPECT_EQ(c.txSquelch, 8);
}

TEST(ChannelClipboard, TextWithoutHeaderFillsColumnsFromTheChosenOne) {
    auto s = fresh();
    program(*s, 0, 2, 4);
    const std::string label = channel(*s, 0, 2).label;
    // A column of frequencies and tones pasted at the Rx Freq. column.
    const PasteOutcome out =
        pasteChannels(*s, 0, 2, parseSpreadsheetText("447.5\tD754N\n448\t71.9\n", kColumnRxFrequency));
    ASSERT_TRUE(out.ok);
    EXPECT_EQ(channel(*s, 0, 2).rxFrequency, "447.50000");
    EXPECT_EQ(channel(*s, 0, 2).rxSquelch, 121);
    EXPECT_EQ(channel(*s, 0, 2).label, label);  // a column not pasted stays
    EXPECT_EQ(channel(*s, 0, 3).rxFrequency, "448.00000");
    EXPECT_EQ(channel(*s, 0, 3).rxSquelch, 2);

    // Labels alone go to programmed channels only.
    const PasteOutcome labels = pasteChannels(*s, 0, 3, parseSpreadsheetText("NEW\nNOPE\n", kColumnLabel));
    EXPECT_FALSE(labels.ok);
    ASSERT_EQ(labels.errors.size(), 1u);
    EXPECT_EQ(labels.errors[0].channel, 4);
    EXPECT_EQ(channel(*s, 0, 3).label, "");
}

TEST(ChannelClipboard, SpreadsheetTextRoundTrip) {
    auto s = fresh();
    for (int ch = 1; ch <= 30; ++ch) program(*s, 0, ch, ch * 3 + 1);
    const std::string tsv = channelsToTsv(s->channelTable, 0, range(1, 30));
    ASSERT_TRUE(pasteChannels(*s, 0, 101, parseSpreadsheetText(tsv, 0)).ok);
    const std::string again = channelsToTsv(s->channelTable, 0, range(101, 130));
    // The same text but for the channel numbers.
    auto withoutNumbers = [](const std::string& t) {
        std::string out;
        std::size_t pos = 0;
        while (pos < t.size()) {
            const std::size_t end = t.find('\n', pos);
            const std::string line = t.substr(pos, end - pos);
            out += line.substr(line.find('\t')) + "\n";
            pos = end + 1;
        }
        return out;
    };
    EXPECT_EQ(withoutNumbers(again), withoutNumbers(tsv));
}

TEST(ChannelClipboard, PastedPriorityChannelTakesTheGroupsMark) {
    auto s = fresh();
    program(*s, 0, 1, 1);
    program(*s, 0, 2, 2);
    channel(*s, 0, 1).priorityChannel = 1;
    s->option.scanTx = kScanTxPriorityScan;
    // Channel 2 becomes the priority channel: channel 1 loses the mark.
    ASSERT_TRUE(pasteChannels(*s, 0, 2, parseSpreadsheetText("Rx Freq.\tPriority CH\n446.5\tON\n", 0)).ok);
    EXPECT_EQ(channel(*s, 0, 2).priorityChannel, 1);
    EXPECT_EQ(channel(*s, 0, 1).priorityChannel, 0);
    EXPECT_EQ(s->option.scanTx, kScanTxPriorityScan);
    // Pasting over the priority channel without the mark removes it.
    ASSERT_TRUE(pasteChannels(*s, 0, 2, parseSpreadsheetText("Rx Freq.\tPriority CH\n446.5\t\n", 0)).ok);
    EXPECT_EQ(channel(*s, 0, 2).priorityChannel, 0);
    EXPECT_EQ(s->option.scanTx, kScanTxNormal);
    // Two priority channels in one paste cannot be.
    const auto before = std::make_unique<RadioSettings>(*s);
    const PasteOutcome two =
        pasteChannels(*s, 0, 5, parseSpreadsheetText("Rx Freq.\tPriority CH\n446.5\tON\n446.6\tON\n", 0));
    EXPECT_FALSE(two.ok);
    ASSERT_EQ(two.errors.size(), 1u);
    EXPECT_EQ(two.errors[0].row, 2);
    EXPECT_TRUE(*s == *before);
}

TEST(ChannelClipboard, ClearEmptiesTheChosenChannels) {
    auto s = fresh();
    for (int ch = 1; ch <= 5; ++ch) program(*s, 0, ch, 4);  // every one a scan channel
    channel(*s, 0, 3).priorityChannel = 1;
    s->option.scanTx = kScanTxPriorityOnly;
    EXPECT_EQ(clearChannels(s->channelTable, s->option, 0, {2, 3, 9}), 2);
    EXPECT_FALSE(channel(*s, 0, 2).isProgrammed());
    EXPECT_FALSE(channel(*s, 0, 3).isProgrammed());
    EXPECT_TRUE(channel(*s, 0, 4).isProgrammed());
    EXPECT_EQ(s->option.scanTx, kScanTxRxOnly);
    EXPECT_EQ(clearChannels(s->channelTable, s->option, 0, {1, 4, 5}), 3);
    EXPECT_EQ(s->channelTable.anyScanChannel, 0);
}

TEST(ChannelClipboard, FillDownCopiesOneSettingToProgrammedChannels) {
    auto s = fresh();
    for (int ch = 1; ch <= 6; ++ch) program(*s, 0, ch, 1);  // no scan, DCS? seed 1 -> CTCSS code 1
    channel(*s, 0, 1).scanChannel = 1;
    channel(*s, 0, 1).rxSquelch = 50;
    channel(*s, 0, 1).rxInverseDcs = 1;
    channel(*s, 0, 4) = ChannelEntry{};
    const auto txBefore = channel(*s, 0, 3).txSquelch;

    FillOutcome f = fillDown(s->channelTable, 0, {1, 2, 3, 4, 5}, FillSetting::Scan);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.changed, 3);
    EXPECT_EQ(f.skipped, 1);
    EXPECT_EQ(channel(*s, 0, 3).scanChannel, 1);
    EXPECT_EQ(channel(*s, 0, 4).scanChannel, 0);
    EXPECT_EQ(channel(*s, 0, 6).scanChannel, 0);
    EXPECT_EQ(s->channelTable.anyScanChannel, 1);

    f = fillDown(s->channelTable, 0, {1, 5, 6}, FillSetting::RxSquelch);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(channel(*s, 0, 6).rxSquelch, 50);
    EXPECT_EQ(channel(*s, 0, 6).rxInverseDcs, 1);
    EXPECT_EQ(channel(*s, 0, 3).txSquelch, txBefore);

    // The first channel must hold something to copy.
    f = fillDown(s->channelTable, 0, {4, 5}, FillSetting::TxPower);
    EXPECT_FALSE(f.ok);
    EXPECT_FALSE(f.error.empty());
    EXPECT_EQ(fillSettingOfColumn(kColumnBandwidth), FillSetting::Bandwidth);
    EXPECT_EQ(fillSettingOfColumn(kColumnLabel), std::nullopt);
    EXPECT_EQ(fillSettingName(FillSetting::TxSquelch), "Tx Option");
}

}  // namespace
}  // namespace ks340
