#include "formats/ChannelClipboard.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>

#include "model/ChannelEditing.h"
#include "model/ChannelValidator.h"
#include "model/SettingFile.h"
#include "model/SettingsRegistry.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

constexpr std::array<std::string_view, kGridColumnCount> kColumnFields{
    "",          "label",   "rxFrequency",     "rxSquelch",     "txFrequency", "txSquelch", "scanChannel",
    "bandwidth", "txPower", "priorityChannel", "powerOnChannel"};

// "CH", then the fields' names as the settings table gives them.
const std::array<std::string, kGridColumnCount>& columnNames() {
    static const std::array<std::string, kGridColumnCount> names = [] {
        std::array<std::string, kGridColumnCount> n;
        n[0] = "CH";
        for (int c = kColumnLabel; c < kGridColumnCount; ++c)
            n[std::size_t(c)] = settingLabel("channel[1]." + std::string(kColumnFields[std::size_t(c)]));
        return n;
    }();
    return names;
}

constexpr std::string_view kOwnFormatTag = "KS340 channels";
constexpr int kOwnFormatVersion = 1;
constexpr std::size_t kChannelFields = 23;

std::string upperNoBlanks(std::string_view s) {
    std::string out;
    for (char c : s)
        if (!std::isspace(static_cast<unsigned char>(c)))
            out += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

std::string trim(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return std::string(s.substr(b, e - b));
}

bool validGroup(int group) { return group >= 0 && group < kGroupSlots; }

// ---- Spreadsheet text --------------------------------------------------------------

std::string quoteField(const std::string& field) {
    if (field.find_first_of("\t\r\n\"") == std::string::npos) return field;
    std::string out = "\"";
    for (char c : field) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

// Rows of fields; a field that starts with a double quote runs to the
// closing quote and may hold tabs and line ends.
std::vector<std::pair<int, std::vector<std::string>>> splitRows(std::string_view text) {
    std::vector<std::pair<int, std::vector<std::string>>> rows;
    std::vector<std::string> fields;
    std::string field;
    int line = 1, rowLine = 1;
    bool atFieldStart = true;
    std::size_t i = 0;
    auto endRow = [&] {
        fields.push_back(std::move(field));
        field.clear();
        rows.emplace_back(rowLine, std::move(fields));
        fields.clear();
        atFieldStart = true;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (atFieldStart && c == '"') {
            ++i;
            while (i < text.size()) {
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == '\n') ++line;
                field += text[i++];
            }
            atFieldStart = false;
            continue;
        }
        atFieldStart = false;
        if (c == '\t') {
            fields.push_back(std::move(field));
            field.clear();
            atFieldStart = true;
            ++i;
        } else if (c == '\r' || c == '\n') {
            endRow();
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
            ++i;
            ++line;
            rowLine = line;
        } else {
            field += c;
            ++i;
        }
    }
    if (!field.empty() || !fields.empty()) endRow();
    // Blank rows (an empty line, or only empty fields) carry nothing.
    rows.erase(std::remove_if(rows.begin(), rows.end(),
                              [](const auto& r) {
                                  return std::all_of(r.second.begin(), r.second.end(),
                                                     [](const std::string& f) { return trim(f).empty(); });
                              }),
               rows.end());
    return rows;
}

// ---- Checks -------------------------------------------------------------------------

class RowCheck {
public:
    RowCheck(std::vector<ClipboardIssue>& errors, int row, int channel)
        : errors_(errors), row_(row), channel_(channel) {}

    void fail(int column, std::string reason) {
        errors_.push_back(
            {row_, channel_, column >= 0 ? std::string(gridColumnName(column)) : std::string(), std::move(reason)});
        ok_ = false;
    }
    bool ok() const { return ok_; }

private:
    std::vector<ClipboardIssue>& errors_;
    int row_;
    int channel_;
    bool ok_ = true;
};

// A frequency in MHz by the channel rules. Returns the "%.5f" text the
// grid shows.
std::optional<std::string> checkFrequency(RowCheck& check, int column, const std::string& typed, int model,
                                          int radioBand) {
    const FieldCheck r = checkChannelFrequency(typed, model, radioBand, FrequencyEntry::Exact);
    if (!r.ok) {
        check.fail(column, r.reason);
        return std::nullopt;
    }
    return r.value;
}

std::optional<std::string> checkLabel(RowCheck& check, const std::string& typed) {
    const FieldCheck r = checkChannelLabel(typed);
    if (!r.ok) {
        check.fail(kColumnLabel, r.reason);
        return std::nullopt;
    }
    return r.value;
}

std::optional<SquelchSetting> checkSquelch(RowCheck& check, int column, const std::string& typed) {
    const SquelchCheck r = checkSquelchText(typed);
    if (!r.ok) {
        check.fail(column, r.reason);
        return std::nullopt;
    }
    return r.setting;
}

int columnOfField(ChannelField field) {
    switch (field) {
        case ChannelField::Label:
            return kColumnLabel;
        case ChannelField::RxFrequency:
            return kColumnRxFrequency;
        case ChannelField::TxFrequency:
            return kColumnTxFrequency;
        case ChannelField::RxSquelch:
            return kColumnRxOption;
        case ChannelField::TxSquelch:
            return kColumnTxOption;
    }
    return -1;
}

// "ON" / empty (or "OFF") switches.
std::optional<int> checkSwitch(RowCheck& check, int column, const std::string& typed) {
    const std::string t = upperNoBlanks(typed);
    if (t.empty() || t == "OFF") return 0;
    if (t == "ON") return 1;
    check.fail(column, "'" + typed + "' should be ON or empty");
    return std::nullopt;
}

// ---- Own form ---------------------------------------------------------------------

std::string nullIfEmpty(const std::string& s) { return s.empty() ? "NULL" : s; }
std::string emptyIfNull(const std::string& s) { return s == "NULL" ? std::string() : s; }

std::vector<std::string> channelFields(const ChannelEntry& c) {
    auto n = [](int v) { return std::to_string(v); };
    return {nullIfEmpty(c.label),
            n(c.bandwidth),
            n(c.inUse),
            n(c.txPower),
            n(c.powerOnChannel),
            n(c.priorityChannel),
            n(c.rxInverseDcs),
            n(c.scanChannel),
            n(c.txInverseDcs),
            n(c.rxCodeN),
            n(c.rxCodeA),
            n(c.txCodeN),
            n(c.txCodeA),
            n(c.rxSquelch),
            n(c.txSquelch),
            nullIfEmpty(c.rxFrequency),
            nullIfEmpty(c.txFrequency),
            n(c.channelSpare1),
            n(c.channelSpare2),
            n(c.channelSpare3),
            n(c.channelSpare4),
            n(c.rxStepCode),
            n(c.txStepCode)};
}

std::optional<int> wholeNumber(const std::string& s) {
    std::size_t i = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (negative) i = 1;
    if (i >= s.size() || s.size() - i > 10) return std::nullopt;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return std::nullopt;
        v = v * 10 + (s[i] - '0');
    }
    v = negative ? -v : v;
    if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
    return static_cast<int>(v);
}

