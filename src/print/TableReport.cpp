#include "print/TableReport.h"

#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>

#include <algorithm>

namespace ks340 {

namespace {

constexpr double kRowPoints = 7.0;
constexpr int kRowsFirstPage = 34;
constexpr int kRowsLaterPage = 42;

}  // namespace

int tableReportRowsPerPage(bool firstPage) { return firstPage ? kRowsFirstPage : kRowsLaterPage; }

int tableReportPageCount(const TableReport& report) {
    const int rows = static_cast<int>(report.rows.size());
    if (rows <= kRowsFirstPage) return 1;
    return 1 + (rows - kRowsFirstPage + kRowsLaterPage - 1) / kRowsLaterPage;
}

bool writeTableReportPdf(const QString& path, const TableReport& report, QString* error) {
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setCreator(QStringLiteral("KS340 Programmer"));
    writer.setTitle(report.title);
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Landscape,
                                     QMarginsF(0.3, 0.3, 0.3, 0.3), QPageLayout::Inch));
    QPainter painter;
    if (!painter.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Could not write %1: the file cannot be created.")
                         .arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    const QRectF area(QPointF(0, 0), QSizeF(painter.viewport().size()));
    const int pages = tableReportPageCount(report);
    std::size_t next = 0;
    for (int page = 1; page <= pages; ++page) {
        if (page > 1) writer.newPage();
        PageLayout layout(painter, area);
        layout.selectFont(QStringLiteral("Tahoma"));
        double y = 0.1;
        if (page == 1) {
            y = layout.printText(0.1, y, report.title, 14.0, 0, true) + 0.05;
            for (const QString& fact : report.facts) y = layout.printText(0.1, y, fact, 8.0);
            y += 0.1;
        } else {
            y = layout.printText(0.1, y, report.title + QStringLiteral(" (page %1)").arg(page), 9.0, 0, true) + 0.05;
        }
        const std::size_t count =
            std::min(report.rows.size() - next, static_cast<std::size_t>(tableReportRowsPerPage(page == 1)));
        const std::vector<QStringList> rows(report.rows.begin() + static_cast<std::ptrdiff_t>(next),
                                            report.rows.begin() + static_cast<std::ptrdiff_t>(next + count));
        next += count;
        layout.printTable(0.1, y, report.columns, rows, kRowPoints);
    }
    painter.end();
    return true;
}

}  // namespace ks340
