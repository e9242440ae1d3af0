// One transfer with the radio from start to end, with everything around
// it: the optional read of the radio before a write, the backups, the
// transfer trace, the read-back that verifies a write, progress with the
// time left, and a typed outcome with its message.
//
// The job drives a ProgrammingExchange over a TransferPort and a Timer that
// its owner provides, and is fed the same three events as the exchange
// (onReceived, onWatchdogExpired, onPortLost), all on one thread. It keeps
// no global state and never blocks for longer than the bounded drain of the
// port, so many jobs can run side by side in one event loop, one per port.
//
//   port.open / job.open()      opens the port (PortError when it fails)
//   job.start(options)          runs the phases: [read first] write [verify],
//                               or read
//   job.stop()                  the user stops: the exchange ends at once,
//                               the bytes already sent leave the port, and
//                               the result says what the radio now holds
//   job.close()                 drains the port and closes it
//
// Every end of a phase or of the job waits (bounded) until the bytes written
// have left the port, so the radio receives the last acknowledgement of a
// read, a write's last block and any refusal or resend sent just before.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "image/ImageVerify.h"
#include "link/ProgrammingExchange.h"
#include "link/TransferTrace.h"

namespace ks340 {

// The port a job runs over: an exchange transport that can be opened,
// drained and closed.
class TransferPort : public Transport {
public:
    // Opens the port. On failure `message` is the program's text
    // ("Com5 Port Open Error!!") and `reason` why, with the fix.
    virtual bool open(std::string& message, std::string& reason) = 0;
    // Waits, at most timeoutMs, until every byte written has left the port.
    virtual void drain(int timeoutMs) = 0;
    // Closes the port (after draining it); nothing when it is closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // The port's name in messages: "/dev/ttyUSB0", "COM3".
    virtual std::string name() const = 0;
    // What opening had to mend (a stale lock taken over), or empty.
    virtual std::string openNote() const { return {}; }
};

enum class TransferKind { Read, Write };

enum class TransferPhase {
    ReadFirst,  // the radio's memory before a write, kept as the backup
    Write,
    Verify,  // the read-back after a write
    Read,
};

enum class TransferOutcome {
    Done,                // completed (a write's verify, when asked, found the bytes written)
    Cancelled,           // stopped by the user
    CommunicationError,  // "Communication Error!!": replies missing or refused, or the port went away
    PortError,           // the port could not be opened
    IncompleteRead,      // the radio ended the read with packets missing ("Communication Error!!")
    VerifyFailed,        // the write completed, but the radio holds other bytes or could not be read back
    BackupFailed,        // the backup asked for before a write could not be kept; nothing was written
};

struct TransferOptions {
    TransferKind kind = TransferKind::Read;
    // Write: the bytes to send. Read: the bytes a read does not fill.
    LinkImage image{};
    bool verify = false;     // write: read the radio back and compare
    bool readFirst = false;  // write: read the radio first and keep that image as the backup
    // Backups: every completed read and every write that sent a block keep
    // their image in backupDirectory. A read-first image is always kept.
    bool keepBackups = true;
    std::string backupDirectory;
    // Every byte each way, and the start and end of each phase; owned by
    // the caller, may be null.
    TransferTrace* trace = nullptr;
};

struct TransferProgress {
    TransferPhase phase = TransferPhase::Read;
    int done = 0;             // blocks done in this phase
    int total = 0;            // blocks of this phase (510)
    double secondsLeft = -1;  // of this phase; negative while unknown
};

enum class VerifyResult { NotRun, Same, Differs, ReadFailed };

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::Done;
    TransferKind kind = TransferKind::Read;
    TransferPhase phase = TransferPhase::Read;  // the phase the job ended in
    // The program's own text: "Reading Data Complete!", "Writing Data
    // Complete!", "Communication Error!!", "Com5 Port Open Error!!", or for
    // a stopped job "Reading stopped." / "Writing stopped.".
    std::string message;
    // One line with the port and the reason (empty when done); for a port
    // error the reason and its fix, a few lines.
    std::string detail;
    // Read: the image read (complete when done). Write: the image sent.
    LinkImage image{};
    int blocksWritten = 0;      // blocks of a write the radio accepted
    bool writeStarted = false;  // at least one block of a write went out
    // The backup that puts the radio back (the read-first image, else the
    // image of the write), and the backup of this transfer; empty when
    // none was kept.
    std::string restoreBackup;
    bool restoreIsReadFirst = false;  // restoreBackup holds the radio's memory before the write
    std::string backupPath;
    std::string backupError;  // why a backup could not be kept
    VerifyResult verify = VerifyResult::NotRun;
    std::vector<ByteMismatch> mismatches;
    bool ok() const { return outcome == TransferOutcome::Done; }
};

