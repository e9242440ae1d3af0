#include "link/TransferJob.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "image/ImageBackup.h"

namespace ks340 {

namespace {

constexpr int kBlocks = wire::kWriteBlockCount;  // 510, both ways

const char* phaseName(TransferPhase phase) {
    switch (phase) {
        case TransferPhase::ReadFirst:
            return "read before write";
        case TransferPhase::Write:
            return "write";
        case TransferPhase::Verify:
            return "verify read";
        case TransferPhase::Read:
            return "read";
    }
    return "";
}

}  // namespace

double estimateSecondsLeft(int done, int total, double elapsedSeconds) {
    if (done <= 0 || done >= total || elapsedSeconds <= 0) return -1;
    return elapsedSeconds * (total - done) / done;
}

std::string timeLeftText(double secondsLeft) {
    if (secondsLeft < 0) return {};
    const long long s = static_cast<long long>(std::ceil(secondsLeft));
    char text[48];
    if (s < 60)
        std::snprintf(text, sizeof text, "%lld s left", s);
    else
        std::snprintf(text, sizeof text, "%lld min %02lld s left", s / 60, s % 60);
    return text;
}

std::string verifyText(const TransferResult& result, std::size_t maxLines) {
    switch (result.verify) {
        case VerifyResult::NotRun:
            return {};
        case VerifyResult::Same:
            return "Verify OK: the radio holds the bytes written.";
        case VerifyResult::ReadFailed:
            return "Verify failed: the radio could not be read back.";
        case VerifyResult::Differs:
            break;
    }
    return "Verify failed: " + std::to_string(result.mismatches.size()) + " byte(s) differ from what was written:\n" +
           formatByteMismatches(result.mismatches, maxLines);
}

std::string radioStateText(const TransferResult& r) {
    if (r.kind == TransferKind::Read || r.phase == TransferPhase::ReadFirst) return "The radio was not changed.";
    if (r.phase == TransferPhase::Verify)
        return "The radio holds the whole write; only the read-back that checks it did not finish.";
    if (!r.writeStarted) return "Nothing was written: the radio was not changed.";
    std::string text = r.blocksWritten > 0 ? "The radio is partly written: it accepted blocks 0 to " +
                                                 std::to_string(r.blocksWritten - 1) + " of 509."
                                           : "The radio is partly written: it may hold part of block 0.";
    if (r.restoreBackup.empty())
        text += " No backup was kept: write the configuration again to complete it.";
    else if (r.restoreIsReadFirst)
        text += " The backup " + r.restoreBackup + " holds what the radio held before: write it to restore the radio.";
    else
        text += " The backup " + r.restoreBackup + " holds the image being written: write it to complete the radio.";
    return text;
}

std::string resultText(const TransferResult& r) {
    std::string text = r.message;
    if (r.outcome == TransferOutcome::Cancelled) {
        text += "\n" + radioStateText(r);
    } else if (r.outcome == TransferOutcome::PortError) {
        if (!r.detail.empty()) text += "\n\n" + r.detail;
    } else if (!r.detail.empty()) {
        text += "\n" + r.detail;
    }
    if (r.verify != VerifyResult::NotRun) text += "\n\n" + verifyText(r);
    return text;
}

// The exchange's events, handed to the job.
class TransferJob::Relay : public ExchangeListener {
public:
    explicit Relay(TransferJob& job) : job_(job) {}
    void progressChanged(int position, int maximum) override { job_.phaseProgress(position, maximum); }
    void busyChanged(bool busy) override { job_.phaseBusy(busy); }
    void finished(bool ok, const std::string& message) override { job_.phaseFinished(ok, message); }

private:
    TransferJob& job_;
};

// The port as the exchange sees it; sent bytes go into the trace.
class TransferJob::Tap : public Transport {
public:
    explicit Tap(TransferJob& job) : job_(job) {}
    int write(const std::uint8_t* data, int n) override {
        if (job_.options_.trace && n > 0) job_.options_.trace->record(true, data, n);
        return job_.port_.write(data, n);
    }
    ReceiveQueue& queue() override { return job_.port_.queue(); }

private:
    TransferJob& job_;
};

TransferJob::TransferJob(TransferPort& port, Timer& timer, TransferJobListener& listener,
                         std::function<Clock::time_point()> clock)
    : port_(port),
      timer_(timer),
      listener_(listener),
      clock_(std::move(clock)),
      relay_(std::make_unique<Relay>(*this)),
      tap_(std::make_unique<Tap>(*this)),
      exchange_(*tap_, timer_, *relay_) {}

TransferJob::~TransferJob() { exchange_.cancel(); }

bool TransferJob::open() {
    result_ = TransferResult{};
    if (port_.isOpen()) return true;
    std::string message, reason;
    if (port_.open(message, reason)) {
        const std::string note = port_.openNote();
        if (!note.empty()) listener_.note(note);
        return true;
    }
    result_.outcome = TransferOutcome::PortError;
    result_.message = message;
    result_.detail = reason;
    return false;
}

void TransferJob::start(const TransferOptions& options) {
    if (running_) exchange_.cancel();
    options_ = options;
    result_ = TransferResult{};
    result_.kind = options.kind;
    running_ = true;
    blocksWritten_ = 0;
    writeStarted_ = false;
    restoreBackup_.clear();
    writeBackup_.clear();
    if (options.kind == TransferKind::Read)
        beginPhase(TransferPhase::Read);
    else
        beginPhase(options.readFirst ? TransferPhase::ReadFirst : TransferPhase::Write);
}

void TransferJob::beginPhase(TransferPhase phase) {
    phase_ = phase;
    anyReply_ = false;
    dataPhase_ = false;
    lastPosition_ = -1;
    tracedQueued_ = 0;
    phaseStart_ = clock_();
    if (options_.trace) options_.trace->note(std::string(phaseName(phase)) + " on " + port_.name());
    listener_.phaseChanged(phase);
    if (phase == TransferPhase::Write)
        exchange_.startWrite(options_.image);
    else
        exchange_.startRead(phase == TransferPhase::Read ? options_.image : LinkImage{});
    if (running_ && phase_ == phase && !port_.isOpen()) exchange_.onTransportLost();
}

void TransferJob::phaseProgress(int position, int maximum) {
    lastPosition_ = position;
    TransferProgress p;
    p.phase = phase_;
    p.total = phase_ == TransferPhase::Write ? maximum + 1 : maximum;
    // A write reports the block going out: the blocks before it are done.
    p.done = position;
    if (phase_ == TransferPhase::Write && dataPhase_) blocksWritten_ = position;
    const double elapsed = std::chrono::duration<double>(clock_() - phaseStart_).count();
    p.secondsLeft = estimateSecondsLeft(p.done, p.total, elapsed);
    listener_.progress(p);
}

void TransferJob::phaseBusy(bool busy) {
    if (busy) {
        dataPhase_ = true;
        if (phase_ == TransferPhase::Write && !writeStarted_) {
            // The first block has gone out: from now on the radio is changed.
            writeStarted_ = true;
            if (options_.keepBackups) keepBackup(options_.image, "write", writeBackup_);
            if (restoreBackup_.empty()) restoreBackup_ = writeBackup_;
        }
    }
    listener_.busyChanged(busy);
}

void TransferJob::keepBackup(const LinkImage& image, const char* kind, std::string& path) {
    path.clear();
    const BackupResult b = writeImageBackup(options_.backupDirectory, image, kind);
    if (b.ok) {
        path = b.path;
        return;
    }
    result_.backupError = b.error;
    listener_.note("no backup was kept: " + b.error);
}

void TransferJob::phaseFinished(bool ok, const std::string& message) {
    if (!running_) return;
    const TransferPhase phase = phase_;
    if (!ok) {
        std::string detail = failureDetail();
        if (phase == TransferPhase::Verify) {
            result_.verify = VerifyResult::ReadFailed;
            end(TransferOutcome::VerifyFailed, ProgrammingExchange::kWriteComplete, std::move(detail));
            return;
        }
        const TransferOutcome outcome = exchange_.failure() == ProgrammingExchange::Failure::Incomplete
                                            ? TransferOutcome::IncompleteRead
                                            : TransferOutcome::CommunicationError;
        end(outcome, message, std::move(detail));
        return;
    }
    TransferProgress p;
    p.phase = phase;
    p.done = p.total = kBlocks;
    listener_.progress(p);
    switch (phase) {
        case TransferPhase::ReadFirst: {
            std::string path;
            keepBackup(exchange_.image(), "before-write", path);
            if (path.empty()) {
                end(TransferOutcome::BackupFailed, "Nothing was written: the radio's memory could not be kept.",
                    result_.backupError);
                return;
            }
            restoreBackup_ = path;
            result_.restoreIsReadFirst = true;
            port_.drain(kDrainTimeoutMs);
            beginPhase(TransferPhase::Write);
            return;
        }
        case TransferPhase::Write:
            blocksWritten_ = kBlocks;
            if (options_.verify) {
                port_.drain(kDrainTimeoutMs);
                beginPhase(TransferPhase::Verify);
                return;
            }
            end(TransferOutcome::Done, message, {});
            return;
        case TransferPhase::Verify:
            result_.mismatches = compareWrittenImage(options_.image, exchange_.image());
            result_.verify = result_.mismatches.empty() ? VerifyResult::Same : VerifyResult::Differs;
            end(result_.mismatches.empty() ? TransferOutcome::Done : TransferOutcome::VerifyFailed,
                ProgrammingExchange::kWriteComplete, {});
            return;
        case TransferPhase::Read:
            if (options_.keepBackups) keepBackup(exchange_.image(), "read", result_.backupPath);
            end(TransferOutcome::Done, message, {});
            return;
    }
}

std::string TransferJob::failureDetail() const {
    const std::string port = port_.name();
    switch (exchange_.failure()) {
        case ProgrammingExchange::Failure::TransportLost:
            return port + " went away during the transfer: is the cable plugged in?";
        case ProgrammingExchange::Failure::Incomplete:
            return "the radio on " + port + " ended the read with " +
                   std::to_string(wire::kReadPacketCount - exchange_.halfBlocksReceived()) + " packet(s) missing";
        case ProgrammingExchange::Failure::TooManyErrors:
        case ProgrammingExchange::Failure::None:
            break;
    }
    if (!anyReply_) return "no radio answered on " + port + " \u2014 is it switched on and in programming mode?";
    if (!dataPhase_) return "the radio on " + port + " did not accept the request";
    const int last = phase_ == TransferPhase::Write ? blocksWritten_ - 1 : lastPosition_;
    if (last < 0) return "replies from the radio on " + port + " stopped before block 0";
    return "replies from the radio on " + port + " stopped after block " + std::to_string(last);
}

void TransferJob::stop() {
    if (!running_) return;
    exchange_.cancel();
    end(TransferOutcome::Cancelled, options_.kind == TransferKind::Read ? "Reading stopped." : "Writing stopped.",
        "stopped by the user");
}

void TransferJob::end(TransferOutcome outcome, std::string message, std::string detail) {
    running_ = false;
    // The radio must receive what was sent last: the final acknowledgement,
    // the last block, a refusal or a resend.
    port_.drain(kDrainTimeoutMs);
    if (outcome != TransferOutcome::Done && outcome != TransferOutcome::VerifyFailed && writeStarted_ &&
        !writeBackup_.empty() && phase_ == TransferPhase::Write) {
        // The write did not complete: its backup says so in its name.
        const std::string suffix = "-write.img";
        if (writeBackup_.size() > suffix.size() &&
            writeBackup_.compare(writeBackup_.size() - suffix.size(), suffix.size(), suffix) == 0) {
            const std::string failed =
                writeBackup_.substr(0, writeBackup_.size() - suffix.size()) + "-write-failed.img";
            std::error_code ec;
            std::filesystem::rename(writeBackup_, failed, ec);
            if (!ec) {
                if (restoreBackup_ == writeBackup_) restoreBackup_ = failed;
                writeBackup_ = failed;
            }
        }
    }
    result_.outcome = outcome;
    result_.kind = options_.kind;
    result_.phase = phase_;
    result_.message = std::move(message);
    result_.detail = std::move(detail);
    result_.image = options_.kind == TransferKind::Read ? exchange_.image() : options_.image;
    result_.blocksWritten = blocksWritten_;
    result_.writeStarted = writeStarted_;
    result_.restoreBackup = restoreBackup_;
    if (options_.kind == TransferKind::Write) result_.backupPath = writeBackup_;
    if (options_.trace) options_.trace->note(result_.message + (result_.detail.empty() ? "" : ": " + result_.detail));
    listener_.finished(result_);
}

void TransferJob::close() {
    if (running_) {
        exchange_.cancel();
        running_ = false;
    }
    if (!port_.isOpen()) return;
    port_.drain(kDrainTimeoutMs);
    port_.close();
}

void TransferJob::onReceived() {
    const int queued = port_.queue().count();
    if (queued > 0) anyReply_ = true;
    if (options_.trace) traceReceived();
    exchange_.onReceiveNotification();
    tracedQueued_ = port_.queue().count();
}

// Shows the trace the bytes queued since the last notification. The
// exchange may have left the start of a packet in the queue; those bytes
// were shown last time. The queue is emptied and refilled in order.
void TransferJob::traceReceived() {
    ReceiveQueue& queue = port_.queue();
    const int n = queue.count();
    if (n <= tracedQueued_) return;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    const int taken = queue.take(bytes.data(), n);
    queue.pushBurst(bytes.data(), static_cast<std::size_t>(taken));
    if (taken > tracedQueued_) options_.trace->record(false, bytes.data() + tracedQueued_, taken - tracedQueued_);
}

void TransferJob::onWatchdogExpired() { exchange_.onWatchdogExpired(); }

void TransferJob::onPortLost() { exchange_.onTransportLost(); }

}  // namespace ks340
