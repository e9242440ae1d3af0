#include "formats/ChannelCsv.h"
#include "model/SquelchText.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>
#include <utility>

#include "formats/ChannelClipboard.h"
#include "image/MemoryImage.h"
#include "model/ChannelEditing.h"
#include "model/ChannelStep.h"
#include "model/ChannelValidator.h"
#include "model/SettingFile.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

// ---- small text helpers ------------------------------------------------------

std::string trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return std::string(s.substr(b, e - b));
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool sameText(std::string_view a, std::string_view b) { return lower(trim(a)) == lower(trim(b)); }

// A plain decimal number: digits with at most one '.', optional sign.
bool isPlainNumber(std::string_view s, bool allowSign) {
    std::size_t i = 0;
    if (allowSign && i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false, point = false;
    for (; i < s.size(); ++i) {
        if (s[i] >= '0' && s[i] <= '9')
            digits = true;
        else if (s[i] == '.' && !point)
            point = true;
        else
            return false;
    }
    return digits;
}

// Hertz of a plain number of MHz, rounded to the nearest hertz.
std::int64_t mhzToHz(std::string_view s) { return frequencyTextToHz(s); }

// Hertz as MHz with six decimals, the other tools' usual form.
std::string hzToMhz6(std::int64_t hz) {
    const bool negative = hz < 0;
    const std::uint64_t m = negative ? 0 - static_cast<std::uint64_t>(hz) : static_cast<std::uint64_t>(hz);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%s%llu.%06llu", negative ? "-" : "", static_cast<unsigned long long>(m / 1000000),
                  static_cast<unsigned long long>(m % 1000000));
    return buf;
}

std::vector<std::string> splitLines(std::string_view text) {
    if (text.size() >= 3 && static_cast<unsigned char>(text[0]) == 0xEF &&
        static_cast<unsigned char>(text[1]) == 0xBB && static_cast<unsigned char>(text[2]) == 0xBF)
        text.remove_prefix(3);
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (end == text.size()) break;
        start = end + 1;
    }
    while (!lines.empty() && trim(lines.back()).empty()) lines.pop_back();
    return lines;
}

bool blankRow(const std::vector<std::string>& fields) {
    return std::all_of(fields.begin(), fields.end(), [](const std::string& f) { return trim(f).empty(); });
}

// ---- tones ---------------------------------------------------------------------

// The CTCSS code of a tone in Hz (within 0.05 Hz of a table entry), or 0.
ToneCode ctcssCodeOfHz(double hz) {
    for (const CtcssEntry& e : CtcssTable)
        if (std::fabs(e.frequency - hz) < 0.05) return ctcssCodeFromPosition(e.index);
    return kToneOff;
}

// The DCS code of a code text ("023" or "23"), or 0.
ToneCode dcsCodeOfText(std::string_view text) {
    const std::string t = trim(text);
    if (t.empty() || t.size() > 3 || !std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '7'; }))
        return kToneOff;
    const int code = std::stoi(t);
    for (const DcsEntry& e : DcsTable)
        if (e.code == code) return dcsCodeFromPosition(e.index);
    return kToneOff;
}

std::string ctcssText(ToneCode code) {
    const int p = ctcssPositionFromCode(code);
    return p < 0 ? "88.5" : std::string(CtcssTable[static_cast<std::size_t>(p)].text);
}

std::string dcsText(ToneCode code) {
    const int p = dcsPositionFromCode(code);
    return p < 0 ? "023" : std::string(DcsTable[static_cast<std::size_t>(p)].text);
}

// ---- the shown channel list ---------------------------------------------------

struct Slot {
    int group = 0;
    int channel = 0;
};

bool groupMode(const ChannelTable& table) { return table.scanMode != 0; }

// The channel slots the grid shows, in list order: group 0's 208 channels,
// or in group scan mode channels 1..capability of groups 1..13.
std::vector<Slot> shownSlots(const ChannelTable& table) {
    std::vector<Slot> slots;
    if (groupMode(table)) {
        for (int g = 1; g < kGroupSlots; ++g) {
            const int cap = std::clamp(table.groups[g].capability, 0, kChannelCapacity);
            for (int c = 1; c <= cap && slots.size() < std::size_t(kChannelCapacity); ++c) slots.push_back({g, c});
        }
    } else {
        for (int c = 1; c <= kChannelCapacity; ++c) slots.push_back({0, c});
    }
    return slots;
}

