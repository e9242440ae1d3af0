#include "model/UndoHistory.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "model/SettingFile.h"

namespace ks340 {

// Distinct setting-file lines with reference counts. A line that many
// snapshots hold (an empty channel, an option line nobody changed) is
// stored once.
class UndoLinePool {
public:
    std::uint32_t intern(std::string_view line) {
        if (const auto it = index_.find(line); it != index_.end()) {
            ++refs_[it->second];
            return it->second;
        }
        std::uint32_t id;
        if (!free_.empty()) {
            id = free_.back();
            free_.pop_back();
            lines_[id].assign(line);
            refs_[id] = 1;
        } else {
            id = static_cast<std::uint32_t>(lines_.size());
            lines_.emplace_back(line);
            refs_.push_back(1);
        }
        // The deque never moves its strings, so the key stays valid.
        index_.emplace(std::string_view(lines_[id]), id);
        return id;
    }

    void addRef(std::uint32_t id) { ++refs_[id]; }

    void release(std::uint32_t id) {
        if (--refs_[id] != 0) return;
        index_.erase(std::string_view(lines_[id]));
        lines_[id].clear();
        lines_[id].shrink_to_fit();
        free_.push_back(id);
    }

    const std::string& line(std::uint32_t id) const { return lines_[id]; }
    std::size_t size() const { return index_.size(); }

    std::size_t memoryBytes() const {
        std::size_t bytes = lines_.size() * (sizeof(std::string) + sizeof(std::uint32_t));
        for (const std::string& s : lines_)
            if (s.capacity() > std::string().capacity()) bytes += s.capacity() + 1;
        bytes += free_.capacity() * sizeof(std::uint32_t);
        // Buckets and one node per key (key, value, hash, next pointer).
        bytes += index_.bucket_count() * sizeof(void*);
        bytes += index_.size() * (sizeof(std::string_view) + 2 * sizeof(std::size_t) + sizeof(void*));
        return bytes;
    }

private:
    std::deque<std::string> lines_;
    std::vector<std::uint32_t> refs_;
    std::vector<std::uint32_t> free_;
    std::unordered_map<std::string_view, std::uint32_t> index_;
};

namespace {

std::size_t heapBytes(const std::string& s) { return s.capacity() > std::string().capacity() ? s.capacity() + 1 : 0; }

}  // namespace

UndoHistory::UndoHistory(std::size_t limit)
    : limit_(std::max<std::size_t>(limit, 1)), pool_(std::make_unique<UndoLinePool>()) {
    const auto fresh = std::make_unique<RadioSettings>();
    reset(*fresh);
}

UndoHistory::~UndoHistory() = default;

std::vector<std::uint32_t> UndoHistory::snapshot(const RadioSettings& settings) {
    const std::string text = formatSettingFile(settings);
    std::vector<std::uint32_t> lines;
    lines.reserve(static_cast<std::size_t>(settingFileLineCount(settings)));
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (lines.size() == 1) {
            // The group and channel last shown are where the user looks,
            // not what the configuration holds: kept beside the lines.
            std::string normal = "0,0";
            const std::size_t second = line.find(',', line.find(',') + 1);
            if (second != std::string_view::npos) normal += line.substr(second);
            lines.push_back(pool_->intern(normal));
        } else {
            lines.push_back(pool_->intern(line));
        }
        start = end + 1;
    }
    return lines;
}

std::shared_ptr<const UndoHistory::HiddenChannels> UndoHistory::hiddenChannels(
    const RadioSettings& settings, const std::shared_ptr<const HiddenChannels>& like) {
    static const ChannelEntry kEmpty{};
    HiddenChannels list;
    for (int g = 0; g < kGroupSlots; ++g) {
        const ChannelGroup& group = settings.channelTable.groups[std::size_t(g)];
        const int shown = std::clamp(group.capability, 0, kChannelCapacity);
        for (int c = 0; c < kChannelSlots; ++c) {
            if (c >= 1 && c <= shown) continue;
            const ChannelEntry& e = group.channels[std::size_t(c)];
            if (!(e == kEmpty)) list.push_back({g, c, e});
        }
    }
    if (list.empty()) return nullptr;
    if (like && *like == list) return like;
    return std::make_shared<const HiddenChannels>(std::move(list));
}

bool UndoHistory::sameHidden(const std::shared_ptr<const HiddenChannels>& a,
                             const std::shared_ptr<const HiddenChannels>& b) {
    return a == b || (a && b && *a == *b);
}

