#include "pages/channel/OptionPage.h"

#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include "model/Decimal.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/OptionRules.h"

namespace ks340 {

using namespace optionlists;

namespace {

using Field = int OptionSettings::*;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QComboBox* newList(const ItemList& items = {}) {
    auto* box = new QComboBox;
    for (const std::string& item : items) box->addItem(qs(item));
    // Wide enough for the longest entry of any list on the page.
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    box->setMinimumContentsLength(16);
    return box;
}

void selectPosition(QComboBox* box, int position) {
    box->setCurrentIndex(position >= 0 && position < box->count() ? position : -1);
}

// A label and its field in one grid row, with an optional unit after the
// field. The label is the field's buddy and gives it its accessible name.
QLabel* addRow(QGridLayout* grid, int row, const QString& text, QWidget* field, const QString& unit = {}) {
    auto* label = new QLabel(text);
    label->setBuddy(field);
    field->setAccessibleName(QString(text).remove(QLatin1Char('&')));
    grid->addWidget(label, row, 0);
    grid->addWidget(field, row, 1);
    if (!unit.isEmpty()) grid->addWidget(new QLabel(unit), row, 2);
    return label;
}

QGridLayout* newGrid(QGroupBox* box) {
    auto* grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(3, 1);
    grid->setColumnMinimumWidth(2, 12);
    return grid;
}

}  // namespace

OptionPage::OptionPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent) : TabPage(settings, flags, parent) {
    buildLayout();
    connectHandlers();
    // The view writes the defaults through initialisePage(); until then the
    // page shows whatever the record holds.
    refreshOptionPage();
}

QComboBox* OptionPage::shortKeyList(int key) const {
    return keyLists_.at(static_cast<std::size_t>(shortSlot(key - 1)));
}

QComboBox* OptionPage::longKeyList(int key) const { return keyLists_.at(static_cast<std::size_t>(longSlot(key - 1))); }

