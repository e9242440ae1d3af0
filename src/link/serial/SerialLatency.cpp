#include "link/serial/SerialLatency.h"

#include <QFile>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#include <sys/ioctl.h>
#endif

namespace ks340 {

void requestLowLatency(int fd) {
#ifdef Q_OS_LINUX
    serial_struct serial{};
    if (fd < 0 || ::ioctl(fd, TIOCGSERIAL, &serial) != 0) return;  // not supported (pseudo-terminal)
    if (serial.flags & ASYNC_LOW_LATENCY) return;
    serial.flags |= ASYNC_LOW_LATENCY;
    ::ioctl(fd, TIOCSSERIAL, &serial);  // refused by some drivers: they keep their own timing
#else
    (void)fd;
#endif
}

int adapterLatencyTimerMs(const QString& devicePath, const QString& sysRoot) {
    const QFileInfo info(devicePath);
    const QString name = QFileInfo(info.exists() ? info.canonicalFilePath() : devicePath).fileName();
    if (name.isEmpty()) return -1;
    QFile file(sysRoot + QStringLiteral("/class/tty/") + name + QStringLiteral("/device/latency_timer"));
    if (!file.open(QIODevice::ReadOnly)) return -1;
    bool ok = false;
    const int ms = QString::fromLatin1(file.read(32)).trimmed().toInt(&ok);
    return ok ? ms : -1;
}

}  // namespace ks340
