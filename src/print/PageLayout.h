// A small page-layout engine: text, rules, framed boxes and tables placed at
// positions given in inches, drawn with QPainter on any paint device.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <vector>

namespace ks340 {

struct TableColumn {
    double width = 0.0;  // inches
    QString title;
    int alignment = 0;  // 2 = centred, 0 = left
};

inline constexpr int kMaxTableColumns = 25;

class PageLayout {
public:
    // pageRect is the printable area in device pixels; positions are inches
    // from its top left corner.
    PageLayout(QPainter& painter, const QRectF& pageRect);

    void selectFont(const QString& face);
    QString fontFace() const { return face_; }

    // Horizontal rule from x1 to x2 at y, lineWidth in points.
    void drawRule(double x1, double x2, double y, double lineWidth = 1.0);

    // One line of text; alignment 0 left at x, 2 centred on x, 1 right-aligned at x.
    // Returns the y position below the text.
    double printText(double x, double y, const QString& text, double pointSize, int alignment = 0, bool bold = false);

    // A framed box with its title in the top border. Returns the y where the
    // box's content starts.
    double openBox(const QRectF& inches, const QString& title, double titlePointSize = 9.0);

    // Label and value on one line inside a box; the value starts at valueX.
    // Returns the y below.
    double printLabelValue(double x, double valueX, double y, const QString& label, const QString& value,
                           double pointSize = 8.0);

    // A header row from the columns, then the rows' cells. At most 25 columns
    // are drawn. Returns the y below the table.
    double printTable(double x, double y, const std::vector<TableColumn>& columns, const std::vector<QStringList>& rows,
                      double pointSize);

    double lineHeight(double pointSize) const;                                         // inches
    double textWidth(const QString& text, double pointSize, bool bold = false) const;  // inches
    double pageWidth() const;                                                          // inches
    double pageHeight() const;                                                         // inches

private:
    // printText, drawn condensed when the text is wider than maxWidth inches.
    void printTextWithin(double x, double y, const QString& text, double pointSize, int alignment, bool bold,
                         double maxWidth);
    // One line in the given font, aligned as printText aligns; returns the y below.
    double drawText(double x, double y, const QString& text, const QFont& f, int alignment);
    QPointF toDevice(double x, double y) const;
    double dx(double inches) const { return inches * dpiX_; }
    double dy(double inches) const { return inches * dpiY_; }
    QFont font(double pointSize, bool bold) const;

    QPainter& painter_;
    QRectF page_;
    double dpiX_;
    double dpiY_;
    QString face_ = QStringLiteral("Tahoma");
};

}  // namespace ks340
