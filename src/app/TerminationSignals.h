// SIGTERM and SIGHUP (a kill, the end of the desktop session) reach the
// program as a Qt signal in the event loop, so that it can close cleanly
// and end the simulated radio it started instead of dying at once.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace ks340 {

class TerminationSignals : public QObject {
    Q_OBJECT
public:
    // Installs the handlers; one instance per process. False when the pipe
    // or the handlers cannot be set up (the default actions then stay).
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isActive() const { return notifier_ != nullptr; }

signals:
    // SIGTERM or SIGHUP arrived (the signal number).
    void terminationRequested(int signalNumber);

private:
    static void handle(int signalNumber);
    void readSignal();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace ks340
