// A TransferJob on a serial port, driven by the Qt event loop of the thread
// that owns it. The programming dialog and ks340ctl read/write run it; many
// can run side by side in one event loop, one per port (no global state, no
// modal user interface inside).
//
//   SerialTransferJob job;
//   if (!job.open(resolvePortArgument("/dev/ttyUSB0")))   // PortError:
//       show(job.lastResult());                           //   message and reason
//   TransferOptions o;  o.kind = TransferKind::Write;  o.image = ...;
//   o.verify = true;  o.backupDirectory = ...;
//   connect(&job, &SerialTransferJob::progress, ...);    // blocks, time left
//   connect(&job, &SerialTransferJob::finished, ...);    // typed outcome
//   job.start(o);       // ... later job.stop() if the user asks
//   job.close();        // drains the port, then closes it
#pragma once

#include <QObject>
#include <QString>

#include <memory>

#include "link/TransferJob.h"
#include "link/serial/PortNames.h"

namespace ks340 {

class SerialTransport;
class WatchdogTimer;

class SerialTransferJob : public QObject {
    Q_OBJECT
public:
    explicit SerialTransferJob(QObject* parent = nullptr);
    ~SerialTransferJob() override;

    // Opens the port: a resolved --port argument or menu choice, a COM
    // number, or a device path. On failure lastResult() holds the
    // PortError: "Com%d Port Open Error!!" (or the path in place of
    // Com%d) and the reason with its fix.
    bool open(const PortChoice& choice);
    bool open(const QString& portArgument);
    bool openComNumber(int comNumber);
    // Drains and closes the port; a running job is abandoned quietly.
    void close();
    bool isOpen() const;

    // Starts a job (see TransferJob::start). finished() is emitted once at
    // its end, before start() returns when the port is closed.
    void start(const TransferOptions& options);
    // The user stops the job: finished(Cancelled) before this returns.
    void stop();

    bool running() const { return job_->running(); }
    bool busy() const { return job_->busy(); }
    TransferPhase phase() const { return job_->phase(); }
    const TransferResult& lastResult() const { return job_->lastResult(); }
    TransferJob& job() { return *job_; }
    const TransferJob& job() const { return *job_; }
    SerialTransport& transport() { return *transport_; }
    // The port's name as messages show it.
    QString portName() const;

signals:
    void phaseChanged(ks340::TransferPhase phase);
    void progress(const ks340::TransferProgress& progress);
    // True while blocks are exchanged.
    void busyChanged(bool busy);
    // A remark: a stale lock taken over, a backup that could not be kept.
    void note(const QString& text);
    void finished(const ks340::TransferResult& result);
    // A received burst was dropped because the queue was full ("buff full").
    void bufferFull();

private:
    class Relay;
    std::unique_ptr<Relay> relay_;
    SerialTransport* transport_;
    WatchdogTimer* timer_;
    std::unique_ptr<TransferJob> job_;
};

}  // namespace ks340