void UndoHistory::release(std::vector<std::uint32_t>& lines) {
    for (std::uint32_t id : lines) pool_->release(id);
    lines.clear();
}

std::string UndoHistory::joined(const std::vector<std::uint32_t>& lines) const {
    std::size_t size = 0;
    for (std::uint32_t id : lines) size += pool_->line(id).size() + 2;
    std::string text;
    text.reserve(size);
    for (std::uint32_t id : lines) {
        text += pool_->line(id);
        text += "\r\n";
    }
    return text;
}

bool UndoHistory::load(const State& state, RadioSettings& settings) {
    const FileResult result = readSettingText(joined(state.lines), settings, "undo history");
    if (!result.ok) return false;
    // Channels the file does not carry come back as they were.
    for (int g = 0; g < kGroupSlots; ++g) {
        ChannelGroup& group = settings.channelTable.groups[std::size_t(g)];
        const int shown = std::clamp(group.capability, 0, kChannelCapacity);
        group.channels[0] = ChannelEntry{};
        for (int c = shown + 1; c < kChannelSlots; ++c) group.channels[std::size_t(c)] = ChannelEntry{};
    }
    if (state.hidden)
        for (const HiddenChannel& h : *state.hidden)
            settings.channelTable.groups[std::size_t(h.group)].channels[std::size_t(h.channel)] = h.entry;
    settings.channelTable.currentGroup = state.currentGroup;
    settings.channelTable.currentChannel = state.currentChannel;
    if (afterLoad_) afterLoad_(settings);
    return true;
}

void UndoHistory::reset(const RadioSettings& settings) {
    for (State& s : states_) release(s.lines);
    states_.clear();
    release(savedLines_);
    State base;
    base.lines = snapshot(settings);
    base.hidden = hiddenChannels(settings, nullptr);
    base.currentGroup = settings.channelTable.currentGroup;
    base.currentChannel = settings.channelTable.currentChannel;
    states_.push_back(std::move(base));
    position_ = 0;
    savedIndex_ = 0;
    savedExtra_ = 0;
    savedLines_ = states_.front().lines;
    for (std::uint32_t id : savedLines_) pool_->addRef(id);
    coalesceOpen_ = false;
}

void UndoHistory::reanchorSaved() {
    // A state equal to the saved one is as good as the saved one.
    if (states_[position_].lines == savedLines_) {
        savedIndex_ = static_cast<long>(position_);
        savedExtra_ = 0;
    }
}

void UndoHistory::dropRedoSteps() {
    if (savedIndex_ > static_cast<long>(position_)) {
        // The saved state stays reachable only by the way back through here.
        savedExtra_ += savedIndex_ - static_cast<long>(position_);
        savedIndex_ = static_cast<long>(position_);
    }
    while (states_.size() > position_ + 1) {
        release(states_.back().lines);
        states_.pop_back();
    }
}

UndoHistory::Recorded UndoHistory::record(const RadioSettings& settings, std::string text,
                                          const RecordOptions& options) {
    std::vector<std::uint32_t> lines = snapshot(settings);
    State& current = states_[position_];
    auto hidden = hiddenChannels(settings, current.hidden);
    if (lines == current.lines && sameHidden(hidden, current.hidden)) {
        release(lines);
        return Recorded::Unchanged;
    }

    const bool mergeable = coalesceOpen_ && !options.coalesceKey.empty() && position_ > 0 &&
                           position_ + 1 == states_.size() && static_cast<long>(position_) != savedIndex_ &&
                           current.coalesceKey == options.coalesceKey && options.when >= current.when &&
                           options.when - current.when <= kCoalesceInterval;
    if (mergeable) {
        release(current.lines);
        current.lines = std::move(lines);
        current.hidden = std::move(hidden);
        current.when = options.when;
        current.currentGroup = settings.channelTable.currentGroup;
        current.currentChannel = settings.channelTable.currentChannel;
        if (current.lines == states_[position_ - 1].lines &&
            sameHidden(current.hidden, states_[position_ - 1].hidden)) {
            // Typed and taken back again: the step has nothing left to undo.
            release(current.lines);
            states_.pop_back();
            --position_;
            coalesceOpen_ = false;
        }
        reanchorSaved();
        return Recorded::Coalesced;
    }

    dropRedoSteps();
    State step;
    step.lines = std::move(lines);
    step.hidden = std::move(hidden);
    step.text = std::move(text);
    step.coalesceKey = options.coalesceKey;
    step.when = options.when;
    step.context = options.context;
    step.currentGroup = settings.channelTable.currentGroup;
    step.currentChannel = settings.channelTable.currentChannel;
    states_.push_back(std::move(step));
    ++position_;
    coalesceOpen_ = true;
    while (states_.size() > limit_ + 1) {
        release(states_.front().lines);
        states_.pop_front();
        --position_;
        --savedIndex_;
    }
    reanchorSaved();
    return Recorded::Added;
}

