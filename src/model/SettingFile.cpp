#include "model/SettingFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <memory>

#include "fileio/AtomicFile.h"
#include "fileio/InputFile.h"
#include "model/Decimal.h"
#include "model/Signalling.h"
#include "model/Tables.h"

namespace ks340 {

namespace {

constexpr std::string_view kNull = "NULL";
constexpr std::string_view kLineEnd = "\r\n";

bool needsQuotes(std::string_view field) { return field.find_first_of(",\"") != std::string_view::npos; }

void appendField(std::string& out, std::string_view field) {
    if (!needsQuotes(field)) {
        out.append(field);
        return;
    }
    out.push_back('"');
    for (char c : field) {
        if (c == '"') out.push_back('"');
        out.push_back(c);
    }
    out.push_back('"');
}

// Builds one line field by field, straight into the output text.
class LineWriter {
public:
    explicit LineWriter(std::string& out) : out_(out) {}

    LineWriter& text(std::string_view t) {  // empty written as "NULL"
        separate();
        appendField(out_, t.empty() ? kNull : t);
        return *this;
    }
    LineWriter& rawText(std::string_view t) {  // written unchanged, even empty
        separate();
        appendField(out_, t);
        return *this;
    }
    LineWriter& integer(int v) {
        separate();
        char buf[16];
        const auto r = std::to_chars(buf, buf + sizeof buf, v);
        out_.append(buf, r.ptr);
        return *this;
    }
    void end() {
        out_.append(kLineEnd);
        first_ = true;
    }

private:
    void separate() {
        if (!first_) out_.push_back(',');
        first_ = false;
    }
    std::string& out_;
    bool first_ = true;
};

int writtenCapability(const ChannelGroup& g) { return std::clamp(g.capability, 0, kChannelCapacity); }

void writeChannel(LineWriter& w, const ChannelEntry& c) {
    w.text(c.label)
        .integer(c.bandwidth)
        .integer(c.inUse)
        .integer(c.txPower)
        .integer(c.powerOnChannel)
        .integer(c.priorityChannel)
        .integer(c.rxInverseDcs)
        .integer(c.scanChannel)
        .integer(c.txInverseDcs)
        .integer(c.rxCodeN)
        .integer(c.rxCodeA)
        .integer(c.txCodeN)
        .integer(c.txCodeA)
        .integer(c.rxSquelch)
        .integer(c.txSquelch)
        .text(c.rxFrequency)
        .text(c.txFrequency)
        .integer(c.channelSpare1)
        .integer(c.channelSpare2)
        .integer(c.channelSpare3)
        .integer(c.channelSpare4)
        .integer(c.rxStepCode)
        .integer(c.txStepCode)
        .end();
}

// Splits one line into `fields`, reusing its strings; returns the number of
// fields (the vector may hold more entries than that).
std::size_t splitCsvFields(std::string_view line, std::vector<std::string>& fields) {
    if (line.empty()) return 0;
    std::size_t count = 0;
    std::size_t pos = 0;
    auto nextSlot = [&]() -> std::string& {
        if (count == fields.size()) fields.emplace_back();
        std::string& f = fields[count++];
        f.clear();
        return f;
    };
    for (;;) {
        std::string& field = nextSlot();
        if (pos < line.size() && line[pos] == '"') {
            // Quoted: runs to the quote that is not doubled; "" stands for ".
            ++pos;
            while (pos < line.size()) {
                const char c = line[pos];
                if (c == '"') {
                    if (pos + 1 < line.size() && line[pos + 1] == '"') {
                        field.push_back('"');
                        pos += 2;
                        continue;
                    }
                    if (pos + 1 == line.size() || line[pos + 1] == ',') {
                        ++pos;
                        break;
                    }
                    // A lone quote inside the field is taken as data.
                }
                field.push_back(c);
                ++pos;
            }
        } else {
            const std::size_t comma = line.find(',', pos);
            const std::size_t stop = comma == std::string_view::npos ? line.size() : comma;
            field.assign(line.substr(pos, stop - pos));
            pos = stop;
        }
        if (pos >= line.size()) break;
        ++pos;                     // the comma
        if (pos == line.size()) {  // a trailing comma leaves one empty field
            nextSlot();
            break;
        }
    }
    return count;
}

// ---------------------------------------------------------------- reading

enum class LineStatus { Ok, End, TooLong, ReadError };

class LineSource {
public:
    virtual ~LineSource() = default;
    // The next line without its line end (LF, or CR LF).
    virtual LineStatus next(std::string& line) = 0;
    // Why the last ReadError happened.
    virtual std::string readErrorText() const { return {}; }
};

void dropCarriageReturn(std::string& line) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

class TextLineSource final : public LineSource {
public:
    explicit TextLineSource(std::string_view text) : text_(text) {}

