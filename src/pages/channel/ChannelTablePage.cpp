#include "pages/channel/ChannelTablePage.h"

#include "pages/channel/ColumnFitter.h"

#include <QAction>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

#include "formats/ChannelClipboard.h"
#include "image/MemoryImage.h"
#include "model/ChannelEditing.h"
#include "model/ChannelStep.h"
#include "model/OptionRules.h"
#include "model/ToneCode.h"
#include "pages/channel/ChannelCellDelegate.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelSettingDialog.h"
#include "pages/channel/GroupSettingDialog.h"

namespace ks340 {

namespace {

static_assert(int(ChannelTablePage::ColumnCount) == int(kGridColumnCount) &&
                  int(ChannelTablePage::ColumnPowerOn) == int(kColumnPowerOn),
              "the grid numbers its columns as copy and paste do");

// A column's heading is its name with blanks before and after it.
struct ColumnLayout {
    int blanksBefore;
    int blanksAfter;
    int twips;
};

constexpr ColumnLayout kColumns[ChannelTablePage::ColumnCount] = {
    {3, 2, 400}, {2, 2, 950},  {3, 3, 1350}, {2, 2, 1150}, {2, 2, 1350}, {2, 2, 1150},
    {2, 2, 900}, {2, 2, 1000}, {2, 2, 900},  {2, 2, 1000}, {2, 2, 1000},
};

const QString kAllChannelMode = QStringLiteral("All Channel Scan Mode");
const QString kGroupMode = QStringLiteral("Group Scan Mode");
const QString kOn = QStringLiteral("ON");

int clampedCapability(const ChannelGroup& g) { return std::clamp(g.capability, 0, kChannelCapacity); }

}  // namespace

QString ChannelTablePage::headerText(int column) {
    if (column < 0 || column >= ColumnCount) return {};
    const std::string_view name = gridColumnName(column);
    return QString(kColumns[column].blanksBefore, QLatin1Char(' ')) +
           QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size())) +
           QString(kColumns[column].blanksAfter, QLatin1Char(' '));
}

