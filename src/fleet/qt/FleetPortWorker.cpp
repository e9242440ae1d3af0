#include "fleet/qt/FleetPortWorker.h"

#include "link/serial/PortNames.h"

namespace ks340::fleet {

FleetPortWorker::FleetPortWorker(const QString& portName, QObject* parent)
    : QObject(parent), portName_(portName), job_(this) {
    wake_.setSingleShot(true);
    connect(&wake_, &QTimer::timeout, this, [this] {
        if (scheduler_) scheduler_->wake(index_);
    });
    connect(&job_, &SerialTransferJob::busyChanged, this, [this](bool busy) {
        if (!busy || answered_) return;
        answered_ = true;
        if (scheduler_ && !writing_) scheduler_->radioAnswered(index_);
    });
    connect(&job_, &SerialTransferJob::progress, this, [this](const TransferProgress& p) {
        progress_ = p.done;
        if (scheduler_) scheduler_->progress(index_, p.done, p.total);
    });
    connect(&job_, &SerialTransferJob::finished, this, &FleetPortWorker::onFinished);
}

bool FleetPortWorker::open(QString* error) {
    if (job_.open(resolvePortArgument(portName_))) return true;
    if (error) {
        const TransferResult& r = job_.lastResult();
        *error = QString::fromStdString(r.message);
        if (!r.detail.empty()) *error += QLatin1Char('\n') + QString::fromStdString(r.detail);
    }
    return false;
}

void FleetPortWorker::close() {
    wake_.stop();
    ++generation_;
    job_.close();
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

// One plain transfer each: the job keeps its own backups, named after the
// unit, and checks the radio between the read and the write.
void FleetPortWorker::startRead() {
    begin(false);
    TransferOptions options;
    options.kind = TransferKind::Read;
    options.keepBackups = false;
    job_.start(options);
}

void FleetPortWorker::startWrite(const MemoryImage& image) {
    begin(true);
    TransferOptions options;
    options.kind = TransferKind::Write;
    options.image = image;
    options.keepBackups = false;
    job_.start(options);
}

void FleetPortWorker::cancel() {
    wake_.stop();
    if (job_.running()) job_.stop();
    ++generation_;  // the end the stop reports is not the scheduler's business
}

void FleetPortWorker::wakeAfter(int milliseconds) { wake_.start(milliseconds); }

// Reported from the event loop, never from inside the scheduler's own call.
void FleetPortWorker::onFinished(const TransferResult& result) {
    StepOutcome outcome;
    outcome.ok = result.outcome == ks340::TransferOutcome::Done;
    outcome.answered = answered_ || result.writeStarted;
    outcome.portLost = !job_.isOpen();
    outcome.blocksDone = writing_ ? result.blocksWritten : progress_;
    outcome.message = result.message;
    if (!outcome.ok && !result.detail.empty()) outcome.message += " (" + result.detail + ")";
    const bool writing = writing_;
    const MemoryImage image = result.image;
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
