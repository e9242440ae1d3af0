#include "print/PageLayout.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPen>
#include <algorithm>

namespace ks340 {

PageLayout::PageLayout(QPainter& painter, const QRectF& pageRect) : painter_(painter), page_(pageRect) {
    QPaintDevice* device = painter.device();
    dpiX_ = device ? device->logicalDpiX() : 96.0;
    dpiY_ = device ? device->logicalDpiY() : 96.0;
    if (dpiX_ <= 0) dpiX_ = 96.0;
    if (dpiY_ <= 0) dpiY_ = 96.0;
}

void PageLayout::selectFont(const QString& face) { face_ = face; }

QFont PageLayout::font(double pointSize, bool bold) const {
    QFont f(face_);
    // Tahoma is rarely installed outside Windows: fall back to a similar sans face.
    f.setFamilies({face_, QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Noto Sans"),
                   QStringLiteral("Sans Serif")});
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(pointSize);
    f.setBold(bold);
    return f;
}

QPointF PageLayout::toDevice(double x, double y) const { return {page_.left() + dx(x), page_.top() + dy(y)}; }

double PageLayout::lineHeight(double pointSize) const {
    QFontMetricsF fm(font(pointSize, false), painter_.device());
    return fm.height() / dpiY_;
}

double PageLayout::textWidth(const QString& text, double pointSize, bool bold) const {
    QFontMetricsF fm(font(pointSize, bold), painter_.device());
    return fm.horizontalAdvance(text) / dpiX_;
}

double PageLayout::pageWidth() const { return page_.width() / dpiX_; }
double PageLayout::pageHeight() const { return page_.height() / dpiY_; }

void PageLayout::drawRule(double x1, double x2, double y, double lineWidth) {
    painter_.save();
    QPen pen(Qt::black);
    pen.setWidthF(lineWidth * dpiX_ / 72.0);
    painter_.setPen(pen);
    painter_.drawLine(toDevice(x1, y), toDevice(x2, y));
    painter_.restore();
}

double PageLayout::printText(double x, double y, const QString& text, double pointSize, int alignment, bool bold) {
    return drawText(x, y, text, font(pointSize, bold), alignment);
}

void PageLayout::printTextWithin(double x, double y, const QString& text, double pointSize, int alignment, bool bold,
                                 double maxWidth) {
    const double width = textWidth(text, pointSize, bold);
    QFont f = font(pointSize, bold);
    // Condensed to leave a small gap before whatever follows.
    if (width > maxWidth && maxWidth > 0.0)
        f.setStretch(std::clamp(static_cast<int>(100.0 * (maxWidth - 0.03) / width), 50, 99));
    drawText(x, y, text, f, alignment);
}

double PageLayout::drawText(double x, double y, const QString& text, const QFont& f, int alignment) {
    QFontMetricsF fm(f, painter_.device());
    painter_.save();
    painter_.setFont(f);
    painter_.setPen(Qt::black);
    const double width = fm.horizontalAdvance(text);
    QPointF origin = toDevice(x, y);
    if (alignment == 2)
        origin.rx() -= width / 2.0;
    else if (alignment == 1)
        origin.rx() -= width;
    painter_.drawText(QPointF(origin.x(), origin.y() + fm.ascent()), text);
    painter_.restore();
    return y + fm.height() / dpiY_;
}

double PageLayout::openBox(const QRectF& r, const QString& title, double titlePointSize) {
    const QFont f = font(titlePointSize, true);
    QFontMetricsF fm(f, painter_.device());
    const double titleHalf = fm.height() / dpiY_ / 2.0;
    painter_.save();
    QPen pen(Qt::black);
    pen.setWidthF(0.75 * dpiX_ / 72.0);
    painter_.setPen(pen);
    const QRectF box(toDevice(r.left(), r.top()), QSizeF(dx(r.width()), dy(r.height())));
    if (title.isEmpty()) {
        painter_.drawRect(box);
    } else {
        // Leave a gap in the top border for the title.
        const double gapLeft = box.left() + dx(0.12);
        const double gapRight = gapLeft + fm.horizontalAdvance(title) + dx(0.08);
        painter_.drawLine(QPointF(box.left(), box.top()), QPointF(gapLeft, box.top()));
        painter_.drawLine(QPointF(std::min(gapRight, box.right()), box.top()), QPointF(box.right(), box.top()));
        painter_.drawLine(box.topRight(), box.bottomRight());
        painter_.drawLine(box.bottomRight(), box.bottomLeft());
        painter_.drawLine(box.bottomLeft(), box.topLeft());
        painter_.setFont(f);
        painter_.drawText(QPointF(gapLeft + dx(0.04), box.top() - fm.height() / 2.0 + fm.ascent()), title);
    }
    painter_.restore();
    return r.top() + titleHalf + 0.06;
}

double PageLayout::printLabelValue(double x, double valueX, double y, const QString& label, const QString& value,
                                   double pointSize) {
    const double below = printText(x, y, label, pointSize);
    printText(valueX, y, value, pointSize);
    return below;
}

double PageLayout::printTable(double x, double y, const std::vector<TableColumn>& columns,
                              const std::vector<QStringList>& rows, double pointSize) {
    const std::size_t count = std::min<std::size_t>(columns.size(), kMaxTableColumns);
    const double rowHeight = lineHeight(pointSize) * 1.15;
    double total = 0.0;
    for (std::size_t c = 0; c < count; ++c) total += columns[c].width;

    auto drawRow = [&](double rowY, auto cellText, bool bold) {
        double cx = x;
        for (std::size_t c = 0; c < count; ++c) {
            const TableColumn& col = columns[c];
            const QString text = cellText(c);
            // A text wider than its cell is drawn narrower, never into the next column.
            if (col.alignment == 2)
                printTextWithin(cx + col.width / 2.0, rowY + rowHeight * 0.07, text, pointSize, 2, bold, col.width);
            else
                printTextWithin(cx + 0.03, rowY + rowHeight * 0.07, text, pointSize, 0, bold, col.width - 0.03);
            cx += col.width;
        }
    };

    drawRow(
        y, [&](std::size_t c) { return columns[c].title; }, true);
    double rowY = y + rowHeight;
    drawRule(x, x + total, rowY, 0.75);
    for (const QStringList& row : rows) {
        drawRow(
            rowY, [&](std::size_t c) { return c < std::size_t(row.size()) ? row[int(c)] : QString(); }, false);
        rowY += rowHeight;
    }
    return rowY;
}

}  // namespace ks340
