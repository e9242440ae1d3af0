// A fleet job: one configuration per unit, written to many radios over
// several ports, every radio read first (its backup), checked, written,
// read back and compared. No I/O of its own besides the backup files: the
// owner supplies one PortDriver per port and feeds the transfer outcomes
// back, all on one thread.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fleet/UnitList.h"
#include "image/MemoryImage.h"

namespace ks340::fleet {

enum class UnitStatus { Pending, InProgress, Done, Failed };
enum class UnitStep { None, ReadFirst, ModelCheck, Write, ReadBack, Verify };

const char* unitStatusName(UnitStatus status);  // "not done", "in progress", "done", "failed"
const char* unitStepName(UnitStep step);        // "", "read first", "model check", "write", "read back", "verify"
const char* unitStatusKey(UnitStatus status);   // "pending", "inProgress", "done", "failed"
const char* unitStepKey(UnitStep step);         // "", "readFirst", "modelCheck", "write", "readBack", "verify"
std::optional<UnitStatus> unitStatusFromKey(std::string_view key);
std::optional<UnitStep> unitStepFromKey(std::string_view key);

// What the job knows about one unit; kept on disk so that an interrupted
// job resumes with the units not done.
struct UnitRecord {
    std::string name;
    UnitStatus status = UnitStatus::Pending;
    std::string port;
    std::int64_t startMs = 0;  // milliseconds since 1970 (UTC), 0 when not started
    std::int64_t endMs = 0;
    UnitStep failedStep = UnitStep::None;
    std::string reason;
    std::string backupFile;   // the radio as it was before (read first)
    std::string imageSha256;  // of the image written
    std::string verify;       // "match", "N bytes differ", or empty when not compared
    bool readFirstSkipped = false;
    bool writeStoppedMidway = false;
    bool operator==(const UnitRecord&) const = default;
};

struct JobState {
    std::vector<UnitRecord> units;
    bool operator==(const JobState&) const = default;
};

// The records of a new or resumed job: one per planned unit in list order.
// A unit the previous state holds as done stays done (unless named in
// `redo`); any other unit starts afresh. Units of the previous state that
// the list no longer names are kept after them as they were.
JobState mergeJobState(const std::vector<UnitPlan>& plan, const JobState& previous, const std::set<std::string>& redo);

// Unit names of `redo` that the plan does not hold.
std::vector<std::string> unknownUnits(const std::vector<UnitPlan>& plan, const std::set<std::string>& redo);

// "2026-12-08T12:00:01Z"; empty for 0.
std::string isoTime(std::int64_t ms);

// The report as CSV: a heading line, then one line per unit.
std::string fleetReportCsv(const JobState& state);
const std::vector<std::string>& fleetReportColumns();
std::vector<std::string> fleetReportRow(const UnitRecord& unit);

// The outcome of one transfer as the port saw it.
struct StepOutcome {
    bool ok = false;
    bool answered = false;  // the radio accepted the request (blocks moved)
    bool portLost = false;  // the port went away (cable pulled, device gone)
    int blocksDone = 0;     // the last progress position
    std::string message;
};

// One port as the job drives it.
class PortDriver {
public:
    virtual ~PortDriver() = default;
    // Start a read (a request and the whole memory) or a write; the owner
    // reports the end through FleetScheduler::readFinished / writeFinished,
    // never from inside these calls.
    virtual void startRead() = 0;
    virtual void startWrite(const MemoryImage& image) = 0;
    // Abandon a transfer quietly.
    virtual void cancel() = 0;
    // Call FleetScheduler::wake(port) after this many milliseconds.
    virtual void wakeAfter(int milliseconds) = 0;
};

enum class PortPhase {
    Idle,     // nothing to do
    Prompt,   // waiting for the operator to connect the next radio
    Polling,  // automatic mode: waiting for a radio to answer
    ReadFirst,
    Writing,
    ReadBack,
    Paused,
    Stopped,
    Lost,  // the port went away; no more units here
};
const char* portPhaseName(PortPhase phase);

struct PortView {
    std::string name;
    PortPhase phase = PortPhase::Idle;
    int unit = -1;  // index into the state's units, -1 none
    int done = 0;   // progress of the transfer running
    int total = 0;
    int unitsDone = 0;
};

class FleetListener {
public:
    virtual ~FleetListener() = default;
    // A unit's record changed: save the state.
    virtual void unitChanged(int /*unit*/) {}
    virtual void portChanged(int /*port*/) {}
    // Prompt mode: connect the radio for `unit` to `port`, then release(port).
    virtual void promptNeeded(int /*port*/, int /*unit*/) {}
    virtual void note(int /*port*/, const std::string& /*text*/) {}
    // Every port has finished (all units run, or the job was stopped).
    virtual void jobFinished() {}
};

struct FleetOptions {
    bool autoMode = false;                  // poll for radios instead of asking
    bool readFirst = true;                  // false: --no-read-first (the report says so)
    int pollMs = 2000;                      // automatic mode: one read request this often
    std::string backupDirectory;            // read-first images, named after the unit
    std::function<std::int64_t()> clockMs;  // wall clock, milliseconds since 1970
};

class FleetScheduler {
public:
    FleetScheduler(std::vector<UnitPlan> plan, JobState& state, FleetOptions options, FleetListener& listener);

