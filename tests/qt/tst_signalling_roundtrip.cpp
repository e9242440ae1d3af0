// The four signalling pages configured through their widgets, saved to a
// setting file and written into a memory image, then loaded into a fresh
// configuration: the fresh pages show what the first ones showed.
#include <QTemporaryDir>

#include "controls/FilterEdit.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"
#include "pages/signalling/DtmfStatusPage.h"
#include "pages/signalling/ModemPage.h"
#include "pages/signalling/SelcallDecodePage.h"
#include "pages/signalling/SelcallEncodePage.h"
#include "qt/signalling_support.h"

using namespace ks340;
using namespace sigtest;

namespace {

struct Pages {
    RadioSettings settings = newRadioSettings();
    ViewFlags flags;
    SelcallEncodePage encode{settings, flags};
    SelcallDecodePage decode{settings, flags};
    DtmfStatusPage dtmf{settings, flags};
    ModemPage modem{settings, flags};

    Pages() {
        for (TabPage* p : all()) p->initialisePage();
    }
    QList<TabPage*> all() { return {&encode, &decode, &dtmf, &modem}; }
    // Shows a configuration just read, as the main view does.
    void refreshAfterLoad() {
        flags.fileLoadActive = true;
        for (TabPage* p : all()) p->refreshFromSettings();
        flags.fileLoadActive = false;
    }
};

// What a page shows: every field and list, with its enabled and hidden state.
QStringList snapshot(QWidget* page) {
    QStringList lines;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        QString state = QStringLiteral(" enabled=%1 hidden=%2").arg(w->isEnabled()).arg(w->isHidden());
        if (auto* edit = qobject_cast<QLineEdit*>(w))
            lines << edit->accessibleName() + " text=" + edit->text() + state;
        else if (auto* list = qobject_cast<QComboBox*>(w))
            lines << list->accessibleName() + " item=" + QString::number(list->currentIndex()) + "/" +
                         QString::number(list->count()) + state;
    }
    return lines;
}

}  // namespace

class RoundTripTest : public QObject {
    Q_OBJECT

