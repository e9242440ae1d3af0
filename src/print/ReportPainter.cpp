#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrinter>
#include <algorithm>
#include <string_view>

#include "fileio/AtomicFile.h"
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

QByteArray reportPdf(const RadioSettings& settings, int mode, const ReportInfo& info, const QPageSize& paper) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("KS340 Programmer"));
        writer.setTitle(mode == kPrintChannels  ? QStringLiteral("Channel List")
                        : mode == kPrintOptions ? QStringLiteral("Option Report")
                                                : QStringLiteral("Channel List and Option Report"));
        writer.setPageLayout(
            QPageLayout(paper, QPageLayout::Portrait, QMarginsF(0.3, 0.3, 0.3, 0.3), QPageLayout::Inch));
        if (!paintReport(writer, settings, mode, info)) return {};
    }
    return bytes;
}

bool writeReportPdf(const QString& path, const RadioSettings& settings, int mode, QString* error,
                    const ReportInfo& info, const QPageSize& paper) {
    const QByteArray pdf = reportPdf(settings, mode, info, paper);
    if (pdf.isEmpty()) {
        if (error)
            *error = QStringLiteral("Could not write %1: the report could not be drawn.")
                         .arg(QFileInfo(path).absoluteFilePath());
        return false;
    }
    const fileio::IoStatus s = fileio::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                                           std::string_view(pdf.constData(), std::size_t(pdf.size())));
    if (!s.ok && error) *error = QStringLiteral("Could not write %1").arg(QString::fromLocal8Bit(s.error.c_str()));
    return s.ok;
}

bool printReport(QPrinter& printer, const RadioSettings& settings, int mode, QString* error, const ReportInfo& info) {
    const QString file = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) {
        if (paintReport(printer, settings, mode, info)) return true;
        if (error) *error = QStringLiteral("Could not start print job.");
        return false;
    }
    // Printing to a PDF file: the printer writes a temporary file beside it,
    // which replaces the file only when it is complete.
    fileio::AtomicFile out;
    fileio::WriteOptions options;
    options.producer = true;
    fileio::IoStatus s = out.open(QFile::encodeName(file).toStdString(), options);
    if (s.ok) {
        printer.setOutputFileName(QFile::decodeName(out.temporaryPath().c_str()));
        const bool painted = paintReport(printer, settings, mode, info);
        printer.setOutputFileName(file);
        // The PDF writer does not report write errors: a complete file ends
        // with its end-of-file marker.
        QFile produced(QFile::decodeName(out.temporaryPath().c_str()));
        const bool complete = painted && produced.open(QIODevice::ReadOnly) && produced.size() > 8 &&
                              produced.seek(produced.size() - 8) && produced.read(8).contains("%%EOF");
        s = complete ? out.commit() : fileio::IoStatus::failure(file.toStdString(), "the PDF could not be written");
    }
    if (!s.ok && error) *error = QStringLiteral("Could not write %1").arg(QString::fromLocal8Bit(s.error.c_str()));
    return s.ok;
}

}  // namespace ks340
