// The files of a fleet job in its report folder: the job state (JSON), the
// report (CSV and PDF) and the backups folder.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "fleet/FleetJob.h"

namespace ks340::fleet {

inline constexpr const char* kStateFileName = "fleet-state.json";
inline constexpr const char* kReportCsvName = "fleet-report.csv";
inline constexpr const char* kReportPdfName = "fleet-report.pdf";
inline constexpr const char* kBackupFolderName = "backups";

QByteArray jobStateToJson(const JobState& state, const QString& basePath, const QString& unitsPath);
// False with a message when the text is no job state of this program.
bool jobStateFromJson(const QByteArray& json, JobState& state, QString* error);

// Replaces `path` with `bytes` through a temporary file in its folder; the
// old file stays whole on any error.
bool writeFileAtomically(const QString& path, const QByteArray& bytes, QString* error);

// The report page as a PDF, through the report engine.
bool writeFleetReportPdf(const QString& path, const JobState& state, const QStringList& facts, QString* error);

}  // namespace ks340::fleet
