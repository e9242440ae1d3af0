// Every page configured, written to the simulated radio, read back into a new
// configuration: the pages show the same values as before the write.
#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QToolBar>
#include <QtTest>

#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/ProgrammingDialog.h"
#include "app/SimulatorProcess.h"
#include "qt/tst_app_support.h"

using namespace ks340;
using ks340test::ModalAnswerer;
using ks340test::Sandbox;
using ks340test::toolAction;

namespace {

// What a page shows: every edit field's text, every list's current text and
// every check or radio button's state, in widget order, named by the
// control's accessible name where it has one.
QStringList shownValues(QWidget* page) {
    QStringList values;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        const QString name = w->accessibleName().isEmpty() ? w->objectName() : w->accessibleName();
        // Hidden controls whose values a read does not bring back.
        if (name == QLatin1String("Monitor") || name == QLatin1String("Public Address")) continue;
        if (auto* e = qobject_cast<QLineEdit*>(w))
            values << name + " = " + e->text();
        else if (auto* c = qobject_cast<QComboBox*>(w))
            values << name + " = " + c->currentText();
        else if (auto* b = qobject_cast<QAbstractButton*>(w); b && b->isCheckable())
            values << name + " = " + (b->isChecked() ? "on" : "off");
    }
    return values;
}

// A configuration that differs from the defaults on every page.
void configure(RadioSettings& s) {
    OptionSettings& o = s.option;
    o.programmableKey1Short = 5;  // "Scan"
    o.programmableKey1Mode = 3;
    o.hook = 1;
    o.hookScan = 1;
    o.beep = 0;
    o.autoMute = 1;
    o.autoMuteTimer = 45;
    o.pttTimer = 1;
    o.txTimer = 5;
    o.txInhibit = 3;
    o.txInhibitAlert = 1;
    o.openLock = 2;
    o.busyChLockOut = 1;
    o.markIdle = 1;
    o.scanWaitTime = 7;
    o.scanSpeedTime = 99;
    o.priorityLbTime = 3;

    ToneSequenceSettings& t = s.toneSequence;
    t.toneset = 5;  // "CCIR"
    t.toneLength = 100;
    t.sequences[1] = {"12345", 200, 150, 60};
    t.sequences[2] = {"54321", 300, 100, 40};

    SelcallEncodeSettings& e = s.selcallEncode;
    e.emgSequence = "12";
    e.emgCheckOpen = 1;
    e.emgRepeats = 4;
    e.emgCycleRepeatTime = 30;
    e.emgTxTimer = 20;
    e.acknowledge1 = "2";
    e.aniSequence = "1";
    e.aniAt = 1;
    e.call1Sequence = "2";
    e.call1CheckBusy = 1;

    SelcallDecodeSettings& d = s.selcallDecode;
    d.decodeEntries[0] = {"12345", 1, 1, "HELLO"};
    d.decodeEntries[7] = {"99999", 2, 0, "GROUP"};
    d.covertRxTime = 30;
    d.covertTxTime = 40;

    DtmfSettings& m = s.dtmf;
    m.dtmfCodes[0] = "123*#";
    m.dtmfDecodeAddress[1] = "4567";
    m.dtmfDecodeAction[1] = 2;
    m.statusText[0] = "ONSITE";
    m.statusText[9] = "CLEAR";

    s.modem.txOnDelay = 10;
    s.modem.modemText[0] = "MODEM TEXT ONE";
    s.modem.modemText[8] = "NINE";

    ChannelGroup& pool = s.channelTable.groups[0];
    pool.channels[1].rxFrequency = "450.12500";
    pool.channels[1].txFrequency = "455.12500";
    pool.channels[1].rxSquelch = 5;
    pool.channels[1].txSquelch = 45;
    pool.channels[1].bandwidth = 1;
    pool.channels[1].txPower = 1;
    pool.channels[1].scanChannel = 1;
    pool.channels[1].inUse = 1;
    s.channelTable.anyScanChannel = 1;
}

bool transfer(MainWindow& w, const QString& tip, const char* done) {
    ModalAnswerer answer(ks340test::yesToAll);
    answer.onOtherModal = [&](QWidget* modal) {
        auto* d = qobject_cast<ProgrammingDialog*>(modal);
        if (d && answer.sawText(done)) d->okButton()->click();
    };
    toolAction(w, tip)->trigger();
    return answer.sawText(done);
}

}  // namespace

class RadioRoundTripTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(!SimulatorProcess::findProgram().isEmpty(), "ks340sim was not built"); }

    void everyPageShowsTheSameAfterWriteAndRead() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        v->setSimulatorArguments({"--baud", "0"});
        QVERIFY(v->chooseSimulatedRadio());

        configure(v->settings());
        v->flags().fileLoadActive = true;
        v->refreshAllPages();
        v->flags().fileLoadActive = false;

        QList<QStringList> before;
        for (int p = MainView::RadioTab; p <= MainView::ModemTab; ++p) before << shownValues(v->page(p));
        // The pages show the configuration before it goes to the radio.
        QVERIFY(before[MainView::ModemTab].join('\n').contains("MODEM TEXT ONE"));
        QVERIFY(before[MainView::DtmfTab].join('\n').contains("ONSITE"));
        QVERIFY(before[MainView::DecodeTab].join('\n').contains("HELLO"));
        QVERIFY(before[MainView::ToneSequenceTab].join('\n').contains("CCIR"));
        QVERIFY(before[MainView::EncodeTab].join('\n').contains("= 12"));

        QVERIFY(transfer(w, "Write to Radio", "Writing Data Complete!"));
        QVERIFY(v->newConfiguration(false));
        QVERIFY(!shownValues(v->page(MainView::ModemTab)).join('\n').contains("MODEM TEXT ONE"));
        QVERIFY(transfer(w, "Read from Radio", "Reading Data Complete!"));

        for (int p = MainView::RadioTab; p <= MainView::ModemTab; ++p) {
            const QStringList after = shownValues(v->page(p));
            QCOMPARE(after.size(), before[p].size());
            for (int i = 0; i < after.size(); ++i)
                QVERIFY2(after[i] == before[p][i],
                         qPrintable(QString("page %1: %2 became %3").arg(p).arg(before[p][i], after[i])));
        }
    }
};

QTEST_MAIN(RadioRoundTripTest)
#include "tst_app_radio_roundtrip.moc"
