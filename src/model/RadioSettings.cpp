#include "model/RadioSettings.h"

namespace ks340 {

void ChannelTable::reset() {
    currentGroup = 0;
    currentChannel = 0;
    totalCapability = 0;
    tableSpare = 0;
    channelsLeft = kChannelCapacity;
    channelCapacity = kChannelCapacity;
    firstProgrammedGroup = 0;
    firstScanGroup = 0;
    lowestGroup = 0;
    highestGroup = 0;
    lastScanGroup = 0;
    totalUsed = 0;
    priorityPresent = 0;
    noPowerOnChannel = 1;
    scanMode = 0;
    appliedScanMode = 0;
    groupScanFlag = 0;
    anyScanChannel = 0;
    for (ChannelGroup& g : groups) g = ChannelGroup{};
    groups[0].enabled = 1;
    groups[0].capability = kChannelCapacity;
    prep = ChannelImagePreparation{};
}

}  // namespace ks340
