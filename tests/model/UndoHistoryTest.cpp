#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/UndoHistory.h"

namespace ks340 {
namespace {

using namespace std::chrono_literals;

std::unique_ptr<RadioSettings> fresh() { return std::make_unique<RadioSettings>(newRadioSettings()); }

void program(RadioSettings& s, int channel, const std::string& rx, const std::string& label = "CH") {
    ChannelEntry& c = s.channelTable.groups[0].channels[std::size_t(channel)];
    c.rxFrequency = rx;
    c.txFrequency = rx;
    c.label = label;
    c.inUse = 1;
    c.bandwidth = 1;
    c.txPower = 1;
}

UndoHistory::RecordOptions keyed(const std::string& key, UndoHistory::Clock::time_point when) {
    UndoHistory::RecordOptions o;
    o.coalesceKey = key;
    o.when = when;
    return o;
}

TEST(UndoHistory, UndoAndRedoRestoreEachRecordedState) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    const auto start = std::make_unique<RadioSettings>(*s);

    s->option.beep = 0;
    EXPECT_EQ(h.record(*s, "Set Beep"), UndoHistory::Recorded::Added);
    const auto afterBeep = std::make_unique<RadioSettings>(*s);

    program(*s, 12, "446.00625", "REP");
    s->channelTable.currentGroup = 0;
    EXPECT_EQ(h.record(*s, "Set channel 12 Rx Freq."), UndoHistory::Recorded::Added);
    const auto afterChannel = std::make_unique<RadioSettings>(*s);

    EXPECT_EQ(h.undoCount(), 2u);
    EXPECT_EQ(h.undoText(), "Set channel 12 Rx Freq.");
    EXPECT_EQ(h.undoTexts(), (std::vector<std::string>{"Set channel 12 Rx Freq.", "Set Beep"}));

    auto r = h.undo(*s);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "Set channel 12 Rx Freq.");
    EXPECT_TRUE(*s == *afterBeep);
    EXPECT_EQ(h.redoText(), "Set channel 12 Rx Freq.");

    r = h.undo(*s);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "Set Beep");
    EXPECT_TRUE(*s == *start);
    EXPECT_FALSE(h.canUndo());
    EXPECT_FALSE(h.undo(*s).ok);
    EXPECT_TRUE(*s == *start);

    EXPECT_EQ(h.redoTexts(), (std::vector<std::string>{"Set Beep", "Set channel 12 Rx Freq."}));
    ASSERT_TRUE(h.redo(*s).ok);
    EXPECT_TRUE(*s == *afterBeep);
    ASSERT_TRUE(h.redo(*s).ok);
    EXPECT_TRUE(*s == *afterChannel);
    EXPECT_FALSE(h.canRedo());
    EXPECT_FALSE(h.redo(*s).ok);
}

TEST(UndoHistory, NothingChangedRecordsNoStep) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    EXPECT_EQ(h.record(*s, "Set Beep"), UndoHistory::Recorded::Unchanged);
    // Fields the setting file does not hold are not changes either.
    s->channelTable.totalUsed = 7;
    s->selcallDecode.decodeDuration = 99;
    EXPECT_EQ(h.record(*s, "Set Beep"), UndoHistory::Recorded::Unchanged);
    EXPECT_EQ(h.undoCount(), 0u);
}

TEST(UndoHistory, NewEditDropsTheUndoneSteps) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    s->option.beep = 0;
    h.record(*s, "Set Beep");
    s->option.hook = 1;
    h.record(*s, "Set Hook");
    h.undo(*s);
    ASSERT_EQ(h.redoCount(), 1u);
    s->option.txDelay = 3;
    h.record(*s, "Set Tx Delay");
    EXPECT_EQ(h.redoCount(), 0u);
    EXPECT_EQ(h.undoTexts(), (std::vector<std::string>{"Set Tx Delay", "Set Beep"}));
    h.undo(*s);
    EXPECT_EQ(s->option.txDelay, 0);
    EXPECT_EQ(s->option.hook, 0);
    EXPECT_EQ(s->option.beep, 0);
}

