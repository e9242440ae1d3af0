// The serial transport, port naming and the watchdog timer, on a
// pseudo-terminal standing in for the radio's cable.
#include <QSignalSpy>
#include <QtTest>

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <vector>

#include "link/serial/PortNames.h"
#include "link/serial/SerialTransferJob.h"
#include "link/serial/SerialTransport.h"
#include "link/serial/WatchdogTimer.h"

using namespace ks340;

namespace {

// The far end of a pseudo-terminal: what the radio would see.
class PtyPair {
public:
    PtyPair() {
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0)
            path_ = QString::fromLocal8Bit(::ptsname(master_));
    }
    ~PtyPair() { closeMaster(); }
    bool ok() const { return master_ >= 0 && !path_.isEmpty(); }
    QString path() const { return path_; }

    void send(const QByteArray& bytes) {
        QCOMPARE_GE(::write(master_, bytes.constData(), static_cast<size_t>(bytes.size())),
                    static_cast<ssize_t>(bytes.size()));
    }
    // Everything that arrives within timeoutMs after the first byte.
    QByteArray receive(int expected, int timeoutMs = 2000) {
        QByteArray got;
        QElapsedTimer t;
        t.start();
        while (got.size() < expected && t.elapsed() < timeoutMs) {
            // Keep the event loop turning: the PC side runs on it.
            QCoreApplication::processEvents();
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 2) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(master_, buf, sizeof buf);
                if (n > 0) got.append(buf, static_cast<qsizetype>(n));
            }
        }
        return got;
    }
    void closeMaster() {
        if (master_ >= 0) ::close(master_);
        master_ = -1;
    }

private:
    int master_ = -1;
    QString path_;
};

QByteArray queued(ReceiveQueue& q) {
    QByteArray out;
    std::uint8_t b = 0;
    while (q.pop(b)) out.append(static_cast<char>(b));
    return out;
}

}  // namespace

class SerialTransportTest : public QObject {
    Q_OBJECT
private slots:
    void comNumbersNamePorts();
    void portArgumentsResolve_data();
    void portArgumentsResolve();
    void openFailsForBadNumbersAndMissingDevices();
    void bytesTravelBothWays();
    void secondOpenOfTheSamePortIsRefused();
    void writeAfterCloseSendsNothing();
    void burstThatDoesNotFitIsDroppedWhole();
    void hangUpReportsLostOnce();
    void watchdogFiresOnceAndCanBeStopped();
    void sessionEndsWithErrorWhenTheLineHangsUp();
    void transferOnAClosedPortFailsAtOnce();
};

void SerialTransportTest::comNumbersNamePorts() {
#ifdef Q_OS_WIN
    QCOMPARE(portNameForComNumber(1), QStringLiteral("COM1"));
    QCOMPARE(portNameForComNumber(10), QStringLiteral("COM10"));
#else
    QCOMPARE(portNameForComNumber(1), QStringLiteral("/dev/ttyS0"));
    QCOMPARE(portNameForComNumber(3), QStringLiteral("/dev/ttyS2"));
    QCOMPARE(portNameForComNumber(10), QStringLiteral("/dev/ttyS9"));
#endif
    QVERIFY(portNameForComNumber(0).isEmpty());
    QVERIFY(portNameForComNumber(11).isEmpty());
    QVERIFY(portNameForComNumber(-1).isEmpty());
}

void SerialTransportTest::portArgumentsResolve_data() {
    QTest::addColumn<QString>("argument");
    QTest::addColumn<bool>("byNumber");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("message");
    QTest::newRow("COM3") << "COM3" << true << 3 << "Com3 Port Open Error!!";
    QTest::newRow("com 10") << "com 10" << true << 10 << "Com10 Port Open Error!!";
    QTest::newRow("bare number") << "7" << true << 7 << "Com7 Port Open Error!!";
    QTest::newRow("COM0") << "COM0" << true << 0 << "Com0 Port Open Error!!";
    QTest::newRow("path") << "/dev/ttyUSB0" << false << 0 << "/dev/ttyUSB0 Port Open Error!!";
    QTest::newRow("COM in a path") << "/dev/COM3" << false << 0 << "/dev/COM3 Port Open Error!!";
}

void SerialTransportTest::portArgumentsResolve() {
    QFETCH(QString, argument);
    QFETCH(bool, byNumber);
    QFETCH(int, number);
    QFETCH(QString, message);
    const PortChoice c = resolvePortArgument(argument);
    QCOMPARE(c.byNumber, byNumber);
    QCOMPARE(c.comNumber, number);
    QCOMPARE(c.name, byNumber ? portNameForComNumber(number) : argument);
    QCOMPARE(portOpenErrorMessage(c), message);
}

void SerialTransportTest::openFailsForBadNumbersAndMissingDevices() {
    SerialTransferJob job;
    QVERIFY(!job.openComNumber(0));
    QCOMPARE(job.lastResult().outcome, TransferOutcome::PortError);
    QCOMPARE(job.lastResult().message, std::string("Com0 Port Open Error!!"));
    QVERIFY(!job.openComNumber(11));
    QCOMPARE(job.lastResult().message, std::string("Com11 Port Open Error!!"));
    QVERIFY(!job.open(QStringLiteral("/dev/ks340-no-such-port")));
    QCOMPARE(job.lastResult().message, std::string("/dev/ks340-no-such-port Port Open Error!!"));
    // The reason and its fix come with it.
    QVERIFY(job.lastResult().detail.find("no such device") != std::string::npos);
    QVERIFY(!job.isOpen());
    SerialTransport t;
    QVERIFY(!t.open(QString()));
}

