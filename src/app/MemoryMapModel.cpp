#include "app/MemoryMapModel.h"

namespace ks340 {

namespace {

QString hex(unsigned value, int width) {
    return QStringLiteral("%1").arg(value, width, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

MemoryMapModel::MemoryMapModel(QObject* parent) : QAbstractTableModel(parent) {}

void MemoryMapModel::showImage(const MemoryImage& image) {
    image_ = image;
    if (rowCount() > 0) emit dataChanged(index(0, 0), index(kRows - 1, kColumns - 1));
}

int MemoryMapModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kRows; }

int MemoryMapModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant MemoryMapModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const std::size_t address = std::size_t(index.row()) * 16 + std::size_t(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return hex(image_[address], 2);
        case Qt::TextAlignmentRole:
            // Centred both ways, level with the row headings.
            return int(Qt::AlignCenter);
        case Qt::ToolTipRole:
        case Qt::AccessibleTextRole:
            return QStringLiteral("Address %1: %2").arg(hex(unsigned(address), 4), hex(image_[address], 2));
        default:
            return {};
    }
}

QVariant MemoryMapModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole) return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    return orientation == Qt::Horizontal ? hex(unsigned(section), 1) : hex(unsigned(section), 3);
}

}  // namespace ks340