// ---- export --------------------------------------------------------------------

std::string labelForCsv(const std::string& label) { return cp1252ToUtf8(label); }

std::vector<std::string> nativeRow(const Slot& s, const ChannelEntry& e) {
    return {std::to_string(s.group),
            std::to_string(s.channel),
            labelForCsv(e.label),
            e.rxFrequency,
            toneCodeText(e.rxSquelch, e.rxInverseDcs),
            e.txFrequency,
            toneCodeText(e.txSquelch, e.txInverseDcs),
            e.scanChannel ? "ON" : "",
            e.bandwidth ? "S" : "N",
            e.txPower ? "High" : "Low",
            e.priorityChannel ? "ON" : "",
            e.powerOnChannel ? "ON" : ""};
}

struct ToneColumns {
    std::string mode;
    std::string rTone = "88.5";
    std::string cTone = "88.5";
    std::string dtcs = "023";
    std::string polarity = "NN";
    std::string rxDtcs = "023";
    std::string crossMode = "Tone->Tone";
};

ToneColumns toneColumns(const ChannelEntry& e) {
    ToneColumns t;
    const ToneCode tx = isValidToneCode(e.txSquelch) ? e.txSquelch : kToneOff;
    const ToneCode rx = isValidToneCode(e.rxSquelch) ? e.rxSquelch : kToneOff;
    const bool txDcs = isDcsCode(tx), rxDcs = isDcsCode(rx);
    const bool txTone = isCtcssCode(tx), rxTone = isCtcssCode(rx);
    t.polarity = std::string(1, txDcs && e.txInverseDcs ? 'R' : 'N') + (rxDcs && e.rxInverseDcs ? 'R' : 'N');
    if (txTone) t.rTone = ctcssText(tx);
    if (rxTone) t.cTone = ctcssText(rx);
    if (txDcs) t.dtcs = dcsText(tx);
    if (rxDcs) t.rxDtcs = dcsText(rx);
    if (tx == kToneOff && rx == kToneOff) {
        t.mode = "";
    } else if (txTone && rx == kToneOff) {
        t.mode = "Tone";
    } else if (txTone && rx == tx) {
        t.mode = "TSQL";
        t.rTone = t.cTone;
    } else if (txDcs && rx == tx) {
        t.mode = "DTCS";
        t.rxDtcs = t.dtcs;
    } else {
        t.mode = "Cross";
        const std::string from = txTone ? "Tone" : (txDcs ? "DTCS" : "");
        const std::string to = rxTone ? "Tone" : (rxDcs ? "DTCS" : "");
        t.crossMode = from + "->" + to;
    }
    return t;
}

std::vector<std::string> commonRow(int location, const Slot& s, const ChannelEntry& e, bool groups) {
    const std::int64_t rx = frequencyTextToHz(e.rxFrequency);
    std::string duplex, offset = "0.000000";
    if (e.txFrequency.empty()) {
        duplex = "off";
    } else {
        const std::int64_t tx = frequencyTextToHz(e.txFrequency);
        if (tx > rx)
            duplex = "+";
        else if (tx < rx)
            duplex = "-";
        offset = hzToMhz6(tx > rx ? tx - rx : rx - tx);
    }
    const ToneColumns t = toneColumns(e);
    const FrequencyCode code = frequencyCode(rx);
    const char* step = code.stepCode == 2 ? "6.25" : (code.stepCode == 1 ? "5.00" : "2.50");
    std::string comment;
    if (groups) comment = "Group " + std::to_string(s.group) + " CH " + std::to_string(s.channel);
    return {std::to_string(location),
            labelForCsv(e.label),
            hzToMhz6(rx),
            duplex,
            offset,
            t.mode,
            t.rTone,
            t.cTone,
            t.dtcs,
            t.polarity,
            e.bandwidth ? "FM" : "NFM",
            step,
            e.priorityChannel ? "P" : (e.scanChannel ? "" : "S"),
            e.txPower ? "High" : "Low",
            comment,
            t.rxDtcs,
            t.crossMode};
}

