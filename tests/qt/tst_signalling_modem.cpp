// Modem page, driven through its widgets.
#include <QComboBox>
#include <QLabel>
#include <QSignalSpy>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/ModemPage.h"

using namespace ks340;

class ModemPageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    ModemPage* page = nullptr;
    ModemSettings& rec() { return settings.modem; }

    static void chooseText(QComboBox* list, const QString& text) {
        // Typing the item's text selects it, as the keyboard does.
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Home);
        const int target = list->findText(text);
        QVERIFY(target >= 0);
        for (int i = 0; i < target; ++i) QTest::keyClick(list, Qt::Key_Down);
        QCOMPARE(list->currentText(), text);
    }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.modem = ModemSettings{};
        flags = ViewFlags{};
        page = new ModemPage(settings, flags);
        page->initialisePage();
        page->resize(1000, 650);
        page->show();
    }
    void cleanup() { delete page; }

    void initialisationWritesEveryDefault() {
        ModemSettings expected;
        resetModemSettings(expected);
        QCOMPARE(rec(), expected);
        // The settings without a control get their defaults too.
        QCOMPARE(rec().modemBaudRate, 1);
        QCOMPARE(rec().txDelayTime, 1);
        QCOMPARE(rec().rxOnDelay, 4);
        QCOMPARE(page->txOnDelayList()->count(), 64);
        QCOMPARE(page->txOnDelayList()->itemText(63), QString("252"));
        QCOMPARE(page->txOffDelayList()->count(), 6);
        QCOMPARE(page->txOffDelayList()->itemText(5), QString("20"));
        QCOMPARE(page->txOnDelayList()->currentText(), QString("0"));
        QCOMPARE(page->txOffDelayList()->currentText(), QString("0"));
        for (int i = 0; i < 9; ++i) QVERIFY(page->modemTextField(i)->text().isEmpty());
    }

    void delayChoicesStoreTheirPositions() {
        chooseText(page->txOnDelayList(), "252");
        QCOMPARE(rec().txOnDelay, 63);
        chooseText(page->txOnDelayList(), "100");
        QCOMPARE(rec().txOnDelay, 25);
        chooseText(page->txOffDelayList(), "20");
        QCOMPARE(rec().txOffDelay, 5);
    }

    void modemTextHoldsFortyCharacters() {
        PrintableTextEdit* field = page->modemTextField(4);
        const QString forty = QString("0123456789").repeated(4);
        QTest::keyClicks(field, forty + "X");
        QCOMPARE(field->text(), forty);
        QCOMPARE(rec().modemText[4], forty.toStdString());
        field->clear();
        QTest::keyClicks(field, "Arrive, 5 min.");
        QCOMPARE(rec().modemText[4], std::string("Arrive 5 min."));
        QVERIFY(rec().modemText[3].empty());
    }

    void refreshKeepsTheHiddenValues() {
        ModemSettings loaded;
        resetModemSettings(loaded);
        loaded.modemBaudRate = 0;
        loaded.initializingDataForHt = 1;
        loaded.txDelayTime = 5;
        loaded.rxOnDelay = 30;
        loaded.txOnDelay = 10;
        loaded.txOffDelay = 2;
        loaded.modemText[8] = "Last line";
        loaded.commonSentence[0] = "Hello";
        loaded.commonSentence[19] = "Bye";
        rec() = loaded;
        flags.fileLoadActive = true;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.fileLoadActive = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(page->txOnDelayList()->currentText(), QString("40"));
        QCOMPARE(page->txOffDelayList()->currentText(), QString("8"));
        QCOMPARE(page->modemTextField(8)->text(), QString("Last line"));

        // A later edit changes only its own field.
        QTest::keyClicks(page->modemTextField(0), "New");
        ModemSettings expected = loaded;
        expected.modemText[0] = "New";
        QCOMPARE(rec(), expected);
        QCOMPARE(edited.count(), 3);
        QCOMPARE(edited.last().first().toString(), QString("Modem Text 1"));
    }

    void accentedTextIsStoredAsOneByteCharacters() {
        QTest::keyClicks(page->modemTextField(1), "Caf");
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
        QApplication::sendEvent(page->modemTextField(1), &press);
        QCOMPARE(rec().modemText[1], std::string("Caf\xe9"));
        rec().modemText[2] = "Z\x9e";  // Windows-1252 z with caron
        page->refreshFromSettings();
        QCOMPARE(page->modemTextField(2)->text(), QString::fromUtf8("Z\u017e"));
    }

    void everyControlIsNamed() {
        for (QLabel* label : page->findChildren<QLabel*>()) {
            if (label->buddy()) QCOMPARE(label->buddy()->accessibleName(), label->text());
        }
        QCOMPARE(page->txOnDelayList()->accessibleName(), QString("Tx On Delay"));
        QCOMPARE(page->modemTextField(8)->accessibleName(), QString("Modem Text 9"));
        QWidget* w = page->txOnDelayList();
        QList<QWidget*> chain;
        do {
            if (w->focusPolicy() & Qt::TabFocus) chain << w;
            w = w->nextInFocusChain();
        } while (w != page->txOnDelayList() && chain.size() < 100);
        QCOMPARE(chain.indexOf(page->txOffDelayList()), 1);
        for (int i = 0; i < 9; ++i) QCOMPARE(chain.indexOf(page->modemTextField(i)), 2 + i);
    }

    void fitsTheTabArea() {
        QVERIFY(page->minimumSizeHint().width() <= 1000);
        QVERIFY(page->minimumSizeHint().height() <= 650);
    }
};

QTEST_MAIN(ModemPageTest)
#include "tst_signalling_modem.moc"
