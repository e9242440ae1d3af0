// Selcall decode page, driven through its widgets.
#include <QSignalSpy>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/SelcallDecodePage.h"
#include "qt/signalling_support.h"

using namespace ks340;
using namespace sigtest;

namespace {
constexpr int kControl3 = 5;
constexpr int kGroupCall = 7;
}  // namespace

class DecodePageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    SelcallDecodePage* page = nullptr;
    SelcallDecodeSettings& rec() { return settings.selcallDecode; }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.selcallDecode = SelcallDecodeSettings{};
        settings.selcallDecode.decodeEntries[3].text = "stale";
        flags = ViewFlags{};
        page = new SelcallDecodePage(settings, flags);
        page->initialisePage();
        showActive(page);
    }
    void cleanup() { delete page; }

    void initialisationShowsAndStoresDefaults() {
        SelcallDecodeSettings expected;
        resetSelcallDecodeSettings(expected);
        QCOMPARE(rec(), expected);
        for (int i = 0; i < kDecodeEntries; ++i) {
            const auto& e = page->entry(i);
            QVERIFY(!e.action->isEnabled() && !e.ack->isEnabled() && !e.text->isEnabled());
            QCOMPARE(e.action->currentText() + e.ack->currentText(), QString("NoneNone"));
            QCOMPARE(e.address->maxLength() + e.text->maxLength(), 16);
        }
        QCOMPARE(page->entry(7).action->itemText(6), QString("Covert Off"));
        QCOMPARE(page->entry(7).ack->itemText(3), QString("ACK 3"));
        QCOMPARE(page->decoderToneLengthField()->text(), QString("40"));
        QCOMPARE(page->covertRxTimeField()->text() + page->covertTxTimeField()->text(), QString("1010"));
    }

    void addressEnablesItsEntryAndEmptyingKeepsValues() {
        const auto& ctrl3 = page->entry(kControl3);
        QTest::keyClicks(ctrl3.address, "12K,e");  // K and comma are refused
        QCOMPARE(rec().decodeEntries[kControl3].address, std::string("12e"));
        QVERIFY(ctrl3.action->isEnabled() && ctrl3.ack->isEnabled() && ctrl3.text->isEnabled());
        choose(ctrl3.action, 3);
        choose(ctrl3.ack, 2);
        QTest::keyClicks(ctrl3.text, "Gate,1");
        const DecodeEntry typed{"12e", 3, 2, "Gate1"};
        QCOMPARE(rec().decodeEntries[kControl3], typed);

        backspaces(ctrl3.address, 3);
        QVERIFY(!ctrl3.action->isEnabled() && !ctrl3.ack->isEnabled() && !ctrl3.text->isEnabled());
        const DecodeEntry emptied{"", 3, 2, "Gate1"};
        QCOMPARE(rec().decodeEntries[kControl3], emptied);
        QCOMPARE(ctrl3.action->currentText(), QString("Stun"));
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
        field->clear();
        const Typed typed = typeKeys(field, "999", tx ? rec().covertTxTime : rec().covertRxTime);
        QCOMPARE(typed.shown, QStringList({"9", "99", "250"}));
        QCOMPARE(typed.stored, QList<int>({9, 99, 250}));
    }

    void toneLengthSnapsWhenLeft_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("expected");
        QTest::newRow("7") << "7" << 5;
        QTest::newRow("8") << "8" << 10;
        QTest::newRow("2000") << "2000" << 1275;
        QTest::newRow("empty") << "" << 0;
    }
    void toneLengthSnapsWhenLeft() {
        QFETCH(QString, typed);
        QFETCH(int, expected);
        focus(page->decoderToneLengthField());
        retype(page->decoderToneLengthField(), typed);
        QCOMPARE(rec().decoderToneLength, 40);  // stored only when left
        focus(page->covertRxTimeField());
        QCOMPARE(page->decoderToneLengthField()->text(), QString::number(expected));
        QCOMPARE(rec().decoderToneLength, expected);
    }

    void decodeDurationUsesTheFieldsAsShown() {
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 0);
        QTest::keyClicks(page->entry(0).address, "12345");
        QTest::keyClicks(page->entry(4).address, "ABC");
        QTest::keyClicks(page->entry(kGroupCall).address, "1234567X");
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 320);

        // A tone length typed but not yet left counts as shown.
        focus(page->decoderToneLengthField());
        retype(page->decoderToneLengthField(), "50");
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 400);
        QCOMPARE(rec().decoderToneLength, 40);
    }

    void refreshShowsTheRecord() {
        SelcallDecodeSettings loaded;
        resetSelcallDecodeSettings(loaded);
        loaded.decodeEntries[1] = DecodeEntry{"2S", 6, 1, "Hi there"};
        loaded.decodeEntries[6] = DecodeEntry{"", 2, 3, "kept"};
        loaded.decoderToneLength = 70;
        loaded.covertRxTime = 250;
        rec() = loaded;
        flags.fileLoadActive = true;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.fileLoadActive = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);
        const auto& call2 = page->entry(1);
        QCOMPARE(call2.address->text(), QString("2S"));
        QVERIFY(call2.action->isEnabled());
        QCOMPARE(call2.action->currentText() + "/" + call2.ack->currentText() + "/" + call2.text->text(),
                 QString("Covert Off/ACK 1/Hi there"));
        QVERIFY(!page->entry(6).action->isEnabled());
        QCOMPARE(page->entry(6).text->text(), QString("kept"));
        QCOMPARE(page->decoderToneLengthField()->text(), QString("70"));
        QCOMPARE(page->covertRxTimeField()->text(), QString("250"));
    }

    void selectingTheTabShowsTheToneLength() {
        settings.toneSequence.toneLength = 100;
        page->pageSelected();
        QCOMPARE(page->decoderToneLengthField()->text(), QString("100"));
        QTest::keyClicks(page->entry(2).address, "12");
        page->collectIntoSettings();
        QCOMPARE(rec().decodeDuration, 200);
    }

    void keyboardAndNames() {
        verifyNamed(page, kDecodeEntries * 4 + 3);
        QCOMPARE(page->entry(kGroupCall).address->accessibleName(), QString("Group Address"));
        QCOMPARE(page->entry(3).address->accessibleName(), QString("Ctrl 1 Address"));
        QList<QWidget*> order;
        for (int i = 0; i < kDecodeEntries; ++i)
            order << page->entry(i).address << page->entry(i).action << page->entry(i).ack << page->entry(i).text;
        order << page->decoderToneLengthField() << page->covertRxTimeField() << page->covertTxTimeField();
        verifyTabOrder(order);
        verifyFitsTab(page);
    }
};

QTEST_MAIN(DecodePageTest)
#include "tst_signalling_decode.moc"
