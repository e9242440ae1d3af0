// Placeholder page; replaced by the page's full implementation.
#pragma once

#include "controls/TabPage.h"

namespace ks340 {

class ModemPage : public TabPage {
    Q_OBJECT
public:
    ModemPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);
    void refreshFromSettings() override;
};

}  // namespace ks340
