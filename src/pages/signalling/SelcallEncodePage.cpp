#include "pages/signalling/SelcallEncodePage.h"

namespace ks340 {

SelcallEncodePage::SelcallEncodePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void SelcallEncodePage::refreshFromSettings() {}

}  // namespace ks340
