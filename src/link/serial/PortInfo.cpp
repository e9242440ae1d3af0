#include "link/serial/PortInfo.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSerialPortInfo>
#include <QStandardPaths>
#include <QSysInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace ks340 {

namespace {

QString systemErrorText(int errorNumber) { return QString::fromLocal8Bit(std::strerror(errorNumber)); }

#ifdef Q_OS_UNIX
QString userNameOf(uid_t uid) {
    if (const passwd* pw = ::getpwuid(uid)) return QString::fromLocal8Bit(pw->pw_name);
    return QString::number(uid);
}

QString groupNameOf(gid_t gid) {
    if (const group* gr = ::getgrgid(gid)) return QString::fromLocal8Bit(gr->gr_name);
    return QString::number(gid);
}
#endif

bool groupMayReadWrite(unsigned mode) { return (mode & 060) == 060; }

// Joining the device's group lets a user open it: the group may read and
// write it and is not root's own.
bool joiningTheGroupHelps(const PortDetails& port) {
    return groupMayReadWrite(port.mode) && !port.group.isEmpty() && port.group != QLatin1String("root");
}

QString sameGroupFix(const QString& group) {
    return QStringLiteral(
               "Add yourself to the group \"%1\":\n"
               "    sudo usermod -aG %1 $USER\n"
               "then log out and log in again (group membership is read at login).")
        .arg(group);
}

}  // namespace

bool PortDetails::matches(const QString& remembered) const {
    if (remembered.isEmpty()) return false;
    if (remembered == path || (!byIdPath.isEmpty() && remembered == byIdPath)) return true;
    // A by-id link whose target is this device now.
    const QString target = QFileInfo(remembered).canonicalFilePath();
    return !target.isEmpty() && target == QFileInfo(path).canonicalFilePath();
}

QString serialByIdPath(const QString& devicePath, const QString& byIdDir) {
    const QString device = QFileInfo(devicePath).canonicalFilePath();
    if (device.isEmpty()) return {};
    QDir dir(byIdDir);
    const QFileInfoList links = dir.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links)
        if (link.canonicalFilePath() == device) return dir.filePath(link.fileName());
    return {};
}

void inspectDevice(PortDetails& port, const QString& byIdDir) {
    port.exists = false;
    port.accessible = false;
    port.owner.clear();
    port.group.clear();
    port.mode = 0;
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(port.path);
    struct stat st {};
    if (!port.path.isEmpty() && ::stat(native.constData(), &st) == 0) {
        port.exists = true;
        port.mode = unsigned(st.st_mode);
        port.owner = userNameOf(st.st_uid);
        port.group = groupNameOf(st.st_gid);
        port.accessible = ::access(native.constData(), R_OK | W_OK) == 0;
    }
#else
    port.exists = QFileInfo::exists(port.path);
    port.accessible = port.exists;
#endif
    if (port.byIdPath.isEmpty() && port.exists) port.byIdPath = serialByIdPath(port.path, byIdDir);
}

PortDetails inspectPort(const QString& path, const QString& byIdDir) {
    PortDetails port;
    port.path = path;
    inspectDevice(port, byIdDir);
    return port;
}

QList<PortDetails> listPortDetails() {
    QList<PortDetails> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        PortDetails port;
        port.path = info.systemLocation();
        port.description = info.description();
        port.manufacturer = info.manufacturer();
        port.hasUsbIds = info.hasVendorIdentifier() && info.hasProductIdentifier();
        port.vendorId = info.vendorIdentifier();
        port.productId = info.productIdentifier();
        inspectDevice(port);
        ports.append(port);
    }
    std::sort(ports.begin(), ports.end(), [](const PortDetails& a, const PortDetails& b) { return a.path < b.path; });
    return ports;
}

QString usbIdText(const PortDetails& port) {
    if (!port.hasUsbIds) return {};
    return QStringLiteral("%1:%2")
        .arg(port.vendorId, 4, 16, QLatin1Char('0'))
        .arg(port.productId, 4, 16, QLatin1Char('0'));
}

