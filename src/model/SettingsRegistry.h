// Every setting of RadioSettings described once: its key, its name as the
// pages show it, its type and allowed values, its unit and its place in the
// .ks3 line layout. The setting file's reader and writer, ks340ctl's keys,
// get, set, export-json and import-json, and the setting names of reports
// all come from this table.
//
// Keys are "<section>.<field>", the field being the RadioSettings member
// name:
//   header.model  header.radioBand  header.speaker  header.lcdDisplayLogo
//   channels.<field>          the channel table's own line (scanMode, ...)
//   group[G].<field>          group slot G, 0..13: 0 is the all-channel
//                             list (shown as "None"), 1..13 the groups
//   channel[N].<field>        channel N (1..208) of the all-channel list
//   group[G].channel[N].<field>  channel N of group G (G 1..13)
//   option.<field>  tone.<field>  encode.<field>  decode.<field>
//   dtmf.<field>  modem.<field>
// A channel key always names one stored slot, whatever layout the channel
// page shows at the moment: channel[12] is the twelfth channel of the
// all-channel list, group[3].channel[2] the second channel of group 3.
//
// Indexed members carry the number the pages show, in brackets:
//   tone.toneFrequency[0] .. [9], [A] .. [E]   (tones as "Tone 0".."Tone E")
//   tone.userTone[0] .. [E]
//   tone.sequence[1..8].sequence / leadInTime / firstToneTime / leadOutTime
//   decode.entry[1..8].address / action / ack / text
//       (Call 1, Call 2, Call 3, Control 1..4, Group Call)
//   dtmf.dtmfCodes[1..9]  dtmf.dtmfDecodeAddress[1..4]
//   dtmf.dtmfDecodeAction[1..4]  dtmf.statusText[1..10]
//   modem.modemText[1..9]  modem.commonSentence[1..20]
// Arrays of records take the singular name of their element (sequence,
// entry); arrays of plain values keep the member name.
//
// Values are given and shown in the pages' own words: list settings by
// their item text ("Disable", "KS-390 Series", "Normal Scan Tx"), numbers in
// the unit beside their field (option.scanSpeedTime as "0.50"), texts as
// UTF-8 (stored as Windows-1252 bytes).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/RadioSettings.h"

namespace ks340 {

enum class SettingType {
    Number,   // a whole number within minimum..maximum
    Choice,   // one item of a list; each item carries its stored value
    Text,     // a text of at most maxLength characters of its alphabet
    Seconds,  // option.scanSpeedTime: "0.05" .. "2.00" S, stored as hundredths - 1
    Squelch,  // a channel's rxSquelch / txSquelch with its DCS inversion: "OFF", "67.0", "D023N", "D023I"
};

// Where a setting stands in the .ks3 file.
enum class SettingLine {
    Header,
    ChannelTable,
    Group,
    Channel,
    Option,
    ToneSequence,
    SelcallEncode,
    SelcallDecode,
    Dtmf,
    Modem
};

// How the setting file writes the field.
enum class StoredAs {
    Integer,  // decimal
    Text,     // the text, the empty text as "NULL"
    RawText,  // the text unchanged, even empty (the user tone texts)
};

enum class SettingScope { Configuration, Group, Channel };

// Characters a text setting may hold (those its edit field lets through).
enum class TextAlphabet {
    Any,             // every byte but control characters
    Printable,       // letters, digits, space and # ' ( ) * + - . / ? \ _
    OneToEight,      // "1".."8" (sequence numbers)
    DtmfDigits,      // 0-9 A-D a-d * #
    SelcallAddress,  // 0-9 A-E a-e S s X x
    ToneSequence,    // 0-9 A-E a-e K k S s X x
    Digits,          // 0-9 (user tone frequencies)
    Frequency,       // a frequency in MHz, checked against the band and raster
};

struct ChoiceItem {
    int value;  // stored value
    std::string text;
};
using ChoiceList = std::vector<ChoiceItem>;

struct SettingInfo {
    // Configuration scope: the whole key ("option.beep"). Group and channel
    // scope: the field name ("capability", "rxFrequency").
    std::string key;
    // As the pages show it: "Option / Beep". Group and channel scope: the
    // field's label alone ("Capability", "Rx Freq."); settingName() adds
    // the group and channel.
    std::string name;
    SettingScope scope = SettingScope::Configuration;
    SettingType type = SettingType::Number;
    StoredAs storedAs = StoredAs::Integer;
    SettingLine line = SettingLine::Header;
    int position = 0;  // in its .ks3 line, from 0

