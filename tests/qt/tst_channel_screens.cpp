// Layout checks of the channel page and its dialogs, and screenshots of
// them (PNG files under <build>/screenshots) for a look by eye.
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QScrollBar>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelSettingDialog.h"
#include "pages/channel/ChannelTablePage.h"
#include "pages/channel/GroupSettingDialog.h"

using namespace ks340;
using P = ChannelTablePage;

namespace {

QString shotPath(const QString& name) {
    const QString dir = QString::fromLocal8Bit(qgetenv("KS340_BINARY_DIR").isEmpty() ? QByteArray(KS340_BINARY_DIR)
                                                                                     : qgetenv("KS340_BINARY_DIR")) +
                        "/screenshots";
    QDir().mkpath(dir);
    return dir + "/" + name + ".png";
}

void save(QWidget& w, const QString& name) {
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(w.grab().save(shotPath(name)));
}

void fill(RadioSettings& s) {
    const char* labels[] = {"BASE", "MOBILE 2", "REPEAT", "", "SITE-7", "(TEST)"};
    for (int ch = 1; ch <= 6; ++ch) {
        ChannelEntry& c = s.channelTable.groups[0].channels[ch];
        c.inUse = 1;
        c.label = labels[ch - 1];
        c.rxFrequency = "44" + std::to_string(ch) + ".01250";
        c.txFrequency = ch % 2 ? "447.50000" : "";
        c.rxSquelch = ch == 1 ? 0 : ch == 2 ? 38 : 121;
        c.rxInverseDcs = ch == 3 ? 1 : 0;
        c.txSquelch = 110;
        c.txInverseDcs = 1;
        c.bandwidth = ch % 3 ? 1 : 0;
        c.txPower = ch % 2;
        c.scanChannel = ch % 2;
    }
    s.channelTable.groups[0].channels[2].priorityChannel = 1;
    s.channelTable.groups[0].channels[5].powerOnChannel = 1;
}

// Every header and the longest text of each column fit their column.
void checkColumnsFit(const ChannelTablePage& page) {
    const QFontMetrics header(page.grid()->horizontalHeader()->font());
    const QFontMetrics cells(page.grid()->font());
    QFont bold = page.grid()->font();
    bold.setBold(true);
    const QFontMetrics boldCells(bold);
    const QString longest[P::ColumnCount] = {
        "208", "WWWWWWWW", "446.01250", "Inv DCS : 754", "446.01250", "Inv DCS : 754", "ON", "S", "High", "ON", "ON"};
    for (int c = 0; c < P::ColumnCount; ++c) {
        const int width = page.grid()->columnWidth(c);
        QVERIFY2(header.horizontalAdvance(P::headerText(c)) <= width, qPrintable(P::headerText(c)));
        const QFontMetrics& m = c == 0 ? boldCells : cells;
        QVERIFY2(m.horizontalAdvance(longest[c]) + 4 <= width, qPrintable(longest[c]));
    }
}

}  // namespace

class ChannelScreensTest : public QObject {
    Q_OBJECT
private slots:
    void allChannelPage() {
        RadioSettings s = newRadioSettings();
        fill(s);
        ViewFlags flags;
        flags.fileLoadActive = true;  // show the texts as they are
        ChannelTablePage page(s, flags);
        page.refreshChannelPage();
        // As wide as the page is in a window on a 1024x768 screen.
        page.resize(page.sizeHint().expandedTo(QSize(1000, 420)));
        save(page, "channel_page_all");
        checkColumnsFit(page);
        // The whole grid is visible without scrolling sideways.
        QVERIFY(!page.grid()->horizontalScrollBar()->isVisible());
    }

