#include "pages/signalling/ModemPage.h"
#include "pages/signalling/PageWidgets.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "model/SignallingLists.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

using namespace pagewidgets;

}  // namespace

ModemPage::ModemPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent) : TabPage(settings, flags, parent) {
    auto* optionBox = new QGroupBox(tr("Modem Option"));
    auto* optionGrid = new QGridLayout(optionBox);
    txOnDelay_ = new QComboBox;
    txOffDelay_ = new QComboBox;
    fillList(txOnDelay_, signalling::txOnDelayItems());
    fillList(txOffDelay_, signalling::txOffDelayItems());
    addSetting(optionGrid, 0, 0, "modem.txOnDelay", txOnDelay_);
    addSetting(optionGrid, 1, 0, "modem.txOffDelay", txOffDelay_);
    optionGrid->setColumnStretch(3, 1);

    auto* textBox = new QGroupBox(tr("Modem Text"));
    auto* textGrid = new QGridLayout(textBox);
    for (int i = 0; i < 9; ++i) {
        auto* edit = new PrintableTextEdit;
        edit->setMaxLength(signalling::kModemTextLength);
        // Room for the full 40 characters.
        edit->setMinimumWidth(edit->fontMetrics().averageCharWidth() * (signalling::kModemTextLength + 4));
        modemText_[static_cast<std::size_t>(i)] = edit;
        addSetting(textGrid, i, 0, "modem.modemText[" + std::to_string(i + 1) + "]", edit);
    }
    textGrid->setColumnStretch(1, 1);

    auto* column = new QVBoxLayout;
    column->addWidget(optionBox);
    column->addWidget(textBox);
    column->addStretch(1);
    auto* outer = new QHBoxLayout(this);
    outer->addLayout(column, 3);
    outer->addStretch(1);

    QWidget::setTabOrder(txOnDelay_, txOffDelay_);
    QWidget* previous = txOffDelay_;
    for (PrintableTextEdit* edit : modemText_) {
        QWidget::setTabOrder(previous, edit);
        previous = edit;
    }

    connect(txOnDelay_, &QComboBox::activated, this, [this](int position) {
        settings_.modem.txOnDelay = position;
        emit settingsEdited(txOnDelay_->accessibleName());
    });
    connect(txOffDelay_, &QComboBox::activated, this, [this](int position) {
        settings_.modem.txOffDelay = position;
        emit settingsEdited(txOffDelay_->accessibleName());
    });
    for (std::size_t i = 0; i < modemText_.size(); ++i) {
        connect(modemText_[i], &QLineEdit::textChanged, this, [this, i](const QString& text) {
            if (refreshing_) return;
            settings_.modem.modemText[i] = stored(text);
            emit settingsEdited(modemText_[i]->accessibleName());
        });
    }
}

void ModemPage::initialisePage() {
    resetModemSettings(settings_.modem);
    refreshFromSettings();
}

void ModemPage::refreshFromSettings() {
    refreshing_ = true;
    const ModemSettings& m = settings_.modem;
    txOnDelay_->setCurrentIndex(m.txOnDelay >= 0 && m.txOnDelay < txOnDelay_->count() ? m.txOnDelay : -1);
    txOffDelay_->setCurrentIndex(m.txOffDelay >= 0 && m.txOffDelay < txOffDelay_->count() ? m.txOffDelay : -1);
    for (std::size_t i = 0; i < modemText_.size(); ++i) modemText_[i]->setText(shown(m.modemText[i]));
    // The baud rate, "Initializing Data for HT", Tx Delay Time, Rx On Delay
    // and the twenty common sentences have no control here: their values
    // stay in the record as they are, so a later save keeps them.
    refreshing_ = false;
}

}  // namespace ks340
