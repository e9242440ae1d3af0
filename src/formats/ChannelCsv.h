// Channel lists as CSV files, in two layouts:
//
//  - Native: this program's own columns, one row per programmed channel as
//    the channel grid shows it: Group,CH,Label,Rx Freq.,RX Option,Tx Freq.,
//    Tx Option,Scan CH,BandWidth,Tx Power,Priority CH,PowON CH. Squelch
//    texts are the grid's ("OFF", "CTCSS : 67.0", "DCS : 023",
//    "Inv DCS : 023").
//  - Common: the channel CSV that multi-radio programming tools exchange
//    (Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,
//    DtcsCode,DtcsPolarity,Mode,TStep,Skip,Power,Comment, then RxDtcsCode and
//    CrossMode). Duplex and Offset give the transmit frequency, the tone mode
//    the CTCSS/DCS codes, Mode FM/NFM the bandwidth and Skip the scan mark
//    ("S" not scanned, "P" the priority channel). It has no power-on mark.
//    Location is the channel number in the all-channel list, and in group
//    scan mode the position counted through groups 1..13 in order.
//
// An import replaces every channel of the channel list the grid shows and
// keeps the group layout. Every row is checked by the channel rules
// (model/ChannelValidator.h) for the configuration's model and band. It is
// all-or-nothing unless asked otherwise: any bad row leaves the configuration
// untouched and every fault is reported with its line and column. Asked to
// skip unfit rows, it imports the rows that fit and lists the others.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/RadioSettings.h"

namespace ks340 {

enum class ChannelCsvFormat { Native, Common };

// Column headers of the two layouts, in the order they are written.
const std::vector<std::string>& nativeCsvColumns();
const std::vector<std::string>& commonCsvColumns();

// "native" / "common" and back (case-insensitive); nothing for other names.
std::string_view channelCsvFormatName(ChannelCsvFormat format);
std::optional<ChannelCsvFormat> channelCsvFormatFromName(std::string_view name);

// The layout whose header a first line holds; nothing when it is neither.
std::optional<ChannelCsvFormat> detectChannelCsvFormat(std::string_view headerLine);

// Every programmed channel of the shown channel list, UTF-8, CRLF line ends.
std::string exportChannelCsv(const RadioSettings& settings, ChannelCsvFormat format);

struct CsvIssue {
    int line = 0;        // 1-based line of the file
    std::string column;  // header name of the column, empty for the whole row
    std::string reason;
    bool operator==(const CsvIssue&) const = default;
};

// "line 4, Frequency: ..." (or "line 4: ..." without a column).
std::string formatCsvIssue(const CsvIssue& issue);

struct CsvImportOptions {
    // Labels longer than 8 characters are cut instead of refused.
    bool cutLongLabels = false;
    // The layout to expect; by default it is taken from the header line.
    std::optional<ChannelCsvFormat> format;
    // Rows that cannot be stored (outside the band, off the raster, a bad
    // label, a second priority mark, ...) are left out and listed in
    // `skipped`; the others are imported. A bad header still fails, and so
    // does a file none of whose rows fits.
    bool skipUnfit = false;
};

struct CsvImportResult {
    bool ok = false;
    ChannelCsvFormat format = ChannelCsvFormat::Native;
    int channels = 0;               // channels imported
    std::vector<CsvIssue> errors;   // when !ok; the configuration is unchanged
    std::vector<CsvIssue> notes;    // when ok: labels that were cut
    std::vector<CsvIssue> skipped;  // when ok with skipUnfit: the faults of the rows left out
    int unfitRows = 0;              // rows with a fault (lines counted once)
    int fittingRows = 0;            // rows that can be stored
};

// Reads a CSV (UTF-8, with or without a byte order mark, CRLF or LF) into
// the channel table of `settings`.
CsvImportResult importChannelCsv(std::string_view text, RadioSettings& settings, const CsvImportOptions& options = {});

}  // namespace ks340
