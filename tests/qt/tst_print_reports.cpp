// Printed reports: row building, page counts and dispatch, and the PDF output.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "model/Defaults.h"
#include "print/PageLayout.h"
#include "print/Reports.h"

using namespace ks340;

namespace {

std::unique_ptr<RadioSettings> freshSettings() {
    auto s = std::make_unique<RadioSettings>();
    resetRadioSettings(*s);
    return s;
}

void program(ChannelEntry& e, const char* rx, const char* label = "") {
    e.rxFrequency = rx;
    e.label = label;
    e.inUse = 1;
    e.bandwidth = 1;
    e.txPower = 1;
}

// n channels programmed in the all-channel list, every other one left empty
// between them so the rows must close the gaps.
std::unique_ptr<RadioSettings> withChannels(int n) {
    auto s = freshSettings();
    for (int i = 0; i < n; ++i) program(s->channelTable.groups[0].channels[1 + i * 208 / std::max(n, 1)], "450.00000");
    return s;
}

int pdfPages(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray data = f.readAll();
    return int(data.count("/Type /Page\n")) + int(data.count("/Type /Page ")) + int(data.count("/Type /Page>"));
}

QString pdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    p.waitForFinished(20000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestPrintReports : public QObject {
    Q_OBJECT
private slots:
    void pageCounts_data();
    void pageCounts();
    void rowsCloseGapsAndFollowGroups();
    void signallingAndSwitchTexts();
    void allReportNumbersChannelPagesFirst();
    void pdfHasEveryPageAndTheTexts();
    void unwritablePdfFails();
    void paperSizesMarginsAndPageFoot();
    void aTooWideCellStaysInItsColumn();
};

void TestPrintReports::pageCounts_data() {
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("channelPages");
    QTest::addColumn<int>("lastRows");
    QTest::newRow("none") << 0 << 1 << 0;
    QTest::newRow("60") << 60 << 1 << 60;
    QTest::newRow("61") << 61 << 2 << 1;
    QTest::newRow("120") << 120 << 2 << 60;
    QTest::newRow("130") << 130 << 3 << 10;
    QTest::newRow("208") << 208 << 4 << 28;
}

void TestPrintReports::pageCounts() {
    QFETCH(int, rows);
    QFETCH(int, channelPages);
    QFETCH(int, lastRows);
    auto s = withChannels(rows);
    QCOMPARE(int(buildPrintRows(s->channelTable).size()), rows);
    QCOMPARE(channelPageCount(rows), channelPages);
    QCOMPARE(rowsOnLastChannelPage(rows), lastRows);
    QCOMPARE(reportPageCount(kPrintChannels, rows), channelPages);
    QCOMPARE(reportPageCount(kPrintOptions, rows), 2);
    QCOMPARE(reportPageCount(kPrintAll, rows), channelPages + 2);
}

void TestPrintReports::rowsCloseGapsAndFollowGroups() {
    auto s = freshSettings();
    ChannelTable& t = s->channelTable;
    t.scanMode = 1;
    t.groupScanFlag = 1;
    t.groups[2].capability = 3;
    t.groups[5].capability = 4;
    program(t.groups[5].channels[4], "451.00000", "FIVE");
    program(t.groups[2].channels[1], "450.00000", "TWO-A");
    program(t.groups[2].channels[3], "450.50000", "TWO-C");
    // Beyond the group's capability: not a channel of the group.
    program(t.groups[2].channels[4], "452.00000", "HIDDEN");
    // Group 0 is not printed in group display.
    program(t.groups[0].channels[1], "453.00000", "POOL");

    const auto rows = buildPrintRows(t);
    QCOMPARE(int(rows.size()), 3);
    QCOMPARE(rows[0][0], std::string("2"));
    QCOMPARE(rows[0][1], std::string("1"));
    QCOMPARE(rows[0][2], std::string("TWO-A"));
    QCOMPARE(rows[1][1], std::string("3"));
    QCOMPARE(rows[2][0], std::string("5"));
    QCOMPARE(rows[2][1], std::string("4"));
    QCOMPARE(channelModeText(t), QStringLiteral("Group Scan Mode"));

    t.scanMode = 0;
    t.groupScanFlag = 0;
    const auto pool = buildPrintRows(t);
    QCOMPARE(int(pool.size()), 1);
    QCOMPARE(pool[0][0], std::string("0"));
    QCOMPARE(pool[0][2], std::string("POOL"));
    QCOMPARE(channelModeText(t), QStringLiteral("All Channel Scan Mode"));
}

void TestPrintReports::signallingAndSwitchTexts() {
    auto s = freshSettings();
    ChannelEntry& e = s->channelTable.groups[0].channels[7];
    program(e, "150.01250", "CALL");
    e.rxSquelch = 1;   // first CTCSS tone
    e.txSquelch = 39;  // first DCS code
    e.txInverseDcs = 1;
    e.scanChannel = 1;
    e.bandwidth = 0;
    e.txPower = 0;
    e.priorityChannel = 1;
    const auto rows = buildPrintRows(s->channelTable);
    QCOMPARE(int(rows.size()), 1);
    const PrintRow& r = rows[0];
    QCOMPARE(r[1], std::string("7"));
    QCOMPARE(r[3], std::string("150.01250"));
    QCOMPARE(r[4], std::string("CTCSS : 67.0"));
    // Without a Tx frequency the Tx squelch is still formatted.
    QCOMPARE(r[5], std::string());
    QCOMPARE(r[6], std::string("Inv DCS : 023"));
    QCOMPARE(r[7], std::string("ON"));
    QCOMPARE(r[8], std::string("N"));
    QCOMPARE(r[9], std::string("Low"));
    QCOMPARE(r[10], std::string("ON"));
    QCOMPARE(r[11], std::string());
}

void TestPrintReports::allReportNumbersChannelPagesFirst() {
    // 130 rows: channel list on pages 1-3, option report on 4 and 5.
    for (int p = 1; p <= 3; ++p) {
        const PageChoice c = choosePage(kPrintAll, p, 130);
        QVERIFY(c.kind == ReportPage::Channel);
        QCOMPARE(c.channelPage, p);
    }
    QVERIFY(choosePage(kPrintAll, 4, 130).kind == ReportPage::Option1);
    QVERIFY(choosePage(kPrintAll, 5, 130).kind == ReportPage::Option2);
    QVERIFY(choosePage(kPrintOptions, 1, 130).kind == ReportPage::Option1);
    QVERIFY(choosePage(kPrintOptions, 2, 130).kind == ReportPage::Option2);
    QVERIFY(choosePage(kPrintAll, 2, 0).kind == ReportPage::Option1);
}

void TestPrintReports::pdfHasEveryPageAndTheTexts() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto s = withChannels(130);
    s->channelTable.groups[0].channels[1].label = "ALPHA";
    s->header.lcdDisplayLogo = "FLEET";
    s->modem.modemText[2] = "MODEM THREE";
    const QString path = dir.filePath(QStringLiteral("all.pdf"));
    QString error;
    QVERIFY2(writeReportPdf(path, *s, kPrintAll, &error), qPrintable(error));
    QCOMPARE(pdfPages(path), 5);

    // pdftotext folds runs of spaces, so compare with folded spaces.
    const QString text = pdfText(path).simplified();
    QVERIFY2(!text.isEmpty(), "pdftotext (poppler-utils) gave no text");
    for (const char* expected :
         {"All Channel Scan Mode", "Rx Squelch", "PowON CH", "ALPHA", "450.00000", "Model  :", "KS-340 Series", "FLEET",
          "Programmable Key1", "Tone Sequence", "Emergency", "Decoder Setup", "Status 10", "DTMF Decoding Address 4",
          "Modem Text 9", "MODEM THREE", "Auto Mute Timer", "30  S", "40  mS"})
        QVERIFY2(text.contains(QString::fromLatin1(expected).simplified()), expected);

    const QString channelOnly = dir.filePath(QStringLiteral("empty.pdf"));
    auto empty = freshSettings();
    QVERIFY(writeReportPdf(channelOnly, *empty, kPrintChannels, &error));
    QCOMPARE(pdfPages(channelOnly), 1);
    const QString emptyText = pdfText(channelOnly);
    QVERIFY(emptyText.contains(QLatin1String("All Channel Scan Mode")));
    QVERIFY(emptyText.contains(QLatin1String("Label")));
}

void TestPrintReports::unwritablePdfFails() {
    auto s = freshSettings();
    QString error;
    QVERIFY(!writeReportPdf(QStringLiteral("/nonexistent-folder/x/report.pdf"), *s, kPrintAll, &error));
    QVERIFY(error.contains(QLatin1String("report.pdf")));
}

// Every page on A4 and on Letter, rendered by poppler: the paper is the one
// asked for, nothing is painted within 0.25 in of an edge (the widest
// channel layout and the option pages), and each foot names the file, the
// date and the page.
void TestPrintReports::paperSizesMarginsAndPageFoot() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    auto s = withChannels(208);
    for (int c = 1; c <= 208; ++c) {
        ChannelEntry& e = s->channelTable.groups[0].channels[c];
        program(e, "450.00000", "WWWWWWWW");
        e.txFrequency = "450.00000";
        e.rxSquelch = e.txSquelch = 121;
        e.rxInverseDcs = e.txInverseDcs = 1;
        e.scanChannel = e.priorityChannel = e.powerOnChannel = 1;
    }
    ReportInfo info;
    // No "fl" or "fi": pdftotext would give the ligature's character.
    info.fileName = QStringLiteral("north-7.ks3");
    info.date = QDate(2026, 3, 4);
    const int dpi = 50;
    const struct {
        QPageSize::PageSizeId id;
        double width, height;  // inches
    } papers[] = {{QPageSize::A4, 8.27, 11.69}, {QPageSize::Letter, 8.5, 11.0}};
    for (const auto& paper : papers) {
        const QString pdf = dir.filePath(QStringLiteral("r%1.pdf").arg(int(paper.id)));
        QString error;
        QVERIFY2(writeReportPdf(pdf, *s, kPrintAll, &error, info, QPageSize(paper.id)), qPrintable(error));
        const QString prefix = dir.filePath(QStringLiteral("p%1").arg(int(paper.id)));
        QProcess render;
        render.start(QStringLiteral("pdftoppm"), {"-r", QString::number(dpi), "-png", pdf, prefix});
        QVERIFY2(render.waitForFinished(60000) && render.exitCode() == 0, "pdftoppm (poppler-utils) failed");
        const QStringList pages =
            QDir(dir.path()).entryList({QFileInfo(prefix).fileName() + "-*.png"}, QDir::Files, QDir::Name);
        QCOMPARE(pages.size(), 6);
        for (const QString& name : pages) {
            const QImage page(dir.filePath(name));
            QVERIFY(!page.isNull());
            QVERIFY(qAbs(page.width() - paper.width * dpi) <= 1 && qAbs(page.height() - paper.height * dpi) <= 1);
            QRect painted;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (qGray(page.pixel(x, y)) < 250) painted |= QRect(x, y, 1, 1);
            const double margin = 0.25 * dpi;
            const QString where = name + QStringLiteral(" painted %1,%2 %3x%4")
                                             .arg(painted.x())
                                             .arg(painted.y())
                                             .arg(painted.width())
                                             .arg(painted.height());
            QVERIFY2(painted.left() >= margin && painted.top() >= margin, qPrintable(where));
            QVERIFY2(page.width() - 1 - painted.right() >= margin && page.height() - 1 - painted.bottom() >= margin,
                     qPrintable(where));
        }
        const QString text = pdfText(pdf);
        for (int p = 1; p <= 6; ++p) QVERIFY(text.contains(QStringLiteral("Page %1 of 6").arg(p)));
        QCOMPARE(int(text.count(QStringLiteral("north-7.ks3"))), 6);
        QCOMPARE(int(text.count(QStringLiteral("2026-03-04"))), 6);
    }
}

void TestPrintReports::aTooWideCellStaysInItsColumn() {
    QImage page(800, 200, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter painter(&page);
        PageLayout layout(painter, QRectF(0, 0, 800, 200));
        const std::vector<TableColumn> columns{
            {0.5, QStringLiteral("CH")}, {1.0, QStringLiteral("Label")}, {1.0, QStringLiteral("Rx Freq")}};
        layout.printTable(0.0, 0.0, columns, {{QStringLiteral("1"), QStringLiteral("WWWWWWWWWW"), QString()}}, 9.0);
    }
    // The empty Rx Freq cell of the row stays blank from where its text would start.
    const int dpi = page.logicalDpiX();
    const int rowTop = int(0.24 * page.logicalDpiY());  // below the rule under the heads
    for (int x = int(1.52 * dpi); x < int(2.5 * dpi); ++x)
        for (int y = rowTop; y < rowTop + 15; ++y)
            QVERIFY2(page.pixelColor(x, y) == QColor(Qt::white),
                     qPrintable(QStringLiteral("ink at %1,%2").arg(x).arg(y)));
}

QTEST_MAIN(TestPrintReports)
#include "tst_print_reports.moc"
