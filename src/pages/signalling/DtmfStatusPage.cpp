#include "pages/signalling/DtmfStatusPage.h"

namespace ks340 {

DtmfStatusPage::DtmfStatusPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void DtmfStatusPage::refreshFromSettings() {}

}  // namespace ks340