std::optional<ChannelEntry> channelFromFields(const std::vector<std::string>& f) {
    if (f.size() != kChannelFields) return std::nullopt;
    ChannelEntry c;
    int* ints[] = {
        nullptr,          &c.bandwidth,     &c.inUse,         &c.txPower,    &c.powerOnChannel, &c.priorityChannel,
        &c.rxInverseDcs,  &c.scanChannel,   &c.txInverseDcs,  &c.rxCodeN,    &c.rxCodeA,        &c.txCodeN,
        &c.txCodeA,       &c.rxSquelch,     &c.txSquelch,     nullptr,       nullptr,           &c.channelSpare1,
        &c.channelSpare2, &c.channelSpare3, &c.channelSpare4, &c.rxStepCode, &c.txStepCode};
    for (std::size_t i = 0; i < kChannelFields; ++i) {
        if (!ints[i]) continue;
        const auto v = wholeNumber(f[i]);
        if (!v) return std::nullopt;
        *ints[i] = *v;
    }
    c.label = emptyIfNull(f[0]);
    c.rxFrequency = emptyIfNull(f[15]);
    c.txFrequency = emptyIfNull(f[16]);
    return c;
}

// ---- Paste --------------------------------------------------------------------------

// One checked row: what its channel becomes.
struct PlannedChannel {
    int channel = 0;
    bool skip = false;   // nothing to write
    bool clear = false;  // the channel is emptied
    ChannelEntry entry;  // otherwise: its new contents
    bool priority = false;
    bool powerOn = false;
};

