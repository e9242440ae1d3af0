// Channel grid rows on the clipboard, and the editing that works on several
// rows at once: paste, clear, fill down.
//
// Copy gives two forms of the same rows: tab-separated text with a header
// line holding the grid's column texts (a spreadsheet shows the rows as the
// grid does), and this program's own form, which carries each channel
// exactly as the setting file holds it. Paste takes either, or text typed in
// a spreadsheet, and writes the channels from a target row on. A paste is
// all or nothing: every row is checked against the band and the channel
// raster of the configuration's model and band, and when one row fails the
// configuration is left untouched and every failing row is reported.
//
// Texts given and returned here are UTF-8; the record holds Windows-1252.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/RadioSettings.h"

namespace ks340 {

// The channel grid's columns, numbered as the grid numbers them.
enum GridColumn : int {
    kColumnChannel = 0,
    kColumnLabel,
    kColumnRxFrequency,
    kColumnRxOption,
    kColumnTxFrequency,
    kColumnTxOption,
    kColumnScan,
    kColumnBandwidth,
    kColumnTxPower,
    kColumnPriority,
    kColumnPowerOn,
    kGridColumnCount
};

// "CH", "Label", "Rx Freq.", "RX Option", "Tx Freq.", "Tx Option",
// "Scan CH", "BandWidth", "Tx Power", "Priority CH", "PowON CH" (the
// channel fields' names in the settings table); empty for another number.
std::string_view gridColumnName(int column);
// The channel field a column shows ("label", "rxFrequency", ...); empty for
// "CH" and another number.
std::string_view gridColumnField(int column);
// The column a header text names (case, spaces and a final '.' do not
// matter), or -1.
int gridColumnFromName(std::string_view name);

// The text of channel `channel`'s cell in `column`, as the grid shows it.
std::string channelCellText(const ChannelEntry& entry, int channel, int column);

// Channel rows the grid shows for a group: its capability within 0..208.
int shownChannelCount(const ChannelTable& table, int group);

// MIME type of this program's own form.
inline constexpr std::string_view kChannelClipboardMimeType = "application/x-ks340-channels";

// Channels of `group` (numbers 1.., in the order given) as tab-separated
// text: a header line with the column names, then one line per channel
// with its grid texts; "\n" line ends. A field holding a tab, a line end or
// a double quote is quoted the way spreadsheets quote.
std::string channelsToTsv(const ChannelTable& table, int group, const std::vector<int>& channels);

// The same channels in the own form: a first line naming the form, the
// model, band and group, then per channel its number and its 23 setting-file
// fields. Windows-1252 bytes.
std::string channelsToOwnFormat(const RadioSettings& settings, int group, const std::vector<int>& channels);

// Clipboard content read back, ready to paste.
struct ChannelRows {
    struct Row {
        int line = 0;                    // 1-based line of the text
        std::vector<std::string> cells;  // one per entry of `columns`
    };
    bool ownFormat = false;
    // Spreadsheet text: the grid column of each field (-1 for a column the
    // grid does not have) and the rows.
    std::vector<int> columns;
    std::vector<Row> rows;
    // Own form: the channels as copied.
    std::vector<ChannelEntry> entries;

    std::size_t size() const { return ownFormat ? entries.size() : rows.size(); }
};

// Splits spreadsheet text (tabs between fields, CRLF or LF between rows,
// quoted fields). A first line of column names says which column each field
// fills; without one the fields fill the columns from `anchorColumn` on
// (column 0, the channel number, counts as Label unless a row has all
// eleven fields). Blank lines are dropped.
ChannelRows parseSpreadsheetText(std::string_view text, int anchorColumn);

// Reads the own form; nothing when the text is not in it or is damaged.
std::optional<ChannelRows> parseOwnFormat(std::string_view text);

struct ClipboardIssue {
    int row = 0;         // 1-based row of the pasted rows (0: the whole paste)
    int channel = 0;     // channel the row was to go to
    std::string column;  // column name, empty for the whole row
    std::string reason;
    bool operator==(const ClipboardIssue&) const = default;
};

// "row 3 (channel 14), Rx Freq.: ..." .
std::string formatClipboardIssue(const ClipboardIssue& issue);

struct PasteOutcome {
    bool ok = false;
    int firstChannel = 0;
    int lastChannel = 0;                 // channels written: first..last
    std::vector<ClipboardIssue> errors;  // when !ok; nothing was changed
};

// Writes the rows into channels firstChannel.. of `group`. A row with an
// empty Rx Freq. (and nothing else) empties its channel. Priority CH and
// PowON CH stay one per group, and scanTx follows the priority channel as
// it does for a click in the grid.
PasteOutcome pasteChannels(RadioSettings& settings, int group, int firstChannel, const ChannelRows& rows);

// Empties the channels (as "Channel Clear" does each); returns how many of
// them were programmed.
int clearChannels(ChannelTable& table, OptionSettings& option, int group, const std::vector<int>& channels);

// Settings "Fill down" copies from the first selected channel to the others.
enum class FillSetting { Scan, Bandwidth, TxPower, RxSquelch, TxSquelch };

// The setting of a grid column (Scan CH, BandWidth, Tx Power, RX Option,
// Tx Option); nothing for the other columns.
std::optional<FillSetting> fillSettingOfColumn(int column);
std::string_view fillSettingName(FillSetting setting);

struct FillOutcome {
    bool ok = false;
    int changed = 0;    // channels whose setting changed
    int skipped = 0;    // channels left alone because they are not programmed
    std::string error;  // when !ok
};

// Copies one setting of channels[0] to the other channels of `group` that
// are programmed. The first channel must be programmed.
FillOutcome fillDown(ChannelTable& table, int group, const std::vector<int>& channels, FillSetting setting);

}  // namespace ks340
