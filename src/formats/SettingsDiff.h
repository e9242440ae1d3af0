// Every setting of a configuration by the name the pages show it under, and
// the settings in which two configurations differ:
//   "Channel 12 Rx Freq.: 150.00000 → 150.01250"
//   "Option / Beep: Enable → Disable"
#pragma once

#include <string>
#include <vector>

#include "image/MemoryImage.h"
#include "model/RadioSettings.h"

namespace ks340 {

struct NamedSetting {
    std::string name;   // "Channel 12 Rx Freq.", "Option / Beep", "Header / Model"
    std::string value;  // as the page shows it (UTF-8)
};

// Every setting in page order: header, the channel list the grid shows
// (group layout first in group scan mode), then the pages from Option to
// Modem. An empty channel shows as empty values.
std::vector<NamedSetting> describeSettings(const RadioSettings& settings);

struct SettingDifference {
    std::string name;
    std::string before;  // empty when the first configuration has no such setting
    std::string after;
    bool operator==(const SettingDifference&) const = default;
};

// The settings whose shown values differ, in the order of the first
// configuration, then those only the second one has.
std::vector<SettingDifference> diffSettings(const RadioSettings& before, const RadioSettings& after);

// A setting file's configuration against a memory image (a file or a radio
// read), compared as the radio holds them: the configuration goes through
// the same encoding and decoding first, and both sides are decoded over it,
// so settings an image does not carry, or carries differently, never show
// as differences. imageFirst puts the image on the "before" side.
std::vector<SettingDifference> diffSettingsWithImage(const RadioSettings& settings, const MemoryImage& image,
                                                     bool imageFirst = false);

// "name: before → after"; an empty value shows as "(empty)".
std::string formatSettingDifference(const SettingDifference& difference);

}  // namespace ks340