QString modeText(unsigned mode) {
    QString text(10, QLatin1Char('-'));
#ifdef Q_OS_UNIX
    if (S_ISCHR(mode))
        text[0] = 'c';
    else if (S_ISBLK(mode))
        text[0] = 'b';
    else if (S_ISDIR(mode))
        text[0] = 'd';
    else if (S_ISLNK(mode))
        text[0] = 'l';
    else if (S_ISFIFO(mode))
        text[0] = 'p';
    else if (S_ISSOCK(mode))
        text[0] = 's';
#endif
    static const char letters[] = "rwx";
    for (int i = 0; i < 9; ++i)
        if (mode & (0400u >> i)) text[1 + i] = QLatin1Char(letters[i % 3]);
    return text;
}

QString portMenuText(const PortDetails& port) {
    QStringList parts{port.path};
    QString what = port.description;
    if (!port.manufacturer.isEmpty() && !what.contains(port.manufacturer, Qt::CaseInsensitive))
        what = what.isEmpty() ? port.manufacturer : port.manufacturer + QLatin1Char(' ') + what;
    if (!what.isEmpty()) parts << what;
    if (port.hasUsbIds) parts << QStringLiteral("[%1]").arg(usbIdText(port));
    if (!port.byIdPath.isEmpty()) parts << QFileInfo(port.byIdPath).fileName();
    QString text = parts.join(QStringLiteral("  "));
    if (port.exists && !port.accessible) text += QStringLiteral("  (no access)");
    return text.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

QString portMenuToolTip(const PortDetails& port) {
    if (!port.exists) return QStringLiteral("%1 is not present.").arg(port.path);
    QString tip = QStringLiteral("%1  %2  owner %3, group %4")
                      .arg(port.stableName(), modeText(port.mode), port.owner, port.group);
    if (!port.accessible) {
        tip += QStringLiteral("\nYou may not open this port. ");
        tip += joiningTheGroupHelps(port) ? sameGroupFix(port.group)
                                          : QStringLiteral(
                                                "No group of ordinary users may open it: plug the cable in again "
                                                "after installing this program's udev rule (60-ks340-serial.rules).");
    }
    return tip;
}

QString portDiagnosticsLine(const PortDetails& port) {
    QStringList parts{port.path};
    if (!port.byIdPath.isEmpty()) parts << QStringLiteral("by-id %1").arg(QFileInfo(port.byIdPath).fileName());
    if (!port.description.isEmpty()) parts << QStringLiteral("\"%1\"").arg(port.description);
    if (!port.manufacturer.isEmpty()) parts << QStringLiteral("maker \"%1\"").arg(port.manufacturer);
    if (port.hasUsbIds) parts << QStringLiteral("usb %1").arg(usbIdText(port));
    if (port.exists) {
        parts << QStringLiteral("%1 %2:%3").arg(modeText(port.mode), port.owner, port.group);
        parts << (port.accessible ? QStringLiteral("can open") : QStringLiteral("no access"));
    } else {
        parts << QStringLiteral("missing");
    }
    return parts.join(QStringLiteral(", "));
}

QString currentUserName() {
#ifdef Q_OS_UNIX
    return userNameOf(::geteuid());
#else
    return qEnvironmentVariable("USERNAME");
#endif
}

QStringList currentUserGroups() {
    QStringList names;
#ifdef Q_OS_UNIX
    const int count = ::getgroups(0, nullptr);
    std::vector<gid_t> gids(size_t(std::max(count, 0)));
    const int got = count > 0 ? ::getgroups(count, gids.data()) : 0;
    gids.resize(size_t(std::max(got, 0)));
    gids.insert(gids.begin(), ::getegid());
    for (gid_t gid : gids) {
        const QString name = groupNameOf(gid);
        if (!names.contains(name)) names << name;
    }
#endif
    return names;
}

QStringList groupMembers(const QString& groupName) {
    QStringList members;
#ifdef Q_OS_UNIX
    const QByteArray native = groupName.toLocal8Bit();
    if (const group* gr = ::getgrnam(native.constData()))
        for (char** m = gr->gr_mem; m && *m; ++m) members << QString::fromLocal8Bit(*m);
#else
    Q_UNUSED(groupName);
#endif
    return members;
}

PortOpenProblem classifyOpenError(int errorNumber) {
    switch (errorNumber) {
        case 0:
            return PortOpenProblem::None;
        case ENOENT:
        case ENOTDIR:
        case ENODEV:
        case ENXIO:
            return PortOpenProblem::NoSuchDevice;
        case EACCES:
        case EPERM:
            return PortOpenProblem::PermissionDenied;
        case EBUSY:
        case ETXTBSY:
            return PortOpenProblem::InUse;
        case ENOTTY:
            return PortOpenProblem::NotASerialPort;
        default:
            return PortOpenProblem::Other;
    }
}

namespace {

// QSerialPort's lock file name for a path: LCK..<name>, <name> being the
// path without "/dev/", each '/' made '_'.
QString lockFileName(const QString& path) {
    QString name = path.startsWith(QLatin1String("/dev/")) ? path.mid(5) : path;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

}  // namespace

QString serialLockHolder(const QString& path) {
    // The lock lies in the first usable one of these folders. A port opened
    // by its by-id link has another lock name than by its device path: both
    // are looked for.
    QStringList names{lockFileName(path)};
    const QString device = QFileInfo(path).canonicalFilePath();
    if (!device.isEmpty() && device != path) names << lockFileName(device);
    const QStringList dirs{QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
                           QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
                           QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    for (const QString& dir : dirs) {
        for (const QString& name : names) {
            const QString lockPath = dir + QLatin1Char('/') + name;
            if (!QFileInfo::exists(lockPath)) continue;
            QLockFile lock(lockPath);
            qint64 pid = 0;
            QString host;
            QString app;
            if (!lock.getLockInfo(&pid, &host, &app) || pid <= 0) continue;
#ifdef Q_OS_UNIX
            const bool alive = ::kill(pid_t(pid), 0) == 0 || errno == EPERM;
#else
            const bool alive = true;
#endif
            if (alive)
                return app.isEmpty() ? QStringLiteral("process %1").arg(pid)
                                     : QStringLiteral("%1, process %2").arg(app).arg(pid);
        }
    }
    return {};
}

QString serialLockFilePath(const QString& path) {
    if (path.isEmpty()) return {};
    // The folders and the rule QSerialPort uses: the first readable folder
    // that holds the file already or may be written.
    const QStringList dirs{QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
                           QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
                           QStandardPaths::writableLocation(QStandardPaths::TempLocation)};
    const QString name = lockFileName(path);
    for (const QString& dir : dirs) {
        const QFileInfo info(dir);
        const QString file = dir + QLatin1Char('/') + name;
        if (info.isReadable() && (QFileInfo::exists(file) || info.isWritable())) return file;
    }
    return {};
}

QString takeOverStaleSerialLock(const QString& path) {
#ifdef Q_OS_UNIX
    const QString lockPath = serialLockFilePath(path);
    QFile file(lockPath);
    if (lockPath.isEmpty() || !file.open(QIODevice::ReadOnly)) return {};
    // QLockFile writes: process number, program name, host name, one a line.
    const QList<QByteArray> lines = file.read(4096).split('\n');
    file.close();
    QString why;
    bool numberOk = false;
    const qint64 pid = lines.value(0).trimmed().toLongLong(&numberOk);
    if (lines.value(0).trimmed().isEmpty()) {
        why = QStringLiteral("it was empty");
    } else if (!numberOk || pid <= 0) {
        why = QStringLiteral("it held no process number");
    } else {
        const QByteArray host = lines.value(2).trimmed();
        if (!host.isEmpty() && host != QSysInfo::machineHostName().toLocal8Bit()) return {};
        if (::kill(pid_t(pid), 0) == 0 || errno != ESRCH) return {};  // alive: not stale
        why = QStringLiteral("process %1 no longer runs").arg(pid);
    }
    if (!QFile::remove(lockPath)) return {};
    return QStringLiteral("took over the stale lock %1 (%2)").arg(lockPath, why);
#else
    Q_UNUSED(path);
    return {};
#endif
}

PortOpenDiagnosis diagnosePortOpen(const QString& path) {
    PortOpenDiagnosis d;
    if (path.isEmpty()) {
        d.problem = PortOpenProblem::NoPortChosen;
        return d;
    }
#ifdef Q_OS_UNIX
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::stat(native.constData(), &st) != 0) {
        d.errorNumber = errno;
        d.problem = classifyOpenError(d.errorNumber);
        return d;
    }
    if (::access(native.constData(), R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM)) {
        d.errorNumber = errno;
        d.problem = PortOpenProblem::PermissionDenied;
        return d;
    }
    d.lockHolder = serialLockHolder(path);
    if (!d.lockHolder.isEmpty()) {
        d.problem = PortOpenProblem::InUse;
        return d;
    }
    const int fd = ::open(native.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        d.errorNumber = errno;
        d.problem = classifyOpenError(d.errorNumber);
        return d;
    }
    const bool terminal = ::isatty(fd) == 1;
    ::close(fd);
    d.problem = terminal ? PortOpenProblem::None : PortOpenProblem::NotASerialPort;
#else
    d.problem = QFileInfo::exists(path) ? PortOpenProblem::Other : PortOpenProblem::NoSuchDevice;
#endif
    return d;
}

QString portOpenReasonText(const PortOpenDiagnosis& diagnosis, const PortDetails& port, const QString& userName,
                           const QStringList& sessionGroups, const QStringList& ownerGroupMembers) {
    const QString& path = port.path;
    switch (diagnosis.problem) {
        case PortOpenProblem::NoPortChosen:
            return QStringLiteral(
                "No port is chosen. Choose the programming cable's port in the "
                "Program menu's Port list.");
        case PortOpenProblem::NoSuchDevice:
            return QStringLiteral(
                       "%1: no such device.\n"
                       "Check that the programming cable is plugged in, then choose its "
                       "port in the Program menu's Port list.")
                .arg(path);
        case PortOpenProblem::InUse: {
            const QString who =
                diagnosis.lockHolder.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(diagnosis.lockHolder);
            return QStringLiteral(
                       "%1 is in use by another program%2.\n"
                       "Close the other program (another copy of this program, ks340ctl, "
                       "a terminal program) and try again.")
                .arg(path, who);
        }
        case PortOpenProblem::PermissionDenied: {
            if (port.group.isEmpty())
                return QStringLiteral("%1: permission denied.\n%2").arg(path, sameGroupFix(QStringLiteral("dialout")));
            QString text = QStringLiteral(
                               "%1: permission denied. The device belongs to the user "
                               "\"%2\" and the group \"%3\" (%4).\n")
                               .arg(path, port.owner, port.group, modeText(port.mode));
            if (!joiningTheGroupHelps(port)) {
                text += QStringLiteral(
                            "No group of ordinary users may open it. The udev rule installed with this "
                            "program (60-ks340-serial.rules) gives USB programming cables to the group "
                            "\"dialout\": plug the cable in again, then\n%1")
                            .arg(sameGroupFix(QStringLiteral("dialout")));
            } else if (ownerGroupMembers.contains(userName) && !sessionGroups.contains(port.group)) {
                text += QStringLiteral(
                            "You (%1) are a member of the group \"%2\", but this session "
                            "started before you were added.\n"
                            "Log out and log in again (or restart the computer).")
                            .arg(userName, port.group);
            } else {
                text += sameGroupFix(port.group);
            }
            return text;
        }
        case PortOpenProblem::NotASerialPort:
            return QStringLiteral("%1 is not a serial port.").arg(path);
        case PortOpenProblem::None:
            return QStringLiteral(
                       "%1 opens now: it may have been busy or unplugged for a moment. "
                       "Try again.")
                .arg(path);
        case PortOpenProblem::Other:
            break;
    }
    return QStringLiteral("%1: %2.").arg(path, systemErrorText(diagnosis.errorNumber));
}

QString explainPortOpenFailure(const QString& path) {
    const PortOpenDiagnosis diagnosis = diagnosePortOpen(path);
    const PortDetails port = inspectPort(path);
    return portOpenReasonText(diagnosis, port, currentUserName(), currentUserGroups(), groupMembers(port.group));
}

}  // namespace ks340
