#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QPrinter>
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

QByteArray reportPdf(const RadioSettings& settings, int mode) {
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
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait,
                                         QMarginsF(0.25, 0.3, 0.25, 0.3), QPageLayout::Inch));
        if (!paintReport(writer, settings, mode)) return {};
    }
    return bytes;
}

bool writeReportPdf(const QString& path, const RadioSettings& settings, int mode, QString* error) {
    const QByteArray pdf = reportPdf(settings, mode);
    if (pdf.isEmpty()) {
        if (error) *error = QStringLiteral("Could not write %1: the report could not be drawn.").arg(path);
        return false;
    }
    const fileio::IoStatus s = fileio::writeFileAtomically(QFile::encodeName(path).toStdString(),
                                                           std::string_view(pdf.constData(), std::size_t(pdf.size())));
    if (!s.ok && error) *error = QStringLiteral("Could not write %1").arg(QString::fromLocal8Bit(s.error.c_str()));
    return s.ok;
}

bool printReport(QPrinter& printer, const RadioSettings& settings, int mode, QString* error) {
    const QString file = printer.outputFileName();
    if (printer.outputFormat() != QPrinter::PdfFormat || file.isEmpty()) {
        if (paintReport(printer, settings, mode)) return true;
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
        const bool painted = paintReport(printer, settings, mode);
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