// ---- import --------------------------------------------------------------------

class RowReader {
public:
    RowReader(const std::map<std::string, std::size_t>& columns, const std::vector<std::string>& fields, int line,
              std::vector<CsvIssue>& errors)
        : columns_(columns), fields_(fields), line_(line), errors_(errors) {}

    bool has(const std::string& column) const { return columns_.count(lower(column)) != 0; }

    // The trimmed field of a column; empty when the row is short or the
    // column is absent.
    std::string get(const std::string& column) const {
        const auto it = columns_.find(lower(column));
        if (it == columns_.end() || it->second >= fields_.size()) return {};
        return trim(fields_[it->second]);
    }
    // The field as it stands (labels keep their spaces).
    std::string raw(const std::string& column) const {
        const auto it = columns_.find(lower(column));
        if (it == columns_.end() || it->second >= fields_.size()) return {};
        return fields_[it->second];
    }

    void error(const std::string& column, const std::string& reason) {
        errors_.push_back({line_, column, reason});
        ok_ = false;
    }
    bool ok() const { return ok_; }
    int line() const { return line_; }

private:
    const std::map<std::string, std::size_t>& columns_;
    const std::vector<std::string>& fields_;
    int line_;
    std::vector<CsvIssue>& errors_;
    bool ok_ = true;
};

struct Band {
    int model = 0;
    int radioBand = 0;
};

// A frequency field by the channel rules. Returns the "%.5f" text, or
// nothing after reporting the fault.
std::optional<std::string> checkFrequency(RowReader& r, const std::string& column, const std::string& text,
                                          const Band& band, const std::string& what = {}) {
    const FieldCheck c = checkChannelFrequency(text, band.model, band.radioBand);
    if (!c.ok) {
        r.error(column, what + c.reason);
        return std::nullopt;
    }
    return c.value;
}

std::optional<std::int64_t> numberHz(RowReader& r, const std::string& column, bool required) {
    const std::string v = r.get(column);
    if (v.empty()) {
        if (required) r.error(column, "is empty; a frequency in MHz is needed");
        return std::nullopt;
    }
    if (!isPlainNumber(v, false)) {
        r.error(column, "'" + v + "' is not a frequency in MHz");
        return std::nullopt;
    }
    return mhzToHz(v);
}

// Label checks: the radio's alphabet and length.
std::string checkLabel(RowReader& r, const std::string& column, const CsvImportOptions& options,
                       std::vector<CsvIssue>& notes) {
    const FieldCheck c = checkChannelLabel(r.raw(column), options.cutLongLabels);
    if (!c.ok) {
        r.error(column, c.reason);
        return {};
    }
    if (!c.notice.empty()) notes.push_back({r.line(), column, c.notice});
    return c.value;
}

// A row read into a channel, with where it goes.
struct ImportedChannel {
    Slot slot;
    int line = 0;
    ChannelEntry entry;
};

std::optional<int> yesNo(RowReader& r, const std::string& column, const char* onText) {
    const std::string v = r.get(column);
    if (v.empty() || sameText(v, "OFF")) return 0;
    if (sameText(v, onText)) return 1;
    r.error(column, "'" + v + "' should be '" + onText + "' or empty");
    return std::nullopt;
}

std::optional<int> positiveNumber(RowReader& r, const std::string& column) {
    const std::string v = r.get(column);
    if (v.empty() || !std::all_of(v.begin(), v.end(), [](char c) { return c >= '0' && c <= '9'; }) || v.size() > 6) {
        r.error(column, v.empty() ? std::string("is empty") : "'" + v + "' is not a whole number");
        return std::nullopt;
    }
    return std::stoi(v);
}

