// The simulated radio (ks340sim) run as a child process for the Port menu's
// "Simulated radio": it opens a pseudo-terminal and prints its path on the
// first line of its output; the program then uses that path as its port.
#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace ks340 {

class SimulatorProcess : public QObject {
    Q_OBJECT
public:
    explicit SimulatorProcess(QObject* parent = nullptr);
    ~SimulatorProcess() override;

    // Where ks340sim is looked for: next to this program, then in the build
    // tree (../sim from the program's folder, or $KS340_BINARY_DIR/src/sim).
    static QStringList candidatePaths();
    static QString findProgram();

    // Starts the simulator (if not running) and waits up to timeoutMs for
    // its port path. False with errorString() on failure.
    bool start(const QStringList& arguments = {}, int timeoutMs = 5000);
    void stop();
    bool isRunning() const;
    qint64 processId() const;  // 0 when not running
    QString portPath() const { return portPath_; }
    QString errorString() const { return error_; }

private:
    QProcess process_;
    QString portPath_;
    QString error_;
};

}  // namespace ks340
