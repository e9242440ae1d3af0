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
#include "model/SettingsRegistry.h"
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

// True for a field that holds a whole decimal number as the C library reads
// one: blanks, an optional sign, digits and nothing after them.
bool holdsNumber(std::string_view f) {
    std::size_t i = 0;
    while (i < f.size() && (f[i] == ' ' || f[i] == '\t')) ++i;
    if (i < f.size() && (f[i] == '+' || f[i] == '-')) ++i;
    const std::size_t digits = i;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
    return i > digits && i == f.size();
}

class Reader {
public:
    Reader(LineSource& source, const std::string& name) : source_(source), name_(name) {}

    // Reads one whole configuration into `s`.
    void read(RadioSettings& s) {
        nextLine();
        if (endedAt_) fail("the file is empty");
        if (fieldCount_ == 0) fail("the header line is empty");
        readLine(SettingLine::Header, s);

        nextLine();
        if (fieldCount_ == 0)
            fail(endedAt_ ? "the file ends after the header line" : "the channel table line is empty");
        readLine(SettingLine::ChannelTable, s);

        ChannelTable& t = s.channelTable;
        int groupSum = 0;
        for (int g = 0; g < kGroupSlots; ++g) {
            ChannelGroup& group = t.groups[static_cast<std::size_t>(g)];
            nextLine();
            group_ = g;
            readLine(SettingLine::Group, s);
            if (g > 0) {
                groupSum += group.capability;
                if (groupSum > kChannelCapacity)
                    fail("the capabilities of groups 1.." + std::to_string(g) + " add up to " +
                         std::to_string(groupSum) + ", more than " + std::to_string(kChannelCapacity));
            }
            for (int c = 1; c <= group.capability; ++c) {
                nextLine();
                channel_ = c;
                readLine(SettingLine::Channel, s);
            }
            channel_ = 0;
        }
        group_ = 0;
        for (SettingLine line : {SettingLine::Option, SettingLine::ToneSequence, SettingLine::SelcallEncode,
                                 SettingLine::SelcallDecode, SettingLine::Dtmf, SettingLine::Modem}) {
            nextLine();
            readLine(line, s);
        }
    }

    int endedAtLine() const { return endedAt_; }
    std::vector<FileWarning>& warnings() { return warnings_; }

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

    // The fields of one line, in the order the settings table gives them.
    void readLine(SettingLine line, RadioSettings& s) {
        ChannelGroup& group = s.channelTable.groups[static_cast<std::size_t>(group_)];
        ChannelEntry& entry = group.channels[static_cast<std::size_t>(channel_)];
        for (const SettingInfo* f : settingLineFields(line)) {
            if (f->storedAs == StoredAs::Integer) {
                int* target = f->channelInteger ? &(entry.*f->channelInteger)
                              : f->groupInteger ? &(group.*f->groupInteger)
                                                : f->integer(s, f->index);
                *target = f->checkedOnLoad ? integerIn(*f) : integer(*f);
            } else {
                std::string* target = f->channelText ? &(entry.*f->channelText) : f->text(s, f->index);
                const std::string_view t = textField();
                if (f->storedAs == StoredAs::Text && t == kNull)
                    target->clear();
                else
                    target->assign(t);
            }
        }
    }

    int integer(const SettingInfo& f) {
        // Read as atoi reads: leading decimal digits, anything else gives 0,
        // so files the earlier program wrote or hand-edited still load. A
        // field that holds something other than a number is reported; an
        // empty field and "NULL" read as 0 quietly.
        const std::string_view field = nextField();
        if (!field.empty() && field != kNull && !holdsNumber(field)) warnNotANumber(f, field);
        return leadingDecimal(field);
    }

    int integerIn(const SettingInfo& f) {
        const int v = integer(f);
        if (v < f.minimum || v > f.maximum)
            fail(f.checkName + " " + std::to_string(v) + " is outside " + std::to_string(f.minimum) + ".." +
                 std::to_string(f.maximum));
        return v;
    }

    std::string_view textField() {
        const std::string_view f = nextField();
        if (f.size() > kMaxSettingTextLength)
            fail("field " + std::to_string(fieldNo_) + " is longer than " + std::to_string(kMaxSettingTextLength) +
                 " characters");
        return f;
    }

