// Helpers shared by the tests of port facts: a port the user may not open,
// and a file that exists.
#pragma once

#include <QFile>
#include <QString>
#include <QtTest>

#include "link/serial/PortInfo.h"

namespace porttest {

inline ks340::PortDetails deniedPort(const QString& group, unsigned mode) {
    ks340::PortDetails port;
    port.path = QStringLiteral("/dev/ttyUSB0");
    port.exists = true;
    port.accessible = false;
    port.owner = QStringLiteral("root");
    port.group = group;
    port.mode = mode;
    return port;
}

inline void touch(const QString& path) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

}  // namespace porttest
