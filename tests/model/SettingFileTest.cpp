#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

namespace fs = std::filesystem;

namespace ks340 {

namespace {

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

std::string repeatField(const std::string& field, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) s += (i ? "," : "") + field;
    return s;
}

// A folder of its own for each test, removed afterwards.
class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "ks340-model-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path_, ec);
    }
    std::string file(const std::string& name) const { return (fs::path(path_) / name).string(); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

std::string readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void writeAll(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
}

// Random configuration of everything the file holds. Texts use any byte but
// NUL, CR and LF (no editor can enter those) and are never "NULL".
class RandomConfig {
public:
    explicit RandomConfig(unsigned seed) : rng_(seed) {}

    RadioSettings make() {
        RadioSettings s = newRadioSettings();
        s.header.speaker = pick(0, 1);
        s.header.model = pick(0, 1);
        s.header.radioBand = pick(0, 1);
        s.header.lcdDisplayLogo = text(9);
        ChannelTable& t = s.channelTable;
        t.currentGroup = pick(0, 13);
        for (int* f : {&t.currentChannel, &t.totalCapability, &t.tableSpare, &t.channelsLeft, &t.channelCapacity,
                       &t.firstProgrammedGroup, &t.firstScanGroup, &t.lowestGroup, &t.highestGroup, &t.lastScanGroup,
                       &t.priorityPresent, &t.noPowerOnChannel, &t.scanMode, &t.appliedScanMode, &t.groupScanFlag,
                       &t.anyScanChannel})
            *f = anyInt();
        int left = kChannelCapacity;
        for (int g = 0; g < kGroupSlots; ++g) {
            ChannelGroup& group = t.groups[static_cast<std::size_t>(g)];
            for (int* f : {&group.enabled, &group.hasChannels, &group.groupSpare, &group.firstChannel,
                           &group.lastChannel, &group.priorityChannel, &group.powerOnChannel, &group.channelEnd})
                *f = anyInt();
            if (g == 0) {
                group.capability = pick(0, kChannelCapacity);
            } else {
                group.capability = pick(0, std::min(left, 40));
                left -= group.capability;
            }
            for (int c = 1; c <= group.capability; ++c) channel(group.channels[static_cast<std::size_t>(c)]);
        }
        ints(s.option);
        ToneSequenceSettings& ts = s.toneSequence;
        ts.toneset = pick(0, kToneSetCount - 1);
        for (int& f : ts.toneFrequency) f = anyInt();
        ts.toneLength = anyInt();
        for (int i = 1; i < kSequenceSlots; ++i) {
            ToneSequence& q = ts.sequences[static_cast<std::size_t>(i)];
            q.sequence = text(8);
            q.leadInTime = anyInt();
            q.firstToneTime = anyInt();
            q.leadOutTime = anyInt();
        }
        for (std::string& u : ts.userTone) u = text(4);
        SelcallEncodeSettings& e = s.selcallEncode;
        ints(e);
        for (std::string* f : {&e.emgSequence, &e.acknowledge1, &e.acknowledge2, &e.acknowledge3, &e.aniSequence,
                               &e.call1Sequence, &e.call2Sequence, &e.call3Sequence})
            *f = text(15);
        for (DecodeEntry& d : s.selcallDecode.decodeEntries) {
            d.address = text(8);
            d.action = anyInt();
            d.ack = anyInt();
            d.text = text(8);
        }
        s.selcallDecode.decoderToneLength = anyInt();
        s.selcallDecode.covertRxTime = anyInt();
        s.selcallDecode.covertTxTime = anyInt();
        DtmfSettings& m = s.dtmf;
        for (int* f : {&m.dtmf, &m.dtmfLeadInTime, &m.dtmfLeadOutTime, &m.dtmfMarkTime, &m.dtmfSpaceTime})
            *f = anyInt();
        for (std::string& x : m.dtmfCodes) x = text(15);
        for (std::string& x : m.dtmfDecodeAddress) x = text(15);
        for (int& x : m.dtmfDecodeAction) x = anyInt();
        for (std::string& x : m.statusText) x = text(8);
        ModemSettings& md = s.modem;
        for (int* f : {&md.modemBaudRate, &md.initializingDataForHt, &md.txDelayTime, &md.txOnDelay, &md.txOffDelay,
                       &md.rxOnDelay})
            *f = anyInt();
        for (std::string& x : md.modemText) x = text(40);
        for (std::string& x : md.commonSentence) x = text(8);
        return s;
    }

private:
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng_); }
    int anyInt() {
        switch (pick(0, 3)) {
            case 0:
                return pick(0, 1);
            case 1:
                return pick(-300, 3000);
            case 2:
                return pick(INT_MIN, INT_MAX);
            default:
                return pick(0, 1) ? INT_MIN : INT_MAX;
        }
    }
    std::string text(int maxLength) {
        static const std::string kSpecial = ",\"\" ,\"x";
        std::string s;
        const int n = pick(0, maxLength);
        for (int i = 0; i < n; ++i) {
            char c;
            switch (pick(0, 3)) {
                case 0:
                    c = kSpecial[static_cast<std::size_t>(pick(0, static_cast<int>(kSpecial.size()) - 1))];
                    break;
                case 1:
                    c = static_cast<char>(pick(0x80, 0xFF));
                    break;
                default:
                    c = static_cast<char>(pick(0x20, 0x7E));
                    break;
            }
            s.push_back(c);
        }
        for (char& c : s)
            if (c == '\0' || c == '\r' || c == '\n') c = '?';
        if (s == "NULL") s = "NUL";
        return s;
    }
    void channel(ChannelEntry& c) {
        c.label = text(8);
        c.rxFrequency = pick(0, 3) ? "4" + std::to_string(pick(40000000, 79999999)).insert(2, ".") : "";
        c.txFrequency = text(10);
        for (int* f : {&c.inUse,         &c.rxCodeN,         &c.rxCodeA,        &c.txCodeN,    &c.txCodeA,
                       &c.channelSpare1, &c.channelSpare2,   &c.rxInverseDcs,   &c.rxSquelch,  &c.channelSpare3,
                       &c.channelSpare4, &c.txInverseDcs,    &c.txSquelch,      &c.bandwidth,  &c.txPower,
                       &c.scanChannel,   &c.priorityChannel, &c.powerOnChannel, &c.rxStepCode, &c.txStepCode})
            *f = anyInt();
    }
    void ints(OptionSettings& o) {
        for (int* f : {&o.txDelay,
                       &o.monitor,
                       &o.hook,
                       &o.hookScan,
                       &o.beep,
                       &o.publicAddress,
                       &o.powerUpAlert,
                       &o.powerUp,
                       &o.autoMute,
                       &o.autoMuteTimer,
                       &o.pttTimer,
                       &o.txTimer,
                       &o.txInhibit,
                       &o.txInhibitAlert,
                       &o.openLock,
                       &o.busyChLockOut,
                       &o.markIdle,
                       &o.scanType,
                       &o.scanTx,
                       &o.scanWaitTime,
                       &o.scanSpeedTime,
                       &o.priorityLbTime,
                       &o.programmableKey1Short,
                       &o.programmableKey1Long,
                       &o.programmableKey1Mode,
                       &o.programmableKey2Short,
                       &o.programmableKey2Long,
                       &o.programmableKey2Mode,
                       &o.programmableKey3Short,
                       &o.programmableKey3Long,
                       &o.programmableKey3Mode})
            *f = anyInt();
    }
    void ints(SelcallEncodeSettings& e) {
        for (int* f : {&e.selcall,
                       &e.emgType,
                       &e.emgCheckOpen,
                       &e.emgCheckBusy,
                       &e.emgEncodeAlert,
                       &e.emgRepeats,
                       &e.emgCycleRepeatTime,
                       &e.emgTxTimer,
                       &e.aniType,
                       &e.aniAt,
                       &e.multiAniDelay,
                       &e.call1CheckOpen,
                       &e.call1CheckBusy,
                       &e.call1EncodeAlert,
                       &e.call2CheckOpen,
                       &e.call2CheckBusy,
                       &e.call2EncodeAlert,
                       &e.call3CheckOpen,
                       &e.call3CheckBusy,
                       &e.call3EncodeAlert})
            *f = anyInt();
    }

    std::mt19937 rng_;
};