void OptionPage::buildLayout() {
    // KEY
    auto* keyBox = new QGroupBox(tr("KEY"));
    auto* keyGrid = new QGridLayout(keyBox);
    keyGrid->setVerticalSpacing(3);
    for (int key = 0; key < 3; ++key) {
        QComboBox* shortList = newList();
        QComboBox* longList = newList();
        keyLists_[static_cast<std::size_t>(shortSlot(key))] = shortList;
        keyLists_[static_cast<std::size_t>(longSlot(key))] = longList;
        const QString keyName = tr("Programmable Key %1").arg(key + 1);
        auto* keyLabel = new QLabel(keyName);
        auto* shortLabel = new QLabel(tr("Short Key"));
        auto* longLabel = new QLabel(tr("Long Key"));
        shortLabel->setBuddy(shortList);
        longLabel->setBuddy(longList);
        // The row's key goes into the name: three "Short Key" lists otherwise.
        shortList->setAccessibleName(tr("%1 Short Key").arg(keyName));
        longList->setAccessibleName(tr("%1 Long Key").arg(keyName));
        shortList->setAccessibleDescription(keyName);
        longList->setAccessibleDescription(keyName);
        keyGrid->addWidget(keyLabel, key, 0);
        keyGrid->addWidget(shortLabel, key, 1, Qt::AlignRight);
        keyGrid->addWidget(shortList, key, 2);
        keyGrid->addWidget(longLabel, key, 3, Qt::AlignRight);
        keyGrid->addWidget(longList, key, 4);
    }
    keyGrid->setColumnMinimumWidth(0, 130);
    keyGrid->setColumnMinimumWidth(3, 80);
    keyGrid->setColumnStretch(5, 1);

    // PTT Timer
    auto* pttBox = new QGroupBox(tr("PTT Timer"));
    QGridLayout* pttGrid = newGrid(pttBox);
    pttTimer_ = newList(disableEnableItems());
    txTimer_ = newList(txTimerItems());
    txInhibit_ = newList(txInhibitItems());
    txInhibitAlert_ = newList(disableEnableItems());
    addRow(pttGrid, 0, tr("PTT Timer"), pttTimer_);
    addRow(pttGrid, 1, tr("Tx Timer"), txTimer_, tr("S"));
    addRow(pttGrid, 2, tr("Tx Inhibit"), txInhibit_, tr("S"));
    addRow(pttGrid, 3, tr("Tx Inhibit Alert"), txInhibitAlert_);

    // PTT Lock
    auto* lockBox = new QGroupBox(tr("PTT Lock"));
    QGridLayout* lockGrid = newGrid(lockBox);
    openLock_ = newList(openLockItems());
    busyChLockOut_ = newList(disableEnableItems());
    markIdle_ = newList(disableEnableItems());
    addRow(lockGrid, 0, tr("Open Lock"), openLock_);
    addRow(lockGrid, 1, tr("Busy Ch. Lock out"), busyChLockOut_);
    addRow(lockGrid, 2, tr("Mark Idle"), markIdle_);

    // Scan Setting
    auto* scanBox = new QGroupBox(tr("Scan Setting"));
    QGridLayout* scanGrid = newGrid(scanBox);
    scanType_ = newList(scanTypeItems());
    scanTx_ = newList();
    scanWaitTime_ = newList(scanWaitTimeItems());
    scanSpeedTime_ = new QLineEdit;
    priorityLbTime_ = newList(priorityLbTimeItems());
    hiddenLabels_[2] = addRow(scanGrid, 0, tr("Scan Type"), scanType_);
    addRow(scanGrid, 1, tr("Scan Tx"), scanTx_);
    addRow(scanGrid, 2, tr("Scan Wait Time"), scanWaitTime_, tr("S"));
    addRow(scanGrid, 3, tr("Scan Speed Time"), scanSpeedTime_, tr("S"));
    addRow(scanGrid, 4, tr("Priority LB Time"), priorityLbTime_, tr("S"));

    // Radio Parameter
    auto* radioBox = new QGroupBox(tr("Radio Parameter"));
    QGridLayout* radioGrid = newGrid(radioBox);
    txDelay_ = newList(disableEnableItems());
    monitor_ = newList(disableEnableItems());
    hook_ = newList(disableEnableItems());
    hookScan_ = newList(offOnItems());
    beep_ = newList(disableEnableItems());
    publicAddress_ = newList(disableEnableItems());
    powerUpAlert_ = newList(disableEnableItems());
    powerUp_ = newList(closeOpenItems());
    autoMute_ = newList(disableEnableItems());
    autoMuteTimer_ = new QLineEdit;
    autoMuteTimer_->setMaxLength(kAutoMuteTimerLength);
    addRow(radioGrid, 0, tr("Tx Delay"), txDelay_);
    hiddenLabels_[0] = addRow(radioGrid, 1, tr("Monitor"), monitor_);
    addRow(radioGrid, 2, tr("Hook"), hook_);
    addRow(radioGrid, 3, tr("Hook Scan"), hookScan_);
    addRow(radioGrid, 4, tr("Beep"), beep_);
    hiddenLabels_[1] = addRow(radioGrid, 5, tr("Public Address"), publicAddress_);
    addRow(radioGrid, 6, tr("Power up Alert"), powerUpAlert_);
    addRow(radioGrid, 7, tr("Power up"), powerUp_);
    addRow(radioGrid, 8, tr("Auto Mute"), autoMute_);
    addRow(radioGrid, 9, tr("Auto Mute Timer"), autoMuteTimer_, tr("S"));

    // Three settings keep their values in the record but are not offered.
    for (QWidget* hidden :
         {static_cast<QWidget*>(monitor_), static_cast<QWidget*>(publicAddress_), static_cast<QWidget*>(scanType_)})
        hidden->setVisible(false);
    for (QLabel* label : hiddenLabels_) label->setVisible(false);

    // The fields of all four boxes line up in one column.
    int labelWidth = 0;
    for (QGroupBox* box : {pttBox, lockBox, scanBox, radioBox})
        for (QLabel* label : box->findChildren<QLabel*>()) labelWidth = std::max(labelWidth, label->sizeHint().width());
    for (QGridLayout* grid : {pttGrid, lockGrid, scanGrid, radioGrid}) grid->setColumnMinimumWidth(0, labelWidth);

    const int fieldWidth = txTimer_->sizeHint().width();
    autoMuteTimer_->setFixedWidth(fieldWidth);
    scanSpeedTime_->setFixedWidth(fieldWidth);

    // KEY across the top; below it the timer, lock and scan settings on the
    // left and the radio parameters on the right.
    auto* left = new QVBoxLayout;
    left->addWidget(pttBox);
    left->addWidget(lockBox);
    left->addWidget(scanBox);
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(radioBox);
    right->addStretch(1);
    auto* columns = new QHBoxLayout;
    columns->addLayout(left, 1);
    columns->addLayout(right, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(keyBox);
    outer->addLayout(columns);
    outer->addStretch(1);

    // Keyboard order follows the reading order.
    std::vector<QWidget*> order;
    for (int key = 0; key < 3; ++key) {
        order.push_back(keyLists_[static_cast<std::size_t>(shortSlot(key))]);
        order.push_back(keyLists_[static_cast<std::size_t>(longSlot(key))]);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{
             pttTimer_,     txTimer_,  txInhibit_, txInhibitAlert_, openLock_,      busyChLockOut_,
             markIdle_,     scanType_, scanTx_,    scanWaitTime_,   scanSpeedTime_, priorityLbTime_,
             txDelay_,      monitor_,  hook_,      hookScan_,       beep_,          publicAddress_,
             powerUpAlert_, powerUp_,  autoMute_,  autoMuteTimer_})
        order.push_back(w);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void OptionPage::onChoice(QComboBox* box, const QString& label, std::function<void(int)> handler) {
    connect(box, &QComboBox::currentIndexChanged, this, [this, label, handler = std::move(handler)](int position) {
        if (updating_ || quiet() || position < 0) return;
        {
            QScopedValueRollback<bool> guard(updating_, true);
            handler(position);
        }
        edited(label);
    });
}

void OptionPage::edited(const QString& label) { emit settingsEdited(tr("Set %1").arg(label)); }

void OptionPage::connectHandlers() {
    for (int key = 0; key < 3; ++key) {
        QComboBox* shortList = keyLists_[static_cast<std::size_t>(shortSlot(key))];
        QComboBox* longList = keyLists_[static_cast<std::size_t>(longSlot(key))];
        onChoice(shortList, tr("Programmable Key %1 Short Key").arg(key + 1),
                 [this, key, shortList](int position) { shortKeyChosen(key, shortList->itemData(position).toInt()); });
        onChoice(longList, tr("Programmable Key %1 Long Key").arg(key + 1),
                 [this, key, longList](int position) { longKeyChosen(key, longList->itemData(position).toInt()); });
    }

    const auto direct = [this](QComboBox* box, const QString& label, Field field) {
        onChoice(box, label, [this, field](int position) { settings_.option.*field = position; });
    };
    direct(txDelay_, tr("Tx Delay"), &OptionSettings::txDelay);
    direct(monitor_, tr("Monitor"), &OptionSettings::monitor);
    direct(beep_, tr("Beep"), &OptionSettings::beep);
    direct(publicAddress_, tr("Public Address"), &OptionSettings::publicAddress);
    direct(powerUpAlert_, tr("Power up Alert"), &OptionSettings::powerUpAlert);
    direct(hookScan_, tr("Hook Scan"), &OptionSettings::hookScan);
    direct(txInhibitAlert_, tr("Tx Inhibit Alert"), &OptionSettings::txInhibitAlert);
    direct(openLock_, tr("Open Lock"), &OptionSettings::openLock);
    direct(markIdle_, tr("Mark Idle"), &OptionSettings::markIdle);
    direct(scanType_, tr("Scan Type"), &OptionSettings::scanType);
    direct(scanWaitTime_, tr("Scan Wait Time"), &OptionSettings::scanWaitTime);
    direct(priorityLbTime_, tr("Priority LB Time"), &OptionSettings::priorityLbTime);
    onChoice(txTimer_, tr("Tx Timer"), [this](int position) { settings_.option.txTimer = position + 1; });
    onChoice(txInhibit_, tr("Tx Inhibit"), [this](int position) { settings_.option.txInhibit = position + 1; });

    onChoice(hook_, tr("Hook"), [this](int position) { hookChosen(position); });
    onChoice(powerUp_, tr("Power up"), [this](int position) { powerUpChosen(position); });
    onChoice(autoMute_, tr("Auto Mute"), [this](int position) { autoMuteChosen(position); });
    onChoice(pttTimer_, tr("PTT Timer"), [this](int position) { pttTimerChosen(position); });
    onChoice(busyChLockOut_, tr("Busy Ch. Lock out"), [this](int position) { busyChLockOutChosen(position); });
    onChoice(scanTx_, tr("Scan Tx"), [this](int position) { scanTxChosen(position); });

    connect(autoMuteTimer_, &QLineEdit::textEdited, this, &OptionPage::autoMuteTimerEdited);
    connect(autoMuteTimer_, &QLineEdit::returnPressed, this, &OptionPage::autoMuteTimerLeft);
    connect(scanSpeedTime_, &QLineEdit::returnPressed, this, &OptionPage::scanSpeedTimeLeft);
    autoMuteTimer_->installEventFilter(this);
    scanSpeedTime_->installEventFilter(this);
}

bool OptionPage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == autoMuteTimer_)
            autoMuteTimerLeft();
        else if (watched == scanSpeedTime_)
            scanSpeedTimeLeft();
    }
    return TabPage::eventFilter(watched, event);
}

