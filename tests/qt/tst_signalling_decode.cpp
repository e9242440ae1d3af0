// Selcall decode page, driven through its widgets.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/SelcallDecodePage.h"

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

constexpr int kControl3 = 5;
constexpr int kGroupCall = 7;

}  // namespace

class DecodePageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    SelcallDecodePage* page = nullptr;
    SelcallDecodeSettings& rec() { return settings.selcallDecode; }

    // Types into a field that has the keyboard focus, then moves the focus away.
    void typeAndLeave(QLineEdit* field, const QString& text) {
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        page->covertRxTimeField()->setFocus();
        QTRY_VERIFY(!field->hasFocus());
    }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.selcallDecode = SelcallDecodeSettings{};
        settings.selcallDecode.decodeEntries[3].text = "stale";
        flags = ViewFlags{};
        page = new SelcallDecodePage(settings, flags);
        page->initialisePage();
        page->resize(1000, 650);
        page->show();
        page->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page));
    }
    void cleanup() { delete page; }

    void initialisationShowsAndStoresDefaults() {
        SelcallDecodeSettings expected;
        resetSelcallDecodeSettings(expected);
        QCOMPARE(rec(), expected);
        for (int i = 0; i < kDecodeEntries; ++i) {
            const auto& e = page->entry(i);
            QVERIFY(e.address->text().isEmpty());
            QVERIFY(!e.action->isEnabled() && !e.ack->isEnabled() && !e.text->isEnabled());
            QCOMPARE(e.action->currentText(), QString("None"));
            QCOMPARE(e.action->count(), 7);
            QCOMPARE(e.ack->itemText(3), QString("ACK 3"));
            QCOMPARE(e.address->maxLength(), 8);
            QCOMPARE(e.text->maxLength(), 8);
        }
        QCOMPARE(page->entry(7).action->itemText(6), QString("Covert Off"));
        QCOMPARE(page->decoderToneLengthField()->text(), QString("40"));
        QCOMPARE(page->covertRxTimeField()->text(), QString("10"));
        QCOMPARE(page->covertTxTimeField()->text(), QString("10"));
        QCOMPARE(page->decoderToneLengthField()->maxLength(), 4);
        QCOMPARE(page->covertTxTimeField()->maxLength(), 3);
    }

    void addressEnablesItsEntryAndEmptyingKeepsValues() {
        const auto& ctrl3 = page->entry(kControl3);
        QTest::keyClicks(ctrl3.address, "12K,e");  // K and comma are refused
        QCOMPARE(ctrl3.address->text(), QString("12e"));
        QCOMPARE(rec().decodeEntries[kControl3].address, std::string("12e"));
        QVERIFY(ctrl3.action->isEnabled() && ctrl3.ack->isEnabled() && ctrl3.text->isEnabled());
        choose(ctrl3.action, 3);
        choose(ctrl3.ack, 2);
        QTest::keyClicks(ctrl3.text, "Gate,1");
        QCOMPARE(rec().decodeEntries[kControl3].action, 3);
        QCOMPARE(rec().decodeEntries[kControl3].ack, 2);
        QCOMPARE(rec().decodeEntries[kControl3].text, std::string("Gate1"));

        backspaces(ctrl3.address, 3);
        QVERIFY(!ctrl3.action->isEnabled() && !ctrl3.ack->isEnabled() && !ctrl3.text->isEnabled());
        QCOMPARE(rec().decodeEntries[kControl3].address, std::string());
        QCOMPARE(rec().decodeEntries[kControl3].action, 3);
        QCOMPARE(rec().decodeEntries[kControl3].ack, 2);
        QCOMPARE(rec().decodeEntries[kControl3].text, std::string("Gate1"));
        QCOMPARE(ctrl3.action->currentText(), QString("Stun"));
        // Neighbouring entries were not touched.
        QVERIFY(!page->entry(kControl3 - 1).action->isEnabled());
        QVERIFY(!page->entry(kControl3 + 1).text->isEnabled());
    }

    void covertTimesAreLimitedTo250WhileTyping_data() {
        QTest::addColumn<bool>("tx");
        QTest::newRow("Covert Tx Time") << true;
        QTest::newRow("Covert Rx Time") << false;
    }
    void covertTimesAreLimitedTo250WhileTyping() {
        QFETCH(bool, tx);
        NumberEdit* field = tx ? page->covertTxTimeField() : page->covertRxTimeField();
        int& target = tx ? rec().covertTxTime : rec().covertRxTime;
        field->clear();
        QStringList shownTexts;
        QList<int> storedValues;
        for (const char* key : {"9", "9", "9"}) {
            QTest::keyClicks(field, key);
            shownTexts << field->text();
            storedValues << target;
        }
        QCOMPARE(shownTexts, QStringList({"9", "99", "250"}));
        QCOMPARE(storedValues, QList<int>({9, 99, 250}));
    }

    void toneLengthSnapsWhenLeft_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("7") << "7" << 5;
        QTest::newRow("8") << "8" << 10;
        QTest::newRow("2000") << "2000" << 1275;
        QTest::newRow("1274") << "1274" << 1275;
        QTest::newRow("42") << "42" << 40;
        QTest::newRow("empty") << "" << 0;
    }
    void toneLengthSnapsWhenLeft() {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        typeAndLeave(page->decoderToneLengthField(), typed);
        QCOMPARE(page->decoderToneLengthField()->text(), QString::number(expected));
        QCOMPARE(rec().decoderToneLength, expected);
    }

    void toneLengthIsStoredOnlyWhenLeft() {
        QLineEdit* field = page->decoderToneLengthField();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClicks(field, "73");
        QCOMPARE(rec().decoderToneLength, 40);
        page->entry(0).address->setFocus();
        QTRY_COMPARE(rec().decoderToneLength, 75);
    }

    void decodeDurationUsesTheFieldsAsShown() {
        QTest::keyClicks(page->entry(0).address, "12345");
        QTest::keyClicks(page->entry(4).address, "ABC");
        QTest::keyClicks(page->entry(kGroupCall).address, "1234567X");
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 320);

        // A tone length typed but not yet left counts as shown.
        QLineEdit* field = page->decoderToneLengthField();
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClicks(field, "50");
        QCOMPARE(rec().decoderToneLength, 40);
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 400);
    }

    void decodeDurationIsZeroWithoutAddresses() {
        rec().decodeDuration = 999;
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 0);
    }

    void refreshShowsTheRecord() {
        SelcallDecodeSettings loaded;
        resetSelcallDecodeSettings(loaded);
        loaded.decodeEntries[1] = DecodeEntry{"2S", 6, 1, "Hi there"};
        loaded.decodeEntries[6] = DecodeEntry{"", 2, 3, "kept"};
        loaded.decoderToneLength = 70;
        loaded.covertRxTime = 250;
        loaded.covertTxTime = 0;
        rec() = loaded;
        flags.fileLoadActive = true;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.fileLoadActive = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(page->entry(1).address->text(), QString("2S"));
        QVERIFY(page->entry(1).action->isEnabled());
        QCOMPARE(page->entry(1).action->currentText(), QString("Covert Off"));
        QCOMPARE(page->entry(1).ack->currentText(), QString("ACK 1"));
        QCOMPARE(page->entry(1).text->text(), QString("Hi there"));
        QVERIFY(!page->entry(6).action->isEnabled());
        QCOMPARE(page->entry(6).ack->currentText(), QString("ACK 3"));
        QCOMPARE(page->entry(6).text->text(), QString("kept"));
        QCOMPARE(page->decoderToneLengthField()->text(), QString("70"));
        QCOMPARE(page->covertRxTimeField()->text(), QString("250"));
        QCOMPARE(page->covertTxTimeField()->text(), QString("0"));
    }

    void selectingTheTabShowsTheToneLength() {
        settings.toneSequence.toneLength = 100;
        page->pageSelected();
        QCOMPARE(page->decoderToneLengthField()->text(), QString("100"));
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 0);
        QTest::keyClicks(page->entry(2).address, "12");
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 200);
    }

    void everyControlIsNamedAndInReadingOrder() {
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy()) QCOMPARE(label->buddy()->accessibleName(), label->text());
        }
        int lists = 0;
        for (QComboBox* list : page->findChildren<QComboBox*>()) {
            QVERIFY(!list->accessibleName().isEmpty());
            ++lists;
        }
        QCOMPARE(lists, 16);
        QCOMPARE(page->entry(kGroupCall).address->accessibleName(), QString("Group Address"));
        QCOMPARE(page->entry(3).address->accessibleName(), QString("Ctrl 1 Address"));
        // Tab goes through the entries in order, then the decoder setup.
        QList<QWidget*> order;
        for (int i = 0; i < kDecodeEntries; ++i)
            order << page->entry(i).address << page->entry(i).action << page->entry(i).ack << page->entry(i).text;
        order << page->decoderToneLengthField() << page->covertRxTimeField() << page->covertTxTimeField();
        verifyTabOrder(order);
    }

    void fitsTheTabArea() {
        QVERIFY(page->minimumSizeHint().width() <= 1000);
        QVERIFY(page->minimumSizeHint().height() <= 650);
    }
};

QTEST_MAIN(DecodePageTest)
#include "tst_signalling_decode.moc"
