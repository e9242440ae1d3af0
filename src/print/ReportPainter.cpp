#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <algorithm>

#include "print/ReportPages.h"

namespace ks340 {

void drawReportPage(QPainter& painter, const QRectF& pageRect, const RadioSettings& settings,
                    const std::vector<PrintRow>& rows, int mode, int page) {
    PageLayout layout(painter, pageRect);
    layout.selectFont(QStringLiteral("Tahoma"));
    const PageChoice choice = choosePage(mode, page, int(rows.size()));
    switch (choice.kind) {
        case ReportPage::Channel:
            drawChannelPage(layout, settings.channelTable, rows, choice.channelPage);
            break;
        case ReportPage::Option1:
            drawOptionPage1(layout, settings);
            break;
        case ReportPage::Option2:
            drawOptionPage2(layout, settings);
            break;
    }
}

QPageSize defaultPaperSize() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize(QPageSize::Letter)
                                                                              : QPageSize(QPageSize::A4);
}

namespace {

// The page's foot: file name on the left, date in the middle, "Page n of m"
// on the right, on the last line of the printable area.
void drawPageFoot(QPainter& painter, const QRectF& pageRect, const ReportInfo& info, int page, int pages) {
    PageLayout layout(painter, pageRect);
    const double size = 7.0;
    const double y = layout.pageHeight() - layout.lineHeight(size);
    const QString name = info.fileName.isEmpty() ? QStringLiteral("Untitled") : info.fileName;
    layout.printText(0.0, y, name, size, 0);
    layout.printText(layout.pageWidth() / 2.0, y, info.date.toString(Qt::ISODate), size, 2);
    layout.printText(layout.pageWidth(), y, QStringLiteral("Page %1 of %2").arg(page).arg(pages), size, 1);
}

}  // namespace

bool paintReport(QPagedPaintDevice& device, const RadioSettings& settings, int mode, const ReportInfo& info) {
    // Printers allow margins down to their hardware limits; the report keeps
    // clear of every edge.
    const QMarginsF margins = device.pageLayout().margins(QPageLayout::Inch);
    const QMarginsF atLeast(std::max(margins.left(), kMinimumPaperMargin), std::max(margins.top(), kMinimumPaperMargin),
                            std::max(margins.right(), kMinimumPaperMargin),
                            std::max(margins.bottom(), kMinimumPaperMargin));
    if (atLeast != margins) device.setPageMargins(atLeast, QPageLayout::Inch);

    QPainter painter;
    if (!painter.begin(&device)) return false;
    const std::vector<PrintRow> rows = buildPrintRows(settings.channelTable);
    const int pages = reportPageCount(mode, int(rows.size()));
    const QRectF area = QRectF(QPointF(0, 0), QSizeF(painter.viewport().size()));
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) device.newPage();
        drawReportPage(painter, area, settings, rows, mode, p);
        drawPageFoot(painter, area, info, p, pages);
    }
    painter.end();
    return true;
}

bool writeReportPdf(const QString& path, const RadioSettings& settings, int mode, QString* error,
                    const ReportInfo& info, const QPageSize& paper) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("KS340 Programmer"));
    writer.setTitle(mode == kPrintChannels  ? QStringLiteral("Channel List")
                    : mode == kPrintOptions ? QStringLiteral("Option Report")
                                            : QStringLiteral("Channel List and Option Report"));
    writer.setPageLayout(QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0.3, 0.3, 0.3, 0.3), QPageLayout::Inch));
    if (!paintReport(writer, settings, mode, info)) {
        if (error)
            *error = QStringLiteral("Could not write %1: the file cannot be created.")
                         .arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    return true;
}

}  // namespace ks340
