// Serial port facts and the reasons for a failed open.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "link/serial/PortInfo.h"
#include "qt/port_support.h"

using namespace ks340;
using porttest::deniedPort;
using porttest::touch;

namespace {

// A pseudo-terminal pair; the slave's path stands in for a cable's device.
struct PseudoTerminal {
    int master = -1;
    QString slavePath;
    PseudoTerminal() {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0)
            slavePath = QString::fromLocal8Bit(::ptsname(master));
    }
    ~PseudoTerminal() {
        if (master >= 0) ::close(master);
    }
};

PortOpenDiagnosis problem(PortOpenProblem p) {
    PortOpenDiagnosis d;
    d.problem = p;
    return d;
}

}  // namespace

class TestPortInfo : public QObject {
    Q_OBJECT

private slots:
    void openErrorsClassify_data() {
        QTest::addColumn<int>("error");
        QTest::addColumn<int>("expected");
        QTest::newRow("ENOENT") << ENOENT << int(PortOpenProblem::NoSuchDevice);
        QTest::newRow("ENODEV") << ENODEV << int(PortOpenProblem::NoSuchDevice);
        QTest::newRow("ENXIO (unplugged)") << ENXIO << int(PortOpenProblem::NoSuchDevice);
        QTest::newRow("EACCES") << EACCES << int(PortOpenProblem::PermissionDenied);
        QTest::newRow("EPERM") << EPERM << int(PortOpenProblem::PermissionDenied);
        QTest::newRow("EBUSY (TIOCEXCL)") << EBUSY << int(PortOpenProblem::InUse);
        QTest::newRow("ENOTTY") << ENOTTY << int(PortOpenProblem::NotASerialPort);
        QTest::newRow("EIO") << EIO << int(PortOpenProblem::Other);
        QTest::newRow("none") << 0 << int(PortOpenProblem::None);
    }
    void openErrorsClassify() {
        QFETCH(int, error);
        QFETCH(int, expected);
        QCOMPARE(int(classifyOpenError(error)), expected);
    }

    void modeAndUsbIdTexts() {
        QCOMPARE(modeText(S_IFCHR | 0660), QStringLiteral("crw-rw----"));
        QCOMPARE(modeText(S_IFCHR | 0600), QStringLiteral("crw-------"));
        QCOMPARE(modeText(S_IFREG | 0754), QStringLiteral("-rwxr-xr--"));
        QCOMPARE(modeText(S_IFDIR | 0000), QStringLiteral("d---------"));

        PortDetails port;
        QCOMPARE(usbIdText(port), QString());  // no USB ids: nothing, not "0000:0000"
        port.hasUsbIds = true;
        port.vendorId = 0x067b;
        port.productId = 0x2303;
        QCOMPARE(usbIdText(port), QStringLiteral("067b:2303"));
        port.vendorId = 0x1a86;
        port.productId = 0x7523;
        QCOMPARE(usbIdText(port), QStringLiteral("1a86:7523"));
    }

    // The stable by-id name: the link that resolves to the device, not
    // another adapter's, and a remembered by-id name still finds the port
    // after its ttyUSB number changed.
    void byIdNamesAndRememberedChoice() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QDir dir(tmp.path());
        touch(dir.filePath("ttyUSB0"));
        touch(dir.filePath("ttyUSB1"));
        touch(dir.filePath("ttyUSB7"));
        QVERIFY(dir.mkpath("by-id"));
        const QString byId = dir.filePath("by-id");
        QVERIFY(QFile::link("../ttyUSB1", byId + "/usb-FTDI_Cable_B-if00-port0"));
        QVERIFY(QFile::link("../ttyUSB0", byId + "/usb-Prolific_Cable_A-if00-port0"));

        QCOMPARE(serialByIdPath(dir.filePath("ttyUSB0"), byId), byId + "/usb-Prolific_Cable_A-if00-port0");
        QCOMPARE(serialByIdPath(dir.filePath("ttyUSB1"), byId), byId + "/usb-FTDI_Cable_B-if00-port0");
        QCOMPARE(serialByIdPath(dir.filePath("ttyUSB7"), byId), QString());
        QCOMPARE(serialByIdPath(dir.filePath("missing"), byId), QString());
        QCOMPARE(serialByIdPath(dir.filePath("ttyUSB0"), dir.filePath("no-such-dir")), QString());