    LineStatus next(std::string& line) override {
        line.clear();
        if (pos_ >= text_.size()) return LineStatus::End;
        const std::size_t nl = text_.find('\n', pos_);
        const std::size_t stop = nl == std::string_view::npos ? text_.size() : nl;
        const std::size_t length = stop - pos_;
        if (length > kMaxSettingLineLength + 1) return LineStatus::TooLong;
        line.assign(text_.substr(pos_, length));
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
        dropCarriageReturn(line);
        return line.size() > kMaxSettingLineLength ? LineStatus::TooLong : LineStatus::Ok;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// Thrown inside the reader only; turned into a FileResult at its boundary.
struct ReadFault {
    int line;
    std::string what;
};

class Reader {
public:
    explicit Reader(LineSource& source) : source_(source) {}

    // Reads one whole configuration into `s`.
    void read(RadioSettings& s) {
        readHeader(s.header);
        readChannelTable(s.channelTable);
        readOption(s.option);
        readToneSequence(s.toneSequence);
        readSelcallEncode(s.selcallEncode);
        readSelcallDecode(s.selcallDecode);
        readDtmf(s.dtmf);
        readModem(s.modem);
    }

    int endedAtLine() const { return endedAt_; }

private:
    // Next line split into fields; a line past the end of the file is empty.
    void nextLine() {
        ++lineNo_;
        fieldNo_ = 0;
        fieldCount_ = 0;
        if (endedAt_ != 0) return;
        const LineStatus st = source_.next(buffer_);
        switch (st) {
            case LineStatus::End:
                endedAt_ = lineNo_;
                return;
            case LineStatus::TooLong:
                fail("the line is longer than " + std::to_string(kMaxSettingLineLength) + " characters");
            case LineStatus::ReadError:
                fail("the file cannot be read: " + source_.readErrorText());
            case LineStatus::Ok:
                break;
        }
        if (buffer_.find('\0') != std::string::npos) fail("the line holds a NUL byte");
        fieldCount_ = splitCsvFields(buffer_, fields_);
    }

    [[noreturn]] void fail(std::string what) const { throw ReadFault{lineNo_, std::move(what)}; }

    std::string_view nextField() {
        const std::size_t i = fieldNo_++;
        return i < fieldCount_ ? std::string_view(fields_[i]) : std::string_view{};
    }

    int integer() {
        // Read as atoi reads: leading decimal digits, anything else gives 0,
        // so files the earlier program wrote or hand-edited still load.
        const std::string_view f = nextField();
        return leadingDecimal(f);
    }

    int integerIn(int low, int high, const char* what) {
        const int v = integer();
        if (v < low || v > high)
            fail(std::string(what) + " " + std::to_string(v) + " is outside " + std::to_string(low) + ".." +
                 std::to_string(high));
        return v;
    }

    std::string_view textField() {
        const std::string_view f = nextField();
        if (f.size() > kMaxSettingTextLength)
            fail("field " + std::to_string(fieldNo_) + " is longer than " + std::to_string(kMaxSettingTextLength) +
                 " characters");
        return f;
    }

    std::string text() {  // "NULL" reads as the empty text
        const std::string_view f = textField();
        return f == kNull ? std::string() : std::string(f);
    }

    std::string rawText() { return std::string(textField()); }

    void readHeader(HeaderSettings& h) {
        nextLine();
        if (endedAt_) fail("the file is empty");
        if (fieldCount_ == 0) fail("the header line is empty");
        h.speaker = integerIn(0, kSpeakerCount - 1, "speaker");
        h.model = integerIn(0, kModelCount - 1, "model");
        h.radioBand = integerIn(0, kBandsPerModel - 1, "band");
        h.lcdDisplayLogo = text();
    }

    void readChannelTable(ChannelTable& t) {
        nextLine();
        if (fieldCount_ == 0)
            fail(endedAt_ ? "the file ends after the header line" : "the channel table line is empty");
        t.currentGroup = integerIn(0, kGroupSlots - 1, "current group");
        t.currentChannel = integer();
        t.totalCapability = integer();
        t.tableSpare = integer();
        t.channelsLeft = integer();
        t.channelCapacity = integer();
        t.firstProgrammedGroup = integer();
        t.firstScanGroup = integer();
        t.lowestGroup = integer();
        t.highestGroup = integer();
        t.lastScanGroup = integer();
        t.priorityPresent = integer();
        t.noPowerOnChannel = integer();
        t.scanMode = integer();
        t.appliedScanMode = integer();
        t.groupScanFlag = integer();
        t.anyScanChannel = integer();

        int groupSum = 0;
        for (int g = 0; g < kGroupSlots; ++g) {
            ChannelGroup& group = t.groups[static_cast<std::size_t>(g)];
            nextLine();
            group.enabled = integer();
            group.hasChannels = integer();
            group.groupSpare = integer();
            group.firstChannel = integer();
            group.lastChannel = integer();
            group.priorityChannel = integer();
            group.powerOnChannel = integer();
            group.capability = integerIn(0, kChannelCapacity, "capability");
            group.channelEnd = integer();
            if (g > 0) {
                groupSum += group.capability;
                if (groupSum > kChannelCapacity)
                    fail("the capabilities of groups 1.." + std::to_string(g) + " add up to " +
                         std::to_string(groupSum) + ", more than " + std::to_string(kChannelCapacity));
            }
            for (int c = 1; c <= group.capability; ++c) {
                nextLine();
                readChannel(group.channels[static_cast<std::size_t>(c)]);
            }
        }
    }

    void readChannel(ChannelEntry& c) {
        c.label = text();
        c.bandwidth = integer();
        c.inUse = integer();
        c.txPower = integer();
        c.powerOnChannel = integer();
        c.priorityChannel = integer();
        c.rxInverseDcs = integer();
        c.scanChannel = integer();
        c.txInverseDcs = integer();
        c.rxCodeN = integer();
        c.rxCodeA = integer();
        c.txCodeN = integer();
        c.txCodeA = integer();
        c.rxSquelch = integer();
        c.txSquelch = integer();
        c.rxFrequency = text();
        c.txFrequency = text();
        c.channelSpare1 = integer();
        c.channelSpare2 = integer();
        c.channelSpare3 = integer();
        c.channelSpare4 = integer();
        c.rxStepCode = integer();
        c.txStepCode = integer();
    }

    void readOption(OptionSettings& o) {
        nextLine();
        o.programmableKey1Short = integer();
        o.programmableKey2Short = integer();
        o.programmableKey3Short = integer();
        o.programmableKey1Long = integer();
        o.programmableKey2Long = integer();
        o.programmableKey3Long = integer();
        o.programmableKey1Mode = integer();
        o.programmableKey2Mode = integer();
        o.programmableKey3Mode = integer();
        o.txDelay = integer();
        o.monitor = integer();
        o.priorityLbTime = integer();
        o.hook = integer();
        o.hookScan = integer();
        o.beep = integer();
        o.publicAddress = integer();
        o.powerUpAlert = integer();
        o.powerUp = integer();
        o.autoMute = integer();
        o.autoMuteTimer = integer();
        o.pttTimer = integer();
        o.txTimer = integer();
        o.txInhibit = integer();
        o.txInhibitAlert = integer();
        o.openLock = integer();
        o.busyChLockOut = integer();
        o.markIdle = integer();
        o.scanType = integer();
        o.scanTx = integer();
        o.scanWaitTime = integer();
        o.scanSpeedTime = integer();
    }

    void readToneSequence(ToneSequenceSettings& t) {
        nextLine();
        t.toneset = integerIn(0, kToneSetCount - 1, "tone set");
        for (int& f : t.toneFrequency) f = integer();
        t.toneLength = integer();
        for (int i = 1; i < kSequenceSlots; ++i) t.sequences[static_cast<std::size_t>(i)].sequence = text();
        for (int i = 1; i < kSequenceSlots; ++i) t.sequences[static_cast<std::size_t>(i)].leadInTime = integer();
        for (int i = 1; i < kSequenceSlots; ++i) t.sequences[static_cast<std::size_t>(i)].firstToneTime = integer();
        for (int i = 1; i < kSequenceSlots; ++i) t.sequences[static_cast<std::size_t>(i)].leadOutTime = integer();
        for (std::string& u : t.userTone) u = rawText();
    }

    void readSelcallEncode(SelcallEncodeSettings& e) {
        nextLine();
        e.selcall = integer();
        e.emgType = integer();
        e.emgSequence = text();
        e.emgCheckOpen = integer();
        e.emgCheckBusy = integer();
        e.emgEncodeAlert = integer();
        e.emgRepeats = integer();
        e.emgCycleRepeatTime = integer();
        e.emgTxTimer = integer();
        e.acknowledge1 = text();
        e.acknowledge2 = text();
        e.acknowledge3 = text();
        e.aniType = integer();
        e.aniSequence = text();
        e.aniAt = integer();
        e.multiAniDelay = integer();
        e.call1Sequence = text();
        e.call1CheckOpen = integer();
        e.call1CheckBusy = integer();
        e.call1EncodeAlert = integer();
        e.call2Sequence = text();
        e.call2CheckOpen = integer();
        e.call2CheckBusy = integer();
        e.call2EncodeAlert = integer();
        e.call3Sequence = text();
        e.call3CheckOpen = integer();
        e.call3CheckBusy = integer();
        e.call3EncodeAlert = integer();
    }

    void readSelcallDecode(SelcallDecodeSettings& d) {
        nextLine();
        for (DecodeEntry& e : d.decodeEntries) {
            e.address = text();
            e.action = integer();
            e.ack = integer();
            e.text = text();
        }
        d.decoderToneLength = integer();
        d.covertRxTime = integer();
        d.covertTxTime = integer();
    }

    void readDtmf(DtmfSettings& d) {
        nextLine();
        d.dtmf = integer();
        d.dtmfLeadInTime = integer();
        d.dtmfLeadOutTime = integer();
        d.dtmfMarkTime = integer();
        d.dtmfSpaceTime = integer();
        for (std::string& s : d.dtmfCodes) s = text();
        for (int i = 0; i < 4; ++i) {
            d.dtmfDecodeAddress[static_cast<std::size_t>(i)] = text();
            d.dtmfDecodeAction[static_cast<std::size_t>(i)] = integer();
        }
        for (std::string& s : d.statusText) s = text();
    }

    void readModem(ModemSettings& m) {
        nextLine();
        m.modemBaudRate = integer();
        m.initializingDataForHt = integer();
        m.txDelayTime = integer();
        m.txOnDelay = integer();
        m.txOffDelay = integer();
        m.rxOnDelay = integer();
        for (std::string& s : m.modemText) s = text();
        for (std::string& s : m.commonSentence) s = text();
    }

    LineSource& source_;
    std::string buffer_;
    std::vector<std::string> fields_;
    std::size_t fieldCount_ = 0;
    std::size_t fieldNo_ = 0;
    int lineNo_ = 0;
    int endedAt_ = 0;
};

FileResult readFrom(LineSource& source, RadioSettings& settings, const std::string& name) {
    FileResult result;
    auto copy = std::make_unique<RadioSettings>(settings);
    Reader reader(source);
    try {
        reader.read(*copy);
    } catch (const ReadFault& fault) {
        result.ok = false;
        result.line = fault.line;
        result.error = name + ": line " + std::to_string(fault.line) + ": " + fault.what;
        return result;
    }
    settings = std::move(*copy);
    result.ok = true;
    if (reader.endedAtLine() != 0) {
        result.line = reader.endedAtLine();
        result.warning = name + ": line " + std::to_string(result.line) +
                         ": the file ends early; the missing lines were read as empty";
    }
    return result;
}

}  // namespace

std::string joinCsvLine(const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line.push_back(',');
        appendField(line, fields[i]);
    }
    line.append(kLineEnd);
    return line;
}

std::vector<std::string> splitCsvLine(std::string_view line) {
    std::vector<std::string> fields;
    const std::size_t n = splitCsvFields(line, fields);
    fields.resize(n);
    return fields;
}

int settingFileLineCount(const RadioSettings& s) {
    int lines = 2 + kGroupSlots + 6;
    for (const ChannelGroup& g : s.channelTable.groups) lines += writtenCapability(g);
    return lines;
}

std::string formatSettingFile(const RadioSettings& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(settingFileLineCount(s)) * 64 + 1024);
    LineWriter w(out);

