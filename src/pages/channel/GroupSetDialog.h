// "Group Set": asks for the capability (number of channels) of one group.
#pragma once

#include <QDialog>

#include "model/RadioSettings.h"

class QLineEdit;

namespace ks340 {

class NumberEdit;

class GroupSetDialog : public QDialog {
    Q_OBJECT
public:
    GroupSetDialog(const ChannelTable& table, QWidget* parent = nullptr);

    // The text typed into "Capability" (digits only, at most 3).
    QString capabilityText() const;

    QLineEdit* groupField() const { return groupField_; }
    NumberEdit* capabilityField() const { return capabilityField_; }

private:
    QLineEdit* groupField_ = nullptr;
    NumberEdit* capabilityField_ = nullptr;
};

}  // namespace ks340
