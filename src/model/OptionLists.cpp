#include "model/OptionLists.h"

#include <cctype>
#include <charconv>
#include <cmath>

namespace ks340::optionlists {

namespace {

ItemList numberSteps(int first, int last, int step) {
    ItemList items;
    for (int v = first; v <= last; v += step) items.push_back(std::to_string(v));
    return items;
}

constexpr std::array<std::string_view, kKeyAsicControl + 1> kKeyFunctionTexts{
    "N/A",        "Power",   "Light", "Monitor",   "Lock", "Scan",  "Public Address",
    "Open/Close", "Selcall", "SMS",   "1200/2400", "DTMF", "Group", "Asic Control"};

// Two decimals, independent of the process locale.
std::string twoDecimals(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc()) return "0.00";
    return std::string(buffer, result.ptr);
}

// The leading number of a text the way the C library's atof reads it
// (blanks, sign, digits with an optional point and exponent); false when
// the text does not start with a number.
bool leadingNumber(std::string_view text, double& value) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Only plain decimal numbers: no "inf", "nan" or hexadecimal forms.
    if (i >= text.size() || !(std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) return false;
    double parsed = 0;
    const auto result = std::from_chars(text.data() + i, text.data() + text.size(), parsed,
                                        std::chars_format::fixed | std::chars_format::scientific);
    if (result.ec == std::errc::invalid_argument) return false;
    if (result.ec == std::errc::result_out_of_range) parsed = HUGE_VAL;
    value = negative ? -parsed : parsed;
    return true;
}

}  // namespace

std::string itemText(const ItemList& items, int position) {
    if (position < 0 || position >= static_cast<int>(items.size())) return {};
    return items[static_cast<std::size_t>(position)];
}

std::string_view keyFunctionText(int code) {
    if (code < 0 || code > kKeyAsicControl) return {};
    return kKeyFunctionTexts[static_cast<std::size_t>(code)];
}

int lastKeyCode(int slot) { return slot == kAsicControlSlot ? kKeyAsicControl : kKeyGroup; }

std::vector<int> keyListCodes(int slot, const std::array<int, kKeySlots>& held) {
    std::vector<int> codes{kKeyNone};
    for (int code = kKeyNone + 1; code <= kKeyGroup; ++code) {
        bool heldElsewhere = false;
        for (int other = 0; other < kKeySlots; ++other)
            if (other != slot && held[static_cast<std::size_t>(other)] == code) heldElsewhere = true;
        if (!heldElsewhere || held[static_cast<std::size_t>(slot)] == code) codes.push_back(code);
    }
    if (slot == kAsicControlSlot) codes.push_back(kKeyAsicControl);
    return codes;
}

int keyMode(int shortCode, int longCode) {
    if (shortCode == kKeyMonitor) return 1;
    if (shortCode != kKeyNone) return 3;
    if (longCode == kKeyNone) return 0;
    return longCode == kKeyMonitor ? 1 : 3;
}

const ItemList& disableEnableItems() {
    static const ItemList items{"Disable", "Enable"};
    return items;
}

const ItemList& offOnItems() {
    static const ItemList items{"Off", "On"};
    return items;
}

const ItemList& closeOpenItems() {
    static const ItemList items{"Close", "Open"};
    return items;
}

const ItemList& openLockItems() {
    static const ItemList items{"Off", "Auto Open", "Lock PTT"};
    return items;
}

const ItemList& scanTypeItems() {
    static const ItemList items{"Auto Group Scan", "Manual Group Scan"};
    return items;
}

const ItemList& txTimerItems() {
    static const ItemList items = numberSteps(10, 990, 10);
    return items;
}

const ItemList& txInhibitItems() {
    static const ItemList items = numberSteps(5, 75, 5);
    return items;
}

const ItemList& scanWaitTimeItems() {
    static const ItemList items = numberSteps(0, 15, 1);
    return items;
}

const ItemList& priorityLbTimeItems() {
    static const ItemList items = numberSteps(0, 7, 1);
    return items;
}

int txTimerPosition(int txTimer) {
    const int count = static_cast<int>(txTimerItems().size());
    return txTimer >= 1 && txTimer <= count ? txTimer - 1 : kTxTimerShownWhenOff;
}

int txInhibitPosition(int txInhibit) {
    const int count = static_cast<int>(txInhibitItems().size());
    return txInhibit >= 1 && txInhibit <= count ? txInhibit - 1 : kTxInhibitShownWhenOff;
}

std::string txTimerText(int txTimer) { return itemText(txTimerItems(), txTimerPosition(txTimer)); }

std::string txInhibitText(int txInhibit) { return itemText(txInhibitItems(), txInhibitPosition(txInhibit)); }

std::string_view scanTxText(int value) {
    switch (value) {
        case kScanTxPriorityOnly:
            return "Priority Only Tx";
        case kScanTxPriorityScan:
            return "Priority Scan Tx";
        case kScanTxRxOnly:
            return "Rx Only/No Tx";
        case kScanTxNormal:
            return "Normal Scan Tx";
        default:
            return {};
    }
}

std::array<int, 2> scanTxPair(int scanTx) {
    if (isPriorityScanTx(scanTx)) return {kScanTxPriorityScan, kScanTxPriorityOnly};
    return {kScanTxNormal, kScanTxRxOnly};
}

int scanTxPosition(int scanTx) {
    switch (scanTx) {
        case kScanTxPriorityOnly:
        case kScanTxRxOnly:
            return 1;
        case kScanTxPriorityScan:
        case kScanTxNormal:
            return 0;
        default:
            return -1;
    }
}

std::string scanSpeedTimeText(int stored) { return twoDecimals((static_cast<double>(stored) + 1.0) * 0.01); }

std::string correctScanSpeedText(std::string_view typed) {
    double x = 0;
    if (!leadingNumber(typed, x) || x < 0.05) return scanSpeedTimeText(kScanSpeedTimeDefault);
    if (x > 2.0) return "2.00";
    return twoDecimals(x);
}

int scanSpeedTimeValue(std::string_view shown) {
    double x = 0;
    if (!leadingNumber(shown, x)) return -1;
    return static_cast<int>(std::lround(x * 100.0)) - 1;
}

}  // namespace ks340::optionlists
