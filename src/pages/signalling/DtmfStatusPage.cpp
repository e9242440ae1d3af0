#include "pages/signalling/DtmfStatusPage.h"
#include "pages/signalling/PageWidgets.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"
#include "model/Decimal.h"
#include "model/Defaults.h"
#include "model/SignallingLists.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

using namespace pagewidgets;

constexpr int kDtmfEnable = 1;

const char* const kTimeKeys[4] = {"dtmf.dtmfLeadInTime", "dtmf.dtmfLeadOutTime", "dtmf.dtmfMarkTime",
                                  "dtmf.dtmfSpaceTime"};

}  // namespace

DtmfStatusPage::DtmfStatusPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {
    std::vector<QWidget*> order;

    auto* optionBox = new QGroupBox(tr("DTMF Option"));
    auto* option = new QGridLayout(optionBox);
    dtmf_ = new QComboBox;
    fillList(dtmf_, signalling::disableEnableItems());
    addSetting(option, 0, 0, "dtmf.dtmf", dtmf_);
    order.push_back(dtmf_);
    for (int i = 0; i < 4; ++i) {
        auto* edit = new NumberEdit;
        edit->setMaxLength(4);
        edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 8 + 16);
        times_[static_cast<std::size_t>(i)] = edit;
        addSetting(option, i + 1, 0, kTimeKeys[i], edit);
        edit->installEventFilter(this);
        order.push_back(edit);
    }
    option->setColumnStretch(3, 1);
    option->setRowStretch(5, 1);

    auto* encodeBox = new QGroupBox(tr("DTMF Encode Address"));
    auto* encode = new QGridLayout(encodeBox);
    for (int i = 0; i < 9; ++i) {
        auto* edit = dtmfDigitsField();
        codes_[static_cast<std::size_t>(i)] = edit;
        addSetting(encode, i, 0, "dtmf.dtmfCodes[" + std::to_string(i + 1) + "]", edit);
        order.push_back(edit);
    }
    encode->setColumnStretch(1, 1);

    auto* statusBox = new QGroupBox(tr("Selcall Status Text"));
    auto* status = new QGridLayout(statusBox);
    for (int i = 0; i < 10; ++i) {
        auto* edit = new PrintableTextEdit;
        edit->setMaxLength(signalling::kStatusTextLength);
        statusText_[static_cast<std::size_t>(i)] = edit;
        addSetting(status, i, 0, "dtmf.statusText[" + std::to_string(i + 1) + "]", edit);
        order.push_back(edit);
    }
    status->setColumnStretch(1, 1);

    auto* decodeRow = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        auto* box = new QGroupBox(tr("DTMF Decode Address %1").arg(i + 1));
        auto* grid = new QGridLayout(box);
        auto* address = dtmfDigitsField();
        auto* action = new QComboBox;
        fillList(action, signalling::dtmfActionItems());
        decodeAddress_[static_cast<std::size_t>(i)] = address;
        decodeAction_[static_cast<std::size_t>(i)] = action;
        const std::string n = std::to_string(i + 1);
        addSetting(grid, 0, 0, "dtmf.dtmfDecodeAddress[" + n + "]", address);
        addSetting(grid, 1, 0, "dtmf.dtmfDecodeAction[" + n + "]", action);
        address->setAccessibleName(box->title() + QLatin1Char(' ') + address->accessibleName());
        action->setAccessibleName(box->title() + QLatin1Char(' ') + action->accessibleName());
        grid->setColumnStretch(2, 1);
        decodeRow->addWidget(box, i / 2, i % 2);
        order.push_back(address);
        order.push_back(action);
    }

    auto* topRow = new QHBoxLayout;
    topRow->addWidget(optionBox, 4, Qt::AlignTop);
    topRow->addWidget(encodeBox, 4);
    topRow->addWidget(statusBox, 3);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(topRow);
    outer->addLayout(decodeRow);
    outer->addStretch(1);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    connect(dtmf_, &QComboBox::activated, this, [this](int position) { dtmfChosen(position); });
    for (int i = 0; i < 4; ++i) {
        const auto which = static_cast<TimeField>(i);
        connect(times_[static_cast<std::size_t>(i)], &QLineEdit::textChanged, this,
                [this, which](const QString& text) { timeTextChanged(which, text); });
    }
    for (std::size_t i = 0; i < codes_.size(); ++i) {
        connect(codes_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (refreshing_) return;
            settings_.dtmf.dtmfCodes[i] = stored(text);
            emit settingsEdited(codes_[i]->accessibleName());
        });
    }
    for (std::size_t i = 0; i < decodeAddress_.size(); ++i) {
        connect(decodeAddress_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (refreshing_) return;
            // Emptying the address keeps its stored action.
            settings_.dtmf.dtmfDecodeAddress[i] = stored(text);
            decodeAction_[i]->setEnabled(settings_.dtmf.dtmf == kDtmfEnable && !text.isEmpty());
            emit settingsEdited(tr("DTMF Decode Address %1").arg(i + 1));
        });
        connect(decodeAction_[i], &QComboBox::activated, this, [this, i](int position) {
            settings_.dtmf.dtmfDecodeAction[i] = position;
            emit settingsEdited(tr("DTMF Decode Address %1 Action").arg(i + 1));
        });
    }
    for (std::size_t i = 0; i < statusText_.size(); ++i) {
        connect(statusText_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (refreshing_) return;
            settings_.dtmf.statusText[i] = stored(text);
            emit settingsEdited(statusText_[i]->accessibleName());
        });
    }
}

