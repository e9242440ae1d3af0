// Channel CSV export and import: round trips of both layouts, files written
// by hand the way other programming tools write them, and bad rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "formats/ChannelCsv.h"
#include "image/ImageTestSupport.h"
#include "model/ToneCode.h"

namespace ks340 {

namespace {

using test::groupChannel;
using test::listChannel;

ToneCode ctcss(const char* text) {
    for (const CtcssEntry& e : CtcssTable)
        if (e.text == text) return ctcssCodeFromPosition(e.index);
    ADD_FAILURE() << "no CTCSS tone " << text;
    return kToneOff;
}

ToneCode dcs(const char* text) {
    for (const DcsEntry& e : DcsTable)
        if (e.text == text) return dcsCodeFromPosition(e.index);
    ADD_FAILURE() << "no DCS code " << text;
    return kToneOff;
}

// The channel slots the grid shows.
std::vector<std::pair<int, int>> shown(const RadioSettings& s) {
    std::vector<std::pair<int, int>> out;
    const ChannelTable& t = s.channelTable;
    if (t.scanMode != 0) {
        for (int g = 1; g < kGroupSlots; ++g)
            for (int c = 1; c <= t.groups[g].capability; ++c) out.emplace_back(g, c);
    } else {
        for (int c = 1; c <= kChannelCapacity; ++c) out.emplace_back(0, c);
    }
    return out;
}

// Empties every shown channel so that only an import can bring them back.
RadioSettings emptied(const RadioSettings& s) {
    RadioSettings copy = s;
    for (auto [g, c] : shown(s)) copy.channelTable.groups[g].channels[c] = ChannelEntry{};
    return copy;
}

void expectSameChannels(const RadioSettings& expected, const RadioSettings& actual, const std::string& what) {
    for (auto [g, c] : shown(expected)) {
        const ChannelEntry& e = expected.channelTable.groups[g].channels[c];
        const ChannelEntry& a = actual.channelTable.groups[g].channels[c];
        EXPECT_EQ(e, a) << what << ": group " << g << " channel " << c << " label '" << e.label << "' rx "
                        << e.rxFrequency << " vs '" << a.label << "' rx " << a.rxFrequency;
    }
}

const char* kCommonHeaderOld =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Power,"
    "Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n";
const char* kCommonHeaderNew =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,Mode,"
    "TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\r\n";

RadioSettings vhfSettings() {
    RadioSettings s = newRadioSettings();
    s.header.radioBand = kBandVhf2;
    return s;
}

std::set<std::pair<int, std::string>> where(const std::vector<CsvIssue>& issues) {
    std::set<std::pair<int, std::string>> out;
    for (const CsvIssue& i : issues) out.emplace(i.line, i.column);
    return out;
}

// A generated configuration whose labels use every kind of character the
// label alphabet has (Windows-1252 letters beyond ASCII among them) and
// whose frequencies include 6.25 kHz points.
RadioSettings generated(std::uint32_t seed) {
    test::RandomConfig random(seed);
    RadioSettings s = random.make();
    const std::string alphabet = "Aa0 #'()*+-./?\\_\xE9\xC4\xDF\x8A\x9C\x9F\x83\xB5\xFF\xD8\xAA";
    const BandLimits band = bandLimits(s.header.model, s.header.radioBand);
    for (auto [g, c] : shown(s)) {
        ChannelEntry& e = s.channelTable.groups[g].channels[c];
        if (!e.isProgrammed()) continue;
        e.label = random.textOf(alphabet, 8);
        if (random.chance(40))
            e.rxFrequency = hzToFrequencyText(std::int64_t{band.lowerMhz} * 1'000'000 +
                                              random.uniform(0, (band.upperMhz - band.lowerMhz) * 160) * 6250);
    }
    return s;
}

}  // namespace

TEST(ChannelCsvTest, NativeRoundTripKeepsEveryShownChannel) {
    for (std::uint32_t seed = 1; seed <= 12; ++seed) {
        const RadioSettings original = generated(seed);
        const std::string csv = exportChannelCsv(original, ChannelCsvFormat::Native);
        RadioSettings target = emptied(original);
        const CsvImportResult r = importChannelCsv(csv, target);
        ASSERT_TRUE(r.ok) << "seed " << seed << ": " << (r.errors.empty() ? "" : formatCsvIssue(r.errors[0]));
        EXPECT_EQ(r.format, ChannelCsvFormat::Native);
        expectSameChannels(original, target, "seed " + std::to_string(seed));
        for (int g = 0; g < kGroupSlots; ++g) {
            if (original.channelTable.scanMode != 0 && g == 0) continue;
            if (original.channelTable.scanMode == 0 && g != 0) continue;
            EXPECT_EQ(target.channelTable.groups[g].priorityChannel, original.channelTable.groups[g].priorityChannel);
            EXPECT_EQ(target.channelTable.groups[g].powerOnChannel, original.channelTable.groups[g].powerOnChannel);
        }
        // The same file again: exporting the imported table gives it back.
        EXPECT_EQ(exportChannelCsv(target, ChannelCsvFormat::Native), csv);
    }
}

TEST(ChannelCsvTest, CommonRoundTripKeepsWhatTheLayoutCarries) {
    for (std::uint32_t seed = 21; seed <= 32; ++seed) {
        RadioSettings original = generated(seed);
        const std::string csv = exportChannelCsv(original, ChannelCsvFormat::Common);
        ASSERT_EQ(csv.rfind("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                            "Mode,TStep,Skip,Power,Comment",
                            0),
                  0u);
        RadioSettings target = emptied(original);
        const CsvImportResult r = importChannelCsv(csv, target);
        ASSERT_TRUE(r.ok) << "seed " << seed << ": " << (r.errors.empty() ? "" : formatCsvIssue(r.errors[0]));
        EXPECT_EQ(r.format, ChannelCsvFormat::Common);
        // The layout has no power-on mark, and its priority mark ("P") is a scanned channel.
        for (auto [g, c] : shown(original)) {
            ChannelEntry& e = original.channelTable.groups[g].channels[c];
            e.powerOnChannel = 0;
            if (e.priorityChannel) e.scanChannel = 1;
        }
        expectSameChannels(original, target, "seed " + std::to_string(seed));
    }
}

TEST(ChannelCsvTest, HandWrittenFileOfTheOlderCommonLayout) {
    const std::string csv = std::string(kCommonHeaderOld) +
                            "1,Marine16,156.800000,,0.000000,,88.5,88.5,023,NN,FM,25.00,,High,,,,,\n"
                            "2,Rpt1,152.480000,+,0.600000,Tone,100.0,88.5,023,NN,NFM,12.50,S,Low,,,,,\n"
                            "3,Tsql,151.625000,,0.000000,TSQL,88.5,103.5,023,NN,FM,5.00,,5.0W,,,,,\n"
                            "4,Dcs,154.570000,-,1.000000,DTCS,88.5,88.5,131,RN,NFM,12.50,,1.0W,,,,,\n"
                            "5,\"Wx 1\",162.550000,off,0.000000,,88.5,88.5,023,NN,NFM,25.00,S,High,receive only,,,,\n"
                            "\n";
    RadioSettings s = vhfSettings();
    const CsvImportResult r = importChannelCsv(csv, s);
    ASSERT_TRUE(r.ok) << formatCsvIssue(r.errors.at(0));
    EXPECT_EQ(r.channels, 5);

    const ChannelEntry& c1 = listChannel(s, 1);
    EXPECT_EQ(c1.label, "Marine16");
    EXPECT_EQ(c1.rxFrequency, "156.80000");
    EXPECT_EQ(c1.txFrequency, "156.80000");
    EXPECT_EQ(c1.rxSquelch, kToneOff);
    EXPECT_EQ(c1.txSquelch, kToneOff);
    EXPECT_EQ(c1.bandwidth, 1);
    EXPECT_EQ(c1.txPower, 1);
    EXPECT_EQ(c1.scanChannel, 1);
    EXPECT_EQ(c1.inUse, 1);

    const ChannelEntry& c2 = listChannel(s, 2);
    EXPECT_EQ(c2.txFrequency, "153.08000");
    EXPECT_EQ(c2.txSquelch, ctcss("100.0"));
    EXPECT_EQ(c2.rxSquelch, kToneOff);
    EXPECT_EQ(c2.bandwidth, 0);
    EXPECT_EQ(c2.txPower, 0);
    EXPECT_EQ(c2.scanChannel, 0);

    const ChannelEntry& c3 = listChannel(s, 3);
    EXPECT_EQ(c3.rxSquelch, ctcss("103.5"));
    EXPECT_EQ(c3.txSquelch, ctcss("103.5"));
    EXPECT_EQ(c3.txPower, 1);

    const ChannelEntry& c4 = listChannel(s, 4);
    EXPECT_EQ(c4.txFrequency, "153.57000");
    EXPECT_EQ(c4.txSquelch, dcs("131"));
    EXPECT_EQ(c4.rxSquelch, dcs("131"));
    EXPECT_EQ(c4.txInverseDcs, 1);
    EXPECT_EQ(c4.rxInverseDcs, 0);
    EXPECT_EQ(c4.txPower, 0);

    const ChannelEntry& c5 = listChannel(s, 5);
    EXPECT_EQ(c5.label, "Wx 1");
    EXPECT_EQ(c5.rxFrequency, "162.55000");
    EXPECT_TRUE(c5.txFrequency.empty());

    EXPECT_FALSE(listChannel(s, 6).isProgrammed());
    EXPECT_EQ(s.channelTable.totalUsed, 5);
    EXPECT_EQ(s.channelTable.anyScanChannel, 1);
}

TEST(ChannelCsvTest, HandWrittenFileOfTheNewerCommonLayoutWithCrossModes) {
    // Byte order mark, CRLF line ends, RxDtcsCode and CrossMode columns.
    const std::string csv =
        "\xEF\xBB\xBF" + std::string(kCommonHeaderNew) +
        "10,TtoD,460.125000,split,465.125000,Cross,77.0,88.5,023,NR,754,Tone->DTCS,FM,12.50,,"
        "High,,,,,\r\n"
        "11,DtoT,460.250000,,0.000000,Cross,88.5,162.2,047,RN,023,DTCS->Tone,NFM,12.50,,Low,,,,,\r\n"
        "12,DtoD,460.375000,,0.000000,Cross,88.5,88.5,244,NN,627,DTCS->DTCS,FM,12.50,P,High,,,,,\r\n"
        "13,RxTone,460.500000,,0.000000,Cross,88.5,67.0,023,NN,023,->Tone,FM,12.50,,High,,,,,\r\n"
        "14,TxDcs,460.625000,,0.000000,Cross,88.5,88.5,612,RN,023,DTCS->,FM,12.50,,High,,,,,\r\n";
    RadioSettings s = newRadioSettings();  // KS-340 Series, UHF2 440..480
    s.option.scanTx = 3;                   // "Normal Scan Tx"
    const CsvImportResult r = importChannelCsv(csv, s);
    ASSERT_TRUE(r.ok) << formatCsvIssue(r.errors.at(0));

    const ChannelEntry& a = listChannel(s, 10);
    EXPECT_EQ(a.txFrequency, "465.12500");
    EXPECT_EQ(a.txSquelch, ctcss("77.0"));
    EXPECT_EQ(a.rxSquelch, dcs("754"));
    EXPECT_EQ(a.rxInverseDcs, 1);

    const ChannelEntry& b = listChannel(s, 11);
    EXPECT_EQ(b.txSquelch, dcs("047"));
    EXPECT_EQ(b.txInverseDcs, 1);
    EXPECT_EQ(b.rxSquelch, ctcss("162.2"));

    const ChannelEntry& c = listChannel(s, 12);
    EXPECT_EQ(c.txSquelch, dcs("244"));
    EXPECT_EQ(c.rxSquelch, dcs("627"));
    EXPECT_EQ(c.priorityChannel, 1);
    EXPECT_EQ(s.channelTable.groups[0].priorityChannel, 12);
    EXPECT_EQ(s.option.scanTx, 1) << "a priority channel turns Normal Scan Tx into Priority Scan Tx";

    EXPECT_EQ(listChannel(s, 13).txSquelch, kToneOff);
    EXPECT_EQ(listChannel(s, 13).rxSquelch, ctcss("67.0"));
    EXPECT_EQ(listChannel(s, 14).txSquelch, dcs("612"));
    EXPECT_EQ(listChannel(s, 14).txInverseDcs, 1);
    EXPECT_EQ(listChannel(s, 14).rxSquelch, kToneOff);
}

TEST(ChannelCsvTest, EveryKindOfBadCommonRowIsReportedAndNothingChanges) {
    test::RandomConfig random(5);
    RadioSettings s = random.make();
    s.header.model = 1;  // KS-390 Series, UHF2 440..470
    s.header.radioBand = kBandUhf2;
    s.channelTable.scanMode = 0;
    s.channelTable.groupScanFlag = 0;
    const RadioSettings before = s;
    const std::string csv = std::string(kCommonHeaderNew) +
                            "1,Good,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"         // 2
                            "2,Band,475.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"         // 3 out of band
                            "3,Raster,445.001000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"       // 4 off raster
                            "4,Bad!,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"         // 5 label char
                            "5,TooLongName,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"  // 6
                            "6,Tone,445.000000,,0,Tone,69.3,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"     // 7
                            "7,Dcs,445.000000,,0,DTCS,88.5,88.5,024,NN,023,,FM,12.50,,High,,,,,\n"      // 8
                            "8,Dup,445.000000,x,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"         // 9
                            "9,Mode,445.000000,,0,,88.5,88.5,023,NN,023,,AM,12.50,,High,,,,,\n"         // 10
                            "1,Again,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"        // 11
                            "209,Far,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"        // 12
                            "12,Power,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,Max,,,,,\n"        // 13
                            "13,Skip,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,X,High,,,,,\n"       // 14
                            "14,Pol,445.000000,,0,DTCS,88.5,88.5,023,XY,023,,FM,12.50,,High,,,,,\n"     // 15
                            "15,Cross,445.000000,,0,Cross,88.5,88.5,023,NN,023,Tone=>X,FM,12.50,,High,,,,,\n"  // 16
                            "16,TxBand,445.000000,+,30.0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"         // 17
                            "17,NoFreq,,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"                       // 18
                            "x,Loc,445.000000,,0,,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n"                 // 19
                            "19,Rev,445.000000,,0,TSQL-R,88.5,88.5,023,NN,023,,FM,12.50,,High,,,,,\n";         // 20
    const CsvImportResult r = importChannelCsv(csv, s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(s, before) << "a failed import changes nothing";
    const std::set<std::pair<int, std::string>> expected{
        {3, "Frequency"},     {4, "Frequency"},  {5, "Name"},      {6, "Name"},       {7, "rToneFreq"}, {8, "DtcsCode"},
        {9, "Duplex"},        {10, "Mode"},      {11, "Location"}, {12, "Location"},  {13, "Power"},    {14, "Skip"},
        {15, "DtcsPolarity"}, {16, "CrossMode"}, {17, "Offset"},   {18, "Frequency"}, {19, "Location"}, {20, "Tone"}};
    EXPECT_EQ(where(r.errors), expected);
    for (const CsvIssue& i : r.errors) EXPECT_FALSE(i.reason.empty());
    // The reasons name what is wrong.
    auto reasonAt = [&](int line) {
        for (const CsvIssue& i : r.errors)
            if (i.line == line) return i.reason;
        return std::string();
    };
    EXPECT_NE(reasonAt(3).find("440 to 470"), std::string::npos) << reasonAt(3);
    EXPECT_NE(reasonAt(4).find("445.00000"), std::string::npos) << "names the nearest channel: " << reasonAt(4);
    EXPECT_NE(reasonAt(6).find("longer than 8"), std::string::npos);
    EXPECT_NE(reasonAt(11).find("line 2"), std::string::npos) << reasonAt(11);
    EXPECT_EQ(formatCsvIssue({3, "Frequency", "x"}), "line 3, Frequency: x");
}

TEST(ChannelCsvTest, LongLabelsAreCutOnlyWhenAsked) {
    const std::string csv = std::string(kCommonHeaderOld) +
                            "1,Repeater North,445.000000,,0,,88.5,88.5,023,NN,FM,"
                            "12.50,,High,,,,,\n";
    RadioSettings s = newRadioSettings();
    const RadioSettings before = s;
    CsvImportResult r = importChannelCsv(csv, s);
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(s, before);
    CsvImportOptions cut;
    cut.cutLongLabels = true;
    r = importChannelCsv(csv, s, cut);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(listChannel(s, 1).label, "Repeater");
    ASSERT_EQ(r.notes.size(), 1u);
    EXPECT_EQ(r.notes[0].line, 2);
}

TEST(ChannelCsvTest, NativeRowsAreCheckedAgainstTheLayoutAndTheGridTexts) {
    RadioSettings s = newRadioSettings();
    const RadioSettings before = s;
    const std::string header =
        "Group,CH,Label,Rx Freq.,RX Option,Tx Freq.,Tx Option,Scan CH,BandWidth,Tx Power,Priority CH,PowON CH\r\n";
    const std::string csv = header +
                            "0,1,ONE,445.00000,CTCSS : 67.0,445.00000,OFF,ON,S,High,ON,\r\n"  // 2 good
                            "2,2,TWO,445.00000,OFF,,OFF,,S,High,,\r\n"                        // 3 group
                            "0,209,X,445.00000,OFF,,OFF,,S,High,,\r\n"                        // 4 CH
                            "0,3,X,445.00000,CTCSS : 68.0,,OFF,,S,High,,\r\n"                 // 5 RX Option
                            "0,4,X,445.00000,OFF,,DCS : 999,,S,High,,\r\n"                    // 6 Tx Option
                            "0,5,X,445.00000,OFF,,OFF,,W,High,,\r\n"                          // 7 BandWidth
                            "0,6,X,445.00000,OFF,,OFF,,S,Medium,,\r\n"                        // 8 Tx Power
                            "0,7,X,445.00000,OFF,,OFF,,S,High,ON,\r\n"                        // 9 2nd priority
                            "0,8,X,,OFF,,OFF,,S,High,,\r\n"                                   // 10 Rx Freq.
                            "0,9,X,445.00000,OFF,,OFF,yes,S,High,,\r\n";                      // 11 Scan CH
    const CsvImportResult r = importChannelCsv(csv, s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(s, before);
    const std::set<std::pair<int, std::string>> expected{{3, "Group"},       {4, "CH"},        {5, "RX Option"},
                                                         {6, "Tx Option"},   {7, "BandWidth"}, {8, "Tx Power"},
                                                         {9, "Priority CH"}, {10, "Rx Freq."}, {11, "Scan CH"}};
    EXPECT_EQ(where(r.errors), expected);

    // The first row alone imports, with the grid texts read back into codes.
    const CsvImportResult ok = importChannelCsv(header +
                                                    "None,1,ONE,445.00000,Inv DCS : 023,445.0125,CTCSS : 67.0,"
                                                    "ON,N,Low,ON,ON\r\n",
                                                s);
    ASSERT_TRUE(ok.ok) << formatCsvIssue(ok.errors.at(0));
    const ChannelEntry& e = listChannel(s, 1);
    EXPECT_EQ(e.rxSquelch, dcs("023"));
    EXPECT_EQ(e.rxInverseDcs, 1);
    EXPECT_EQ(e.txFrequency, "445.01250");
    EXPECT_EQ(e.txSquelch, ctcss("67.0"));
    EXPECT_EQ(e.bandwidth, 0);
    EXPECT_EQ(e.txPower, 0);
    EXPECT_EQ(s.channelTable.groups[0].powerOnChannel, 1);
}

TEST(ChannelCsvTest, GroupModeLocationsCountThroughTheGroups) {
    RadioSettings s = newRadioSettings();
    std::array<int, 14> caps{};
    caps[1] = 2;
    caps[2] = 3;
    test::useGroups(s, caps);
    const std::string csv = std::string(kCommonHeaderOld) +
                            "3,G2C1,445.000000,,0,,88.5,88.5,023,NN,FM,12.50,,High,,,,,\n"
                            "5,G2C3,446.000000,,0,,88.5,88.5,023,NN,FM,12.50,,High,,,,,\n";
    CsvImportResult r = importChannelCsv(csv, s);
    ASSERT_TRUE(r.ok) << formatCsvIssue(r.errors.at(0));
    EXPECT_EQ(groupChannel(s, 2, 1).label, "G2C1");
    EXPECT_EQ(groupChannel(s, 2, 3).label, "G2C3");
    EXPECT_FALSE(groupChannel(s, 1, 1).isProgrammed());
    // Location 6 is past the five channels the groups hold.
    r = importChannelCsv(std::string(kCommonHeaderOld) + "6,X,445.000000,,0,,88.5,88.5,023,NN,FM,12.50,,High,,,,,\n",
                         s);
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(where(r.errors), (std::set<std::pair<int, std::string>>{{2, "Location"}}));
    // The export names the group and channel of each location.
    const std::string out = exportChannelCsv(s, ChannelCsvFormat::Native);
    EXPECT_NE(out.find("\r\n2,3,G2C3,446.00000,"), std::string::npos) << out;
}

TEST(ChannelCsvTest, HeaderProblemsAreReportedOnLineOne) {
    RadioSettings s = newRadioSettings();
    CsvImportResult r = importChannelCsv("", s);
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.errors.at(0).line, 1);
    r = importChannelCsv("Name,Frequency\nA,445.0\n", s);
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.errors.at(0).line, 1);
    EXPECT_EQ(detectChannelCsvFormat("Name,Frequency"), std::nullopt);
    EXPECT_EQ(detectChannelCsvFormat(kCommonHeaderOld), ChannelCsvFormat::Common);
    EXPECT_EQ(detectChannelCsvFormat("Group,CH,Label,Rx Freq."), ChannelCsvFormat::Native);
    // A row with more fields than the header (an unquoted comma in a name).
    r = importChannelCsv(std::string(kCommonHeaderOld) + "1,A,B,445.000000,,0,,88.5,88.5,023,NN,FM,12.50,,High,,,,,\n",
                         s);
    ASSERT_FALSE(r.ok);
    EXPECT_EQ(r.errors.at(0).line, 2);
}

TEST(ChannelCsvTest, TheNearestChannelNamedIsOneTheImportAccepts) {
    RadioSettings s = newRadioSettings();
    const std::string header = "Location,Name,Frequency\n";
    const CsvImportResult r = importChannelCsv(header + "1,A,446.0815\n", s);
    ASSERT_EQ(r.errors.size(), 1u);
    const std::string& reason = r.errors[0].reason;
    const std::size_t at = reason.find("nearest channel is ");
    ASSERT_NE(at, std::string::npos) << reason;
    const std::string hint = reason.substr(at + 19, 9);
    EXPECT_EQ(hint, "446.08125");
    const CsvImportResult again = importChannelCsv(header + "1,A," + hint + "\n", s);
    EXPECT_TRUE(again.ok) << (again.errors.empty() ? "" : again.errors[0].reason);
    EXPECT_EQ(listChannel(s, 1).rxFrequency, "446.08125");
}

TEST(ChannelCsvTest, UnfitRowsAreLeftOutOnlyWhenAsked) {
    RadioSettings s = newRadioSettings();  // UHF2, 440 to 480 MHz
    const std::string csv =
        "Location,Name,Frequency,Skip\n"
        "1,PMR 1,446.006250,\n"
        "2,2m call,145.500000,\n"  // another band
        "3,70cm,433.500000,\n"     // another band
        "4,Caf\xC3\xA9,446.100000,P\n"
        "5,Second P,446.200000,P\n"  // a second priority channel
        "5,Again,446.300000,\n"      // location 5 given twice
        "6,Ok,446.012500,\n";
    const RadioSettings before = s;
    const CsvImportResult all = importChannelCsv(csv, s);
    EXPECT_FALSE(all.ok);
    EXPECT_EQ(all.unfitRows, 3);
    EXPECT_EQ(all.fittingRows, 4);
    EXPECT_TRUE(s == before);
    EXPECT_EQ(where(all.errors),
              (std::set<std::pair<int, std::string>>{{3, "Frequency"}, {4, "Frequency"}, {6, "Skip"}}));
    EXPECT_EQ(all.errors[0].reason, "145.500000 MHz is outside UHF2, 440 to 480 MHz");

    CsvImportOptions skip;
    skip.skipUnfit = true;
    const CsvImportResult some = importChannelCsv(csv, s, skip);
    ASSERT_TRUE(some.ok);
    EXPECT_EQ(some.channels, 4);
    EXPECT_EQ(where(some.skipped), where(all.errors));
    EXPECT_EQ(listChannel(s, 4).label, "Caf\xE9");
    EXPECT_EQ(listChannel(s, 5).label, "Again");
    EXPECT_FALSE(listChannel(s, 2).isProgrammed());
    EXPECT_EQ(s.channelTable.groups[0].priorityChannel, 4);

    // Nothing that fits: still an error.
    RadioSettings other = newRadioSettings();
    EXPECT_FALSE(importChannelCsv("Location,Name,Frequency\n1,A,145.5\n", other, skip).ok);
}

}  // namespace ks340