void readNativeRow(RowReader& r, const ChannelTable& table, const Band& band, const CsvImportOptions& options,
                   std::vector<CsvIssue>& notes, std::vector<ImportedChannel>& out) {
    ImportedChannel ic;
    ic.line = r.line();
    // Where the row goes.
    const std::string groupText = r.get("Group");
    int group = 0;
    bool groupOk = true;
    if (!(groupText.empty() || sameText(groupText, "None"))) {
        if (const auto g = positiveNumber(r, "Group"))
            group = *g;
        else
            groupOk = false;
    }
    const auto channel = positiveNumber(r, "CH");
    if (groupOk) {
        if (groupMode(table)) {
            if (group < 1 || group >= kGroupSlots || table.groups[group].capability < 1) {
                r.error("Group", "group '" + groupText + "' is not one of the configuration's groups");
                groupOk = false;
            }
        } else if (group != 0) {
            r.error("Group", "the configuration is in All Channel Scan Mode: the group must be 0 or None");
            groupOk = false;
        }
    }
    if (groupOk && channel) {
        const int last =
            groupMode(table) ? std::clamp(table.groups[group].capability, 0, kChannelCapacity) : kChannelCapacity;
        if (*channel < 1 || *channel > last)
            r.error("CH", "channel " + std::to_string(*channel) + " is not in 1.." + std::to_string(last) +
                              (groupMode(table) ? " of group " + std::to_string(group) : std::string()));
    }
    ic.slot = {group, channel.value_or(0)};

    ChannelEntry& e = ic.entry;
    e.inUse = 1;
    e.label = checkLabel(r, "Label", options, notes);
    if (numberHz(r, "Rx Freq.", true)) {
        if (auto t = checkFrequency(r, "Rx Freq.", r.get("Rx Freq."), band)) e.rxFrequency = *t;
    }
    if (numberHz(r, "Tx Freq.", false)) {
        if (auto t = checkFrequency(r, "Tx Freq.", r.get("Tx Freq."), band)) e.txFrequency = *t;
    }
    for (const auto& [column, code, inverse] :
         {std::tuple<const char*, int*, int*>{"RX Option", &e.rxSquelch, &e.rxInverseDcs},
          {"Tx Option", &e.txSquelch, &e.txInverseDcs}}) {
        const SquelchCheck check = checkSquelchText(r.get(column));
        if (check.ok) {
            *code = check.setting.code;
            *inverse = check.setting.inverseDcs;
        } else {
            r.error(column, check.reason);
        }
    }
    if (const auto v = yesNo(r, "Scan CH", "ON")) e.scanChannel = *v;
    const std::string bw = r.get("BandWidth");
    if (bw.empty() || sameText(bw, "S"))
        e.bandwidth = 1;
    else if (sameText(bw, "N"))
        e.bandwidth = 0;
    else
        r.error("BandWidth", "'" + bw + "' should be S or N");
    const std::string power = r.get("Tx Power");
    if (power.empty() || sameText(power, "High"))
        e.txPower = 1;
    else if (sameText(power, "Low"))
        e.txPower = 0;
    else
        r.error("Tx Power", "'" + power + "' should be High or Low");
    if (const auto v = yesNo(r, "Priority CH", "ON")) e.priorityChannel = *v;
    if (const auto v = yesNo(r, "PowON CH", "ON")) e.powerOnChannel = *v;
    if (r.ok()) out.push_back(std::move(ic));
}

std::optional<ToneCode> ctcssColumn(RowReader& r, const std::string& column) {
    const std::string v = r.get(column);
    if (!isPlainNumber(v, false)) {
        r.error(column, "'" + v + "' is not a tone frequency in Hz");
        return std::nullopt;
    }
    const ToneCode c = ctcssCodeOfHz(leadingNumber(v));
    if (c == kToneOff) {
        r.error(column, v + " Hz is not one of the radio's CTCSS tones");
        return std::nullopt;
    }
    return c;
}

std::optional<ToneCode> dcsColumn(RowReader& r, const std::string& column) {
    const std::string v = r.get(column);
    const ToneCode c = dcsCodeOfText(v);
    if (c == kToneOff) {
        r.error(column, "'" + v + "' is not one of the radio's DCS codes");
        return std::nullopt;
    }
    return c;
}

