#include "link/serial/PortNames.h"

#include <QRegularExpression>
#include <QSerialPortInfo>

#include <algorithm>

namespace ks340 {

QString portNameForComNumber(int comNumber) {
    if (comNumber < 1 || comNumber > kMaxComNumber) return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(comNumber);
#else
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
#endif
}

PortChoice resolvePortArgument(const QString& argument) {
    static const QRegularExpression comPattern(QStringLiteral("^\\s*(?:com\\s*)?(\\d+)\\s*$"),
                                               QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = comPattern.match(argument);
    PortChoice choice;
    if (m.hasMatch()) {
        bool ok = false;
        const int n = m.captured(1).toInt(&ok);
        choice.byNumber = true;
        choice.comNumber = ok ? n : 0;
        choice.name = portNameForComNumber(choice.comNumber);
        return choice;
    }
    choice.name = argument;
    return choice;
}

QString portOpenErrorMessage(const PortChoice& choice) {
    if (choice.byNumber) return QStringLiteral("Com%1 Port Open Error!!").arg(choice.comNumber);
    return QStringLiteral("%1 Port Open Error!!").arg(choice.name);
}

QList<PortInfo> availablePorts() {
    QList<PortInfo> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortInfo p;
        p.path = info.systemLocation();
        p.description = info.description();
        ports.append(p);
    }
    std::sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) { return a.path < b.path; });
    return ports;
}

}  // namespace ks340
