// Channel table page driven through its grid, buttons and dialogs.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "ChannelTestSupport.h"
#include "controls/FilterEdit.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/SettingFile.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelSettingDialog.h"
#include "pages/channel/ChannelTablePage.h"
#include "pages/channel/GroupSetDialog.h"
#include "pages/channel/GroupSettingDialog.h"

using namespace ks340;
using namespace ks340::test;
using P = ChannelTablePage;

namespace {

// Types into the dialog's fields and presses OK.
struct Entry {
    QString label;
    QString rx;
    QString tx;
    int rxChoice = 0;    // 0 Off, 1 CTCSS, 2 DCS
    int rxListDown = 0;  // Down presses in the chosen list
    bool rxInverse = false;
};

std::shared_ptr<bool> fillDialog(const Entry& e, bool ok = true) {
    return whenModal<ChannelSettingDialog>([e, ok](ChannelSettingDialog* d) {
        d->labelField()->setText(e.label);
        d->rxFrequencyField()->setText(e.rx);
        d->txFrequencyField()->setText(e.tx);
        if (e.rxChoice == 1) {
            d->rxCtcssButton()->click();
            for (int i = 0; i < e.rxListDown; ++i) QTest::keyClick(d->rxCtcssList(), Qt::Key_Down);
        } else if (e.rxChoice == 2) {
            d->rxDcsButton()->click();
            for (int i = 0; i < e.rxListDown; ++i) QTest::keyClick(d->rxDcsList(), Qt::Key_Down);
            d->rxInverseBox()->setChecked(e.rxInverse);
        }
        if (ok)
            d->okButton()->click();
        else
            d->reject();
    });
}

QStringList rowTexts(const ChannelTablePage& page, int channel) {
    QStringList texts;
    for (int c = 0; c < P::ColumnCount; ++c) texts << page.cellText(channel, c);
    return texts;
}

// Everything the grid shows, row by row.
QList<QStringList> gridTexts(const ChannelTablePage& page) {
    QList<QStringList> rows;
    for (int ch = 0; ch <= page.shownChannels(); ++ch) rows << rowTexts(page, ch);
    return rows;
}

void program(ChannelEntry& c, const char* rx, const char* tx = "") {
    c.inUse = 1;
    c.rxFrequency = rx;
    c.txFrequency = tx;
    c.bandwidth = 1;
    c.txPower = 1;
}

}  // namespace

class ChannelPageTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ViewFlags flags;
    std::unique_ptr<ChannelTablePage> page;

    ChannelTable& table() { return settings.channelTable; }
    ChannelEntry& channel(int group, int number) { return table().groups[group].channels[number]; }

    // Opens the Group Setting dialog from the page and sets the given
    // capabilities (group, text) through Group Set, then closes with OK.
    bool setGroups(const QList<QPair<int, QString>>& sizes, bool ok = true) {
        auto ran = whenModal<GroupSettingDialog>([sizes, ok](GroupSettingDialog* d) {
            for (const auto& [group, text] : sizes) {
                whenModal<GroupSetDialog>([text](GroupSetDialog* set) {
                    set->capabilityField()->setText(text);
                    set->accept();
                });
                emit d->grid()->cellChosen(group - 1, 1);
            }
            if (ok)
                d->accept();
            else
                d->reject();
        });
        page->groupSettingButton()->click();
        return *ran;
    }