    // Sets a value in (nearly) every control of the four pages.
    static void configure(Pages& p) {
        SelcallEncodePage& e = p.encode;
        choose(e.emgTypeList(), 1);
        QTest::keyClicks(e.emgToneField(), "911*#");
        choose(e.emgEncodeAlertList(), 0);
        choose(e.emgRepeatsList(), 13);
        retype(e.cycleRepeatTimeField(), "45");
        retype(e.txTimerField(), "120");
        QTest::keyClicks(e.acknowledgeField(0), "123");
        QTest::keyClicks(e.acknowledgeField(2), "8");
        QTest::keyClicks(e.aniSequenceField(), "34");
        retype(e.multiAniDelayField(), "9");
        QTest::keyClicks(e.call(0).sequence, "1");
        QTest::keyClicks(e.call(2).sequence, "876");
        choose(e.call(2).checkOpen, 1);
        choose(e.call(2).encodeAlert, 0);

        SelcallDecodePage& d = p.decode;
        showActive(&d);
        const char* addresses[] = {"12345", "", "2X", "ABCDE", "9", "", "0S0", "99999999"};
        for (int i = 0; i < kDecodeEntries; ++i) {
            QTest::keyClicks(d.entry(i).address, addresses[i]);
            if (!d.entry(i).action->isEnabled()) continue;
            choose(d.entry(i).action, (i + 1) % 7);
            choose(d.entry(i).ack, i % 4);
            QTest::keyClicks(d.entry(i).text, QStringLiteral("Entry %1").arg(i));
        }
        focus(d.decoderToneLengthField());
        retype(d.decoderToneLengthField(), "73");
        focus(d.covertRxTimeField());
        retype(d.covertRxTimeField(), "30");
        retype(d.covertTxTimeField(), "999");

        DtmfStatusPage& t = p.dtmf;
        showActive(&t);
        choose(t.dtmfList(), 1);
        focus(t.timeField(DtmfStatusPage::LeadIn));
        retype(t.timeField(DtmfStatusPage::LeadIn), "1234");
        focus(t.timeField(DtmfStatusPage::Mark));
        retype(t.timeField(DtmfStatusPage::Mark), "88");
        focus(t.dtmfList());
        for (int i = 0; i < 9; ++i)
            QTest::keyClicks(t.dtmfCodeField(i), QString("%1*#").arg(i + 1).repeated(i + 1).left(15));
        QTest::keyClicks(t.decodeAddressField(0), "123");
        choose(t.decodeActionList(0), 2);
        QTest::keyClicks(t.decodeAddressField(3), "D#");
        choose(t.decodeActionList(3), 4);
        for (int i = 0; i < 10; ++i) QTest::keyClicks(t.statusTextField(i), QString("State %1").arg(i));

        ModemPage& m = p.modem;
        choose(m.txOnDelayList(), 63);
        choose(m.txOffDelayList(), 3);
        for (int i = 0; i < 9; ++i)
            QTest::keyClicks(m.modemTextField(i), QString("Modem line %1 ").arg(i).repeated(3).left(40));
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void pagesShowTheSameAfterSaveAndOpen() {
        Pages first;
        configure(first);
        // The settings without a control travel as well.
        first.settings.modem.modemBaudRate = 0;
        first.settings.modem.rxOnDelay = 29;
        first.settings.modem.commonSentence[6] = "Seven";
        first.settings.selcallEncode.selcall = 0;
        first.encode.refreshFromSettings();

        QCOMPARE(snapshot(&first.encode).size(), 30);
        QCOMPARE(snapshot(&first.decode).size(), 35);
        QCOMPARE(snapshot(&first.dtmf).size(), 32);
        QCOMPARE(snapshot(&first.modem).size(), 11);
        QCOMPARE(first.settings.selcallDecode.decoderToneLength, 75);
        QCOMPARE(first.settings.dtmf.dtmfLeadInTime, 1230);
        QCOMPARE(first.settings.dtmf.dtmfMarkTime, 90);
        QCOMPARE(first.settings.selcallDecode.covertTxTime, 250);

        const QString path = dir.filePath("signalling.ks3");
        prepareForSave(first.settings);
        const FileResult saved = writeSettingFile(path.toStdString(), first.settings);
        QVERIFY2(saved.ok, saved.error.c_str());

        Pages second;
        const FileResult loaded = readSettingFile(path.toStdString(), second.settings);
        QVERIFY2(loaded.ok, loaded.error.c_str());
        second.refreshAfterLoad();

        QCOMPARE(second.settings.selcallEncode, first.settings.selcallEncode);
        QCOMPARE(second.settings.selcallDecode, first.settings.selcallDecode);
        QCOMPARE(second.settings.dtmf, first.settings.dtmf);
        QCOMPARE(second.settings.modem, first.settings.modem);
        QCOMPARE(snapshot(&second.encode), snapshot(&first.encode));
        QCOMPARE(snapshot(&second.decode), snapshot(&first.decode));
        QCOMPARE(snapshot(&second.dtmf), snapshot(&first.dtmf));
        QCOMPARE(snapshot(&second.modem), snapshot(&first.modem));

        // And the loaded pages go on editing the loaded record.
        choose(second.encode.emgTypeList(), 0);
        QCOMPARE(second.settings.selcallEncode.emgSequence, std::string("2"));
        QCOMPARE(second.settings.selcallEncode.emgRepeats, 3);
    }

    void pagesShowTheSameAfterAnImageRoundTrip() {
        Pages first;
        configure(first);
        first.decode.collectIntoSettings();
        QCOMPARE(first.settings.selcallDecode.decodeDuration, 8 * 75);
        prepareForTransfer(first.settings);
        const MemoryImage image = encodeMemoryImage(first.settings);

        Pages second;
        decodeMemoryImage(image, second.settings);
        second.flags.radioReadDone = true;
        for (TabPage* p : second.all()) p->refreshFromSettings();
        second.flags.radioReadDone = false;

        QCOMPARE(snapshot(&second.encode), snapshot(&first.encode));
        QCOMPARE(snapshot(&second.decode), snapshot(&first.decode));
        QCOMPARE(snapshot(&second.dtmf), snapshot(&first.dtmf));
        QCOMPARE(snapshot(&second.modem), snapshot(&first.modem));
    }

private:
    QTemporaryDir dir;
};

QTEST_MAIN(RoundTripTest)
#include "tst_signalling_roundtrip.moc"
