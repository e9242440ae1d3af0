// Record changes the channel table page makes when the user edits the grid:
// marks, clears and counts. The page adds the grid side.
#pragma once

#include <string>
#include <string_view>

#include "model/ChannelValidator.h"
#include "model/RadioSettings.h"

namespace ks340 {

// A channel's grid-toggled marks.
enum class ChannelMark { Scan, Bandwidth, TxPower, Priority, PowerOn };

// Result of a toggle: whether the record changed and the channel's new state.
struct ToggleResult {
    bool changed = false;  // false: unprogrammed channel or bad position
    bool on = false;       // the channel's mark after the toggle
    int previous = 0;      // Priority/PowerOn: channel that lost its mark, 0 = none
};

// Toggles a mark of channel `channel` (1-based) of group `group`, shown with
// `shownChannels` rows. Unprogrammed channels are left alone. Priority and
// PowerOn are one-of-many among the shown channels; a priority change also
// moves option.scanTx between its priority and non-priority values. Scan
// changes keep anyScanChannel up to date.
ToggleResult toggleChannelMark(ChannelTable& table, OptionSettings& option, int group, int channel, int shownChannels,
                               ChannelMark mark);

// scanTx after the priority channel of a group was set or removed:
// "Rx Only/No Tx" <-> "Priority Only Tx", "Normal Scan Tx" <-> "Priority Scan Tx".
int scanTxWithPriority(int scanTx, bool priorityChannelExists);

// Clears one channel ("Channel Clear"): texts empty, every number 0. When it
// was the group's priority channel scanTx loses its priority value; the
// group's priority and power-on numbers are dropped when they name it.
void clearChannel(ChannelTable& table, OptionSettings& option, int group, int channel);

// Empties channels 0..channelCount-1 of one group (inUse and the step codes
// stay), or every channel of every group (inUse cleared as well).
void clearGroupChannels(ChannelTable& table, int group, int channelCount);
void clearAllGroupChannels(ChannelTable& table);

// "All Channel Clear" of one group: its channels, its first/last/priority/
// power-on numbers and the programmed and scan bitmaps.
void clearWholeGroup(ChannelTable& table, int group, int channelCount);

// Recounts every group's usedChannels and totalUsed; returns totalUsed.
int countUsedChannels(ChannelTable& table);

// anyScanChannel := some channel 1..capability of some group is a scan channel.
void updateAnyScanChannel(ChannelTable& table);

// Sets channel `channel` of `group` from a closed channel dialog: label and
// both frequencies and squelch codes; bandwidth and power become "S" and
// "High" unless the channel already had "N" or "Low". An empty rxFrequency
// leaves the channel unchanged (returns false). An empty txFrequency empties
// the transmit frequency and keeps the transmit squelch.
struct ChannelDialogResult {
    std::string label;
    std::string rxFrequency;
    std::string txFrequency;
    int rxSquelch = 0;
    int rxInverseDcs = 0;
    int txSquelch = 0;
    int txInverseDcs = 0;
};
bool applyChannelDialog(ChannelTable& table, int group, int channel, const ChannelDialogResult& result);

// Sets a mark to on or off (a toggle when it differs); false when nothing
// changed.
bool setChannelMark(ChannelTable& table, OptionSettings& option, int group, int channel, int shownChannels,
                    ChannelMark mark, bool on);

// One field of a channel typed in the grid, stored as the channel dialog
// stores it: the same checks and snapping (FrequencyEntry::Typed), an Rx
// frequency programs an empty channel ("S", "High"), an empty Rx text
// changes nothing, an empty Tx text empties the transmit frequency. Label,
// Tx frequency and squelch need a programmed channel.
struct TypedCellEdit {
    bool stored = false;      // the channel changed
    bool outOfRange = false;  // a frequency outside the band (the dialog's warning applies)
    std::string reason;       // when refused
    std::string notice;       // when not refused: a frequency moved onto the raster
};
TypedCellEdit setChannelText(ChannelTable& table, int group, int channel, ChannelField field, std::string_view utf8,
                             int model, int radioBand);

// The next channel after `afterChannel` (wrapping round, 1..shownChannels)
// whose label holds query (letter case aside) or, for a query that is a
// number, whose Rx or Tx frequency starts with it; 0 when none does.
int findChannel(const ChannelTable& table, int group, int shownChannels, int afterChannel, std::string_view query);

// Inserts an empty channel at `channel` of the group's shownChannels: that
// channel and the ones after it move down one, with their priority and
// power-on numbers. Refused (false) when the last channel is programmed,
// which would fall off the end.
bool insertChannel(ChannelTable& table, int group, int channel, int shownChannels);
// Deletes channel `channel` (cleared as "Channel Clear" clears it) and moves
// the channels after it up one; the last channel becomes empty.
bool deleteChannel(ChannelTable& table, OptionSettings& option, int group, int channel, int shownChannels);

}  // namespace ks340