// ---- Keys ----

int OptionPage::shownKeyCode(int slot) const {
    const QComboBox* box = keyLists_[static_cast<std::size_t>(slot)];
    return box->currentIndex() < 0 ? -1 : box->currentData().toInt();
}

void OptionPage::selectKeyCode(int slot, int code) {
    QComboBox* box = keyLists_[static_cast<std::size_t>(slot)];
    box->setCurrentIndex(box->findData(code));
}

void OptionPage::fillKeyListsInFull() {
    QScopedValueRollback<bool> guard(updating_, true);
    for (int slot = 0; slot < kKeySlots; ++slot) {
        QComboBox* box = keyLists_[static_cast<std::size_t>(slot)];
        box->clear();
        for (int code = kKeyNone; code <= lastKeyCode(slot); ++code) box->addItem(qs(keyFunctionText(code)), code);
    }
}

void OptionPage::applyKeyListRule() {
    QScopedValueRollback<bool> guard(updating_, true);
    std::array<int, kKeySlots> held{};
    for (int slot = 0; slot < kKeySlots; ++slot) held[static_cast<std::size_t>(slot)] = shownKeyCode(slot);
    for (int slot = 0; slot < kKeySlots; ++slot) {
        QComboBox* box = keyLists_[static_cast<std::size_t>(slot)];
        const std::vector<int> codes = keyListCodes(slot, held);
        bool same = box->count() == static_cast<int>(codes.size());
        for (int i = 0; same && i < box->count(); ++i)
            same = box->itemData(i).toInt() == codes[static_cast<std::size_t>(i)];
        if (!same) {
            box->clear();
            for (int code : codes) box->addItem(qs(keyFunctionText(code)), code);
        }
        selectKeyCode(slot, held[static_cast<std::size_t>(slot)]);
    }
}

