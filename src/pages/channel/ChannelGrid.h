// Table widget of the channel page and the group dialog: read-only cells
// that react to a double-click, to Enter or Space like a double-click, and
// report Delete on a cell.
#pragma once

#include <QTableWidget>

namespace ks340 {

class ChannelGrid : public QTableWidget {
    Q_OBJECT
public:
    explicit ChannelGrid(QWidget* parent = nullptr);

    // Writes text into (row, column), creating the item when needed, with the
    // centre-top alignment every written cell gets.
    void setCellText(int row, int column, const QString& text, bool bold = false);
    QString cellText(int row, int column) const;

signals:
    // A double-click, or Enter/Space on the current cell.
    void cellChosen(int row, int column);
    // Delete on the current cell.
    void deletePressed(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// Column width in pixels for a width the layout gives in twips (1/1440 inch).
int twipsToPixels(const QWidget* widget, int twips);

}  // namespace ks340