private slots:
    void init() {
        settings = newRadioSettings();
        flags = ViewFlags{};
        page = std::make_unique<ChannelTablePage>(settings, flags);
        page->resize(1000, 600);
        page->refreshChannelPage();
    }
    void cleanup() { page.reset(); }

    void newConfigurationShowsNumberedEmptyRows() {
        QCOMPARE(page->shownChannels(), 208);
        QCOMPARE(page->modeField()->text(), QStringLiteral("All Channel Scan Mode"));
        QVERIFY(page->modeField()->isReadOnly());
        QVERIFY(page->groupNumberList()->isHidden());
        QVERIFY(page->groupNumberLabel()->isHidden());
        const QStringList headers = {"   CH  ",      "  Label  ",       "   Rx Freq.   ", "  RX Option  ",
                                     "  Tx Freq.  ", "  Tx Option  ",   "  Scan CH  ",    "  BandWidth  ",
                                     "  Tx Power  ", "  Priority CH  ", "  PowON CH  "};
        QCOMPARE(page->grid()->columnCount(), 11);
        for (int c = 0; c < 11; ++c) {
            QCOMPARE(page->grid()->horizontalHeaderItem(c)->text(), headers[c]);
            QCOMPARE(page->cellText(0, c), headers[c]);
        }
        QVERIFY(page->grid()->horizontalHeader()->font().bold());
        for (int ch = 1; ch <= 208; ++ch) {
            QCOMPARE(page->cellText(ch, 0), QString::number(ch));
            for (int c = 1; c < 11; ++c) QVERIFY2(page->cellText(ch, c).isEmpty(), qPrintable(QString::number(ch)));
        }
        QTableWidgetItem* number = page->grid()->item(41, 0);
        QVERIFY(number->font().bold());
        QCOMPARE(number->textAlignment(), int(Qt::AlignHCenter | Qt::AlignTop));
        QCOMPARE(page->grid()->accessibleName(), QStringLiteral("Channels"));
    }

    void programmingThroughTheDialogGivesSAndHigh() {
        settings.header.radioBand = 0;  // UHF2
        QSignalSpy edited(page.get(), &TabPage::settingsEdited);
        auto ran = fillDialog({"Base 1", "446.007", "446.1", 1, 3, false});
        page->chooseCell(5, P::ColumnRxFrequency);
        QVERIFY(*ran);
        QCOMPARE(rowTexts(*page, 5), QStringList({"5", "Base 1", "446.01250", "CTCSS : 77.0", "446.10000", "OFF", "",
                                                  "S", "High", "", ""}));
        const ChannelEntry& c = channel(0, 5);
        QCOMPARE(c.inUse, 1);
        QCOMPARE(c.label, std::string("Base 1"));
        QCOMPARE(c.rxFrequency, std::string("446.01250"));
        QCOMPARE(c.txFrequency, std::string("446.10000"));
        QCOMPARE(c.rxSquelch, 4);
        QCOMPARE(c.txSquelch, 0);
        QCOMPARE(c.bandwidth, 1);
        QCOMPARE(c.txPower, 1);
        QCOMPARE(table().currentChannel, 5);
        QCOMPARE(edited.count(), 1);
        QCOMPARE(edited.at(0).at(0).toString(), QStringLiteral("Set channel 5 Rx Freq."));
        // The dialog moved the typed value onto the raster at OK: the page says so.
        QCOMPARE(page->noticeText(), QStringLiteral("446.00700 is not on the 12.5 kHz raster; stored as 446.01250"));

        // "N" and "Low" survive programming the channel again.
        page->chooseCell(5, P::ColumnBandwidth);
        page->chooseCell(5, P::ColumnTxPower);
        QCOMPARE(page->cellText(5, P::ColumnBandwidth), QStringLiteral("N"));
        QCOMPARE(page->cellText(5, P::ColumnTxPower), QStringLiteral("Low"));
        auto filled1 = fillDialog({"Base 1", "446.5", "", 2, 1, true});
        page->chooseCell(5, P::ColumnLabel);
        QVERIFY(*filled1);
        QCOMPARE(rowTexts(*page, 5),
                 QStringList({"5", "Base 1", "446.50000", "Inv DCS : 025", "", "", "", "N", "Low", "", ""}));
        QCOMPARE(channel(0, 5).bandwidth, 0);
        QCOMPARE(channel(0, 5).txPower, 0);
        QCOMPARE(channel(0, 5).rxSquelch, 40);
        QCOMPARE(channel(0, 5).rxInverseDcs, 1);
        QVERIFY(channel(0, 5).txFrequency.empty());
    }

    void cancelOrEmptyRxLeavesTheChannel() {
        program(channel(0, 3), "446.00000", "447.00000");
        channel(0, 3).label = "KEEP";
        page->showGroup(0);
        const ChannelEntry before = channel(0, 3);
        const QStringList shown = rowTexts(*page, 3);
        QSignalSpy edited(page.get(), &TabPage::settingsEdited);
        auto filled2 = fillDialog({"NEW", "448", "448", 0, 0, false}, false);
        page->chooseCell(3, P::ColumnTxFrequency);
        QVERIFY(*filled2);
        QCOMPARE(channel(0, 3), before);
        auto box = answerBox(QMessageBox::Ok);
        auto filled3 = fillDialog({"NEW", "", "448", 0, 0, false});
        page->chooseCell(3, P::ColumnTxFrequency);
        QVERIFY(*filled3);
        QVERIFY(box->seen);
        QCOMPARE(box->text, QStringLiteral("Please input the Rx Frequency!!"));
        QCOMPARE(channel(0, 3), before);
        QCOMPARE(rowTexts(*page, 3), shown);
        QCOMPARE(edited.count(), 0);
    }

    void switchesOnEmptyRowsDoNothing() {
        settings.option.scanTx = kScanTxNormal;
        const ChannelTable before = table();
        QSignalSpy edited(page.get(), &TabPage::settingsEdited);
        for (int col = P::ColumnScan; col <= P::ColumnPowerOn; ++col) page->chooseCell(9, col);
        for (int g = 0; g < kGroupSlots; ++g) QCOMPARE(table().groups[g], before.groups[g]);
        for (int col = 1; col < P::ColumnCount; ++col) QVERIFY(page->cellText(9, col).isEmpty());
        QCOMPARE(edited.count(), 0);
        QCOMPARE(settings.option.scanTx, kScanTxNormal);
    }

    void scanBandwidthAndPowerToggle() {
        program(channel(0, 2), "150.00000");
        page->showGroup(0);
        page->chooseCell(2, P::ColumnScan);
        QCOMPARE(page->cellText(2, P::ColumnScan), QStringLiteral("ON"));
        QCOMPARE(channel(0, 2).scanChannel, 1);
        QCOMPARE(table().anyScanChannel, 1);
        page->chooseCell(2, P::ColumnScan);
        QVERIFY(page->cellText(2, P::ColumnScan).isEmpty());
        QCOMPARE(table().anyScanChannel, 0);
        page->chooseCell(2, P::ColumnBandwidth);
        QCOMPARE(page->cellText(2, P::ColumnBandwidth), QStringLiteral("N"));
        QCOMPARE(channel(0, 2).bandwidth, 0);
        page->chooseCell(2, P::ColumnBandwidth);
        QCOMPARE(page->cellText(2, P::ColumnBandwidth), QStringLiteral("S"));
        page->chooseCell(2, P::ColumnTxPower);
        QCOMPARE(page->cellText(2, P::ColumnTxPower), QStringLiteral("Low"));
        QCOMPARE(channel(0, 2).txPower, 0);
        // Column 0 does nothing.
        const ChannelEntry before = channel(0, 2);
        const QStringList shown = rowTexts(*page, 2);
        page->chooseCell(2, P::ColumnChannel);
        QCOMPARE(channel(0, 2), before);
        QCOMPARE(rowTexts(*page, 2), shown);
        QCOMPARE(table().currentChannel, 2);
    }

    void priorityIsOneOfManyAndMovesScanTx() {
        program(channel(0, 1), "150.00000");
        program(channel(0, 2), "150.01250");
        page->showGroup(0);
        settings.option.scanTx = kScanTxNormal;
        page->chooseCell(1, P::ColumnPriority);
        QCOMPARE(page->cellText(1, P::ColumnPriority), QStringLiteral("ON"));
        QCOMPARE(settings.option.scanTx, kScanTxPriorityScan);
        page->chooseCell(2, P::ColumnPriority);
        QVERIFY(page->cellText(1, P::ColumnPriority).isEmpty());
        QCOMPARE(page->cellText(2, P::ColumnPriority), QStringLiteral("ON"));
        QCOMPARE(channel(0, 1).priorityChannel, 0);
        QCOMPARE(channel(0, 2).priorityChannel, 1);
        QCOMPARE(settings.option.scanTx, kScanTxPriorityScan);
        // Clicking the marked row removes the mark.
        table().groups[0].priorityChannel = 2;
        page->chooseCell(2, P::ColumnPriority);
        QVERIFY(page->cellText(2, P::ColumnPriority).isEmpty());
        QCOMPARE(channel(0, 2).priorityChannel, 0);
        QCOMPARE(table().groups[0].priorityChannel, 0);
        QCOMPARE(settings.option.scanTx, kScanTxNormal);
        // "Rx Only/No Tx" <-> "Priority Only Tx".
        settings.option.scanTx = kScanTxRxOnly;
        page->chooseCell(1, P::ColumnPriority);
        QCOMPARE(settings.option.scanTx, kScanTxPriorityOnly);
        page->chooseCell(1, P::ColumnPriority);
        QCOMPARE(settings.option.scanTx, kScanTxRxOnly);
    }

    void powerOnIsOneOfManyWithoutScanTx() {
        program(channel(0, 4), "150.00000");
        program(channel(0, 6), "150.02500");
        page->showGroup(0);
        settings.option.scanTx = kScanTxNormal;
        page->chooseCell(4, P::ColumnPowerOn);
        page->chooseCell(6, P::ColumnPowerOn);
        QVERIFY(page->cellText(4, P::ColumnPowerOn).isEmpty());
        QCOMPARE(page->cellText(6, P::ColumnPowerOn), QStringLiteral("ON"));
        QCOMPARE(channel(0, 4).powerOnChannel, 0);
        QCOMPARE(channel(0, 6).powerOnChannel, 1);
        table().groups[0].powerOnChannel = 6;
        page->chooseCell(6, P::ColumnPowerOn);
        QVERIFY(page->cellText(6, P::ColumnPowerOn).isEmpty());
        QCOMPARE(table().groups[0].powerOnChannel, 0);
        QCOMPARE(settings.option.scanTx, kScanTxNormal);
    }

    void channelClearAsksFirst() {
        program(channel(0, 3), "150.00000", "151.00000");
        channel(0, 3).label = "GONE";
        channel(0, 3).rxStepCode = 2;
        page->showGroup(0);
        settings.option.scanTx = kScanTxNormal;
        page->chooseCell(3, P::ColumnPriority);
        QCOMPARE(settings.option.scanTx, kScanTxPriorityScan);
        page->grid()->setCurrentCell(2, 1);

        const ChannelEntry before = channel(0, 3);
        auto no = answerBox(QMessageBox::No);
        page->channelClearButton()->click();
        QVERIFY(no->seen);
        QCOMPARE(no->title, QStringLiteral("One Channel Clear"));
        QCOMPARE(no->text, QStringLiteral("    Really Clear?"));
        QCOMPARE(channel(0, 3), before);
        QCOMPARE(page->cellText(3, P::ColumnLabel), QStringLiteral("GONE"));

        auto yes = answerBox(QMessageBox::Yes);
        page->channelClearButton()->click();
        QVERIFY(yes->seen);
        QCOMPARE(channel(0, 3), ChannelEntry{});
        QCOMPARE(rowTexts(*page, 3), QStringList({"3", "", "", "", "", "", "", "", "", "", ""}));
        // It was the priority channel.
        QCOMPARE(settings.option.scanTx, kScanTxNormal);
    }

    void keyboardWorksLikeDoubleClick() {
        program(channel(0, 8), "150.00000");
        page->showGroup(0);
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        page->grid()->setFocus();
        page->grid()->setCurrentCell(7, P::ColumnScan);
        QTest::keyClick(page->grid(), Qt::Key_Space);
        QCOMPARE(page->cellText(8, P::ColumnScan), QStringLiteral("ON"));
        page->grid()->setCurrentCell(7, P::ColumnBandwidth);
        QTest::keyClick(page->grid(), Qt::Key_Return);
        QCOMPARE(page->cellText(8, P::ColumnBandwidth), QStringLiteral("N"));

        QString shownChannel;
        auto opened = whenModal<ChannelSettingDialog>([&shownChannel](ChannelSettingDialog* d) {
            shownChannel = d->channelField()->text();
            d->reject();
        });
        page->grid()->setCurrentCell(7, P::ColumnTxOption);
        QTest::keyClick(page->grid(), Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(*opened);
        QCOMPARE(shownChannel, QStringLiteral("8"));
        QCOMPARE(page->clickedColumn(), int(P::ColumnTxOption));

        page->grid()->setCurrentCell(7, P::ColumnLabel);
        auto no = answerBox(QMessageBox::No);
        QTest::keyClick(page->grid(), Qt::Key_Delete);
        QVERIFY(no->seen);
        QCOMPARE(no->text, QStringLiteral("    Really Clear?"));
        QCOMPARE(channel(0, 8).rxFrequency, std::string("150.00000"));
        auto yes = answerBox(QMessageBox::Yes);
        QTest::keyClick(page->grid(), Qt::Key_Delete);
        QVERIFY(yes->seen);
        QVERIFY(channel(0, 8).rxFrequency.empty());
        QVERIFY(page->cellText(8, P::ColumnRxFrequency).isEmpty());
        QCOMPARE(table().anyScanChannel, 0);
    }

    void allChannelClearEmptiesTheShownGroup() {
        for (int ch : {1, 100, 208}) {
            program(channel(0, ch), "150.00000");
            channel(0, ch).scanChannel = 1;
        }
        table().groups[0].priorityChannel = 100;
        table().prep.scanMask.fill(0xFF);
        table().prep.scanMask2.fill(0xFF);
        table().prep.programmedMask.fill(0xFF);
        page->showGroup(0);
        auto no = answerBox(QMessageBox::No);
        page->allChannelClearButton()->click();
        QVERIFY(no->seen);
        QCOMPARE(no->title, QStringLiteral("All Channel Clear"));
        QCOMPARE(no->text, QStringLiteral("Really All Channel Clear?"));
        QCOMPARE(channel(0, 100).rxFrequency, std::string("150.00000"));

        auto yes = answerBox(QMessageBox::Yes);
        page->allChannelClearButton()->click();
        QVERIFY(yes->seen);
        for (int ch : {1, 100, 208}) {
            QVERIFY(channel(0, ch).rxFrequency.empty());
            QCOMPARE(channel(0, ch).inUse, 1);  // kept, as are the step codes
            QVERIFY(page->cellText(ch, P::ColumnScan).isEmpty());
        }
        QCOMPARE(table().groups[0].priorityChannel, 0);
        QCOMPARE(table().prep.scanMask[0], 0);
        QCOMPARE(table().prep.programmedMask[25], 0);
        QCOMPARE(table().prep.scanMask2[0], 0xFF);
        QCOMPARE(page->shownChannels(), 208);
    }

    void creatingGroupsEmptiesTheTableAndShowsTheFirst() {
        program(channel(0, 1), "150.00000");
        program(channel(0, 2), "150.01250");
        page->showGroup(0);
        QSignalSpy edited(page.get(), &TabPage::settingsEdited);
        QVERIFY(setGroups({{4, "10"}, {2, "5"}}));
        QCOMPARE(table().scanMode, 1);
        QCOMPARE(table().appliedScanMode, 1);
        QCOMPARE(page->modeField()->text(), QStringLiteral("Group Scan Mode"));
        QVERIFY(!page->groupNumberList()->isHidden());
        QVERIFY(!page->groupNumberLabel()->isHidden());
        QCOMPARE(page->groupNumberList()->count(), 2);
        QCOMPARE(page->groupNumberList()->itemText(0), QStringLiteral("2"));
        QCOMPARE(page->groupNumberList()->itemText(1), QStringLiteral("4"));
        QCOMPARE(page->groupNumberList()->currentIndex(), 0);
        QCOMPARE(table().currentGroup, 2);
        QCOMPARE(page->shownChannels(), 5);
        QVERIFY(channel(0, 1).rxFrequency.empty());
        QVERIFY(channel(0, 2).rxFrequency.empty());
        QCOMPARE(table().groups[2].enabled, 1);
        QCOMPARE(table().groups[3].enabled, 0);
        QVERIFY(edited.count() >= 1);

        // Choosing group 4 in the list shows its ten rows.
        page->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.get()));
        page->groupNumberList()->setFocus();
        QTest::keyClick(page->groupNumberList(), Qt::Key_Down);
        QCOMPARE(table().currentGroup, 4);
        QCOMPARE(page->shownChannels(), 10);
        QCOMPARE(page->cellText(10, 0), QStringLiteral("10"));

        // Programming in a group shows the group in the dialog.
        QString shownGroup;
        auto seen = whenModal<ChannelSettingDialog>([&shownGroup](ChannelSettingDialog* d) {
            shownGroup = d->groupField()->text();
            d->rxFrequencyField()->setText("446");
            d->okButton()->click();
        });
        page->chooseCell(3, P::ColumnRxFrequency);
        QVERIFY(*seen);
        QCOMPARE(shownGroup, QStringLiteral("4"));
        QCOMPARE(channel(4, 3).rxFrequency, std::string("446.00000"));

        // Freeing every group returns to one empty list of 208 channels.
        QVERIFY(setGroups({{2, ""}, {4, "0"}}));
        QCOMPARE(table().scanMode, 0);
        QCOMPARE(page->modeField()->text(), QStringLiteral("All Channel Scan Mode"));
        QVERIFY(page->groupNumberList()->isHidden());
        QCOMPARE(page->shownChannels(), 208);
        QCOMPARE(table().currentGroup, 0);
        QVERIFY(channel(4, 3).rxFrequency.empty());
        QCOMPARE(table().groups[0].enabled, 1);
        QCOMPARE(table().groups[4].enabled, 0);
    }

    void resizingGroupsWithinGroupModeKeepsOtherChannels() {
        QVERIFY(setGroups({{1, "3"}, {2, "3"}}));
        program(channel(2, 1), "150.00000");
        QVERIFY(setGroups({{1, ""}}));
        QCOMPARE(page->groupNumberList()->count(), 1);
        QCOMPARE(table().currentGroup, 2);
        QCOMPARE(page->cellText(1, P::ColumnRxFrequency), QStringLiteral("150.00000"));
        // Escape from the dialog applies no layout.
        QVERIFY(setGroups({{3, "4"}}, false));
        QCOMPARE(page->groupNumberList()->count(), 1);
        QCOMPARE(table().groups[3].capability, 4);
    }

    void dealingOutKeepsFrequenciesAndDropsLabels() {
        // A radio read without groups leaves labels and codes in the list.
        RadioSettings radio = newRadioSettings();
        for (int ch = 1; ch <= 5; ++ch) {
            program(radio.channelTable.groups[0].channels[ch], "");
            radio.channelTable.groups[0].channels[ch].rxFrequency = "44" + std::to_string(ch) + ".00625";
            radio.channelTable.groups[0].channels[ch].label = "L" + std::to_string(ch);
        }
        radio.channelTable.groups[0].channels[2].txFrequency = "447.50000";
        radio.channelTable.groups[0].channels[2].rxSquelch = 39;
        radio.channelTable.groups[0].channels[2].rxInverseDcs = 1;
        radio.channelTable.groups[0].channels[4].bandwidth = 0;
        prepareForTransfer(radio);
        const MemoryImage image = encodeMemoryImage(radio);
        decodeMemoryImage(image, settings);
        // Now two groups exist as the radio would report them.
        ChannelTable& t = table();
        t.groups[1].capability = 3;
        t.groups[2].capability = 2;
        t.groups[1].priorityChannel = 2;
        t.scanMode = t.groupScanFlag = 1;
        flags.radioReadDone = true;
        page->refreshChannelPage();
        flags.radioReadDone = false;

        QCOMPARE(page->modeField()->text(), QStringLiteral("Group Scan Mode"));
        QCOMPARE(page->groupNumberList()->count(), 2);
        QCOMPARE(page->shownChannels(), 3);
        QCOMPARE(rowTexts(*page, 2),
                 QStringList({"2", "", "442.00625", "Inv DCS : 023", "447.50000", "OFF", "", "S", "High", "ON", ""}));
        QCOMPARE(page->cellText(1, P::ColumnRxFrequency), QStringLiteral("441.00625"));
        QCOMPARE(channel(0, 1).label, std::string("L1"));
        QVERIFY(channel(1, 1).label.empty());
        page->showGroup(2);
        QCOMPARE(page->groupNumberList()->currentText(), QStringLiteral("2"));
        QCOMPARE(page->cellText(1, P::ColumnRxFrequency), QStringLiteral("444.00625"));
        QCOMPARE(page->cellText(1, P::ColumnBandwidth), QStringLiteral("N"));
        QCOMPARE(page->cellText(2, P::ColumnRxFrequency), QStringLiteral("445.00625"));
        QVERIFY(page->cellText(2, P::ColumnLabel).isEmpty());
    }

    void saveThenOpenShowsTheSameGrid_data() {
        QTest::addColumn<bool>("groups");
        QTest::newRow("all channels") << false;
        QTest::newRow("groups") << true;
    }
    void saveThenOpenShowsTheSameGrid() {
        QFETCH(bool, groups);
        if (groups) QVERIFY(setGroups({{1, "4"}, {3, "6"}}));
        auto filled4 = fillDialog({"ONE", "446.00625", "446.1", 2, 4, true});
        page->chooseCell(2, P::ColumnLabel);
        QVERIFY(*filled4);
        auto filled5 = fillDialog({"TWO", "447", "", 1, 7, false});
        page->chooseCell(4, P::ColumnRxOption);
        QVERIFY(*filled5);
        page->chooseCell(4, P::ColumnScan);
        page->chooseCell(4, P::ColumnPriority);
        page->chooseCell(2, P::ColumnPowerOn);
        page->chooseCell(2, P::ColumnTxPower);
        if (groups) {
            page->showGroup(3);
            auto filled6 = fillDialog({"SIX", "440", "441", 0, 0, false});
            page->chooseCell(6, P::ColumnRxFrequency);
            QVERIFY(*filled6);
            page->showGroup(1);
        }
        const QList<QStringList> shown = gridTexts(*page);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string path = dir.filePath("channels.ks3").toStdString();
        QVERIFY(writeSettingFile(path, settings).ok);

        RadioSettings loaded = newRadioSettings();
        ViewFlags loadedFlags;
        ChannelTablePage reopened(loaded, loadedFlags);
        loadedFlags.fileLoadActive = true;
        QVERIFY(readSettingFile(path, loaded).ok);
        reopened.refreshChannelPage();
        loadedFlags.fileLoadActive = false;
        QCOMPARE(gridTexts(reopened), shown);
        QCOMPARE(reopened.modeField()->text(), page->modeField()->text());
        QCOMPARE(reopened.groupNumberList()->count(), page->groupNumberList()->count());
        if (groups) {
            reopened.showGroup(3);
            QCOMPARE(reopened.cellText(6, P::ColumnLabel), QStringLiteral("SIX"));
        }
    }

    void countsUsedChannels() {
        program(channel(0, 1), "150.00000");
        program(channel(0, 50), "150.00000");
        page->countUsedChannels();
        QCOMPARE(table().totalUsed, 2);
        QCOMPARE(table().groups[0].usedChannels, 2);
        QVERIFY(setGroups({{1, "2"}, {5, "3"}}));
        program(channel(1, 2), "150.00000");
        program(channel(5, 1), "150.00000");
        program(channel(5, 3), "150.00000");
        program(channel(5, 4), "150.00000");  // beyond the capability
        page->countUsedChannels();
        QCOMPARE(table().groups[1].usedChannels, 1);
        QCOMPARE(table().groups[5].usedChannels, 2);
        QCOMPARE(table().totalUsed, 3);
    }

    void controlsCarryTheirNames() {
        QCOMPARE(page->groupNumberLabel()->text(), QStringLiteral("Group Number :"));
        QCOMPARE(page->groupNumberLabel()->buddy(), page->groupNumberList());
        QCOMPARE(page->groupNumberList()->accessibleName(), QStringLiteral("Group Number :"));
        QCOMPARE(page->groupSettingButton()->text(), QStringLiteral("Group Setting"));
        QCOMPARE(page->channelClearButton()->text(), QStringLiteral("Channel Clear"));
        QCOMPARE(page->allChannelClearButton()->text(), QStringLiteral("All Channel Clear"));
        QVERIFY(page->grid()->focusPolicy() & Qt::TabFocus);
    }
};

QTEST_MAIN(ChannelPageTest)
#include "tst_channel_page.moc"
