// Modem tab: transmitter switching delays and the nine modem texts.
#pragma once

#include <array>

#include "controls/TabPage.h"

class QComboBox;

namespace ks340 {

class PrintableTextEdit;

class ModemPage : public TabPage {
    Q_OBJECT
public:
    ModemPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    // Writes the modem defaults (including the values of the settings that
    // have no control on this page) and shows them.
    void initialisePage() override;
    void refreshFromSettings() override;

    QComboBox* txOnDelayList() const { return txOnDelay_; }
    QComboBox* txOffDelayList() const { return txOffDelay_; }
    PrintableTextEdit* modemTextField(int index) const { return modemText_.at(index); }

private:
    QComboBox* txOnDelay_ = nullptr;
    QComboBox* txOffDelay_ = nullptr;
    std::array<PrintableTextEdit*, 9> modemText_{};
    bool refreshing_ = false;
};

}  // namespace ks340