int& DtmfStatusPage::storedTime(TimeField which) {
    DtmfSettings& d = settings_.dtmf;
    switch (which) {
        case LeadIn:
            return d.dtmfLeadInTime;
        case LeadOut:
            return d.dtmfLeadOutTime;
        case Mark:
            return d.dtmfMarkTime;
        case Space:
            break;
    }
    return d.dtmfSpaceTime;
}

namespace {
bool isLeadTime(DtmfStatusPage::TimeField which) {
    return which == DtmfStatusPage::LeadIn || which == DtmfStatusPage::LeadOut;
}
}  // namespace

void DtmfStatusPage::timeTextChanged(TimeField which, const QString& text) {
    if (refreshing_) return;
    const int limit = isLeadTime(which) ? signalling::kDtmfLeadTimeLimit : signalling::kDtmfToneTimeLimit;
    NumberEdit* field = times_[which];
    int value = leadingDecimal(text.toStdString());
    if (value > limit) {
        value = limit;
        const QSignalBlocker block(field);
        field->setText(QString::number(limit));
    }
    storedTime(which) = signalling::dtmfTimeWhileTyping(value, limit);
    emit settingsEdited(times_[static_cast<std::size_t>(which)]->accessibleName());
}

void DtmfStatusPage::timeLeft(TimeField which) {
    const bool lead = isLeadTime(which);
    const int minimum = lead ? 0 : signalling::kDtmfToneTimeMinimum;
    const int limit = lead ? signalling::kDtmfLeadTimeLimit : signalling::kDtmfToneTimeLimit;
    NumberEdit* field = times_[which];
    const int value = signalling::dtmfTimeOnFocusLoss(leadingDecimal(field->text().toStdString()), minimum, limit);
    const bool changed = value != storedTime(which);
    storedTime(which) = value;
    {
        const QSignalBlocker block(field);
        field->setText(QString::number(value));
    }
    if (changed) emit settingsEdited(times_[static_cast<std::size_t>(which)]->accessibleName());
}

bool DtmfStatusPage::eventFilter(QObject* watched, QEvent* event) {
    // A context menu opened on the field does not end the editing.
    if (event->type() == QEvent::FocusOut && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        for (int i = 0; i < 4; ++i) {
            if (watched == times_[static_cast<std::size_t>(i)]) timeLeft(static_cast<TimeField>(i));
        }
    }
    return TabPage::eventFilter(watched, event);
}

void DtmfStatusPage::applyDtmfEnabled() {
    const DtmfSettings& d = settings_.dtmf;
    const bool on = d.dtmf == kDtmfEnable;
    for (NumberEdit* edit : times_) edit->setEnabled(on);
    for (DtmfDigitEdit* edit : codes_) edit->setEnabled(on);
    for (std::size_t i = 0; i < decodeAddress_.size(); ++i) {
        decodeAddress_[i]->setEnabled(on);
        decodeAction_[i]->setEnabled(on && !decodeAddress_[i]->text().isEmpty());
    }
}

void DtmfStatusPage::dtmfChosen(int position) {
    DtmfSettings& d = settings_.dtmf;
    // Every choice, enable or disable, starts the four times over.
    d.dtmfLeadInTime = signalling::kDefaultDtmfLeadInTime;
    d.dtmfLeadOutTime = signalling::kDefaultDtmfLeadOutTime;
    d.dtmfMarkTime = signalling::kDefaultDtmfMarkTime;
    d.dtmfSpaceTime = signalling::kDefaultDtmfSpaceTime;
    for (int i = 0; i < 4; ++i) {
        NumberEdit* field = times_[static_cast<std::size_t>(i)];
        const QSignalBlocker block(field);
        field->setText(QString::number(storedTime(static_cast<TimeField>(i))));
    }
    d.dtmf = position;
    applyDtmfEnabled();
    emit settingsEdited(dtmf_->accessibleName());
}

void DtmfStatusPage::initialisePage() {
    resetDtmfSettings(settings_.dtmf);
    refreshFromSettings();
}

void DtmfStatusPage::refreshFromSettings() {
    refreshing_ = true;
    const DtmfSettings& d = settings_.dtmf;
    selectPosition(dtmf_, d.dtmf);
    times_[LeadIn]->setText(QString::number(d.dtmfLeadInTime));
    times_[LeadOut]->setText(QString::number(d.dtmfLeadOutTime));
    times_[Mark]->setText(QString::number(d.dtmfMarkTime));
    times_[Space]->setText(QString::number(d.dtmfSpaceTime));
    for (std::size_t i = 0; i < codes_.size(); ++i) codes_[i]->setText(shown(d.dtmfCodes[i]));
    for (std::size_t i = 0; i < statusText_.size(); ++i) statusText_[i]->setText(shown(d.statusText[i]));
    for (std::size_t i = 0; i < decodeAddress_.size(); ++i) {
        decodeAddress_[i]->setText(shown(d.dtmfDecodeAddress[i]));
        selectPosition(decodeAction_[i], d.dtmfDecodeAction[i]);
    }
    applyDtmfEnabled();
    refreshing_ = false;
}

}  // namespace ks340
