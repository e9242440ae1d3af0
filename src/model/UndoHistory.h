// Undo and redo for every change of the configuration.
//
// The history keeps one snapshot of the configuration per state: the state
// the history started from and one more after each committed change. A
// snapshot is the setting-file text of the configuration, held as lines in a
// shared pool, so that the hundreds of lines two snapshots have in common
// are stored once. Going back or forward reads the snapshot's text into the
// configuration the way a setting file is loaded, then runs the caller's
// after-load step (the channel table's refresh for a loaded file).
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "model/RadioSettings.h"

namespace ks340 {

class UndoLinePool;

class UndoHistory {
public:
    using Clock = std::chrono::steady_clock;
    using AfterLoad = std::function<void(RadioSettings&)>;

    static constexpr std::size_t kDefaultLimit = 200;
    // Edits of one field closer together than this become one step.
    static constexpr std::chrono::milliseconds kCoalesceInterval{2000};

    explicit UndoHistory(std::size_t limit = kDefaultLimit);
    ~UndoHistory();
    UndoHistory(const UndoHistory&) = delete;
    UndoHistory& operator=(const UndoHistory&) = delete;

    // The after-load step run after each undo and redo (the app passes the
    // channel table's refresh for a loaded file).
    void setAfterLoad(AfterLoad afterLoad) { afterLoad_ = std::move(afterLoad); }

    // Forgets every step and starts again from the configuration as it is;
    // that state counts as saved.
    void reset(const RadioSettings& settings);

    struct RecordOptions {
        // Consecutive records with the same non-empty key within
        // kCoalesceInterval become one step (the first one's text stays).
        std::string coalesceKey;
        Clock::time_point when = Clock::now();
        // Free for the caller: the page the change was made on.
        int context = -1;
    };
    enum class Recorded {
        Added,      // a new step
        Coalesced,  // merged into the previous step
        Unchanged,  // the configuration is the same as the current state
    };
    // Takes a snapshot after a committed change. Steps that were undone are
    // dropped. Beyond the limit the oldest step is forgotten.
    Recorded record(const RadioSettings& settings, std::string text, const RecordOptions& options);
    Recorded record(const RadioSettings& settings, std::string text) {
        return record(settings, std::move(text), RecordOptions{});
    }

    // Replaces the current state's snapshot without adding a step: for
    // values the program derives itself (before saving or programming, after
    // a page refresh) that the user should not have to undo.
    void absorb(const RadioSettings& settings);

    struct Restored {
        bool ok = false;
        std::string text;      // the step undone or redone
        int context = -1;      // its RecordOptions::context
        int currentGroup = 0;  // the group shown when the step was recorded
    };
    // Restores the state before the newest step still applied / the state
    // after the step undone last. Nothing happens when there is none (ok
    // false) or when the snapshot cannot be read (ok false, settings as they
    // were).
    Restored undo(RadioSettings& settings);
    Restored redo(RadioSettings& settings);

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ + 1 < states_.size(); }
    std::size_t undoCount() const { return position_; }
    std::size_t redoCount() const { return states_.size() - 1 - position_; }
    // Text of the step the next undo / redo acts on; empty when none.
    std::string undoText() const;
    std::string redoText() const;
    // Every step's text, newest first / next first.
    std::vector<std::string> undoTexts() const;
    std::vector<std::string> redoTexts() const;

    // The current state is the one last saved to (or loaded from) a file.
    void markSaved(const RadioSettings& settings);
    // Steps between the saved state and the current one (undone and redone
    // steps count as the way back); 0 when the configuration equals the
    // saved one.
    int unsavedChanges() const;

    std::size_t limit() const { return limit_; }
    // Heap bytes the snapshots take (pool lines, line lists, step texts).
    std::size_t memoryBytes() const;
    // Distinct lines stored in the pool.
    std::size_t pooledLines() const;

    // The setting-file text of the current state (for tests and diagnostics).
    // The group and channel last shown are not compared between states:
    // showing another group is no change.
    std::string currentText() const;

private:
    // Channels beyond a group's capability that hold something: the
    // setting file does not carry them, a group that grows shows them.
    struct HiddenChannel {
        int group = 0;
        int channel = 0;
        ChannelEntry entry;
        bool operator==(const HiddenChannel&) const = default;
    };
    using HiddenChannels = std::vector<HiddenChannel>;

    struct State {
        std::vector<std::uint32_t> lines;
        std::shared_ptr<const HiddenChannels> hidden;  // null: none
        std::string text;
        std::string coalesceKey;
        Clock::time_point when{};
        int context = -1;
        int currentGroup = 0;
        int currentChannel = 0;
    };

    std::vector<std::uint32_t> snapshot(const RadioSettings& settings);
    // The hidden channels, sharing `like` when they are the same.
    static std::shared_ptr<const HiddenChannels> hiddenChannels(const RadioSettings& settings,
                                                                const std::shared_ptr<const HiddenChannels>& like);
    static bool sameHidden(const std::shared_ptr<const HiddenChannels>& a,
                           const std::shared_ptr<const HiddenChannels>& b);
    void release(std::vector<std::uint32_t>& lines);
    std::string joined(const std::vector<std::uint32_t>& lines) const;
    bool load(const State& state, RadioSettings& settings);
    void dropRedoSteps();
    void reanchorSaved();

    std::size_t limit_;
    std::unique_ptr<UndoLinePool> pool_;
    std::deque<State> states_;
    std::size_t position_ = 0;
    // Index of the saved state; negative once it was dropped off the front.
    // savedExtra_ counts steps of a dropped redo branch that led to it.
    long savedIndex_ = 0;
    long savedExtra_ = 0;
    std::vector<std::uint32_t> savedLines_;
    bool coalesceOpen_ = false;
    AfterLoad afterLoad_;
};

}  // namespace ks340