// Tone, rToneFreq, cToneFreq, DtcsCode, DtcsPolarity, RxDtcsCode and
// CrossMode into the two squelch codes.
void readCommonTones(RowReader& r, ChannelEntry& e) {
    const std::string mode = r.get("Tone");
    std::string polarity = r.get("DtcsPolarity");
    if (polarity.empty()) polarity = "NN";
    const std::string pol = lower(polarity);
    const bool polarityOk = pol.size() == 2 && (pol[0] == 'n' || pol[0] == 'r') && (pol[1] == 'n' || pol[1] == 'r');
    auto needPolarity = [&]() {
        if (!polarityOk) r.error("DtcsPolarity", "'" + polarity + "' should be NN, NR, RN or RR");
        return polarityOk;
    };
    const int txInverse = polarityOk && pol[0] == 'r' ? 1 : 0;
    const int rxInverse = polarityOk && pol[1] == 'r' ? 1 : 0;
    // The receive DCS code: RxDtcsCode when the file has the column, else DtcsCode.
    const std::string rxDcsColumn = r.has("RxDtcsCode") && !r.get("RxDtcsCode").empty() ? "RxDtcsCode" : "DtcsCode";

    if (mode.empty() || sameText(mode, "None")) return;
    if (sameText(mode, "Tone")) {
        if (auto c = ctcssColumn(r, "rToneFreq")) e.txSquelch = *c;
    } else if (sameText(mode, "TSQL")) {
        if (auto c = ctcssColumn(r, "cToneFreq")) e.txSquelch = e.rxSquelch = *c;
    } else if (sameText(mode, "DTCS")) {
        if (auto c = dcsColumn(r, "DtcsCode"); c && needPolarity()) {
            e.txSquelch = e.rxSquelch = *c;
            e.txInverseDcs = txInverse;
            e.rxInverseDcs = rxInverse;
        }
    } else if (sameText(mode, "Cross")) {
        const std::string cross = r.get("CrossMode").empty() ? std::string("Tone->Tone") : r.get("CrossMode");
        const std::size_t arrow = cross.find("->");
        const std::string from = arrow == std::string::npos ? "?" : lower(trim(cross.substr(0, arrow)));
        const std::string to = arrow == std::string::npos ? "?" : lower(trim(cross.substr(arrow + 2)));
        const auto known = [](const std::string& s) { return s.empty() || s == "tone" || s == "dtcs"; };
        if (!known(from) || !known(to) || (from.empty() && to.empty())) {
            r.error("CrossMode", "'" + cross +
                                     "' is not a cross mode (Tone->Tone, Tone->DTCS, DTCS->Tone, "
                                     "DTCS->DTCS, DTCS->, ->Tone or ->DTCS)");
            return;
        }
        if ((from == "dtcs" || to == "dtcs") && !needPolarity()) return;
        if (from == "tone") {
            if (auto c = ctcssColumn(r, "rToneFreq")) e.txSquelch = *c;
        } else if (from == "dtcs") {
            if (auto c = dcsColumn(r, "DtcsCode")) {
                e.txSquelch = *c;
                e.txInverseDcs = txInverse;
            }
        }
        if (to == "tone") {
            if (auto c = ctcssColumn(r, "cToneFreq")) e.rxSquelch = *c;
        } else if (to == "dtcs") {
            if (auto c = dcsColumn(r, rxDcsColumn)) {
                e.rxSquelch = *c;
                e.rxInverseDcs = rxInverse;
            }
        }
    } else {
        r.error("Tone", "tone mode '" + mode + "' is not supported (empty, Tone, TSQL, DTCS or Cross)");
    }
}

// Power texts: High/Low, or a power in watts (below 2 W is the low level).
std::optional<int> powerLevel(RowReader& r) {
    const std::string v = r.get("Power");
    const std::string l = lower(v);
    if (l.empty() || l == "high" || l == "h" || l == "hi") return 1;
    if (l == "low" || l == "l" || l == "lo" || l == "mid" || l == "medium") return 0;
    std::string number = l;
    if (!number.empty() && number.back() == 'w') number.pop_back();
    if (isPlainNumber(trim(number), false)) return leadingNumber(number) < 2.0 ? 0 : 1;
    r.error("Power", "'" + v + "' is not a power level (High, Low or watts such as 5W)");
    return std::nullopt;
}