TEST(UndoHistory, KeystrokesOfOneFieldBecomeOneStep) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    const auto t0 = UndoHistory::Clock::now();
    s->dtmf.dtmfCodes[0] = "1";
    EXPECT_EQ(h.record(*s, "Set DTMF 1", keyed("dtmf1", t0)), UndoHistory::Recorded::Added);
    s->dtmf.dtmfCodes[0] = "12";
    EXPECT_EQ(h.record(*s, "Set DTMF 1", keyed("dtmf1", t0 + 500ms)), UndoHistory::Recorded::Coalesced);
    s->dtmf.dtmfCodes[0] = "123";
    // The interval counts from the last keystroke, not the first.
    EXPECT_EQ(h.record(*s, "Set DTMF 1", keyed("dtmf1", t0 + 2300ms)), UndoHistory::Recorded::Coalesced);
    EXPECT_EQ(h.undoCount(), 1u);

    // Another field, or the same one after a pause, is a step of its own.
    s->dtmf.dtmfCodes[1] = "9";
    EXPECT_EQ(h.record(*s, "Set DTMF 2", keyed("dtmf2", t0 + 2400ms)), UndoHistory::Recorded::Added);
    s->dtmf.dtmfCodes[1] = "98";
    EXPECT_EQ(h.record(*s, "Set DTMF 2", keyed("dtmf2", t0 + 9s)), UndoHistory::Recorded::Added);
    EXPECT_EQ(h.undoCount(), 3u);

    h.undo(*s);
    EXPECT_EQ(s->dtmf.dtmfCodes[1], "9");
    h.undo(*s);
    EXPECT_EQ(s->dtmf.dtmfCodes[1], "");
    EXPECT_EQ(s->dtmf.dtmfCodes[0], "123");
    h.undo(*s);
    EXPECT_EQ(s->dtmf.dtmfCodes[0], "");
}

TEST(UndoHistory, RecordsWithoutKeyAreNeverMerged) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    const auto t0 = UndoHistory::Clock::now();
    // Two clicks on the same switch are two steps, however quick.
    s->channelTable.groups[0].channels[3].scanChannel = 1;
    h.record(*s, "Set channel 3 Scan CH", keyed("", t0));
    s->channelTable.groups[0].channels[3].scanChannel = 0;
    h.record(*s, "Set channel 3 Scan CH", keyed("", t0 + 10ms));
    EXPECT_EQ(h.undoCount(), 2u);
    h.undo(*s);
    EXPECT_EQ(s->channelTable.groups[0].channels[3].scanChannel, 1);
}

TEST(UndoHistory, TypingBackToTheStartLeavesNoStep) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    s->option.beep = 0;
    h.record(*s, "Set Beep");
    const auto t0 = UndoHistory::Clock::now();
    s->header.lcdDisplayLogo = "Vandrel";
    h.record(*s, "Set LCD Display Logo", keyed("logo", t0));
    s->header.lcdDisplayLogo = "Vandrell";
    EXPECT_EQ(h.record(*s, "Set LCD Display Logo", keyed("logo", t0 + 100ms)), UndoHistory::Recorded::Coalesced);
    EXPECT_EQ(h.undoCount(), 1u);
    EXPECT_EQ(h.undoText(), "Set Beep");
}

TEST(UndoHistory, NoMergingAfterUndoOrIntoTheSavedState) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    const auto t0 = UndoHistory::Clock::now();
    s->modem.modemText[0] = "A";
    h.record(*s, "Set Modem Text 1", keyed("m1", t0));
    h.markSaved(*s);
    s->modem.modemText[0] = "AB";
    EXPECT_EQ(h.record(*s, "Set Modem Text 1", keyed("m1", t0 + 100ms)), UndoHistory::Recorded::Added);
    h.undo(*s);
    h.redo(*s);
    s->modem.modemText[0] = "ABC";
    EXPECT_EQ(h.record(*s, "Set Modem Text 1", keyed("m1", t0 + 200ms)), UndoHistory::Recorded::Added);
    EXPECT_EQ(h.undoCount(), 3u);
}

TEST(UndoHistory, KeepsOnlyTheNewestStepsWithinTheLimit) {
    auto s = fresh();
    UndoHistory h(5);
    h.reset(*s);
    std::vector<std::unique_ptr<RadioSettings>> states;
    for (int i = 1; i <= 8; ++i) {
        s->option.txDelay = i;
        h.record(*s, "Set Tx Delay " + std::to_string(i));
        states.push_back(std::make_unique<RadioSettings>(*s));
    }
    EXPECT_EQ(h.undoCount(), 5u);
    EXPECT_EQ(h.undoTexts().back(), "Set Tx Delay 4");
    while (h.canUndo()) ASSERT_TRUE(h.undo(*s).ok);
    // The oldest state still held is the one after step 3.
    EXPECT_TRUE(*s == *states[2]);
    EXPECT_EQ(h.redoCount(), 5u);
}

