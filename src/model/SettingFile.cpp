#include "model/SettingFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

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

bool needsQuotes(std::string_view field) {
    for (char c : field)
        if (c == ',' || c == '"') return true;
    return false;
}

// Writes `field` at `p`, quoted when it holds a comma or a quote; returns
// the end. Room for 2 * size + 2 characters is needed.
char* putField(char* p, std::string_view field) {
    if (!needsQuotes(field)) {
        std::memcpy(p, field.data(), field.size());
        return p + field.size();
    }
    *p++ = '"';
    for (char c : field) {
        if (c == '"') *p++ = '"';
        *p++ = c;
    }
    *p++ = '"';
    return p;
}

void appendField(std::string& out, std::string_view field) {
    const std::size_t used = out.size();
    out.resize(used + 2 * field.size() + 2);
    out.resize(static_cast<std::size_t>(putField(out.data() + used, field) - out.data()));
}

// Builds the text line by line, field by field, straight into the output
// string, which it keeps larger than needed while writing.
class LineWriter {
public:
    explicit LineWriter(std::string& out) : out_(out), used_(out.size()) {}
    void finish() { out_.resize(used_); }

    void text(std::string_view t) { rawText(t.empty() ? kNull : t); }  // empty written as "NULL"
    void rawText(std::string_view t) {                                 // written unchanged, even empty
        char* p = room(2 * t.size() + 3);
        p = separate(p);
        used_ = static_cast<std::size_t>(putField(p, t) - out_.data());
    }
    void integer(int v) {
        char* p = separate(room(16));
        used_ = static_cast<std::size_t>(std::to_chars(p, p + 15, v).ptr - out_.data());
    }
    void end() {
        char* p = room(kLineEnd.size());
        std::memcpy(p, kLineEnd.data(), kLineEnd.size());
        used_ += kLineEnd.size();
        first_ = true;
    }

private:
    char* room(std::size_t n) {
        if (out_.size() - used_ < n) out_.resize(std::max(2 * out_.size(), used_ + n + 4096));
        return out_.data() + used_;
    }
    char* separate(char* p) {
        if (!first_) *p++ = ',';
        first_ = false;
        return p;
    }
    std::string& out_;
    std::size_t used_;
    bool first_ = true;
};

int writtenCapability(const ChannelGroup& g) { return std::clamp(g.capability, 0, kChannelCapacity); }

// The settings table's line layout turned into plain offsets once, so that
// reading and writing a file walks flat arrays instead of calling each
// setting's accessor. Every field lives inside its RadioSettings,
// ChannelGroup or ChannelEntry object (arrays are std::array), so an offset
// from the object's start names it for every object of that type.
enum class FieldOp : std::uint8_t {
    Integer,  // RadioSettings int
    Text,     // RadioSettings string, empty as "NULL"
    RawText,  // RadioSettings string, unchanged
    GroupInteger,
    Capability,  // the group's capability, written clamped
    ChannelInteger,
    ChannelText,
};

struct CompiledField {
    FieldOp op;
    bool checked;  // refused outside minimum..maximum on reading
    std::uint32_t offset;
    const SettingInfo* info;
};

using CompiledLine = std::vector<CompiledField>;

std::uint32_t offsetIn(const void* object, const void* field) {
    return static_cast<std::uint32_t>(static_cast<const char*>(field) - static_cast<const char*>(object));
}

