#include "pages/channel/ChannelGrid.h"

#include <QHeaderView>
#include <QKeyEvent>

namespace ks340 {

namespace {
constexpr Qt::Alignment kCellAlignment = Qt::AlignHCenter | Qt::AlignTop;
}

ChannelGrid::ChannelGrid(QWidget* parent) : QTableWidget(parent) {
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);  // Tab leaves the grid for the next control
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(kCellAlignment);
    QFont headerFont = horizontalHeader()->font();
    headerFont.setBold(true);
    horizontalHeader()->setFont(headerFont);
    setWordWrap(false);
    connect(this, &QTableWidget::cellDoubleClicked, this, &ChannelGrid::cellChosen);
}

void ChannelGrid::setCellText(int row, int column, const QString& text, bool bold) {
    QTableWidgetItem* it = item(row, column);
    if (!it) {
        it = new QTableWidgetItem(text);
        it->setTextAlignment(kCellAlignment);
        if (bold) {
            QFont f = font();
            f.setBold(true);
            it->setFont(f);
        }
        setItem(row, column, it);
        return;
    }
    it->setText(text);
    it->setTextAlignment(kCellAlignment);
    if (it->font().bold() != bold) {
        QFont f = font();
        f.setBold(bold);
        it->setFont(f);
    }
}

QString ChannelGrid::cellText(int row, int column) const {
    const QTableWidgetItem* it = item(row, column);
    return it ? it->text() : QString();
}

void ChannelGrid::keyPressEvent(QKeyEvent* event) {
    // Enter that ends an in-place edit reaches the grid from its editor: it
    // stores the edit and opens nothing.
    if (state() == QAbstractItemView::EditingState &&
        (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        event->accept();
        return;
    }
    const QModelIndex cur = currentIndex();
    if (cur.isValid() && event->modifiers() == Qt::NoModifier) {
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
            case Qt::Key_Space:
                event->accept();
                emit cellChosen(cur.row(), cur.column());
                return;
            case Qt::Key_Delete:
                event->accept();
                emit deletePressed(cur.row());
                return;
            default:
                break;
        }
    }
    if (cur.isValid() && event->modifiers() == Qt::KeypadModifier && event->key() == Qt::Key_Enter) {
        event->accept();
        emit cellChosen(cur.row(), cur.column());
        return;
    }
    QTableWidget::keyPressEvent(event);
}

int twipsToPixels(const QWidget* widget, int twips) {
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return (twips * dpi + 720) / 1440;
}

}  // namespace ks340
