#include <gtest/gtest.h>

#include "model/Defaults.h"
#include "model/OptionRules.h"

using namespace ks340;
namespace ol = ks340::optionlists;

TEST(OptionRules, KeysHoldOneFunctionEachAndMonitorTakesTheLongPress) {
    OptionSettings o;
    resetOptionSettings(o);
    // Defaults: key 1 short "Power", key 2 short "Selcall", key 2 long "SMS".
    EXPECT_FALSE(keySlotOffers(o, ol::longSlot(0), ol::kKeyPower));
    EXPECT_FALSE(keySlotOffers(o, ol::longSlot(0), ol::kKeySms));
    EXPECT_TRUE(keySlotOffers(o, ol::longSlot(0), ol::kKeyLight));
    EXPECT_FALSE(keySlotOffers(o, ol::longSlot(0), ol::kKeyAsicControl));
    EXPECT_TRUE(keySlotOffers(o, ol::longSlot(2), ol::kKeyAsicControl));

    chooseShortKey(o, 1, ol::kKeyMonitor);
    EXPECT_EQ(o.programmableKey2Short, ol::kKeyMonitor);
    EXPECT_EQ(o.programmableKey2Long, ol::kKeyNone);
    EXPECT_EQ(o.programmableKey2Mode, 1);
    EXPECT_EQ(o.monitor, 1);
    EXPECT_FALSE(longKeyAvailable(o, 1));

    chooseShortKey(o, 0, ol::kKeyNone);  // key 1 keeps "Light" on its long press
    EXPECT_EQ(o.programmableKey1Mode, 3);
    chooseLongKey(o, 0, ol::kKeyNone);
    EXPECT_EQ(o.programmableKey1Mode, 0);
    chooseLongKey(o, 0, ol::kKeyMonitor);
    EXPECT_EQ(o.programmableKey1Mode, 1);
}

TEST(OptionRules, DependentControlsFollowTheirSwitch) {
    OptionSettings o;
    resetOptionSettings(o);
    ChannelTable t;

    chooseHook(o, 1);
    EXPECT_EQ(o.hookScan, 1);
    EXPECT_TRUE(optionAvailability(o, t).hookScan);
    chooseHook(o, 0);
    EXPECT_EQ(o.hookScan, 0);
    EXPECT_FALSE(optionAvailability(o, t).hookScan);

    choosePttTimer(o, 1);
    EXPECT_EQ(o.txTimer, 3);    // 30 S
    EXPECT_EQ(o.txInhibit, 2);  // 10 S
    EXPECT_EQ(o.txInhibitAlert, 1);
    choosePttTimer(o, 0);
    EXPECT_EQ(o.txTimer + o.txInhibit + o.txInhibitAlert, 0);

    chooseAutoMute(o, 1);
    EXPECT_EQ(o.autoMuteTimer, 30);
    choosePowerUp(o, 0, 1);  // "Close" turns Auto Mute off
    EXPECT_EQ(o.autoMute, 0);
    EXPECT_EQ(o.autoMuteTimer, 0);
    choosePowerUp(o, 1, 1);  // "Open" takes the shown "Enable" back
    EXPECT_EQ(o.autoMute, 1);
    EXPECT_EQ(o.autoMuteTimer, 30);

    o.markIdle = 1;
    chooseBusyChLockOut(o, 1);
    EXPECT_EQ(o.markIdle, 0);
    EXPECT_TRUE(optionAvailability(o, t).markIdle);

    // Scan settings need a scan channel; Scan Type also group scan mode,
    // Priority LB Time a priority Scan Tx.
    EXPECT_FALSE(optionAvailability(o, t).scanTx);
    t.anyScanChannel = 1;
    o.scanTx = kScanTxNormal;
    OptionAvailability a = optionAvailability(o, t);
    EXPECT_TRUE(a.scanTx && a.scanWaitTime && a.scanSpeedTime);
    EXPECT_FALSE(a.scanType || a.priorityLbTime);
    t.scanMode = 1;
    o.scanTx = kScanTxPriorityOnly;
    a = optionAvailability(o, t);
    EXPECT_TRUE(a.scanType && a.priorityLbTime);
}

TEST(GroupRules, CapabilitiesShareTheChannelsLeft) {
    ChannelTable t;
    ASSERT_TRUE(setGroupCapability(t, 1, 100));
    EXPECT_EQ(t.totalCapability, 100);
    EXPECT_EQ(t.channelsLeft, 108);
    EXPECT_EQ(t.scanMode, 1);
    EXPECT_EQ(t.groupScanFlag, 1);
    ASSERT_TRUE(setGroupCapability(t, 3, 8));
    EXPECT_EQ(t.groups[2].channelEnd, 100);
    EXPECT_EQ(t.groups[3].channelEnd, 108);
    EXPECT_FALSE(setGroupCapability(t, 2, 101));  // 100 left
    EXPECT_FALSE(setGroupCapability(t, 1, 150));  // its own 100 are not free
    EXPECT_FALSE(setGroupCapability(t, 0, 10));
    EXPECT_EQ(t.groups[1].capability, 100);

    t.groups[1].channels[1].rxFrequency = "446.00625";
    EXPECT_TRUE(applyGroupLayout(t));  // into group mode: every channel emptied
    EXPECT_FALSE(t.groups[1].channels[1].isProgrammed());
    EXPECT_EQ(t.groups[1].enabled, 1);
    EXPECT_EQ(t.groups[2].enabled, 0);
    EXPECT_FALSE(applyGroupLayout(t));

    ASSERT_TRUE(setGroupCapability(t, 1, 0));
    ASSERT_TRUE(setGroupCapability(t, 3, 0));
    EXPECT_EQ(t.scanMode, 0);
    EXPECT_TRUE(applyGroupLayout(t));
    EXPECT_EQ(t.groups[0].enabled, 1);
    EXPECT_EQ(t.currentGroup, 0);
}