TEST(UndoHistory, CountsUnsavedChangesFromTheSavedState) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    EXPECT_EQ(h.unsavedChanges(), 0);
    s->option.beep = 0;
    h.record(*s, "Set Beep");
    s->option.hook = 1;
    h.record(*s, "Set Hook");
    EXPECT_EQ(h.unsavedChanges(), 2);
    h.markSaved(*s);
    EXPECT_EQ(h.unsavedChanges(), 0);
    h.undo(*s);
    EXPECT_EQ(h.unsavedChanges(), 1);
    h.redo(*s);
    EXPECT_EQ(h.unsavedChanges(), 0);

    // Undo, then a different edit: the saved state is two steps away.
    h.undo(*s);
    s->option.txDelay = 2;
    h.record(*s, "Set Tx Delay");
    EXPECT_EQ(h.unsavedChanges(), 2);
    h.undo(*s);
    EXPECT_EQ(h.unsavedChanges(), 1);

    // Back to exactly what was saved by other edits: nothing unsaved.
    s->option.hook = 1;
    h.record(*s, "Set Hook");
    EXPECT_EQ(h.unsavedChanges(), 0);
    s->option.hook = 0;
    h.record(*s, "Set Hook");
    EXPECT_EQ(h.unsavedChanges(), 1);
}

TEST(UndoHistory, SavedStateDroppedByTheLimitStillCounts) {
    auto s = fresh();
    UndoHistory h(3);
    h.reset(*s);
    for (int i = 1; i <= 6; ++i) {
        s->option.txDelay = i;
        h.record(*s, "Set Tx Delay");
    }
    EXPECT_EQ(h.unsavedChanges(), 6);
    h.undo(*s);
    EXPECT_EQ(h.unsavedChanges(), 5);
}

TEST(UndoHistory, UndoAcrossALoadAndARadioRead) {
    auto s = fresh();
    UndoHistory h;
    int afterLoads = 0;
    h.setAfterLoad([&](RadioSettings&) { ++afterLoads; });
    h.reset(*s);
    s->option.beep = 0;
    h.record(*s, "Set Beep");
    const auto beforeLoad = std::make_unique<RadioSettings>(*s);

    // A file of another model with a programmed channel.
    auto other = fresh();
    other->header.model = 1;
    other->header.radioBand = 1;
    program(*other, 1, "150.00000", "FILE");
    other->modem.modemText[2] = "hello";
    ASSERT_TRUE(readSettingText(formatSettingFile(*other), *s, "file.ks3").ok);
    h.record(*s, "Load file.ks3");
    h.markSaved(*s);
    const auto loaded = std::make_unique<RadioSettings>(*s);

    s->dtmf.dtmf = 1;
    h.record(*s, "Read from radio");
    EXPECT_EQ(h.unsavedChanges(), 1);

    EXPECT_EQ(h.undo(*s).text, "Read from radio");
    EXPECT_TRUE(*s == *loaded);
    EXPECT_EQ(h.unsavedChanges(), 0);
    EXPECT_EQ(h.undo(*s).text, "Load file.ks3");
    EXPECT_TRUE(*s == *beforeLoad);
    EXPECT_EQ(s->header.model, 0);
    EXPECT_TRUE(s->channelTable.groups[0].channels[1].rxFrequency.empty());
    EXPECT_EQ(h.unsavedChanges(), 1);
    EXPECT_EQ(afterLoads, 2);

    ASSERT_TRUE(h.redo(*s).ok);
    EXPECT_TRUE(*s == *loaded);
    EXPECT_EQ(afterLoads, 3);
}

TEST(UndoHistory, ReportsTheContextAndGroupOfTheStep) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    s->channelTable.currentGroup = 3;
    s->option.beep = 0;
    UndoHistory::RecordOptions o;
    o.context = 1;
    h.record(*s, "Set Beep", o);
    s->channelTable.currentGroup = 5;
    s->option.hook = 1;
    o.context = 4;
    h.record(*s, "Set Hook", o);

    auto r = h.undo(*s);
    EXPECT_EQ(r.context, 4);
    EXPECT_EQ(r.currentGroup, 5);
    r = h.undo(*s);
    EXPECT_EQ(r.context, 1);
    EXPECT_EQ(r.currentGroup, 3);
    r = h.redo(*s);
    EXPECT_EQ(r.text, "Set Beep");
    EXPECT_EQ(r.context, 1);
}

