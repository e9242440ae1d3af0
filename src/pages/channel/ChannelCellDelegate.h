// In-place editors of the channel grid: a text field for Label, Rx Freq. and
// Tx Freq., the cell's list for RX Option, Tx Option, Scan CH, BandWidth and
// Tx Power. The delegate never writes the grid: what the editor holds goes
// to the page, which checks and stores it as the channel dialog does and
// shows the row again.
#pragma once

#include <QStyledItemDelegate>

namespace ks340 {

class ChannelTablePage;

class ChannelCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    ChannelCellDelegate(ChannelTablePage* page, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    ChannelTablePage* page_;
};

}  // namespace ks340