void planSpreadsheetRow(const ChannelRows& rows, const ChannelRows::Row& row, const ChannelEntry& target, int model,
                        int radioBand, RowCheck& check, PlannedChannel& plan) {
    std::array<const std::string*, kGridColumnCount> cell{};
    for (std::size_t i = 0; i < rows.columns.size() && i < row.cells.size(); ++i) {
        const int col = rows.columns[i];
        if (col > kColumnChannel && col < kGridColumnCount) cell[std::size_t(col)] = &row.cells[i];
    }
    static const std::string kEmpty;
    auto text = [&](int col) -> const std::string& {
        return cell[std::size_t(col)] ? *cell[std::size_t(col)] : kEmpty;
    };
    auto has = [&](int col) { return cell[std::size_t(col)] != nullptr; };
    bool anyValue = false;
    for (int col = kColumnLabel; col < kGridColumnCount; ++col)
        if (col != kColumnRxFrequency && !trim(text(col)).empty()) anyValue = true;

    const bool wasProgrammed = target.isProgrammed();
    ChannelEntry e = target;
    if (has(kColumnRxFrequency)) {
        if (trim(text(kColumnRxFrequency)).empty()) {
            if (anyValue) {
                check.fail(kColumnRxFrequency, "is empty; a channel with settings needs its receive frequency");
                return;
            }
            plan.clear = true;
            return;
        }
        if (const auto f = checkFrequency(check, kColumnRxFrequency, text(kColumnRxFrequency), model, radioBand))
            e.rxFrequency = *f;
    } else if (!wasProgrammed) {
        if (anyValue)
            check.fail(-1, "the channel is not programmed; paste its Rx Freq. with the other columns");
        else
            plan.skip = true;
        return;
    }
    if (has(kColumnLabel)) {
        if (const auto l = checkLabel(check, text(kColumnLabel))) e.label = *l;
    }
    if (has(kColumnRxOption)) {
        if (const auto sq = checkSquelch(check, kColumnRxOption, text(kColumnRxOption))) {
            e.rxSquelch = sq->code;
            e.rxInverseDcs = sq->inverseDcs;
        }
    }
    if (has(kColumnTxFrequency)) {
        if (trim(text(kColumnTxFrequency)).empty()) {
            e.txFrequency.clear();
        } else if (const auto f =
                       checkFrequency(check, kColumnTxFrequency, text(kColumnTxFrequency), model, radioBand)) {
            e.txFrequency = *f;
        }
    }
    if (has(kColumnTxOption) && !(trim(text(kColumnTxOption)).empty() && e.txFrequency.empty())) {
        if (const auto sq = checkSquelch(check, kColumnTxOption, text(kColumnTxOption))) {
            e.txSquelch = sq->code;
            e.txInverseDcs = sq->inverseDcs;
        }
    }
    if (has(kColumnScan)) {
        if (const auto v = checkSwitch(check, kColumnScan, text(kColumnScan))) e.scanChannel = *v;
    }
    // A channel programmed now gets "S" and "High" unless the row says
    // otherwise, as the channel dialog gives it.
    const std::string bw = upperNoBlanks(text(kColumnBandwidth));
    if (bw == "S")
        e.bandwidth = 1;
    else if (bw == "N")
        e.bandwidth = 0;
    else if (!bw.empty())
        check.fail(kColumnBandwidth, "'" + text(kColumnBandwidth) + "' should be S or N");
    else if (!wasProgrammed || has(kColumnBandwidth))
        e.bandwidth = 1;
    const std::string power = upperNoBlanks(text(kColumnTxPower));
    if (power == "HIGH" || power == "H")
        e.txPower = 1;
    else if (power == "LOW" || power == "L")
        e.txPower = 0;
    else if (!power.empty())
        check.fail(kColumnTxPower, "'" + text(kColumnTxPower) + "' should be High or Low");
    else if (!wasProgrammed || has(kColumnTxPower))
        e.txPower = 1;

    plan.priority = wasProgrammed && target.priorityChannel == 1;
    plan.powerOn = wasProgrammed && target.powerOnChannel == 1;
    if (has(kColumnPriority)) {
        if (const auto v = checkSwitch(check, kColumnPriority, text(kColumnPriority))) plan.priority = *v == 1;
    }
    if (has(kColumnPowerOn)) {
        if (const auto v = checkSwitch(check, kColumnPowerOn, text(kColumnPowerOn))) plan.powerOn = *v == 1;
    }
    e.inUse = 1;
    plan.entry = std::move(e);
}

