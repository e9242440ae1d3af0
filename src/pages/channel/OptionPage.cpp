#include "pages/channel/OptionPage.h"

namespace ks340 {

OptionPage::OptionPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void OptionPage::refreshFromSettings() {}

}  // namespace ks340