    const HeaderSettings& h = s.header;
    w.integer(h.speaker).integer(h.model).integer(h.radioBand).text(h.lcdDisplayLogo).end();

    const ChannelTable& t = s.channelTable;
    w.integer(t.currentGroup)
        .integer(t.currentChannel)
        .integer(t.totalCapability)
        .integer(t.tableSpare)
        .integer(t.channelsLeft)
        .integer(t.channelCapacity)
        .integer(t.firstProgrammedGroup)
        .integer(t.firstScanGroup)
        .integer(t.lowestGroup)
        .integer(t.highestGroup)
        .integer(t.lastScanGroup)
        .integer(t.priorityPresent)
        .integer(t.noPowerOnChannel)
        .integer(t.scanMode)
        .integer(t.appliedScanMode)
        .integer(t.groupScanFlag)
        .integer(t.anyScanChannel)
        .end();

    for (const ChannelGroup& g : t.groups) {
        const int capability = writtenCapability(g);
        w.integer(g.enabled)
            .integer(g.hasChannels)
            .integer(g.groupSpare)
            .integer(g.firstChannel)
            .integer(g.lastChannel)
            .integer(g.priorityChannel)
            .integer(g.powerOnChannel)
            .integer(capability)
            .integer(g.channelEnd)
            .end();
        for (int c = 1; c <= capability; ++c) writeChannel(w, g.channels[static_cast<std::size_t>(c)]);
    }

