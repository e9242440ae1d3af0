#include "link/serial/PortNames.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

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
#ifndef Q_OS_WIN
    // The serial port itself would put "/dev/" in front of any name without
    // a leading slash, relative paths included.
    if (argument.contains(QLatin1Char('/')))
        choice.name = QDir::cleanPath(QFileInfo(argument).absoluteFilePath());
    else if (!argument.isEmpty())
        choice.name = QStringLiteral("/dev/") + argument;
#endif
    return choice;
}

QString portOpenErrorMessage(const PortChoice& choice) {
    if (choice.byNumber) return QStringLiteral("Com%1 Port Open Error!!").arg(choice.comNumber);
    return QStringLiteral("%1 Port Open Error!!").arg(choice.name);
}

}  // namespace ks340
