// Default states of the configuration record: one definition shared by the
// pages (their initialisation), the New command, the command-line tool and
// the tests.
#pragma once

#include "model/RadioSettings.h"

namespace ks340 {

// Header reset: model 0, radioBand 0, speaker 0, logo "Vandrell".
void resetHeader(HeaderSettings& header);

// The states each page's initialisation writes into its sub-record.
void resetOptionSettings(OptionSettings& option);
void resetToneSequenceSettings(ToneSequenceSettings& tone);
void resetSelcallEncodeSettings(SelcallEncodeSettings& encode);
void resetSelcallDecodeSettings(SelcallDecodeSettings& decode);
void resetDtmfSettings(DtmfSettings& dtmf);
void resetModemSettings(ModemSettings& modem);

// All six page sub-records (option .. modem).
void resetPageSettings(RadioSettings& settings);

// The state after New: header, channel table and every page reset.
void resetRadioSettings(RadioSettings& settings);

// Channel table and every page reset; header (model, band, speaker, logo)
// left as it is. Used when the model or the band changes.
void resetForModelOrBandChange(RadioSettings& settings);

// Choosing a model in the header: a different model is stored, radioBand
// becomes 0 and the channel table and pages are reset; speaker and logo
// stay. Choosing the current model changes nothing. Returns true when the
// configuration was reset.
bool chooseModel(RadioSettings& settings, int model);

// Choosing a band: as chooseModel, without touching the model.
bool chooseBand(RadioSettings& settings, int radioBand);

// A fresh configuration as the program has it after start-up or New.
RadioSettings newRadioSettings();

}  // namespace ks340