TEST(UndoHistory, AbsorbedChangesAreNoStep) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    s->option.beep = 0;
    h.record(*s, "Set Beep");
    // A value the program derives before programming.
    s->channelTable.noPowerOnChannel = 0;
    h.absorb(*s);
    EXPECT_EQ(h.undoCount(), 1u);
    EXPECT_EQ(h.record(*s, "Set Beep"), UndoHistory::Recorded::Unchanged);
    h.undo(*s);
    h.redo(*s);
    EXPECT_EQ(s->channelTable.noPowerOnChannel, 0);
}

TEST(UndoHistory, TwoHundredStepsOfAFullTableShareTheirLines) {
    auto s = fresh();
    for (int c = 1; c <= kChannelCapacity; ++c) program(*s, c, "446.00625", "CH" + std::to_string(c));
    UndoHistory h;
    h.reset(*s);
    const std::size_t textSize = formatSettingFile(*s).size();
    for (int i = 0; i < 250; ++i) {
        s->channelTable.groups[0].channels[std::size_t(i % kChannelCapacity + 1)].label = "E" + std::to_string(i);
        h.record(*s, "Set Label");
    }
    EXPECT_EQ(h.undoCount(), UndoHistory::kDefaultLimit);
    // Whole texts would take 200 x textSize; the steps share all unchanged
    // lines.
    EXPECT_LT(h.memoryBytes(), UndoHistory::kDefaultLimit * textSize / 8);
    EXPECT_LT(h.pooledLines(), std::size_t(settingFileLineCount(*s)) + 2 * UndoHistory::kDefaultLimit);
    EXPECT_EQ(h.currentText(), formatSettingFile(*s));
    // The oldest state held restores as it was.
    while (h.canUndo()) h.undo(*s);
    EXPECT_EQ(s->channelTable.groups[0].channels[50].label, "E49");
    EXPECT_EQ(s->channelTable.groups[0].channels[51].label, "CH51");
}

TEST(UndoHistory, ShowingAnotherGroupIsNoChange) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    s->channelTable.currentGroup = 4;
    s->channelTable.currentChannel = 9;
    EXPECT_EQ(h.record(*s, "Set Beep"), UndoHistory::Recorded::Unchanged);
    s->option.hook = 1;
    h.record(*s, "Set Hook");
    h.markSaved(*s);
    s->channelTable.currentGroup = 2;
    h.absorb(*s);
    EXPECT_EQ(h.unsavedChanges(), 0);
    s->option.hook = 0;
    h.record(*s, "Set Hook");
    h.undo(*s);
    // The state comes back with the group it was last shown with.
    EXPECT_EQ(s->option.hook, 1);
    EXPECT_EQ(s->channelTable.currentGroup, 2);
    EXPECT_EQ(s->channelTable.currentChannel, 9);
    EXPECT_EQ(h.currentText(), formatSettingFile(*s));
}

}  // namespace
}  // namespace ks340

namespace ks340 {
namespace {

TEST(UndoHistory, ChannelsBeyondAGroupsCapabilityComeBackAsTheyWere) {
    auto s = fresh();
    UndoHistory h;
    h.reset(*s);
    // Group 1 of 10 channels, all programmed.
    s->channelTable.groups[1].capability = 10;
    for (int c = 1; c <= 10; ++c)
        program(*s, c, "446.50000"),
            s->channelTable.groups[1].channels[std::size_t(c)] = s->channelTable.groups[0].channels[std::size_t(c)];
    h.record(*s, "Set group capabilities");
    const auto ten = std::make_unique<RadioSettings>(*s);
    // Shrunk to 5: channels 6..10 stay in memory, but no file holds them.
    s->channelTable.groups[1].capability = 5;
    h.record(*s, "Set group capabilities");
    const auto five = std::make_unique<RadioSettings>(*s);

    h.undo(*s);
    EXPECT_TRUE(*s == *ten);
    h.undo(*s);
    // Before: group 1 held nothing, not even beyond its capability.
    EXPECT_EQ(s->channelTable.groups[1].channels[7], ChannelEntry{});
    h.redo(*s);
    h.redo(*s);
    EXPECT_TRUE(*s == *five);
    EXPECT_TRUE(s->channelTable.groups[1].channels[7].isProgrammed());
}

}  // namespace
}  // namespace ks340