void OptionPage::shortKeyChosen(int key, int code) {
    QComboBox* longList = keyLists_[static_cast<std::size_t>(longSlot(key))];
    applyKeyListRule();
    chooseShortKey(settings_.option, key, code);
    longList->setEnabled(longKeyAvailable(settings_.option, key));
    if (code == kKeyMonitor) {
        // "Monitor" on the short press leaves no long-press function.
        monitor_->setCurrentIndex(settings_.option.monitor);
        selectKeyCode(longSlot(key), kKeyNone);
        // The long press gave up its function: offer it to the other keys.
        applyKeyListRule();
    }
}

void OptionPage::longKeyChosen(int key, int code) {
    applyKeyListRule();
    chooseLongKey(settings_.option, key, code);
    if (code == kKeyMonitor) monitor_->setCurrentIndex(settings_.option.monitor);
}

// ---- Other dependencies ----

void OptionPage::hookChosen(int position) {
    OptionSettings& o = settings_.option;
    chooseHook(o, position);
    hookScan_->setCurrentIndex(o.hookScan);
    hookScan_->setEnabled(optionAvailability(o, settings_.channelTable).hookScan);
}

void OptionPage::powerUpChosen(int position) {
    OptionSettings& o = settings_.option;
    // "Close": Auto Mute keeps its shown choice but is off.
    choosePowerUp(o, position, autoMute_->currentIndex());
    const OptionAvailability a = optionAvailability(o, settings_.channelTable);
    autoMute_->setEnabled(a.autoMute);
    showAutoMuteTimer(a.autoMute && a.autoMuteTimer);
}

