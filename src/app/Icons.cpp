#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace ks340 {

namespace {

using Painter = std::function<void(QPainter&)>;

// Draws on a 32 x 32 canvas, scaled to each size of the icon.
QIcon drawnIcon(const Painter& paint) {
    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size / 32.0, size / 32.0);
        paint(p);
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

// A hand-held radio with its antenna, standing in the rectangle at x.
void drawRadio(QPainter& p, qreal x) {
    p.setPen(QPen(QColor(30, 30, 30), 1.5));
    p.setBrush(QColor(60, 60, 70));
    p.drawRoundedRect(QRectF(x, 10, 12, 20), 2, 2);
    p.drawRect(QRectF(x + 2, 2, 2.5, 8));
    p.setBrush(QColor(150, 220, 150));
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(x + 2.5, 13, 7, 5));
    p.setBrush(QColor(200, 200, 200));
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) p.drawRect(QRectF(x + 2.5 + c * 2.5, 21 + r * 3.5, 1.8, 2));
}

// A thick arrow from (x1, y) to (x2, y).
void drawArrow(QPainter& p, qreal x1, qreal x2, qreal y, const QColor& color) {
    const qreal dir = x2 > x1 ? 1 : -1;
    QPainterPath path;
    path.moveTo(x1, y - 3);
    path.lineTo(x2 - dir * 7, y - 3);
    path.lineTo(x2 - dir * 7, y - 7);
    path.lineTo(x2, y);
    path.lineTo(x2 - dir * 7, y + 7);
    path.lineTo(x2 - dir * 7, y + 3);
    path.lineTo(x1, y + 3);
    path.closeSubpath();
    p.setPen(QPen(color.darker(150), 1));
    p.setBrush(color);
    p.drawPath(path);
}

}  // namespace

QIcon writeToRadioIcon() {
    return drawnIcon([](QPainter& p) {
        drawRadio(p, 19);
        drawArrow(p, 1, 18, 18, QColor(220, 60, 40));
    });
}

QIcon readFromRadioIcon() {
    return drawnIcon([](QPainter& p) {
        drawRadio(p, 1);
        drawArrow(p, 31, 14, 18, QColor(40, 120, 220));
    });
}

QIcon printIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(40, 40, 40), 1.5));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 3, 14, 10));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(3, 12, 26, 12), 2, 2);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(9, 20, 14, 9));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        for (int i = 0; i < 3; ++i) p.drawLine(QPointF(11, 23 + i * 2), QPointF(21, 23 + i * 2));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 200, 60));
        p.drawEllipse(QPointF(25, 16), 1.5, 1.5);
    });
}

QIcon aboutIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(QPen(QColor(20, 70, 160), 1.5));
        p.setBrush(QColor(70, 130, 220));
        p.drawEllipse(QRectF(3, 3, 26, 26));
        QFont font;
        font.setBold(true);
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(QRectF(3, 3, 26, 26), Qt::AlignCenter, QStringLiteral("?"));
    });
}

QIcon applicationIcon() {
    return drawnIcon([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 236, 245));
        p.drawRoundedRect(QRectF(0, 0, 32, 32), 5, 5);
        drawRadio(p, 10);
    });
}

}  // namespace ks340
