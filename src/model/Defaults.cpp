#include "model/Defaults.h"

#include "model/Signalling.h"

namespace ks340 {

void resetHeader(HeaderSettings& header) {
    header.model = 0;
    header.radioBand = 0;
    header.speaker = 0;
    header.lcdDisplayLogo = "Vandrell";
}

void resetOptionSettings(OptionSettings& o) {
    o.programmableKey1Short = 1;  // "Power"
    o.programmableKey2Short = 8;  // "Selcall"
    o.programmableKey3Short = 3;  // "Monitor"
    o.programmableKey1Long = 2;   // "Light"
    o.programmableKey2Long = 9;   // "SMS"
    o.programmableKey3Long = 0;   // "N/A"
    o.programmableKey1Mode = 3;
    o.programmableKey2Mode = 3;
    o.programmableKey3Mode = 1;
    o.txDelay = 0;
    o.monitor = 1;
    o.hook = 0;
    o.hookScan = 0;
    o.beep = 1;
    o.publicAddress = 0;
    o.powerUpAlert = 1;
    o.powerUp = 1;
    o.autoMute = 0;
    o.autoMuteTimer = 30;
    o.pttTimer = 0;
    o.txTimer = 0;
    o.txInhibit = 0;
    o.txInhibitAlert = 0;
    o.openLock = 1;  // "Auto Open"
    o.busyChLockOut = 0;
    o.markIdle = 0;
    o.scanType = 1;  // "Manual Group Scan"
    o.scanTx = 3;    // "Normal Scan Tx"
    o.scanWaitTime = 4;
    o.scanSpeedTime = 49;  // 0.50 S
    o.priorityLbTime = 0;
}

void resetToneSequenceSettings(ToneSequenceSettings& t) {
    const ToneSet& eea = ToneSetTable[0];
    t.toneset = 0;
    t.toneFrequency = eea.tones;
    t.toneCycleCount = {};
    t.toneCycleRemainder = {};
    t.toneLength = 40;
    t.longestLeadInTime = 0;
    for (std::string& u : t.userTone) u = " ";
    for (int i = 1; i < kSequenceSlots; ++i) {
        ToneSequence& s = t.sequences[static_cast<std::size_t>(i)];
        s.sequence.clear();
        s.leadInTime = i <= 2 ? 300 : 0;
        s.firstToneTime = 40;
        s.leadOutTime = 40;
    }
    t.sequences[0] = ToneSequence{};
    t.sequences[1].sequence = "12XX5";
    t.sequences[2].sequence = "54321";
}

void resetSelcallEncodeSettings(SelcallEncodeSettings& e) {
    e.selcall = 1;
    e.emgType = 0;
    e.emgSequence = "2";
    e.emgCheckOpen = 0;
    e.emgCheckBusy = 0;
    e.emgEncodeAlert = 1;
    e.emgRepeats = 3;
    e.emgCycleRepeatTime = 20;
    e.emgTxTimer = 5;
    e.acknowledge1.clear();
    e.acknowledge2.clear();
    e.acknowledge3.clear();
    e.aniType = 0;
    e.aniSequence.clear();
    e.aniAt = 0;
    e.multiAniDelay = 0;
    e.call1Sequence.clear();
    e.call1CheckOpen = e.call1CheckBusy = e.call1EncodeAlert = 0;
    e.call2Sequence.clear();
    e.call2CheckOpen = e.call2CheckBusy = e.call2EncodeAlert = 0;
    e.call3Sequence.clear();
    e.call3CheckOpen = e.call3CheckBusy = e.call3EncodeAlert = 0;
}

void resetSelcallDecodeSettings(SelcallDecodeSettings& d) {
    for (DecodeEntry& entry : d.decodeEntries) entry = DecodeEntry{};
    d.decoderToneLength = 40;
    d.decodeDuration = 0;
    d.covertRxTime = 10;
    d.covertTxTime = 10;
}

void resetDtmfSettings(DtmfSettings& d) {
    d.dtmf = 0;
    d.dtmfLeadInTime = 300;
    d.dtmfLeadOutTime = 160;
    d.dtmfMarkTime = 70;
    d.dtmfSpaceTime = 50;
    for (std::string& s : d.dtmfCodes) s.clear();
    for (std::string& s : d.dtmfDecodeAddress) s.clear();
    d.dtmfDecodeAction = {};
    for (std::string& s : d.statusText) s.clear();
}

void resetModemSettings(ModemSettings& m) {
    m.modemBaudRate = 1;          // "2400"
    m.initializingDataForHt = 0;  // "Disable"
    m.txDelayTime = 1;            // "200"
    m.txOnDelay = 0;
    m.txOffDelay = 0;
    m.rxOnDelay = 4;  // "16"
    for (std::string& s : m.modemText) s.clear();
    // The common sentences have no visible editor; a new configuration must
    // not carry the previous one's texts, so they are emptied as well.
    for (std::string& s : m.commonSentence) s.clear();
}

void resetPageSettings(RadioSettings& s) {
    resetOptionSettings(s.option);
    resetToneSequenceSettings(s.toneSequence);
    resetSelcallEncodeSettings(s.selcallEncode);
    resetSelcallDecodeSettings(s.selcallDecode);
    resetDtmfSettings(s.dtmf);
    resetModemSettings(s.modem);
}

void resetRadioSettings(RadioSettings& s) {
    resetHeader(s.header);
    s.channelTable.reset();
    resetPageSettings(s);
}

void resetForModelOrBandChange(RadioSettings& s) {
    s.channelTable.reset();
    resetPageSettings(s);
}

bool chooseModel(RadioSettings& s, int model) {
    if (model == s.header.model) return false;
    s.header.model = model;
    s.header.radioBand = 0;
    resetForModelOrBandChange(s);
    return true;
}

bool chooseBand(RadioSettings& s, int radioBand) {
    if (radioBand == s.header.radioBand) return false;
    s.header.radioBand = radioBand;
    resetForModelOrBandChange(s);
    return true;
}

RadioSettings newRadioSettings() {
    RadioSettings s;
    resetRadioSettings(s);
    return s;
}

}  // namespace ks340
