#include "fleet/FleetJob.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <map>

#include "fileio/AtomicFile.h"
#include "image/ImageVerify.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"

namespace ks340::fleet {

namespace {

constexpr const char* kStatusNames[] = {"not done", "in progress", "done", "failed"};
constexpr const char* kStatusKeys[] = {"pending", "inProgress", "done", "failed"};
constexpr const char* kStepNames[] = {"", "read first", "model check", "write", "read back", "verify"};
constexpr const char* kStepKeys[] = {"", "readFirst", "modelCheck", "write", "readBack", "verify"};

std::string modelBandText(int model, int band) {
    return std::string(model == 1 ? "KS-390 Series" : "KS-340 Series") + " " + (band == 1 ? "VHF2" : "UHF2");
}

UnitRecord freshRecord(const std::string& name) {
    UnitRecord r;
    r.name = name;
    return r;
}

std::string compactTime(std::int64_t ms) {
    const std::time_t t = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

}  // namespace

const char* unitStatusName(UnitStatus s) { return kStatusNames[static_cast<int>(s)]; }
const char* unitStatusKey(UnitStatus s) { return kStatusKeys[static_cast<int>(s)]; }
const char* unitStepName(UnitStep s) { return kStepNames[static_cast<int>(s)]; }
const char* unitStepKey(UnitStep s) { return kStepKeys[static_cast<int>(s)]; }

std::optional<UnitStatus> unitStatusFromKey(std::string_view key) {
    for (int i = 0; i < 4; ++i)
        if (key == kStatusKeys[i]) return static_cast<UnitStatus>(i);
    return std::nullopt;
}

std::optional<UnitStep> unitStepFromKey(std::string_view key) {
    for (int i = 0; i < 6; ++i)
        if (key == kStepKeys[i]) return static_cast<UnitStep>(i);
    return std::nullopt;
}

const char* portPhaseName(PortPhase phase) {
    switch (phase) {
        case PortPhase::Idle:
            return "idle";
        case PortPhase::Prompt:
            return "waiting for the next radio";
        case PortPhase::Polling:
            return "waiting for a radio to answer";
        case PortPhase::ReadFirst:
            return "read first";
        case PortPhase::Writing:
            return "write";
        case PortPhase::ReadBack:
            return "read back";
        case PortPhase::Paused:
            return "paused";
        case PortPhase::Stopped:
            return "stopped";
        case PortPhase::Lost:
            return "port lost";
    }
    return "";
}

JobState mergeJobState(const std::vector<UnitPlan>& plan, const JobState& previous, const std::set<std::string>& redo) {
    std::map<std::string, const UnitRecord*> old;
    for (const UnitRecord& r : previous.units) old[r.name] = &r;
    JobState state;
    std::set<std::string> planned;
    for (const UnitPlan& unit : plan) {
        planned.insert(unit.name);
        UnitRecord record;
        record.name = unit.name;
        if (auto it = old.find(unit.name);
            it != old.end() && it->second->status == UnitStatus::Done && !redo.count(unit.name))
            record = *it->second;
        state.units.push_back(std::move(record));
    }
    for (const UnitRecord& r : previous.units)
        if (!planned.count(r.name)) state.units.push_back(r);
    return state;
}

std::vector<std::string> unknownUnits(const std::vector<UnitPlan>& plan, const std::set<std::string>& redo) {
    std::vector<std::string> unknown;
    for (const std::string& name : redo)
        if (std::none_of(plan.begin(), plan.end(), [&](const UnitPlan& u) { return u.name == name; }))
            unknown.push_back(name);
    return unknown;
}

std::string isoTime(std::int64_t ms) {
    if (ms <= 0) return {};
    const std::time_t t = static_cast<std::time_t>(ms / 1000);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

const std::vector<std::string>& fleetReportColumns() {
    static const std::vector<std::string> columns = {"Unit",   "Port",   "Start",   "End",    "Result",    "Step",
                                                     "Reason", "Backup", "SHA-256", "Verify", "Read First"};
    return columns;
}

std::vector<std::string> fleetReportRow(const UnitRecord& u) {
    const bool failed = u.status == UnitStatus::Failed;
    return {u.name,
            u.port,
            isoTime(u.startMs),
            isoTime(u.endMs),
            unitStatusName(u.status),
            failed ? unitStepName(u.failedStep) : "",
            u.reason,
            u.backupFile,
            u.imageSha256,
            u.verify,
            u.readFirstSkipped ? "skipped (--no-read-first)" : (u.startMs > 0 ? "yes" : "")};
}

std::string fleetReportCsv(const JobState& state) {
    std::string out = joinCsvLine(fleetReportColumns());
    for (const UnitRecord& u : state.units) out += joinCsvLine(fleetReportRow(u));
    return out;
}

std::string FleetScheduler::restoreCommand(const std::string& backupFile, const std::string& port) {
    auto quoted = [](const std::string& s) {
        if (s.find_first_of(" '\"\\$`") == std::string::npos) return s;
        std::string q = "'";
        for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return q + "'";
    };
    return "ks340ctl write " + quoted(backupFile) + " --port " + quoted(port);
}

FleetScheduler::FleetScheduler(std::vector<UnitPlan> plan, JobState& state, FleetOptions options,
                               FleetListener& listener)
    : plan_(std::move(plan)), state_(state), options_(std::move(options)), listener_(listener) {
    taken_.assign(plan_.size(), false);
    for (const UnitPlan& unit : plan_) {
        auto it = std::find_if(state_.units.begin(), state_.units.end(),
                               [&](const UnitRecord& r) { return r.name == unit.name; });
        if (it == state_.units.end()) {
            state_.units.push_back(UnitRecord{});
            state_.units.back().name = unit.name;
            it = state_.units.end() - 1;
        }
        stateIndex_.push_back(static_cast<int>(it - state_.units.begin()));
    }
    for (std::size_t i = 0; i < plan_.size(); ++i) {
        UnitRecord& r = state_.units[static_cast<std::size_t>(stateIndex_[i])];
        if (r.status == UnitStatus::Done)
            taken_[i] = true;
        else if (r.status == UnitStatus::InProgress)
            r = freshRecord(r.name);  // killed midway last time: run again
    }
}

int FleetScheduler::addPort(const std::string& name, PortDriver& driver) {
    Port p;
    p.driver = &driver;
    ports_.push_back(p);
    PortView v;
    v.name = name;
    views_.push_back(v);
    return static_cast<int>(ports_.size()) - 1;
}

std::int64_t FleetScheduler::now() const {
    if (options_.clockMs) return options_.clockMs();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void FleetScheduler::start() {
    started_ = true;
    for (int p = 0; p < static_cast<int>(ports_.size()); ++p) next(p);
    checkFinished();
}

UnitRecord& FleetScheduler::record(int port) {
    return state_.units[static_cast<std::size_t>(stateIndex_[static_cast<std::size_t>(ports_[port].planIndex)])];
}

void FleetScheduler::setPhase(int port, PortPhase phase) {
    PortView& v = views_[static_cast<std::size_t>(port)];
    v.phase = phase;
    v.unit = ports_[port].planIndex >= 0 ? stateIndex_[static_cast<std::size_t>(ports_[port].planIndex)] : -1;
    if (phase != PortPhase::ReadFirst && phase != PortPhase::Writing && phase != PortPhase::ReadBack)
        v.done = v.total = 0;
    listener_.portChanged(port);
}

int FleetScheduler::takePending() {
    for (std::size_t i = 0; i < plan_.size(); ++i)
        if (!taken_[i]) {
            taken_[i] = true;
            return static_cast<int>(i);
        }
    return -1;
}

void FleetScheduler::putBack(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    if (p.planIndex >= 0) taken_[static_cast<std::size_t>(p.planIndex)] = false;
    p.planIndex = -1;
}

// What the port does once it is free.
void FleetScheduler::next(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    if (p.lost) {
        putBack(port);
        setPhase(port, PortPhase::Lost);
        return;
    }
    if (stopping_) {
        putBack(port);
        setPhase(port, PortPhase::Stopped);
        return;
    }
    if (paused_) {
        putBack(port);
        setPhase(port, PortPhase::Paused);
        return;
    }
    if (options_.autoMode) {
        // The unit is chosen when a radio answers.
        p.planIndex = -1;
        if (std::find(taken_.begin(), taken_.end(), false) == taken_.end()) {
            setPhase(port, PortPhase::Idle);
            return;
        }
        startPolling(port);
        return;
    }
    if (p.planIndex < 0) p.planIndex = takePending();
    if (p.planIndex < 0) {
        setPhase(port, PortPhase::Idle);
        return;
    }
    setPhase(port, PortPhase::Prompt);
    listener_.promptNeeded(port, stateIndex_[static_cast<std::size_t>(p.planIndex)]);
}

void FleetScheduler::startPolling(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    p.attemptStartMs = now();
    setPhase(port, PortPhase::Polling);
    p.running = Running::Poll;
    p.driver->startRead();
}

void FleetScheduler::release(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    if (views_[static_cast<std::size_t>(port)].phase != PortPhase::Prompt || p.planIndex < 0) return;
    beginUnit(port);
}

// The unit of the port starts: its record shows it in progress.
void FleetScheduler::beginUnit(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    UnitRecord& r = record(port);
    r = freshRecord(r.name);
    r.status = UnitStatus::InProgress;
    r.port = views_[static_cast<std::size_t>(port)].name;
    r.startMs = now();
    p.writeAnswered = false;
    listener_.unitChanged(stateIndex_[static_cast<std::size_t>(p.planIndex)]);
    if (!options_.readFirst) {
        r.readFirstSkipped = true;
        r.imageSha256 = plan_[static_cast<std::size_t>(p.planIndex)].imageSha256;
        setPhase(port, PortPhase::Writing);
        p.running = Running::Write;
        p.driver->startWrite(plan_[static_cast<std::size_t>(p.planIndex)].image);
        return;
    }
    p.attemptStartMs = now();
    setPhase(port, PortPhase::ReadFirst);
    p.running = Running::ReadFirst;
    p.driver->startRead();
}

void FleetScheduler::readFinished(int port, const StepOutcome& outcome, const MemoryImage& image) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    const Running kind = p.running;
    if (kind != Running::Poll && kind != Running::ReadFirst && kind != Running::ReadBack) return;
    p.running = Running::None;
    if (outcome.portLost) p.lost = true;
    const std::string message = outcome.message + (outcome.portLost ? " (the port went away)" : "");

    if (kind == Running::Poll) {
        // Nobody answered (or a radio that gave no unit its read-first).
        if (!outcome.answered) p.awaitRemoval = false;
        if (p.lost) {
            listener_.note(port, "the port went away: " + outcome.message);
            setPhase(port, PortPhase::Lost);
            checkFinished();
            return;
        }
        pollAgain(port);
        return;
    }
    if (kind == Running::ReadFirst && outcome.ok && options_.autoMode && p.lastWritten &&
        std::equal(image.begin(), image.begin() + kTransferSize, p.lastWritten->begin())) {
        // The radio programmed just now on this port is still on the cable:
        // not the next unit's radio.
        UnitRecord& r = record(port);
        r = freshRecord(r.name);
        listener_.unitChanged(stateIndex_[static_cast<std::size_t>(p.planIndex)]);
        putBack(port);
        setPhase(port, PortPhase::Polling);
        pollAgain(port);
        return;
    }
    if (kind == Running::ReadFirst) {
        if (!outcome.ok) {
            if (!outcome.answered && !options_.autoMode && !p.lost && !stopping_ && !paused_) {
                // Nobody answered: ask again for the same radio.
                UnitRecord& r = record(port);
                r = freshRecord(r.name);
                listener_.unitChanged(stateIndex_[static_cast<std::size_t>(p.planIndex)]);
                listener_.note(port, "no radio answered: " + message);
                setPhase(port, PortPhase::Prompt);
                listener_.promptNeeded(port, stateIndex_[static_cast<std::size_t>(p.planIndex)]);
                return;
            }
            failUnit(port, UnitStep::ReadFirst, "the radio could not be read: " + message + "; nothing was written");
            return;
        }
    } else {
        UnitRecord& r = record(port);
        if (!outcome.ok) {
            failUnit(port, UnitStep::ReadBack, "the write completed but the radio could not be read back: " + message);
            return;
        }
        const std::vector<ByteMismatch> mismatches =
            compareWrittenImage(plan_[static_cast<std::size_t>(p.planIndex)].image, image);
        p.lastWritten = plan_[static_cast<std::size_t>(p.planIndex)].image;
        if (!mismatches.empty()) {
            r.verify = std::to_string(mismatches.size()) + " bytes differ";
            failUnit(port, UnitStep::Verify,
                     "the radio holds other bytes than were written: " + formatByteMismatches(mismatches, 3));
            return;
        }
        r.verify = "match";
        finishUnit(port, true);
        return;
    }

    // Read-first completed: keep the backup, check the radio, then write.
    UnitRecord& r = record(port);
    const UnitPlan& unit = plan_[static_cast<std::size_t>(p.planIndex)];
    listener_.unitChanged(stateIndex_[static_cast<std::size_t>(p.planIndex)]);
    const std::filesystem::path dir(options_.backupDirectory);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const std::string stem = unitFileStem(unit.name) + "-" + compactTime(now());
    std::string path = (dir / (stem + ".img")).string();
    for (int n = 2; std::filesystem::exists(path, ec); ++n)
        path = (dir / (stem + "-" + std::to_string(n) + ".img")).string();
    const fileio::IoStatus saved =
        fileio::writeFileAtomically(path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (!saved) {
        failUnit(port, UnitStep::ReadFirst,
                 "the backup could not be written (" + saved.error + "); nothing was written");
        return;
    }
    r.backupFile = path;
    RadioSettings radio = newRadioSettings();
    decodeMemoryImage(image, radio);
    if (radio.header.model != unit.settings.header.model || radio.header.radioBand != unit.settings.header.radioBand) {
        failUnit(port, UnitStep::ModelCheck,
                 "the radio is a " + modelBandText(radio.header.model, radio.header.radioBand) +
                     ", the configuration is for a " +
                     modelBandText(unit.settings.header.model, unit.settings.header.radioBand) +
                     "; nothing was written");
        return;
    }
    if (p.lost) {
        failUnit(port, UnitStep::Write, "the port went away; nothing was written");
        return;
    }
    r.imageSha256 = unit.imageSha256;
    setPhase(port, PortPhase::Writing);
    p.running = Running::Write;
    p.driver->startWrite(unit.image);
}

void FleetScheduler::writeFinished(int port, const StepOutcome& outcome) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    if (p.running != Running::Write) return;
    p.running = Running::None;
    if (outcome.portLost) p.lost = true;
    const std::string message = outcome.message + (outcome.portLost ? " (the port went away)" : "");
    if (!outcome.ok) {
        if (outcome.answered || p.writeAnswered) {
            writeStoppedMidway(port, message + " after block " + std::to_string(outcome.blocksDone) + " of 510");
        } else {
            failUnit(port, UnitStep::Write, "the radio did not take the write (" + message + "); nothing was written");
        }
        return;
    }
    if (p.lost) {
        failUnit(port, UnitStep::ReadBack, "the write completed but the port went away before the read back");
        return;
    }
    setPhase(port, PortPhase::ReadBack);
    p.running = Running::ReadBack;
    p.driver->startRead();
}

void FleetScheduler::writeStoppedMidway(int port, const std::string& why) {
    UnitRecord& r = record(port);
    r.writeStoppedMidway = true;
    std::string reason =
        "the write stopped midway (" + why + "): the radio's memory is in an unknown state and the radio may not work";
    if (!r.backupFile.empty())
        reason += "; restore its backup with: " + restoreCommand(r.backupFile, views_[port].name);
    failUnit(port, UnitStep::Write, reason);
}

void FleetScheduler::pollAgain(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    if (stopping_ || paused_) {
        next(port);
        checkFinished();
        return;
    }
    const std::int64_t waited = now() - p.attemptStartMs;
    p.driver->wakeAfter(static_cast<int>(std::max<std::int64_t>(0, options_.pollMs - waited)));
}

void FleetScheduler::radioAnswered(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    // After a failed unit the next radio is only taken once that one has
    // been taken off the cable (a request went unanswered).
    if (p.running != Running::Poll || p.planIndex >= 0 || p.awaitRemoval) return;
    p.planIndex = takePending();
    if (p.planIndex < 0) return;  // nothing left for it; the read ends unused
    UnitRecord& r = record(port);
    r = freshRecord(r.name);
    r.status = UnitStatus::InProgress;
    r.port = views_[static_cast<std::size_t>(port)].name;
    r.startMs = p.attemptStartMs;
    p.writeAnswered = false;
    p.running = Running::ReadFirst;
    listener_.unitChanged(stateIndex_[static_cast<std::size_t>(p.planIndex)]);
    setPhase(port, PortPhase::ReadFirst);
}

void FleetScheduler::cancelTransfer(int port) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    p.running = Running::None;
    p.driver->cancel();
}

void FleetScheduler::wake(int port) {
    const PortPhase phase = views_[static_cast<std::size_t>(port)].phase;
    if (phase != PortPhase::Polling) return;
    if (stopping_ || paused_ || std::find(taken_.begin(), taken_.end(), false) == taken_.end()) {
        next(port);
        checkFinished();
        return;
    }
    startPolling(port);
}

void FleetScheduler::progress(int port, int done, int total) {
    PortView& v = views_[static_cast<std::size_t>(port)];
    v.done = done;
    v.total = total;
    if (v.phase == PortPhase::Writing && done > 0) ports_[static_cast<std::size_t>(port)].writeAnswered = true;
    listener_.portChanged(port);
}

void FleetScheduler::failUnit(int port, UnitStep step, const std::string& reason) {
    UnitRecord& r = record(port);
    r.failedStep = step;
    r.reason = reason;
    finishUnit(port, false);
}

void FleetScheduler::finishUnit(int port, bool done) {
    Port& p = ports_[static_cast<std::size_t>(port)];
    if (!done && options_.autoMode) p.awaitRemoval = true;
    UnitRecord& r = record(port);
    r.status = done ? UnitStatus::Done : UnitStatus::Failed;
    r.endMs = now();
    if (done) ++views_[static_cast<std::size_t>(port)].unitsDone;
    listener_.unitChanged(stateIndex_[static_cast<std::size_t>(p.planIndex)]);
    p.planIndex = -1;
    if (p.lost) {
        setPhase(port, PortPhase::Lost);
    } else {
        next(port);
    }
    checkFinished();
}

bool FleetScheduler::transferInProgress() const {
    return std::any_of(views_.begin(), views_.end(), [](const PortView& v) {
        return v.phase == PortPhase::ReadFirst || v.phase == PortPhase::Writing || v.phase == PortPhase::ReadBack;
    });
}

bool FleetScheduler::writeInProgress() const {
    return std::any_of(views_.begin(), views_.end(), [](const PortView& v) { return v.phase == PortPhase::Writing; });
}

bool FleetScheduler::allDone() const {
    for (int index : stateIndex_)
        if (state_.units[static_cast<std::size_t>(index)].status != UnitStatus::Done) return false;
    return true;
}

int FleetScheduler::unitsLeft() const {
    int left = 0;
    for (int index : stateIndex_) {
        const UnitStatus s = state_.units[static_cast<std::size_t>(index)].status;
        if (s == UnitStatus::Pending || s == UnitStatus::InProgress) ++left;
    }
    return left;
}

void FleetScheduler::stop() {
    stopping_ = true;
    for (int port = 0; port < static_cast<int>(ports_.size()); ++port) {
        const PortPhase phase = views_[static_cast<std::size_t>(port)].phase;
        if (phase == PortPhase::Prompt || phase == PortPhase::Polling || phase == PortPhase::Paused ||
            phase == PortPhase::Idle) {
            if (phase == PortPhase::Polling) cancelTransfer(port);
            next(port);
        }
    }
    checkFinished();
}

void FleetScheduler::abandon() {
    stopping_ = true;
    for (int port = 0; port < static_cast<int>(ports_.size()); ++port) {
        Port& p = ports_[static_cast<std::size_t>(port)];
        const PortPhase phase = views_[static_cast<std::size_t>(port)].phase;
        if (phase == PortPhase::ReadFirst || phase == PortPhase::Writing || phase == PortPhase::ReadBack) {
            cancelTransfer(port);
            if (phase == PortPhase::Writing && p.writeAnswered)
                writeStoppedMidway(port, "abandoned by the operator");
            else
                failUnit(port,
                         phase == PortPhase::ReadFirst ? UnitStep::ReadFirst
                         : phase == PortPhase::Writing ? UnitStep::Write
                                                       : UnitStep::ReadBack,
                         phase == PortPhase::ReadBack ? "abandoned by the operator; the write had completed"
                                                      : "abandoned by the operator; nothing was written");
        }
    }
    stop();
}

void FleetScheduler::pause() {
    paused_ = true;
    for (int port = 0; port < static_cast<int>(ports_.size()); ++port) {
        const PortPhase phase = views_[static_cast<std::size_t>(port)].phase;
        if (phase == PortPhase::Prompt || phase == PortPhase::Polling || phase == PortPhase::Idle) {
            if (phase == PortPhase::Polling) cancelTransfer(port);
            next(port);
        }
    }
}

void FleetScheduler::resume() {
    if (!paused_) return;
    paused_ = false;
    for (int port = 0; port < static_cast<int>(ports_.size()); ++port)
        if (views_[static_cast<std::size_t>(port)].phase == PortPhase::Paused) next(port);
    checkFinished();
}

void FleetScheduler::checkFinished() {
    if (!started_ || finished_) return;
    bool busy = false;
    for (const PortView& v : views_) {
        if (v.phase == PortPhase::ReadFirst || v.phase == PortPhase::Writing || v.phase == PortPhase::ReadBack ||
            v.phase == PortPhase::Paused || v.phase == PortPhase::Prompt)
            busy = true;
        // A port polling for a radio ends only when nothing is left to give it.
        if (v.phase == PortPhase::Polling && std::find(taken_.begin(), taken_.end(), false) != taken_.end())
            busy = true;
    }
    if (busy) return;
    for (int port = 0; port < static_cast<int>(ports_.size()); ++port)
        if (views_[static_cast<std::size_t>(port)].phase == PortPhase::Polling) {
            cancelTransfer(port);
            setPhase(port, PortPhase::Idle);
        }
    finished_ = true;
    listener_.jobFinished();
}

}  // namespace ks340::fleet
