#include "fleet/qt/FleetPortWorker.h"

#include "link/serial/PortNames.h"

namespace ks340::fleet {

FleetPortWorker::FleetPortWorker(const QString& portName, QObject* parent)
    : QObject(parent), portName_(portName), session_(this) {
    wake_.setSingleShot(true);
    connect(&wake_, &QTimer::timeout, this, [this] {
        if (scheduler_) scheduler_->wake(index_);
    });
    connect(&session_, &RadioSession::busyChanged, this, [this](bool busy) {
        if (!busy || answered_) return;
        answered_ = true;
        if (scheduler_ && !writing_) scheduler_->radioAnswered(index_);
    });
    connect(&session_, &RadioSession::progress, this, [this](int done, int total) {
        progress_ = done;
        if (scheduler_) scheduler_->progress(index_, done, writing_ ? total + 1 : total);
    });
    connect(&session_, &RadioSession::finished, this, &FleetPortWorker::onFinished);
}

bool FleetPortWorker::open(QString* error) {
    if (session_.open(resolvePortArgument(portName_))) return true;
    if (error) *error = session_.openErrorMessage();
    return false;
}

void FleetPortWorker::close() {
    wake_.stop();
    session_.close();
}

void FleetPortWorker::attach(FleetScheduler& scheduler, int index) {
    scheduler_ = &scheduler;
    index_ = index;
}

void FleetPortWorker::begin(bool writing) {
    ++generation_;
    writing_ = writing;
    answered_ = false;
    progress_ = 0;
}

void FleetPortWorker::startRead() {
    begin(false);
    session_.startRead();
}

void FleetPortWorker::startWrite(const MemoryImage& image) {
    begin(true);
    session_.startWrite(image);
}

void FleetPortWorker::cancel() {
    ++generation_;
    wake_.stop();
    session_.cancel();
}

void FleetPortWorker::wakeAfter(int milliseconds) { wake_.start(milliseconds); }

// Reported from the event loop, never from inside the scheduler's own call.
void FleetPortWorker::onFinished(bool ok, const QString& message) {
    TransferOutcome outcome;
    outcome.ok = ok;
    outcome.answered = answered_;
    outcome.portLost = !session_.isOpen();
    outcome.blocksDone = progress_;
    outcome.message = message.toStdString();
    const bool writing = writing_;
    const MemoryImage image = session_.image();
    const quint64 generation = generation_;
    QTimer::singleShot(0, this, [this, outcome, writing, image, generation] {
        if (!scheduler_ || generation != generation_) return;
        if (writing)
            scheduler_->writeFinished(index_, outcome);
        else
            scheduler_->readFinished(index_, outcome, image);
    });
}

}  // namespace ks340::fleet