const CompiledLine& compiledLine(SettingLine line) {
    static const std::vector<CompiledLine> lines = [] {
        auto settings = std::make_unique<RadioSettings>();
        ChannelGroup& group = settings->channelTable.groups[0];
        ChannelEntry& entry = group.channels[0];
        std::vector<CompiledLine> out(static_cast<std::size_t>(SettingLine::Modem) + 1);
        for (std::size_t l = 0; l < out.size(); ++l) {
            for (const SettingInfo* f : settingLineFields(static_cast<SettingLine>(l))) {
                CompiledField c{FieldOp::Integer, f->checkedOnLoad, 0, f};
                if (f->channelInteger) {
                    c.op = FieldOp::ChannelInteger;
                    c.offset = offsetIn(&entry, &(entry.*f->channelInteger));
                } else if (f->channelText) {
                    c.op = FieldOp::ChannelText;
                    c.offset = offsetIn(&entry, &(entry.*f->channelText));
                } else if (f->groupInteger) {
                    c.op = f->groupInteger == &ChannelGroup::capability ? FieldOp::Capability : FieldOp::GroupInteger;
                    c.offset = offsetIn(&group, &(group.*f->groupInteger));
                } else if (f->storedAs == StoredAs::Integer) {
                    c.offset = offsetIn(settings.get(), f->integer(*settings, f->index));
                } else {
                    c.op = f->storedAs == StoredAs::RawText ? FieldOp::RawText : FieldOp::Text;
                    c.offset = offsetIn(settings.get(), f->text(*settings, f->index));
                }
                // A field outside its object would be read and written through a wild pointer.
                const std::size_t size =
                    c.op == FieldOp::ChannelInteger || c.op == FieldOp::ChannelText ? sizeof(ChannelEntry)
                    : c.op == FieldOp::GroupInteger || c.op == FieldOp::Capability  ? sizeof(ChannelGroup)
                                                                                    : sizeof(RadioSettings);
                if (c.offset >= size) std::abort();
                out[l].push_back(c);
            }
        }
        return out;
    }();
    return lines[static_cast<std::size_t>(line)];
}

// The object a compiled field's offset counts from.
template <typename Settings, typename Group, typename Entry>
auto* fieldBase(FieldOp op, Settings& s, Group& g, Entry& e) {
    using Byte = std::conditional_t<std::is_const_v<Settings>, const char, char>;
    switch (op) {
        case FieldOp::ChannelInteger:
        case FieldOp::ChannelText:
            return reinterpret_cast<Byte*>(&e);
        case FieldOp::GroupInteger:
        case FieldOp::Capability:
            return reinterpret_cast<Byte*>(&g);
        default:
            return reinterpret_cast<Byte*>(&s);
    }
}

// Splits one line into fields appended to `fields`; returns their number.
// An unquoted field is a view into `line`; a quoted one is unquoted into
// `unquoted`, whose capacity the caller has made large enough that it never
// moves (a quoted field is never longer unquoted).
std::size_t splitCsvFields(std::string_view line, std::string& unquoted, std::vector<std::string_view>& fields) {
    if (line.empty()) return 0;
    const std::size_t first = fields.size();
    std::size_t pos = 0;
    for (;;) {
        if (pos < line.size() && line[pos] == '"') {
            // Quoted: runs to the quote that is not doubled; "" stands for ".
            const std::size_t start = unquoted.size();
            ++pos;
            while (pos < line.size()) {
                const char c = line[pos];
                if (c == '"') {
                    if (pos + 1 < line.size() && line[pos + 1] == '"') {
                        unquoted.push_back('"');
                        pos += 2;
                        continue;
                    }
                    if (pos + 1 == line.size() || line[pos + 1] == ',') {
                        ++pos;
                        break;
                    }
                    // A lone quote inside the field is taken as data.
                }
                unquoted.push_back(c);
                ++pos;
            }
            fields.emplace_back(unquoted.data() + start, unquoted.size() - start);
        } else {
            const std::size_t comma = line.find(',', pos);
            const std::size_t stop = comma == std::string_view::npos ? line.size() : comma;
            fields.push_back(line.substr(pos, stop - pos));
            pos = stop;
        }
        if (pos >= line.size()) break;
        ++pos;                     // the comma
        if (pos == line.size()) {  // a trailing comma leaves one empty field
            fields.emplace_back();
            break;
        }
    }
    return fields.size() - first;
}

// ---------------------------------------------------------------- reading

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

// Reads a field as atoi reads it: leading decimal digits, anything else
// gives 0, so files the earlier program wrote or hand-edited still load.
// `clean` is false for a field that holds something other than a number (an
// empty field and "NULL" count as clean: they read as 0 quietly).
int integerOf(std::string_view field, bool& clean) {
    // Nearly every field is a few plain digits.
    if (!field.empty() && field.size() <= 9) {
        int v = 0;
        std::size_t i = 0;
        for (; i < field.size() && field[i] >= '0' && field[i] <= '9'; ++i) v = v * 10 + (field[i] - '0');
        if (i == field.size()) {
            clean = true;
            return v;
        }
    }
    clean = field.empty() || field == kNull || holdsNumber(field);
    return leadingDecimal(field);
}

// A file is read in two passes. The first splits the lines the file needs
// and checks everything that refuses the file, touching nothing; the second
// stores the fields, which can no longer fail. A refused file so leaves the
// configuration as it was without a copy of it.
class Reader {
public:
    Reader(std::string_view text, const std::string& name) : text_(text), name_(name) {}