    int addPort(const std::string& name, PortDriver& driver);
    // Starts every port.
    void start();

    // Prompt answered: the radio for the port's unit is connected.
    void release(int port);
    void readFinished(int port, const StepOutcome& outcome, const MemoryImage& image);
    void writeFinished(int port, const StepOutcome& outcome);
    void wake(int port);
    void progress(int port, int done, int total);
    // The radio accepted the read request (automatic mode: a radio is there;
    // the read under way becomes the next unit's read-first).
    void radioAnswered(int port);

    // No new radio; transfers in progress finish.
    void stop();
    // Ends every transfer now; a unit in progress fails ("abandoned").
    void abandon();
    void pause();
    void resume();

    bool stopping() const { return stopping_; }
    bool paused() const { return paused_; }
    bool finished() const { return finished_; }
    // A write is running on some port (abandoning it leaves a radio unusable).
    bool writeInProgress() const;
    bool transferInProgress() const;
    bool allDone() const;
    int unitsLeft() const;  // not done and not failed
    const std::vector<PortView>& ports() const { return views_; }
    const JobState& state() const { return state_; }
    // The restore command for a unit whose write stopped midway.
    static std::string restoreCommand(const std::string& backupFile, const std::string& port);

private:
    enum class Running { None, Poll, ReadFirst, Write, ReadBack };
    struct Port {
        PortDriver* driver = nullptr;
        Running running = Running::None;  // what the transfer under way is for
        bool lost = false;
        int planIndex = -1;  // the unit (plan index) of the port
        std::int64_t attemptStartMs = 0;
        bool writeAnswered = false;
        std::optional<MemoryImage> lastWritten;  // the radio programmed last on this port
        bool awaitRemoval = false;               // automatic mode: a failed radio is still on the cable
    };

    void next(int port);
    void cancelTransfer(int port);
    void pollAgain(int port);
    void beginUnit(int port);
    void startPolling(int port);
    int takePending();
    void putBack(int port);
    void failUnit(int port, UnitStep step, const std::string& reason);
    void finishUnit(int port, bool done);
    void setPhase(int port, PortPhase phase);
    UnitRecord& record(int port);
    std::int64_t now() const;
    void checkFinished();
    void writeStoppedMidway(int port, const std::string& why);

    std::vector<UnitPlan> plan_;
    std::vector<int> stateIndex_;  // state record of each planned unit
    std::vector<bool> taken_;      // planned unit reserved by a port or run
    JobState& state_;
    FleetOptions options_;
    FleetListener& listener_;
    std::vector<Port> ports_;
    std::vector<PortView> views_;
    bool started_ = false;
    bool stopping_ = false;
    bool paused_ = false;
    bool finished_ = false;
};

}  // namespace ks340::fleet