void readCommonRow(RowReader& r, const std::vector<Slot>& slots, const Band& band, const CsvImportOptions& options,
                   std::vector<CsvIssue>& notes, std::vector<ImportedChannel>& out) {
    ImportedChannel ic;
    ic.line = r.line();
    if (const auto location = positiveNumber(r, "Location")) {
        if (*location < 1 || *location > static_cast<int>(slots.size()))
            r.error("Location", "location " + std::to_string(*location) + " is not a channel of the list (1.." +
                                    std::to_string(slots.size()) + ")");
        else
            ic.slot = slots[static_cast<std::size_t>(*location - 1)];
    }
    ChannelEntry& e = ic.entry;
    e.inUse = 1;
    e.scanChannel = 1;
    e.label = checkLabel(r, "Name", options, notes);

    const auto rx = numberHz(r, "Frequency", true);
    if (rx) {
        if (auto t = checkFrequency(r, "Frequency", r.get("Frequency"), band)) e.rxFrequency = *t;
    }
    const std::string duplex = r.get("Duplex");
    const std::string d = lower(duplex);
    if (d == "off") {
        e.txFrequency.clear();
    } else if (d.empty() || d == "+" || d == "-" || d == "split") {
        std::optional<std::int64_t> offset;
        if (d.empty())
            offset = 0;
        else
            offset = numberHz(r, "Offset", true);
        if (rx && offset) {
            std::int64_t tx = *rx;
            if (d == "+")
                tx = *rx + *offset;
            else if (d == "-")
                tx = *rx - *offset;
            else if (d == "split")
                tx = *offset;
            const std::string column = d.empty() ? "Frequency" : "Offset";
            if (d.empty() || tx == *rx) {
                e.txFrequency = e.rxFrequency;
            } else if (auto t = checkFrequency(r, column, hzToMhz6(tx), band, "the transmit frequency ")) {
                e.txFrequency = *t;
            }
        }
    } else {
        r.error("Duplex", "'" + duplex + "' should be empty, +, -, split or off");
    }
    readCommonTones(r, e);
    const std::string mode = r.get("Mode");
    if (mode.empty() || sameText(mode, "FM"))
        e.bandwidth = 1;
    else if (sameText(mode, "NFM"))
        e.bandwidth = 0;
    else
        r.error("Mode", "mode '" + mode + "' is not supported (FM or NFM)");
    const std::string skip = r.get("Skip");
    if (skip.empty())
        e.scanChannel = 1;
    else if (sameText(skip, "P"))
        e.scanChannel = e.priorityChannel = 1;
    else if (sameText(skip, "S"))
        e.scanChannel = 0;
    else
        r.error("Skip", "'" + skip + "' should be empty, S or P");
    if (const auto p = powerLevel(r)) e.txPower = *p;
    if (r.ok()) out.push_back(std::move(ic));
}

const std::vector<std::string>& requiredColumns(ChannelCsvFormat format) {
    static const std::vector<std::string> native{"CH", "Rx Freq."};
    static const std::vector<std::string> common{"Location", "Frequency"};
    return format == ChannelCsvFormat::Native ? native : common;
}

}  // namespace

const std::vector<std::string>& nativeCsvColumns() {
    // The grid's columns after the group.
    static const std::vector<std::string> columns = [] {
        std::vector<std::string> c{"Group"};
        for (int column = 0; column < kGridColumnCount; ++column) c.emplace_back(gridColumnName(column));
        return c;
    }();
    return columns;
}

const std::vector<std::string>& commonCsvColumns() {
    static const std::vector<std::string> columns{
        "Location",     "Name", "Frequency", "Duplex", "Offset", "Tone",    "rToneFreq",  "cToneFreq", "DtcsCode",
        "DtcsPolarity", "Mode", "TStep",     "Skip",   "Power",  "Comment", "RxDtcsCode", "CrossMode"};
    return columns;
}