    const OptionSettings& o = s.option;
    w.integer(o.programmableKey1Short)
        .integer(o.programmableKey2Short)
        .integer(o.programmableKey3Short)
        .integer(o.programmableKey1Long)
        .integer(o.programmableKey2Long)
        .integer(o.programmableKey3Long)
        .integer(o.programmableKey1Mode)
        .integer(o.programmableKey2Mode)
        .integer(o.programmableKey3Mode)
        .integer(o.txDelay)
        .integer(o.monitor)
        .integer(o.priorityLbTime)
        .integer(o.hook)
        .integer(o.hookScan)
        .integer(o.beep)
        .integer(o.publicAddress)
        .integer(o.powerUpAlert)
        .integer(o.powerUp)
        .integer(o.autoMute)
        .integer(o.autoMuteTimer)
        .integer(o.pttTimer)
        .integer(o.txTimer)
        .integer(o.txInhibit)
        .integer(o.txInhibitAlert)
        .integer(o.openLock)
        .integer(o.busyChLockOut)
        .integer(o.markIdle)
        .integer(o.scanType)
        .integer(o.scanTx)
        .integer(o.scanWaitTime)
        .integer(o.scanSpeedTime)
        .end();

    const ToneSequenceSettings& ts = s.toneSequence;
    w.integer(ts.toneset);
    for (int f : ts.toneFrequency) w.integer(f);
    w.integer(ts.toneLength);
    for (int i = 1; i < kSequenceSlots; ++i) w.text(ts.sequences[static_cast<std::size_t>(i)].sequence);
    for (int i = 1; i < kSequenceSlots; ++i) w.integer(ts.sequences[static_cast<std::size_t>(i)].leadInTime);
    for (int i = 1; i < kSequenceSlots; ++i) w.integer(ts.sequences[static_cast<std::size_t>(i)].firstToneTime);
    for (int i = 1; i < kSequenceSlots; ++i) w.integer(ts.sequences[static_cast<std::size_t>(i)].leadOutTime);
    for (const std::string& u : ts.userTone) w.rawText(u);
    w.end();

