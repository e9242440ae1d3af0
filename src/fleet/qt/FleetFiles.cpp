#include "fleet/qt/FleetFiles.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "fileio/AtomicFile.h"
#include "print/TableReport.h"

namespace ks340::fleet {

namespace {

constexpr const char* kFormat = "ks340-fleet-job";
constexpr int kVersion = 1;

QString q(const std::string& s) { return QString::fromStdString(s); }
std::string s(const QJsonValue& v) { return v.toString().toStdString(); }

}  // namespace

QByteArray jobStateToJson(const JobState& state, const QString& basePath, const QString& unitsPath) {
    QJsonArray units;
    for (const UnitRecord& u : state.units) {
        QJsonObject o;
        o[QStringLiteral("unit")] = q(u.name);
        o[QStringLiteral("status")] = QString::fromLatin1(unitStatusKey(u.status));
        o[QStringLiteral("port")] = q(u.port);
        o[QStringLiteral("start")] = q(isoTime(u.startMs));
        o[QStringLiteral("end")] = q(isoTime(u.endMs));
        o[QStringLiteral("startMs")] = static_cast<double>(u.startMs);
        o[QStringLiteral("endMs")] = static_cast<double>(u.endMs);
        o[QStringLiteral("failedStep")] = QString::fromLatin1(unitStepKey(u.failedStep));
        o[QStringLiteral("reason")] = q(u.reason);
        o[QStringLiteral("backup")] = q(u.backupFile);
        o[QStringLiteral("sha256")] = q(u.imageSha256);
        o[QStringLiteral("verify")] = q(u.verify);
        o[QStringLiteral("readFirstSkipped")] = u.readFirstSkipped;
        o[QStringLiteral("writeStoppedMidway")] = u.writeStoppedMidway;
        units.append(o);
    }
    QJsonObject root;
    root[QStringLiteral("format")] = QString::fromLatin1(kFormat);
    root[QStringLiteral("version")] = kVersion;
    root[QStringLiteral("base")] = basePath;
    root[QStringLiteral("units")] = unitsPath;
    root[QStringLiteral("jobUnits")] = units;
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

bool jobStateFromJson(const QByteArray& json, JobState& state, QString* error) {
    auto fail = [error](const QString& why) {
        if (error) *error = why;
        return false;
    };
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(json, &parseError);
    if (doc.isNull()) return fail(parseError.errorString());
    const QJsonObject root = doc.object();
    if (root.value(QStringLiteral("format")).toString() != QLatin1String(kFormat) ||
        root.value(QStringLiteral("version")).toInt() != kVersion)
        return fail(QStringLiteral("it is not the state of a fleet job"));
    JobState loaded;
    for (const QJsonValue& v : root.value(QStringLiteral("jobUnits")).toArray()) {
        const QJsonObject o = v.toObject();
        UnitRecord u;
        u.name = s(o.value(QStringLiteral("unit")));
        const auto status = unitStatusFromKey(s(o.value(QStringLiteral("status"))));
        const auto step = unitStepFromKey(s(o.value(QStringLiteral("failedStep"))));
        if (u.name.empty() || !status || !step)
            return fail(QStringLiteral("unit %1 has no valid name, status or step").arg(loaded.units.size() + 1));
        u.status = *status;
        u.failedStep = *step;
        u.port = s(o.value(QStringLiteral("port")));
        u.startMs = static_cast<std::int64_t>(o.value(QStringLiteral("startMs")).toDouble());
        u.endMs = static_cast<std::int64_t>(o.value(QStringLiteral("endMs")).toDouble());
        u.reason = s(o.value(QStringLiteral("reason")));
        u.backupFile = s(o.value(QStringLiteral("backup")));
        u.imageSha256 = s(o.value(QStringLiteral("sha256")));
        u.verify = s(o.value(QStringLiteral("verify")));
        u.readFirstSkipped = o.value(QStringLiteral("readFirstSkipped")).toBool();
        u.writeStoppedMidway = o.value(QStringLiteral("writeStoppedMidway")).toBool();
        loaded.units.push_back(std::move(u));
    }
    state = std::move(loaded);
    return true;
}

bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error) {
    const fileio::IoStatus status =
        fileio::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                    std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!status && error) *error = QString::fromStdString(status.error);
    return status.ok;
}

bool writeFleetReportPdf(const QString& path, const JobState& state, const QStringList& facts, QString* error) {
    TableReport report;
    report.title = QStringLiteral("Fleet Programming Report");
    report.facts = facts;
    // Widths in inches for a landscape Letter page; the long texts are cut
    // by their cells, the CSV report holds them whole.
    static const double widths[] = {0.9, 1.3, 1.25, 1.25, 0.65, 0.75, 2.4, 1.2, 0.0, 0.6, 0.0};
    const std::vector<std::string>& columns = fleetReportColumns();
    std::vector<int> shown;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (widths[i] <= 0.0) continue;  // SHA-256 and read first: in the CSV
        report.columns.push_back({widths[i], q(columns[i]), 0});
        shown.push_back(static_cast<int>(i));
    }
    for (const UnitRecord& u : state.units) {
        const std::vector<std::string> row = fleetReportRow(u);
        QStringList cells;
        for (int i : shown) {
            QString cell = q(row[static_cast<std::size_t>(i)]);
            if (i == 7) cell = QFileInfo(cell).fileName();
            cells << cell;
        }
        report.rows.push_back(cells);
    }
    return writeTableReportPdf(path, report, error);
}

}  // namespace ks340::fleet
