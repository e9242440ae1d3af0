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
    clickedColumn = 0;
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

bool ChannelTable::sameContent(const ChannelTable& o) const {
    return currentGroup == o.currentGroup && currentChannel == o.currentChannel &&
           totalCapability == o.totalCapability && tableSpare == o.tableSpare && channelsLeft == o.channelsLeft &&
           channelCapacity == o.channelCapacity && firstProgrammedGroup == o.firstProgrammedGroup &&
           firstScanGroup == o.firstScanGroup && lowestGroup == o.lowestGroup && highestGroup == o.highestGroup &&
           lastScanGroup == o.lastScanGroup && totalUsed == o.totalUsed && clickedColumn == o.clickedColumn &&
           priorityPresent == o.priorityPresent && noPowerOnChannel == o.noPowerOnChannel && scanMode == o.scanMode &&
           appliedScanMode == o.appliedScanMode && groupScanFlag == o.groupScanFlag &&
           anyScanChannel == o.anyScanChannel && groups == o.groups;
}

bool RadioSettings::operator==(const RadioSettings& o) const {
    return header == o.header && channelTable.sameContent(o.channelTable) && option == o.option &&
           toneSequence == o.toneSequence && selcallEncode == o.selcallEncode && selcallDecode == o.selcallDecode &&
           dtmf == o.dtmf && modem == o.modem;
}

}  // namespace ks340
