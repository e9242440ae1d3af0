// Encode tab: what the radio sends — emergency, acknowledges, ANI and three
// calls. Every control writes through to SelcallEncodeSettings at once.
#pragma once

#include <array>

#include "controls/TabPage.h"

class QComboBox;
class QLabel;
class QLineEdit;

namespace ks340 {

class DtmfDigitEdit;
class NumberEdit;
class OneToEightEdit;

class SelcallEncodePage : public TabPage {
    Q_OBJECT
public:
    SelcallEncodePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    void initialisePage() override;
    void refreshFromSettings() override;

    // The page's controls, for the view and the tests.
    struct CallControls {
        OneToEightEdit* sequence = nullptr;
        QComboBox* checkOpen = nullptr;
        QComboBox* checkBusy = nullptr;
        QComboBox* encodeAlert = nullptr;
    };
    QComboBox* selcallList() const { return selcall_; }
    QComboBox* emgTypeList() const { return emgType_; }
    QLabel* emgFieldLabel() const { return emgLabel_; }
    OneToEightEdit* emgSequenceField() const { return emgSequence_; }
    DtmfDigitEdit* emgToneField() const { return emgTone_; }
    QComboBox* emgCheckOpenList() const { return emgCheckOpen_; }
    QComboBox* emgCheckBusyList() const { return emgCheckBusy_; }
    QComboBox* emgEncodeAlertList() const { return emgEncodeAlert_; }
    QComboBox* emgRepeatsList() const { return emgRepeats_; }
    NumberEdit* cycleRepeatTimeField() const { return cycleRepeatTime_; }
    NumberEdit* txTimerField() const { return txTimer_; }
    OneToEightEdit* acknowledgeField(int index) const { return acknowledge_.at(index); }
    QComboBox* aniTypeList() const { return aniType_; }
    QLabel* aniFieldLabel() const { return aniLabel_; }
    OneToEightEdit* aniSequenceField() const { return aniSequence_; }
    DtmfDigitEdit* aniToneField() const { return aniTone_; }
    QComboBox* aniAtList() const { return aniAt_; }
    NumberEdit* multiAniDelayField() const { return multiAniDelay_; }
    const CallControls& call(int index) const { return calls_.at(index); }

private:
    void buildLayout();
    void connectHandlers();

    // Handlers of the user's changes (also run when the page itself changes a field).
    void emergencyTextChanged(const QString& text, bool fromSelcallField);
    void aniTextChanged(const QString& text);
    void callTextChanged(int index, const QString& text);
    void emgTypeChosen(int type);
    void aniTypeChosen(int type);
    void secondsTextChanged(NumberEdit* field, int& target, const QString& text);

    // Shows which field of a pair is in use and names the shared label.
    void showEmergencyField(int type);
    void showAniField(int type);
    void setEmergencyOptionsEnabled(bool enabled, bool selcall);
    void setAniOptionsEnabled(bool enabled);
    void fillAniAt(int aniType);

    QComboBox* selcall_ = nullptr;
    QLabel* selcallLabel_ = nullptr;
    QComboBox* emgType_ = nullptr;
    QLabel* emgLabel_ = nullptr;
    OneToEightEdit* emgSequence_ = nullptr;
    DtmfDigitEdit* emgTone_ = nullptr;
    QComboBox* emgCheckOpen_ = nullptr;
    QComboBox* emgCheckBusy_ = nullptr;
    QComboBox* emgEncodeAlert_ = nullptr;
    QComboBox* emgRepeats_ = nullptr;
    NumberEdit* cycleRepeatTime_ = nullptr;
    NumberEdit* txTimer_ = nullptr;
    std::array<OneToEightEdit*, 3> acknowledge_{};
    QComboBox* aniType_ = nullptr;
    QLabel* aniLabel_ = nullptr;
    OneToEightEdit* aniSequence_ = nullptr;
    DtmfDigitEdit* aniTone_ = nullptr;
    QComboBox* aniAt_ = nullptr;
    NumberEdit* multiAniDelay_ = nullptr;
    std::array<CallControls, 3> calls_{};

    // Set while the page shows the record: the field handlers then store nothing.
    bool refreshing_ = false;
};

}  // namespace ks340
