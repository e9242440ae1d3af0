#include "app/SimulatorProcess.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#include <csignal>
#endif

namespace ks340 {

namespace {

QString executableName() {
#ifdef Q_OS_WIN
    return QStringLiteral("ks340sim.exe");
#else
    return QStringLiteral("ks340sim");
#endif
}

}  // namespace

SimulatorProcess::SimulatorProcess(QObject* parent) : QObject(parent) {
    process_.setProcessChannelMode(QProcess::SeparateChannels);
    process_.setReadChannel(QProcess::StandardOutput);
#ifdef Q_OS_LINUX
    // Should this program die without cleaning up (SIGKILL, a crash), the
    // kernel ends the simulator too.
    process_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
#endif
    // Once the port is known, later output is read away so that a chatty
    // simulator never blocks on a full pipe.
    connect(&process_, &QProcess::readyReadStandardOutput, this, [this] {
        if (!portPath_.isEmpty()) process_.readAllStandardOutput();
    });
    connect(&process_, &QProcess::readyReadStandardError, this, [this] {
        if (!portPath_.isEmpty()) process_.readAllStandardError();
    });
}

SimulatorProcess::~SimulatorProcess() { stop(); }

QStringList SimulatorProcess::candidatePaths() {
    QStringList paths;
    const QDir appDir(QCoreApplication::applicationDirPath());
    paths << appDir.filePath(executableName());
    paths << QDir::cleanPath(appDir.filePath(QStringLiteral("../sim/") + executableName()));
    paths << QDir::cleanPath(appDir.filePath(QStringLiteral("../src/sim/") + executableName()));
    const QString binaryDir = qEnvironmentVariable("KS340_BINARY_DIR");
    if (!binaryDir.isEmpty()) paths << QDir(binaryDir).filePath(QStringLiteral("src/sim/") + executableName());
    paths.removeDuplicates();
    return paths;
}

QString SimulatorProcess::findProgram() {
    for (const QString& path : candidatePaths()) {
        const QFileInfo info(path);
        if (info.isFile() && info.isExecutable()) return info.absoluteFilePath();
    }
    return {};
}

qint64 SimulatorProcess::processId() const { return process_.processId(); }

bool SimulatorProcess::isRunning() const { return process_.state() == QProcess::Running && !portPath_.isEmpty(); }

bool SimulatorProcess::start(const QStringList& arguments, int timeoutMs) {
    if (isRunning()) return true;
    stop();
    error_.clear();
    const QString program = findProgram();
    if (program.isEmpty()) {
        error_ = QStringLiteral(
                     "The simulated radio (%1) was not found next to the program "
                     "or in the build tree.")
                     .arg(executableName());
        return false;
    }
    process_.start(program, arguments);
    if (!process_.waitForStarted(timeoutMs)) {
        error_ = QStringLiteral("The simulated radio could not be started: %1").arg(process_.errorString());
        return false;
    }
    QDeadlineTimer deadline(timeoutMs);
    while (!process_.canReadLine()) {
        if (process_.state() != QProcess::Running || deadline.hasExpired() ||
            !process_.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime())))) {
            if (process_.canReadLine()) break;
            const QString err = QString::fromLocal8Bit(process_.readAllStandardError()).trimmed();
            error_ = QStringLiteral("The simulated radio did not report its port.");
            if (!err.isEmpty()) error_ += QLatin1Char('\n') + err;
            stop();
            return false;
        }
    }
    portPath_ = QString::fromLocal8Bit(process_.readLine()).trimmed();
    if (portPath_.isEmpty()) {
        error_ = QStringLiteral("The simulated radio reported no port.");
        stop();
        return false;
    }
    return true;
}

void SimulatorProcess::stop() {
    portPath_.clear();
    if (process_.state() == QProcess::NotRunning) return;
    process_.terminate();
    if (!process_.waitForFinished(2000)) {
        process_.kill();
        process_.waitForFinished(2000);
    }
}

}  // namespace ks340