void planOwnRow(const ChannelEntry& copied, int model, int radioBand, RowCheck& check, PlannedChannel& plan) {
    if (!copied.isProgrammed()) {
        plan.clear = true;
        return;
    }
    for (const ChannelFieldIssue& fault : checkStoredChannel(copied, model, radioBand))
        check.fail(columnOfField(fault.field), fault.text);
    ChannelEntry e = copied;
    // Frequencies in the grid's own form.
    e.rxFrequency = checkChannelFrequency(copied.rxFrequency, model, radioBand).value;
    e.txFrequency = checkChannelFrequency(copied.txFrequency, model, radioBand).value;
    plan.priority = copied.priorityChannel == 1;
    plan.powerOn = copied.powerOnChannel == 1;
    plan.entry = std::move(e);
}

}  // namespace

std::string_view gridColumnName(int column) {
    if (column < 0 || column >= kGridColumnCount) return {};
    return columnNames()[std::size_t(column)];
}

std::string_view gridColumnField(int column) {
    if (column < 0 || column >= kGridColumnCount) return {};
    return kColumnFields[std::size_t(column)];
}

int gridColumnFromName(std::string_view name) {
    std::string key = upperNoBlanks(name);
    if (!key.empty() && key.back() == '.') key.pop_back();
    for (int c = 0; c < kGridColumnCount; ++c) {
        std::string k = upperNoBlanks(columnNames()[std::size_t(c)]);
        if (!k.empty() && k.back() == '.') k.pop_back();
        if (k == key) return c;
    }
    return -1;
}

std::string channelCellText(const ChannelEntry& c, int channel, int column) {
    const bool programmed = c.isProgrammed();
    switch (column) {
        case kColumnChannel:
            return std::to_string(channel);
        case kColumnLabel:
            return programmed ? cp1252ToUtf8(c.label) : std::string();
        case kColumnRxFrequency:
            return c.rxFrequency == "NULL" ? std::string() : cp1252ToUtf8(c.rxFrequency);
        case kColumnRxOption:
            return programmed ? toneCodeText(c.rxSquelch, c.rxInverseDcs) : std::string();
        case kColumnTxFrequency:
            return cp1252ToUtf8(c.txFrequency);
        case kColumnTxOption:
            return c.txFrequency.empty() ? std::string() : toneCodeText(c.txSquelch, c.txInverseDcs);
        case kColumnScan:
            return c.scanChannel != 0 ? "ON" : "";
        case kColumnBandwidth:
            if (!programmed) return {};
            return c.bandwidth == 1 ? "S" : c.bandwidth == 0 ? "N" : "";
        case kColumnTxPower:
            if (!programmed) return {};
            return c.txPower == 1 ? "High" : c.txPower == 0 ? "Low" : "";
        case kColumnPriority:
            return programmed && c.priorityChannel == 1 ? "ON" : "";
        case kColumnPowerOn:
            return programmed && c.powerOnChannel == 1 ? "ON" : "";
        default:
            return {};
    }
}

