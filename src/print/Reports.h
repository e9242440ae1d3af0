// The printed reports: the channel list and the two-page option report.
#pragma once

#include <QByteArray>
#include <QDate>
#include <QPageSize>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <array>
#include <string>
#include <vector>

#include "model/RadioSettings.h"

class QPagedPaintDevice;
class QPrinter;

namespace ks340 {

enum PrintMode { kPrintChannels = 1, kPrintOptions = 2, kPrintAll = 3 };

inline constexpr int kRowsPerChannelPage = 60;

// One row per programmed channel, without gaps: group, channel, label, Rx
// frequency, Rx squelch, Tx frequency, Tx squelch, scan, bandwidth, power,
// priority, power-on.
using PrintRow = std::array<std::string, 12>;
std::vector<PrintRow> buildPrintRows(const ChannelTable& table);

// "Group Scan Mode" or "All Channel Scan Mode".
QString channelModeText(const ChannelTable& table);

int channelPageCount(int rowCount);  // pages of the channel list (at least 1)
int rowsOnLastChannelPage(int rowCount);
int reportPageCount(int mode, int rowCount);

// What page p (1-based) of a report shows.
enum class ReportPage { Channel, Option1, Option2 };
struct PageChoice {
    ReportPage kind;
    int channelPage;  // 1-based, for channel pages
};
PageChoice choosePage(int mode, int page, int rowCount);

// Draws page `page` of report `mode` into pageRect (device pixels).
void drawReportPage(QPainter& painter, const QRectF& pageRect, const RadioSettings& settings,
                    const std::vector<PrintRow>& rows, int mode, int page);

// What the foot of every page names: the setting file and the date.
struct ReportInfo {
    QString fileName;  // shown as given ("fleet.ks3"); "Untitled" when empty
    QDate date = QDate::currentDate();
};

// Nothing is printed closer to a paper edge than 0.25 in: the printable
// area keeps at least this margin, which leaves room for the half of a rule
// or a glyph's overhang that reaches past the area's edge.
inline constexpr double kMinimumPaperMargin = 0.3;  // inches

// A4, or Letter where the locale measures in inches.
QPageSize defaultPaperSize();

// Draws the whole report on a paged device (printer or PDF writer), starting
// a new page between pages, with the file name, the date and "Page n of m"
// at the foot of each page. Margins narrower than kMinimumPaperMargin are
// widened first. Returns false when painting could not start.
bool paintReport(QPagedPaintDevice& device, const RadioSettings& settings, int mode, const ReportInfo& info = {});

// The report as a PDF document on the given paper; empty when painting
// could not start.
QByteArray reportPdf(const RadioSettings& settings, int mode, const ReportInfo& info = {},
                     const QPageSize& paper = defaultPaperSize());

// Writes the report as a PDF file on the given paper, through the atomic
// writer. On failure returns false with a message; the file is as it was.
bool writeReportPdf(const QString& path, const RadioSettings& settings, int mode, QString* error,
                    const ReportInfo& info = {}, const QPageSize& paper = defaultPaperSize());

// Prints the report. A printer set to print into a PDF file writes it
// through the atomic writer (a temporary file that replaces the file when
// complete). On failure returns false with a message.
bool printReport(QPrinter& printer, const RadioSettings& settings, int mode, QString* error,
                 const ReportInfo& info = {});

}  // namespace ks340
