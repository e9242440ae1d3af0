#include "pages/signalling/SelcallEncodePage.h"
#include "pages/signalling/PageWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"
#include "model/Decimal.h"
#include "model/Defaults.h"
#include "model/Signalling.h"
#include "model/SignallingLists.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

using namespace pagewidgets;

using signalling::kSignallingTypeDtmf;
using signalling::kSignallingTypeSelcall;

template <typename Edit>
Edit* numberField(int maxLength) {
    auto* edit = new Edit;
    edit->setMaxLength(maxLength);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 8 + 16);
    return edit;
}

// The record fields of one call.
struct CallFields {
    std::string SelcallEncodeSettings::*sequence;
    int SelcallEncodeSettings::*checkOpen;
    int SelcallEncodeSettings::*checkBusy;
    int SelcallEncodeSettings::*encodeAlert;
};

constexpr std::array<CallFields, 3> kCallFields{{
    {&SelcallEncodeSettings::call1Sequence, &SelcallEncodeSettings::call1CheckOpen,
     &SelcallEncodeSettings::call1CheckBusy, &SelcallEncodeSettings::call1EncodeAlert},
    {&SelcallEncodeSettings::call2Sequence, &SelcallEncodeSettings::call2CheckOpen,
     &SelcallEncodeSettings::call2CheckBusy, &SelcallEncodeSettings::call2EncodeAlert},
    {&SelcallEncodeSettings::call3Sequence, &SelcallEncodeSettings::call3CheckOpen,
     &SelcallEncodeSettings::call3CheckBusy, &SelcallEncodeSettings::call3EncodeAlert},
}};

}  // namespace

SelcallEncodePage::SelcallEncodePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {
    buildLayout();
    connectHandlers();
}

