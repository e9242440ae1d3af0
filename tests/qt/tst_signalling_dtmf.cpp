// DTMF and status page, driven through its widgets.
#include <QSignalSpy>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/DtmfStatusPage.h"
#include "qt/signalling_support.h"

using namespace ks340;
using namespace sigtest;

using Time = DtmfStatusPage::TimeField;

class DtmfPageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    DtmfStatusPage* page = nullptr;
    DtmfSettings& rec() { return settings.dtmf; }

    QList<int> storedTimes() {
        return {rec().dtmfLeadInTime, rec().dtmfLeadOutTime, rec().dtmfMarkTime, rec().dtmfSpaceTime};
    }
    QStringList shownTimes() {
        QStringList result;
        for (Time f : {Time::LeadIn, Time::LeadOut, Time::Mark, Time::Space}) result << page->timeField(f)->text();
        return result;
    }
    // Types into a time field, leaves it, and gives what it then shows.
    QString typeAndLeave(Time f, const QString& keys) {
        focus(page->timeField(f));
        retype(page->timeField(f), keys);
        focus(page->dtmfList());
        return page->timeField(f)->text();
    }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.dtmf = DtmfSettings{};
        flags = ViewFlags{};
        page = new DtmfStatusPage(settings, flags);
        page->initialisePage();
        showActive(page);
    }
    void cleanup() { delete page; }

    void initialisationDisablesDtmf() {
        DtmfSettings expected;
        resetDtmfSettings(expected);
        QCOMPARE(rec(), expected);
        QCOMPARE(page->dtmfList()->currentText(), QString("Disable"));
        QCOMPARE(shownTimes(), QStringList({"300", "160", "70", "50"}));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!page->timeField(static_cast<Time>(i))->isEnabled());
            QVERIFY(!page->decodeAddressField(i)->isEnabled() && !page->decodeActionList(i)->isEnabled());
        }
        QVERIFY(!page->dtmfCodeField(8)->isEnabled());
        QVERIFY(page->statusTextField(9)->isEnabled());
        QCOMPARE(page->decodeActionList(0)->itemText(4), QString("Covert Off"));
    }

    void leadInRoundsWhileTypingAndWhenLeft() {
        choose(page->dtmfList(), 1);
        NumberEdit* leadIn = page->timeField(Time::LeadIn);
        focus(leadIn);
        leadIn->clear();
        QCOMPARE(typeKeys(leadIn, "303", rec().dtmfLeadInTime).stored, QList<int>({3, 30, 303}));
        focus(page->dtmfList());
        QCOMPARE(leadIn->text(), QString("300"));
        QCOMPARE(rec().dtmfLeadInTime, 300);

        focus(leadIn);
        retype(leadIn, "305");
        QCOMPARE(rec().dtmfLeadInTime, 310);
        QCOMPARE(leadIn->text(), QString("305"));
        focus(page->dtmfList());
        QCOMPARE(leadIn->text(), QString("310"));
    }

    void timesStayInTheirRanges() {
        choose(page->dtmfList(), 1);
        focus(page->timeField(Time::LeadOut));
        retype(page->timeField(Time::LeadOut), "2600");
        QCOMPARE(page->timeField(Time::LeadOut)->text(), QString("2550"));
        QCOMPARE(rec().dtmfLeadOutTime, 2550);
        QCOMPARE(typeAndLeave(Time::LeadOut, ""), QString("0"));

        NumberEdit* mark = page->timeField(Time::Mark);
        mark->clear();
        QCOMPARE(typeKeys(mark, "120", rec().dtmfMarkTime).shown, QStringList({"1", "12", "100"}));
        QCOMPARE(rec().dtmfMarkTime, 100);
        QCOMPARE(typeAndLeave(Time::Mark, "30"), QString("50"));
        QCOMPARE(rec().dtmfMarkTime, 50);
        QCOMPARE(typeAndLeave(Time::Space, "94"), QString("90"));
        QCOMPARE(typeAndLeave(Time::Space, "75"), QString("80"));
        QCOMPARE(rec().dtmfSpaceTime, 80);
    }

    void everyChoiceResetsTheTimes() {
        choose(page->dtmfList(), 1);
        QVERIFY(page->dtmfCodeField(8)->isEnabled() && page->decodeAddressField(3)->isEnabled());
        QVERIFY(!page->decodeActionList(3)->isEnabled());  // no address yet
        for (Time f : {Time::LeadIn, Time::LeadOut, Time::Mark, Time::Space}) typeAndLeave(f, "90");
        QCOMPARE(storedTimes(), QList<int>({90, 90, 90, 90}));
        choose(page->dtmfList(), 0);
        QCOMPARE(storedTimes(), QList<int>({300, 160, 70, 50}));
        QVERIFY(!page->dtmfCodeField(0)->isEnabled());
        choose(page->dtmfList(), 1);
        QCOMPARE(storedTimes(), QList<int>({300, 160, 70, 50}));
        QCOMPARE(shownTimes(), QStringList({"300", "160", "70", "50"}));
    }

    void decodeAddressEnablesItsActionAndEmptyingKeepsIt() {
        choose(page->dtmfList(), 1);
        QTest::keyClicks(page->decodeAddressField(2), "12eA#");
        QCOMPARE(rec().dtmfDecodeAddress[2], std::string("12A#"));
        QVERIFY(page->decodeActionList(2)->isEnabled() && !page->decodeActionList(1)->isEnabled());
        choose(page->decodeActionList(2), 3);
        QCOMPARE(page->decodeActionList(2)->currentText(), QString("Covert On"));
        backspaces(page->decodeAddressField(2), 4);
        QVERIFY(!page->decodeActionList(2)->isEnabled());
        QCOMPARE(rec().dtmfDecodeAddress[2], std::string());
        QCOMPARE(rec().dtmfDecodeAction[2], 3);

        QTest::keyClicks(page->decodeAddressField(0), "7");
        choose(page->dtmfList(), 0);
        QVERIFY(!page->decodeActionList(0)->isEnabled());
        choose(page->dtmfList(), 1);
        QVERIFY(page->decodeActionList(0)->isEnabled());
    }

    void numbersAndStatusTextsAreStored() {
        QTest::keyClicks(page->statusTextField(9), "On way,ok!");  // editable with DTMF off
        QCOMPARE(rec().statusText[9], std::string("On wayok"));
        choose(page->dtmfList(), 1);
        QTest::keyClicks(page->dtmfCodeField(0), "0123456789ABCD*#");
        QCOMPARE(rec().dtmfCodes[0], std::string("0123456789ABCD*"));
        QTest::keyClicks(page->dtmfCodeField(8), "9x9");
        QCOMPARE(rec().dtmfCodes[8], std::string("99"));
    }

    void refreshShowsTheRecordWithoutChangingIt() {
        DtmfSettings loaded;
        resetDtmfSettings(loaded);
        loaded.dtmf = 1;
        loaded.dtmfLeadInTime = 305;  // shown as stored
        loaded.dtmfCodes[3] = "*12";
        loaded.dtmfDecodeAddress[1] = "55";
        loaded.dtmfDecodeAction[1] = 4;
        loaded.dtmfDecodeAction[3] = 2;
        loaded.statusText[2] = "Lunch";
        rec() = loaded;
        flags.radioReadDone = true;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.radioReadDone = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(page->dtmfList()->currentText(), QString("Enable"));
        QCOMPARE(shownTimes(), QStringList({"305", "160", "70", "50"}));
        QCOMPARE(page->dtmfCodeField(3)->text(), QString("*12"));
        QVERIFY(page->decodeActionList(1)->isEnabled() && !page->decodeActionList(3)->isEnabled());
        QCOMPARE(page->decodeActionList(1)->currentText() + page->decodeActionList(3)->currentText(),
                 QString("Covert OffRevive"));
        QCOMPARE(page->statusTextField(2)->text(), QString("Lunch"));

        rec().dtmf = 0;
        page->refreshFromSettings();
        QVERIFY(!page->decodeActionList(1)->isEnabled() && !page->timeField(Time::LeadIn)->isEnabled());
    }

    void keyboardAndNames() {
        verifyNamed(page, 1 + 4 + 9 + 10 + 8);
        QCOMPARE(page->statusTextField(9)->accessibleName(), QString("Status 10"));
        QCOMPARE(page->timeField(Time::Mark)->accessibleName(), QString("DTMF Mark Time"));
        QList<QWidget*> order{page->dtmfList()};
        for (Time f : {Time::LeadIn, Time::LeadOut, Time::Mark, Time::Space}) order << page->timeField(f);
        for (int i = 0; i < 9; ++i) order << page->dtmfCodeField(i);
        for (int i = 0; i < 10; ++i) order << page->statusTextField(i);
        for (int i = 0; i < 4; ++i) order << page->decodeAddressField(i) << page->decodeActionList(i);
        verifyTabOrder(order);
        verifyFitsTab(page);
    }
};

QTEST_MAIN(DtmfPageTest)
#include "tst_signalling_dtmf.moc"
