// DTMF and status page, driven through its widgets.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/DtmfStatusPage.h"

using namespace ks340;

namespace {

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

}  // namespace

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
        for (auto f : {DtmfStatusPage::LeadIn, DtmfStatusPage::LeadOut, DtmfStatusPage::Mark, DtmfStatusPage::Space})
            result << page->timeField(f)->text();
        return result;
    }
    void focus(QWidget* w) {
        w->setFocus();
        QTRY_VERIFY(w->hasFocus());
    }
    void clearFocused(QLineEdit* field) {
        focus(field);
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
    }
    void leave(QLineEdit* field) {
        focus(page->dtmfList());
        QVERIFY(!field->hasFocus());
    }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.dtmf = DtmfSettings{};
        flags = ViewFlags{};
        page = new DtmfStatusPage(settings, flags);
        page->initialisePage();
        page->resize(1000, 650);
        page->show();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
    }
    void cleanup() { delete page; }

    void initialisationDisablesDtmf() {
        DtmfSettings expected;
        resetDtmfSettings(expected);
        QCOMPARE(rec(), expected);
        QCOMPARE(page->dtmfList()->currentText(), QString("Disable"));
        QCOMPARE(shownTimes(), QStringList({"300", "160", "70", "50"}));
        for (int i = 0; i < 4; ++i) {
            QVERIFY(!page->timeField(static_cast<DtmfStatusPage::TimeField>(i))->isEnabled());
            QVERIFY(!page->decodeAddressField(i)->isEnabled());
            QVERIFY(!page->decodeActionList(i)->isEnabled());
            QCOMPARE(page->decodeActionList(i)->currentText(), QString("None"));
            QCOMPARE(page->decodeActionList(i)->count(), 5);
        }
        for (int i = 0; i < 9; ++i) {
            QVERIFY(!page->dtmfCodeField(i)->isEnabled());
            QCOMPARE(page->dtmfCodeField(i)->maxLength(), 15);
        }
        for (int i = 0; i < 10; ++i) {
            QVERIFY(page->statusTextField(i)->isEnabled());
            QCOMPARE(page->statusTextField(i)->maxLength(), 8);
        }
        QCOMPARE(page->decodeActionList(0)->itemText(4), QString("Covert Off"));
    }

    void enablingOpensTheDtmfControls() {
        choose(page->dtmfList(), 1);
        QCOMPARE(rec().dtmf, 1);
        QVERIFY(page->timeField(DtmfStatusPage::Space)->isEnabled());
        QVERIFY(page->dtmfCodeField(8)->isEnabled());
        QVERIFY(page->decodeAddressField(3)->isEnabled());
        QVERIFY(!page->decodeActionList(3)->isEnabled());  // no address yet
        choose(page->dtmfList(), 0);
        QCOMPARE(rec().dtmf, 0);
        QVERIFY(!page->dtmfCodeField(0)->isEnabled());
        QVERIFY(page->statusTextField(0)->isEnabled());
    }

    void leadInRoundsWhileTypingAndWhenLeft() {
        choose(page->dtmfList(), 1);
        NumberEdit* leadIn = page->timeField(DtmfStatusPage::LeadIn);
        clearFocused(leadIn);
        QList<int> whileTyping;
        for (const char* key : {"3", "0", "3"}) {
            QTest::keyClicks(leadIn, key);
            whileTyping << rec().dtmfLeadInTime;
        }
        QCOMPARE(whileTyping, QList<int>({3, 30, 303}));
        QCOMPARE(leadIn->text(), QString("303"));
        leave(leadIn);
        QCOMPARE(leadIn->text(), QString("300"));
        QCOMPARE(rec().dtmfLeadInTime, 300);

        clearFocused(leadIn);
        QTest::keyClicks(leadIn, "305");
        QCOMPARE(rec().dtmfLeadInTime, 310);
        QCOMPARE(leadIn->text(), QString("305"));
        leave(leadIn);
        QCOMPARE(leadIn->text(), QString("310"));
        QCOMPARE(rec().dtmfLeadInTime, 310);
    }

    void leadOutIsLimitedTo2550() {
        choose(page->dtmfList(), 1);
        NumberEdit* leadOut = page->timeField(DtmfStatusPage::LeadOut);
        clearFocused(leadOut);
        QTest::keyClicks(leadOut, "2600");
        QCOMPARE(leadOut->text(), QString("2550"));
        QCOMPARE(rec().dtmfLeadOutTime, 2550);
        leave(leadOut);
        QCOMPARE(leadOut->text(), QString("2550"));
        clearFocused(leadOut);
        leave(leadOut);
        QCOMPARE(leadOut->text(), QString("0"));
        QCOMPARE(rec().dtmfLeadOutTime, 0);
    }

    void markAndSpaceStayWithin50To100() {
        choose(page->dtmfList(), 1);
        NumberEdit* mark = page->timeField(DtmfStatusPage::Mark);
        clearFocused(mark);
        QStringList shownTexts;
        for (const char* key : {"1", "2", "0"}) {
            QTest::keyClicks(mark, key);
            shownTexts << mark->text();
        }
        QCOMPARE(shownTexts, QStringList({"1", "12", "100"}));
        QCOMPARE(rec().dtmfMarkTime, 100);

        clearFocused(mark);
        QTest::keyClicks(mark, "30");
        QCOMPARE(rec().dtmfMarkTime, 30);
        leave(mark);
        QCOMPARE(mark->text(), QString("50"));
        QCOMPARE(rec().dtmfMarkTime, 50);

        NumberEdit* space = page->timeField(DtmfStatusPage::Space);
        clearFocused(space);
        QTest::keyClicks(space, "94");
        leave(space);
        QCOMPARE(space->text(), QString("90"));
        QCOMPARE(rec().dtmfSpaceTime, 90);
        clearFocused(space);
        QTest::keyClicks(space, "75");
        QCOMPARE(rec().dtmfSpaceTime, 80);
        leave(space);
        QCOMPARE(space->text(), QString("80"));
    }

    void everyChoiceResetsTheTimes() {
        choose(page->dtmfList(), 1);
        for (auto f : {DtmfStatusPage::LeadIn, DtmfStatusPage::LeadOut, DtmfStatusPage::Mark, DtmfStatusPage::Space}) {
            clearFocused(page->timeField(f));
            QTest::keyClicks(page->timeField(f), "90");
            leave(page->timeField(f));
        }
        QCOMPARE(storedTimes(), QList<int>({90, 90, 90, 90}));
        choose(page->dtmfList(), 0);
        QCOMPARE(storedTimes(), QList<int>({300, 160, 70, 50}));
        QCOMPARE(shownTimes(), QStringList({"300", "160", "70", "50"}));
        choose(page->dtmfList(), 1);
        QCOMPARE(storedTimes(), QList<int>({300, 160, 70, 50}));
        QCOMPARE(shownTimes(), QStringList({"300", "160", "70", "50"}));
    }

    void decodeAddressEnablesItsActionAndEmptyingKeepsIt() {
        choose(page->dtmfList(), 1);
        QTest::keyClicks(page->decodeAddressField(2), "12eA#");
        QCOMPARE(rec().dtmfDecodeAddress[2], std::string("12A#"));
        QVERIFY(page->decodeActionList(2)->isEnabled());
        QVERIFY(!page->decodeActionList(1)->isEnabled());
        choose(page->decodeActionList(2), 3);
        QCOMPARE(rec().dtmfDecodeAction[2], 3);
        QCOMPARE(page->decodeActionList(2)->currentText(), QString("Covert On"));
        backspaces(page->decodeAddressField(2), 4);
        QVERIFY(!page->decodeActionList(2)->isEnabled());
        QCOMPARE(rec().dtmfDecodeAddress[2], std::string());
        QCOMPARE(rec().dtmfDecodeAction[2], 3);

        // Switching DTMF off closes the list even with an address.
        QTest::keyClicks(page->decodeAddressField(0), "7");
        QVERIFY(page->decodeActionList(0)->isEnabled());
        choose(page->dtmfList(), 0);
        QVERIFY(!page->decodeActionList(0)->isEnabled());
        choose(page->dtmfList(), 1);
        QVERIFY(page->decodeActionList(0)->isEnabled());
    }

    void numbersAndStatusTextsAreStored() {
        choose(page->dtmfList(), 1);
        QTest::keyClicks(page->dtmfCodeField(0), "0123456789ABCD*#");
        QCOMPARE(rec().dtmfCodes[0], std::string("0123456789ABCD*"));
        QTest::keyClicks(page->dtmfCodeField(8), "9x9");
        QCOMPARE(rec().dtmfCodes[8], std::string("99"));
        QTest::keyClicks(page->statusTextField(9), "On way,ok!");
        QCOMPARE(rec().statusText[9], std::string("On wayok"));
        QCOMPARE(page->statusTextField(9)->accessibleName(), QString("Status 10"));
        QCOMPARE(page->statusTextField(0)->accessibleName(), QString("Status 01"));
    }

    void statusTextsStayEditableWithDtmfOff() {
        QTest::keyClicks(page->statusTextField(4), "Busy");
        QCOMPARE(rec().statusText[4], std::string("Busy"));
        QCOMPARE(rec().dtmf, 0);
    }

    void refreshShowsTheRecordWithoutChangingIt() {
        DtmfSettings loaded;
        resetDtmfSettings(loaded);
        loaded.dtmf = 1;
        loaded.dtmfLeadInTime = 305;  // not a multiple of 10: shown as stored
        loaded.dtmfMarkTime = 100;
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
        QCOMPARE(shownTimes(), QStringList({"305", "160", "100", "50"}));
        QVERIFY(page->timeField(DtmfStatusPage::LeadIn)->isEnabled());
        QCOMPARE(page->dtmfCodeField(3)->text(), QString("*12"));
        QVERIFY(page->decodeActionList(1)->isEnabled());
        QCOMPARE(page->decodeActionList(1)->currentText(), QString("Covert Off"));
        QVERIFY(!page->decodeActionList(3)->isEnabled());
        QCOMPARE(page->decodeActionList(3)->currentText(), QString("Revive"));
        QCOMPARE(page->statusTextField(2)->text(), QString("Lunch"));

        rec().dtmf = 0;
        page->refreshFromSettings();
        QVERIFY(!page->decodeActionList(1)->isEnabled());
        QVERIFY(!page->timeField(DtmfStatusPage::LeadIn)->isEnabled());
        QCOMPARE(rec().dtmfLeadInTime, 305);
    }

    void everyControlIsNamedAndInReadingOrder() {
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy()) QCOMPARE(label->buddy()->accessibleName(), label->text());
        }
        for (QComboBox* list : page->findChildren<QComboBox*>()) QVERIFY(!list->accessibleName().isEmpty());
        QCOMPARE(page->timeField(DtmfStatusPage::Mark)->accessibleName(), QString("DTMF Mark Time"));
        QCOMPARE(page->dtmfCodeField(4)->accessibleName(), QString("DTMF 5"));

        QList<QWidget*> order{page->dtmfList()};
        for (auto f : {DtmfStatusPage::LeadIn, DtmfStatusPage::LeadOut, DtmfStatusPage::Mark, DtmfStatusPage::Space})
            order << page->timeField(f);
        for (int i = 0; i < 9; ++i) order << page->dtmfCodeField(i);
        for (int i = 0; i < 10; ++i) order << page->statusTextField(i);
        for (int i = 0; i < 4; ++i) order << page->decodeAddressField(i) << page->decodeActionList(i);
        QList<QWidget*> chain;
        QWidget* w = order.first();
        do {
            if (w->focusPolicy() & Qt::TabFocus) chain << w;
            w = w->nextInFocusChain();
        } while (w != order.first() && chain.size() < 1000);
        int last = -1;
        for (QWidget* x : order) {
            QVERIFY2(chain.indexOf(x) > last, qPrintable(x->accessibleName()));
            last = chain.indexOf(x);
        }
    }

    void fitsTheTabArea() {
        QVERIFY(page->minimumSizeHint().width() <= 1000);
        QVERIFY(page->minimumSizeHint().height() <= 650);
    }
};

QTEST_MAIN(DtmfPageTest)
#include "tst_signalling_dtmf.moc"
