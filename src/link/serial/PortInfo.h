// Serial ports as the user needs to see them: what the adapter is, its
// stable name, who owns the device and whether this user may open it; and,
// after an open failed, why, with what to do about it.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace ks340 {

inline constexpr const char* kSerialByIdDir = "/dev/serial/by-id";

struct PortDetails {
    QString path;          // device path, e.g. /dev/ttyUSB0
    QString description;   // the driver's or the adapter's description, may be empty
    QString manufacturer;  // may be empty
    bool hasUsbIds = false;
    quint16 vendorId = 0;
    quint16 productId = 0;
    QString byIdPath;  // the /dev/serial/by-id link to the device, when there is one

    // File-system facts, from inspectDevice().
    bool exists = false;
    bool accessible = false;  // this process may open it for reading and writing
    QString owner;            // owning user and group names (numbers when unnamed)
    QString group;
    unsigned mode = 0;  // st_mode: file type and permission bits

    // The name to remember: the by-id link when there is one (it survives
    // re-plugging and a changed ttyUSB number), else the device path.
    QString stableName() const { return byIdPath.isEmpty() ? path : byIdPath; }
    // A remembered name (device path or by-id link) that names this port.
    bool matches(const QString& remembered) const;
};

// The by-id link in `byIdDir` that resolves to `devicePath`, or empty.
QString serialByIdPath(const QString& devicePath, const QString& byIdDir = QString::fromLatin1(kSerialByIdDir));

// Fills exists, accessible, owner, group, mode and byIdPath of `port` from
// its path.
void inspectDevice(PortDetails& port, const QString& byIdDir = QString::fromLatin1(kSerialByIdDir));
PortDetails inspectPort(const QString& path, const QString& byIdDir = QString::fromLatin1(kSerialByIdDir));

// Every serial port present, inspected, sorted by path.
QList<PortDetails> listPortDetails();

// "067b:2303", or empty without USB ids.
QString usbIdText(const PortDetails& port);
// "crw-rw----" for a character device readable and writable by owner and group.
QString modeText(unsigned mode);

// One Port menu entry: path, description, USB ids and the by-id name, and
// " (no access)" when this user cannot open it. '&' is doubled for menus.
QString portMenuText(const PortDetails& port);
// Tooltip for that entry: owner, group and mode; the fix when there is no access.
QString portMenuToolTip(const PortDetails& port);
// One line of the support diagnostics: every fact about the port.
QString portDiagnosticsLine(const PortDetails& port);

// The user of this process and the groups the process has now.
QString currentUserName();
QStringList currentUserGroups();
// The users /etc/group (or the system's group database) lists in `group`.
QStringList groupMembers(const QString& group);

enum class PortOpenProblem {
    None,              // the port opens now
    NoPortChosen,      // empty name (e.g. COM 0 from setting.opt)
    NoSuchDevice,      // no such file, or the device behind it has gone
    PermissionDenied,  // this user may not read and write it
    InUse,             // another program holds it
    NotASerialPort,    // it opens but is no terminal device
    Other,
};

// How an errno from open() reads.
PortOpenProblem classifyOpenError(int errorNumber);

struct PortOpenDiagnosis {
    PortOpenProblem problem = PortOpenProblem::None;
    int errorNumber = 0;
    QString lockHolder;  // "name, process 1234" of the program holding the lock, when known
};

// Looks at `path` after an open failed: is it there, may this user open it,
// does another program hold it.
PortOpenDiagnosis diagnosePortOpen(const QString& path);

// The lock file QSerialPort keeps for `path` while it is open; its holder
// as "name, process 1234" when that process is alive, else empty.
QString serialLockHolder(const QString& path);

// Where QSerialPort keeps the lock file of `path`: LCK..<name> in the first
// usable lock folder; empty when there is none.
QString serialLockFilePath(const QString& path);

// Before opening `path`: removes its lock file when no live process holds
// it (an empty file, or the number of a process that has ended, on this
// host), which would otherwise refuse every open for half a minute. Returns
// a note saying what was taken over, or empty.
QString takeOverStaleSerialLock(const QString& path);

// The reason for the failure and the fix, a few lines to show below
// "ComN Port Open Error!!". `sessionGroups` are the groups this process has;
// `ownerGroupMembers` the users the group database lists in the device's group.
QString portOpenReasonText(const PortOpenDiagnosis& diagnosis, const PortDetails& port, const QString& userName,
                           const QStringList& sessionGroups, const QStringList& ownerGroupMembers);

// Diagnoses `path` and returns its reason text.
QString explainPortOpenFailure(const QString& path);

}  // namespace ks340
