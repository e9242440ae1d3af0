#include "pages/channel/GroupSetDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"

namespace ks340 {

GroupSetDialog::GroupSetDialog(const ChannelTable& table, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Group Set"));

    groupField_ = new QLineEdit(QString::number(table.currentGroup), this);
    groupField_->setReadOnly(true);
    capabilityField_ = new NumberEdit(this);
    capabilityField_->setMaxLength(3);

    auto* form = new QFormLayout;
    auto* groupLabel = new QLabel(QStringLiteral("Group"), this);
    groupLabel->setBuddy(groupField_);
    groupField_->setAccessibleName(QStringLiteral("Group"));
    auto* capabilityLabel = new QLabel(QStringLiteral("Capability"), this);
    capabilityLabel->setBuddy(capabilityField_);
    capabilityField_->setAccessibleName(QStringLiteral("Capability"));
    form->addRow(groupLabel, groupField_);
    form->addRow(capabilityLabel, capabilityField_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("&Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    capabilityField_->setFocus();
}

QString GroupSetDialog::capabilityText() const { return capabilityField_->text(); }

}  // namespace ks340