    const SelcallEncodeSettings& e = s.selcallEncode;
    w.integer(e.selcall)
        .integer(e.emgType)
        .text(e.emgSequence)
        .integer(e.emgCheckOpen)
        .integer(e.emgCheckBusy)
        .integer(e.emgEncodeAlert)
        .integer(e.emgRepeats)
        .integer(e.emgCycleRepeatTime)
        .integer(e.emgTxTimer)
        .text(e.acknowledge1)
        .text(e.acknowledge2)
        .text(e.acknowledge3)
        .integer(e.aniType)
        .text(e.aniSequence)
        .integer(e.aniAt)
        .integer(e.multiAniDelay)
        .text(e.call1Sequence)
        .integer(e.call1CheckOpen)
        .integer(e.call1CheckBusy)
        .integer(e.call1EncodeAlert)
        .text(e.call2Sequence)
        .integer(e.call2CheckOpen)
        .integer(e.call2CheckBusy)
        .integer(e.call2EncodeAlert)
        .text(e.call3Sequence)
        .integer(e.call3CheckOpen)
        .integer(e.call3CheckBusy)
        .integer(e.call3EncodeAlert)
        .end();

    const SelcallDecodeSettings& d = s.selcallDecode;
    for (const DecodeEntry& entry : d.decodeEntries)
        w.text(entry.address).integer(entry.action).integer(entry.ack).text(entry.text);
    w.integer(d.decoderToneLength).integer(d.covertRxTime).integer(d.covertTxTime).end();

