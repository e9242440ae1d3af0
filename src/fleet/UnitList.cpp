#include "fleet/UnitList.h"

#include <cctype>
#include <set>

#include "fleet/Sha256.h"
#include "model/SettingFile.h"
#include "model/SettingsRegistry.h"

namespace ks340::fleet {

namespace {

std::string lowerCase(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string trimmed(std::string_view text) {
    std::size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
    return std::string(text.substr(b, e - b));
}

// Why a unit name cannot be used, or empty.
std::string unitNameProblem(const std::string& name) {
    if (name.empty()) return "the unit has no name";
    if (name.size() > kMaxUnitNameLength)
        return "a unit name has at most " + std::to_string(kMaxUnitNameLength) + " characters";
    if (name.front() == '.') return "a unit name cannot start with '.'";
    for (char c : name) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (!(std::isalnum(u) || c == ' ' || c == '-' || c == '_' || c == '.' || c == '#'))
            return "a unit name holds only letters, digits, spaces and - _ . #";
    }
    return {};
}

// The file split into lines without their line ends; a byte order mark
// before the first heading is dropped.
std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    return splitTextLines(text);
}

}  // namespace

std::string formatUnitListError(const UnitListError& error) {
    std::string out = "line " + std::to_string(error.line);
    if (!error.column.empty()) out += ", column " + error.column;
    return out + ": " + error.reason;
}

std::string unitFileStem(std::string_view unitName) {
    std::string stem(unitName);
    for (char& c : stem)
        if (c == ' ') c = '_';
    return stem;
}

FleetPlan planFleet(const RadioSettings& base, std::string_view unitListText) {
    FleetPlan plan;
    auto error = [&plan](int line, std::string column, std::string reason) {
        plan.errors.push_back({line, std::move(column), std::move(reason)});
    };
    const std::vector<std::string_view> lines = splitLines(unitListText);
    if (lines.empty() || trimmed(lines.front()).empty()) {
        error(1, {}, "the unit list is empty: the first line names the columns, one of them \"Unit\"");
        return plan;
    }

    // Headings: exactly one "Unit", every other one a key, none twice.
    std::vector<std::string> headings = splitCsvLine(lines.front());
    for (std::string& h : headings) h = trimmed(h);
    int unitColumn = -1;
    std::set<std::string> seen;
    for (std::size_t i = 0; i < headings.size(); ++i) {
        const std::string& h = headings[i];
        if (h.empty()) {
            error(1, "#" + std::to_string(i + 1), "the column has no heading");
        } else if (!seen.insert(lowerCase(h)).second) {
            error(1, h, "the column appears twice");
        } else if (lowerCase(h) == "unit") {
            unitColumn = static_cast<int>(i);
        }
    }
    if (unitColumn < 0) error(1, {}, "no \"Unit\" column naming each radio");
    if (!plan.errors.empty()) return plan;

    const int model = base.header.model;
    const int band = base.header.radioBand;
    std::set<std::string> names;
    std::vector<UnitRow> rows;
    for (std::size_t n = 1; n < lines.size(); ++n) {
        const int line = static_cast<int>(n + 1);
        if (trimmed(lines[n]).empty()) continue;
        if (rows.size() >= kMaxUnits) {
            error(line, {}, "a unit list holds at most " + std::to_string(kMaxUnits) + " units");
            break;
        }
        const std::vector<std::string> fields = splitCsvLine(lines[n]);
        if (fields.size() != headings.size()) {
            error(line, {},
                  "the line has " + std::to_string(fields.size()) + " fields, the headings " +
                      std::to_string(headings.size()));
            continue;
        }
        UnitRow row;
        row.line = line;
        row.name = trimmed(fields[static_cast<std::size_t>(unitColumn)]);
        if (const std::string why = unitNameProblem(row.name); !why.empty())
            error(line, kUnitColumn, why);
        else if (!names.insert(lowerCase(row.name)).second)
            error(line, kUnitColumn, "the unit \"" + row.name + "\" is named twice");

        UnitPlan unit;
        unit.name = row.name;
        unit.line = line;
        unit.settings = base;
        bool rowOk = true;
        for (std::size_t i = 0; i < fields.size(); ++i) {
            if (static_cast<int>(i) == unitColumn) continue;
            // An empty cell keeps the base's value.
            if (fields[i].empty()) continue;
            std::string why;
            if (!applySetting(unit.settings, headings[i], fields[i], &why)) {
                error(line, headings[i], why.empty() ? "the value is not allowed" : why);
                rowOk = false;
            }
        }
        if (rowOk && (unit.settings.header.model != model || unit.settings.header.radioBand != band)) {
            error(line, {}, "a unit cannot change the model or band of the base configuration");
            rowOk = false;
        }
        if (!rowOk) continue;
        prepareForTransfer(unit.settings);
        encodeMemoryImage(unit.settings, unit.image);
        unit.imageSha256 = sha256Hex(unit.image.data(), unit.image.size());
        plan.units.push_back(std::move(unit));
    }
    if (plan.errors.empty() && plan.units.empty()) error(1, {}, "the unit list names no unit");
    if (!plan.errors.empty()) plan.units.clear();
    return plan;
}

}  // namespace ks340::fleet