int shownChannelCount(const ChannelTable& table, int group) {
    if (!validGroup(group)) return 0;
    return std::clamp(table.groups[std::size_t(group)].capability, 0, kChannelCapacity);
}

std::string channelsToTsv(const ChannelTable& table, int group, const std::vector<int>& channels) {
    std::string out;
    for (int c = 0; c < kGridColumnCount; ++c) {
        if (c) out += '\t';
        out += columnNames()[std::size_t(c)];
    }
    out += '\n';
    if (!validGroup(group)) return out;
    for (int ch : channels) {
        if (ch < 1 || ch > kChannelCapacity) continue;
        const ChannelEntry& e = table.groups[std::size_t(group)].channels[std::size_t(ch)];
        for (int c = 0; c < kGridColumnCount; ++c) {
            if (c) out += '\t';
            out += quoteField(channelCellText(e, ch, c));
        }
        out += '\n';
    }
    return out;
}

std::string channelsToOwnFormat(const RadioSettings& settings, int group, const std::vector<int>& channels) {
    std::vector<int> valid;
    if (validGroup(group))
        for (int ch : channels)
            if (ch >= 1 && ch <= kChannelCapacity) valid.push_back(ch);
    std::string out = joinCsvLine({std::string(kOwnFormatTag), std::to_string(kOwnFormatVersion),
                                   std::to_string(settings.header.model), std::to_string(settings.header.radioBand),
                                   std::to_string(group), std::to_string(valid.size())});
    for (int ch : valid) {
        std::vector<std::string> fields{std::to_string(ch)};
        const auto rest = channelFields(settings.channelTable.groups[std::size_t(group)].channels[std::size_t(ch)]);
        fields.insert(fields.end(), rest.begin(), rest.end());
        out += joinCsvLine(fields);
    }
    return out;
}

ChannelRows parseSpreadsheetText(std::string_view text, int anchorColumn) {
    ChannelRows result;
    auto rows = splitRows(text);
    if (rows.empty()) return result;
    // A header line: at least one field names a column, and most do.
    const auto& first = rows.front().second;
    int named = 0, filled = 0;
    for (const std::string& f : first) {
        if (trim(f).empty()) continue;
        ++filled;
        if (gridColumnFromName(f) >= 0) ++named;
    }
    const bool header = named > 0 && named * 2 >= filled;
    std::size_t width = 0;
    for (const auto& r : rows) width = std::max(width, r.second.size());
    if (header) {
        for (const std::string& f : first) result.columns.push_back(gridColumnFromName(f));
        rows.erase(rows.begin());
    } else {
        int start = std::clamp(anchorColumn, 0, kGridColumnCount - 1);
        if (start == kColumnChannel && width < std::size_t(kGridColumnCount)) start = kColumnLabel;
        for (std::size_t i = 0; i < width; ++i) {
            const int col = start + static_cast<int>(i);
            result.columns.push_back(col < kGridColumnCount ? col : -1);
        }
    }
    for (auto& [line, cells] : rows) {
        cells.resize(std::max(cells.size(), result.columns.size()));
        result.rows.push_back({line, std::move(cells)});
    }
    return result;
}

