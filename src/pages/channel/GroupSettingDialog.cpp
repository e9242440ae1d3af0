#include "pages/channel/GroupSettingDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "model/OptionRules.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/GroupSetDialog.h"

namespace ks340 {

namespace {

constexpr int kUserGroups = kGroupSlots - 1;  // groups 1..13

QLineEdit* readOnlyNumber(QWidget* parent, const QString& name) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setAlignment(Qt::AlignRight);
    e->setAccessibleName(name);
    e->setMaximumWidth(70);
    return e;
}

}  // namespace

GroupSettingDialog::GroupSettingDialog(ChannelTable& table, QWidget* parent) : QDialog(parent), table_(table) {
    grid_ = new ChannelGrid(this);
    grid_->setAccessibleName(QStringLiteral("Groups"));
    grid_->setRowCount(kUserGroups);
    grid_->setColumnCount(3);
    const int widths[3] = {600, 1000, 1000};
    const QStringList headers = {QStringLiteral("Group"), QStringLiteral("Capability"), QStringLiteral("Use")};
    const QFontMetrics headerMetrics(grid_->horizontalHeader()->font());
    for (int c = 0; c < 3; ++c)
        grid_->setColumnWidth(
            c, std::max(twipsToPixels(this, widths[c]), headerMetrics.horizontalAdvance(headers[c]) + 12));
    grid_->setHorizontalHeaderLabels(headers);
    grid_->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);

    int capabilitySum = 0;
    int useSum = 0;
    for (int g = 1; g <= kUserGroups; ++g) {
        const ChannelGroup& group = table_.groups[g];
        grid_->setCellText(g - 1, 0, QString::number(g), true);
        grid_->setCellText(g - 1, 1, group.capability != 0 ? QString::number(group.capability) : QString());
        grid_->setCellText(g - 1, 2, group.usedChannels != 0 ? QString::number(group.usedChannels) : QString());
        capabilitySum += group.capability;
        useSum += group.usedChannels;
    }
    table_.totalCapability = capabilitySum;
    table_.channelsLeft = kChannelCapacity - capabilitySum;

    int gridWidth = 2 * grid_->frameWidth();
    for (int c = 0; c < 3; ++c) gridWidth += grid_->columnWidth(c);
    // Tall enough for all 13 rows, so no scroll bars are needed.
    grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid_->setMinimumWidth(gridWidth);
    grid_->setMaximumWidth(gridWidth);
    grid_->setMinimumHeight(grid_->horizontalHeader()->sizeHint().height() +
                            kUserGroups * grid_->verticalHeader()->defaultSectionSize() + 2 * grid_->frameWidth());

    totalCapability_ = readOnlyNumber(this, QStringLiteral("Total : Capability"));
    totalUse_ = readOnlyNumber(this, QStringLiteral("Total : Use"));
    leftCapability_ = readOnlyNumber(this, QStringLiteral("Left : Capability"));
    leftUse_ = readOnlyNumber(this, QStringLiteral("Left : Use"));
    totalUse_->setText(QString::number(useSum));
    leftUse_->setText(QString::number(kChannelCapacity - useSum));
    showCapabilityTotals();

    auto* totals = new QGridLayout;
    auto* totalLabel = new QLabel(QStringLiteral("Total :"), this);
    totalLabel->setBuddy(totalCapability_);
    auto* leftLabel = new QLabel(QStringLiteral("Left :"), this);
    leftLabel->setBuddy(leftCapability_);
    totals->addWidget(totalLabel, 0, 0, Qt::AlignRight);
    totals->addWidget(totalCapability_, 0, 1);
    totals->addWidget(totalUse_, 0, 2);
    totals->addWidget(leftLabel, 1, 0, Qt::AlignRight);
    totals->addWidget(leftCapability_, 1, 1);
    totals->addWidget(leftUse_, 1, 2);
    totals->setColumnStretch(3, 1);

    // Escape still closes the dialog; there is no visible Cancel.
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    buttons->button(QDialogButtonBox::Ok)->setAutoDefault(false);
    buttons->button(QDialogButtonBox::Ok)->setDefault(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(grid_);
    layout->addLayout(totals);
    layout->addWidget(buttons);

    connect(grid_, &ChannelGrid::cellChosen, this, &GroupSettingDialog::cellChosen);
    grid_->setCurrentCell(0, 1);
    grid_->setFocus();
}

void GroupSettingDialog::showCapabilityTotals() {
    totalCapability_->setText(QString::number(table_.totalCapability));
    leftCapability_->setText(QString::number(table_.channelsLeft));
}

void GroupSettingDialog::cellChosen(int row, int column) {
    const int group = row + 1;
    if (group < 1 || group > kUserGroups) return;
    table_.currentGroup = group;
    if (column != 1) return;
    GroupSetDialog dialog(table_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    applyCapability(group, dialog.capabilityText());
}

void GroupSettingDialog::applyCapability(int group, const QString& typed) {
    if (group < 1 || group > kUserGroups) return;
    // The field takes digits only; anything else reads as 0 like an empty text.
    bool ok = false;
    int wanted = typed.toInt(&ok);
    if (!ok || wanted < 0) wanted = 0;
    const int before = table_.groups[group].capability;
    // More than the channels left changes nothing.
    if (!setGroupCapability(table_, group, wanted)) return;
    if (before != wanted) changed_ = true;
    grid_->setCellText(group - 1, 1, wanted == 0 ? QString() : typed);
    showCapabilityTotals();
}

}  // namespace ks340