    void check() {
        nextLine(SettingLine::Header);
        if (endedAt_) fail("the file is empty");
        if (lines_.back().count == 0) fail("the header line is empty");
        checkLine();

        nextLine(SettingLine::ChannelTable);
        if (lines_.back().count == 0)
            fail(endedAt_ ? "the file ends after the header line" : "the channel table line is empty");
        checkLine();

        int groupSum = 0;
        for (int g = 0; g < kGroupSlots; ++g) {
            nextLine(SettingLine::Group, g);
            const int capability = checkLine();
            if (g > 0) {
                groupSum += capability;
                if (groupSum > kChannelCapacity)
                    fail("the capabilities of groups 1.." + std::to_string(g) + " add up to " +
                         std::to_string(groupSum) + ", more than " + std::to_string(kChannelCapacity));
            }
            for (int c = 1; c <= capability; ++c) {
                nextLine(SettingLine::Channel, g, c);
                checkLine();
            }
        }
        for (SettingLine line : {SettingLine::Option, SettingLine::ToneSequence, SettingLine::SelcallEncode,
                                 SettingLine::SelcallDecode, SettingLine::Dtmf, SettingLine::Modem}) {
            nextLine(line);
            checkLine();
        }
    }

    void store(RadioSettings& s) {
        for (const Line& line : lines_) storeLine(line, s);
    }

    int endedAtLine() const { return endedAt_; }
    std::vector<FileWarning>& warnings() { return warnings_; }

private:
    struct Line {
        SettingLine kind;
        int number;  // in the file, from 1
        int group;
        int channel;
        std::uint32_t first;  // in fields_
        std::uint32_t count;
    };

    // Splits the next line; a line past the end of the file is empty.
    void nextLine(SettingLine kind, int group = 0, int channel = 0) {
        const int number = static_cast<int>(lines_.size()) + 1;
        lines_.push_back({kind, number, group, channel, static_cast<std::uint32_t>(fields_.size()), 0});
        if (endedAt_ != 0) return;
        if (pos_ >= text_.size()) {
            endedAt_ = number;
            return;
        }
        const std::size_t nl = text_.find('\n', pos_);
        const std::size_t stop = nl == std::string_view::npos ? text_.size() : nl;
        std::string_view line = text_.substr(pos_, stop - pos_);
        pos_ = nl == std::string_view::npos ? text_.size() : nl + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.size() > kMaxSettingLineLength)
            fail("the line is longer than " + std::to_string(kMaxSettingLineLength) + " characters");
        if (line.find('\0') != std::string_view::npos) fail("the line holds a NUL byte");
        if (line.find('"') != std::string_view::npos && unquoted_.capacity() < text_.size())
            unquoted_.reserve(text_.size());
        lines_.back().count = static_cast<std::uint32_t>(splitCsvFields(line, unquoted_, fields_));
    }

    [[noreturn]] void fail(std::string what) const {
        throw ReadFault{static_cast<int>(lines_.size()), std::move(what)};
    }

    static std::string_view field(const std::vector<std::string_view>& fields, const Line& line, std::size_t i) {
        return i < line.count ? fields[line.first + i] : std::string_view{};
    }

    // Checks the last line's text lengths and ranges; returns the group
    // capability it holds (0 for other lines).
    int checkLine() {
        const Line& line = lines_.back();
        int capability = 0;
        std::size_t i = 0;
        for (const CompiledField& f : compiledLine(line.kind)) {
            const std::string_view v = field(fields_, line, i++);
            switch (f.op) {
                case FieldOp::Text:
                case FieldOp::RawText:
                case FieldOp::ChannelText:
                    if (v.size() > kMaxSettingTextLength)
                        fail("field " + std::to_string(i) + " is longer than " + std::to_string(kMaxSettingTextLength) +
                             " characters");
                    break;
                default: {
                    if (!f.checked && f.op != FieldOp::Capability) break;
                    bool clean = true;
                    const int n = integerOf(v, clean);
                    if (f.checked && (n < f.info->minimum || n > f.info->maximum))
                        fail(f.info->checkName + " " + std::to_string(n) + " is outside " +
                             std::to_string(f.info->minimum) + ".." + std::to_string(f.info->maximum));
                    if (f.op == FieldOp::Capability) capability = n;
                    break;
                }
            }
        }
        return capability;
    }

    // The fields of one line, in the order the settings table gives them.
    void storeLine(const Line& line, RadioSettings& s) {
        ChannelGroup& group = s.channelTable.groups[static_cast<std::size_t>(line.group)];
        ChannelEntry& entry = group.channels[static_cast<std::size_t>(line.channel)];
        std::size_t i = 0;
        for (const CompiledField& f : compiledLine(line.kind)) {
            char* base = fieldBase(f.op, s, group, entry);
            const std::string_view v = field(fields_, line, i++);
            switch (f.op) {
                case FieldOp::Text:
                case FieldOp::ChannelText: {
                    auto* target = reinterpret_cast<std::string*>(base + f.offset);
                    if (v == kNull)
                        target->clear();
                    else
                        target->assign(v);
                    break;
                }
                case FieldOp::RawText:
                    reinterpret_cast<std::string*>(base + f.offset)->assign(v);
                    break;
                default: {
                    bool clean = true;
                    *reinterpret_cast<int*>(base + f.offset) = integerOf(v, clean);
                    if (!clean) warnNotANumber(*f.info, line, i, v);
                    break;
                }
            }
        }
    }

    void warnNotANumber(const SettingInfo& f, const Line& line, std::size_t fieldNo, std::string_view field) {
        FileWarning w;
        w.line = line.number;
        w.key = settingKey({&f, line.group, line.channel});
        std::string shown(field.substr(0, 20));
        for (char& c : shown)
            if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
        if (field.size() > 20) shown += "...";
        w.text = name_ + ": line " + std::to_string(line.number) + ": field " + std::to_string(fieldNo) + " (" + w.key +
                 ") holds \"" + shown + "\", not a number; it was read as " + std::to_string(leadingDecimal(field));
        warnings_.push_back(std::move(w));
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    const std::string& name_;
    std::string unquoted_;
    std::vector<std::string_view> fields_;
    std::vector<Line> lines_;
    int endedAt_ = 0;
    std::vector<FileWarning> warnings_;
};

