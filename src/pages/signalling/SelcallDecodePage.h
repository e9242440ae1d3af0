// Decode tab: the eight 5-tone addresses the radio answers to, with action,
// acknowledge and display text, and the decoder timing.
#pragma once

#include <array>

#include "controls/TabPage.h"

class QComboBox;

namespace ks340 {

class NumberEdit;
class PrintableTextEdit;
class SelcallAddressEdit;

class SelcallDecodePage : public TabPage {
    Q_OBJECT
public:
    SelcallDecodePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    void initialisePage() override;
    void refreshFromSettings() override;
    // decodeDuration from the addresses and the tone length as the fields
    // show them (run before every radio transfer).
    void collectIntoSettings() override;
    // Becoming the current tab: "Decoder Tone Length" shows the tone length
    // of the tone sequence page.
    void pageSelected() override;

    struct EntryControls {
        SelcallAddressEdit* address = nullptr;
        QComboBox* action = nullptr;
        QComboBox* ack = nullptr;
        PrintableTextEdit* text = nullptr;
    };
    const EntryControls& entry(int index) const { return entries_.at(index); }
    NumberEdit* decoderToneLengthField() const { return toneLength_; }
    NumberEdit* covertRxTimeField() const { return covertRx_; }
    NumberEdit* covertTxTimeField() const { return covertTx_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addressChanged(int index, const QString& text);
    void covertTextChanged(NumberEdit* field, int& target, const QString& text, const QString& what);
    void toneLengthLeft();
    void setEntryEnabled(int index, bool enabled);

    std::array<EntryControls, kDecodeEntries> entries_{};
    NumberEdit* toneLength_ = nullptr;
    NumberEdit* covertRx_ = nullptr;
    NumberEdit* covertTx_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace ks340
