#include <gtest/gtest.h>

#include "model/ChannelEditing.h"
#include "model/OptionLists.h"

using namespace ks340;

namespace {

ChannelEntry programmed(const char* rx) {
    ChannelEntry c;
    c.inUse = 1;
    c.rxFrequency = rx;
    c.bandwidth = 1;
    c.txPower = 1;
    return c;
}

}  // namespace

TEST(ChannelEditing, ScanTxFollowsThePriorityChannel) {
    EXPECT_EQ(scanTxWithPriority(kScanTxRxOnly, true), kScanTxPriorityOnly);
    EXPECT_EQ(scanTxWithPriority(kScanTxNormal, true), kScanTxPriorityScan);
    EXPECT_EQ(scanTxWithPriority(kScanTxPriorityOnly, true), kScanTxPriorityOnly);
    EXPECT_EQ(scanTxWithPriority(kScanTxPriorityOnly, false), kScanTxRxOnly);
    EXPECT_EQ(scanTxWithPriority(kScanTxPriorityScan, false), kScanTxNormal);
    EXPECT_EQ(scanTxWithPriority(kScanTxNormal, false), kScanTxNormal);
    EXPECT_EQ(scanTxWithPriority(9, true), 9);  // unknown values stay
}

TEST(ChannelEditing, TogglesIgnoreUnprogrammedAndOutOfRangeChannels) {
    ChannelTable t;
    OptionSettings o;
    const ChannelTable before = t;
    for (ChannelMark m : {ChannelMark::Scan, ChannelMark::Bandwidth, ChannelMark::TxPower, ChannelMark::Priority,
                          ChannelMark::PowerOn}) {
        EXPECT_FALSE(toggleChannelMark(t, o, 0, 5, 208, m).changed);
        EXPECT_FALSE(toggleChannelMark(t, o, 0, 0, 208, m).changed);
        EXPECT_FALSE(toggleChannelMark(t, o, 0, 209, 208, m).changed);
        EXPECT_FALSE(toggleChannelMark(t, o, 14, 1, 208, m).changed);
        EXPECT_FALSE(toggleChannelMark(t, o, -1, 1, 208, m).changed);
    }
    EXPECT_TRUE(t == before);
}

TEST(ChannelEditing, PowerOnMarkMovesAndLeavesScanTxAlone) {
    ChannelTable t;
    OptionSettings o;
    o.scanTx = kScanTxRxOnly;
    t.groups[3].capability = 4;
    for (int i = 1; i <= 4; ++i) t.groups[3].channels[i] = programmed("150.00000");
    auto r = toggleChannelMark(t, o, 3, 2, 4, ChannelMark::PowerOn);
    EXPECT_TRUE(r.on);
    EXPECT_EQ(r.previous, 0);
    r = toggleChannelMark(t, o, 3, 4, 4, ChannelMark::PowerOn);
    EXPECT_TRUE(r.on);
    EXPECT_EQ(r.previous, 2);
    EXPECT_EQ(t.groups[3].channels[2].powerOnChannel, 0);
    EXPECT_EQ(t.groups[3].channels[4].powerOnChannel, 1);
    t.groups[3].powerOnChannel = 4;
    r = toggleChannelMark(t, o, 3, 4, 4, ChannelMark::PowerOn);
    EXPECT_FALSE(r.on);
    EXPECT_EQ(t.groups[3].powerOnChannel, 0);
    EXPECT_EQ(o.scanTx, kScanTxRxOnly);
    // Other groups are not touched.
    EXPECT_EQ(t.groups[0].channels[4].powerOnChannel, 0);
}

