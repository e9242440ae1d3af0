#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"
#include "pages/channel/OptionPage.h"

using namespace ks340;

namespace {

QStringList items(const QComboBox* box) {
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
}

// The user picks the entry with this text from the drop-down.
bool choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    if (index < 0 || !box->isEnabled()) return false;
    box->setCurrentIndex(index);
    return true;
}

}  // namespace

class OptionPageTest : public QObject {
    Q_OBJECT

    RadioSettings settings_;
    ViewFlags flags_;
    OptionPage* page_ = nullptr;
    QWidget* other_ = nullptr;  // takes the focus when a field is left

    // Replaces the field's text by typing, then moves the focus away.
    void typeAndLeave(QLineEdit* field, const QString& text) {
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        other_->setFocus();
        QTRY_VERIFY(!field->hasFocus());
    }

private slots:
    void init() {
        settings_ = RadioSettings{};
        flags_ = ViewFlags{};
        page_ = new OptionPage(settings_, flags_);
        other_ = page_->txDelayList();
        page_->initialisePage();
        page_->resize(1000, 700);
        page_->show();
        page_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page_));
    }
    void cleanup() {
        delete page_;
        page_ = nullptr;
    }

    void newWritesTheDefaults() {
        OptionSettings expected;
        resetOptionSettings(expected);
        settings_.option.beep = 0;
        settings_.option.programmableKey1Short = 12;
        page_->initialisePage();
        QCOMPARE(settings_.option, expected);
        QCOMPARE(page_->autoMuteTimerField()->text(), QString("30"));
        QCOMPARE(page_->scanSpeedTimeField()->text(), QString("0.50"));
        QCOMPARE(page_->txTimerList()->currentText(), QString("30"));
        QCOMPARE(page_->txInhibitList()->currentText(), QString("10"));
        QCOMPARE(items(page_->scanTxList()), QStringList({"Normal Scan Tx", "Rx Only/No Tx"}));
        QCOMPARE(page_->scanTxList()->currentText(), QString("Normal Scan Tx"));
        QCOMPARE(page_->openLockList()->currentText(), QString("Auto Open"));
        // Locked until their controlling choice allows them.
        for (QWidget* w : std::initializer_list<QWidget*>{
                 page_->hookScanList(), page_->autoMuteTimerField(), page_->txInhibitAlertList(), page_->txTimerList(),
                 page_->txInhibitList(), page_->markIdleList(), page_->scanTypeList(), page_->scanTxList(),
                 page_->scanWaitTimeList(), page_->scanSpeedTimeField(), page_->priorityLbTimeList()})
            QVERIFY2(!w->isEnabled(), qPrintable(w->accessibleName()));
        QVERIFY(page_->autoMuteList()->isEnabled());
        // Kept in the record but never shown.
        QVERIFY(page_->monitorList()->isHidden());
        QVERIFY(page_->publicAddressList()->isHidden());
        QVERIFY(page_->scanTypeList()->isHidden());
    }

    void keyListsAfterNew() {
        QCOMPARE(page_->shortKeyList(1)->currentText(), QString("Power"));
        // Functions held by another slot are left out; the own one stays.
        QCOMPARE(items(page_->longKeyList(1)), QStringList({"N/A", "Light", "Lock", "Scan", "Public Address",
                                                            "Open/Close", "1200/2400", "DTMF", "Group"}));
        QCOMPARE(page_->longKeyList(1)->currentText(), QString("Light"));
        QCOMPARE(items(page_->shortKeyList(2)), QStringList({"N/A", "Lock", "Scan", "Public Address", "Open/Close",
                                                             "Selcall", "1200/2400", "DTMF", "Group"}));
        // Only key 3's long list ends with "Asic Control"; "Power" is not
        // offered there while key 1 holds it.
        QCOMPARE(items(page_->longKeyList(3)), QStringList({"N/A", "Lock", "Scan", "Public Address", "Open/Close",
                                                            "1200/2400", "DTMF", "Group", "Asic Control"}));
        for (int key = 1; key <= 3; ++key) {
            QVERIFY(!items(page_->shortKeyList(key)).contains("Asic Control"));
            if (key < 3) QVERIFY(!items(page_->longKeyList(key)).contains("Asic Control"));
        }
        QCOMPARE(page_->longKeyList(3)->currentText(), QString("N/A"));
        QVERIFY(!page_->longKeyList(3)->isEnabled());
        QVERIFY(page_->longKeyList(1)->isEnabled());
        QCOMPARE(settings_.option.programmableKey1Mode, 3);
        QCOMPARE(settings_.option.programmableKey2Mode, 3);
        QCOMPARE(settings_.option.programmableKey3Mode, 1);
    }

    void choosingMonitorAsShortKey() {
        // Free "Monitor" from key 3 first: key 3 then has no function.
        QVERIFY(choose(page_->shortKeyList(3), "N/A"));
        QCOMPARE(settings_.option.programmableKey3Short, 0);
        QCOMPARE(settings_.option.programmableKey3Mode, 0);
        QVERIFY(page_->longKeyList(3)->isEnabled());
        QVERIFY(items(page_->shortKeyList(2)).contains("Monitor"));
        QVERIFY(items(page_->longKeyList(1)).contains("Monitor"));

        QVERIFY(choose(page_->monitorList(), "Disable"));
        QCOMPARE(settings_.option.monitor, 0);

        QVERIFY(choose(page_->shortKeyList(2), "Monitor"));
        QCOMPARE(settings_.option.programmableKey2Short, 3);
        QCOMPARE(settings_.option.programmableKey2Long, 0);
        QCOMPARE(page_->longKeyList(2)->currentText(), QString("N/A"));
        QVERIFY(!page_->longKeyList(2)->isEnabled());
        QCOMPARE(settings_.option.programmableKey2Mode, 1);
        QCOMPARE(settings_.option.monitor, 1);
        QCOMPARE(page_->monitorList()->currentText(), QString("Enable"));
        // "Monitor" is now key 2's; "SMS", given up by key 2's long press,
        // is offered to the others again.
        for (QComboBox* box :
             {page_->shortKeyList(1), page_->longKeyList(1), page_->shortKeyList(3), page_->longKeyList(3)}) {
            QVERIFY(!items(box).contains("Monitor"));
            QVERIFY(items(box).contains("SMS"));
        }
        // Other keys keep what they showed.
        QCOMPARE(page_->shortKeyList(1)->currentText(), QString("Power"));
        QCOMPARE(page_->longKeyList(1)->currentText(), QString("Light"));

        // Key 2 back to an ordinary function: its long list opens again.
        QVERIFY(choose(page_->shortKeyList(2), "Lock"));
        QCOMPARE(settings_.option.programmableKey2Mode, 3);
        QVERIFY(page_->longKeyList(2)->isEnabled());
        QVERIFY(items(page_->shortKeyList(3)).contains("Monitor"));
    }

    void longKeyModesFollowTheShortKey() {
        QVERIFY(choose(page_->shortKeyList(3), "N/A"));
        QCOMPARE(settings_.option.programmableKey3Mode, 0);
        // With no short function the long one decides.
        QVERIFY(choose(page_->longKeyList(3), "Asic Control"));
        QCOMPARE(settings_.option.programmableKey3Long, 13);
        QCOMPARE(settings_.option.programmableKey3Mode, 3);
        QVERIFY(choose(page_->longKeyList(3), "Monitor"));
        QCOMPARE(settings_.option.programmableKey3Mode, 1);
        QCOMPARE(settings_.option.monitor, 1);
        QVERIFY(choose(page_->longKeyList(3), "N/A"));
        QCOMPARE(settings_.option.programmableKey3Mode, 0);
        // A long choice does not change the mode of a key with a short function.
        QVERIFY(choose(page_->longKeyList(3), "Monitor"));
        QVERIFY(choose(page_->longKeyList(1), "N/A"));
        QCOMPARE(settings_.option.programmableKey1Mode, 3);
        QVERIFY(choose(page_->shortKeyList(1), "N/A"));
        QCOMPARE(settings_.option.programmableKey1Mode, 0);
        QVERIFY(choose(page_->longKeyList(1), "Scan"));
        QCOMPARE(settings_.option.programmableKey1Mode, 3);
        // A function taken by one slot disappears from the five others.
        QVERIFY(!items(page_->shortKeyList(2)).contains("Scan"));
        QVERIFY(!items(page_->longKeyList(3)).contains("Scan"));
    }

    void popupChoiceRunsTheRule() {
        // Picked with the mouse from the open list: the list is rebuilt while
        // it reports the choice.
        QComboBox* box = page_->shortKeyList(1);
        box->showPopup();
        QAbstractItemView* view = box->view();
        QTRY_VERIFY(view->isVisible());
        const QModelIndex lock = view->model()->index(box->findText("Lock"), 0);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(lock).center());
        QTRY_VERIFY(!view->isVisible());
        QCOMPARE(box->currentText(), QString("Lock"));
        QCOMPARE(settings_.option.programmableKey1Short, 4);
        QVERIFY(items(page_->longKeyList(2)).contains("Power"));
        QVERIFY(!items(page_->longKeyList(2)).contains("Lock"));
        QVERIFY(!items(box).contains("Selcall"));
    }

    void autoMuteTimerClamps() {
        QLineEdit* field = page_->autoMuteTimerField();
        QVERIFY(choose(page_->autoMuteList(), "Enable"));
        QCOMPARE(settings_.option.autoMute, 1);
        QVERIFY(field->isEnabled());
        QCOMPARE(field->text(), QString("30"));
        QCOMPARE(settings_.option.autoMuteTimer, 30);

        typeAndLeave(field, "300");
        QCOMPARE(field->text(), QString("250"));
        QCOMPARE(settings_.option.autoMuteTimer, 250);
        typeAndLeave(field, "120");
        QCOMPARE(settings_.option.autoMuteTimer, 120);
        // At most three characters.
        typeAndLeave(field, "1234");
        QCOMPARE(field->text(), QString("123"));
        QCOMPARE(settings_.option.autoMuteTimer, 123);
        typeAndLeave(field, "");
        QCOMPARE(field->text(), QString("0"));
        QCOMPARE(settings_.option.autoMuteTimer, 0);

        QVERIFY(choose(page_->autoMuteList(), "Disable"));
        QVERIFY(!field->isEnabled());
        QCOMPARE(settings_.option.autoMuteTimer, 0);
    }

    void powerUpControlsAutoMute() {
        QVERIFY(choose(page_->autoMuteList(), "Enable"));
        QVERIFY(choose(page_->powerUpList(), "Close"));
        QCOMPARE(settings_.option.powerUp, 0);
        QCOMPARE(settings_.option.autoMute, 0);
        QCOMPARE(settings_.option.autoMuteTimer, 0);
        QVERIFY(!page_->autoMuteList()->isEnabled());
        QCOMPARE(page_->autoMuteList()->currentText(), QString("Enable"));  // shown choice kept
        QVERIFY(!page_->autoMuteTimerField()->isEnabled());
        // "Open" takes the shown "Enable" back into the record.
        QVERIFY(choose(page_->powerUpList(), "Open"));
        QCOMPARE(settings_.option.autoMute, 1);
        QCOMPARE(settings_.option.autoMuteTimer, 30);
        QVERIFY(page_->autoMuteTimerField()->isEnabled());
    }

    void scanSpeedTimeCorrection_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("stored");
        QTest::newRow("below range") << "0.01"
                                     << "0.50" << 49;
        QTest::newRow("above range") << "3"
                                     << "2.00" << 199;
        QTest::newRow("two decimals") << "1.234"
                                      << "1.23" << 122;
        QTest::newRow("lowest") << "0.05"
                                << "0.05" << 4;
        QTest::newRow("no number") << "x"
                                   << "0.50" << 49;
        QTest::newRow("empty") << ""
                               << "0.50" << 49;
        QTest::newRow("leading number") << "1.5s"
                                        << "1.50" << 149;
    }
    void scanSpeedTimeCorrection() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(int, stored);
        settings_.channelTable.anyScanChannel = 1;
        page_->pageSelected();
        settings_.option.scanSpeedTime = 77;
        typeAndLeave(page_->scanSpeedTimeField(), typed);
        QCOMPARE(page_->scanSpeedTimeField()->text(), shown);
        QCOMPARE(settings_.option.scanSpeedTime, stored);
    }

    void pttTimerEnablesItsLists() {
        QVERIFY(choose(page_->pttTimerList(), "Enable"));
        QCOMPARE(settings_.option.pttTimer, 1);
        QCOMPARE(settings_.option.txTimer, 3);
        QCOMPARE(settings_.option.txInhibit, 2);
        QCOMPARE(settings_.option.txInhibitAlert, 1);
        QCOMPARE(page_->txTimerList()->currentText(), QString("30"));
        QCOMPARE(page_->txInhibitList()->currentText(), QString("10"));
        QCOMPARE(page_->txInhibitAlertList()->currentText(), QString("Enable"));
        QVERIFY(page_->txTimerList()->isEnabled());
        QVERIFY(page_->txInhibitList()->isEnabled());
        QVERIFY(page_->txInhibitAlertList()->isEnabled());

        QVERIFY(choose(page_->txTimerList(), "990"));
        QCOMPARE(settings_.option.txTimer, 99);
        QVERIFY(choose(page_->txInhibitList(), "75"));
        QCOMPARE(settings_.option.txInhibit, 15);

        QVERIFY(choose(page_->pttTimerList(), "Disable"));
        QCOMPARE(settings_.option.txTimer, 0);
        QCOMPARE(settings_.option.txInhibit, 0);
        QCOMPARE(settings_.option.txInhibitAlert, 0);
        QCOMPARE(page_->txTimerList()->currentText(), QString("30"));
        QCOMPARE(page_->txInhibitAlertList()->currentText(), QString("Disable"));
        QVERIFY(!page_->txTimerList()->isEnabled());
        QVERIFY(!page_->txInhibitAlertList()->isEnabled());
    }

    void hookAndBusyLockDependencies() {
        QVERIFY(choose(page_->hookList(), "Enable"));
        QCOMPARE(settings_.option.hookScan, 1);
        QCOMPARE(page_->hookScanList()->currentText(), QString("On"));
        QVERIFY(page_->hookScanList()->isEnabled());
        QVERIFY(choose(page_->hookScanList(), "Off"));
        QCOMPARE(settings_.option.hookScan, 0);
        QVERIFY(choose(page_->hookList(), "Disable"));
        QCOMPARE(settings_.option.hook, 0);
        QCOMPARE(settings_.option.hookScan, 0);
        QVERIFY(!page_->hookScanList()->isEnabled());

        QVERIFY(choose(page_->busyChLockOutList(), "Enable"));
        QVERIFY(page_->markIdleList()->isEnabled());
        QVERIFY(choose(page_->markIdleList(), "Enable"));
        QCOMPARE(settings_.option.markIdle, 1);
        QVERIFY(choose(page_->busyChLockOutList(), "Disable"));
        QCOMPARE(settings_.option.markIdle, 0);
        QCOMPARE(page_->markIdleList()->currentText(), QString("Disable"));
        QVERIFY(!page_->markIdleList()->isEnabled());
    }

    void scanAvailabilityOnTabSelect() {
        const QList<QWidget*> scanControls{page_->scanTypeList(), page_->scanTxList(), page_->scanWaitTimeList(),
                                           page_->scanSpeedTimeField(), page_->priorityLbTimeList()};
        settings_.channelTable.anyScanChannel = 0;
        page_->pageSelected();
        for (QWidget* w : scanControls) QVERIFY(!w->isEnabled());

        // A priority channel was set on the channel page meanwhile.
        settings_.channelTable.anyScanChannel = 1;
        settings_.channelTable.scanMode = 0;
        settings_.option.scanTx = 1;
        page_->pageSelected();
        QCOMPARE(items(page_->scanTxList()), QStringList({"Priority Scan Tx", "Priority Only Tx"}));
        QCOMPARE(page_->scanTxList()->currentText(), QString("Priority Scan Tx"));
        QVERIFY(!page_->scanTypeList()->isEnabled());
        QVERIFY(page_->scanTxList()->isEnabled());
        QVERIFY(page_->scanWaitTimeList()->isEnabled());
        QVERIFY(page_->scanSpeedTimeField()->isEnabled());
        QVERIFY(page_->priorityLbTimeList()->isEnabled());
        QVERIFY(choose(page_->scanTxList(), "Priority Only Tx"));
        QCOMPARE(settings_.option.scanTx, 0);

        settings_.channelTable.scanMode = 1;
        settings_.option.scanTx = 2;
        page_->pageSelected();
        QCOMPARE(items(page_->scanTxList()), QStringList({"Normal Scan Tx", "Rx Only/No Tx"}));
        QCOMPARE(page_->scanTxList()->currentText(), QString("Rx Only/No Tx"));
        QVERIFY(page_->scanTypeList()->isEnabled());
        QVERIFY(!page_->priorityLbTimeList()->isEnabled());
        QVERIFY(choose(page_->scanTxList(), "Normal Scan Tx"));
        QCOMPARE(settings_.option.scanTx, 3);
        QVERIFY(choose(page_->scanWaitTimeList(), "15"));
        QCOMPARE(settings_.option.scanWaitTime, 15);
    }

    void refreshShowsWithoutWriting() {
        OptionSettings& o = settings_.option;
        o.programmableKey1Short = 0;
        o.programmableKey1Long = 5;   // Scan
        o.programmableKey3Short = 7;  // Open/Close
        o.programmableKey3Long = 13;  // Asic Control
        o.programmableKey1Mode = 2;   // as stored, even if unusual
        o.hook = 1;
        o.hookScan = 0;
        o.autoMute = 1;
        o.autoMuteTimer = 17;
        o.pttTimer = 1;
        o.txTimer = 0;
        o.txInhibit = 15;
        o.txInhibitAlert = 0;
        o.busyChLockOut = 1;
        o.markIdle = 1;
        o.scanTx = 0;
        o.scanSpeedTime = 199;
        o.priorityLbTime = 7;
        settings_.channelTable.anyScanChannel = 1;
        const RadioSettings before = settings_;
        QSignalSpy spy(page_, &TabPage::settingsEdited);
        flags_.fileLoadActive = true;
        page_->refreshFromSettings();
        flags_.fileLoadActive = false;
        QVERIFY(settings_ == before);
        QCOMPARE(spy.count(), 0);

        QCOMPARE(page_->shortKeyList(1)->currentText(), QString("N/A"));
        QCOMPARE(page_->longKeyList(1)->currentText(), QString("Scan"));
        QCOMPARE(page_->longKeyList(3)->currentText(), QString("Asic Control"));
        QVERIFY(page_->longKeyList(3)->isEnabled());
        QVERIFY(!items(page_->shortKeyList(2)).contains("Scan"));
        QVERIFY(items(page_->shortKeyList(2)).contains("Monitor"));  // nobody holds it now
        QCOMPARE(page_->hookScanList()->currentText(), QString("Off"));
        QVERIFY(page_->hookScanList()->isEnabled());
        QCOMPARE(page_->autoMuteTimerField()->text(), QString("17"));
        QVERIFY(page_->autoMuteTimerField()->isEnabled());
        QCOMPARE(page_->txTimerList()->currentText(), QString("30"));  // off shows the third entry
        QCOMPARE(page_->txInhibitList()->currentText(), QString("75"));
        QVERIFY(page_->txTimerList()->isEnabled());
        QVERIFY(page_->markIdleList()->isEnabled());
        QCOMPARE(page_->markIdleList()->currentText(), QString("Enable"));
        QCOMPARE(page_->scanTxList()->currentText(), QString("Priority Only Tx"));
        QCOMPARE(page_->scanSpeedTimeField()->text(), QString("2.00"));
        QCOMPARE(page_->priorityLbTimeList()->currentText(), QString("7"));
        QVERIFY(page_->priorityLbTimeList()->isEnabled());
    }

    void userChangesAreReported() {
        QSignalSpy spy(page_, &TabPage::settingsEdited);
        QVERIFY(choose(page_->beepList(), "Disable"));
        QCOMPARE(settings_.option.beep, 0);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("Set Beep"));
        QVERIFY(choose(page_->openLockList(), "Lock PTT"));
        QCOMPARE(settings_.option.openLock, 2);
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toString(), QString("Set Open Lock"));
        // Changes the page makes itself are not reported.
        page_->initialisePage();
        page_->pageSelected();
        QCOMPARE(spy.count(), 2);
    }

    void savedFileOpensTheSame() {
        // Edit through the page, hidden fields included.
        QVERIFY(choose(page_->shortKeyList(3), "N/A"));
        QVERIFY(choose(page_->longKeyList(3), "Asic Control"));
        QVERIFY(choose(page_->shortKeyList(2), "Monitor"));
        QVERIFY(choose(page_->longKeyList(1), "Group"));
        QVERIFY(choose(page_->txDelayList(), "Enable"));
        QVERIFY(choose(page_->hookList(), "Enable"));
        QVERIFY(choose(page_->beepList(), "Disable"));
        QVERIFY(choose(page_->publicAddressList(), "Enable"));
        QVERIFY(choose(page_->powerUpAlertList(), "Disable"));
        QVERIFY(choose(page_->autoMuteList(), "Enable"));
        typeAndLeave(page_->autoMuteTimerField(), "45");
        QVERIFY(choose(page_->pttTimerList(), "Enable"));
        QVERIFY(choose(page_->txTimerList(), "120"));
        QVERIFY(choose(page_->txInhibitList(), "40"));
        QVERIFY(choose(page_->openLockList(), "Off"));
        QVERIFY(choose(page_->busyChLockOutList(), "Enable"));
        QVERIFY(choose(page_->markIdleList(), "Enable"));
        settings_.channelTable.anyScanChannel = 1;
        settings_.channelTable.scanMode = 1;
        page_->pageSelected();
        QVERIFY(choose(page_->scanTypeList(), "Auto Group Scan"));
        QVERIFY(choose(page_->scanTxList(), "Rx Only/No Tx"));
        QVERIFY(choose(page_->scanWaitTimeList(), "9"));
        typeAndLeave(page_->scanSpeedTimeField(), "1.75");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string path = dir.filePath("options.ks3").toStdString();
        prepareForSave(settings_);
        QVERIFY(writeSettingFile(path, settings_).ok);

        RadioSettings loaded;
        ViewFlags loadedFlags;
        OptionPage reopened(loaded, loadedFlags);
        reopened.initialisePage();
        loadedFlags.fileLoadActive = true;
        QVERIFY(readSettingFile(path, loaded).ok);
        reopened.refreshFromSettings();
        loadedFlags.fileLoadActive = false;
        reopened.pageSelected();

        QCOMPARE(loaded.option, settings_.option);
        QCOMPARE(loaded.option.publicAddress, 1);
        QCOMPARE(loaded.option.scanType, 0);
        QCOMPARE(loaded.option.monitor, 1);
        // Every control shows what the edited page showed, enabled alike.
        const QList<QComboBox*> lists = page_->findChildren<QComboBox*>();
        const QList<QComboBox*> reopenedLists = reopened.findChildren<QComboBox*>();
        QCOMPARE(reopenedLists.size(), lists.size());
        for (qsizetype i = 0; i < lists.size(); ++i) {
            QCOMPARE(items(reopenedLists[i]), items(lists[i]));
            QCOMPARE(reopenedLists[i]->currentText(), lists[i]->currentText());
            QCOMPARE(reopenedLists[i]->isEnabled(), lists[i]->isEnabled());
        }
        QCOMPARE(reopened.autoMuteTimerField()->text(), QString("45"));
        QCOMPARE(reopened.scanSpeedTimeField()->text(), QString("1.75"));
        QCOMPARE(loaded.option.scanSpeedTime, 174);
    }

    void fitsTheTabAreaWithLabelsReadable() {
        // The tab area of the main window at its default size.
        const QSize tabArea(1000, 590);
        QVERIFY(page_->minimumSizeHint().width() <= tabArea.width());
        QVERIFY(page_->minimumSizeHint().height() <= tabArea.height());
        page_->resize(tabArea);
        QTRY_COMPARE(page_->size(), tabArea);
        for (QLabel* label : page_->findChildren<QLabel*>()) {
            if (label->isHidden()) continue;
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            QVERIFY(label->geometry().bottom() < tabArea.height());
        }
        // Every visible list has a buddy label whose text is its accessible
        // name, after the row's name where the label repeats.
        for (QLabel* label : page_->findChildren<QLabel*>()) {
            if (!label->buddy()) continue;
            const QString name = label->buddy()->accessibleName();
            QVERIFY2(name == label->text() || name.endsWith(' ' + label->text()), qPrintable(name));
        }
        // A picture of the page for a look by eye: <build>/screenshots.
        const QString dirName = QString::fromLocal8Bit(KS340_BINARY_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dirName));
        QVERIFY(page_->grab().save(QDir(dirName).filePath("option-page.png")));
    }
};

QTEST_MAIN(OptionPageTest)
#include "tst_channel_option_page.moc"