// Expects a read to fail on `line` with the record left as it was.
void expectRejected(const std::string& text, int line, const std::string& fragment) {
    RandomConfig random(99);
    RadioSettings s = random.make();
    const RadioSettings before = s;
    const FileResult r = readSettingText(text, s, "bad.ks3");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, line) << r.error;
    EXPECT_NE(r.error.find("bad.ks3"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("line " + std::to_string(line)), std::string::npos) << r.error;
    EXPECT_NE(r.error.find(fragment), std::string::npos) << r.error;
    EXPECT_TRUE(s == before) << "the record changed on a failed read";
}

std::string defaultFile() { return formatSettingFile(newRadioSettings()); }

// Replaces line `n` (1-based) of a CRLF text.
std::string withLine(const std::string& text, int n, const std::string& replacement) {
    std::vector<std::string> lines = linesOf(text);
    lines[static_cast<std::size_t>(n - 1)] = replacement;
    std::string out;
    for (const std::string& l : lines) out += l + "\r\n";
    return out;
}

}  // namespace

// ------------------------------------------------------------------ CSV

TEST(CsvLineTest, JoinQuotesOnlyFieldsWithCommasOrQuotes) {
    EXPECT_EQ(joinCsvLine({"a", "b c", ""}), "a,b c,\r\n");
    EXPECT_EQ(joinCsvLine({"x,y", "say \"hi\"", "\""}), "\"x,y\",\"say \"\"hi\"\"\",\"\"\"\"\r\n");
    EXPECT_EQ(joinCsvLine({}), "\r\n");
}

