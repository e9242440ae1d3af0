#include "link/serial/SerialTransferJob.h"

#include "link/serial/SerialTransport.h"
#include "link/serial/WatchdogTimer.h"

namespace ks340 {

class SerialTransferJob::Relay : public TransferJobListener {
public:
    explicit Relay(SerialTransferJob& job) : job_(job) {}
    void phaseChanged(TransferPhase phase) override { emit job_.phaseChanged(phase); }
    void progress(const TransferProgress& p) override { emit job_.progress(p); }
    void busyChanged(bool busy) override { emit job_.busyChanged(busy); }
    void note(const std::string& text) override { emit job_.note(QString::fromStdString(text)); }
    void finished(const TransferResult& result) override { emit job_.finished(result); }

private:
    SerialTransferJob& job_;
};

SerialTransferJob::SerialTransferJob(QObject* parent)
    : QObject(parent),
      relay_(std::make_unique<Relay>(*this)),
      transport_(new SerialTransport(this)),
      timer_(new WatchdogTimer([this] { job_->onWatchdogExpired(); }, this)),
      job_(std::make_unique<TransferJob>(*transport_, *timer_, *relay_)) {
    connect(transport_, &SerialTransport::received, this, [this] { job_->onReceived(); });
    connect(transport_, &SerialTransport::lost, this, [this] { job_->onPortLost(); });
    connect(transport_, &SerialTransport::bufferFull, this, &SerialTransferJob::bufferFull);
}

SerialTransferJob::~SerialTransferJob() { job_->close(); }

bool SerialTransferJob::open(const PortChoice& choice) {
    if (!transport_->isOpen()) transport_->setPort(choice);
    return job_->open();
}

bool SerialTransferJob::open(const QString& portArgument) { return open(resolvePortArgument(portArgument)); }

bool SerialTransferJob::openComNumber(int comNumber) {
    PortChoice choice;
    choice.byNumber = true;
    choice.comNumber = comNumber;
    choice.name = portNameForComNumber(comNumber);
    return open(choice);
}

void SerialTransferJob::close() { job_->close(); }

bool SerialTransferJob::isOpen() const { return transport_->isOpen(); }

void SerialTransferJob::start(const TransferOptions& options) { job_->start(options); }

void SerialTransferJob::stop() { job_->stop(); }

QString SerialTransferJob::portName() const { return QString::fromStdString(transport_->name()); }

}  // namespace ks340