TEST(ChannelEditing, ClearingAPriorityChannelDropsThePriorityScanTx) {
    ChannelTable t;
    OptionSettings o;
    o.scanTx = kScanTxNormal;
    t.groups[0].channels[7] = programmed("150.00000");
    // Marked in the grid: only the channel's flag says so until programming.
    toggleChannelMark(t, o, 0, 7, 208, ChannelMark::Priority);
    ASSERT_EQ(o.scanTx, kScanTxPriorityScan);
    ASSERT_EQ(t.groups[0].priorityChannel, 0);
    t.groups[0].channels[7].rxStepCode = 2;
    t.groups[0].channels[7].rxCodeN = 123;
    clearChannel(t, o, 0, 7);
    EXPECT_EQ(o.scanTx, kScanTxNormal);
    EXPECT_EQ(t.groups[0].channels[7], ChannelEntry{});

    // The group's number alone counts as well (radio read).
    t.groups[0].channels[9] = programmed("150.00000");
    t.groups[0].priorityChannel = 9;
    t.groups[0].powerOnChannel = 9;
    t.groups[0].channels[9].powerOnChannel = 1;
    o.scanTx = kScanTxPriorityOnly;
    clearChannel(t, o, 0, 9);
    EXPECT_EQ(o.scanTx, kScanTxRxOnly);
    EXPECT_EQ(t.groups[0].priorityChannel, 0);
    EXPECT_EQ(t.groups[0].powerOnChannel, 0);

    // A plain channel leaves scanTx and the numbers of others alone.
    t.groups[0].priorityChannel = 3;
    t.groups[0].channels[3] = programmed("150.00000");
    t.groups[0].channels[3].priorityChannel = 1;
    o.scanTx = kScanTxPriorityScan;
    t.groups[0].channels[4] = programmed("150.00000");
    clearChannel(t, o, 0, 4);
    EXPECT_EQ(o.scanTx, kScanTxPriorityScan);
    EXPECT_EQ(t.groups[0].priorityChannel, 3);
}

TEST(ChannelEditing, GroupClearKeepsInUseAndStepCodes) {
    ChannelTable t;
    ChannelEntry c = programmed("150.00000");
    c.label = "X";
    c.rxStepCode = 2;
    c.txStepCode = 1;
    c.rxCodeN = 5;
    c.scanChannel = 1;
    t.groups[2].channels[1] = c;
    t.groups[2].channels[3] = c;
    clearGroupChannels(t, 2, 3);  // channels 0..2
    EXPECT_TRUE(t.groups[2].channels[1].rxFrequency.empty());
    EXPECT_TRUE(t.groups[2].channels[1].label.empty());
    EXPECT_EQ(t.groups[2].channels[1].inUse, 1);
    EXPECT_EQ(t.groups[2].channels[1].rxStepCode, 2);
    EXPECT_EQ(t.groups[2].channels[1].txStepCode, 1);
    EXPECT_EQ(t.groups[2].channels[1].rxCodeN, 0);
    EXPECT_EQ(t.groups[2].channels[1].scanChannel, 0);
    EXPECT_EQ(t.groups[2].channels[3].rxFrequency, "150.00000");  // beyond the count
    clearGroupChannels(t, 2, 100000);                             // clamped, no overrun
    EXPECT_TRUE(t.groups[2].channels[3].rxFrequency.empty());

    clearAllGroupChannels(t);
    EXPECT_EQ(t.groups[2].channels[1].inUse, 0);
}

TEST(ChannelEditing, WholeGroupClearResetsNumbersAndBitmaps) {
    ChannelTable t;
    t.groups[0].channels[1] = programmed("150.00000");
    t.groups[0].firstChannel = 1;
    t.groups[0].lastChannel = 1;
    t.groups[0].priorityChannel = 1;
    t.groups[0].powerOnChannel = 1;
    t.prep.scanMask.fill(1);
    t.prep.programmedMask.fill(1);
    t.prep.scanMask2.fill(1);
    clearWholeGroup(t, 0, 209);
    EXPECT_TRUE(t.groups[0].channels[1].rxFrequency.empty());
    EXPECT_EQ(t.groups[0].firstChannel, 0);
    EXPECT_EQ(t.groups[0].lastChannel, 0);
    EXPECT_EQ(t.groups[0].priorityChannel, 0);
    EXPECT_EQ(t.groups[0].powerOnChannel, 0);
    EXPECT_EQ(t.prep.scanMask, decltype(t.prep.scanMask){});
    EXPECT_EQ(t.prep.programmedMask, decltype(t.prep.programmedMask){});
    EXPECT_EQ(t.prep.scanMask2[25], 1);
}

