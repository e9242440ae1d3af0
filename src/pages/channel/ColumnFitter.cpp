#include "pages/channel/ColumnFitter.h"

#include <QEvent>
#include <QScrollBar>
#include <QTableView>

#include <algorithm>
#include <numeric>

namespace ks340 {

ColumnFitter::ColumnFitter(QTableView* table, QVector<int> preferred, QVector<int> minimum)
    : QObject(table), table_(table), preferred_(std::move(preferred)), minimum_(std::move(minimum)) {
    table_->installEventFilter(this);
    apply();
}

int ColumnFitter::minimumTableWidth(int columns) const {
    const int n = columns < 0 ? int(minimum_.size()) : std::min(columns, int(minimum_.size()));
    return 2 * table_->frameWidth() + table_->verticalScrollBar()->sizeHint().width() +
           std::accumulate(minimum_.begin(), minimum_.begin() + n, 0);
}

QVector<int> ColumnFitter::fit(const QVector<int>& preferred, const QVector<int>& minimum, int available) {
    const int wanted = std::accumulate(preferred.begin(), preferred.end(), 0);
    const int least = std::accumulate(minimum.begin(), minimum.end(), 0);
    if (available >= wanted || wanted <= least) return preferred;
    // Share the room above the minimums in proportion to what each column
    // would like above its minimum.
    const double share = double(std::max(0, available - least)) / double(wanted - least);
    QVector<int> widths(preferred.size());
    for (int c = 0; c < preferred.size(); ++c) widths[c] = minimum[c] + int(double(preferred[c] - minimum[c]) * share);
    return widths;
}

bool ColumnFitter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == table_ && event->type() == QEvent::Resize) apply();
    return QObject::eventFilter(watched, event);
}

void ColumnFitter::apply() {
    const int available = table_->width() - 2 * table_->frameWidth() - table_->verticalScrollBar()->sizeHint().width();
    const QVector<int> widths = fit(preferred_, minimum_, available);
    for (int c = 0; c < widths.size(); ++c) table_->setColumnWidth(c, widths[c]);
}

}  // namespace ks340
