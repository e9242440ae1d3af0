// Opening and closing ports: stale locks, names as the user gives them, and
// the last bytes written before a close.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include "link/serial/PortInfo.h"
#include "link/serial/PortNames.h"
#include "link/serial/SerialTransport.h"

using namespace ks340;

namespace {

struct Pty {
    int master = -1;
    QString path;
    Pty() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            path = QString::fromLocal8Bit(::ptsname(master));
    }
    ~Pty() {
        if (master >= 0) ::close(master);
    }
    QByteArray readAvailable(int timeoutMs) {
        QByteArray got;
        pollfd p{master, POLLIN, 0};
        while (::poll(&p, 1, timeoutMs) > 0 && (p.revents & POLLIN)) {
            char buf[64];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, qsizetype(n));
            timeoutMs = 20;
        }
        return got;
    }
};

bool writeLock(const QString& path, const QByteArray& contents) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contents) == contents.size();
}

qint64 deadProcessId() {
    QProcess p;
    p.start(QStringLiteral("true"), {});
    p.waitForFinished(5000);
    return p.processId() > 0 ? p.processId() : 999999;
}

}  // namespace

class PortsTest : public QObject {
    Q_OBJECT
private slots:
    void staleLocksAreTakenOverLiveOnesNot() {
        Pty pty;
        QVERIFY(!pty.path.isEmpty());
        const QString lock = serialLockFilePath(pty.path);
        QVERIFY2(!lock.isEmpty(), "no lock folder");
        const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();

        // Empty: a program killed right after creating it.
        QVERIFY(writeLock(lock, QByteArray()));
        SerialTransport t;
        QVERIFY(t.open(pty.path));
        QCOMPARE(QString::fromStdString(t.openNote()),
                 QStringLiteral("took over the stale lock %1 (it was empty)").arg(lock));
        t.close();

        // A process that has ended.
        const qint64 dead = deadProcessId();
        QVERIFY(writeLock(lock, QByteArray::number(dead) + "\nks340ctl\n" + host + "\n"));
        QVERIFY(t.open(pty.path));
        QVERIFY2(QString::fromStdString(t.openNote()).endsWith(QStringLiteral("(process %1 no longer runs)").arg(dead)),
                 t.openNote().c_str());
        t.close();
        QVERIFY(!QFile::exists(lock));

        // A live holder keeps its lock, and the open fails.
        QVERIFY(writeLock(
            lock, QByteArray::number(QCoreApplication::applicationPid()) + "\ntst_serial_ports\n" + host + "\n"));
        QVERIFY(!t.open(pty.path));
        QVERIFY(t.openNote().empty());
        QVERIFY(QFile::exists(lock));
        QFile::remove(lock);
    }

    void namesAreUsedAsGiven() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString old = QDir::currentPath();
        QDir::setCurrent(dir.path());
        QCOMPARE(resolvePortArgument("st/port").name, QDir(dir.path()).filePath("st/port"));
        QCOMPARE(resolvePortArgument("./st/../port").name, QDir(dir.path()).filePath("port"));
        QCOMPARE(resolvePortArgument("ttyUSB0").name, QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(resolvePortArgument("/dev/serial/by-id/usb-x").name, QStringLiteral("/dev/serial/by-id/usb-x"));

        // A relative link to a terminal opens as it is, not under /dev.
        Pty pty;
        QVERIFY(QDir().mkpath("st"));
        QVERIFY(QFile::link(pty.path, "st/port"));
        SerialTransport t;
        t.setPort(resolvePortArgument("st/port"));
        std::string message, reason;
        const bool opened = t.open(message, reason);
        QDir::setCurrent(old);
        QVERIFY2(opened, (message + " " + reason).c_str());
        QCOMPARE(t.portName(), QDir(dir.path()).filePath("st/port"));
    }

    // Closing right after a write must not throw the bytes away: the last
    // acknowledgement of a read is written just before the port closes.
    void lastBytesLeaveBeforeTheClose() {
        Pty pty;
        QVERIFY(!pty.path.isEmpty());
        for (int i = 0; i < 20; ++i) {
            SerialTransport t;
            QVERIFY(t.open(pty.path));
            const std::uint8_t ack[2] = {0xA1, 0xFF};
            QCOMPARE(t.write(ack, 2), 2);
            t.close();
            QCOMPARE(pty.readAvailable(500), QByteArray("\xA1\xFF", 2));
        }
    }
};

QTEST_GUILESS_MAIN(PortsTest)
#include "tst_serial_ports.moc"
