#include "app/PortSetting.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace ks340 {

QString portSettingPath(const QString& directory) {
    const QString dir = directory.isEmpty() ? QDir::currentPath() : directory;
    return QDir(dir).filePath(QString::fromLatin1(kPortSettingFileName));
}

int leadingDecimal(const QString& text) {
    int i = 0;
    const int n = int(text.size());
    while (i < n && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
        value = value * 10 + (text[i].unicode() - '0');
        if (value > 1000000000LL) value = 1000000000LL;  // far beyond any port; keeps the value in range
        ++i;
    }
    return int(negative ? -value : value);
}

PortSetting readPortSetting(const QString& directory) {
    PortSetting setting;
    QFile file(portSettingPath(directory));
    if (!file.open(QIODevice::ReadOnly)) {
        setting.comPortNumber = 1;
        writePortSetting(setting, directory);
        return setting;
    }
    QString line = QString::fromLocal8Bit(file.readLine(4096));
    while (line.endsWith('\n') || line.endsWith('\r')) line.chop(1);
    if (line.startsWith('/')) {
        setting.devicePath = line.trimmed();
        setting.comPortNumber = 0;
    } else {
        setting.comPortNumber = leadingDecimal(line);
    }
    return setting;
}

bool writePortSetting(const PortSetting& setting, const QString& directory) {
    QSaveFile file(portSettingPath(directory));
    if (!file.open(QIODevice::WriteOnly)) return false;
    const QByteArray text =
        setting.usesDevicePath() ? setting.devicePath.toLocal8Bit() : QByteArray::number(setting.comPortNumber);
    if (file.write(text) != text.size()) return false;
    return file.commit();
}

}  // namespace ks340
