// Modem page, driven through its widgets.
#include <QSignalSpy>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/signalling/ModemPage.h"
#include "qt/signalling_support.h"

using namespace ks340;
using namespace sigtest;

class ModemPageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    ModemPage* page = nullptr;
    ModemSettings& rec() { return settings.modem; }

private slots:
    void init() {
        settings = newRadioSettings();
        settings.modem = ModemSettings{};
        flags = ViewFlags{};
        page = new ModemPage(settings, flags);
        page->initialisePage();
        page->show();
    }
    void cleanup() { delete page; }

    void initialisationWritesEveryDefault() {
        ModemSettings expected;
        resetModemSettings(expected);
        QCOMPARE(rec(), expected);
        QCOMPARE(rec().rxOnDelay, 4);  // a setting without a control gets its default too
        QCOMPARE(page->txOnDelayList()->count(), 64);
        QCOMPARE(page->txOffDelayList()->count(), 6);
        QCOMPARE(page->txOnDelayList()->currentText() + page->txOffDelayList()->currentText(), QString("00"));
    }

    void delayChoicesStoreTheirPositions() {
        choose(page->txOnDelayList(), page->txOnDelayList()->findText("252"));
        QCOMPARE(rec().txOnDelay, 63);
        choose(page->txOnDelayList(), page->txOnDelayList()->findText("100"));
        QCOMPARE(rec().txOnDelay, 25);
        choose(page->txOffDelayList(), page->txOffDelayList()->findText("20"));
        QCOMPARE(rec().txOffDelay, 5);
    }

    void modemTextHoldsFortyCharacters() {
        PrintableTextEdit* field = page->modemTextField(4);
        const QString forty = QString("0123456789").repeated(4);
        QTest::keyClicks(field, forty + "X");
        QCOMPARE(rec().modemText[4], forty.toStdString());
        retype(field, "Arrive, 5 min.");
        QCOMPARE(rec().modemText[4], std::string("Arrive 5 min."));
        // Accented letters are kept as their one-byte codes.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier, QString(QChar(0xe9)));
        QApplication::sendEvent(page->modemTextField(1), &press);
        QCOMPARE(rec().modemText[1], std::string("\xe9"));
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
        loaded.modemText[8] = "Z\x9e";  // Windows-1252 z with caron
        loaded.commonSentence[19] = "Bye";
        rec() = loaded;
        flags.fileLoadActive = true;
        QSignalSpy edited(page, &TabPage::settingsEdited);
        page->refreshFromSettings();
        flags.fileLoadActive = false;
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 0);
        QCOMPARE(page->txOnDelayList()->currentText() + "/" + page->txOffDelayList()->currentText(), QString("40/8"));
        QCOMPARE(page->modemTextField(8)->text(), QString::fromUtf8("Z\u017e"));

        QTest::keyClicks(page->modemTextField(0), "New");  // changes only its own field
        loaded.modemText[0] = "New";
        QCOMPARE(rec(), loaded);
        QCOMPARE(edited.count(), 3);
        QCOMPARE(edited.last().first().toString(), QString("Modem Text 1"));
    }

    void keyboardAndNames() {
        verifyNamed(page, 2 + 9);
        QCOMPARE(page->modemTextField(8)->accessibleName(), QString("Modem Text 9"));
        QList<QWidget*> order{page->txOnDelayList(), page->txOffDelayList()};
        for (int i = 0; i < 9; ++i) order << page->modemTextField(i);
        verifyTabOrder(order);
        verifyFitsTab(page);
    }
};

QTEST_MAIN(ModemPageTest)
#include "tst_signalling_modem.moc"