class TransferJobListener {
public:
    virtual ~TransferJobListener() = default;
    virtual void phaseChanged(TransferPhase /*phase*/) {}
    virtual void progress(const TransferProgress& /*progress*/) {}
    // True while blocks are exchanged (the dialog's buttons are disabled).
    virtual void busyChanged(bool /*busy*/) {}
    // A remark worth showing: a stale lock taken over, a backup that could
    // not be kept.
    virtual void note(const std::string& /*text*/) {}
    virtual void finished(const TransferResult& /*result*/) {}
};

// Linear estimate of the seconds left of a phase: done of total blocks in
// `elapsedSeconds`. Negative while nothing is done or when complete.
double estimateSecondsLeft(int done, int total, double elapsedSeconds);
// "12 s left", "2 min 05 s left"; empty for a negative estimate.
std::string timeLeftText(double secondsLeft);

// The texts of a result.
// "Writing Data Complete!\n\nVerify OK: ..." and so on: the message, the
// detail line, and for a write the verify result.
std::string resultText(const TransferResult& result);
// "Verify OK: the radio holds the bytes written." or the differences.
std::string verifyText(const TransferResult& result, std::size_t maxLines = 20);
// What the radio holds after the job ended other than done: unchanged,
// partly written (blocks 0 to N), and the backup that restores it.
std::string radioStateText(const TransferResult& result);

class TransferJob {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr int kDrainTimeoutMs = 250;

    TransferJob(TransferPort& port, Timer& timer, TransferJobListener& listener,
                std::function<Clock::time_point()> clock = &Clock::now);
    ~TransferJob();
    TransferJob(const TransferJob&) = delete;
    TransferJob& operator=(const TransferJob&) = delete;

    // Opens the port; on failure the result (PortError, with the reason) is
    // in lastResult() and false is returned. A note from opening (a stale
    // lock taken over) goes to the listener's note().
    bool open();
    // Starts a job on the open port (or restarts one: a running job is
    // abandoned quietly). With the port closed the job fails at once.
    void start(const TransferOptions& options);
    // Stops a running job: finished(Cancelled) follows before this returns.
    void stop();
    // Drains and closes the port; a running job is abandoned quietly.
    void close();

    // Events from the owner.
    void onReceived();
    void onWatchdogExpired();
    void onPortLost();

    bool running() const { return running_; }
    bool busy() const { return exchange_.busy(); }
    TransferPhase phase() const { return phase_; }
    const TransferOptions& options() const { return options_; }
    // Blocks of the write phase the radio accepted so far, and whether a
    // block has gone out.
    int blocksWritten() const { return blocksWritten_; }
    bool writeStarted() const { return writeStarted_; }
    // The backup that restores the radio as far as it is known now.
    const std::string& restoreBackup() const { return restoreBackup_; }
    const TransferResult& lastResult() const { return result_; }
    const ProgrammingExchange& exchange() const { return exchange_; }
    TransferPort& port() { return port_; }

private:
    class Relay;
    class Tap;
    friend class Relay;

    void beginPhase(TransferPhase phase);
    void phaseProgress(int position, int maximum);
    void phaseBusy(bool busy);
    void phaseFinished(bool ok, const std::string& message);
    void traceReceived();
    void keepBackup(const LinkImage& image, const char* kind, std::string& path);
    void end(TransferOutcome outcome, std::string message, std::string detail);
    std::string failureDetail() const;

    TransferPort& port_;
    Timer& timer_;
    TransferJobListener& listener_;
    std::function<Clock::time_point()> clock_;
    std::unique_ptr<Relay> relay_;
    std::unique_ptr<Tap> tap_;
    ProgrammingExchange exchange_;

    TransferOptions options_;
    TransferResult result_;
    TransferPhase phase_ = TransferPhase::Read;
    bool running_ = false;
    bool anyReply_ = false;   // a byte came from the radio in this phase
    bool dataPhase_ = false;  // the request of this phase was accepted
    int lastPosition_ = -1;
    int blocksWritten_ = 0;
    bool writeStarted_ = false;
    std::string restoreBackup_;
    std::string writeBackup_;
    LinkImage readFirstImage_{};
    Clock::time_point phaseStart_{};
    int tracedQueued_ = 0;
};

}  // namespace ks340