std::optional<ChannelRows> parseOwnFormat(std::string_view text) {
    const std::vector<std::string_view> lines = splitTextLines(text);
    if (lines.empty()) return std::nullopt;
    const auto head = splitCsvLine(lines.front());
    if (head.size() < 6 || head[0] != kOwnFormatTag || wholeNumber(head[1]) != kOwnFormatVersion) return std::nullopt;
    const auto count = wholeNumber(head[5]);
    if (!count || *count < 0 || std::size_t(*count) + 1 > lines.size()) return std::nullopt;
    ChannelRows rows;
    rows.ownFormat = true;
    for (int i = 1; i <= *count; ++i) {
        auto fields = splitCsvLine(lines[std::size_t(i)]);
        if (fields.size() != kChannelFields + 1) return std::nullopt;
        fields.erase(fields.begin());
        const auto entry = channelFromFields(fields);
        if (!entry) return std::nullopt;
        rows.entries.push_back(*entry);
    }
    return rows;
}

std::string formatClipboardIssue(const ClipboardIssue& issue) {
    std::string s;
    if (issue.row > 0) s = "row " + std::to_string(issue.row) + " (channel " + std::to_string(issue.channel) + ")";
    if (!issue.column.empty()) s += (s.empty() ? "" : ", ") + issue.column;
    return s + (s.empty() ? "" : ": ") + issue.reason;
}

PasteOutcome pasteChannels(RadioSettings& settings, int group, int firstChannel, const ChannelRows& rows) {
    PasteOutcome out;
    ChannelTable& table = settings.channelTable;
    const int shown = shownChannelCount(table, group);
    const int count = static_cast<int>(rows.size());
    if (count == 0) {
        out.errors.push_back({0, 0, {}, "there is nothing to paste"});
        return out;
    }
    if (!validGroup(group) || firstChannel < 1 || firstChannel > shown) {
        out.errors.push_back({0, firstChannel, {}, "choose a channel row to paste into"});
        return out;
    }
    const int model = settings.header.model;
    const int band = settings.header.radioBand;

    std::vector<PlannedChannel> plans;
    int priorities = 0, powerOns = 0;
    for (int i = 0; i < count; ++i) {
        const int channel = firstChannel + i;
        RowCheck check(out.errors, i + 1, channel);
        if (channel > shown) {
            check.fail(-1, "this list has no channel " + std::to_string(channel) + " (it has " + std::to_string(shown) +
                               " channels)");
            continue;
        }
        PlannedChannel plan;
        plan.channel = channel;
        const ChannelEntry& target = table.groups[std::size_t(group)].channels[std::size_t(channel)];
        if (rows.ownFormat)
            planOwnRow(rows.entries[std::size_t(i)], model, band, check, plan);
        else
            planSpreadsheetRow(rows, rows.rows[std::size_t(i)], target, model, band, check, plan);
        if (!check.ok()) continue;
        if (!plan.clear && !plan.skip) {
            if (plan.priority && ++priorities > 1)
                check.fail(kColumnPriority, "only one channel of a group can be the priority channel");
            if (plan.powerOn && ++powerOns > 1)
                check.fail(kColumnPowerOn, "only one channel of a group can be the power-on channel");
        }
        plans.push_back(std::move(plan));
    }
    if (!out.errors.empty()) return out;

    // Everything checked: write.
    ChannelGroup& g = table.groups[std::size_t(group)];
    for (PlannedChannel& p : plans) {
        if (p.skip) continue;
        if (p.clear) {
            clearChannel(table, settings.option, group, p.channel);
            continue;
        }
        ChannelEntry& c = g.channels[std::size_t(p.channel)];
        const bool hadPriority = c.isProgrammed() && c.priorityChannel == 1;
        const bool hadPowerOn = c.isProgrammed() && c.powerOnChannel == 1;
        // Marks go through the grid's one-per-group rule: off before the
        // channel changes, on once it is programmed.
        if (hadPriority && !p.priority)
            toggleChannelMark(table, settings.option, group, p.channel, shown, ChannelMark::Priority);
        if (hadPowerOn && !p.powerOn)
            toggleChannelMark(table, settings.option, group, p.channel, shown, ChannelMark::PowerOn);
        p.entry.priorityChannel = hadPriority && p.priority ? 1 : 0;
        p.entry.powerOnChannel = hadPowerOn && p.powerOn ? 1 : 0;
        c = p.entry;
        if (p.priority && !hadPriority)
            toggleChannelMark(table, settings.option, group, p.channel, shown, ChannelMark::Priority);
        if (p.powerOn && !hadPowerOn)
            toggleChannelMark(table, settings.option, group, p.channel, shown, ChannelMark::PowerOn);
    }
    updateAnyScanChannel(table);
    out.ok = true;
    out.firstChannel = firstChannel;
    out.lastChannel = firstChannel + count - 1;
    return out;
}

