#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>

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

bool paintReport(QPagedPaintDevice& device, const RadioSettings& settings, int mode) {
    QPainter painter;
    if (!painter.begin(&device)) return false;
    const std::vector<PrintRow> rows = buildPrintRows(settings.channelTable);
    const int pages = reportPageCount(mode, int(rows.size()));
    const QRectF area = QRectF(QPointF(0, 0), QSizeF(painter.viewport().size()));
    for (int p = 1; p <= pages; ++p) {
        if (p > 1) device.newPage();
        drawReportPage(painter, area, settings, rows, mode, p);
    }
    painter.end();
    return true;
}

bool writeReportPdf(const QString& path, const RadioSettings& settings, int mode, QString* error) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("KS340 Programmer"));
    writer.setTitle(mode == kPrintChannels  ? QStringLiteral("Channel List")
                    : mode == kPrintOptions ? QStringLiteral("Option Report")
                                            : QStringLiteral("Channel List and Option Report"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                     QMarginsF(0.25, 0.3, 0.25, 0.3), QPageLayout::Inch));
    if (!paintReport(writer, settings, mode)) {
        if (error)
            *error = QStringLiteral("Could not write %1: the file cannot be created.")
                         .arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    return true;
}

}  // namespace ks340
