#include "pages/signalling/ToneSequencePage.h"

namespace ks340 {

ToneSequencePage::ToneSequencePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void ToneSequencePage::refreshFromSettings() {}

}  // namespace ks340