TEST(ChannelEditing, CountsProgrammedChannelsPerMode) {
    ChannelTable t;
    t.groups[0].channels[1] = programmed("150.00000");
    t.groups[0].channels[208] = programmed("150.00000");
    t.groups[1].capability = 2;
    t.groups[1].channels[1] = programmed("150.00000");
    t.groups[1].channels[3] = programmed("150.00000");  // beyond the capability
    EXPECT_EQ(countUsedChannels(t), 2);
    EXPECT_EQ(t.groups[0].usedChannels, 2);
    EXPECT_EQ(t.groups[1].usedChannels, 0);
    t.scanMode = 1;
    EXPECT_EQ(countUsedChannels(t), 1);
    EXPECT_EQ(t.groups[0].usedChannels, 0);
    EXPECT_EQ(t.groups[1].usedChannels, 1);
    // A damaged capability cannot read past the table.
    t.groups[2].capability = 5000;
    t.groups[2].channels[208] = programmed("150.00000");
    EXPECT_EQ(countUsedChannels(t), 2);
}

TEST(ChannelEditing, AnyScanChannelLooksAtEveryGroupWithinItsCapability) {
    ChannelTable t;
    t.groups[5].channels[3].scanChannel = 1;
    updateAnyScanChannel(t);
    EXPECT_EQ(t.anyScanChannel, 0);  // group 5 holds no channels
    t.groups[5].capability = 3;
    updateAnyScanChannel(t);
    EXPECT_EQ(t.anyScanChannel, 1);
    t.groups[5].channels[3].scanChannel = 0;
    updateAnyScanChannel(t);
    EXPECT_EQ(t.anyScanChannel, 0);
}

TEST(ChannelEditing, DialogResultProgramsTheChannel) {
    ChannelTable t;
    ChannelDialogResult r;
    r.label = "L";
    r.rxFrequency = "446.00000";
    r.txFrequency = "447.00000";
    r.rxSquelch = 39;
    r.rxInverseDcs = 1;
    r.txSquelch = 5;
    ASSERT_TRUE(applyChannelDialog(t, 4, 2, r));
    const ChannelEntry& c = t.groups[4].channels[2];
    EXPECT_EQ(c.inUse, 1);
    EXPECT_EQ(c.bandwidth, 1);
    EXPECT_EQ(c.txPower, 1);
    EXPECT_EQ(c.txSquelch, 5);
    EXPECT_EQ(c.rxInverseDcs, 1);

    // "N" and "Low" stay; an empty Tx keeps the transmit code.
    t.groups[4].channels[2].bandwidth = 0;
    t.groups[4].channels[2].txPower = 0;
    r.txFrequency.clear();
    r.txSquelch = 60;
    ASSERT_TRUE(applyChannelDialog(t, 4, 2, r));
    EXPECT_EQ(c.bandwidth, 0);
    EXPECT_EQ(c.txPower, 0);
    EXPECT_TRUE(c.txFrequency.empty());
    EXPECT_EQ(c.txSquelch, 5);

    // An unprogrammed channel with stale zeros still becomes "S"/"High".
    ASSERT_TRUE(applyChannelDialog(t, 4, 3, r));
    EXPECT_EQ(t.groups[4].channels[3].bandwidth, 1);

    // No Rx frequency: nothing changes.
    const ChannelTable before = t;
    r.rxFrequency.clear();
    EXPECT_FALSE(applyChannelDialog(t, 4, 2, r));
    EXPECT_FALSE(applyChannelDialog(t, 4, 0, ChannelDialogResult{"", "446.00000", "", 0, 0, 0, 0}));
    EXPECT_TRUE(t == before);
}

