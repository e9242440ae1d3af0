#include "pages/channel/ChannelCellDelegate.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "controls/FilterEdit.h"
#include "model/ChannelValidator.h"
#include "pages/channel/ChannelTablePage.h"

namespace ks340 {

ChannelCellDelegate::ChannelCellDelegate(ChannelTablePage* page, QObject* parent)
    : QStyledItemDelegate(parent), page_(page) {}

QWidget* ChannelCellDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                           const QModelIndex& index) const {
    const int channel = index.row() + 1;
    const int column = index.column();
    QWidget* editor = nullptr;
    switch (page_->cellEditor(channel, column)) {
        case ChannelTablePage::CellEditor::None:
            return nullptr;
        case ChannelTablePage::CellEditor::Label: {
            auto* edit = new PrintableTextEdit(parent);
            edit->setMaxLength(kChannelLabelLength);
            editor = edit;
            break;
        }
        case ChannelTablePage::CellEditor::Frequency:
            editor = new QLineEdit(parent);
            break;
        case ChannelTablePage::CellEditor::List: {
            auto* list = new QComboBox(parent);
            list->addItems(ChannelTablePage::cellChoices(column));
            // A choice is stored at once.
            connect(list, &QComboBox::activated, this, [this, list] {
                emit const_cast<ChannelCellDelegate*>(this)->commitData(list);
                emit const_cast<ChannelCellDelegate*>(this)->closeEditor(list, QAbstractItemDelegate::NoHint);
            });
            // The list opens in place.
            QTimer::singleShot(0, list, [list] {
                if (list->isVisible()) list->showPopup();
            });
            editor = list;
            break;
        }
    }
    editor->setAccessibleName(
        QStringLiteral("Channel %1 %2").arg(channel).arg(ChannelTablePage::headerText(column).simplified()));
    return editor;
}

void ChannelCellDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    const QString text = index.data(Qt::DisplayRole).toString();
    if (auto* list = qobject_cast<QComboBox*>(editor)) {
        const int at = list->findText(text.isEmpty() ? QStringLiteral("OFF") : text);
        list->setCurrentIndex(at >= 0 ? at : 0);
    } else if (auto* edit = qobject_cast<QLineEdit*>(editor)) {
        edit->setText(text);
    }
}

void ChannelCellDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const {
    QString text;
    if (auto* list = qobject_cast<QComboBox*>(editor))
        text = list->currentText();
    else if (auto* edit = qobject_cast<QLineEdit*>(editor))
        text = edit->text();
    else
        return;
    // Only what changed is an edit.
    if (text == index.data(Qt::DisplayRole).toString()) return;
    page_->editCell(index.row() + 1, index.column(), text);
}

}  // namespace ks340