    int minimum = 0;  // Number (and the range the file reader accepts when checked)
    int maximum = 0;
    int step = 1;                // Number: the value is a multiple of step
    bool checkedOnLoad = false;  // the reader refuses a file holding a value outside minimum..maximum
    std::string checkName;       // names the value in that refusal ("model", "tone set")
    std::string unit;            // "S", "mS", "Hz", "MHz" or empty
    int maxLength = 0;           // Text
    TextAlphabet alphabet = TextAlphabet::Any;
    // Choice: the items offered for the configuration (some lists depend on
    // other settings: the band list on the model, "ANI at" on the ANI type).
    ChoiceList (*choices)(const RadioSettings&) = nullptr;
    // False for values the program derives or only carries (channel
    // counters, spares, key modes): set refuses them, import-json and the
    // file reader still fill them.
    bool settable = true;
    // Derived from other settings (channel counters, key modes): no list of
    // differences shows them.
    bool derived = false;

    // The label beside the field on its page where that is not the last
    // part of `name` ("Check Open" in the Emergency box).
    std::string label;

    // The option report: its label where it is not the page's label
    // ("TX Timer"), the unit it prints where that is not `unit` ("ms"), and
    // the text it prints for a stored value where that is not the list item
    // (Tx Timer shows the page's default item when off).
    std::string reportLabel;
    std::string reportUnit;
    std::string (*reportText)(int value) = nullptr;

    // Access. Configuration scope: integer/text with `index`; group scope:
    // groupInteger; channel scope: channelInteger or channelText.
    int index = 0;
    int* (*integer)(RadioSettings&, int index) = nullptr;
    std::string* (*text)(RadioSettings&, int index) = nullptr;
    int ChannelGroup::*groupInteger = nullptr;
    int ChannelEntry::*channelInteger = nullptr;
    std::string ChannelEntry::*channelText = nullptr;
};

// Every entry of the table in .ks3 order (line by line, field by field).
// Group and channel entries appear once, as field descriptions.
const std::vector<SettingInfo>& settingTable();

// The entries of one .ks3 line in field order.
const std::vector<const SettingInfo*>& settingLineFields(SettingLine line);

// One concrete setting: an entry and, for group and channel scope, its slot.
struct SettingRef {
    const SettingInfo* info = nullptr;
    int group = 0;    // slot 0..13
    int channel = 0;  // 1..208
};

// The setting a key names; nothing (and the reason in *error) when the key
// names none.
std::optional<SettingRef> findSetting(std::string_view key, std::string* error = nullptr);

std::string settingKey(const SettingRef& ref);

// Every key the configuration holds, in .ks3 order: channel keys for the
// channels each slot stores (1..capability).
std::vector<std::string> settingKeys(const RadioSettings& settings);

// Key patterns for a listing: every configuration key, then
// "group[G].<field>" and "channel[N].<field>" once per field.
std::vector<std::string> settingKeyPatterns();

// Name as the pages show it ("Option / Beep", "Channel 12 Rx Freq.",
// "Group 3 Channel 2 Label"); empty for an unknown key.
std::string settingName(std::string_view key);
std::string settingUnit(std::string_view key);
// Item texts of a list setting for the given configuration (empty for other
// settings and unknown keys).
std::vector<std::string> settingListItems(std::string_view key, const RadioSettings& settings);
std::vector<std::string> settingListItems(std::string_view key);  // for a new configuration
// The label beside a setting's field on its page: its own label, or the
// last part of its name ("Tx Timer", "Programmable Key 1 Short Key").
std::string settingLabel(std::string_view key);

// The option report's label of a setting ("TX Timer", "Check Open") and
// its value as the report prints it: the value, two spaces and the unit
// ("30  S", "250  ms"); empty for a list value no item carries.
std::string settingReportLabel(std::string_view key);
std::string settingReportText(const RadioSettings& settings, std::string_view key);

// The value as lists of differences show it: the pages' words, a space and
// the unit after a number ("30 S"), "(7)" for a list value no item carries.
std::string settingDisplayText(const RadioSettings& settings, const SettingRef& ref);

// The allowed values in words: "Disable, Enable", "0 .. 250 S",
// "text of at most 9 characters", ...
std::string allowedValues(const SettingRef& ref, const RadioSettings& settings);

// Raw access to a setting's storage (null when the setting is not of that kind).
int* integerField(RadioSettings& settings, const SettingRef& ref);
std::string* textField(RadioSettings& settings, const SettingRef& ref);
const int* integerField(const RadioSettings& settings, const SettingRef& ref);
const std::string* textField(const RadioSettings& settings, const SettingRef& ref);

// The value in the pages' words; nothing for an unknown key. A stored value
// no list item carries shows as its number.
std::optional<std::string> settingValue(const RadioSettings& settings, std::string_view key);

// Sets one value given in the pages' words, with the consequences the page
// gives the change (a new model or band clears the channels, a tone set
// brings its tones, "PTT Timer" sets its timers, a priority channel moves
// "Scan Tx", ...). On an unknown key, a value outside the allowed ones or a
// setting no page edits, returns false with a message naming the key and the
// allowed values, and leaves the configuration as it was.
bool applySetting(RadioSettings& settings, std::string_view key, std::string_view value, std::string* error);

}  // namespace ks340