TEST(CsvLineTest, SplitIsTheInverseOfJoin) {
    const std::vector<std::vector<std::string>> cases = {
        {"a", "b"}, {"", "", ""},      {"x,y", "\"", "\"\"", ",", "a\"b,c\""}, {" lead", "trail ", " "}, {"\"start"},
        {"end\""},  {"NULL", "", "12"}};
    for (const auto& fields : cases) {
        std::string line = joinCsvLine(fields);
        line.resize(line.size() - 2);  // without CR LF
        EXPECT_EQ(splitCsvLine(line), fields) << line;
    }
}

TEST(CsvLineTest, SplitEdgeCases) {
    EXPECT_TRUE(splitCsvLine("").empty());
    EXPECT_EQ(splitCsvLine(","), (std::vector<std::string>{"", ""}));
    EXPECT_EQ(splitCsvLine("a,"), (std::vector<std::string>{"a", ""}));
    // An unterminated quoted field runs to the end of the line.
    EXPECT_EQ(splitCsvLine("\"abc,def"), (std::vector<std::string>{"abc,def"}));
    // A lone quote inside a quoted field that is not followed by a comma is data.
    EXPECT_EQ(splitCsvLine("\"ab\"c\",d"), (std::vector<std::string>{"ab\"c", "d"}));
    // Quotes inside an unquoted field are data.
    EXPECT_EQ(splitCsvLine("ab\"c,d"), (std::vector<std::string>{"ab\"c", "d"}));
}

// ------------------------------------------------------------------ writer

TEST(SettingFileTest, NewConfigurationIsExactlyTheKnownFile) {
    const std::vector<std::string> lines = linesOf(defaultFile());
    ASSERT_EQ(lines.size(), 230u);
    EXPECT_EQ(settingFileLineCount(newRadioSettings()), 230);
    EXPECT_EQ(lines[0], "0,0,0,Vandrell");
    EXPECT_EQ(lines[1], "0,0,0,0,208,208,0,0,0,0,0,0,1,0,0,0,0");
    EXPECT_EQ(lines[2], "1,0,0,0,0,0,0,208,0");
    for (int c = 0; c < 208; ++c)
        EXPECT_EQ(lines[static_cast<std::size_t>(3 + c)], "NULL,0,0,0,0,0,0,0,0,0,0,0,0,0,0,NULL,NULL,0,0,0,0,0,0");
    for (int g = 1; g <= 13; ++g) EXPECT_EQ(lines[static_cast<std::size_t>(210 + g)], "0,0,0,0,0,0,0,0,0");
    EXPECT_EQ(lines[224], "1,8,3,2,9,0,3,3,1,0,1,0,0,0,1,0,1,1,0,30,0,0,0,0,1,0,0,1,3,4,49");
    EXPECT_EQ(lines[225],
              "0,1981,1124,1197,1275,1358,1446,1540,1640,1747,1860,1055,930,2247,991,2110,40,"
              "12XX5,54321,NULL,NULL,NULL,NULL,NULL,NULL,300,300,0,0,0,0,0,0," +
                  repeatField("40", 16) + "," + repeatField(" ", 15));
    EXPECT_EQ(lines[226], "1,0,2,0,0,1,3,20,5,NULL,NULL,NULL,0,NULL,0,0,NULL,0,0,0,NULL,0,0,0,NULL,0,0,0");
    EXPECT_EQ(lines[227], repeatField("NULL,0,0,NULL", 8) + ",40,10,10");
    EXPECT_EQ(lines[228], "0,300,160,70,50," + repeatField("NULL", 9) + "," + repeatField("NULL,0", 4) + "," +
                              repeatField("NULL", 10));
    EXPECT_EQ(lines[229], "1,0,1,0,0,4," + repeatField("NULL", 29));
    // Every line, the last included, ends in CR LF.
    const std::string text = defaultFile();
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 230);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\r'), 230);
}

