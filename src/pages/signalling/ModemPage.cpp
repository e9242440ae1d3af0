#include "pages/signalling/ModemPage.h"

namespace ks340 {

ModemPage::ModemPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {}

void ModemPage::refreshFromSettings() {}

}  // namespace ks340