    const DtmfSettings& m = s.dtmf;
    w.integer(m.dtmf)
        .integer(m.dtmfLeadInTime)
        .integer(m.dtmfLeadOutTime)
        .integer(m.dtmfMarkTime)
        .integer(m.dtmfSpaceTime);
    for (const std::string& code : m.dtmfCodes) w.text(code);
    for (std::size_t i = 0; i < m.dtmfDecodeAddress.size(); ++i)
        w.text(m.dtmfDecodeAddress[i]).integer(m.dtmfDecodeAction[i]);
    for (const std::string& st : m.statusText) w.text(st);
    w.end();

    const ModemSettings& md = s.modem;
    w.integer(md.modemBaudRate)
        .integer(md.initializingDataForHt)
        .integer(md.txDelayTime)
        .integer(md.txOnDelay)
        .integer(md.txOffDelay)
        .integer(md.rxOnDelay);
    for (const std::string& t2 : md.modemText) w.text(t2);
    for (const std::string& t2 : md.commonSentence) w.text(t2);
    w.end();

    return out;
}

FileResult writeSettingFile(const std::string& path, const RadioSettings& settings) {
    FileResult result;
    const fileio::IoStatus written = fileio::writeFileAtomically(path, formatSettingFile(settings));
    result.ok = written.ok;
    result.error = written.error;
    return result;
}

FileResult readSettingFile(const std::string& path, RadioSettings& settings) {
    const fileio::InputFile in = fileio::readInputFile(path, kMaxSettingFileSize);
    if (!in.ok && !in.tooLarge) {
        FileResult result;
        result.error = in.error;
        return result;
    }
    // Beyond the limit nothing is read: the reader stops at the last line it needs.
    TextLineSource source(in.bytes);
    return readFrom(source, settings, path);
}

FileResult readSettingText(std::string_view text, RadioSettings& settings, const std::string& nameForMessages) {
    TextLineSource source(text);
    return readFrom(source, settings, nameForMessages);
}

}  // namespace ks340
