// Lists the 13 groups with their capability and use and lets the user size
// them through "Group Set". Capabilities are written into the table at once.
#pragma once

#include <QDialog>

#include "model/RadioSettings.h"

class QLineEdit;
class QPushButton;

namespace ks340 {

class ChannelGrid;

class GroupSettingDialog : public QDialog {
    Q_OBJECT
public:
    GroupSettingDialog(ChannelTable& table, QWidget* parent = nullptr);

    // Applies a capability typed for the group in grid row `group` (1..13):
    // ignored when it asks for more channels than are left.
    void applyCapability(int group, const QString& typed);

    // True once a capability was changed while the dialog ran.
    bool capabilitiesChanged() const { return changed_; }

    ChannelGrid* grid() const { return grid_; }
    QLineEdit* totalCapabilityField() const { return totalCapability_; }
    QLineEdit* totalUseField() const { return totalUse_; }
    QLineEdit* leftCapabilityField() const { return leftCapability_; }
    QLineEdit* leftUseField() const { return leftUse_; }

private:
    void cellChosen(int row, int column);
    void showCapabilityTotals();

    ChannelTable& table_;
    ChannelGrid* grid_ = nullptr;
    QLineEdit* totalCapability_ = nullptr;
    QLineEdit* totalUse_ = nullptr;
    QLineEdit* leftCapability_ = nullptr;
    QLineEdit* leftUse_ = nullptr;
    bool changed_ = false;
};

}  // namespace ks340