void UndoHistory::absorb(const RadioSettings& settings) {
    std::vector<std::uint32_t> lines = snapshot(settings);
    State& current = states_[position_];
    current.currentGroup = settings.channelTable.currentGroup;
    current.currentChannel = settings.channelTable.currentChannel;
    current.hidden = hiddenChannels(settings, current.hidden);
    if (lines == current.lines) {
        release(lines);
        return;
    }
    release(current.lines);
    current.lines = std::move(lines);
}

UndoHistory::Restored UndoHistory::undo(RadioSettings& settings) {
    Restored r;
    if (!canUndo()) return r;
    const State& step = states_[position_];
    if (!load(states_[position_ - 1], settings)) return r;
    r.ok = true;
    r.text = step.text;
    r.context = step.context;
    r.currentGroup = step.currentGroup;
    --position_;
    coalesceOpen_ = false;
    reanchorSaved();
    return r;
}

UndoHistory::Restored UndoHistory::redo(RadioSettings& settings) {
    Restored r;
    if (!canRedo()) return r;
    const State& step = states_[position_ + 1];
    if (!load(step, settings)) return r;
    r.ok = true;
    r.text = step.text;
    r.context = step.context;
    r.currentGroup = step.currentGroup;
    ++position_;
    coalesceOpen_ = false;
    reanchorSaved();
    return r;
}

std::string UndoHistory::undoText() const { return canUndo() ? states_[position_].text : std::string(); }

std::string UndoHistory::redoText() const { return canRedo() ? states_[position_ + 1].text : std::string(); }

std::vector<std::string> UndoHistory::undoTexts() const {
    std::vector<std::string> texts;
    for (std::size_t i = position_; i > 0; --i) texts.push_back(states_[i].text);
    return texts;
}

std::vector<std::string> UndoHistory::redoTexts() const {
    std::vector<std::string> texts;
    for (std::size_t i = position_ + 1; i < states_.size(); ++i) texts.push_back(states_[i].text);
    return texts;
}

void UndoHistory::markSaved(const RadioSettings& settings) {
    absorb(settings);
    release(savedLines_);
    savedLines_ = states_[position_].lines;
    for (std::uint32_t id : savedLines_) pool_->addRef(id);
    savedIndex_ = static_cast<long>(position_);
    savedExtra_ = 0;
    coalesceOpen_ = false;
}

int UndoHistory::unsavedChanges() const {
    if (states_[position_].lines == savedLines_) return 0;
    const long here = static_cast<long>(position_);
    const long distance = (here > savedIndex_ ? here - savedIndex_ : savedIndex_ - here) + savedExtra_;
    return static_cast<int>(std::max(1L, distance));
}

std::size_t UndoHistory::memoryBytes() const {
    std::size_t bytes = pool_->memoryBytes();
    const HiddenChannels* counted = nullptr;
    for (const State& s : states_) {
        bytes +=
            sizeof(State) + s.lines.capacity() * sizeof(std::uint32_t) + heapBytes(s.text) + heapBytes(s.coalesceKey);
        // Neighbouring states share one list of hidden channels.
        if (s.hidden && s.hidden.get() != counted) {
            counted = s.hidden.get();
            bytes += sizeof(HiddenChannels) + s.hidden->capacity() * sizeof(HiddenChannel);
            for (const HiddenChannel& h : *s.hidden)
                bytes += heapBytes(h.entry.label) + heapBytes(h.entry.rxFrequency) + heapBytes(h.entry.txFrequency);
        }
    }
    bytes += savedLines_.capacity() * sizeof(std::uint32_t);
    return bytes;
}

std::size_t UndoHistory::pooledLines() const { return pool_->size(); }

std::string UndoHistory::currentText() const {
    // With the shown group and channel put back into the table's line.
    std::string text = joined(states_[position_].lines);
    const std::size_t lineStart = text.find('\n') + 1;
    const std::size_t second = text.find(',', text.find(',', lineStart) + 1);
    text.replace(
        lineStart, second - lineStart,
        std::to_string(states_[position_].currentGroup) + "," + std::to_string(states_[position_].currentChannel));
    return text;
}

}  // namespace ks340
