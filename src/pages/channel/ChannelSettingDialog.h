// "Channel Setting": programs one channel's label, receive and transmit
// frequencies and squelch signalling. Nothing reaches the channel table
// until the opener copies the results after OK.
#pragma once

#include <QDialog>
#include <QStringList>

#include "model/RadioSettings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace ks340 {

class PrintableTextEdit;

class ChannelSettingDialog : public QDialog {
    Q_OBJECT
public:
    enum Signalling { SignallingOff = 0, SignallingCtcss = 1, SignallingDcs = 2 };

    // Edits channel table.currentChannel of group table.currentGroup; the
    // focus goes to the field of the grid column the user chose
    // (clickedColumn). The pending tone codes are kept in pending.rxSquelch /
    // pending.txSquelch.
    ChannelSettingDialog(ChannelTable& table, const HeaderSettings& header, ChannelEntry& pending,
                         int clickedColumn = 0, QWidget* parent = nullptr);

    // Values taken from the controls at the last synchronisation point
    // (opening, "Rx = Tx", OK).
    QString labelText() const { return labelText_; }
    QString rxFrequencyText() const { return rxText_; }
    QString txFrequencyText() const { return txText_; }
    Signalling rxSignalling() const { return rx_.state.choice(); }
    Signalling txSignalling() const { return tx_.state.choice(); }
    bool rxInverseDcs() const { return rx_.state.inverse != 0; }
    bool txInverseDcs() const { return tx_.state.inverse != 0; }

    // Validates and rounds the text of a frequency field (the Rx or Tx
    // field) by the channel rules; out of range, the text fields go back to
    // their last synchronised values and the band warning is shown. Returns
    // false then. A value moved onto the raster is said in the notice line.
    bool snapFrequencyField(QLineEdit* field);

    // What the notice line says about the frequencies shown: one text per
    // field moved onto the raster ("450.00490 is not on the 12.5 kHz raster;
    // stored as 450.00000"). The opener shows them again after OK.
    QStringList notices() const;
    QLabel* noticeLabel() const { return notice_; }

    // Controls, for keyboard focus checks and tests.
    PrintableTextEdit* labelField() const { return label_; }
    QLineEdit* groupField() const { return groupNo_; }
    QLineEdit* channelField() const { return channelNo_; }
    QLineEdit* rxFrequencyField() const { return rx_.frequency; }
    QLineEdit* txFrequencyField() const { return tx_.frequency; }
    QRadioButton* rxOffButton() const { return rx_.off; }
    QRadioButton* rxCtcssButton() const { return rx_.ctcss; }
    QRadioButton* rxDcsButton() const { return rx_.dcs; }
    QRadioButton* txOffButton() const { return tx_.off; }
    QRadioButton* txCtcssButton() const { return tx_.ctcss; }
    QRadioButton* txDcsButton() const { return tx_.dcs; }
    QComboBox* rxCtcssList() const { return rx_.ctcssList; }
    QComboBox* rxDcsList() const { return rx_.dcsList; }
    QComboBox* txCtcssList() const { return tx_.ctcssList; }
    QComboBox* txDcsList() const { return tx_.dcsList; }
    QCheckBox* rxInverseBox() const { return rx_.inverseBox; }
    QCheckBox* txInverseBox() const { return tx_.inverseBox; }
    QPushButton* rxEqualsTxButton() const { return rxEqualsTx_; }
    QPushButton* okButton() const { return ok_; }
    QPushButton* cancelButton() const { return cancel_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct RadioState {
        int off = 1;
        int ctcss = 0;
        int dcs = 0;
        int inverse = 0;
        Signalling choice() const { return dcs ? SignallingDcs : ctcss ? SignallingCtcss : SignallingOff; }
    };
    struct Direction {
        QLineEdit* frequency = nullptr;
        QRadioButton* off = nullptr;
        QRadioButton* ctcss = nullptr;
        QRadioButton* dcs = nullptr;
        QComboBox* ctcssList = nullptr;
        QComboBox* dcsList = nullptr;
        QCheckBox* inverseBox = nullptr;
        int* pendingCode = nullptr;
        RadioState state;
        QString notice;  // the raster notice of the text shown
    };

    QWidget* buildDirection(Direction& d, const QString& title, const QString& frequencyLabel);
    void chooseOff(Direction& d);
    void chooseCtcss(Direction& d);
    void chooseDcs(Direction& d);
    void showSignalling(Direction& d, int code, int inverse);
    void takeMembers();  // controls -> members
    void showMembers();  // members -> controls
    void copyRxToTx();
    void okPressed();
    void showNotices();

    ChannelTable& table_;
    const HeaderSettings& header_;
    ChannelEntry& pending_;
    int clickedColumn_ = 0;  // grid column the dialog was opened from

    QString labelText_;
    QString rxText_;
    QString txText_;
    Direction rx_;
    Direction tx_;

    QLineEdit* groupNo_ = nullptr;
    QLineEdit* channelNo_ = nullptr;
    PrintableTextEdit* label_ = nullptr;
    QPushButton* rxEqualsTx_ = nullptr;
    QLabel* notice_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

// Grid text of a tone code with its inverse flag ("OFF", "CTCSS : 67.0",
// "DCS : 023", "Inv DCS : 023").
QString signallingText(int toneCode, int inverseDcs);

// 8-bit record text <-> what the widgets show.
QString recordText(const std::string& bytes);
std::string recordBytes(const QString& text);

}  // namespace ks340