TEST(ChannelEditing, TypedCellsAreCheckedAndSnappedAsTheDialogDoes) {
    ChannelTable t;
    auto& g = t.groups[0];
    // A label needs a programmed channel; the Rx frequency programs one.
    EXPECT_FALSE(setChannelText(t, 0, 3, ChannelField::Label, "Hut", 0, 0).stored);
    const TypedCellEdit rx = setChannelText(t, 0, 3, ChannelField::RxFrequency, "450.0049", 0, 0);
    ASSERT_TRUE(rx.stored);
    EXPECT_EQ(rx.notice, "450.00490 is not on the 12.5 kHz raster; stored as 450.00000");
    EXPECT_EQ(g.channels[3].rxFrequency, "450.00000");
    EXPECT_EQ(g.channels[3].bandwidth, 1);
    EXPECT_EQ(g.channels[3].txPower, 1);
    EXPECT_EQ(g.channels[3].inUse, 1);

    const ChannelEntry before = g.channels[3];
    const TypedCellEdit far = setChannelText(t, 0, 3, ChannelField::TxFrequency, "475", 1, 0);  // KS-390 UHF2
    EXPECT_TRUE(far.outOfRange);
    EXPECT_EQ(far.reason, "475 MHz is outside UHF2, 440 to 470 MHz");
    EXPECT_TRUE(g.channels[3] == before);
    EXPECT_FALSE(setChannelText(t, 0, 3, ChannelField::Label, "a,b", 0, 0).stored);
    EXPECT_FALSE(setChannelText(t, 0, 3, ChannelField::RxFrequency, "", 0, 0).stored);
    EXPECT_TRUE(g.channels[3] == before);

    EXPECT_TRUE(setChannelText(t, 0, 3, ChannelField::Label, "H\xC3\xBCtte", 0, 0).stored);
    EXPECT_EQ(g.channels[3].label, "H\xFCtte");
    EXPECT_TRUE(setChannelText(t, 0, 3, ChannelField::TxFrequency, "450.00625", 0, 0).stored);
    EXPECT_TRUE(setChannelText(t, 0, 3, ChannelField::TxSquelch, "Inv DCS : 023", 0, 0).stored);
    EXPECT_EQ(g.channels[3].txInverseDcs, 1);
    EXPECT_TRUE(setChannelText(t, 0, 3, ChannelField::TxFrequency, "", 0, 0).stored);
    EXPECT_EQ(g.channels[3].txFrequency, "");
}

TEST(ChannelEditing, FindByLabelOrFrequencyWrapsRound) {
    ChannelTable t;
    t.groups[0].channels[2] = programmed("446.10000");
    t.groups[0].channels[2].label = "Caf\xE9";
    t.groups[0].channels[7] = programmed("150.01250");
    t.groups[0].channels[7].txFrequency = "446.12500";
    EXPECT_EQ(findChannel(t, 0, 208, 0, "CAF\xC9"), 2);
    EXPECT_EQ(findChannel(t, 0, 208, 0, "446.1"), 2);
    EXPECT_EQ(findChannel(t, 0, 208, 2, "446.1"), 7);  // the Tx frequency
    EXPECT_EQ(findChannel(t, 0, 208, 7, "446.1"), 2);  // round again
    EXPECT_EQ(findChannel(t, 0, 6, 2, "446.1"), 2);    // channel 7 is not shown
    EXPECT_EQ(findChannel(t, 0, 208, 0, "none"), 0);
}

TEST(ChannelEditing, InsertAndDeleteMoveTheFollowingChannels) {
    ChannelTable t;
    OptionSettings o;
    o.scanTx = kScanTxPriorityScan;
    auto& g = t.groups[2];
    for (int c = 1; c <= 4; ++c) g.channels[c] = programmed(("446.0" + std::to_string(c) + "000").c_str());
    g.channels[3].priorityChannel = 1;
    g.priorityChannel = 3;
    g.channels[4].powerOnChannel = 1;
    g.powerOnChannel = 4;

    ASSERT_TRUE(insertChannel(t, 2, 2, 5));
    EXPECT_FALSE(g.channels[2].isProgrammed());
    EXPECT_EQ(g.channels[3].rxFrequency, "446.02000");
    EXPECT_EQ(g.channels[5].rxFrequency, "446.04000");
    EXPECT_EQ(g.priorityChannel, 4);
    EXPECT_EQ(g.powerOnChannel, 5);
    EXPECT_EQ(g.channels[4].priorityChannel, 1);
    // The last channel is programmed now: nothing may fall off the end.
    const ChannelGroup full = g;
    EXPECT_FALSE(insertChannel(t, 2, 1, 5));
    EXPECT_TRUE(g == full);

    ASSERT_TRUE(deleteChannel(t, o, 2, 1, 5));
    EXPECT_EQ(g.channels[1].isProgrammed(), false);  // the inserted gap moved up
    EXPECT_EQ(g.channels[2].rxFrequency, "446.02000");
    EXPECT_EQ(g.priorityChannel, 3);
    EXPECT_EQ(g.powerOnChannel, 4);
    EXPECT_FALSE(g.channels[5].isProgrammed());
    // Deleting the priority channel drops the priority scan.
    ASSERT_TRUE(deleteChannel(t, o, 2, 3, 5));
    EXPECT_EQ(g.priorityChannel, 0);
    EXPECT_EQ(o.scanTx, kScanTxNormal);
    EXPECT_EQ(g.powerOnChannel, 3);
    EXPECT_EQ(g.channels[3].powerOnChannel, 1);
}
