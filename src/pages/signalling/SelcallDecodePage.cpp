#include "pages/signalling/SelcallDecodePage.h"

namespace ks340 {

SelcallDecodePage::SelcallDecodePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void SelcallDecodePage::refreshFromSettings() {}

}  // namespace ks340