ChannelTablePage::ChannelTablePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent), table_(settings.channelTable) {
    auto* modeLabel = new QLabel(QStringLiteral("Mode :"), this);
    mode_ = new QLineEdit(kAllChannelMode, this);
    mode_->setReadOnly(true);
    mode_->setAccessibleName(QStringLiteral("Mode :"));
    mode_->setMinimumWidth(mode_->fontMetrics().horizontalAdvance(kAllChannelMode) + 16);
    modeLabel->setBuddy(mode_);

    groupLabel_ = new QLabel(QStringLiteral("Group Number :"), this);
    groupList_ = new QComboBox(this);
    groupList_->setAccessibleName(QStringLiteral("Group Number :"));
    groupList_->setMinimumContentsLength(3);
    groupLabel_->setBuddy(groupList_);
    groupLabel_->hide();
    groupList_->hide();

    groupSetting_ = new QPushButton(QStringLiteral("Group Setting"), this);
    channelClear_ = new QPushButton(QStringLiteral("Channel Clear"), this);
    allChannelClear_ = new QPushButton(QStringLiteral("All Channel Clear"), this);

    grid_ = new ChannelGrid(this);
    grid_->setAccessibleName(QStringLiteral("Channels"));
    grid_->setColumnCount(ColumnCount);
    QStringList headers;
    const QFontMetrics headerMetrics(grid_->horizontalHeader()->font());
    QFont boldFont = grid_->font();
    boldFont.setBold(true);
    const QFontMetrics cellMetrics(grid_->font());
    const QFontMetrics boldMetrics(boldFont);
    // The widest text each column can hold.
    const QString widest[ColumnCount] = {QStringLiteral("208"),
                                         QStringLiteral("WWWWWWWW"),
                                         QStringLiteral("446.01250"),
                                         QStringLiteral("Inv DCS : 754"),
                                         QStringLiteral("446.01250"),
                                         QStringLiteral("Inv DCS : 754"),
                                         kOn,
                                         QStringLiteral("S"),
                                         QStringLiteral("High"),
                                         kOn,
                                         kOn};
    QVector<int> preferred, minimum;
    for (int c = 0; c < ColumnCount; ++c) {
        headers << headerText(c);
        // The width the layout asks for, or more when this system's font
        // needs it for the header or the column's widest text; on a narrow
        // window no less than the header and the widest text.
        const QFontMetrics& m = c == ColumnChannel ? boldMetrics : cellMetrics;
        const int least =
            std::max(headerMetrics.horizontalAdvance(headerText(c)) + 8, m.horizontalAdvance(widest[c]) + 12);
        minimum << least;
        preferred << std::max(twipsToPixels(this, kColumns[c].twips), least);
    }
    grid_->setHorizontalHeaderLabels(headers);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    auto* fitter = new ColumnFitter(grid_, preferred, minimum);
    // With large fonts on a small screen the grid scrolls sideways itself
    // rather than pushing the page's buttons out of the window.
    grid_->setMinimumWidth(fitter->minimumTableWidth(ColumnRxFrequency + 1));
    setRowCount(kChannelCapacity);

    auto* top = new QHBoxLayout;
    top->addWidget(modeLabel);
    top->addWidget(mode_);
    top->addSpacing(12);
    top->addWidget(groupLabel_);
    top->addWidget(groupList_);
    top->addStretch(1);
    top->addWidget(groupSetting_);
    top->addWidget(channelClear_);
    top->addWidget(allChannelClear_);
    // Editing in place, as in a spreadsheet; double-click and Enter still
    // open the channel dialog.
    grid_->setItemDelegate(new ChannelCellDelegate(this, grid_));
    grid_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    grid_->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto gridAction = [this](const QString& text, const QList<QKeySequence>& keys) {
        auto* a = new QAction(text, this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        grid_->addAction(a);
        return a;
    };
    insertRowAction_ = gridAction(QStringLiteral("Insert Row"), {QKeySequence(Qt::Key_Insert)});
    deleteRowAction_ = gridAction(QStringLiteral("Delete Row"), {QKeySequence(Qt::CTRL | Qt::Key_Delete)});
    connect(insertRowAction_, &QAction::triggered, this, [this] { insertRow(); });
    connect(deleteRowAction_, &QAction::triggered, this, [this] { deleteRow(); });

    // Find, and the notice line.
    auto* findLabel = new QLabel(QStringLiteral("&Find :"), this);
    find_ = new QLineEdit(this);
    find_->setAccessibleName(QStringLiteral("Find :"));
    find_->setPlaceholderText(QStringLiteral("label or frequency"));
    find_->setClearButtonEnabled(true);
    find_->setMaximumWidth(find_->fontMetrics().horizontalAdvance(QStringLiteral("446.012500 WWWW")) + 24);
    findLabel->setBuddy(find_);
    findNext_ = new QPushButton(QStringLiteral("Find Next"), this);
    findNext_->setAutoDefault(false);
    notice_ = new QLabel(this);
    notice_->setAccessibleName(QStringLiteral("Notice"));
    notice_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    findAction_ = new QAction(QStringLiteral("Find"), this);
    findAction_->setShortcuts(QKeySequence::keyBindings(QKeySequence::Find));
    findAction_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(findAction_);
    auto* findAgain = new QAction(QStringLiteral("Find Next"), this);
    findAgain->setShortcuts(QKeySequence::keyBindings(QKeySequence::FindNext));
    findAgain->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    addAction(findAgain);
    connect(findAction_, &QAction::triggered, this, [this] {
        find_->setFocus(Qt::ShortcutFocusReason);
        find_->selectAll();
    });
    connect(findAgain, &QAction::triggered, this, [this] { findNext(find_->text()); });
    connect(find_, &QLineEdit::returnPressed, this, [this] { findNext(find_->text()); });
    connect(findNext_, &QPushButton::clicked, this, [this] { findNext(find_->text()); });
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(findLabel);
    bottom->addWidget(find_);
    bottom->addWidget(findNext_);
    bottom->addSpacing(12);
    bottom->addWidget(notice_, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);
    layout->addLayout(bottom);

    connect(grid_, &ChannelGrid::cellChosen, this, &ChannelTablePage::cellChosen);
    connect(grid_, &ChannelGrid::deletePressed, this, [this](int) { channelClearClicked(); });
    connect(groupList_, &QComboBox::activated, this, &ChannelTablePage::groupChosen);
    connect(groupSetting_, &QPushButton::clicked, this, &ChannelTablePage::groupSettingClicked);
    connect(channelClear_, &QPushButton::clicked, this, &ChannelTablePage::channelClearClicked);
    connect(allChannelClear_, &QPushButton::clicked, this, &ChannelTablePage::allChannelClearClicked);

    setTabOrder(groupList_, groupSetting_);
    setTabOrder(groupSetting_, channelClear_);
    setTabOrder(channelClear_, allChannelClear_);
    setTabOrder(allChannelClear_, grid_);
    setTabOrder(grid_, find_);
    setTabOrder(find_, findNext_);
    setFocusProxy(grid_);
}

// ---- Grid ------------------------------------------------------------------

int ChannelTablePage::shownChannels() const { return grid_->rowCount(); }

QString ChannelTablePage::cellText(int channel, int column) const {
    if (channel == 0) return headerText(column);
    return grid_->cellText(channel - 1, column);
}

void ChannelTablePage::setRowCount(int channels) {
    const int old = grid_->rowCount();
    grid_->setRowCount(channels);
    for (int i = old; i < channels; ++i) grid_->setCellText(i, ColumnChannel, QString::number(i + 1), true);
}

void ChannelTablePage::fillRow(int channel) {
    const int group = table_.currentGroup;
    if (group < 0 || group >= kGroupSlots || channel < 1 || channel > grid_->rowCount()) return;
    const ChannelEntry& c = table_.groups[group].channels[channel];
    const int row = channel - 1;
    const bool programmed = c.isProgrammed();
    QString texts[ColumnCount];
    texts[ColumnChannel] = QString::number(channel);
    if (programmed) {
        texts[ColumnLabel] = recordText(c.label);
        texts[ColumnRxOption] = signallingText(c.rxSquelch, c.rxInverseDcs);
        texts[ColumnBandwidth] = c.bandwidth == 1   ? QStringLiteral("S")
                                 : c.bandwidth == 0 ? QStringLiteral("N")
                                                    : QString();
        texts[ColumnTxPower] = c.txPower == 1   ? QStringLiteral("High")
                               : c.txPower == 0 ? QStringLiteral("Low")
                                                : QString();
        if (c.priorityChannel == 1) texts[ColumnPriority] = kOn;
        if (c.powerOnChannel == 1) texts[ColumnPowerOn] = kOn;
    }
    texts[ColumnRxFrequency] = recordText(c.rxFrequency);
    texts[ColumnTxFrequency] = recordText(c.txFrequency);
    if (!c.txFrequency.empty()) texts[ColumnTxOption] = signallingText(c.txSquelch, c.txInverseDcs);
    if (c.scanChannel != 0) texts[ColumnScan] = kOn;
    grid_->setCellText(row, ColumnChannel, texts[ColumnChannel], true);
    for (int col = ColumnLabel; col < ColumnCount; ++col) grid_->setCellText(row, col, texts[col]);
    if (QTableWidgetItem* it = grid_->item(row, ColumnLabel)) it->setBackground(QBrush());
}

void ChannelTablePage::fillColumn(int column) {
    const int group = table_.currentGroup;
    for (int i = 1; i <= grid_->rowCount(); ++i) {
        const ChannelEntry& c = table_.groups[group].channels[i];
        QString text;
        if (c.isProgrammed()) {
            if (column == ColumnPriority && c.priorityChannel == 1) text = kOn;
            if (column == ColumnPowerOn && c.powerOnChannel == 1) text = kOn;
        }
        grid_->setCellText(i - 1, column, text);
    }
}

void ChannelTablePage::emptyChannelCells() {
    for (int row = 0; row < grid_->rowCount(); ++row)
        for (int col = ColumnLabel; col < ColumnCount; ++col) grid_->setCellText(row, col, QString());
}

void ChannelTablePage::showGroup(int group) {
    if (group < 0 || group >= kGroupSlots) return;
    showGroupFlags(table_, group);
    table_.currentGroup = group;
    showNotice(QString());
    // The list names the group shown, also when the view asks for a group.
    if (group > 0) {
        const int entry = groupList_->findText(QString::number(group));
        if (entry >= 0) groupList_->setCurrentIndex(entry);
    }
    const int rows = clampedCapability(table_.groups[group]);
    grid_->setUpdatesEnabled(false);
    setRowCount(rows);
    for (int i = 1; i <= rows; ++i) fillRow(i);
    grid_->setUpdatesEnabled(true);
}

// ---- Display modes -------------------------------------------------------------

void ChannelTablePage::showGroupList() {
    groupList_->clear();
    for (int g = 1; g < kGroupSlots; ++g)
        if (table_.groups[g].capability >= 1) groupList_->addItem(QString::number(g));
    mode_->setText(kGroupMode);
    groupLabel_->show();
    groupList_->show();
    if (groupList_->count() > 0) groupList_->setCurrentIndex(0);
}

void ChannelTablePage::showAllChannelMode() {
    mode_->setText(kAllChannelMode);
    groupLabel_->hide();
    groupList_->hide();
}

void ChannelTablePage::refreshChannelPage() {
    showNotice(QString());
    refreshChannelTable(settings_, flags_.fileLoadActive);
    if (table_.groupScanFlag != 0) {
        showGroupList();
        showGroup(groupList_->count() > 0 ? groupList_->itemText(0).toInt() : 0);
    } else {
        showAllChannelMode();
        showGroup(0);
    }
}

void ChannelTablePage::groupChosen(int index) {
    if (index < 0) return;
    showGroup(groupList_->itemText(index).toInt());
}

// ---- Record operations ---------------------------------------------------------

void ChannelTablePage::countUsedChannels() { ks340::countUsedChannels(table_); }

void ChannelTablePage::updateAnyScanChannel() { ks340::updateAnyScanChannel(table_); }

void ChannelTablePage::clearGroupChannels(int group) {
    emptyChannelCells();
    ks340::clearGroupChannels(table_, group, grid_->rowCount() + 1);
}

void ChannelTablePage::clearAllGroupChannels() {
    emptyChannelCells();
    ks340::clearAllGroupChannels(table_);
}

QString ChannelTablePage::channelName(int channel) const {
    if (table_.currentGroup == 0) return QStringLiteral("channel %1").arg(channel);
    return QStringLiteral("group %1 channel %2").arg(table_.currentGroup).arg(channel);
}

// ---- User actions ----------------------------------------------------------------

void ChannelTablePage::cellChosen(int row, int column) { chooseCell(row + 1, column); }

void ChannelTablePage::chooseCell(int channel, int column) {
    if (channel < 1 || channel > grid_->rowCount() || column < 0 || column >= ColumnCount) return;
    table_.currentChannel = channel;
    clickedColumn_ = column;
    if (column == ColumnChannel) return;
    showNotice(QString());

    if (column <= ColumnTxOption) {
        ChannelSettingDialog dialog(table_, settings_.header, pendingChannel, column, this);
        if (dialog.exec() != QDialog::Accepted || dialog.rxFrequencyText().isEmpty()) return;
        ChannelDialogResult result;
        result.label = recordBytes(dialog.labelText());
        result.rxFrequency = recordBytes(dialog.rxFrequencyText());
        result.txFrequency = recordBytes(dialog.txFrequencyText());
        result.rxSquelch = pendingChannel.rxSquelch;
        result.txSquelch = pendingChannel.txSquelch;
        result.rxInverseDcs = dialog.rxSignalling() == ChannelSettingDialog::SignallingDcs && dialog.rxInverseDcs();
        result.txInverseDcs = dialog.txSignalling() == ChannelSettingDialog::SignallingDcs && dialog.txInverseDcs();
        if (!applyChannelDialog(table_, table_.currentGroup, channel, result)) return;
        fillRow(channel);
        // What the dialog said about the frequencies stays in view.
        showNotice(dialog.notices().join(QStringLiteral("; ")));
        emit settingsEdited(QStringLiteral("Set %1 %2").arg(channelName(channel), headerText(column).simplified()));
        return;
    }

    // Switches act on programmed channels only.
    if (grid_->cellText(channel - 1, ColumnRxFrequency).isEmpty()) return;
    ChannelMark mark = ChannelMark::Scan;
    switch (column) {
        case ColumnScan:
            mark = ChannelMark::Scan;
            break;
        case ColumnBandwidth:
            mark = ChannelMark::Bandwidth;
            break;
        case ColumnTxPower:
            mark = ChannelMark::TxPower;
            break;
        case ColumnPriority:
            mark = ChannelMark::Priority;
            break;
        case ColumnPowerOn:
            mark = ChannelMark::PowerOn;
            break;
        default:
            return;
    }
    const ToggleResult r =
        toggleChannelMark(table_, settings_.option, table_.currentGroup, channel, grid_->rowCount(), mark);
    if (!r.changed) return;
    if (column == ColumnPriority || column == ColumnPowerOn)
        fillColumn(column);
    else
        fillRow(channel);
    emit settingsEdited(QStringLiteral("Set %1 %2").arg(channelName(channel), headerText(column).simplified()));
}

void ChannelTablePage::channelClearClicked() {
    if (QMessageBox::question(this, QStringLiteral("One Channel Clear"), QStringLiteral("    Really Clear?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    const int channel = grid_->currentRow() + 1;
    if (channel < 1 || channel > grid_->rowCount()) return;
    showNotice(QString());
    clearChannel(table_, settings_.option, table_.currentGroup, channel);
    ks340::updateAnyScanChannel(table_);
    fillRow(channel);
    emit settingsEdited(QStringLiteral("Clear %1").arg(channelName(channel)));
}

void ChannelTablePage::allChannelClearClicked() {
    if (QMessageBox::question(this, QStringLiteral("All Channel Clear"), QStringLiteral("Really All Channel Clear?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    emptyChannelCells();
    showNotice(QString());
    clearWholeGroup(table_, table_.currentGroup, grid_->rowCount() + 1);
    ks340::updateAnyScanChannel(table_);
    emit settingsEdited(table_.currentGroup == 0
                            ? QStringLiteral("Clear all channels")
                            : QStringLiteral("Clear all channels of group %1").arg(table_.currentGroup));
}

void ChannelTablePage::groupSettingClicked() {
    countUsedChannels();
    GroupSettingDialog dialog(table_, this);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    const bool sizesChanged = dialog.capabilitiesChanged();
    if (!accepted) {
        if (sizesChanged) emit settingsEdited(QStringLiteral("Set group capabilities"));
        return;
    }
    // The record's layout first, then the grid shows it.
    const bool modeChanged = ks340::applyGroupLayout(table_);
    if (modeChanged) emptyChannelCells();
    if (table_.scanMode == 0) {
        if (modeChanged) {
            showAllChannelMode();
            grid_->setRowCount(0);  // every row rebuilt from the emptied list
            setRowCount(kChannelCapacity);
            for (int row = 0; row < kChannelCapacity; ++row)
                for (int col = ColumnLabel; col < ColumnCount; ++col) grid_->setCellText(row, col, QString());
        }
    } else {
        showGroupList();
        showGroup(groupList_->count() > 0 ? groupList_->itemText(0).toInt() : 0);
    }
    if (sizesChanged || modeChanged) emit settingsEdited(QStringLiteral("Set group capabilities"));
}

// ---- Editing in place, find, insert and delete ---------------------------------------

ChannelTablePage::CellEditor ChannelTablePage::cellEditor(int channel, int column) const {
    const int group = table_.currentGroup;
    if (group < 0 || group >= kGroupSlots || channel < 1 || channel > grid_->rowCount()) return CellEditor::None;
    const ChannelEntry& c = table_.groups[group].channels[channel];
    if (column == ColumnRxFrequency) return CellEditor::Frequency;
    if (!c.isProgrammed()) return CellEditor::None;
    switch (column) {
        case ColumnLabel:
            return CellEditor::Label;
        case ColumnTxFrequency:
            return CellEditor::Frequency;
        case ColumnTxOption:
            return c.txFrequency.empty() ? CellEditor::None : CellEditor::List;
        case ColumnRxOption:
        case ColumnScan:
        case ColumnBandwidth:
        case ColumnTxPower:
            return CellEditor::List;
        default:
            return CellEditor::None;
    }
}

QStringList ChannelTablePage::cellChoices(int column) {
    switch (column) {
        case ColumnRxOption:
        case ColumnTxOption: {
            QStringList list;
            for (int code = kToneOff; code <= kLastDcsCode; ++code) {
                list << signallingText(code, 0);
                if (isDcsCode(code)) list << signallingText(code, 1);
            }
            return list;
        }
        case ColumnScan:
            return {kOn, QStringLiteral("OFF")};
        case ColumnBandwidth:
            return {QStringLiteral("S"), QStringLiteral("N")};
        case ColumnTxPower:
            return {QStringLiteral("High"), QStringLiteral("Low")};
        default:
            return {};
    }
}

bool ChannelTablePage::editCell(int channel, int column, const QString& text) {
    if (cellEditor(channel, column) == CellEditor::None) return false;
    showNotice(QString());
    const int group = table_.currentGroup;
    bool stored = false;
    switch (column) {
        case ColumnScan:
        case ColumnBandwidth:
        case ColumnTxPower: {
            const ChannelMark mark = column == ColumnScan        ? ChannelMark::Scan
                                     : column == ColumnBandwidth ? ChannelMark::Bandwidth
                                                                 : ChannelMark::TxPower;
            const bool on = text == kOn || text == QLatin1String("S") || text == QLatin1String("High");
            stored = setChannelMark(table_, settings_.option, group, channel, grid_->rowCount(), mark, on);
            break;
        }
        default: {
            const ChannelField field = column == ColumnLabel         ? ChannelField::Label
                                       : column == ColumnRxFrequency ? ChannelField::RxFrequency
                                       : column == ColumnTxFrequency ? ChannelField::TxFrequency
                                       : column == ColumnRxOption    ? ChannelField::RxSquelch
                                                                     : ChannelField::TxSquelch;
            const TypedCellEdit r = setChannelText(table_, group, channel, field, text.toStdString(),
                                                   settings_.header.model, settings_.header.radioBand);
            if (r.outOfRange) {
                warnLater(QStringLiteral("Warning"),
                          QString::fromStdString(bandWarningText(settings_.header.radioBand)));
                return false;
            }
            if (!r.reason.empty()) {
                warnLater(QStringLiteral("Info"),
                          QStringLiteral("Check Your Input Data!\n\n") + QString::fromStdString(r.reason));
                return false;
            }
            showNotice(QString::fromStdString(r.notice));
            stored = r.stored;
            break;
        }
    }
    if (!stored) return false;
    fillRow(channel);
    reportEditLater(QStringLiteral("Set %1 %2").arg(channelName(channel), headerText(column).simplified()));
    return true;
}

void ChannelTablePage::reportEditLater(const QString& what) {
    QTimer::singleShot(0, this, [this, what] { emit settingsEdited(what); });
}

void ChannelTablePage::warnLater(const QString& title, const QString& text) {
    // Not while the editor that caused it is still closing.
    QTimer::singleShot(0, this, [this, title, text] {
        if (title == QLatin1String("Warning"))
            QMessageBox::warning(this, title, text);
        else
            QMessageBox::information(this, title, text);
    });
}

void ChannelTablePage::showNotice(const QString& text) {
    notice_->setText(text);
    notice_->setToolTip(text);
}

QString ChannelTablePage::noticeText() const { return notice_->text(); }

bool ChannelTablePage::findNext(const QString& query) {
    const int from = grid_->currentRow() + 1;
    const int found = findChannel(table_, table_.currentGroup, grid_->rowCount(), from, query.toStdString());
    if (found == 0) {
        showNotice(query.trimmed().isEmpty()
                       ? QString()
                       : QStringLiteral("No channel matches \u201C%1\u201D.").arg(query.trimmed()));
        return false;
    }
    showNotice(QString());
    const int column = std::max(grid_->currentColumn(), int(ColumnLabel));
    grid_->setCurrentCell(found - 1, column);
    grid_->scrollToItem(grid_->item(found - 1, column));
    return true;
}

bool ChannelTablePage::insertRow() {
    const int channel = grid_->currentRow() + 1;
    if (channel < 1 || channel > grid_->rowCount()) return false;
    showNotice(QString());
    if (!insertChannel(table_, table_.currentGroup, channel, grid_->rowCount())) {
        QMessageBox::information(this, QStringLiteral("Info"),
                                 QStringLiteral("Channel %1, the last of the list, is programmed: clear it first, so "
                                                "that the channels below the new row have room to move down.")
                                     .arg(grid_->rowCount()));
        return false;
    }
    showGroup(table_.currentGroup);
    grid_->setCurrentCell(channel - 1, std::max(grid_->currentColumn(), 0));
    emit settingsEdited(QStringLiteral("Insert a channel at %1").arg(channelName(channel)));
    return true;
}

bool ChannelTablePage::deleteRow() {
    const int channel = grid_->currentRow() + 1;
    if (channel < 1 || channel > grid_->rowCount()) return false;
    showNotice(QString());
    if (!deleteChannel(table_, settings_.option, table_.currentGroup, channel, grid_->rowCount())) return false;
    showGroup(table_.currentGroup);
    grid_->setCurrentCell(channel - 1, std::max(grid_->currentColumn(), 0));
    emit settingsEdited(QStringLiteral("Delete %1").arg(channelName(channel)));
    return true;
}

}  // namespace ks340
