// First tab: the 208-channel table, as one list or one group at a time.
// Every change goes straight into the channel table of the configuration.
#pragma once

#include "controls/TabPage.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ks340 {

class ChannelGrid;

class ChannelTablePage : public TabPage {
    Q_OBJECT
public:
    // Grid columns; column 0 holds the channel number.
    enum Column {
        ColumnChannel = 0,
        ColumnLabel,
        ColumnRxFrequency,
        ColumnRxOption,
        ColumnTxFrequency,
        ColumnTxOption,
        ColumnScan,
        ColumnBandwidth,
        ColumnTxPower,
        ColumnPriority,
        ColumnPowerOn,
        ColumnCount
    };

    ChannelTablePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    void refreshFromSettings() override { refreshChannelPage(); }

    // Grid column last chosen; the channel dialog puts the focus on its field.
    int clickedColumn() const { return clickedColumn_; }

    // Rebuilds the page (and the record's derived channel values) from the
    // channel table: after New, a file load, a model or band change and a
    // radio transfer.
    void refreshChannelPage();
    // Shows group g (0 = the all-channel list).
    void showGroup(int group);
    // Recounts usedChannels and totalUsed.
    void countUsedChannels();
    void updateAnyScanChannel();
    // Empties the shown rows and the channels of one group / of all groups.
    void clearGroupChannels(int group);
    void clearAllGroupChannels();

    // What a double-click on (channel row, column) does; rows count from 1.
    void chooseCell(int channel, int column);
    // The buttons (with their questions).
    void channelClearClicked();
    void allChannelClearClicked();
    void groupSettingClicked();

    // Text of grid cell (channel row 1.., column); row 0 is the header row.
    QString cellText(int channel, int column) const;
    // Channel rows shown (the grid's row count without its header row).
    int shownChannels() const;

    ChannelGrid* grid() const { return grid_; }
    QLineEdit* modeField() const { return mode_; }
    QLabel* groupNumberLabel() const { return groupLabel_; }
    QComboBox* groupNumberList() const { return groupList_; }
    QPushButton* groupSettingButton() const { return groupSetting_; }
    QPushButton* channelClearButton() const { return channelClear_; }
    QPushButton* allChannelClearButton() const { return allChannelClear_; }

    // The channel dialog's pending tone codes (rxSquelch, txSquelch).
    ChannelEntry pendingChannel;

    static QString headerText(int column);

private:
    void fillRow(int channel);
    void fillColumn(int column);
    void setRowCount(int channels);
    void emptyChannelCells();
    void showGroupList();
    void showAllChannelMode();
    void groupChosen(int index);
    QString channelName(int channel) const;
    void cellChosen(int row, int column);

    ChannelTable& table_;
    ChannelGrid* grid_ = nullptr;
    QLineEdit* mode_ = nullptr;
    QLabel* groupLabel_ = nullptr;
    QComboBox* groupList_ = nullptr;
    QPushButton* groupSetting_ = nullptr;
    QPushButton* channelClear_ = nullptr;
    QPushButton* allChannelClear_ = nullptr;
    int clickedColumn_ = 0;
};

}  // namespace ks340