    void groupPage() {
        RadioSettings s = newRadioSettings();
        fill(s);
        ChannelTable& t = s.channelTable;
        t.groups[1].capability = 4;
        t.groups[2].capability = 6;
        for (int ch = 1; ch <= 4; ++ch) t.groups[1].channels[ch] = t.groups[0].channels[ch + 2];
        t.scanMode = t.groupScanFlag = 1;
        ViewFlags flags;
        flags.fileLoadActive = true;  // as a loaded file
        ChannelTablePage page(s, flags);
        page.refreshChannelPage();
        page.resize(page.sizeHint().expandedTo(QSize(900, 300)));
        save(page, "channel_page_groups");
        QVERIFY(page.groupNumberList()->isVisible());
        QCOMPARE(page.groupNumberList()->count(), 2);
        QCOMPARE(page.shownChannels(), 4);
    }

    void channelDialog() {
        RadioSettings s = newRadioSettings();
        fill(s);
        s.channelTable.currentChannel = 3;
        ChannelEntry pending;
        ChannelSettingDialog d(s.channelTable, s.header, pending, 2);
        save(d, "channel_setting_dialog");
        // Nothing is squeezed below what it asks for.
        QVERIFY(d.width() >= d.minimumSizeHint().width());
        QVERIFY(d.labelField()->width() >= d.labelField()->fontMetrics().horizontalAdvance("WWWWWWWW"));
        QVERIFY(d.rxFrequencyField()->width() >= d.rxFrequencyField()->fontMetrics().horizontalAdvance("446.01250"));
        QVERIFY(d.rxDcsList()->width() >= d.rxDcsList()->minimumSizeHint().width());
    }

    // The page as a 1024x768 window shows it, with a value just snapped
    // onto the raster (the notice) and a label being typed in place.
    void inPlaceEditorAndNotice() {
        RadioSettings s = newRadioSettings();
        fill(s);
        ViewFlags flags;
        flags.fileLoadActive = true;  // as a loaded file
        ChannelTablePage page(s, flags);
        page.refreshChannelPage();
        page.resize(1000, 560);
        page.show();
        QVERIFY(QTest::qWaitForWindowExposed(&page));
        QVERIFY(page.editCell(7, P::ColumnRxFrequency, "450.0049"));
        const QString notice = QStringLiteral("450.00490 is not on the 12.5 kHz raster; stored as 450.00000");
        QCOMPARE(page.noticeText(), notice);
        QCOMPARE(page.cellText(7, P::ColumnRxFrequency), QStringLiteral("450.00000"));
        page.grid()->setFocus();
        page.grid()->setCurrentCell(6, P::ColumnLabel);
        QTest::keyClick(page.grid(), 'N');
        auto* editor = qobject_cast<QLineEdit*>(page.grid()->indexWidget(page.grid()->currentIndex()));
        QVERIFY(editor);
        QTest::keyClicks(editor, "EW 7");
        QCOMPARE(editor->text(), QStringLiteral("NEW 7"));
        QVERIFY(editor->isVisible());
        QCOMPARE(page.noticeText(), notice);
        QVERIFY(page.noticeLabel()->width() >= page.noticeLabel()->sizeHint().width());
        QVERIFY(!page.grid()->horizontalScrollBar()->isVisible());
        QVERIFY(page.grab().save(shotPath("channel_page_editing")));
        // Grabbed under a real X server, the whole screen as well.
        if (QGuiApplication::platformName() == QLatin1String("xcb")) {
            QTest::qWait(300);  // let the X server show the last paint
            page.screen()->grabWindow(0).save(shotPath("channel_page_editing_screen"));
        }
    }

    void groupDialog() {
        RadioSettings s = newRadioSettings();
        s.channelTable.groups[1].capability = 20;
        s.channelTable.groups[1].usedChannels = 12;
        s.channelTable.groups[2].capability = 100;
        GroupSettingDialog d(s.channelTable);
        save(d, "group_setting_dialog");
        // All 13 rows are visible at once.
        const int lastRowBottom = d.grid()->rowViewportPosition(12) + d.grid()->rowHeight(12);
        QVERIFY(lastRowBottom <= d.grid()->viewport()->height());
        const QFontMetrics header(d.grid()->horizontalHeader()->font());
        QVERIFY(header.horizontalAdvance("Capability") <= d.grid()->columnWidth(1));
    }
};

QTEST_MAIN(ChannelScreensTest)
#include "tst_channel_screens.moc"
