#include "app/PortSetting.h"

#include <QDir>
#include <QFile>

#include <string>
#include <string_view>

#include "fileio/AtomicFile.h"
#include "fileio/InputFile.h"

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
    const fileio::InputFile file =
        fileio::readInputFile(QFile::encodeName(portSettingPath(directory)).toStdString(), 4096);
    if (!file.ok && !file.tooLarge) {
        setting.comPortNumber = 1;
        writePortSetting(setting, directory);
        return setting;
    }
    const std::string& bytes = file.bytes;
    QString line = QString::fromLocal8Bit(bytes.substr(0, bytes.find('\n')).c_str());
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
    const QByteArray text =
        setting.usesDevicePath() ? setting.devicePath.toLocal8Bit() : QByteArray::number(setting.comPortNumber);
    return fileio::writeFileAtomically(QFile::encodeName(portSettingPath(directory)).toStdString(),
                                       std::string_view(text.constData(), std::size_t(text.size())))
        .ok;
}

}  // namespace ks340
