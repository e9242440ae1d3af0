// Fits a table's columns into its width: each column gets its preferred
// width when there is room, and on a narrow window gives up the part above
// its minimum (its title and widest text) in proportion, so that the table
// needs no horizontal scroll bar down to the sum of the minimums (below
// that the table scrolls sideways itself).
#pragma once

#include <QObject>
#include <QVector>

class QTableView;

namespace ks340 {

class ColumnFitter : public QObject {
public:
    ColumnFitter(QTableView* table, QVector<int> preferred, QVector<int> minimum);

    // Width the table needs to show its first `columns` columns (all when
    // -1) at their minimums: frame, vertical scroll bar and the minimums.
    int minimumTableWidth(int columns = -1) const;
    // Column widths for `available` pixels of viewport.
    static QVector<int> fit(const QVector<int>& preferred, const QVector<int>& minimum, int available);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void apply();

    QTableView* table_;
    QVector<int> preferred_;
    QVector<int> minimum_;
};

}  // namespace ks340