TEST(SettingFileTest, LineCountFollowsTheCapabilities) {
    RadioSettings s = newRadioSettings();
    s.channelTable.groups[0].capability = 0;
    s.channelTable.groups[2].capability = 10;
    s.channelTable.groups[13].capability = 5;
    EXPECT_EQ(linesOf(formatSettingFile(s)).size(), 2u + 14u + 15u + 6u);
    const std::vector<std::string> lines = linesOf(formatSettingFile(s));
    EXPECT_EQ(lines[4], "0,0,0,0,0,0,0,10,0");  // group 2 after the lines of groups 0 and 1
}

TEST(SettingFileTest, TextsAndIntegersAreWrittenAsTheyAre) {
    RadioSettings s = newRadioSettings();
    ChannelEntry& c = s.channelTable.groups[0].channels[1];
    c.label = "A,\"B\"";
    c.rxFrequency = "440.12500";
    c.rxSquelch = -7;
    s.toneSequence.userTone[0] = "";
    s.toneSequence.toneset = kUserToneSet;
    s.modem.modemText[0] = "\xE9t\xE9";  // Windows-1252 bytes go out unchanged
    const std::vector<std::string> lines = linesOf(formatSettingFile(s));
    EXPECT_EQ(lines[3], "\"A,\"\"B\"\"\",0,0,0,0,0,0,0,0,0,0,0,0,-7,0,440.12500,NULL,0,0,0,0,0,0");
    // An empty user tone stays empty, never "NULL".
    const std::vector<std::string> tone = splitCsvLine(lines[225]);
    ASSERT_EQ(tone.size(), 64u);
    EXPECT_EQ(tone[49], "");
    EXPECT_EQ(tone[50], " ");
    EXPECT_EQ(splitCsvLine(lines[229])[6], "\xE9t\xE9");
}

// ------------------------------------------------------------------ round trip

TEST(SettingFileTest, RandomConfigurationsRoundTrip) {
    for (unsigned seed = 1; seed <= 40; ++seed) {
        RandomConfig random(seed);
        const RadioSettings original = random.make();
        const std::string text = formatSettingFile(original);
        RadioSettings back = newRadioSettings();
        const FileResult r = readSettingText(text, back, "random.ks3");
        ASSERT_TRUE(r.ok) << r.error;
        EXPECT_TRUE(r.warning.empty()) << r.warning;
        EXPECT_TRUE(back == original) << "seed " << seed;
        EXPECT_EQ(formatSettingFile(back), text) << "seed " << seed;
    }
}

TEST(SettingFileTest, LabelsWithCommasQuotesAndNull) {
    RadioSettings s = newRadioSettings();
    auto& ch = s.channelTable.groups[0].channels;
    ch[1].label = "a,b";
    ch[2].label = "say\"x\"";
    ch[3].label = "\",\"";
    ch[4].label = "NULL";  // a label that really is "NULL" reads back empty
    ch[5].label = "";
    RadioSettings back = newRadioSettings();
    ASSERT_TRUE(readSettingText(formatSettingFile(s), back, "labels.ks3").ok);
    EXPECT_EQ(back.channelTable.groups[0].channels[1].label, "a,b");
    EXPECT_EQ(back.channelTable.groups[0].channels[2].label, "say\"x\"");
    EXPECT_EQ(back.channelTable.groups[0].channels[3].label, "\",\"");
    EXPECT_EQ(back.channelTable.groups[0].channels[4].label, "");
    EXPECT_EQ(back.channelTable.groups[0].channels[5].label, "");
}

