// Channel Setting dialog driven through its controls.
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include "ChannelTestSupport.h"
#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/channel/ChannelSettingDialog.h"
#include "qt/tst_app_support.h"

using namespace ks340;
using namespace ks340::test;

namespace {

// Leaving a field the way Tab does.
void leave(QLineEdit* field) {
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(field, &out);
}

void typeInto(QLineEdit* field, const QString& text) {
    field->clear();
    QTest::keyClicks(field, text);
}

}  // namespace

class ChannelDialogTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ChannelEntry pending;
    int clickedColumn = 0;

    ChannelEntry& channel(int group, int number) { return settings.channelTable.groups[group].channels[number]; }
    void open(int group, int number, int column) {
        settings.channelTable.currentGroup = group;
        settings.channelTable.currentChannel = number;
        clickedColumn = column;
    }
    void setBand(int model, int band) {
        settings.header.model = model;
        settings.header.radioBand = band;
    }

private slots:
    void init() {
        settings = newRadioSettings();
        pending = ChannelEntry{};
        pending.rxSquelch = 77;  // must be replaced on opening
        pending.txSquelch = 77;
    }

    void opensAChannelWithItsValues() {
        ChannelEntry& c = channel(3, 12);
        c.label = "PORT";
        c.rxFrequency = "446.00625";
        c.txFrequency = "446.10000";
        c.rxSquelch = 50;  // DCS entry 11, "072"
        c.rxInverseDcs = 1;
        c.txSquelch = 10;  // CTCSS entry 9, 94.8
        c.txInverseDcs = 1;
        open(3, 12, 4);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        QCOMPARE(d.windowTitle(), QStringLiteral("Channel Setting"));
        QCOMPARE(d.groupField()->text(), QStringLiteral("3"));
        QCOMPARE(d.channelField()->text(), QStringLiteral("12"));
        QCOMPARE(d.labelField()->text(), QStringLiteral("PORT"));
        QCOMPARE(d.rxFrequencyField()->text(), QStringLiteral("446.00625"));
        QCOMPARE(d.txFrequencyField()->text(), QStringLiteral("446.10000"));
        QVERIFY(d.rxDcsButton()->isChecked());
        QVERIFY(d.rxDcsList()->isEnabled());
        QVERIFY(!d.rxCtcssList()->isEnabled());
        QCOMPARE(d.rxDcsList()->currentText(), QStringLiteral("072"));
        QVERIFY(d.rxInverseBox()->isChecked());
        QVERIFY(d.rxInverseBox()->isEnabled());
        QVERIFY(d.txCtcssButton()->isChecked());
        QCOMPARE(d.txCtcssList()->currentText(), QStringLiteral("94.8"));
        QVERIFY(!d.txInverseBox()->isEnabled());
        QCOMPARE(pending.rxSquelch, 50);
        QCOMPARE(pending.txSquelch, 10);
        QCOMPARE(d.rxCtcssList()->count(), 38);
        QCOMPARE(d.rxDcsList()->count(), 83);
        QCOMPARE(d.txDcsList()->itemText(82), QStringLiteral("754"));
        QCOMPARE(d.txCtcssList()->itemText(37), QStringLiteral("250.3"));
    }

    void neverProgrammedChannelShowsNoFrequencies() {
        channel(0, 7).txFrequency = "150.00000";  // left over, no Rx
        open(0, 7, 1);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        QCOMPARE(d.groupField()->text(), QStringLiteral("None"));
        QVERIFY(d.rxFrequencyField()->text().isEmpty());
        QVERIFY(d.txFrequencyField()->text().isEmpty());
        QVERIFY(d.rxOffButton()->isChecked());
        QVERIFY(d.txOffButton()->isChecked());
        QVERIFY(!d.rxCtcssList()->isEnabled() && !d.rxDcsList()->isEnabled());
        QVERIFY(!d.rxInverseBox()->isEnabled() && !d.txInverseBox()->isEnabled());
        QCOMPARE(pending.rxSquelch, 0);
        QCOMPARE(pending.txSquelch, 0);
    }

    void damagedToneCodeOpensAsOff() {
        channel(0, 2).rxFrequency = "150.00000";
        channel(0, 2).rxSquelch = 500;
        open(0, 2, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        QVERIFY(d.rxOffButton()->isChecked());
        QCOMPARE(pending.rxSquelch, 0);
    }

    void focusFollowsTheClickedColumn_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("field");
        QTest::newRow("Label") << 1 << "label";
        QTest::newRow("Rx Freq.") << 2 << "rx";
        QTest::newRow("RX Option") << 3 << "rx";
        QTest::newRow("Tx Freq.") << 4 << "tx";
        QTest::newRow("Tx Option") << 5 << "tx";
    }
    void focusFollowsTheClickedColumn() {
        QFETCH(int, column);
        QFETCH(QString, field);
        open(0, 1, column);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QWidget* expected = field == "label" ? static_cast<QWidget*>(d.labelField())
                            : field == "rx"  ? d.rxFrequencyField()
                                             : d.txFrequencyField();
        QCOMPARE(QApplication::focusWidget(), expected);
    }

    void leavingAFrequencyFieldSnapsIt_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("below even point") << "150.0037"
                                          << "150.00000";
        QTest::newRow("odd point goes up") << "150.007"
                                           << "150.01250";
        QTest::newRow("2.5 kHz multiple") << "150.0025"
                                          << "150.00250";
        QTest::newRow("6.25 kHz multiple") << "150.00625"
                                           << "150.00625";
        QTest::newRow("lower limit") << "148"
                                     << "148.00000";
        QTest::newRow("upper limit") << "174"
                                     << "174.00000";
    }
    void leavingAFrequencyFieldSnapsIt() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        setBand(1, 1);  // VHF2
        open(0, 1, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        typeInto(d.rxFrequencyField(), typed);
        leave(d.rxFrequencyField());
        QCOMPARE(d.rxFrequencyField()->text(), shown);
        // A value that moved is said in the notice line, one that stayed is not.
        const bool moved = typed.toDouble() != shown.toDouble();
        QCOMPARE(d.notices().size(), moved ? 1 : 0);
        QCOMPARE(d.noticeLabel()->isHidden(), !moved);
        if (moved) QVERIFY(d.noticeLabel()->text().endsWith("raster; stored as " + shown));
        typeInto(d.txFrequencyField(), typed);
        leave(d.txFrequencyField());
        QCOMPARE(d.txFrequencyField()->text(), shown);
        // Typing again drops the field's notice until it is left.
        typeInto(d.rxFrequencyField(), typed);
        QCOMPARE(d.notices().size(), moved ? 1 : 0);
    }

    void tabbingOutOfTheFieldSnapsToo() {
        setBand(0, 1);
        open(0, 1, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QCOMPARE(QApplication::focusWidget(), d.rxFrequencyField());
        QTest::keyClicks(d.rxFrequencyField(), QStringLiteral("150.007"));
        QTest::keyClick(d.rxFrequencyField(), Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != d.rxFrequencyField());
        QCOMPARE(d.rxFrequencyField()->text(), QStringLiteral("150.01250"));
    }

    void cancellingWithABadFrequencyDoesNotWarn() {
        setBand(0, 1);
        open(0, 1, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        QTest::keyClicks(d.rxFrequencyField(), QStringLiteral("999"));
        bool warned = false;
        auto box = whenModal<QMessageBox>(
            [&warned](QMessageBox* b) {
                warned = true;
                b->accept();
            },
            40);
        QTest::mouseClick(d.cancelButton(), Qt::LeftButton);
        QTRY_COMPARE(pendingModalPolls(), 0);
        QVERIFY(!warned);
        QCOMPARE(d.result(), int(QDialog::Rejected));
        QVERIFY(!d.isVisible());
    }

    void outOfBandRevertsAndWarns_data() {
        QTest::addColumn<int>("model");
        QTest::addColumn<int>("band");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("warning");
        const QString vhf = "Warning! : Frequency allows VHF2 Band(148~174MHz) Range";
        const QString uhf = "Warning! : Frequency allows UHF2 Band(440~470MHz) Range";
        QTest::newRow("below VHF2") << 0 << 1 << "147.99999" << vhf;
        QTest::newRow("above VHF2") << 1 << 1 << "174.00001" << vhf;
        QTest::newRow("KS-390 UHF2 475") << 1 << 0 << "475" << uhf;
        QTest::newRow("KS-340 UHF2 480.1") << 0 << 0 << "480.1" << uhf;
        QTest::newRow("no number") << 0 << 1 << "abc" << vhf;
    }
    void outOfBandRevertsAndWarns() {
        QFETCH(int, model);
        QFETCH(int, band);
        QFETCH(QString, typed);
        QFETCH(QString, warning);
        setBand(model, band);
        ChannelEntry& c = channel(0, 4);
        c.label = "OLD";
        c.rxFrequency = band == 1 ? "150.00000" : "445.00000";
        c.txFrequency = band == 1 ? "151.00000" : "446.00000";
        open(0, 4, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        typeInto(d.labelField(), QStringLiteral("NEW"));
        typeInto(d.txFrequencyField(), QStringLiteral("152"));
        typeInto(d.rxFrequencyField(), typed);
        auto box = answerBox(QMessageBox::Ok);
        QVERIFY(!d.snapFrequencyField(d.rxFrequencyField()));
        QVERIFY(box->seen);
        QCOMPARE(box->text, warning);
        // Every text field is back at the values it had when the dialog opened.
        QCOMPARE(d.rxFrequencyField()->text(), QString::fromStdString(c.rxFrequency));
        QCOMPARE(d.txFrequencyField()->text(), QString::fromStdString(c.txFrequency));
        QCOMPARE(d.labelField()->text(), QStringLiteral("OLD"));
    }

    void ks340AcceptsUhfUpTo480() {
        setBand(0, 0);
        open(0, 1, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        for (const char* f : {"440", "475", "480"}) {
            typeInto(d.rxFrequencyField(), QString::fromLatin1(f));
            QVERIFY(d.snapFrequencyField(d.rxFrequencyField()));
            QCOMPARE(d.rxFrequencyField()->text(), QString::fromLatin1(f) + ".00000");
        }
    }

    void radioButtonsSetThePendingCode() {
        open(0, 1, 3);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        // The list shows another entry; choosing CTCSS still gives code 1.
        d.rxCtcssList()->setCurrentIndex(9);
        QTest::mouseClick(d.rxCtcssButton(), Qt::LeftButton);
        QCOMPARE(pending.rxSquelch, 1);
        QCOMPARE(d.rxCtcssList()->currentIndex(), 0);
        QVERIFY(d.rxCtcssList()->isEnabled());
        QVERIFY(!d.rxDcsList()->isEnabled());
        // Choosing an entry afterwards takes the entry.
        d.rxCtcssList()->setFocus();
        QTest::keyClick(d.rxCtcssList(), Qt::Key_Down);
        QTest::keyClick(d.rxCtcssList(), Qt::Key_Down);
        QCOMPARE(pending.rxSquelch, 3);

        QTest::mouseClick(d.rxDcsButton(), Qt::LeftButton);
        QCOMPARE(pending.rxSquelch, 39);
        QVERIFY(d.rxDcsList()->isEnabled() && d.rxInverseBox()->isEnabled());
        QVERIFY(!d.rxCtcssList()->isEnabled());
        QCOMPARE(d.rxDcsList()->currentText(), QStringLiteral("023"));
        d.rxDcsList()->setFocus();
        QTest::keyClick(d.rxDcsList(), Qt::Key_End);
        QCOMPARE(pending.rxSquelch, 121);

        QTest::mouseClick(d.rxOffButton(), Qt::LeftButton);
        QCOMPARE(pending.rxSquelch, 0);
        QVERIFY(!d.rxDcsList()->isEnabled() && !d.rxInverseBox()->isEnabled());

        // Transmit is independent.
        QCOMPARE(pending.txSquelch, 0);
        QTest::mouseClick(d.txDcsButton(), Qt::LeftButton);
        QCOMPARE(pending.txSquelch, 39);
        QCOMPARE(pending.rxSquelch, 0);
        // The wheel over a list without the focus leaves the code alone.
        d.txDcsButton()->setFocus();
        ks340test::wheel(d.txDcsList());
        QCOMPARE(pending.txSquelch, 39);
        QCOMPARE(d.txDcsList()->currentText(), QStringLiteral("023"));
    }

    void rxEqualsTxCopiesFrequencyAndSignalling() {
        open(0, 1, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        QTest::mouseClick(d.rxDcsButton(), Qt::LeftButton);
        d.rxInverseBox()->setChecked(true);
        QTest::mouseClick(d.txCtcssButton(), Qt::LeftButton);
        d.txCtcssList()->setCurrentIndex(5);
        typeInto(d.rxFrequencyField(), QStringLiteral("446.007"));
        d.rxEqualsTxButton()->click();                                      // (Alt+key: the Rx field keeps the focus)
        QCOMPARE(d.txFrequencyField()->text(), QStringLiteral("446.007"));  // not yet rounded
        QCOMPARE(d.rxFrequencyField()->text(), QStringLiteral("446.007"));
        QVERIFY(d.txDcsButton()->isChecked());
        QVERIFY(!d.txCtcssButton()->isChecked());
        QCOMPARE(d.txDcsList()->currentText(), QStringLiteral("023"));
        QVERIFY(d.txInverseBox()->isChecked());
        QVERIFY(d.txInverseBox()->isEnabled());
        QCOMPARE(d.txCtcssList()->currentIndex(), 0);
        QVERIFY(!d.txCtcssList()->isEnabled());
        QCOMPARE(pending.txSquelch, 39);

        // CTCSS entry 10 (97.4 Hz) is copied as code 11.
        QTest::mouseClick(d.rxCtcssButton(), Qt::LeftButton);
        d.rxCtcssList()->setCurrentIndex(10);
        d.rxInverseBox()->setChecked(false);
        d.rxEqualsTxButton()->click();
        QVERIFY(d.txCtcssButton()->isChecked());
        QCOMPARE(d.txCtcssList()->currentText(), QStringLiteral("97.4"));
        QCOMPARE(d.txDcsList()->currentIndex(), 0);
        QVERIFY(!d.txDcsList()->isEnabled());
        QVERIFY(!d.txInverseBox()->isChecked());
        QCOMPARE(pending.txSquelch, 11);

        QTest::mouseClick(d.rxOffButton(), Qt::LeftButton);
        d.rxEqualsTxButton()->click();
        QVERIFY(d.txOffButton()->isChecked());
        QCOMPARE(pending.txSquelch, 0);
    }

    void okSnapsBothAndReturnsTheValues() {
        setBand(0, 0);
        open(0, 9, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        d.show();
        QVERIFY(QTest::qWaitForWindowExposed(&d));
        typeInto(d.labelField(), QStringLiteral("A-1"));
        typeInto(d.rxFrequencyField(), QStringLiteral("446.007"));
        typeInto(d.txFrequencyField(), QStringLiteral("446.0037"));
        QTest::mouseClick(d.rxDcsButton(), Qt::LeftButton);
        d.rxInverseBox()->setChecked(true);
        d.okButton()->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.labelText(), QStringLiteral("A-1"));
        QCOMPARE(d.rxFrequencyText(), QStringLiteral("446.01250"));
        QCOMPARE(d.txFrequencyText(), QStringLiteral("446.00000"));
        // Never silently: both moves are said.
        QCOMPARE(d.notices(), QStringList({"446.00700 is not on the 12.5 kHz raster; stored as 446.01250",
                                           "446.00370 is not on the 12.5 kHz raster; stored as 446.00000"}));
        QCOMPARE(d.rxSignalling(), ChannelSettingDialog::SignallingDcs);
        QVERIFY(d.rxInverseDcs());
        QCOMPARE(d.txSignalling(), ChannelSettingDialog::SignallingOff);
        // The record is not touched by the dialog.
        QVERIFY(channel(0, 9).rxFrequency.empty());
    }

    void okWithoutRxAsksForIt() {
        open(0, 1, 4);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        typeInto(d.txFrequencyField(), QStringLiteral("446"));
        auto box = answerBox(QMessageBox::Ok);
        d.okButton()->click();
        QVERIFY(box->seen);
        QCOMPARE(box->text, QStringLiteral("Please input the Rx Frequency!!"));
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QVERIFY(d.rxFrequencyText().isEmpty());
    }

    void okWithOutOfBandRxClosesWithTheOldValues() {
        setBand(0, 0);
        channel(0, 3).rxFrequency = "445.00000";
        open(0, 3, 2);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        typeInto(d.rxFrequencyField(), QStringLiteral("500"));
        auto box = answerBox(QMessageBox::Ok);
        d.okButton()->click();
        QVERIFY(box->seen);
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(d.rxFrequencyText(), QStringLiteral("445.00000"));
    }

    void labelFieldFiltersAndLimits() {
        open(0, 1, 1);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        PrintableTextEdit* label = d.labelField();
        label->clear();
        QTest::keyClicks(label, QStringLiteral("a,b;c!d@"));
        QCOMPARE(label->text(), QStringLiteral("abcd"));
        QTest::keyClicks(label, QStringLiteral("#'()*+-./?\\_"));
        QCOMPARE(label->text().size(), 8);
        QCOMPARE(label->text(), QStringLiteral("abcd#'()"));
    }

    void everyControlHasANameAndTheKeyboardReachesIt() {
        open(0, 1, 1);
        ChannelSettingDialog d(settings.channelTable, settings.header, pending, clickedColumn);
        for (QWidget* w : std::initializer_list<QWidget*>{d.labelField(), d.rxFrequencyField(), d.txFrequencyField(),
                                                          d.rxCtcssList(), d.rxDcsList(), d.txCtcssList(),
                                                          d.txDcsList(), d.groupField(), d.channelField()}) {
            QVERIFY2(!w->accessibleName().isEmpty(), qPrintable(w->objectName()));
            QVERIFY(w->focusPolicy() & Qt::TabFocus);
        }
        QCOMPARE(d.rxFrequencyField()->accessibleName(), QStringLiteral("Rx Frequency"));
        QCOMPARE(d.txFrequencyField()->accessibleName(), QStringLiteral("Tx Frequency"));
    }
};

QTEST_MAIN(ChannelDialogTest)
#include "tst_channel_dialog.moc"
