#include "fleet/qt/FleetRunner.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

#include "fileio/InputFile.h"
#include "fleet/qt/FleetFiles.h"
#include "image/MemoryImage.h"
#include "link/serial/PortNames.h"
#include "model/Defaults.h"

namespace ks340::fleet {

namespace {

constexpr std::size_t kMaxUnitListBytes = 10 * 1024 * 1024;

struct DeviceIdentity {
    QString canonical;
    bool isDevice = false;
    dev_t device = 0;
};

DeviceIdentity identify(const QString& port) {
    DeviceIdentity id;
    const QString path = resolvePortArgument(port).name;
    const QFileInfo info(path);
    id.canonical = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) == 0 && (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode))) {
        id.isDevice = true;
        id.device = st.st_rdev;
    }
    return id;
}

}  // namespace

QString sameDeviceProblem(const QStringList& ports) {
    std::vector<DeviceIdentity> ids;
    for (const QString& p : ports) ids.push_back(identify(p));
    for (int i = 0; i < ports.size(); ++i)
        for (int j = i + 1; j < ports.size(); ++j) {
            const DeviceIdentity& a = ids[static_cast<std::size_t>(i)];
            const DeviceIdentity& b = ids[static_cast<std::size_t>(j)];
            if (a.canonical == b.canonical || (a.isDevice && b.isDevice && a.device == b.device))
                return QStringLiteral("--port %1 and --port %2 name the same device (%3): give each cable once")
                    .arg(ports[i], ports[j], a.canonical);
        }
    return {};
}

FleetRunner::FleetRunner(QObject* parent) : QObject(parent) {}

FleetRunner::~FleetRunner() {
    for (FleetPortWorker* w : workers_) w->close();
}

QString FleetRunner::statePath() const { return QDir(setup_.reportDir).filePath(QLatin1String(kStateFileName)); }
QString FleetRunner::reportCsvPath() const { return QDir(setup_.reportDir).filePath(QLatin1String(kReportCsvName)); }
QString FleetRunner::reportPdfPath() const { return QDir(setup_.reportDir).filePath(QLatin1String(kReportPdfName)); }
QString FleetRunner::backupDirectory() const {
    return QDir(QFileInfo(setup_.reportDir).absoluteFilePath()).filePath(QLatin1String(kBackupFolderName));
}

bool FleetRunner::prepare(const FleetSetup& setup, QStringList* errors) {
    setup_ = setup;
    QStringList problems;
    RadioSettings base = newRadioSettings();
    const FileResult loaded = openSettingFile(QFile::encodeName(setup.basePath).toStdString(), base);
    if (!loaded.ok)
        problems << QString::fromStdString(loaded.error);
    else if (!loaded.warning.empty() && !setup.force)
        problems << QStringLiteral("%1 (--force uses it as it loaded)").arg(QString::fromStdString(loaded.warning));

    const fileio::InputFile units =
        fileio::readInputFile(QFile::encodeName(setup.unitsPath).toStdString(), kMaxUnitListBytes);
    if (!units.ok) problems << QString::fromStdString(units.error);
    const std::string& text = units.bytes;

    if (setup.ports.isEmpty()) problems << QStringLiteral("no port given");
    if (const QString same = sameDeviceProblem(setup.ports); !same.isEmpty()) problems << same;

    if (problems.isEmpty()) {
        FleetPlan plan = planFleet(base, text);
        for (const UnitListError& e : plan.errors)
            problems << QStringLiteral("%1: %2").arg(setup.unitsPath, QString::fromStdString(formatUnitListError(e)));
        plan_ = std::move(plan.units);
        for (const std::string& name : unknownUnits(plan_, setup.redo))
            problems << QStringLiteral("--redo %1: the unit list names no such unit").arg(QString::fromStdString(name));
    }

    JobState previous;
    QFile stateFile(statePath());
    if (problems.isEmpty() && stateFile.exists()) {
        QString why;
        if (!stateFile.open(QIODevice::ReadOnly) || !jobStateFromJson(stateFile.readAll(), previous, &why))
            problems << QStringLiteral("%1: %2").arg(statePath(), why.isEmpty() ? stateFile.errorString() : why);
    }
    if (!problems.isEmpty()) {
        if (errors) *errors = problems;
        return false;
    }
    state_ = mergeJobState(plan_, previous, setup.redo);
    doneBefore_ = 0;
    for (const UnitPlan& unit : plan_)
        for (const UnitRecord& r : state_.units)
            if (r.name == unit.name && r.status == UnitStatus::Done) ++doneBefore_;
    return true;
}

