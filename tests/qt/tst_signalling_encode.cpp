// Selcall encode page, driven through its widgets.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/SelcallEncodePage.h"

using namespace ks340;

namespace {

// Chooses item `index` the way the keyboard does (each step is a user choice).
void choose(QComboBox* list, int index) {
    QVERIFY(list->isEnabled());
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), index);
}

void backspaces(QLineEdit* field, int count) {
    field->end(false);
    for (int i = 0; i < count; ++i) QTest::keyClick(field, Qt::Key_Backspace);
}

QStringList items(const QComboBox* list) {
    QStringList result;
    for (int i = 0; i < list->count(); ++i) result << list->itemText(i);
    return result;
}


// The focusable widgets from `expected.first()` on, in Tab order; every
// widget of `expected` must come in that order.
void verifyTabOrder(const QList<QWidget*>& expected) {
    QList<QWidget*> chain;
    QWidget* w = expected.first();
    do {
        if (w->focusPolicy() & Qt::TabFocus) chain << w;
        w = w->nextInFocusChain();
    } while (w != expected.first() && chain.size() < 1000);
    int last = -1;
    for (QWidget* x : expected) {
        const int at = chain.indexOf(x);
        QVERIFY2(at > last, qPrintable(x->accessibleName()));
        last = at;
    }
}

}  // namespace

class EncodePageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    SelcallEncodePage* page = nullptr;
    SelcallEncodeSettings& rec() { return settings.selcallEncode; }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.selcallEncode = SelcallEncodeSettings{};  // the page must write its own defaults
        flags = ViewFlags{};
        page = new SelcallEncodePage(settings, flags);
        page->initialisePage();
        page->resize(1000, 650);
        page->show();
    }
    void cleanup() { delete page; }

    void initialisationShowsAndStoresDefaults() {
        SelcallEncodeSettings expected;
        resetSelcallEncodeSettings(expected);
        QCOMPARE(rec(), expected);
        QVERIFY(page->selcallList()->isHidden());
        QCOMPARE(page->selcallList()->currentText(), QString("Enable"));
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Seq."));
        QVERIFY(page->emgSequenceField()->isVisible());
        QVERIFY(page->emgToneField()->isHidden());
        QCOMPARE(page->emgSequenceField()->text(), QString("2"));
        QCOMPARE(page->emgCheckOpenList()->currentText(), QString("Disable"));
        QCOMPARE(page->emgCheckBusyList()->currentText(), QString("Disable"));
        QCOMPARE(page->emgEncodeAlertList()->currentText(), QString("Enable"));
        QCOMPARE(page->emgRepeatsList()->currentText(), QString("3"));
        QCOMPARE(page->cycleRepeatTimeField()->text(), QString("20"));
        QCOMPARE(page->txTimerField()->text(), QString("5"));
        QVERIFY(page->emgCheckOpenList()->isEnabled());
        QCOMPARE(items(page->emgRepeatsList()).size(), 14);
        QCOMPARE(items(page->emgRepeatsList()).last(), QString("Permanently"));
        QCOMPARE(items(page->aniAtList()), QStringList({"Off", "Start"}));
        QVERIFY(!page->aniAtList()->isEnabled());
        QVERIFY(!page->multiAniDelayField()->isEnabled());
        QCOMPARE(page->multiAniDelayField()->text(), QString("0"));
        for (int c = 0; c < 3; ++c) {
            QVERIFY(page->call(c).sequence->text().isEmpty());
            QVERIFY(!page->call(c).checkOpen->isEnabled());
            QCOMPARE(page->call(c).encodeAlert->currentText(), QString("Disable"));
        }
        QCOMPARE(page->emgSequenceField()->maxLength(), 3);
        QCOMPARE(page->emgToneField()->maxLength(), 15);
        QCOMPARE(page->txTimerField()->maxLength(), 3);
        QCOMPARE(page->acknowledgeField(2)->maxLength(), 3);
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
        int& target = which == 0 ? rec().emgTxTimer : which == 1 ? rec().emgCycleRepeatTime : rec().multiAniDelay;
        field->clear();
        QStringList shownTexts;
        QList<int> storedValues;
        for (const char* key : {"3", "0", "0"}) {
            QTest::keyClicks(field, key);
            shownTexts << field->text();
            storedValues << target;
        }
        QCOMPARE(shownTexts, QStringList({"3", "30", "250"}));
        QCOMPARE(storedValues, QList<int>({3, 30, 250}));
        field->clear();
        QTest::keyClicks(field, "250");
        QCOMPARE(field->text(), QString("250"));
        QCOMPARE(target, 250);
        field->clear();
        QTest::keyClicks(field, "251");
        QCOMPARE(field->text(), QString("250"));
    }

    void callSequenceEnablesAndResetsItsLists() {
        const auto& call2 = page->call(1);
        QTest::keyClicks(call2.sequence, "1");
        QVERIFY(call2.checkOpen->isEnabled() && call2.checkBusy->isEnabled() && call2.encodeAlert->isEnabled());
        QCOMPARE(call2.checkOpen->currentText(), QString("Disable"));
        QCOMPARE(call2.checkBusy->currentText(), QString("Enable"));
        QCOMPARE(call2.encodeAlert->currentText(), QString("Enable"));
        QCOMPARE(rec().call2Sequence, std::string("1"));
        QCOMPARE(rec().call2CheckOpen, 0);
        QCOMPARE(rec().call2CheckBusy, 1);
        QCOMPARE(rec().call2EncodeAlert, 1);

        choose(call2.checkOpen, 1);
        QCOMPARE(rec().call2CheckOpen, 1);
        // Every change of the text starts the three lists over.
        QTest::keyClicks(call2.sequence, "8");
        QCOMPARE(rec().call2Sequence, std::string("18"));
        QCOMPARE(rec().call2CheckOpen, 0);
        QCOMPARE(call2.checkOpen->currentText(), QString("Disable"));

        backspaces(call2.sequence, 2);
        QVERIFY(!call2.checkOpen->isEnabled() && !call2.checkBusy->isEnabled() && !call2.encodeAlert->isEnabled());
        QCOMPARE(call2.checkBusy->currentText(), QString("Disable"));
        QCOMPARE(rec().call2Sequence, std::string());
        QCOMPARE(rec().call2CheckBusy, 0);
        QCOMPARE(rec().call2EncodeAlert, 0);
        // The other calls were not touched.
        QVERIFY(!page->call(0).checkOpen->isEnabled());
        QCOMPARE(rec().call1CheckBusy, 0);
        QCOMPARE(rec().call3EncodeAlert, 0);
    }

    void emergencyTypeDtmfAndBackRestoresDefaults() {
        // Change the options away from their defaults first.
        choose(page->emgRepeatsList(), 9);
        choose(page->emgCheckBusyList(), 1);
        page->txTimerField()->clear();
        QTest::keyClicks(page->txTimerField(), "77");

        choose(page->emgTypeList(), 1);
        QCOMPARE(rec().emgType, 1);
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Tone"));
        QVERIFY(page->emgToneField()->isVisible());
        QVERIFY(page->emgSequenceField()->isHidden());
        QCOMPARE(page->emgFieldLabel()->buddy(), page->emgToneField());
        QVERIFY(page->emgToneField()->text().isEmpty());
        QCOMPARE(rec().emgSequence, std::string());
        for (QWidget* w : std::initializer_list<QWidget*>{page->emgCheckOpenList(), page->emgCheckBusyList(),
                                                          page->emgEncodeAlertList(), page->emgRepeatsList(),
                                                          page->cycleRepeatTimeField(), page->txTimerField()})
            QVERIFY(!w->isEnabled());
        QCOMPARE(page->emgRepeatsList()->currentText(), QString("None"));
        QCOMPARE(page->txTimerField()->text(), QString("0"));
        QCOMPARE(rec().emgEncodeAlert, 0);
        QCOMPARE(rec().emgRepeats, 0);
        QCOMPARE(rec().emgCycleRepeatTime, 0);

        // DTMF digits: the options return, the two checks stay off.
        QTest::keyClicks(page->emgToneField(), "12e*#");
        QCOMPARE(rec().emgSequence, std::string("12*#"));
        QVERIFY(page->emgEncodeAlertList()->isEnabled());
        QVERIFY(page->txTimerField()->isEnabled());
        QVERIFY(!page->emgCheckOpenList()->isEnabled());
        QVERIFY(!page->emgCheckBusyList()->isEnabled());
        QCOMPARE(rec().emgTxTimer, 5);

        choose(page->emgTypeList(), 0);
        QCOMPARE(rec().emgType, 0);
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Seq."));
        QVERIFY(page->emgSequenceField()->isVisible());
        QCOMPARE(page->emgSequenceField()->text(), QString("2"));
        QCOMPARE(page->emgSequenceField()->maxLength(), 3);
        QCOMPARE(rec().emgSequence, std::string("2"));
        QCOMPARE(page->emgCheckOpenList()->currentText(), QString("Disable"));
        QCOMPARE(page->emgCheckBusyList()->currentText(), QString("Disable"));
        QCOMPARE(page->emgEncodeAlertList()->currentText(), QString("Enable"));
        QCOMPARE(page->emgRepeatsList()->currentText(), QString("3"));
        QCOMPARE(page->cycleRepeatTimeField()->text(), QString("20"));
        QCOMPARE(page->txTimerField()->text(), QString("5"));
        QVERIFY(page->emgCheckOpenList()->isEnabled() && page->emgCheckBusyList()->isEnabled());
        SelcallEncodeSettings expected;
        resetSelcallEncodeSettings(expected);
        QCOMPARE(rec(), expected);
    }

    void emptyingTheEmergencySequenceDisablesItsOptions() {
        backspaces(page->emgSequenceField(), 1);
        QCOMPARE(rec().emgSequence, std::string());
        QVERIFY(!page->emgRepeatsList()->isEnabled());
        QVERIFY(!page->emgCheckOpenList()->isEnabled());
        QCOMPARE(rec().emgEncodeAlert, 0);
        QCOMPARE(rec().emgTxTimer, 0);
        QTest::keyClicks(page->emgSequenceField(), "90");  // refused digits
        QCOMPARE(page->emgSequenceField()->text(), QString());
        QTest::keyClicks(page->emgSequenceField(), "7");
        QVERIFY(page->emgCheckOpenList()->isEnabled());
        QCOMPARE(rec().emgRepeats, 3);
    }

    void aniTypeChangeLeavesAniAtEmptyUntilTextIsTyped() {
        QTest::keyClicks(page->aniSequenceField(), "5");
        QCOMPARE(page->aniAtList()->currentText(), QString("Start"));
        QCOMPARE(page->multiAniDelayField()->text(), QString("1"));
        QCOMPARE(rec().aniAt, 1);
        QCOMPARE(rec().multiAniDelay, 1);

        choose(page->aniTypeList(), 1);
        QCOMPARE(rec().aniType, 1);
        QCOMPARE(page->aniFieldLabel()->text(), QString("ANI Tone"));
        QVERIFY(page->aniToneField()->isVisible());
        QVERIFY(page->aniSequenceField()->isHidden());
        QCOMPARE(items(page->aniAtList()), QStringList({"Off", "Start", "End"}));
        QCOMPARE(page->aniAtList()->currentIndex(), -1);
        QVERIFY(!page->aniAtList()->isEnabled());
        QCOMPARE(page->multiAniDelayField()->text(), QString("0"));
        QCOMPARE(rec().aniSequence, std::string());
        QCOMPARE(rec().aniAt, 0);
        QCOMPARE(rec().multiAniDelay, 0);

        QTest::keyClicks(page->aniToneField(), "A");
        QCOMPARE(page->aniAtList()->currentText(), QString("Start"));
        QCOMPARE(rec().aniAt, 1);
        choose(page->aniAtList(), 2);
        QCOMPARE(rec().aniAt, 2);

        choose(page->aniTypeList(), 0);
        QCOMPARE(items(page->aniAtList()), QStringList({"Off", "Start"}));
        QCOMPARE(page->aniAtList()->currentIndex(), -1);
        QCOMPARE(page->aniFieldLabel()->text(), QString("ANI Seq."));
        QVERIFY(page->aniSequenceField()->text().isEmpty());
        QCOMPARE(rec().aniAt, 0);
    }

    void acknowledgesAreStored() {
        QTest::keyClicks(page->acknowledgeField(0), "1289");
        QTest::keyClicks(page->acknowledgeField(2), "876");
        QCOMPARE(rec().acknowledge1, std::string("128"));
        QCOMPARE(rec().acknowledge2, std::string());
        QCOMPARE(rec().acknowledge3, std::string("876"));
    }

    // Showing a loaded configuration must not run the defaults of the text
    // handlers over the loaded options.
    void refreshShowsLoadedValuesWithoutResettingThem_data() {
        QTest::addColumn<bool>("fileLoad");
        QTest::newRow("file being read") << true;
        QTest::newRow("no flag set") << false;
    }
    void refreshShowsLoadedValuesWithoutResettingThem() {
        QFETCH(bool, fileLoad);
        SelcallEncodeSettings loaded;
        resetSelcallEncodeSettings(loaded);
        loaded.selcall = 0;
        loaded.emgType = 1;
        loaded.emgSequence = "12*#";
        loaded.emgEncodeAlert = 0;
        loaded.emgRepeats = 13;
        loaded.emgCycleRepeatTime = 100;
        loaded.emgTxTimer = 250;
        loaded.aniType = 1;
        loaded.aniSequence = "99";
        loaded.aniAt = 2;
        loaded.multiAniDelay = 7;
        loaded.call3Sequence = "345";
        loaded.call3CheckOpen = 1;
        loaded.call3CheckBusy = 0;
        loaded.call3EncodeAlert = 0;
        loaded.acknowledge2 = "44";
        rec() = loaded;
        flags.fileLoadActive = fileLoad;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.fileLoadActive = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);

        QCOMPARE(page->selcallList()->currentText(), QString("Disable"));
        QCOMPARE(page->emgTypeList()->currentText(), QString("DTMF"));
        QVERIFY(page->emgToneField()->isVisible());
        QCOMPARE(page->emgToneField()->text(), QString("12*#"));
        QCOMPARE(page->emgFieldLabel()->text(), QString("EMG Tone"));
        QVERIFY(page->emgEncodeAlertList()->isEnabled());
        QVERIFY(!page->emgCheckOpenList()->isEnabled());
        QCOMPARE(page->emgRepeatsList()->currentText(), QString("Permanently"));
        QCOMPARE(page->cycleRepeatTimeField()->text(), QString("100"));
        QCOMPARE(page->aniAtList()->currentText(), QString("End"));
        QVERIFY(page->aniAtList()->isEnabled());
        QCOMPARE(page->multiAniDelayField()->text(), QString("7"));
        QCOMPARE(page->call(2).sequence->text(), QString("345"));
        QVERIFY(page->call(2).checkOpen->isEnabled());
        QCOMPARE(page->call(2).checkOpen->currentText(), QString("Enable"));
        QCOMPARE(page->call(2).checkBusy->currentText(), QString("Disable"));
        QVERIFY(!page->call(0).checkOpen->isEnabled());
        QCOMPARE(page->acknowledgeField(1)->text(), QString("44"));

        // Emptying shown values: a refresh with no emergency text disables the options.
        rec().emgSequence.clear();
        page->refreshFromSettings();
        QVERIFY(!page->emgEncodeAlertList()->isEnabled());
        QVERIFY(page->emgToneField()->text().isEmpty());
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
        QTest::keyClicks(page->txTimerField(), "1");
        choose(page->emgRepeatsList(), 5);
        QTest::keyClicks(page->call(0).sequence, "2");
        QVERIFY(edited.count() >= 3);
        QCOMPARE(edited.first().first().toString(), QString("Tx Timer"));
        QCOMPARE(edited.last().first().toString(), QString("Call 1 Sequence"));
    }

    void everyControlIsNamedAndReachable() {
        const QList<QWidget*> controls = page->findChildren<QWidget*>();
        int named = 0;
        for (QWidget* w : controls) {
            if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w)) continue;
            if (qobject_cast<QLineEdit*>(w) && qobject_cast<QComboBox*>(w->parentWidget())) continue;
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->metaObject()->className()));
            QVERIFY(w->focusPolicy() & Qt::TabFocus);
            ++named;
        }
        QCOMPARE(named, 9 + 1 + 5 + 3 + 12);  // emergency, hidden Selcall, ANI, acknowledges, calls
        // Each visible label names its field.
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (!label->buddy() || label->isHidden()) continue;
            if (label->buddy()->isHidden()) continue;
            QCOMPARE(label->buddy()->accessibleName(), label->text());
        }
        // Keyboard order follows the page: emergency, ANI, acknowledges, calls.
        QList<QWidget*> order{page->emgTypeList(),       page->emgSequenceField(), page->emgCheckOpenList(),
                              page->emgCheckBusyList(),  page->emgEncodeAlertList(), page->emgRepeatsList(),
                              page->cycleRepeatTimeField(), page->txTimerField(),  page->aniTypeList(),
                              page->aniSequenceField(),  page->aniAtList(),        page->multiAniDelayField()};
        for (int i = 0; i < 3; ++i) order << page->acknowledgeField(i);
        for (int i = 0; i < 3; ++i)
            order << page->call(i).sequence << page->call(i).checkOpen << page->call(i).checkBusy
                  << page->call(i).encodeAlert;
        verifyTabOrder(order);
    }

    void fitsTheTabArea() {
        QVERIFY2(page->minimumSizeHint().width() <= 1000, qPrintable(QString::number(page->minimumSizeHint().width())));
        QVERIFY2(page->minimumSizeHint().height() <= 650, qPrintable(QString::number(page->minimumSizeHint().height())));
    }
};

QTEST_MAIN(EncodePageTest)
#include "tst_signalling_encode.moc"
