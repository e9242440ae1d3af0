// First tab: the 208-channel table, as one list or one group at a time.
// Every change goes straight into the channel table of the configuration.
#pragma once

#include <QStringList>

#include "controls/TabPage.h"

class QAction;
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

    // --- Editing in the grid ---------------------------------------------------
    // F2 or typing in a cell opens its editor in place: a text field for
    // Label, Rx Freq. and Tx Freq., the list of RX Option, Tx Option, Scan CH,
    // BandWidth and Tx Power. Each stored edit is one step of the undo history
    // (settingsEdited, once the editor has closed).
    enum class CellEditor { None, Label, Frequency, List };
    CellEditor cellEditor(int channel, int column) const;
    // The choices of a list column as the grid shows them.
    static QStringList cellChoices(int column);
    // Stores the text of an in-place editor by the channel dialog's rules:
    // the same checks, raster snapping (said in the notice line) and band
    // warning. Returns whether the channel changed.
    bool editCell(int channel, int column, const QString& text);

    // The line under the grid that says what an edit did to a value
    // ("450.00490 is not on the 12.5 kHz raster; stored as 450.00000") or
    // what Find found; it clears with the next edit.
    QString noticeText() const;
    QLabel* noticeLabel() const { return notice_; }

    // Find (Ctrl+F): the next channel whose label holds the text or whose
    // frequency starts with it becomes the current row.
    bool findNext(const QString& query);
    QLineEdit* findField() const { return find_; }
    QPushButton* findNextButton() const { return findNext_; }
    QAction* findAction() const { return findAction_; }

    // Insert (Insert key): an empty channel at the current row, the
    // following channels of the group move down one. Delete Row
    // (Ctrl+Delete): the current channel goes, the following move up one.
    bool insertRow();
    bool deleteRow();
    QAction* insertRowAction() const { return insertRowAction_; }
    QAction* deleteRowAction() const { return deleteRowAction_; }

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
    void showNotice(const QString& text);
    // Reported once the editor that made the change has closed, so that two
    // edits are never merged into one undo step.
    void reportEditLater(const QString& what);
    void warnLater(const QString& title, const QString& text);

    ChannelTable& table_;
    ChannelGrid* grid_ = nullptr;
    QLineEdit* mode_ = nullptr;
    QLabel* groupLabel_ = nullptr;
    QComboBox* groupList_ = nullptr;
    QPushButton* groupSetting_ = nullptr;
    QPushButton* channelClear_ = nullptr;
    QPushButton* allChannelClear_ = nullptr;
    int clickedColumn_ = 0;
    QLabel* notice_ = nullptr;
    QLineEdit* find_ = nullptr;
    QPushButton* findNext_ = nullptr;
    QAction* findAction_ = nullptr;
    QAction* insertRowAction_ = nullptr;
    QAction* deleteRowAction_ = nullptr;
};

}  // namespace ks340
