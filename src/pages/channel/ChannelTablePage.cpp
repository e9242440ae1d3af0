#include "pages/channel/ChannelTablePage.h"

namespace ks340 {

ChannelTablePage::ChannelTablePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void ChannelTablePage::refreshFromSettings() {}

}  // namespace ks340