std::string_view channelCsvFormatName(ChannelCsvFormat format) {
    return format == ChannelCsvFormat::Native ? "native" : "common";
}

std::optional<ChannelCsvFormat> channelCsvFormatFromName(std::string_view name) {
    const std::string n = lower(trim(name));
    if (n == "native") return ChannelCsvFormat::Native;
    if (n == "common") return ChannelCsvFormat::Common;
    return std::nullopt;
}

std::optional<ChannelCsvFormat> detectChannelCsvFormat(std::string_view headerLine) {
    std::vector<std::string> lines = splitLines(headerLine);
    if (lines.empty()) return std::nullopt;
    const std::vector<std::string> fields = splitCsvLine(lines.front());
    auto hasAll = [&](const std::vector<std::string>& needed) {
        return std::all_of(needed.begin(), needed.end(), [&](const std::string& n) {
            return std::any_of(fields.begin(), fields.end(), [&](const std::string& f) { return sameText(f, n); });
        });
    };
    if (hasAll(requiredColumns(ChannelCsvFormat::Common))) return ChannelCsvFormat::Common;
    if (hasAll(requiredColumns(ChannelCsvFormat::Native))) return ChannelCsvFormat::Native;
    return std::nullopt;
}

std::string exportChannelCsv(const RadioSettings& settings, ChannelCsvFormat format) {
    const ChannelTable& table = settings.channelTable;
    std::string out = joinCsvLine(format == ChannelCsvFormat::Native ? nativeCsvColumns() : commonCsvColumns());
    const std::vector<Slot> slots = shownSlots(table);
    for (std::size_t i = 0; i < slots.size(); ++i) {
        const Slot& s = slots[i];
        const ChannelEntry& e = table.groups[s.group].channels[s.channel];
        if (!e.isProgrammed()) continue;
        out += joinCsvLine(format == ChannelCsvFormat::Native
                               ? nativeRow(s, e)
                               : commonRow(static_cast<int>(i) + 1, s, e, groupMode(table)));
    }
    return out;
}

std::string formatCsvIssue(const CsvIssue& issue) {
    std::string s = "line " + std::to_string(issue.line);
    if (!issue.column.empty()) s += ", " + issue.column;
    return s + ": " + issue.reason;
}