        PortDetails port = inspectPort(dir.filePath("ttyUSB0"), byId);
        QVERIFY(port.exists);
        QCOMPARE(port.stableName(), byId + "/usb-Prolific_Cable_A-if00-port0");
        QVERIFY(port.matches(port.path));
        QVERIFY(port.matches(port.byIdPath));
        QVERIFY(!port.matches(dir.filePath("ttyUSB1")));
        QVERIFY(!port.matches(byId + "/usb-FTDI_Cable_B-if00-port0"));
        QVERIFY(!port.matches(QString()));

        // Re-plugged: the adapter is ttyUSB7 now; the remembered link follows it.
        QVERIFY(QFile::remove(byId + "/usb-Prolific_Cable_A-if00-port0"));
        QVERIFY(QFile::link("../ttyUSB7", byId + "/usb-Prolific_Cable_A-if00-port0"));
        const PortDetails moved = inspectPort(dir.filePath("ttyUSB7"), byId);
        QVERIFY(moved.matches(byId + "/usb-Prolific_Cable_A-if00-port0"));
        QVERIFY(!inspectPort(dir.filePath("ttyUSB0"), byId).matches(byId + "/usb-Prolific_Cable_A-if00-port0"));
    }

    void menuEntryNamesThePort() {
        PortDetails port;
        port.path = QStringLiteral("/dev/ttyUSB0");
        port.description = QStringLiteral("USB-Serial Controller");
        port.manufacturer = QStringLiteral("Prolific & Co");
        port.hasUsbIds = true;
        port.vendorId = 0x067b;
        port.productId = 0x2303;
        port.byIdPath = QStringLiteral("/dev/serial/by-id/usb-Prolific-if00-port0");
        port.exists = true;
        port.accessible = true;

        const QString text = portMenuText(port);
        QVERIFY2(text.startsWith("/dev/ttyUSB0"), qPrintable(text));
        QVERIFY2(text.contains("USB-Serial Controller"), qPrintable(text));
        QVERIFY2(text.contains("[067b:2303]"), qPrintable(text));
        QVERIFY2(text.contains("usb-Prolific-if00-port0"), qPrintable(text));
        QVERIFY2(text.contains("Prolific && Co"), qPrintable(text));  // '&' is no mnemonic
        QVERIFY2(!text.contains("no access"), qPrintable(text));

        port.accessible = false;
        port.owner = QStringLiteral("root");
        port.group = QStringLiteral("dialout");
        port.mode = S_IFCHR | 0660;
        QVERIFY(portMenuText(port).endsWith("(no access)"));
        const QString tip = portMenuToolTip(port);
        QVERIFY2(tip.contains("crw-rw----") && tip.contains("dialout"), qPrintable(tip));
        QVERIFY2(tip.contains("sudo usermod -aG dialout $USER"), qPrintable(tip));
        // Root's own group: joining it is no advice to give.
        port.group = QStringLiteral("root");
        QVERIFY2(!portMenuToolTip(port).contains("usermod"), qPrintable(portMenuToolTip(port)));
        QVERIFY2(portMenuToolTip(port).contains("60-ks340-serial.rules"), qPrintable(portMenuToolTip(port)));

        // A plain port: no ids, no by-id name, nothing made up.
        PortDetails plain;
        plain.path = QStringLiteral("/dev/ttyS0");
        plain.exists = true;
        plain.accessible = true;
        QCOMPARE(portMenuText(plain), QStringLiteral("/dev/ttyS0"));
    }

    void reasonTexts() {
        const QString user = QStringLiteral("alice");
        const QStringList groups{QStringLiteral("alice"), QStringLiteral("users")};

        PortDetails gone;
        gone.path = QStringLiteral("/dev/ttyUSB3");
        QString text = portOpenReasonText(problem(PortOpenProblem::NoSuchDevice), gone, user, groups, {});
        QVERIFY2(text.startsWith("/dev/ttyUSB3: no such device."), qPrintable(text));
        QVERIFY2(text.contains("plugged in"), qPrintable(text));

        PortOpenDiagnosis busy = problem(PortOpenProblem::InUse);
        busy.lockHolder = QStringLiteral("minicom, process 4242");
        text = portOpenReasonText(busy, gone, user, groups, {});
        QVERIFY2(text.contains("is in use by another program (minicom, process 4242)"), qPrintable(text));

        // Not a member of the device's group: join it, then log in again.
        text = portOpenReasonText(problem(PortOpenProblem::PermissionDenied), deniedPort("dialout", S_IFCHR | 0660),
                                  user, groups, {"bob"});
        QVERIFY2(text.contains("/dev/ttyUSB0: permission denied"), qPrintable(text));
        QVERIFY2(text.contains("\"root\"") && text.contains("\"dialout\"") && text.contains("crw-rw----"),
                 qPrintable(text));
        QVERIFY2(text.contains("sudo usermod -aG dialout $USER"), qPrintable(text));
        QVERIFY2(text.contains("log out and log in again"), qPrintable(text));
        QVERIFY2(!text.contains("session started before"), qPrintable(text));

        // The fix names the group that owns the device, whatever it is.
        text = portOpenReasonText(problem(PortOpenProblem::PermissionDenied), deniedPort("uucp", S_IFCHR | 0660), user,
                                  groups, {});
        QVERIFY2(text.contains("sudo usermod -aG uucp $USER"), qPrintable(text));
        QVERIFY2(!text.contains("dialout"), qPrintable(text));

        // Already added to the group, but this session predates it.
        text = portOpenReasonText(problem(PortOpenProblem::PermissionDenied), deniedPort("dialout", S_IFCHR | 0660),
                                  user, groups, {"bob", "alice"});
        QVERIFY2(text.contains("member of the group \"dialout\""), qPrintable(text));
        QVERIFY2(text.contains("session started before"), qPrintable(text));
        QVERIFY2(text.contains("Log out and log in again"), qPrintable(text));
        QVERIFY2(!text.contains("usermod"), qPrintable(text));

        // A device no group may open: joining its group would not help.
        for (const PortDetails& port : {deniedPort("root", S_IFCHR | 0600), deniedPort("root", S_IFCHR | 0660),
                                        deniedPort("tty", S_IFCHR | 0620)}) {
            text = portOpenReasonText(problem(PortOpenProblem::PermissionDenied), port, user, groups, {});
            QVERIFY2(text.contains("60-ks340-serial.rules"), qPrintable(text));
            QVERIFY2(text.contains("sudo usermod -aG dialout $USER"), qPrintable(text));
            QVERIFY2(!text.contains("usermod -aG root") && !text.contains("usermod -aG tty"), qPrintable(text));
        }

        PortOpenDiagnosis io = problem(PortOpenProblem::Other);
        io.errorNumber = EIO;
        text = portOpenReasonText(io, gone, user, groups, {});
        QCOMPARE(text, QStringLiteral("/dev/ttyUSB3: %1.").arg(QString::fromLocal8Bit(std::strerror(EIO))));

        text = portOpenReasonText(problem(PortOpenProblem::NoPortChosen), PortDetails{}, user, groups, {});
        QVERIFY2(text.contains("No port is chosen"), qPrintable(text));
    }

    // Real files and terminals, looked at after a failed open.
    void diagnosisOfRealPaths() {
        QCOMPARE(diagnosePortOpen(QString()).problem, PortOpenProblem::NoPortChosen);

        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const PortOpenDiagnosis missing = diagnosePortOpen(tmp.filePath("ttyUSB9"));
        QCOMPARE(missing.problem, PortOpenProblem::NoSuchDevice);
        QCOMPARE(missing.errorNumber, ENOENT);
        QVERIFY(explainPortOpenFailure(tmp.filePath("ttyUSB9")).contains("no such device"));

        const QString plain = tmp.filePath("not-a-port");
        touch(plain);
        QCOMPARE(diagnosePortOpen(plain).problem, PortOpenProblem::NotASerialPort);
        QVERIFY(explainPortOpenFailure(plain).contains("is not a serial port"));

        PseudoTerminal pty;
        QVERIFY(!pty.slavePath.isEmpty());
        QCOMPARE(diagnosePortOpen(pty.slavePath).problem, PortOpenProblem::None);
        const PortDetails details = inspectPort(pty.slavePath);
        QVERIFY(details.exists);
        QVERIFY(details.accessible);
        QVERIFY(S_ISCHR(details.mode));
        QVERIFY(!details.owner.isEmpty() && !details.group.isEmpty());
    }

    // Another program holds the port: the second open fails and the reason
    // names the holder.
    void portHeldByAnotherOpen() {
        PseudoTerminal pty;
        QVERIFY(!pty.slavePath.isEmpty());
        QSerialPort holder;
        holder.setPortName(pty.slavePath);
        QVERIFY2(holder.open(QIODevice::ReadWrite), qPrintable(holder.errorString()));

        QSerialPort second;
        second.setPortName(pty.slavePath);
        QVERIFY(!second.open(QIODevice::ReadWrite));

        const PortOpenDiagnosis d = diagnosePortOpen(pty.slavePath);
        QCOMPARE(d.problem, PortOpenProblem::InUse);
        QVERIFY2(d.lockHolder.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
                 qPrintable(d.lockHolder));
        QVERIFY(explainPortOpenFailure(pty.slavePath).contains("is in use by another program"));

        // The same device under a stable link name, as the Port menu remembers it.
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        const QString link = tmp.filePath("usb-Cable-if00-port0");
        QVERIFY(QFile::link(pty.slavePath, link));
        QCOMPARE(diagnosePortOpen(link).problem, PortOpenProblem::InUse);

        holder.close();
        QCOMPARE(diagnosePortOpen(pty.slavePath).problem, PortOpenProblem::None);
    }

    // A device node this user may not open. As root (who may open anything)
    // the check runs in a child as the user nobody with no groups.
    void permissionDeniedOnARealNode() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        QVERIFY(QFile::setPermissions(tmp.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                                      QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                                      QFile::ExeOther));
        const QString node = tmp.filePath("ttyUSB0");
        const QByteArray nativeNode = QFile::encodeName(node);
        const group* dialout = ::getgrnam("dialout");
        const gid_t deviceGroup = dialout ? dialout->gr_gid : 0;
        const QString groupName = dialout ? QStringLiteral("dialout") : QStringLiteral("root");

        if (::geteuid() != 0) {
            // An ordinary user: a file with no permissions at all.
            touch(node);
            QVERIFY(::chmod(nativeNode.constData(), 0) == 0);
            QCOMPARE(diagnosePortOpen(node).problem, PortOpenProblem::PermissionDenied);
            const QString text = explainPortOpenFailure(node);
            QVERIFY2(text.contains("permission denied") && text.contains("log in again"), qPrintable(text));
            return;
        }

        // A character device node like a cable's, crw-rw---- root:dialout;
        // a plain file with those rights where nodes cannot be made.
        bool isNode = ::mknod(nativeNode.constData(), S_IFCHR | 0660, makedev(1, 3)) == 0;
        if (!isNode) touch(node);
        QVERIFY(::chown(nativeNode.constData(), 0, deviceGroup) == 0);
        QVERIFY(::chmod(nativeNode.constData(), 0660) == 0);

        const passwd* nobody = ::getpwnam("nobody");
        if (!nobody) QSKIP("no user 'nobody' to run the check as");
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (setpriv.isEmpty()) QSKIP("setpriv (util-linux) is missing");
        // A copy of this program in the open folder: the build tree may lie
        // where nobody cannot reach.
        const QString self = tmp.filePath("explain-port");
        QVERIFY(QFile::copy(QCoreApplication::applicationFilePath(), self));
        QVERIFY(::chmod(QFile::encodeName(self).constData(), 0755) == 0);
        QProcess child;
        child.start(setpriv, {QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                              QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups"),
                              QStringLiteral("--"), self, QStringLiteral("--explain-port"), node});
        QVERIFY(child.waitForFinished(30000));
        const QString err = QString::fromLocal8Bit(child.readAllStandardError());
        QCOMPARE(child.exitCode(), 0);
        const QString text = QString::fromLocal8Bit(child.readAllStandardOutput());
        QVERIFY2(text.startsWith(node + ": permission denied."), qPrintable(text + err));
        QVERIFY2(text.contains(QStringLiteral("group \"%1\"").arg(groupName)), qPrintable(text));
        QVERIFY2(text.contains(isNode ? "crw-rw----" : "-rw-rw----"), qPrintable(text));
        QVERIFY2(text.contains("sudo usermod -aG dialout $USER"), qPrintable(text));
        QVERIFY2(text.contains("log in again"), qPrintable(text));
    }
};

int main(int argc, char** argv) {
    // Child mode of permissionDeniedOnARealNode: explain one path and exit.
    if (argc == 3 && std::strcmp(argv[1], "--explain-port") == 0) {
        const QString text = explainPortOpenFailure(QString::fromLocal8Bit(argv[2]));
        std::fputs(text.toLocal8Bit().constData(), stdout);
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestPortInfo test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serial_portinfo.moc"