void OptionPage::autoMuteChosen(int position) {
    chooseAutoMute(settings_.option, position);
    showAutoMuteTimer(optionAvailability(settings_.option, settings_.channelTable).autoMuteTimer);
}

void OptionPage::showAutoMuteTimer(bool enabled) {
    autoMuteTimer_->setEnabled(enabled);
    if (enabled) autoMuteTimer_->setText(QString::number(settings_.option.autoMuteTimer));
}

void OptionPage::autoMuteTimerEdited(const QString& text) {
    if (updating_ || quiet()) return;
    const int typed = leadingDecimal(text.toStdString());
    const int value = clampAutoMuteTimer(typed);
    if (value != typed) autoMuteTimer_->setText(QString::number(value));
    settings_.option.autoMuteTimer = value;
    edited(tr("Auto Mute Timer"));
}

void OptionPage::autoMuteTimerLeft() {
    if (updating_ || quiet() || !autoMuteTimer_->isEnabled()) return;
    OptionSettings& o = settings_.option;
    const QString text = autoMuteTimer_->text();
    if (text.isEmpty()) {
        autoMuteTimer_->setText(QStringLiteral("0"));
        if (o.autoMuteTimer != 0) {
            o.autoMuteTimer = 0;
            edited(tr("Auto Mute Timer"));
        }
        return;
    }
    // Leave the field showing exactly the stored number (a lone "-" or
    // leading zeros would otherwise stay on screen).
    const QString shown = QString::number(o.autoMuteTimer);
    if (text != shown) autoMuteTimer_->setText(shown);
}

void OptionPage::pttTimerChosen(int position) {
    OptionSettings& o = settings_.option;
    choosePttTimer(o, position);
    const bool on = optionAvailability(o, settings_.channelTable).pttTimers;
    txTimer_->setCurrentIndex(txTimerPosition(o.txTimer));
    txInhibit_->setCurrentIndex(txInhibitPosition(o.txInhibit));
    txInhibitAlert_->setCurrentIndex(o.txInhibitAlert);
    txTimer_->setEnabled(on);
    txInhibit_->setEnabled(on);
    txInhibitAlert_->setEnabled(on);
}

void OptionPage::busyChLockOutChosen(int position) {
    OptionSettings& o = settings_.option;
    chooseBusyChLockOut(o, position);
    markIdle_->setCurrentIndex(o.markIdle);
    markIdle_->setEnabled(optionAvailability(o, settings_.channelTable).markIdle);
}

void OptionPage::scanTxChosen(int position) { settings_.option.scanTx = scanTx_->itemData(position).toInt(); }

void OptionPage::scanSpeedTimeLeft() {
    if (updating_ || quiet() || !scanSpeedTime_->isEnabled()) return;
    const std::string shown = correctScanSpeedText(scanSpeedTime_->text().toStdString());
    scanSpeedTime_->setText(QString::fromStdString(shown));
    const int value = scanSpeedTimeValue(shown);
    if (value != settings_.option.scanSpeedTime) {
        settings_.option.scanSpeedTime = value;
        edited(tr("Scan Speed Time"));
    }
}

void OptionPage::fillScanTxList(int scanTx) {
    QScopedValueRollback<bool> guard(updating_, true);
    scanTx_->clear();
    for (int value : scanTxPair(scanTx)) scanTx_->addItem(qs(scanTxText(value)), value);
    scanTx_->setCurrentIndex(scanTxPosition(scanTx));
}

