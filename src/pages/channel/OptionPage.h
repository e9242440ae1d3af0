// Option tab: programmable keys, radio parameters, scan settings, PTT timer
// and PTT lock. Every control writes its value into OptionSettings as soon
// as the user changes it; the page keeps no copy.
#pragma once

#include <array>
#include <functional>

#include "controls/TabPage.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;

namespace ks340 {

class OptionPage : public TabPage {
    Q_OBJECT
public:
    OptionPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    // Writes the option defaults into the record and shows them (resetOptionPage).
    void initialisePage() override;
    // Shows the stored values without changing them (refreshOptionPage).
    void refreshFromSettings() override;
    // Scan availability rule, run whenever the Option tab is selected.
    void pageSelected() override;

    void resetOptionPage();
    void refreshOptionPage();
    // Enables the scan controls only while some channel is a scan channel and
    // rebuilds the "Scan Tx" list for the current scanTx.
    void applyScanAvailability();

    // Controls, for the view and the tests. key is 1..3.
    QComboBox* shortKeyList(int key) const;
    QComboBox* longKeyList(int key) const;
    QComboBox* txDelayList() const { return txDelay_; }
    QComboBox* monitorList() const { return monitor_; }
    QComboBox* hookList() const { return hook_; }
    QComboBox* hookScanList() const { return hookScan_; }
    QComboBox* beepList() const { return beep_; }
    QComboBox* publicAddressList() const { return publicAddress_; }
    QComboBox* powerUpAlertList() const { return powerUpAlert_; }
    QComboBox* powerUpList() const { return powerUp_; }
    QComboBox* autoMuteList() const { return autoMute_; }
    QLineEdit* autoMuteTimerField() const { return autoMuteTimer_; }
    QComboBox* pttTimerList() const { return pttTimer_; }
    QComboBox* txTimerList() const { return txTimer_; }
    QComboBox* txInhibitList() const { return txInhibit_; }
    QComboBox* txInhibitAlertList() const { return txInhibitAlert_; }
    QComboBox* openLockList() const { return openLock_; }
    QComboBox* busyChLockOutList() const { return busyChLockOut_; }
    QComboBox* markIdleList() const { return markIdle_; }
    QComboBox* scanTypeList() const { return scanType_; }
    QComboBox* scanTxList() const { return scanTx_; }
    QComboBox* scanWaitTimeList() const { return scanWaitTime_; }
    QLineEdit* scanSpeedTimeField() const { return scanSpeedTime_; }
    QComboBox* priorityLbTimeList() const { return priorityLbTime_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();

    // Key lists.
    int shownKeyCode(int slot) const;
    void fillKeyListsInFull();
    void applyKeyListRule();
    void selectKeyCode(int slot, int code);
    void shortKeyChosen(int key, int code);
    void longKeyChosen(int key, int code);

    // Dependencies between the other controls.
    void hookChosen(int position);
    void powerUpChosen(int position);
    void autoMuteChosen(int position);
    // Enables the Auto Mute Timer and shows the stored value, or disables it.
    void showAutoMuteTimer(bool enabled);
    void autoMuteTimerEdited(const QString& text);
    void autoMuteTimerLeft();
    void pttTimerChosen(int position);
    void busyChLockOutChosen(int position);
    void scanTxChosen(int position);
    void scanSpeedTimeLeft();
    void fillScanTxList(int scanTx);
    void setScanControlsEnabled(bool enabled);

    // Runs handler(position) for a user choice in box, then reports the edit.
    void onChoice(QComboBox* box, const QString& label, std::function<void(int)> handler);
    void edited(const QString& label);

    std::array<QComboBox*, 6> keyLists_{};  // short keys 1..3, long keys 1..3
    QComboBox* txDelay_ = nullptr;
    QComboBox* monitor_ = nullptr;
    QComboBox* hook_ = nullptr;
    QComboBox* hookScan_ = nullptr;
    QComboBox* beep_ = nullptr;
    QComboBox* publicAddress_ = nullptr;
    QComboBox* powerUpAlert_ = nullptr;
    QComboBox* powerUp_ = nullptr;
    QComboBox* autoMute_ = nullptr;
    QLineEdit* autoMuteTimer_ = nullptr;
    QComboBox* pttTimer_ = nullptr;
    QComboBox* txTimer_ = nullptr;
    QComboBox* txInhibit_ = nullptr;
    QComboBox* txInhibitAlert_ = nullptr;
    QComboBox* openLock_ = nullptr;
    QComboBox* busyChLockOut_ = nullptr;
    QComboBox* markIdle_ = nullptr;
    QComboBox* scanType_ = nullptr;
    QComboBox* scanTx_ = nullptr;
    QComboBox* scanWaitTime_ = nullptr;
    QLineEdit* scanSpeedTime_ = nullptr;
    QComboBox* priorityLbTime_ = nullptr;
    // Labels of the controls that exist but are never shown.
    std::array<QLabel*, 3> hiddenLabels_{};
    // Set while the page itself changes its controls.
    bool updating_ = false;
};

}  // namespace ks340