CsvImportResult importChannelCsv(std::string_view text, RadioSettings& settings, const CsvImportOptions& options) {
    CsvImportResult result;
    const std::vector<std::string> lines = splitLines(text);
    if (lines.empty() || trim(lines.front()).empty()) {
        result.errors.push_back({1, "", "the file is empty: a header line naming the columns is needed"});
        return result;
    }
    const std::optional<ChannelCsvFormat> detected = detectChannelCsvFormat(lines.front());
    const ChannelCsvFormat format = options.format.value_or(detected.value_or(ChannelCsvFormat::Native));
    result.format = format;
    const std::vector<std::string> header = splitCsvLine(lines.front());
    std::map<std::string, std::size_t> columns;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const std::string name = lower(trim(header[i]));
        if (name.empty()) continue;
        if (columns.count(name)) {
            result.errors.push_back({1, trim(header[i]), "the column appears twice"});
            continue;
        }
        columns[name] = i;
    }
    for (const std::string& needed : requiredColumns(format))
        if (!columns.count(lower(needed)))
            result.errors.push_back(
                {1, needed,
                 "the header has no such column (expected " +
                     std::string(format == ChannelCsvFormat::Native ? "this program's channel columns"
                                                                    : "Location,Name,Frequency,Duplex,Offset,...") +
                     ")"});
    if (!result.errors.empty()) return result;

    const ChannelTable& table = settings.channelTable;
    const Band band{settings.header.model, settings.header.radioBand};
    const std::vector<Slot> slots = shownSlots(table);
    std::vector<ImportedChannel> rows;
    std::vector<CsvIssue> notes;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::vector<std::string> fields = splitCsvLine(lines[i]);
        if (blankRow(fields)) continue;
        RowReader r(columns, fields, static_cast<int>(i) + 1, result.errors);
        if (fields.size() > header.size()) {
            // A label with an unquoted comma shifts everything after it.
            r.error("", "the row has " + std::to_string(fields.size()) + " fields, the header " +
                            std::to_string(header.size()));
            continue;
        }
        if (format == ChannelCsvFormat::Native)
            readNativeRow(r, table, band, options, notes, rows);
        else
            readCommonRow(r, slots, band, options, notes, rows);
    }

    // Rows that name the same channel, and marks that allow one channel per group.
    std::map<std::pair<int, int>, int> seen;
    std::map<int, int> priorityLine, powerOnLine;
    auto slotName = [&](const Slot& s) {
        return groupMode(table) ? "group " + std::to_string(s.group) + " channel " + std::to_string(s.channel)
                                : "channel " + std::to_string(s.channel);
    };
    const std::string locationColumn = format == ChannelCsvFormat::Native ? "CH" : "Location";
    const char* priorityColumn = format == ChannelCsvFormat::Native ? "Priority CH" : "Skip";
    std::vector<ImportedChannel> kept;
    for (ImportedChannel& ic : rows) {
        const auto key = std::make_pair(ic.slot.group, ic.slot.channel);
        if (const auto it = seen.find(key); it != seen.end()) {
            result.errors.push_back({ic.line, locationColumn,
                                     slotName(ic.slot) + " is already given on line " + std::to_string(it->second)});
            continue;
        }
        bool fits = true;
        for (auto [flag, lines2, column] : {std::tuple<int, std::map<int, int>*, const char*>{
                                                ic.entry.priorityChannel, &priorityLine, priorityColumn},
                                            {ic.entry.powerOnChannel, &powerOnLine, "PowON CH"}}) {
            if (!flag) continue;
            if (const auto it = lines2->find(ic.slot.group); it != lines2->end()) {
                result.errors.push_back(
                    {ic.line, column,
                     std::string("only one channel ") + (groupMode(table) ? "of a group" : "of the list") +
                         " can have this mark; line " + std::to_string(it->second) + " already has it"});
                fits = false;
            }
        }
        if (!fits) continue;
        seen[key] = ic.line;
        if (ic.entry.priorityChannel) priorityLine[ic.slot.group] = ic.line;
        if (ic.entry.powerOnChannel) powerOnLine[ic.slot.group] = ic.line;
        kept.push_back(std::move(ic));
    }
    rows = std::move(kept);
    std::stable_sort(result.errors.begin(), result.errors.end(),
                     [](const CsvIssue& a, const CsvIssue& b) { return a.line < b.line; });
    std::set<int> unfitLines;
    for (const CsvIssue& issue : result.errors) unfitLines.insert(issue.line);
    result.unfitRows = static_cast<int>(unfitLines.size());
    result.fittingRows = static_cast<int>(rows.size());
    if (!result.errors.empty()) {
        // Left out on request, as long as something is left to import.
        if (!options.skipUnfit || rows.empty()) return result;
        result.skipped = std::move(result.errors);
        result.errors.clear();
    }

    // Everything checked: rebuild the shown list on a copy, then replace.
    ChannelTable newTable = settings.channelTable;
    OptionSettings newOption = settings.option;
    for (const Slot& s : slots) clearChannel(newTable, newOption, s.group, s.channel);
    for (const ImportedChannel& ic : rows) {
        ChannelGroup& g = newTable.groups[ic.slot.group];
        g.channels[ic.slot.channel] = ic.entry;
        if (ic.entry.priorityChannel) g.priorityChannel = ic.slot.channel;
        if (ic.entry.powerOnChannel) g.powerOnChannel = ic.slot.channel;
    }
    newOption.scanTx = scanTxWithPriority(newOption.scanTx, !priorityLine.empty());
    updateAnyScanChannel(newTable);
    countUsedChannels(newTable);
    settings.channelTable = newTable;
    settings.option = newOption;
    result.ok = true;
    result.channels = static_cast<int>(rows.size());
    result.notes = std::move(notes);
    return result;
}

}  // namespace ks340