void SerialTransportTest::bytesTravelBothWays() {
    PtyPair pty;
    QVERIFY(pty.ok());
    SerialTransport t;
    QVERIFY(t.open(pty.path()));
    QVERIFY(t.isOpen());
    const std::uint8_t request[3] = {0x76, 0x57, 0xCD};
    QCOMPARE(t.write(request, 3), 3);
    QCOMPARE(pty.receive(3), QByteArray("\x76\x57\xCD", 3));

    QSignalSpy received(&t, &SerialTransport::received);
    pty.send(QByteArray("\xA1\xFF\x99\x00", 4));
    QTRY_VERIFY(t.queue().count() >= 4);
    QVERIFY(received.count() >= 1);
    QCOMPARE(queued(t.queue()), QByteArray("\xA1\xFF\x99\x00", 4));
}

void SerialTransportTest::secondOpenOfTheSamePortIsRefused() {
    PtyPair pty;
    QVERIFY(pty.ok());
    SerialTransport first;
    QVERIFY(first.open(pty.path()));
    SerialTransport second;
    QVERIFY(!second.open(pty.path()));
    QVERIFY(!first.open(pty.path()));  // already open
    first.close();
    QVERIFY(second.open(pty.path()));
}

void SerialTransportTest::writeAfterCloseSendsNothing() {
    PtyPair pty;
    QVERIFY(pty.ok());
    SerialTransport t;
    QVERIFY(t.open(pty.path()));
    t.close();
    const std::uint8_t bytes[2] = {0xA1, 0xFF};
    QCOMPARE(t.write(bytes, 2), 0);
    QCOMPARE(pty.receive(1, 100).size(), 0);
}

void SerialTransportTest::burstThatDoesNotFitIsDroppedWhole() {
    PtyPair pty;
    QVERIFY(pty.ok());
    SerialTransport t;
    QVERIFY(t.open(pty.path()));
    std::vector<std::uint8_t> filler(4000, 0x11);
    QVERIFY(t.queue().pushBurst(filler.data(), filler.size()));
    QSignalSpy full(&t, &SerialTransport::bufferFull);

    pty.send(QByteArray(192, '\x22'));
    QTRY_COMPARE(full.count(), 1);
    QCOMPARE(t.queue().count(), 4000);

    pty.send(QByteArray(191, '\x33'));
    QTRY_COMPARE(t.queue().count(), 4191);
    QCOMPARE(full.count(), 1);
}

void SerialTransportTest::hangUpReportsLostOnce() {
    PtyPair pty;
    QVERIFY(pty.ok());
    SerialTransport t;
    QVERIFY(t.open(pty.path()));
    QSignalSpy lost(&t, &SerialTransport::lost);
    pty.closeMaster();
    QTRY_COMPARE_WITH_TIMEOUT(lost.count(), 1, 2000);
    QVERIFY(!t.isOpen());
    QTest::qWait(50);
    QCOMPARE(lost.count(), 1);
}

void SerialTransportTest::watchdogFiresOnceAndCanBeStopped() {
    int fired = 0;
    WatchdogTimer w([&] { ++fired; });
    w.start(10);
    QTRY_COMPARE(fired, 1);
    QTest::qWait(40);
    QCOMPARE(fired, 1);  // one-shot

    w.start(20);
    w.stop();
    QTest::qWait(60);
    QCOMPARE(fired, 1);

    w.start(500);
    w.start(10);  // restart replaces the earlier run
    QTRY_COMPARE(fired, 2);
    QVERIFY(!w.isActive());
}

void SerialTransportTest::sessionEndsWithErrorWhenTheLineHangsUp() {
    PtyPair pty;
    QVERIFY(pty.ok());
    SerialTransferJob job;
    QVERIFY(job.open(pty.path()));
    QSignalSpy finished(&job, &SerialTransferJob::finished);
    QSignalSpy busy(&job, &SerialTransferJob::busyChanged);
    TransferOptions options;
    options.kind = TransferKind::Write;
    options.keepBackups = false;
    job.start(options);
    QCOMPARE(pty.receive(3), QByteArray("\x76\x57\xCD", 3));
    pty.send(QByteArray("\xA1\xFF", 2));
    QByteArray block0 = pty.receive(20);
    QCOMPARE(block0.size(), 20);
    QCOMPARE(static_cast<std::uint8_t>(block0.at(0)), 0x99);
    QVERIFY(job.busy());
    pty.closeMaster();
    // Well before the watchdog could have given up (12 expiries of 100 ms).
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 500);
    const TransferResult r = job.lastResult();
    QCOMPARE(r.outcome, TransferOutcome::CommunicationError);
    QCOMPARE(r.message, std::string("Communication Error!!"));
    QVERIFY2(r.detail.find("went away") != std::string::npos, r.detail.c_str());
    QVERIFY(!job.busy());
    QVERIFY(!job.running());
    QCOMPARE(busy.last().at(0).toBool(), false);
}

void SerialTransportTest::transferOnAClosedPortFailsAtOnce() {
    SerialTransferJob job;
    QSignalSpy finished(&job, &SerialTransferJob::finished);
    job.start(TransferOptions{});
    QCOMPARE(finished.count(), 1);
    QCOMPARE(job.lastResult().outcome, TransferOutcome::CommunicationError);
    QCOMPARE(job.lastResult().message, std::string("Communication Error!!"));
    QVERIFY(!job.running());
}

QTEST_GUILESS_MAIN(SerialTransportTest)
#include "tst_serial_transport.moc"
