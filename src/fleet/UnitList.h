// The unit list of a fleet job: one row per radio, a "Unit" column naming
// it and one column per setting key with that radio's value. Every unit's
// configuration is built from the base and checked before any radio is
// touched: a list with any fault is refused whole.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "image/MemoryImage.h"
#include "model/RadioSettings.h"

namespace ks340::fleet {

inline constexpr const char* kUnitColumn = "Unit";
inline constexpr std::size_t kMaxUnitNameLength = 40;
inline constexpr std::size_t kMaxUnits = 10000;

struct UnitListError {
    int line = 0;        // 1-based line of the file
    std::string column;  // the column's heading, empty for the whole line
    std::string reason;
    bool operator==(const UnitListError&) const = default;
};

// "line 4, column encode.aniSequence: at most 8 digits"
std::string formatUnitListError(const UnitListError& error);

struct UnitRow {
    int line = 0;
    std::string name;
    std::vector<std::pair<std::string, std::string>> values;  // key, value in column order
};

struct UnitPlan {
    std::string name;
    int line = 0;
    RadioSettings settings;  // the base with the row's values, prepared for a transfer
    MemoryImage image{};     // what the write sends
    std::string imageSha256;
};

struct FleetPlan {
    std::vector<UnitPlan> units;
    std::vector<UnitListError> errors;  // any error: no unit is to be written
    bool ok() const { return errors.empty() && !units.empty(); }
};

// Reads the unit list (CSV, first line the headings) and builds every
// unit's configuration from `base`, each value through the settings
// registry. A unit name is 1..40 letters, digits, spaces, '-', '_', '.' or
// '#', not starting with '.', and unique (any case); a row may not change
// the model or band of the base.
FleetPlan planFleet(const RadioSettings& base, std::string_view unitListText);

// The unit's name as a file name part: spaces become '_'.
std::string unitFileStem(std::string_view unitName);

}  // namespace ks340::fleet