bool FleetRunner::start(QString* error) {
    if (!QDir().mkpath(setup_.reportDir) || !QDir().mkpath(backupDirectory())) {
        if (error) *error = QStringLiteral("%1: the report folder cannot be created").arg(setup_.reportDir);
        return false;
    }
    FleetOptions options;
    options.autoMode = setup_.autoMode;
    options.readFirst = setup_.readFirst;
    options.pollMs = setup_.pollMs;
    options.backupDirectory = QFile::encodeName(backupDirectory()).toStdString();
    scheduler_ = std::make_unique<FleetScheduler>(plan_, state_, options, *this);
    for (const QString& port : setup_.ports) {
        auto* worker = new FleetPortWorker(port, this);
        QString why;
        if (!worker->open(&why)) {
            for (FleetPortWorker* w : workers_) w->close();
            if (error) *error = why;
            return false;
        }
        worker->attach(*scheduler_, scheduler_->addPort(port.toStdString(), *worker));
        workers_.push_back(worker);
    }
    save();
    clock_.start();
    scheduler_->start();
    return true;
}

int FleetRunner::secondsLeft() const {
    if (!scheduler_ || doneThisRun_ == 0 || !clock_.isValid()) return -1;
    const int left = scheduler_->unitsLeft();
    if (left == 0) return 0;
    // Units finish at the pace of this run so far, every port together.
    const double perUnit = clock_.elapsed() / 1000.0 / doneThisRun_;
    return static_cast<int>(perUnit * left + 0.5);
}

void FleetRunner::save() {
    QString why;
    saveError_.clear();
    if (!writeFileAtomically(statePath(),
                             jobStateToJson(state_, QFileInfo(setup_.basePath).absoluteFilePath(),
                                            QFileInfo(setup_.unitsPath).absoluteFilePath()),
                             &why) ||
        !writeFileAtomically(reportCsvPath(), QByteArray::fromStdString(fleetReportCsv(state_)), &why))
        saveError_ = why;
}

void FleetRunner::unitChanged(int unit) {
    const UnitRecord& r = state_.units[static_cast<std::size_t>(unit)];
    if (r.status == UnitStatus::Done || r.status == UnitStatus::Failed) ++doneThisRun_;
    save();
    emit unitUpdated(unit);
}

void FleetRunner::portChanged(int port) { emit portUpdated(port); }

void FleetRunner::promptNeeded(int port, int unit) { emit prompt(port, unit); }

void FleetRunner::note(int port, const std::string& text) { emit noteAdded(port, QString::fromStdString(text)); }

void FleetRunner::jobFinished() {
    save();
    for (FleetPortWorker* w : workers_) w->close();
    QStringList facts;
    int done = 0, failed = 0;
    for (const UnitRecord& r : state_.units) {
        done += r.status == UnitStatus::Done;
        failed += r.status == UnitStatus::Failed;
    }
    facts << QStringLiteral("Base configuration: %1").arg(QFileInfo(setup_.basePath).absoluteFilePath())
          << QStringLiteral("Unit list: %1").arg(QFileInfo(setup_.unitsPath).absoluteFilePath())
          << QStringLiteral("Ports: %1").arg(setup_.ports.join(QStringLiteral(", ")))
          << QStringLiteral("Units: %1 done, %2 failed, %3 not done")
                 .arg(done)
                 .arg(failed)
                 .arg(static_cast<int>(state_.units.size()) - done - failed);
    QString why;
    if (!writeFleetReportPdf(reportPdfPath(), state_, facts, &why)) saveError_ = why;
    emit finished();
}

}  // namespace ks340::fleet