TEST(SettingFileTest, FileAndTextReadersAgree) {
    TempDir dir;
    RandomConfig random(7);
    const RadioSettings original = random.make();
    const std::string path = dir.file("a.ks3");
    ASSERT_TRUE(writeSettingFile(path, original).ok);
    EXPECT_EQ(readAll(path), formatSettingFile(original));
    RadioSettings back = newRadioSettings();
    const FileResult r = readSettingFile(path, back);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(back == original);
}

// ------------------------------------------------------------------ lenient reading

TEST(SettingFileReadTest, BareLineFeedsAreAccepted) {
    RandomConfig random(3);
    const RadioSettings original = random.make();
    std::string text = formatSettingFile(original);
    std::string lf;
    for (char c : text)
        if (c != '\r') lf.push_back(c);
    RadioSettings back = newRadioSettings();
    ASSERT_TRUE(readSettingText(lf, back, "lf.ks3").ok);
    EXPECT_TRUE(back == original);
}

TEST(SettingFileReadTest, NullAndShortLinesReadAsZeroOrEmpty) {
    std::string text = defaultFile();
    text = withLine(text, 1, "1,NULL,1");               // no logo field
    text = withLine(text, 225, "NULL,2");               // option line: two fields only
    text = withLine(text, 230, "0,0,0,0,0,0,hello,,");  // modem line short, last field empty
    RadioSettings s = newRadioSettings();
    const FileResult r = readSettingText(text, s, "short.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.warning.empty());
    EXPECT_EQ(s.header.speaker, 1);
    EXPECT_EQ(s.header.model, 0);
    EXPECT_EQ(s.header.radioBand, 1);
    EXPECT_EQ(s.header.lcdDisplayLogo, "");
    EXPECT_EQ(s.option.programmableKey1Short, 0);
    EXPECT_EQ(s.option.programmableKey2Short, 2);
    EXPECT_EQ(s.option.beep, 0);
    EXPECT_EQ(s.option.scanSpeedTime, 0);
    EXPECT_EQ(s.modem.modemBaudRate, 0);
    EXPECT_EQ(s.modem.modemText[0], "hello");
    EXPECT_EQ(s.modem.modemText[1], "");
    EXPECT_EQ(s.modem.commonSentence[19], "");
}

TEST(SettingFileReadTest, ReadingKeepsWhatTheFileDoesNotHold) {
    RadioSettings s = newRadioSettings();
    s.channelTable.groups[0].channels[200].label = "keep";  // beyond the file's capability
    s.channelTable.totalUsed = 17;
    s.toneSequence.toneCycleCount[4] = 55;
    s.selcallDecode.decodeDuration = 123;
    RadioSettings file = newRadioSettings();
    file.channelTable.groups[0].capability = 100;
    file.channelTable.groups[0].channels[5].label = "new";
    ASSERT_TRUE(readSettingText(formatSettingFile(file), s, "keep.ks3").ok);
    EXPECT_EQ(s.channelTable.groups[0].capability, 100);
    EXPECT_EQ(s.channelTable.groups[0].channels[5].label, "new");
    EXPECT_EQ(s.channelTable.groups[0].channels[200].label, "keep");
    EXPECT_EQ(s.channelTable.totalUsed, 17);
    EXPECT_EQ(s.toneSequence.toneCycleCount[4], 55);
    EXPECT_EQ(s.selcallDecode.decodeDuration, 123);
}

TEST(SettingFileReadTest, EarlyEndLoadsWithAWarningNamingTheLine) {
    const std::vector<std::string> lines = linesOf(defaultFile());
    // Cut after the header, the channel-table line and the first 50 channel lines.
    std::string text;
    for (int i = 0; i < 53; ++i) text += lines[static_cast<std::size_t>(i)] + "\r\n";
    RadioSettings s = RandomConfig(5).make();
    const RadioSettings before = s;
    const FileResult r = readSettingText(text, s, "cut.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(r.line, 54);
    EXPECT_NE(r.warning.find("cut.ks3"), std::string::npos);
    EXPECT_NE(r.warning.find("line 54"), std::string::npos);
    // The missing lines read as empty: channels empty, every later field 0.
    EXPECT_EQ(s.channelTable.groups[0].capability, 208);
    EXPECT_EQ(s.channelTable.groups[0].channels[60], ChannelEntry{});
    EXPECT_EQ(s.channelTable.groups[1].capability, 0);
    EXPECT_EQ(s.option.beep, 0);
    EXPECT_EQ(s.toneSequence.toneLength, 0);
    EXPECT_EQ(s.toneSequence.userTone[0], "");
    EXPECT_EQ(s.modem.rxOnDelay, 0);
    // Channels the file left out (beyond the groups' capabilities) keep their contents.
    EXPECT_EQ(s.channelTable.groups[3].channels[1], before.channelTable.groups[3].channels[1]);
}

TEST(SettingFileReadTest, FileWithoutFinalLineEndHasNoWarning) {
    std::string text = defaultFile();
    text.resize(text.size() - 2);
    RadioSettings s = newRadioSettings();
    const FileResult r = readSettingText(text, s, "x.ks3");
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.warning.empty());
    EXPECT_EQ(s, newRadioSettings());
}

TEST(SettingFileReadTest, TrailingContentIsIgnored) {
    RadioSettings s = newRadioSettings();
    const FileResult r = readSettingText(defaultFile() + "extra,line\r\n", s, "x.ks3");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(s, newRadioSettings());
}

// ------------------------------------------------------------------ rejected input

TEST(SettingFileRejectTest, EmptyFileAndEmptyFirstLines) {
    expectRejected("", 1, "empty");
    expectRejected("\r\n0,0,0\r\n", 1, "empty");
    expectRejected("0,0,0,Logo\r\n\r\n", 2, "empty");
    expectRejected("0,0,0,Logo\r\n", 2, "ends");
}

TEST(SettingFileRejectTest, CapabilityOutsideTheChannelSlots) {
    const std::string text = defaultFile();
    expectRejected(withLine(text, 3, "1,0,0,0,0,0,0,209,0"), 3, "capability 209");
    expectRejected(withLine(text, 3, "1,0,0,0,0,0,0,-1,0"), 3, "capability -1");
    expectRejected(withLine(text, 3, "1,0,0,0,0,0,0,99999999999,0"), 3, "capability");
    // Group 5 is line 2 + 1 + 208 + 5.
    expectRejected(withLine(text, 216, "0,0,0,0,0,0,0,300,0"), 216, "capability 300");
}

TEST(SettingFileRejectTest, GroupCapabilitiesAddingUpBeyond208) {
    RadioSettings s = newRadioSettings();
    s.channelTable.groups[0].capability = 0;
    s.channelTable.groups[1].capability = 200;
    s.channelTable.groups[2].capability = 8;
    std::string text = formatSettingFile(s);
    RadioSettings ok = newRadioSettings();
    ASSERT_TRUE(readSettingText(text, ok, "ok.ks3").ok);  // exactly 208 is fine
    // Group 2's line follows group 1's 200 channel lines.
    expectRejected(withLine(text, 2 + 1 + 1 + 200 + 1, "0,0,0,0,0,0,0,9,0"), 205, "more than 208");
}

TEST(SettingFileRejectTest, IndicesIntoFixedTables) {
    const std::string text = defaultFile();
    expectRejected(withLine(text, 1, "0,2,0,Vandrell"), 1, "model 2");
    expectRejected(withLine(text, 1, "0,0,-1,Vandrell"), 1, "band -1");
    expectRejected(withLine(text, 1, "5,0,0,Vandrell"), 1, "speaker 5");
    expectRejected(withLine(text, 2, "14,0,0,0,208,208,0,0,0,0,0,0,1,0,0,0,0"), 2, "current group 14");
    const std::string tone = linesOf(text)[225];
    expectRejected(withLine(text, 226, "8" + tone.substr(1)), 226, "tone set 8");
}

TEST(SettingFileReadTest, TextInNumberFieldsReadsAsAtoiDoes) {
    std::string text = defaultFile();
    text = withLine(text, 225, "1,8,abc,2,12x, 7,-3");
    RadioSettings s = newRadioSettings();
    const FileResult r = readSettingText(text, s, "atoi.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    // The option line starts with the six key functions, then the modes.
    EXPECT_EQ(s.option.programmableKey1Short, 1);
    EXPECT_EQ(s.option.programmableKey2Short, 8);
    EXPECT_EQ(s.option.programmableKey3Short, 0);
    EXPECT_EQ(s.option.programmableKey1Long, 2);
    EXPECT_EQ(s.option.programmableKey2Long, 12);
    EXPECT_EQ(s.option.programmableKey3Long, 7);
    EXPECT_EQ(s.option.programmableKey1Mode, -3);
}

TEST(SettingFileRejectTest, NulBytes) {
    std::string text = defaultFile();
    text[text.find("Vandrell") + 2] = '\0';
    expectRejected(text, 1, "NUL");
}

TEST(SettingFileRejectTest, OverlongLines) {
    std::string huge(10 * 1024 * 1024, 'A');
    expectRejected(huge, 1, "longer than");
    std::string text = defaultFile();
    text = withLine(text, 4, std::string(kMaxSettingLineLength + 1, 'x'));
    expectRejected(text, 4, "longer than");
    // A line of exactly the limit is still read.
    RadioSettings s = newRadioSettings();
    const std::string rest = ",0,0,0,0,0,0,0,0,0,0,0,0,NULL,NULL,0,0,0,0,0,0";
    const std::string longNumber = std::string(kMaxSettingLineLength - rest.size() - 9, '0') + "1";
    std::string okText = withLine(defaultFile(), 4, "Label,0," + longNumber + rest);
    ASSERT_EQ(linesOf(okText)[3].size(), kMaxSettingLineLength);
    const FileResult r = readSettingText(okText, s, "x.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(s.channelTable.groups[0].channels[1].inUse, 1);
    EXPECT_EQ(s.channelTable.groups[0].channels[1].label, "Label");
}

TEST(SettingFileRejectTest, OverlongTexts) {
    const std::string text = defaultFile();
    const std::string rest = ",0,0,0,0,0,0,0,0,0,0,0,0,0,0,NULL,NULL,0,0,0,0,0,0";
    expectRejected(withLine(text, 4, std::string(kMaxSettingTextLength + 1, 'x') + rest), 4, "field 1 is longer than");
    RadioSettings s = newRadioSettings();
    ASSERT_TRUE(readSettingText(withLine(text, 4, std::string(kMaxSettingTextLength, 'x') + rest), s, "x.ks3").ok);
    // A text of quotes at the limit doubles when saved and still loads.
    const std::string quotes(kMaxSettingTextLength, '"');
    for (std::string& m : s.modem.modemText) m = quotes;
    for (std::string& m : s.modem.commonSentence) m = quotes;
    RadioSettings back = newRadioSettings();
    const FileResult r = readSettingText(formatSettingFile(s), back, "q.ks3");
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(back.modem.commonSentence[19], quotes);
}

TEST(SettingFileRejectTest, GarbageNeverCrashesAndNeverHalfLoads) {
    const std::string good = defaultFile();
    for (unsigned seed = 1; seed <= 200; ++seed) {
        std::mt19937 rng(seed);
        std::string text;
        switch (seed % 4) {
            case 0:  // random bytes
                text.resize(std::uniform_int_distribution<std::size_t>(0, 20000)(rng));
                for (char& c : text) c = static_cast<char>(rng());
                break;
            case 1:  // a valid file cut anywhere
                text = good.substr(0, std::uniform_int_distribution<std::size_t>(0, good.size())(rng));
                break;
            default:  // a valid file with a few bytes changed
                text = good;
                for (int i = 0; i < 5; ++i)
                    text[std::uniform_int_distribution<std::size_t>(0, text.size() - 1)(rng)] =
                        static_cast<char>(rng());
        }
        RadioSettings s = RandomConfig(seed).make();
        const RadioSettings before = s;
        const FileResult r = readSettingText(text, s, "g.ks3");
        if (!r.ok) {
            EXPECT_TRUE(s == before) << "seed " << seed;
            EXPECT_GT(r.line, 0);
        } else {
            // Whatever loaded writes out as a file that loads again the same.
            RadioSettings again = newRadioSettings();
            ASSERT_TRUE(readSettingText(formatSettingFile(s), again, "again.ks3").ok);
        }
    }
}

TEST(SettingFileRejectTest, RandomBytesWithNulAreRejected) {
    std::mt19937 rng(12345);
    std::string text(4096, '\0');
    for (char& c : text) c = static_cast<char>(rng() % 256);
    text[2] = '\0';
    text[0] = '0';
    text.insert(1, "\r\n");  // the NUL now sits on line 2
    RadioSettings s = newRadioSettings();
    const FileResult r = readSettingText(text, s, "bin.ks3");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(s, newRadioSettings());
}

// ------------------------------------------------------------------ files

TEST(SettingFileIoTest, MissingFileIsAnError) {
    TempDir dir;
    RadioSettings s = newRadioSettings();
    s.header.lcdDisplayLogo = "mine";
    const FileResult r = readSettingFile(dir.file("none.ks3"), s);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("none.ks3"), std::string::npos);
    EXPECT_EQ(s.header.lcdDisplayLogo, "mine");
    // A folder is not a setting file either.
    EXPECT_FALSE(readSettingFile(dir.path(), s).ok);
    EXPECT_EQ(s.header.lcdDisplayLogo, "mine");
}

TEST(SettingFileIoTest, HundredMegabyteFilesDoNotHang) {
    TempDir dir;
    // 100 MB of zero bytes without a line end.
    const std::string zeros = dir.file("zeros.ks3");
    {
        std::FILE* f = std::fopen(zeros.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        ASSERT_EQ(::ftruncate(::fileno(f), 100L * 1024 * 1024), 0);
        std::fclose(f);
    }
    RadioSettings s = newRadioSettings();
    FileResult r = readSettingFile(zeros, s);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.line, 1);
    // A valid file followed by 100 MB of further lines loads; the rest is not read.
    const std::string padded = dir.file("padded.ks3");
    {
        std::ofstream out(padded, std::ios::binary);
        RadioSettings file = newRadioSettings();
        file.header.lcdDisplayLogo = "Big";
        out << formatSettingFile(file);
        const std::string block(1 << 20, '\n');
        for (int i = 0; i < 100; ++i) out << block;
    }
    r = readSettingFile(padded, s);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(s.header.lcdDisplayLogo, "Big");
}

TEST(SettingFileIoTest, SaveReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    const std::string path = dir.file("a.ks3");
    writeAll(path, "old");
    ::chmod(path.c_str(), 0640);
    RadioSettings s = newRadioSettings();
    const FileResult r = writeSettingFile(path, s);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(readAll(path), defaultFile());
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    // Nothing but the target is left in the folder.
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(SettingFileIoTest, FailedSaveLeavesTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("keep.ks3");
    writeAll(path, "precious");
    RadioSettings s = newRadioSettings();

    // A full disk: the file size limit makes the write fail part-way.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const FileResult r = writeSettingFile(path, s);
    ::setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_FALSE(r.ok);
    EXPECT_NE(r.error.find("keep.ks3"), std::string::npos);
    EXPECT_EQ(readAll(path), "precious");
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 1) << "the temporary file was left behind";

    // A folder that does not exist.
    EXPECT_FALSE(writeSettingFile(dir.file("no/such/folder/x.ks3"), s).ok);
    // A target that is a folder cannot be replaced.
    fs::create_directory(dir.file("sub"));
    EXPECT_FALSE(writeSettingFile(dir.file("sub"), s).ok);
    EXPECT_TRUE(fs::is_directory(dir.file("sub")));
}

TEST(SettingFileIoTest, ReadOnlyFolder) {
    if (::geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    TempDir dir;
    const std::string path = dir.file("keep.ks3");
    writeAll(path, "precious");
    ::chmod(dir.path().c_str(), 0555);
    const FileResult r = writeSettingFile(path, newRadioSettings());
    ::chmod(dir.path().c_str(), 0755);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(readAll(path), "precious");
}

}  // namespace ks340
