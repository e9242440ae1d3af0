// The rules a channel must meet before it is stored: the label's alphabet
// and length, the band limits of the radio's model and band, the channel
// raster, and the squelch settings written as text. Every way into the
// channel table (the channel dialog, editing in the grid, paste, CSV import,
// setting a key from the command line) checks through these functions, so
// that whatever one of them accepts the others accept too.
//
// Texts given and returned are UTF-8; labels are stored as Windows-1252
// bytes (ChannelEntry::label).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/RadioSettings.h"
#include "model/SquelchText.h"

namespace ks340 {

// Characters in a channel label.
inline constexpr int kChannelLabelLength = 8;

// The label alphabet, which all display texts share: letters and decimal
// digits that Windows-1252 can hold (accented Latin letters and Š š Œ œ Ž ž
// Ÿ ƒ included, as the desktop classes them), space and # ' ( ) * + - . / ? \ _.
// The comma is not in it.
bool isLabelCharacter(char32_t codePoint);
// The same test for one stored Windows-1252 byte.
bool isLabelByte(unsigned char byte);

// Result of checking one field.
struct FieldCheck {
    bool ok = false;
    // When ok: what to store. Label: Windows-1252 bytes. Frequency: the
    // "%.5f" MHz text, empty for an empty field (not programmed).
    std::string value;
    std::string reason;  // when !ok: the fault, in words for the user
    std::string notice;  // when ok: what was changed on the way, if anything
};

// A label as typed or read. Characters outside the alphabet are a fault;
// more than 8 characters are a fault, or cut to 8 with a notice when
// cutLong is set.
FieldCheck checkChannelLabel(std::string_view utf8, bool cutLong = false);

// How a frequency text is taken.
enum class FrequencyEntry {
    // Typed in the channel dialog or the grid: the leading number counts
    // (no number reads as 0); a value off the raster is moved onto the
    // 12.5 kHz raster as the dialog always did, with a notice saying so.
    Typed,
    // Read from a file, the clipboard or the command line: the text must be
    // a number of MHz ("446.00625", "446.00625 MHz", "446,00625"); a value
    // off the raster is a fault whose reason names the nearest frequency
    // that would be accepted.
    Exact,
};

// A frequency in MHz: within the band limits of (model, radioBand), limits
// included, and on the channel raster (a whole multiple of 2.5, 5 or
// 6.25 kHz). An empty (or blank) text is ok with an empty value.
FieldCheck checkChannelFrequency(std::string_view text, int model, int radioBand,
                                 FrequencyEntry entry = FrequencyEntry::Exact);

// The frequency in hertz nearest to hz that the raster and the band allow.
std::int64_t nearestChannelFrequencyHz(std::int64_t hz, int model, int radioBand);

// "UHF2, 440 to 480 MHz": the band named once, with its limits.
std::string bandRangeText(int model, int radioBand);

// A squelch setting as text (see parseSquelchText): the setting, or the
// fault naming the forms that are understood.
struct SquelchCheck {
    bool ok = false;
    SquelchSetting setting;
    std::string reason;
};
SquelchCheck checkSquelchText(std::string_view text);

// --- Whole rows ---------------------------------------------------------------

enum class ChannelField { Label, RxFrequency, TxFrequency, RxSquelch, TxSquelch };

struct ChannelFieldIssue {
    ChannelField field;
    std::string text;
    bool operator==(const ChannelFieldIssue&) const = default;
};

// The fields of a row as texts; a field not given stays as it is.
struct ChannelRowText {
    std::optional<std::string> label;
    std::optional<std::string> rxFrequency;
    std::optional<std::string> txFrequency;
    std::optional<std::string> rxSquelch;
    std::optional<std::string> txSquelch;
};

struct ChannelRules {
    int model = 0;
    int radioBand = 0;
    FrequencyEntry entry = FrequencyEntry::Exact;
    bool cutLongLabels = false;
};

struct ChannelRowCheck {
    ChannelEntry entry;                     // the base channel with the given fields applied
    std::vector<ChannelFieldIssue> faults;  // nothing may be stored when there is one
    std::vector<ChannelFieldIssue> notices;
    bool ok() const { return faults.empty(); }
};

// Checks the given fields of a row and applies them to a copy of base.
// Every field is checked, so every fault of the row is reported at once.
ChannelRowCheck checkChannelRow(const ChannelEntry& base, const ChannelRowText& row, const ChannelRules& rules);

// Checks a channel as stored (label bytes, frequency texts, tone codes),
// as a copied or loaded channel arrives. An unprogrammed channel passes.
std::vector<ChannelFieldIssue> checkStoredChannel(const ChannelEntry& entry, int model, int radioBand);

}  // namespace ks340
