// Program > "Fleet Programming...": one configuration written to many
// radios over several ports at once, with a table of units, a progress bar
// per port, Pause / Resume / Stop and the report at the end. Runs the same
// fleet job as ks340ctl fleet.
#pragma once

#include <QDialog>
#include <QProcess>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <vector>

class QCheckBox;
class QDialogButtonBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace ks340 {

namespace fleet {
class FleetRunner;
}

class FleetDialog : public QDialog {
    Q_OBJECT
public:
    explicit FleetDialog(const QString& basePath, QWidget* parent = nullptr);
    ~FleetDialog() override;

    // The ports offered: detected serial ports, then the simulated radios.
    QListWidget* portList() const { return ports_; }
    fleet::FleetRunner* runner() const { return runner_.get(); }
    // Extra options for the simulated radios (e.g. "--baud 0" in tests).
    void setSimulatorArguments(const QStringList& arguments) { simArguments_ = arguments; }

protected:
    void reject() override;

private:
    void refreshPorts();
    bool startSimulatedRadios(int count, QString* error);
    void stopSimulatedRadios();
    void start();
    void pauseOrResume();
    void stop();
    // True when nothing runs or the operator agreed to abandon a write.
    bool confirmAbandon();
    void buildPortRows();
    void updateUnit(int unit);
    void updatePort(int port);
    void updateOverall();
    void onPrompt(int port, int unit);
    void onFinished();
    void browse(QLineEdit* edit, bool folder, const QString& filter);

    QLineEdit* base_;
    QLineEdit* units_;
    QLineEdit* report_;
    QListWidget* ports_;
    QSpinBox* simulated_;
    QCheckBox* auto_;
    QTableWidget* table_;
    QFormLayout* portRows_;
    QLabel* overall_;
    QPushButton* start_;
    QPushButton* pause_;
    QPushButton* stop_;
    QPushButton* openReport_;
    QDialogButtonBox* buttons_;
    std::vector<QProgressBar*> bars_;
    std::vector<QPushButton*> next_;
    std::unique_ptr<fleet::FleetRunner> runner_;
    QProcess sims_;
    QStringList simPaths_;
    QStringList simArguments_;
    QTimer hotplug_;
    QTimer redraw_;
    bool portsDirty_ = false;
    bool running_ = false;
};

}  // namespace ks340
