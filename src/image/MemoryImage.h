// The radio's configuration memory as the PC holds it, and the conversion
// between it and the configuration record.
//
// The radio keeps its settings in 510 blocks of 16 bytes (0x0000..0x1FDF);
// the image holds 512 blocks so that the final read packet has room. Every
// address and bit below is the radio's own layout: change nothing here
// without the radio to check it against.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/RadioSettings.h"
#include "model/SettingFile.h"

namespace ks340 {

inline constexpr std::size_t kImageSize = 8192;  // 512 blocks
inline constexpr std::size_t kImageBlockSize = 16;
inline constexpr std::size_t kImageBlockCount = 512;
inline constexpr std::size_t kTransferBlockCount = 510;  // blocks a write sends
inline constexpr std::size_t kTransferSize = 0x1FE0;     // bytes a write sends

using MemoryImage = std::array<std::uint8_t, kImageSize>;

// Nine bytes per channel, channel c at address 9 * c (c = 1..208).
using ChannelRecord = ChannelRecordBytes;

// One byte per display character (labels, status and modem texts, logo).
struct TextCode {
    static constexpr std::uint8_t kPadding = 38;  // also the code of a space
    static std::uint8_t encode(char c);
    static char decode(std::uint8_t code);
};

// One byte per selcall or DTMF digit.
struct ToneDigitCode {
    static constexpr std::uint8_t kPadding = 0x26;     // after the last digit
    static constexpr std::uint8_t kRepeatTone = 0x0E;  // same code as "E"
    static std::uint8_t encode(char c);                // '\0' gives kPadding
    static char decode(std::uint8_t code);             // kPadding gives '\0'
};

// A frequency in hertz as the radio's synthesiser takes it.
struct FrequencyCode {
    int stepCode = 0;  // 2: 6250 Hz, 1: 5000 Hz, 0: 2500 Hz
    int n = 0;         // counter N, 11 bits
    int a = 0;         // counter A, 7 bits (the record holds A * 2)
    bool operator==(const FrequencyCode&) const = default;
};

// Step code, N and A of a frequency in hertz. The step is the first of
// 6250, 5000, 2500 Hz that divides it; a frequency that none divides is
// counted in 2500 Hz steps (rounded down).
FrequencyCode frequencyCode(std::int64_t hz);

// The frequency in hertz that a stored step code, N and A * 2 stand for;
// nothing for step code 3, which the encoder never writes.
std::optional<std::int64_t> frequencyFromCode(int stepCode, int codeN, int codeA2);

// The receive frequency is carried shifted by the intermediate frequency:
// minus 45.1 MHz on UHF2 (radioBand 0), plus 45.1 MHz on VHF2 (radioBand 1).
inline constexpr std::int64_t kIntermediateFrequencyHz = 45'100'000;

// Transmit sub-band of a transmit frequency: 0 for 440 <= f < 450 MHz,
// 1, 2 for the next two 10 MHz bands, 3 for 470..480 MHz, 0 otherwise.
int transmitSubBand(std::int64_t hz);

// A frequency text ("%.5f" MHz) read the way the channel page writes it:
// the leading decimal number, rounded to the nearest hertz. 0 when the
// text holds no number (the channel is then not programmed).
std::int64_t frequencyTextToHz(std::string_view text);

// Hertz as a "%.5f" MHz text, independent of the C locale.
std::string hzToFrequencyText(std::int64_t hz);

// Channel c's bit (c = 1..208) in a 26-byte channel bitmap: bit (c-1) mod 16
// of the big-endian word at byte 2 * ((c-1) div 16).
bool channelBit(const std::array<std::uint8_t, 26>& mask, int channel);
void setChannelBit(std::array<std::uint8_t, 26>& mask, int channel, bool on);

// --- Preparing and encoding -------------------------------------------------

// Flattens the channel groups into the all-channel list (group scan mode),
// builds the nine-byte channel records, the channel bitmaps, the step codes
// of the channel entries and the derived group and table numbers. In group
// scan mode list entries past the last one copied from the groups are
// cleared, so channels no group holds any more do not reach the radio.
void prepareChannelImage(RadioSettings& settings);

// The steps that run before every transfer, for a configuration whose pages
// show the stored values: prepareChannelImage, the tone collect step (User
// tone frequencies, tone cycle values), the longest lead-in time and the
// decode duration.
void prepareForTransfer(RadioSettings& settings);

// Builds the whole image from a prepared configuration (prepareForTransfer
// first). The configuration is not changed: encoding twice gives the same
// image. Bytes 0x1FE0..0x1FFF are 0.
MemoryImage encodeMemoryImage(const RadioSettings& settings);
void encodeMemoryImage(const RadioSettings& settings, MemoryImage& image);

// The decode duration as the image carries it: (decodeDuration +
// longestLeadInTime) in 10 ms units, rounded up, low 12 bits.
int imageDecodeDuration(const RadioSettings& settings);

// --- Decoding -----------------------------------------------------------------

// Writes an image read from the radio back into the configuration. Every
// image is accepted; texts are limited to their field widths, numbers are
// taken as stored. The frequency texts and scan flags are derived afterwards
// by refreshChannelTable(settings, false).
void decodeMemoryImage(const MemoryImage& image, RadioSettings& settings);

// The configuration a radio read gives: the image decoded over a copy of
// `base`, then the channel table rebuilt as the channel page does after a
// read (frequency texts, scan flags, channels dealt out to the groups).
// Every program that turns an image into a configuration uses this. The
// fields the image does not carry keep base's values: the modem's common
// sentences, the User tone texts while a built-in tone set is read, the
// spare fields, the channels' "in use" marks and the channel slots past
// each group's capability. Without a base: a new configuration.
RadioSettings configurationFromImage(const MemoryImage& image, const RadioSettings& base);
RadioSettings configurationFromImage(const MemoryImage& image);

// The configuration as a radio programmed with it gives it back: prepared,
// encoded and read back over itself. Settings the image does not carry
// faithfully (the hidden Monitor and Public Address controls, repeated
// sequence tones, texts longer than their places) come back as a read
// shows them.
RadioSettings configurationAsRadioHoldsIt(const RadioSettings& settings);

// The receive and transmit frequency texts of a decoded channel entry
// (empty when not programmed, outside the band, or with step code 3).
std::string receiveFrequencyText(const ChannelEntry& entry, int model, int radioBand);
std::string transmitFrequencyText(const ChannelEntry& entry, const std::string& receiveText);

// The changes the channel page makes to the record when it rebuilds itself
// from it. fileLoadActive false (after a radio read, New, model or band
// change): the frequency texts and scan flags of the all-channel list are
// derived from the radio codes, the channels dealt out to the groups (group
// display) or the priority and power-on flags set from the group numbers
// (all-channel display). fileLoadActive true (after a setting file was
// read): none of that. Both: groups' enabled flags, appliedScanMode,
// currentGroup and the inverse DCS flags of the group shown first.
void refreshChannelTable(RadioSettings& settings, bool fileLoadActive);

// The inverse DCS flags as the channel page rewrites them when it shows
// group g: kept only for a DCS code, cleared for Off and CTCSS.
void showGroupFlags(ChannelTable& table, int group);

// What the program's Open does: the setting file read into the
// configuration, then the channel table rebuilt for a loaded file.
FileResult openSettingFile(const std::string& path, RadioSettings& settings);

// --- Showing ------------------------------------------------------------------

// The image as the memory map shows it: a heading line with the columns
// "0".."F", then rows "000".."1FF" of sixteen "%02X" bytes.
std::string formatMemoryMap(const MemoryImage& image);

}  // namespace ks340
