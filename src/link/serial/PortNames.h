// Serial port naming and listing.
#pragma once

#include <QList>
#include <QString>

namespace ks340 {

inline constexpr int kMaxComNumber = 10;

// Port name of COM number n: "COMn" on Windows, /dev/ttyS(n-1) elsewhere.
// 0 or a number outside 1..10 gives an empty name, with which opening fails.
QString portNameForComNumber(int comNumber);

// A --port argument or a stored choice: "COM3", "com 3" or "3" name a COM
// number (comNumber set, name from portNameForComNumber). A name with a
// slash is a device path used as given (a relative one from the working
// folder); a bare name ("ttyUSB0") is looked up under /dev.
struct PortChoice {
    QString name;
    int comNumber = 0;
    bool byNumber = false;
};
PortChoice resolvePortArgument(const QString& argument);

// Message shown when the port cannot be opened: "Com%d Port Open Error!!"
// with the COM number, or the device path in its place.
QString portOpenErrorMessage(const PortChoice& choice);

}  // namespace ks340
