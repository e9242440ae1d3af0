// A whole fleet job on one event loop: the unit list planned against the
// base, the ports checked and opened, one worker per port, the job state
// and the CSV report saved after every change, the PDF report at the end.
// ks340ctl fleet and the Fleet Programming dialog both run it.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <memory>
#include <set>
#include <vector>

#include "fleet/FleetJob.h"
#include "fleet/qt/FleetPortWorker.h"

namespace ks340::fleet {

struct FleetSetup {
    QString basePath;   // .ks3
    QString unitsPath;  // CSV
    QStringList ports;
    QString reportDir;
    bool autoMode = false;
    bool readFirst = true;
    bool force = false;  // use a base that loaded with a warning
    std::set<std::string> redo;
    int pollMs = 2000;
};

// The first pair of ports that name one device (the same path after links
// are followed, or the same device number), as a message; empty when none.
QString sameDeviceProblem(const QStringList& ports);

class FleetRunner : public QObject, public FleetListener {
    Q_OBJECT
public:
    explicit FleetRunner(QObject* parent = nullptr);
    ~FleetRunner() override;

    // Loads the base and the unit list, builds and checks every unit and the
    // ports, reads an earlier state from the report folder. Nothing is
    // opened or sent. False with every problem in `errors`.
    bool prepare(const FleetSetup& setup, QStringList* errors);
    // Opens every port (all or none) and starts the job.
    bool start(QString* error);

    FleetScheduler* scheduler() { return scheduler_.get(); }
    const JobState& state() const { return state_; }
    const FleetSetup& setup() const { return setup_; }
    int portCount() const { return static_cast<int>(workers_.size()); }
    // Units that were done before this run started (resumed job).
    int unitsDoneBefore() const { return doneBefore_; }
    int unitsPlanned() const { return static_cast<int>(plan_.size()); }
    // Seconds until the units left are done at this run's pace; -1 unknown.
    int secondsLeft() const;
    qint64 elapsedMs() const { return clock_.isValid() ? clock_.elapsed() : 0; }

    QString statePath() const;
    QString reportCsvPath() const;
    QString reportPdfPath() const;
    QString backupDirectory() const;
    // The last error saving the state or report, empty when none.
    QString saveError() const { return saveError_; }

signals:
    void unitUpdated(int unit);
    void portUpdated(int port);
    void prompt(int port, int unit);
    void noteAdded(int port, const QString& text);
    void finished();

private:
    void unitChanged(int unit) override;
    void portChanged(int port) override;
    void promptNeeded(int port, int unit) override;
    void note(int port, const std::string& text) override;
    void jobFinished() override;
    void save();

    FleetSetup setup_;
    std::vector<UnitPlan> plan_;
    JobState state_;
    std::unique_ptr<FleetScheduler> scheduler_;
    std::vector<FleetPortWorker*> workers_;
    QElapsedTimer clock_;
    int doneBefore_ = 0;
    int doneThisRun_ = 0;
    QString saveError_;
};

}  // namespace ks340::fleet
