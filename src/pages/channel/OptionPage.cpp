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
#include "model/SettingsRegistry.h"

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

// The label a setting has on this page, from the settings table.
QString label(const std::string& key) { return QString::fromStdString(settingLabel(key)); }

// A setting's label and field in one grid row, with its unit after the
// field. The label is the field's buddy and gives it its accessible name.
QLabel* addSetting(QGridLayout* grid, int row, const std::string& key, QWidget* field) {
    auto* text = new QLabel(label(key));
    text->setBuddy(field);
    field->setAccessibleName(text->text());
    grid->addWidget(text, row, 0);
    grid->addWidget(field, row, 1);
    const std::string unit = settingUnit(key);
    if (!unit.empty()) grid->addWidget(new QLabel(QString::fromStdString(unit)), row, 2);
    return text;
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
        const std::string setting = "option.programmableKey" + std::to_string(key + 1);
        shortList->setAccessibleName(label(setting + "Short"));
        longList->setAccessibleName(label(setting + "Long"));
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
    addSetting(pttGrid, 0, "option.pttTimer", pttTimer_);
    addSetting(pttGrid, 1, "option.txTimer", txTimer_);
    addSetting(pttGrid, 2, "option.txInhibit", txInhibit_);
    addSetting(pttGrid, 3, "option.txInhibitAlert", txInhibitAlert_);

    // PTT Lock
    auto* lockBox = new QGroupBox(tr("PTT Lock"));
    QGridLayout* lockGrid = newGrid(lockBox);
    openLock_ = newList(openLockItems());
    busyChLockOut_ = newList(disableEnableItems());
    markIdle_ = newList(disableEnableItems());
    addSetting(lockGrid, 0, "option.openLock", openLock_);
    addSetting(lockGrid, 1, "option.busyChLockOut", busyChLockOut_);
    addSetting(lockGrid, 2, "option.markIdle", markIdle_);

    // Scan Setting
    auto* scanBox = new QGroupBox(tr("Scan Setting"));
    QGridLayout* scanGrid = newGrid(scanBox);
    scanType_ = newList(scanTypeItems());
    scanTx_ = newList();
    scanWaitTime_ = newList(scanWaitTimeItems());
    scanSpeedTime_ = new QLineEdit;
    priorityLbTime_ = newList(priorityLbTimeItems());
    hiddenLabels_[2] = addSetting(scanGrid, 0, "option.scanType", scanType_);
    addSetting(scanGrid, 1, "option.scanTx", scanTx_);
    addSetting(scanGrid, 2, "option.scanWaitTime", scanWaitTime_);
    addSetting(scanGrid, 3, "option.scanSpeedTime", scanSpeedTime_);
    addSetting(scanGrid, 4, "option.priorityLbTime", priorityLbTime_);

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
    addSetting(radioGrid, 0, "option.txDelay", txDelay_);
    hiddenLabels_[0] = addSetting(radioGrid, 1, "option.monitor", monitor_);
    addSetting(radioGrid, 2, "option.hook", hook_);
    addSetting(radioGrid, 3, "option.hookScan", hookScan_);
    addSetting(radioGrid, 4, "option.beep", beep_);
    hiddenLabels_[1] = addSetting(radioGrid, 5, "option.publicAddress", publicAddress_);
    addSetting(radioGrid, 6, "option.powerUpAlert", powerUpAlert_);
    addSetting(radioGrid, 7, "option.powerUp", powerUp_);
    addSetting(radioGrid, 8, "option.autoMute", autoMute_);
    addSetting(radioGrid, 9, "option.autoMuteTimer", autoMuteTimer_);

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
        onChoice(shortList, label("option.programmableKey" + std::to_string(key + 1) + "Short"),
                 [this, key, shortList](int position) { shortKeyChosen(key, shortList->itemData(position).toInt()); });
        onChoice(longList, label("option.programmableKey" + std::to_string(key + 1) + "Long"),
                 [this, key, longList](int position) { longKeyChosen(key, longList->itemData(position).toInt()); });
    }

    const auto direct = [this](QComboBox* box, const QString& label, Field field) {
        onChoice(box, label, [this, field](int position) { settings_.option.*field = position; });
    };
    direct(txDelay_, label("option.txDelay"), &OptionSettings::txDelay);
    direct(monitor_, label("option.monitor"), &OptionSettings::monitor);
    direct(beep_, label("option.beep"), &OptionSettings::beep);
    direct(publicAddress_, label("option.publicAddress"), &OptionSettings::publicAddress);
    direct(powerUpAlert_, label("option.powerUpAlert"), &OptionSettings::powerUpAlert);
    direct(hookScan_, label("option.hookScan"), &OptionSettings::hookScan);
    direct(txInhibitAlert_, label("option.txInhibitAlert"), &OptionSettings::txInhibitAlert);
    direct(openLock_, label("option.openLock"), &OptionSettings::openLock);
    direct(markIdle_, label("option.markIdle"), &OptionSettings::markIdle);
    direct(scanType_, label("option.scanType"), &OptionSettings::scanType);
    direct(scanWaitTime_, label("option.scanWaitTime"), &OptionSettings::scanWaitTime);
    direct(priorityLbTime_, label("option.priorityLbTime"), &OptionSettings::priorityLbTime);
    onChoice(txTimer_, label("option.txTimer"), [this](int position) { settings_.option.txTimer = position + 1; });
    onChoice(txInhibit_, label("option.txInhibit"),
             [this](int position) { settings_.option.txInhibit = position + 1; });

    onChoice(hook_, label("option.hook"), [this](int position) { hookChosen(position); });
    onChoice(powerUp_, label("option.powerUp"), [this](int position) { powerUpChosen(position); });
    onChoice(autoMute_, label("option.autoMute"), [this](int position) { autoMuteChosen(position); });
    onChoice(pttTimer_, label("option.pttTimer"), [this](int position) { pttTimerChosen(position); });
    onChoice(busyChLockOut_, label("option.busyChLockOut"), [this](int position) { busyChLockOutChosen(position); });
    onChoice(scanTx_, label("option.scanTx"), [this](int position) { scanTxChosen(position); });

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
    edited(label("option.autoMuteTimer"));
}

void OptionPage::autoMuteTimerLeft() {
    if (updating_ || quiet() || !autoMuteTimer_->isEnabled()) return;
    OptionSettings& o = settings_.option;
    const QString text = autoMuteTimer_->text();
    if (text.isEmpty()) {
        autoMuteTimer_->setText(QStringLiteral("0"));
        if (o.autoMuteTimer != 0) {
            o.autoMuteTimer = 0;
            edited(label("option.autoMuteTimer"));
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
        edited(label("option.scanSpeedTime"));
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