    void warnNotANumber(const SettingInfo& f, std::string_view field) {
        FileWarning w;
        w.line = lineNo_;
        w.key = settingKey({&f, group_, channel_});
        std::string shown(field.substr(0, 20));
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        if (field.size() > 20) shown += "...";
        w.text = name_ + ": line " + std::to_string(lineNo_) + ": field " + std::to_string(fieldNo_) + " (" + w.key +
                 ") holds \"" + shown + "\", not a number; it was read as " + std::to_string(leadingDecimal(field));
        warnings_.push_back(std::move(w));
    }

    LineSource& source_;
    const std::string& name_;
    std::string buffer_;
    std::vector<std::string> fields_;
    std::size_t fieldCount_ = 0;
    std::size_t fieldNo_ = 0;
    int lineNo_ = 0;
    int endedAt_ = 0;
    int group_ = 0;
    int channel_ = 0;
    std::vector<FileWarning> warnings_;
};

constexpr std::size_t kWarningsShown = 20;

FileResult readFrom(LineSource& source, RadioSettings& settings, const std::string& name) {
    FileResult result;
    auto copy = std::make_unique<RadioSettings>(settings);
    Reader reader(source, name);
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
    result.warnings = std::move(reader.warnings());
    if (reader.endedAtLine() != 0) {
        FileWarning w;
        w.line = reader.endedAtLine();
        w.text =
            name + ": line " + std::to_string(w.line) + ": the file ends early; the missing lines were read as empty";
        result.warnings.push_back(std::move(w));
    }
    for (std::size_t i = 0; i < result.warnings.size() && i < kWarningsShown; ++i) {
        if (i) result.warning += '\n';
        result.warning += result.warnings[i].text;
    }
    if (result.warnings.size() > kWarningsShown)
        result.warning +=
            "\n" + name + ": " + std::to_string(result.warnings.size() - kWarningsShown) + " more warnings";
    if (!result.warnings.empty()) result.line = result.warnings.front().line;
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

std::vector<std::string_view> splitTextLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
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

namespace {

// One line's fields in the order the settings table gives them.
void writeLine(LineWriter& w, SettingLine line, const RadioSettings& cs, int group, int channel) {
    auto& s = const_cast<RadioSettings&>(cs);  // the accessors only read here
    const ChannelGroup& g = cs.channelTable.groups[static_cast<std::size_t>(group)];
    const ChannelEntry& entry = g.channels[static_cast<std::size_t>(channel)];
    for (const SettingInfo* f : settingLineFields(line)) {
        switch (f->storedAs) {
            case StoredAs::Integer:
                if (f->channelInteger)
                    w.integer(entry.*f->channelInteger);
                else if (f->groupInteger == &ChannelGroup::capability)
                    w.integer(writtenCapability(g));
                else if (f->groupInteger)
                    w.integer(g.*f->groupInteger);
                else
                    w.integer(*f->integer(s, f->index));
                break;
            case StoredAs::Text:
                w.text(f->channelText ? entry.*f->channelText : *f->text(s, f->index));
                break;
            case StoredAs::RawText:
                w.rawText(*f->text(s, f->index));
                break;
        }
    }
    w.end();
}

}  // namespace

std::string formatSettingFile(const RadioSettings& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(settingFileLineCount(s)) * 64 + 1024);
    LineWriter w(out);
    writeLine(w, SettingLine::Header, s, 0, 0);
    writeLine(w, SettingLine::ChannelTable, s, 0, 0);
    for (int g = 0; g < kGroupSlots; ++g) {
        writeLine(w, SettingLine::Group, s, g, 0);
        const int capability = writtenCapability(s.channelTable.groups[static_cast<std::size_t>(g)]);
        for (int c = 1; c <= capability; ++c) writeLine(w, SettingLine::Channel, s, g, c);
    }
    for (SettingLine line : {SettingLine::Option, SettingLine::ToneSequence, SettingLine::SelcallEncode,
                             SettingLine::SelcallDecode, SettingLine::Dtmf, SettingLine::Modem})
        writeLine(w, line, s, 0, 0);
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
