#include "pages/channel/ChannelTablePage.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

#include "image/MemoryImage.h"
#include "model/ChannelEditing.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelSettingDialog.h"
#include "pages/channel/GroupSettingDialog.h"

namespace ks340 {

namespace {

struct ColumnLayout {
    const char* header;
    int twips;
};

constexpr ColumnLayout kColumns[ChannelTablePage::ColumnCount] = {
    {"   CH  ", 400},       {"  Label  ", 950},        {"   Rx Freq.   ", 1350}, {"  RX Option  ", 1150},
    {"  Tx Freq.  ", 1350}, {"  Tx Option  ", 1150},   {"  Scan CH  ", 900},     {"  BandWidth  ", 1000},
    {"  Tx Power  ", 900},  {"  Priority CH  ", 1000}, {"  PowON CH  ", 1000},
};

const QString kAllChannelMode = QStringLiteral("All Channel Scan Mode");
const QString kGroupMode = QStringLiteral("Group Scan Mode");
const QString kOn = QStringLiteral("ON");

int clampedCapability(const ChannelGroup& g) { return std::clamp(g.capability, 0, kChannelCapacity); }

}  // namespace

QString ChannelTablePage::headerText(int column) {
    if (column < 0 || column >= ColumnCount) return {};
    return QString::fromLatin1(kColumns[column].header);
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
    int gridWidth = 2 * grid_->frameWidth() + grid_->verticalScrollBar()->sizeHint().width();
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
    for (int c = 0; c < ColumnCount; ++c) {
        headers << headerText(c);
        // The width the layout asks for, or more when this system's font
        // needs it for the header or the column's widest text.
        const QFontMetrics& m = c == ColumnChannel ? boldMetrics : cellMetrics;
        const int width =
            std::max({twipsToPixels(this, kColumns[c].twips), headerMetrics.horizontalAdvance(headerText(c)) + 8,
                      m.horizontalAdvance(widest[c]) + 12});
        grid_->setColumnWidth(c, width);
        gridWidth += width;
    }
    grid_->setHorizontalHeaderLabels(headers);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grid_->setMinimumWidth(gridWidth);
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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(top);
    layout->addWidget(grid_, 1);

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
    table_.clickedColumn = column;
    if (column == ColumnChannel) return;

    if (column <= ColumnTxOption) {
        ChannelSettingDialog dialog(table_, settings_.header, pendingChannel, this);
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
    const bool modeChanged = table_.appliedScanMode != table_.scanMode;
    if (table_.scanMode == 0) {
        table_.currentGroup = 0;
        if (modeChanged) {
            clearAllGroupChannels();
            for (int g = 1; g < kGroupSlots; ++g) table_.groups[g].enabled = 0;
            table_.groups[0].enabled = 1;
            showAllChannelMode();
            grid_->setRowCount(0);  // every row rebuilt from the emptied list
            setRowCount(kChannelCapacity);
            for (int row = 0; row < kChannelCapacity; ++row)
                for (int col = ColumnLabel; col < ColumnCount; ++col) grid_->setCellText(row, col, QString());
        }
    } else {
        for (int g = 1; g < kGroupSlots; ++g) {
            ChannelGroup& group = table_.groups[g];
            group.enabled = 0;
            if (group.capability < 1) {
                // A group without channels holds nothing.
                ks340::clearGroupChannels(table_, g, kChannelSlots);
            } else {
                group.enabled = 1;
            }
        }
        if (modeChanged) clearAllGroupChannels();
        showGroupList();
        showGroup(groupList_->count() > 0 ? groupList_->itemText(0).toInt() : 0);
    }
    table_.appliedScanMode = table_.scanMode;
    ks340::updateAnyScanChannel(table_);
    if (sizesChanged || modeChanged) emit settingsEdited(QStringLiteral("Set group capabilities"));
}

}  // namespace ks340