void SelcallEncodePage::buildLayout() {
    // Emergency
    auto* emgBox = new QGroupBox(tr("Emergency"));
    auto* emg = new QGridLayout(emgBox);
    emgType_ = new QComboBox;
    fillList(emgType_, signalling::signallingTypeItems());
    addSetting(emg, 0, 0, "encode.emgType", emgType_);
    emgSequence_ = numberField<OneToEightEdit>(signalling::kSequenceNumberLength);
    emgTone_ = dtmfDigitsField();
    emgLabel_ = addSetting(emg, 1, 0, "encode.emgSequence", emgSequence_);
    emg->addWidget(emgTone_, 1, 1, 1, 2);
    emgTone_->setAccessibleName(tr("EMG Tone"));
    emgTone_->hide();
    emgCheckOpen_ = new QComboBox;
    emgCheckBusy_ = new QComboBox;
    emgEncodeAlert_ = new QComboBox;
    emgRepeats_ = new QComboBox;
    for (QComboBox* list : {emgCheckOpen_, emgCheckBusy_, emgEncodeAlert_})
        fillList(list, signalling::disableEnableItems());
    fillList(emgRepeats_, signalling::repeatsItems());
    addSetting(emg, 2, 0, "encode.emgCheckOpen", emgCheckOpen_);
    addSetting(emg, 3, 0, "encode.emgCheckBusy", emgCheckBusy_);
    addSetting(emg, 4, 0, "encode.emgEncodeAlert", emgEncodeAlert_);
    addSetting(emg, 5, 0, "encode.emgRepeats", emgRepeats_);
    cycleRepeatTime_ = numberField<NumberEdit>(3);
    txTimer_ = numberField<NumberEdit>(3);
    addSetting(emg, 6, 0, "encode.emgCycleRepeatTime", cycleRepeatTime_);
    addSetting(emg, 7, 0, "encode.emgTxTimer", txTimer_);
    // Kept in the record and the file, not offered to the user.
    selcall_ = new QComboBox;
    fillList(selcall_, signalling::disableEnableItems());
    selcallLabel_ = addSetting(emg, 8, 0, "encode.selcall", selcall_);
    selcall_->hide();
    selcallLabel_->hide();
    emg->setColumnStretch(3, 1);

    // ANI
    auto* aniBox = new QGroupBox(tr("ANI"));
    auto* ani = new QGridLayout(aniBox);
    aniType_ = new QComboBox;
    fillList(aniType_, signalling::signallingTypeItems());
    addSetting(ani, 0, 0, "encode.aniType", aniType_);
    aniSequence_ = numberField<OneToEightEdit>(signalling::kSequenceNumberLength);
    aniTone_ = dtmfDigitsField();
    aniLabel_ = addSetting(ani, 1, 0, "encode.aniSequence", aniSequence_);
    ani->addWidget(aniTone_, 1, 1, 1, 2);
    aniTone_->setAccessibleName(tr("ANI Tone"));
    aniTone_->hide();
    aniAt_ = new QComboBox;
    fillList(aniAt_, signalling::aniAtItems(kSignallingTypeSelcall));
    addSetting(ani, 2, 0, "encode.aniAt", aniAt_);
    multiAniDelay_ = numberField<NumberEdit>(3);
    addSetting(ani, 3, 0, "encode.multiAniDelay", multiAniDelay_);
    ani->setColumnStretch(3, 1);

    // Acknowledge
    auto* ackBox = new QGroupBox(tr("Acknowledge"));
    auto* ack = new QGridLayout(ackBox);
    for (int i = 0; i < 3; ++i) {
        acknowledge_[static_cast<std::size_t>(i)] = numberField<OneToEightEdit>(signalling::kSequenceNumberLength);
        addSetting(ack, i, 0, "encode.acknowledge" + std::to_string(i + 1), acknowledge_[static_cast<std::size_t>(i)]);
    }
    ack->setColumnStretch(2, 1);

    // Calls
    auto* callRow = new QHBoxLayout;
    for (int i = 0; i < 3; ++i) {
        auto* box = new QGroupBox(tr("Call %1").arg(i + 1));
        auto* grid = new QGridLayout(box);
        CallControls& c = calls_[static_cast<std::size_t>(i)];
        c.sequence = numberField<OneToEightEdit>(signalling::kSequenceNumberLength);
        c.checkOpen = new QComboBox;
        c.checkBusy = new QComboBox;
        c.encodeAlert = new QComboBox;
        for (QComboBox* list : {c.checkOpen, c.checkBusy, c.encodeAlert})
            fillList(list, signalling::disableEnableItems());
        const std::string key = "encode.call" + std::to_string(i + 1);
        addSetting(grid, 0, 0, key + "Sequence", c.sequence);
        addSetting(grid, 1, 0, key + "CheckOpen", c.checkOpen);
        addSetting(grid, 2, 0, key + "CheckBusy", c.checkBusy);
        addSetting(grid, 3, 0, key + "EncodeAlert", c.encodeAlert);
        for (QComboBox* list : {c.checkOpen, c.checkBusy, c.encodeAlert})
            list->setAccessibleName(box->title() + QLatin1Char(' ') + list->accessibleName());
        grid->setColumnStretch(2, 1);
        grid->setRowStretch(4, 1);
        callRow->addWidget(box);
    }

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(aniBox);
    rightColumn->addWidget(ackBox);
    rightColumn->addStretch(1);
    auto* topRow = new QHBoxLayout;
    topRow->addWidget(emgBox, 1);
    topRow->addLayout(rightColumn, 1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(topRow);
    outer->addLayout(callRow);
    outer->addStretch(1);

    // Keyboard order: emergency, ANI, acknowledges, then the calls.
    std::vector<QWidget*> order{emgType_,        emgSequence_, emgTone_,         emgCheckOpen_, emgCheckBusy_,
                                emgEncodeAlert_, emgRepeats_,  cycleRepeatTime_, txTimer_,      aniType_,
                                aniSequence_,    aniTone_,     aniAt_,           multiAniDelay_};
    for (OneToEightEdit* edit : acknowledge_) order.push_back(edit);
    for (const CallControls& c : calls_) {
        order.push_back(c.sequence);
        order.push_back(c.checkOpen);
        order.push_back(c.checkBusy);
        order.push_back(c.encodeAlert);
    }
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void SelcallEncodePage::connectHandlers() {
    SelcallEncodeSettings& e = settings_.selcallEncode;
    // The undo step is named after the list's accessible name: its label, with its box where labels repeat.
    auto storeList = [this](QComboBox* list, int SelcallEncodeSettings::*field) {
        connect(list, &QComboBox::activated, this, [this, field, what = list->accessibleName()](int position) {
            settings_.selcallEncode.*field = position;
            emit settingsEdited(what);
        });
    };
    storeList(selcall_, &SelcallEncodeSettings::selcall);
    storeList(emgCheckOpen_, &SelcallEncodeSettings::emgCheckOpen);
    storeList(emgCheckBusy_, &SelcallEncodeSettings::emgCheckBusy);
    storeList(emgEncodeAlert_, &SelcallEncodeSettings::emgEncodeAlert);
    storeList(emgRepeats_, &SelcallEncodeSettings::emgRepeats);
    storeList(aniAt_, &SelcallEncodeSettings::aniAt);
    for (std::size_t i = 0; i < calls_.size(); ++i) {
        storeList(calls_[i].checkOpen, kCallFields[i].checkOpen);
        storeList(calls_[i].checkBusy, kCallFields[i].checkBusy);
        storeList(calls_[i].encodeAlert, kCallFields[i].encodeAlert);
        connect(calls_[i].sequence, &QLineEdit::textChanged, this,
                [this, i](const QString& text) { callTextChanged(static_cast<int>(i), text); });
    }

    connect(cycleRepeatTime_, &QLineEdit::textChanged, this, [this](const QString& text) {
        secondsTextChanged(cycleRepeatTime_, settings_.selcallEncode.emgCycleRepeatTime, text);
    });
    connect(txTimer_, &QLineEdit::textChanged, this,
            [this](const QString& text) { secondsTextChanged(txTimer_, settings_.selcallEncode.emgTxTimer, text); });
    connect(multiAniDelay_, &QLineEdit::textChanged, this, [this](const QString& text) {
        secondsTextChanged(multiAniDelay_, settings_.selcallEncode.multiAniDelay, text);
    });

    std::array<std::string*, 3> ackFields{&e.acknowledge1, &e.acknowledge2, &e.acknowledge3};
    for (std::size_t i = 0; i < acknowledge_.size(); ++i) {
        connect(acknowledge_[i], &QLineEdit::textChanged, this, [this, i, target = ackFields[i]](const QString& text) {
            if (refreshing_) return;
            *target = stored(text);
            emit settingsEdited(acknowledge_[i]->accessibleName());
        });
    }

    connect(emgSequence_, &QLineEdit::textChanged, this,
            [this](const QString& text) { emergencyTextChanged(text, true); });
    connect(emgTone_, &QLineEdit::textChanged, this,
            [this](const QString& text) { emergencyTextChanged(text, false); });
    connect(aniSequence_, &QLineEdit::textChanged, this, [this](const QString& text) { aniTextChanged(text); });
    connect(aniTone_, &QLineEdit::textChanged, this, [this](const QString& text) { aniTextChanged(text); });
    connect(emgType_, &QComboBox::activated, this, [this](int type) { emgTypeChosen(type); });
    connect(aniType_, &QComboBox::activated, this, [this](int type) { aniTypeChosen(type); });
}

void SelcallEncodePage::secondsTextChanged(NumberEdit* field, int& target, const QString& text) {
    if (refreshing_) return;
    int value = leadingDecimal(text.toStdString());
    if (value > signalling::kMaxEncodeSeconds) {
        value = signalling::kMaxEncodeSeconds;
        const QSignalBlocker block(field);
        field->setText(QString::number(value));
    }
    target = value;
    emit settingsEdited(field->accessibleName());
}

void SelcallEncodePage::setEmergencyOptionsEnabled(bool enabled, bool selcall) {
    emgEncodeAlert_->setEnabled(enabled);
    emgRepeats_->setEnabled(enabled);
    cycleRepeatTime_->setEnabled(enabled);
    txTimer_->setEnabled(enabled);
    emgCheckOpen_->setEnabled(enabled && selcall);
    emgCheckBusy_->setEnabled(enabled && selcall);
}

void SelcallEncodePage::emergencyTextChanged(const QString& text, bool fromSelcallField) {
    if (refreshing_ || quiet()) return;
    SelcallEncodeSettings& e = settings_.selcallEncode;
    setEmergencyText(e, stored(text));
    setEmergencyOptionsEnabled(!text.isEmpty(), fromSelcallField);
    selectPosition(emgCheckOpen_, e.emgCheckOpen);
    selectPosition(emgCheckBusy_, e.emgCheckBusy);
    selectPosition(emgEncodeAlert_, e.emgEncodeAlert);
    selectPosition(emgRepeats_, e.emgRepeats);
    {
        const QSignalBlocker b1(cycleRepeatTime_);
        const QSignalBlocker b2(txTimer_);
        cycleRepeatTime_->setText(QString::number(e.emgCycleRepeatTime));
        txTimer_->setText(QString::number(e.emgTxTimer));
    }
    emit settingsEdited(emgLabel_->text());
}

void SelcallEncodePage::setAniOptionsEnabled(bool enabled) {
    aniAt_->setEnabled(enabled);
    multiAniDelay_->setEnabled(enabled);
}

void SelcallEncodePage::aniTextChanged(const QString& text) {
    if (refreshing_ || quiet()) return;
    SelcallEncodeSettings& e = settings_.selcallEncode;
    setAniText(e, stored(text));
    setAniOptionsEnabled(!text.isEmpty());
    selectPosition(aniAt_, e.aniAt);
    {
        const QSignalBlocker block(multiAniDelay_);
        multiAniDelay_->setText(QString::number(e.multiAniDelay));
    }
    emit settingsEdited(aniLabel_->text());
}

void SelcallEncodePage::callTextChanged(int index, const QString& text) {
    if (refreshing_ || quiet()) return;
    SelcallEncodeSettings& e = settings_.selcallEncode;
    const CallFields& f = kCallFields[static_cast<std::size_t>(index)];
    const CallControls& c = calls_[static_cast<std::size_t>(index)];
    setCallSequence(e, index + 1, stored(text));
    const bool hasText = !text.isEmpty();
    for (QComboBox* list : {c.checkOpen, c.checkBusy, c.encodeAlert}) list->setEnabled(hasText);
    selectPosition(c.checkOpen, e.*f.checkOpen);
    selectPosition(c.checkBusy, e.*f.checkBusy);
    selectPosition(c.encodeAlert, e.*f.encodeAlert);
    emit settingsEdited(calls_[static_cast<std::size_t>(index)].sequence->accessibleName());
}

void SelcallEncodePage::showEmergencyField(int type) {
    const bool dtmf = type == kSignallingTypeDtmf;
    emgLabel_->setText(QString::fromLatin1(signalling::emergencyFieldLabel(type)));
    emgSequence_->setVisible(!dtmf);
    emgTone_->setVisible(dtmf);
    emgLabel_->setBuddy(dtmf ? static_cast<QWidget*>(emgTone_) : emgSequence_);
}

void SelcallEncodePage::showAniField(int type) {
    const bool dtmf = type == kSignallingTypeDtmf;
    aniLabel_->setText(QString::fromLatin1(signalling::aniFieldLabel(type)));
    aniSequence_->setVisible(!dtmf);
    aniTone_->setVisible(dtmf);
    aniLabel_->setBuddy(dtmf ? static_cast<QWidget*>(aniTone_) : aniSequence_);
}

void SelcallEncodePage::fillAniAt(int aniType) { fillList(aniAt_, signalling::aniAtItems(aniType)); }

void SelcallEncodePage::emgTypeChosen(int type) {
    settings_.selcallEncode.emgType = type;
    showEmergencyField(type);
    // The newly shown field starts over: empty for DTMF digits, sequence
    // number 2 for selcall; its text handler then sets the options.
    const bool dtmf = type == kSignallingTypeDtmf;
    QLineEdit* field = dtmf ? static_cast<QLineEdit*>(emgTone_) : emgSequence_;
    QLineEdit* other = dtmf ? static_cast<QLineEdit*>(emgSequence_) : emgTone_;
    const QString text = dtmf ? QString() : QStringLiteral("2");
    {
        // The hidden field of the pair holds nothing, so only the shown one
        // can be taken for the emergency text.
        const QSignalBlocker block(field);
        const QSignalBlocker blockOther(other);
        field->setText(text);
        other->clear();
    }
    emergencyTextChanged(text, !dtmf);
    emit settingsEdited(emgType_->accessibleName());
}

void SelcallEncodePage::aniTypeChosen(int type) {
    settings_.selcallEncode.aniType = type;
    showAniField(type);
    {
        const QSignalBlocker block1(aniSequence_);
        const QSignalBlocker block2(aniTone_);
        aniSequence_->clear();
        aniTone_->clear();
    }
    aniTextChanged(QString());
    // The refilled list shows no choice until an ANI text is typed again.
    fillAniAt(type);
    aniAt_->setCurrentIndex(-1);
    emit settingsEdited(aniType_->accessibleName());
}

void SelcallEncodePage::initialisePage() {
    resetSelcallEncodeSettings(settings_.selcallEncode);
    refreshFromSettings();
}

void SelcallEncodePage::refreshFromSettings() {
    refreshing_ = true;
    const SelcallEncodeSettings& e = settings_.selcallEncode;
    const bool emgDtmf = e.emgType == kSignallingTypeDtmf;
    const bool aniDtmf = e.aniType == kSignallingTypeDtmf;

    selectPosition(selcall_, e.selcall);
    selectPosition(emgCheckOpen_, e.emgCheckOpen);
    selectPosition(emgCheckBusy_, e.emgCheckBusy);
    selectPosition(emgEncodeAlert_, e.emgEncodeAlert);
    selectPosition(emgRepeats_, e.emgRepeats);

    // Emergency: only the field of the stored type holds the text, so the
    // options follow the stored text alone.
    selectPosition(emgType_, e.emgType);
    showEmergencyField(e.emgType);
    emgSequence_->setText(emgDtmf ? QString() : shown(e.emgSequence));
    emgTone_->setText(emgDtmf ? shown(e.emgSequence) : QString());
    setEmergencyOptionsEnabled(!e.emgSequence.empty(), !emgDtmf);
    cycleRepeatTime_->setText(QString::number(e.emgCycleRepeatTime));
    txTimer_->setText(QString::number(e.emgTxTimer));

    // ANI
    selectPosition(aniType_, e.aniType);
    showAniField(e.aniType);
    aniSequence_->setText(aniDtmf ? QString() : shown(e.aniSequence));
    aniTone_->setText(aniDtmf ? shown(e.aniSequence) : QString());
    fillAniAt(e.aniType);
    selectPosition(aniAt_, e.aniAt);
    setAniOptionsEnabled(!e.aniSequence.empty());
    multiAniDelay_->setText(QString::number(e.multiAniDelay));

    // Calls
    for (std::size_t i = 0; i < calls_.size(); ++i) {
        const CallFields& f = kCallFields[i];
        const CallControls& c = calls_[i];
        c.sequence->setText(shown(e.*f.sequence));
        selectPosition(c.checkOpen, e.*f.checkOpen);
        selectPosition(c.checkBusy, e.*f.checkBusy);
        selectPosition(c.encodeAlert, e.*f.encodeAlert);
        const bool hasText = !(e.*f.sequence).empty();
        for (QComboBox* list : {c.checkOpen, c.checkBusy, c.encodeAlert}) list->setEnabled(hasText);
    }

    acknowledge_[0]->setText(shown(e.acknowledge1));
    acknowledge_[1]->setText(shown(e.acknowledge2));
    acknowledge_[2]->setText(shown(e.acknowledge3));
    refreshing_ = false;
}

}  // namespace ks340
