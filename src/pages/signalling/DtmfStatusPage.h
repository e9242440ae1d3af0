// "DTMF and Selcall Status" tab: DTMF switch and timing, the nine DTMF
// numbers, four DTMF decode addresses with actions, and the ten status texts.
#pragma once

#include <array>

#include "controls/TabPage.h"

class QComboBox;

namespace ks340 {

class DtmfDigitEdit;
class NumberEdit;
class PrintableTextEdit;

class DtmfStatusPage : public TabPage {
    Q_OBJECT
public:
    DtmfStatusPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    void initialisePage() override;
    void refreshFromSettings() override;

    // The four time fields in record order: lead in, lead out, mark, space.
    enum TimeField { LeadIn, LeadOut, Mark, Space };

    QComboBox* dtmfList() const { return dtmf_; }
    NumberEdit* timeField(TimeField which) const { return times_.at(which); }
    DtmfDigitEdit* dtmfCodeField(int index) const { return codes_.at(index); }
    DtmfDigitEdit* decodeAddressField(int index) const { return decodeAddress_.at(index); }
    QComboBox* decodeActionList(int index) const { return decodeAction_.at(index); }
    PrintableTextEdit* statusTextField(int index) const { return statusText_.at(index); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void dtmfChosen(int position);
    // Enabled states of everything DTMF-dependent, by the stored switch and addresses.
    void applyDtmfEnabled();
    void timeTextChanged(TimeField which, const QString& text);
    void timeLeft(TimeField which);
    int& storedTime(TimeField which);

    QComboBox* dtmf_ = nullptr;
    std::array<NumberEdit*, 4> times_{};
    std::array<DtmfDigitEdit*, 9> codes_{};
    std::array<DtmfDigitEdit*, 4> decodeAddress_{};
    std::array<QComboBox*, 4> decodeAction_{};
    std::array<PrintableTextEdit*, 10> statusText_{};
    bool refreshing_ = false;
};

}  // namespace ks340