int clearChannels(ChannelTable& table, OptionSettings& option, int group, const std::vector<int>& channels) {
    if (!validGroup(group)) return 0;
    int programmed = 0;
    for (int ch : channels) {
        if (ch < 1 || ch > kChannelCapacity) continue;
        if (table.groups[std::size_t(group)].channels[std::size_t(ch)].isProgrammed()) ++programmed;
        clearChannel(table, option, group, ch);
    }
    updateAnyScanChannel(table);
    return programmed;
}

std::optional<FillSetting> fillSettingOfColumn(int column) {
    switch (column) {
        case kColumnScan:
            return FillSetting::Scan;
        case kColumnBandwidth:
            return FillSetting::Bandwidth;
        case kColumnTxPower:
            return FillSetting::TxPower;
        case kColumnRxOption:
            return FillSetting::RxSquelch;
        case kColumnTxOption:
            return FillSetting::TxSquelch;
        default:
            return std::nullopt;
    }
}

std::string_view fillSettingName(FillSetting setting) {
    switch (setting) {
        case FillSetting::Scan:
            return gridColumnName(kColumnScan);
        case FillSetting::Bandwidth:
            return gridColumnName(kColumnBandwidth);
        case FillSetting::TxPower:
            return gridColumnName(kColumnTxPower);
        case FillSetting::RxSquelch:
            return gridColumnName(kColumnRxOption);
        case FillSetting::TxSquelch:
            return gridColumnName(kColumnTxOption);
    }
    return {};
}

FillOutcome fillDown(ChannelTable& table, int group, const std::vector<int>& channels, FillSetting setting) {
    FillOutcome out;
    if (!validGroup(group) || channels.size() < 2) {
        out.error = "select the channel to copy from and the channels below it";
        return out;
    }
    ChannelGroup& g = table.groups[std::size_t(group)];
    const int source = channels.front();
    if (source < 1 || source > kChannelCapacity || !g.channels[std::size_t(source)].isProgrammed()) {
        out.error = "channel " + std::to_string(source) + " is not programmed";
        return out;
    }
    const ChannelEntry from = g.channels[std::size_t(source)];
    for (std::size_t i = 1; i < channels.size(); ++i) {
        const int ch = channels[i];
        if (ch < 1 || ch > kChannelCapacity || ch == source) continue;
        ChannelEntry& c = g.channels[std::size_t(ch)];
        if (!c.isProgrammed()) {
            ++out.skipped;
            continue;
        }
        const ChannelEntry before = c;
        switch (setting) {
            case FillSetting::Scan:
                c.scanChannel = from.scanChannel;
                break;
            case FillSetting::Bandwidth:
                c.bandwidth = from.bandwidth;
                break;
            case FillSetting::TxPower:
                c.txPower = from.txPower;
                break;
            case FillSetting::RxSquelch:
                c.rxSquelch = from.rxSquelch;
                c.rxInverseDcs = from.rxInverseDcs;
                break;
            case FillSetting::TxSquelch:
                c.txSquelch = from.txSquelch;
                c.txInverseDcs = from.txInverseDcs;
                break;
        }
        if (!(c == before)) ++out.changed;
    }
    if (setting == FillSetting::Scan) updateAnyScanChannel(table);
    out.ok = true;
    return out;
}

}  // namespace ks340
