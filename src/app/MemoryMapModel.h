// The programming dialog's memory map: 512 rows "000".."1FF" of sixteen
// bytes "00".."FF", columns "0".."F".
#pragma once

#include <QAbstractTableModel>

#include "image/MemoryImage.h"

namespace ks340 {

class MemoryMapModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kRows = int(kImageSize / 16);
    static constexpr int kColumns = 16;

    explicit MemoryMapModel(QObject* parent = nullptr);

    // Shows a copy of `image`; later changes to it are not followed.
    void showImage(const MemoryImage& image);
    const MemoryImage& shownImage() const { return image_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    MemoryImage image_{};
};

}  // namespace ks340