void OptionPage::setScanControlsEnabled(bool enabled) {
    for (QWidget* w :
         std::initializer_list<QWidget*>{scanType_, scanTx_, scanWaitTime_, scanSpeedTime_, priorityLbTime_})
        w->setEnabled(enabled);
}

void OptionPage::applyScanAvailability() {
    const OptionAvailability a = optionAvailability(settings_.option, settings_.channelTable);
    if (!a.scanTx) {
        setScanControlsEnabled(false);
        return;
    }
    scanType_->setEnabled(a.scanType);
    fillScanTxList(settings_.option.scanTx);
    scanTx_->setEnabled(a.scanTx);
    scanWaitTime_->setEnabled(a.scanWaitTime);
    scanSpeedTime_->setEnabled(a.scanSpeedTime);
    priorityLbTime_->setEnabled(a.priorityLbTime);
}

void OptionPage::pageSelected() { applyScanAvailability(); }

// ---- Whole page ----

void OptionPage::initialisePage() { resetOptionPage(); }

void OptionPage::refreshFromSettings() { refreshOptionPage(); }

void OptionPage::resetOptionPage() {
    resetOptionSettings(settings_.option);
    refreshOptionPage();
    // A new configuration starts with the scan settings locked until the
    // Option tab is selected with scan channels present.
    setScanControlsEnabled(false);
}

void OptionPage::refreshOptionPage() {
    QScopedValueRollback<bool> guard(updating_, true);
    const OptionSettings& o = settings_.option;

    // Keys: every list in full, the stored codes, then the key list rule.
    fillKeyListsInFull();
    for (int key = 0; key < 3; ++key) {
        selectKeyCode(shortSlot(key), shortKeyCode(o, key));
        selectKeyCode(longSlot(key), longKeyCode(o, key));
    }
    applyKeyListRule();
    const OptionAvailability available = optionAvailability(o, settings_.channelTable);
    for (int key = 0; key < 3; ++key)
        keyLists_[static_cast<std::size_t>(longSlot(key))]->setEnabled(
            available.longKey[static_cast<std::size_t>(key)]);

    // Radio parameters.
    selectPosition(txDelay_, o.txDelay);
    selectPosition(monitor_, o.monitor);
    selectPosition(hook_, o.hook);
    selectPosition(hookScan_, o.hookScan);
    hookScan_->setEnabled(available.hookScan);
    selectPosition(beep_, o.beep);
    selectPosition(publicAddress_, o.publicAddress);
    selectPosition(powerUpAlert_, o.powerUpAlert);
    selectPosition(powerUp_, o.powerUp);
    selectPosition(autoMute_, o.autoMute);
    autoMute_->setEnabled(available.autoMute);
    autoMuteTimer_->setText(QString::number(o.autoMuteTimer));
    autoMuteTimer_->setEnabled(available.autoMuteTimer);

    // PTT timer.
    selectPosition(pttTimer_, o.pttTimer);
    selectPosition(txTimer_, txTimerPosition(o.txTimer));
    selectPosition(txInhibit_, txInhibitPosition(o.txInhibit));
    selectPosition(txInhibitAlert_, o.txInhibitAlert);
    const bool timerOn = available.pttTimers;
    txTimer_->setEnabled(timerOn);
    txInhibit_->setEnabled(timerOn);
    txInhibitAlert_->setEnabled(timerOn);

    // PTT lock.
    selectPosition(openLock_, o.openLock);
    selectPosition(busyChLockOut_, o.busyChLockOut);
    selectPosition(markIdle_, o.markIdle);
    markIdle_->setEnabled(available.markIdle);

    // Scan.
    selectPosition(scanType_, o.scanType);
    fillScanTxList(o.scanTx);
    selectPosition(scanWaitTime_, o.scanWaitTime);
    scanSpeedTime_->setText(QString::fromStdString(scanSpeedTimeText(o.scanSpeedTime)));
    selectPosition(priorityLbTime_, o.priorityLbTime);
    applyScanAvailability();
}

}  // namespace ks340
