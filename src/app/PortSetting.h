// The chosen serial port, kept in "setting.opt" in the working directory.
//
// The file holds the COM number as decimal text without a line end ("3"),
// or a device path ("/dev/ttyUSB0") when a port of this machine was chosen
// from the Port menu.
#pragma once

#include <QString>

namespace ks340 {

inline constexpr const char* kPortSettingFileName = "setting.opt";

struct PortSetting {
    int comPortNumber = 1;  // 1..10 from the menu; any number from the file; 0 = none
    QString devicePath;     // set when a device path was chosen instead of a COM number

    bool usesDevicePath() const { return !devicePath.isEmpty(); }
};

// Path of setting.opt in `directory` (the working directory when empty).
QString portSettingPath(const QString& directory = {});

// The value of the first line as C's atoi would take it: leading blanks,
// an optional sign, then digits; 0 when there are none.
int leadingDecimal(const QString& text);

// Reads setting.opt. A missing or unreadable file gives port 1 and the file
// is created holding "1". A first line starting with '/' is a device path;
// anything else is taken as a number (non-numeric text gives port 0).
PortSetting readPortSetting(const QString& directory = {});

// Stores the COM number (decimal text, no line end) or the device path.
// Returns false when the file cannot be written.
bool writePortSetting(const PortSetting& setting, const QString& directory = {});

}  // namespace ks340
