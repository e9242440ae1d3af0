// Selcall encode page, driven through its widgets.
#include <QSignalSpy>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/SelcallEncodePage.h"
#include "qt/signalling_support.h"

using namespace ks340;
using namespace sigtest;

class EncodePageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    SelcallEncodePage* page = nullptr;
    SelcallEncodeSettings& rec() { return settings.selcallEncode; }
    static SelcallEncodeSettings defaults() {
        SelcallEncodeSettings d;
        resetSelcallEncodeSettings(d);
        return d;
    }
    // The six emergency options as shown.
    QStringList emergencyOptions() {
        return {page->emgCheckOpenList()->currentText(),   page->emgCheckBusyList()->currentText(),
                page->emgEncodeAlertList()->currentText(), page->emgRepeatsList()->currentText(),
                page->cycleRepeatTimeField()->text(),      page->txTimerField()->text()};
    }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.selcallEncode = SelcallEncodeSettings{};  // the page writes its own defaults
        flags = ViewFlags{};
        page = new SelcallEncodePage(settings, flags);
        page->initialisePage();
        page->show();
    }
    void cleanup() { delete page; }

    void initialisationShowsAndStoresDefaults() {
        QCOMPARE(rec(), defaults());
        QVERIFY(page->selcallList()->isHidden());
        QCOMPARE(page->selcallList()->currentText(), QString("Enable"));
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Seq."));
        QVERIFY(page->emgToneField()->isHidden());
        QCOMPARE(page->emgSequenceField()->text(), QString("2"));
        QCOMPARE(emergencyOptions(), QStringList({"Disable", "Disable", "Enable", "3", "20", "5"}));
        QCOMPARE(page->emgRepeatsList()->itemText(13), QString("Permanently"));
        QCOMPARE(page->aniAtList()->count(), 2);
        QVERIFY(!page->aniAtList()->isEnabled() && !page->multiAniDelayField()->isEnabled());
        QVERIFY(!page->call(2).checkOpen->isEnabled());
        QCOMPARE(page->emgToneField()->maxLength(), 15);
        QCOMPARE(page->txTimerField()->maxLength(), 3);
    }

    void secondsFieldsAreLimitedTo250WhileTyping_data() {
        QTest::addColumn<int>("which");
        QTest::newRow("Tx Timer") << 0;
        QTest::newRow("Cycle Repeat Time") << 1;
        QTest::newRow("Multi ANI Delay") << 2;
    }
    void secondsFieldsAreLimitedTo250WhileTyping() {
        QFETCH(int, which);
        if (which == 2) QTest::keyClicks(page->aniSequenceField(), "1");  // enables the delay
        NumberEdit* field = which == 0   ? page->txTimerField()
                            : which == 1 ? page->cycleRepeatTimeField()
                                         : page->multiAniDelayField();
        const int& target = which == 0 ? rec().emgTxTimer : which == 1 ? rec().emgCycleRepeatTime : rec().multiAniDelay;
        field->clear();
        const Typed typed = typeKeys(field, "300", target);
        QCOMPARE(typed.shown, QStringList({"3", "30", "250"}));
        QCOMPARE(typed.stored, QList<int>({3, 30, 250}));
        retype(field, "250");
        QCOMPARE(field->text(), QString("250"));
    }

    void callSequenceEnablesAndResetsItsLists() {
        const auto& call2 = page->call(1);
        QTest::keyClicks(call2.sequence, "1");
        QVERIFY(call2.checkOpen->isEnabled() && call2.checkBusy->isEnabled() && call2.encodeAlert->isEnabled());
        QCOMPARE(call2.checkOpen->currentText() + call2.checkBusy->currentText() + call2.encodeAlert->currentText(),
                 QString("DisableEnableEnable"));
        QCOMPARE(rec().call2CheckOpen * 100 + rec().call2CheckBusy * 10 + rec().call2EncodeAlert, 11);

        choose(call2.checkOpen, 1);
        QCOMPARE(rec().call2CheckOpen, 1);
        QTest::keyClicks(call2.sequence, "8");  // every change starts the lists over
        QCOMPARE(rec().call2Sequence, std::string("18"));
        QCOMPARE(rec().call2CheckOpen, 0);

        backspaces(call2.sequence, 2);
        QVERIFY(!call2.checkOpen->isEnabled() && !call2.checkBusy->isEnabled() && !call2.encodeAlert->isEnabled());
        QCOMPARE(call2.checkBusy->currentText(), QString("Disable"));
        QCOMPARE(rec().call2Sequence, std::string());
        QCOMPARE(rec().call2CheckBusy + rec().call2EncodeAlert, 0);
        QVERIFY(!page->call(0).checkOpen->isEnabled());  // the other calls are untouched
    }

    void emergencyTypeDtmfAndBackRestoresDefaults() {
        choose(page->emgRepeatsList(), 9);
        choose(page->emgCheckBusyList(), 1);
        retype(page->txTimerField(), "77");

        choose(page->emgTypeList(), 1);
        QCOMPARE(rec().emgType, 1);
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Tone"));
        QCOMPARE(page->emgFieldLabel()->buddy(), page->emgToneField());
        QVERIFY(page->emgToneField()->isVisible() && page->emgSequenceField()->isHidden());
        QVERIFY(page->emgToneField()->text().isEmpty());
        QCOMPARE(emergencyOptions(), QStringList({"Disable", "Disable", "Disable", "None", "0", "0"}));
        QVERIFY(!page->emgRepeatsList()->isEnabled() && !page->txTimerField()->isEnabled());
        QCOMPARE(rec().emgSequence, std::string());
        QCOMPARE(rec().emgRepeats + rec().emgEncodeAlert + rec().emgTxTimer + rec().emgCycleRepeatTime, 0);

        // DTMF digits bring the options back, without the two checks.
        QTest::keyClicks(page->emgToneField(), "12e*#");
        QCOMPARE(rec().emgSequence, std::string("12*#"));
        QVERIFY(page->emgEncodeAlertList()->isEnabled() && page->txTimerField()->isEnabled());
        QVERIFY(!page->emgCheckOpenList()->isEnabled() && !page->emgCheckBusyList()->isEnabled());

        choose(page->emgTypeList(), 0);
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Seq."));
        QCOMPARE(page->emgSequenceField()->text(), QString("2"));
        QCOMPARE(emergencyOptions(), QStringList({"Disable", "Disable", "Enable", "3", "20", "5"}));
        QVERIFY(page->emgCheckOpenList()->isEnabled() && page->emgCheckBusyList()->isEnabled());
        QCOMPARE(rec(), defaults());
    }

    void aniTypeChangeLeavesAniAtEmptyUntilTextIsTyped() {
        QTest::keyClicks(page->aniSequenceField(), "5");
        QCOMPARE(page->aniAtList()->currentText(), QString("Start"));
        QCOMPARE(page->multiAniDelayField()->text(), QString("1"));

        choose(page->aniTypeList(), 1);
        QCOMPARE(page->aniFieldLabel()->text(), QString("ANI Tone"));
        QVERIFY(page->aniToneField()->isVisible() && page->aniSequenceField()->isHidden());
        QCOMPARE(page->aniAtList()->count(), 3);
        QCOMPARE(page->aniAtList()->currentIndex(), -1);
        QVERIFY(!page->aniAtList()->isEnabled());
        QCOMPARE(page->multiAniDelayField()->text(), QString("0"));
        QCOMPARE(rec().aniType, 1);
        QCOMPARE(rec().aniSequence, std::string());
        QCOMPARE(rec().aniAt + rec().multiAniDelay, 0);

        QTest::keyClicks(page->aniToneField(), "A");
        QCOMPARE(page->aniAtList()->currentText(), QString("Start"));
        QCOMPARE(rec().aniAt, 1);
        choose(page->aniAtList(), 2);
        QCOMPARE(rec().aniAt, 2);

        choose(page->aniTypeList(), 0);
        QCOMPARE(page->aniAtList()->count(), 2);
        QCOMPARE(page->aniAtList()->currentIndex(), -1);
        QCOMPARE(rec().aniAt, 0);
    }

    // Showing a loaded configuration must not run the text handlers'
    // defaults over the loaded options, flag or no flag.
    void refreshShowsLoadedValuesWithoutResettingThem_data() {
        QTest::addColumn<bool>("fileLoad");
        QTest::newRow("file being read") << true;
        QTest::newRow("no flag set") << false;
    }
    void refreshShowsLoadedValuesWithoutResettingThem() {
        QFETCH(bool, fileLoad);
        SelcallEncodeSettings loaded = defaults();
        loaded.selcall = 0;
        loaded.emgType = 1;
        loaded.emgSequence = "12*#";
        loaded.emgRepeats = 13;
        loaded.aniType = 1;
        loaded.aniSequence = "99";
        loaded.aniAt = 2;
        loaded.call3Sequence = "345";
        loaded.call3CheckOpen = 1;
        loaded.acknowledge2 = "44";
        rec() = loaded;
        flags.fileLoadActive = fileLoad;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.fileLoadActive = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);

        QCOMPARE(page->selcallList()->currentText(), QString("Disable"));
        QCOMPARE(page->emgToneField()->text(), QString("12*#"));
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Tone"));
        QVERIFY(page->emgEncodeAlertList()->isEnabled() && !page->emgCheckOpenList()->isEnabled());
        QCOMPARE(page->emgRepeatsList()->currentText(), QString("Permanently"));
        QCOMPARE(page->aniAtList()->currentText(), QString("End"));
        QVERIFY(page->aniAtList()->isEnabled());
        QCOMPARE(page->call(2).checkOpen->currentText(), QString("Enable"));
        QVERIFY(page->call(2).checkOpen->isEnabled() && !page->call(0).checkOpen->isEnabled());
        QCOMPARE(page->acknowledgeField(1)->text(), QString("44"));
    }

    void textHandlersAreQuietWhileARadioReadIsShown() {
        const SelcallEncodeSettings before = rec();
        flags.radioReadDone = true;
        page->emgSequenceField()->setText("45");
        page->call(0).sequence->setText("1");
        page->aniSequenceField()->setText("3");
        flags.radioReadDone = false;
        QCOMPARE(rec(), before);
    }

    void userChangesAreAnnounced() {
        QSignalSpy edited(page, &TabPage::settingsEdited);
        QTest::keyClicks(page->acknowledgeField(0), "19");
        QCOMPARE(rec().acknowledge1, std::string("1"));
        QTest::keyClicks(page->call(0).sequence, "2");
        QCOMPARE(edited.count(), 2);
        QCOMPARE(edited.first().first().toString(), QString("Acknowledge 1"));
        QCOMPARE(edited.last().first().toString(), QString("Call 1 Sequence"));
        // Lists and times are named with their box where their label repeats.
        choose(page->call(0).checkBusy, 1);
        QCOMPARE(edited.last().first().toString(), QString("Call 1 Check Busy"));
        QTest::keyClicks(page->txTimerField(), "5");
        QCOMPARE(edited.last().first().toString(), QString("Tx Timer"));
    }

    void keyboardAndNames() {
        verifyNamed(page, 9 + 1 + 5 + 3 + 12);  // emergency, hidden Selcall, ANI, acks, calls
        QList<QWidget*> order{page->emgTypeList(),          page->emgSequenceField(),   page->emgCheckOpenList(),
                              page->emgCheckBusyList(),     page->emgEncodeAlertList(), page->emgRepeatsList(),
                              page->cycleRepeatTimeField(), page->txTimerField(),       page->aniTypeList(),
                              page->aniSequenceField(),     page->aniAtList(),          page->multiAniDelayField()};
        for (int i = 0; i < 3; ++i) order << page->acknowledgeField(i);
        for (int i = 0; i < 3; ++i)
            order << page->call(i).sequence << page->call(i).checkOpen << page->call(i).checkBusy
                  << page->call(i).encodeAlert;
        verifyTabOrder(order);
        verifyFitsTab(page);
    }
};

QTEST_MAIN(EncodePageTest)
#include "tst_signalling_encode.moc"
