// The main window at 1024x768 and 1366x768, with normal and 125 % fonts:
// every page fits without a horizontal scroll bar and no button is cut off.
// Pictures of every page go to <build>/screenshots for a look by eye.
#include <QAbstractButton>
#include <QComboBox>
#include <QDir>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabBar>
#include <QtTest>

#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/TabHost.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelTablePage.h"
#include "qt/tst_app_support.h"

using namespace ks340;

class LayoutTest : public QObject {
    Q_OBJECT
private slots:
    void pagesFitTheScreen_data() {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<double>("fontScale");
        QTest::newRow("1024x768") << 1024 << 768 << 1.0;
        QTest::newRow("1024x768 at 125 %") << 1024 << 768 << 1.25;
        QTest::newRow("1366x768") << 1366 << 768 << 1.0;
        QTest::newRow("1366x768 at 125 %") << 1366 << 768 << 1.25;
    }

    void pagesFitTheScreen() {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(double, fontScale);
        static const QFont original = QApplication::font();
        QFont scaled = original;
        scaled.setPointSizeF(original.pointSizeF() * fontScale);
        QApplication::setFont(scaled);
        ks340test::Sandbox sandbox;
        const QString shots = QString::fromLocal8Bit(KS340_BINARY_DIR) + QStringLiteral("/screenshots");
        QDir().mkpath(shots);
        {
            MainWindow w;
            // The desktop's window frame and panel take some of the screen.
            w.resize(width - 16, height - 60);
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            QVERIFY2(w.width() <= width - 16 && w.height() <= height - 60,
                     qPrintable(QStringLiteral("%1x%2").arg(w.width()).arg(w.height())));
            TabHost* tabs = w.view()->tabs();
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                QApplication::processEvents();
                QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-').remove('%');
                w.grab().save(QStringLiteral("%1/main-%2-tab%3.png").arg(shots, tag).arg(i));
                auto* scroller = qobject_cast<QScrollArea*>(tabs->widget(i));
                QVERIFY(scroller);
                const QString where = QStringLiteral("%1 %2").arg(QTest::currentDataTag(), tabs->tabText(i).trimmed());
                QVERIFY2(!scroller->horizontalScrollBar()->isVisible(), qPrintable(where));
                // At normal font size the whole channel grid shows.
                if (i == MainView::RadioTab && fontScale == 1.0) {
                    auto* grid = static_cast<ChannelTablePage*>(tabs->page(i))->grid();
                    QVERIFY2(!grid->horizontalScrollBar()->isVisible(), qPrintable(where));
                }
                for (QAbstractButton* b : tabs->page(i)->findChildren<QAbstractButton*>()) {
                    if (!b->isVisibleTo(tabs->page(i)) || b->text().isEmpty()) continue;
                    QVERIFY2(b->width() >= b->minimumSizeHint().width(), qPrintable(where + ": " + b->text()));
                    const QRect inView(b->mapTo(scroller->viewport(), QPoint(0, 0)), b->size());
                    QVERIFY2(scroller->viewport()->rect().contains(inView) || !b->isVisible(),
                             qPrintable(where + ": " + b->text()));
                }
            }
            w.setConfirmExit(false);
        }
        QApplication::setFont(original);
    }
};

QTEST_MAIN(LayoutTest)
#include "tst_app_layout.moc"