constexpr std::size_t kWarningsShown = 20;

FileResult readFrom(std::string_view text, RadioSettings& settings, const std::string& name) {
    FileResult result;
    Reader reader(text, name);
    try {
        reader.check();
    } catch (const ReadFault& fault) {
        result.ok = false;
        result.line = fault.line;
        result.error = name + ": line " + std::to_string(fault.line) + ": " + fault.what;
        return result;
    }
    reader.store(settings);
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
    std::string unquoted;
    unquoted.reserve(line.size());
    std::vector<std::string_view> views;
    splitCsvFields(line, unquoted, views);
    return {views.begin(), views.end()};
}

int settingFileLineCount(const RadioSettings& s) {
    int lines = 2 + kGroupSlots + 6;
    for (const ChannelGroup& g : s.channelTable.groups) lines += writtenCapability(g);
    return lines;
}

namespace {

// One line's fields in the order the settings table gives them.
void writeLine(LineWriter& w, SettingLine line, const RadioSettings& s, int group, int channel) {
    const ChannelGroup& g = s.channelTable.groups[static_cast<std::size_t>(group)];
    const ChannelEntry& entry = g.channels[static_cast<std::size_t>(channel)];
    for (const CompiledField& f : compiledLine(line)) {
        const char* field = fieldBase(f.op, s, g, entry) + f.offset;
        switch (f.op) {
            case FieldOp::Capability:
                w.integer(writtenCapability(g));
                break;
            case FieldOp::Text:
            case FieldOp::ChannelText:
                w.text(*reinterpret_cast<const std::string*>(field));
                break;
            case FieldOp::RawText:
                w.rawText(*reinterpret_cast<const std::string*>(field));
                break;
            default:
                w.integer(*reinterpret_cast<const int*>(field));
                break;
        }
    }
    w.end();
}

}  // namespace

std::string formatSettingFile(const RadioSettings& s) {
    std::string out;
    out.reserve(static_cast<std::size_t>(settingFileLineCount(s)) * 96 + 4096);
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
    w.finish();
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
    return readFrom(in.bytes, settings, path);
}

FileResult readSettingText(std::string_view text, RadioSettings& settings, const std::string& nameForMessages) {
    return readFrom(text, settings, nameForMessages);
}

}  // namespace ks340
