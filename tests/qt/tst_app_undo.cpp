// Undo and redo across the pages of the main view, and several-row editing
// of the channel grid through the clipboard.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QMimeData>
#include <QSignalSpy>
#include <QTableWidget>
#include <QtTest>

#include <memory>

#include "app/MainView.h"
#include "app/ProgrammingDialog.h"
#include "app/SimulatorProcess.h"
#include "app/TabHost.h"
#include "app/UndoController.h"
#include "controls/FilterEdit.h"
#include "formats/ChannelClipboard.h"
#include "model/Defaults.h"
#include "model/OptionLists.h"
#include "model/SettingFile.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelGridEditing.h"
#include "pages/channel/ChannelTablePage.h"
#include "pages/channel/OptionPage.h"
#include "pages/signalling/DtmfStatusPage.h"
#include "tst_app_support.h"

using namespace ks340;
using namespace ks340test;

namespace {

// The view with undo hooked up the way the main window does it.
struct Rig {
    Sandbox sandbox;
    std::unique_ptr<MainView> view = std::make_unique<MainView>();
    std::unique_ptr<UndoController> undo = std::make_unique<UndoController>(view->settings());
    int refreshes = 0;
    bool activated = false;

    Rig() {
        undo->attachTo(view.get());
        QObject::connect(undo.get(), &UndoController::restored, [this] { ++refreshes; });
        view->resize(1000, 700);
        view->show();
        // Shortcuts work in the active window only.
        view->activateWindow();
        QApplication::setActiveWindow(view.get());
        activated = QTest::qWaitForWindowActive(view.get());
        undo->start();
    }
    RadioSettings& s() { return view->settings(); }
    ChannelTablePage* channels() { return static_cast<ChannelTablePage*>(view->page(MainView::RadioTab)); }
    OptionPage* options() { return static_cast<OptionPage*>(view->page(MainView::OptionTab)); }
    DtmfStatusPage* dtmf() { return static_cast<DtmfStatusPage*>(view->page(MainView::DtmfTab)); }

    // Replaces the configuration as a loaded file does.
    void load(const RadioSettings& from) {
        QVERIFY(readSettingText(formatSettingFile(from), s(), "test").ok);
        view->flags().fileLoadActive = true;
        view->refreshHeader();
        view->refreshAllPages();
        view->flags().fileLoadActive = false;
    }
};

void programChannel(ChannelEntry& c, int seed) {
    const int hz = 6250 * seed;
    c.rxFrequency = QStringLiteral("446.%1").arg(hz / 10, 5, 10, QLatin1Char('0')).toStdString();
    c.txFrequency = seed % 3 ? c.rxFrequency : std::string();
    c.label = QStringLiteral("C%1").arg(seed).toStdString();
    c.inUse = 1;
    c.rxSquelch = seed % 122;
    c.rxInverseDcs = c.rxSquelch >= 39 && seed % 2 ? 1 : 0;
    c.txSquelch = (seed * 5) % 122;
    c.bandwidth = seed % 2;
    c.txPower = 1;
    c.scanChannel = seed % 4 == 0 ? 1 : 0;
}

// Group scan mode with groups 1 and 2 of 30 channels, group 1 programmed.
std::unique_ptr<RadioSettings> twoGroups() {
    auto s = std::make_unique<RadioSettings>(newRadioSettings());
    ChannelTable& t = s->channelTable;
    t.scanMode = t.groupScanFlag = t.appliedScanMode = 1;
    for (int g = 1; g <= 2; ++g) {
        t.groups[std::size_t(g)].capability = 30;
        t.groups[std::size_t(g)].enabled = 1;
    }
    t.groups[0].capability = 208;
    t.totalCapability = 60;
    t.channelsLeft = 148;
    for (int ch = 1; ch <= 25; ++ch) programChannel(t.groups[1].channels[std::size_t(ch)], ch + 2);
    return s;
}

QStringList gridRow(ChannelTablePage* page, int channel) {
    QStringList texts;
    for (int c = ChannelTablePage::ColumnLabel; c < ChannelTablePage::ColumnCount; ++c)
        texts << page->cellText(channel, c);
    return texts;
}

QStringList coreRow(const ChannelEntry& e) {
    QStringList texts;
    for (int c = kColumnLabel; c < kGridColumnCount; ++c) texts << QString::fromStdString(channelCellText(e, 0, c));
    return texts;
}

void selectRows(QTableWidget* grid, int firstChannel, int lastChannel) {
    grid->clearSelection();
    grid->setCurrentCell(firstChannel - 1, ChannelTablePage::ColumnLabel, QItemSelectionModel::NoUpdate);
    grid->setRangeSelected(QTableWidgetSelectionRange(firstChannel - 1, 0, lastChannel - 1, grid->columnCount() - 1),
                           true);
}

}  // namespace

class TestUndo : public QObject {
    Q_OBJECT
private slots:
    void editsOfSeveralPagesUndoAndRedo();
    void keystrokesOfOneFieldAreOneStep();
    void undoAcrossAFileLoadAndARadioRead();
    void actionsShowTheStepAndTheKeysWork();
    void exitQuestionCountsUnsavedChanges();
    void copyTwentyRowsAndPasteIntoAnotherGroup();
    void pasteOfABadRowChangesNothing();
    void fillDownAndDeleteOfSelectedRows();
    void spreadsheetTextRoundTripThroughTheClipboard();
    void pasteIsUndoneAsOneStep();
    void headerEditsAreSteps();
    void radioWriteIsNoStepAndAReadIsUndone();
    void aTypedEditOfEveryPageIsUndoneAndRedone();
};

void TestUndo::editsOfSeveralPagesUndoAndRedo() {
    Rig rig;
    rig.load(*twoGroups());
    rig.undo->start();
    const auto start = std::make_unique<RadioSettings>(rig.s());

    // Channel page: Scan CH of group 1 channel 5 (not a scan channel yet).
    ChannelTablePage* channels = rig.channels();
    QCOMPARE(rig.s().channelTable.currentGroup, 1);
    QCOMPARE(channels->cellText(5, ChannelTablePage::ColumnScan), QString());
    channels->chooseCell(5, ChannelTablePage::ColumnScan);
    QCOMPARE(channels->cellText(5, ChannelTablePage::ColumnScan), QStringLiteral("ON"));
    const auto afterScan = std::make_unique<RadioSettings>(rig.s());

    // Option page: Beep off.
    rig.view->tabs()->setCurrentIndex(MainView::OptionTab);
    QComboBox* beep = rig.options()->beepList();
    const int oldBeep = rig.s().option.beep;
    beep->setCurrentIndex(oldBeep == 0 ? 1 : 0);
    emit beep->activated(beep->currentIndex());
    QVERIFY(rig.s().option.beep != oldBeep);
    const auto afterBeep = std::make_unique<RadioSettings>(rig.s());
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(2));
    QCOMPARE(rig.undo->history().undoTexts().front(), std::string("Set Beep"));
    QCOMPARE(rig.undo->history().undoTexts().back(), std::string("Set group 1 channel 5 Scan CH"));

    QVERIFY(rig.undo->undo());
    QVERIFY(rig.s() == *afterScan);
    QCOMPARE(rig.options()->beepList()->currentIndex() == (oldBeep == 0 ? 1 : 0), false);
    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.s().channelTable.groups[1].channels[5].scanChannel, 0);
    QCOMPARE(rig.s().option, start->option);
    QVERIFY(rig.s().channelTable.groups == start->channelTable.groups);
    // The page shows the restored record, on the group the step was made in.
    QCOMPARE(rig.s().channelTable.currentGroup, 1);
    QCOMPARE(channels->cellText(5, ChannelTablePage::ColumnScan), QString());
    QCOMPARE(rig.view->tabs()->currentIndex(), int(MainView::RadioTab));

    QVERIFY(rig.undo->redo());
    QCOMPARE(channels->cellText(5, ChannelTablePage::ColumnScan), QStringLiteral("ON"));
    QVERIFY(rig.undo->redo());
    QVERIFY(rig.s() == *afterBeep);
    QCOMPARE(rig.options()->beepList()->currentIndex() == (oldBeep == 0 ? 1 : 0), true);
    QCOMPARE(rig.view->tabs()->currentIndex(), int(MainView::OptionTab));
    QCOMPARE(rig.refreshes, 4);
    // Showing a restored state is no edit.
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(2));
}

void TestUndo::keystrokesOfOneFieldAreOneStep() {
    Rig rig;
    QVERIFY(rig.activated);
    rig.view->tabs()->setCurrentIndex(MainView::DtmfTab);
    PrintableTextEdit* field = rig.dtmf()->statusTextField(0);
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());
    QTest::keyClicks(field, QStringLiteral("BASE"));
    QCOMPARE(rig.s().dtmf.statusText[0], std::string("BASE"));
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(1));
    QCOMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo Set Status 01"));
    // Another field is another step.
    PrintableTextEdit* next = rig.dtmf()->statusTextField(1);
    next->setFocus();
    QTRY_VERIFY(next->hasFocus());
    QTest::keyClicks(next, QStringLiteral("UP"));
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(2));

    QVERIFY(rig.undo->undo());
    QCOMPARE(next->text(), QString());
    QCOMPARE(field->text(), QStringLiteral("BASE"));
    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.s().dtmf.statusText[0], std::string());
    QCOMPARE(field->text(), QString());
    QVERIFY(rig.undo->redo());
    QCOMPARE(field->text(), QStringLiteral("BASE"));
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(1));
}

void TestUndo::undoAcrossAFileLoadAndARadioRead() {
    Rig rig;
    rig.s().option.txDelay = 2;
    rig.undo->recordEdit(QStringLiteral("Set Tx Delay"));
    const auto before = std::make_unique<RadioSettings>(rig.s());

    // A file written by another session: the other model, group mode.
    auto file = twoGroups();
    file->header.model = 1;
    file->header.radioBand = 1;
    for (int ch = 1; ch <= 25; ++ch) file->channelTable.groups[1].channels[std::size_t(ch)].rxFrequency = "150.00000";
    const QString path = rig.sandbox.file(QStringLiteral("file.ks3"));
    QVERIFY(writeSettingFile(path.toStdString(), *file).ok);
    QVERIFY(rig.view->openFile(path));
    QCOMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo Load file.ks3"));
    QCOMPARE(rig.undo->unsavedChanges(), 0);
    const auto loaded = std::make_unique<RadioSettings>(rig.s());
    QCOMPARE(rig.view->modelList()->currentIndex(), 1);

    // A radio read replaces everything again.
    auto radio = std::make_unique<RadioSettings>(newRadioSettings());
    radio->channelTable.groups[0].channels[1].rxFrequency = "446.50000";
    radio->channelTable.groups[0].channels[1].inUse = 1;
    rig.load(*radio);
    rig.undo->recordStep(QStringLiteral("Read from radio"));
    QCOMPARE(rig.undo->unsavedChanges(), 1);
    QCOMPARE(rig.channels()->cellText(1, ChannelTablePage::ColumnRxFrequency), QStringLiteral("446.50000"));

    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.undo->unsavedChanges(), 0);
    QCOMPARE(rig.view->modelList()->currentIndex(), 1);
    QCOMPARE(rig.channels()->modeField()->text(), QStringLiteral("Group Scan Mode"));
    QCOMPARE(rig.channels()->cellText(3, ChannelTablePage::ColumnRxFrequency), QStringLiteral("150.00000"));
    QVERIFY(rig.s().channelTable.groups == loaded->channelTable.groups);

    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.undo->history().redoCount(), std::size_t(2));
    QCOMPARE(rig.view->modelList()->currentIndex(), 0);
    QCOMPARE(rig.view->modelNameField()->text(), QStringLiteral("KS-340"));
    QCOMPARE(rig.channels()->modeField()->text(), QStringLiteral("All Channel Scan Mode"));
    QCOMPARE(rig.channels()->cellText(1, ChannelTablePage::ColumnRxFrequency), QString());
    QCOMPARE(rig.s().option.txDelay, 2);
    QVERIFY(rig.s().channelTable.groups == before->channelTable.groups);
    QCOMPARE(rig.undo->unsavedChanges(), 1);

    QVERIFY(rig.undo->redo());
    QVERIFY(rig.undo->redo());
    QCOMPARE(rig.channels()->cellText(1, ChannelTablePage::ColumnRxFrequency), QStringLiteral("446.50000"));
    QCOMPARE(rig.view->modelList()->currentIndex(), 0);
}

void TestUndo::actionsShowTheStepAndTheKeysWork() {
    Rig rig;
    QAction* undo = rig.undo->undoAction();
    QAction* redo = rig.undo->redoAction();
    QVERIFY(!undo->isEnabled());
    QVERIFY(!redo->isEnabled());
    QCOMPARE(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));
    QVERIFY(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));

    rig.s().modem.modemText[0] = "AT&T";
    rig.undo->recordEdit(QStringLiteral("Modem Text 1"));
    QVERIFY(undo->isEnabled());
    // The step text; an '&' of the text is no mnemonic.
    QCOMPARE(undo->text(), QStringLiteral("Undo Set Modem Text 1"));

    rig.view->addAction(undo);
    rig.view->addAction(redo);
    rig.view->activateWindow();
    rig.view->tabs()->setFocus();
    QTRY_VERIFY(QApplication::focusWidget() != nullptr);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(rig.s().modem.modemText[0], std::string());
    QCOMPARE(redo->text(), QStringLiteral("Redo Set Modem Text 1"));
    QVERIFY(!undo->isEnabled());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(rig.s().modem.modemText[0], std::string("AT&T"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(rig.s().modem.modemText[0], std::string("AT&T"));

    QCOMPARE(UndoController::stepText(QStringLiteral("Set Beep")), QStringLiteral("Set Beep"));
    QCOMPARE(UndoController::stepText(QStringLiteral("Clear channel 4")), QStringLiteral("Clear channel 4"));
    QCOMPARE(UndoController::stepText(QStringLiteral("DTMF 1")), QStringLiteral("Set DTMF 1"));
}

void TestUndo::exitQuestionCountsUnsavedChanges() {
    QCOMPARE(UndoController::exitQuestion(0), QStringLiteral("Do you want to exit program?"));
    QCOMPARE(UndoController::exitQuestion(1),
             QStringLiteral("Do you want to exit program?\n\n1 change has not been saved."));
    QCOMPARE(UndoController::exitQuestion(7),
             QStringLiteral("Do you want to exit program?\n\n7 changes have not been saved."));

    Rig rig;
    QCOMPARE(rig.undo->exitQuestion(), QStringLiteral("Do you want to exit program?"));
    rig.s().option.hook = 1;
    rig.undo->recordEdit(QStringLiteral("Set Hook"));
    rig.s().option.txDelay = 1;
    rig.undo->recordEdit(QStringLiteral("Set Tx Delay"));
    QCOMPARE(rig.undo->unsavedChanges(), 2);
    QVERIFY(rig.undo->exitQuestion().endsWith(QStringLiteral("2 changes have not been saved.")));
    QVERIFY(rig.view->saveFile(rig.sandbox.file(QStringLiteral("saved.ks3"))));
    rig.undo->markSaved();
    QCOMPARE(rig.undo->unsavedChanges(), 0);
    rig.undo->undo();
    QCOMPARE(rig.undo->unsavedChanges(), 1);
}

void TestUndo::copyTwentyRowsAndPasteIntoAnotherGroup() {
    Rig rig;
    rig.load(*twoGroups());
    rig.undo->start();
    ChannelTablePage* page = rig.channels();
    ChannelGridEditing& editing = *rig.undo->gridEditing();

    QCOMPARE(rig.s().channelTable.currentGroup, 1);
    selectRows(page->grid(), 3, 22);
    QCOMPARE(editing.selectedChannels().size(), 20);
    QList<QStringList> copied;
    for (int ch = 3; ch <= 22; ++ch) copied << gridRow(page, ch);
    page->grid()->setFocus();
    QTest::keyClick(page->grid(), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    QVERIFY(data);
    QVERIFY(data->hasFormat(QString::fromLatin1(kChannelClipboardMimeType.data())));
    const QStringList lines = data->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 21);
    QCOMPARE(lines[0], QStringLiteral("CH\tLabel\tRx Freq.\tRX Option\tTx Freq.\tTx Option\tScan CH\tBandWidth\t"
                                      "Tx Power\tPriority CH\tPowON CH"));
    // The spreadsheet sees the grid's texts.
    QCOMPARE(lines[1].split('\t').mid(1), copied[0]);

    // Group 2, rows 5 on.
    const int index = page->groupNumberList()->findText(QStringLiteral("2"));
    page->groupNumberList()->setCurrentIndex(index);
    page->showGroup(2);
    selectRows(page->grid(), 5, 5);
    QTest::keyClick(page->grid(), Qt::Key_V, Qt::ControlModifier);
    for (int i = 0; i < 20; ++i) {
        QCOMPARE(gridRow(page, 5 + i), copied[i]);
        QCOMPARE(rig.s().channelTable.groups[2].channels[std::size_t(5 + i)],
                 rig.s().channelTable.groups[1].channels[std::size_t(3 + i)]);
        QCOMPARE(coreRow(rig.s().channelTable.groups[2].channels[std::size_t(5 + i)]), gridRow(page, 5 + i));
    }
    QCOMPARE(gridRow(page, 4), QStringList(10, QString()));
    QCOMPARE(editing.selectedChannels().front(), 5);
    QCOMPARE(editing.selectedChannels().size(), 20);
    QCOMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo Paste 20 channels"));
}

void TestUndo::pasteOfABadRowChangesNothing() {
    Rig rig;
    ChannelTablePage* page = rig.channels();
    ChannelGridEditing& editing = *rig.undo->gridEditing();
    QSignalSpy edited(&editing, &ChannelGridEditing::settingsEdited);
    const auto before = std::make_unique<RadioSettings>(rig.s());

    ModalAnswerer answerer(yesToAll);
    auto* data = new QMimeData;
    data->setText(QStringLiteral("Rx Freq.\tLabel\n446.5\tA\n150.5\tB\n446.6\tC\n446.7\tFAR TOO LONG\n"));
    QApplication::clipboard()->setMimeData(data);
    selectRows(page->grid(), 10, 10);
    QVERIFY(!editing.paste());
    QVERIFY(rig.s() == *before);
    QCOMPARE(edited.count(), 0);
    QCOMPARE(page->cellText(10, ChannelTablePage::ColumnRxFrequency), QString());
    QCOMPARE(answerer.seen.size(), 1);
    QVERIFY(answerer.seen[0].startsWith(QStringLiteral("Info: Check Your Input Data!")));
    QVERIFY(editing.lastMessage().contains(QStringLiteral("row 2 (channel 11), Rx Freq.")));
    QVERIFY(editing.lastMessage().contains(QStringLiteral("row 4 (channel 13), Label")));
    QVERIFY(!editing.lastMessage().contains(QStringLiteral("row 3")));
}

void TestUndo::fillDownAndDeleteOfSelectedRows() {
    Rig rig;
    auto s = twoGroups();
    s->channelTable.groups[1].channels[3].scanChannel = 1;
    s->channelTable.groups[1].channels[3].txPower = 0;
    for (int ch = 4; ch <= 8; ++ch) {
        s->channelTable.groups[1].channels[std::size_t(ch)].scanChannel = 0;
        s->channelTable.groups[1].channels[std::size_t(ch)].txPower = 1;
    }
    s->channelTable.groups[1].channels[6] = ChannelEntry{};
    rig.load(*s);
    ChannelTablePage* page = rig.channels();
    ChannelGridEditing& editing = *rig.undo->gridEditing();
    QSignalSpy edited(&editing, &ChannelGridEditing::settingsEdited);

    selectRows(page->grid(), 3, 8);
    page->grid()->setCurrentCell(2, ChannelTablePage::ColumnTxPower, QItemSelectionModel::NoUpdate);
    QVERIFY(editing.fillDown());
    for (int ch : {4, 5, 7, 8}) QCOMPARE(page->cellText(ch, ChannelTablePage::ColumnTxPower), QStringLiteral("Low"));
    QCOMPARE(page->cellText(6, ChannelTablePage::ColumnTxPower), QString());
    QCOMPARE(rig.s().channelTable.groups[1].channels[4].scanChannel, 0);
    QCOMPARE(edited.takeFirst().at(0).toString(), QStringLiteral("Fill down Tx Power"));

    page->grid()->setCurrentCell(2, ChannelTablePage::ColumnScan, QItemSelectionModel::NoUpdate);
    page->grid()->setFocus();
    QTest::keyClick(page->grid(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(page->cellText(8, ChannelTablePage::ColumnScan), QStringLiteral("ON"));
    QCOMPARE(edited.count(), 1);
    edited.clear();

    // A column fill down cannot copy: told, nothing changes.
    {
        ModalAnswerer answerer(yesToAll);
        page->grid()->setCurrentCell(2, ChannelTablePage::ColumnLabel, QItemSelectionModel::NoUpdate);
        QVERIFY(!editing.fillDown());
        QCOMPARE(answerer.seen.size(), 1);
    }

    // Delete: one question for all rows; No keeps them.
    {
        ModalAnswerer no([](const QString&, const QString&) { return QMessageBox::No; });
        QVERIFY(!editing.deleteSelected());
        QCOMPARE(no.seen, QStringList{QStringLiteral("Channel Clear: Really Clear 6 Channels?")});
        QCOMPARE(page->cellText(4, ChannelTablePage::ColumnRxFrequency).isEmpty(), false);
    }
    {
        ModalAnswerer yes(yesToAll);
        QTest::keyClick(page->grid(), Qt::Key_Delete);
        QCOMPARE(yes.seen.size(), 1);
    }
    for (int ch = 3; ch <= 8; ++ch) {
        QCOMPARE(page->cellText(ch, ChannelTablePage::ColumnRxFrequency), QString());
        QVERIFY(!rig.s().channelTable.groups[1].channels[std::size_t(ch)].isProgrammed());
    }
    QVERIFY(rig.s().channelTable.groups[1].channels[9].isProgrammed());
    QCOMPARE(edited.takeFirst().at(0).toString(), QStringLiteral("Clear 6 channels"));
}

void TestUndo::spreadsheetTextRoundTripThroughTheClipboard() {
    Rig rig;
    ChannelTablePage* page = rig.channels();
    ChannelGridEditing& editing = *rig.undo->gridEditing();

    // Typed in a spreadsheet: no header, pasted at the Rx Freq. column.
    auto* typed = new QMimeData;
    typed->setText(
        QStringLiteral("446.00625\tCTCSS : 67.0\t446.50625\tDCS : 023\r\n"
                       "446.1\t67.0\t446.1\tInv DCS : 754\r\n"
                       "446.2\tD023I\t\t\r\n"));
    QVERIFY(editing.pasteMimeData(typed, 1, ChannelTablePage::ColumnRxFrequency));
    delete typed;
    QCOMPARE(gridRow(page, 1),
             (QStringList{"", "446.00625", "CTCSS : 67.0", "446.50625", "DCS : 023", "", "S", "High", "", ""}));
    QCOMPARE(page->cellText(2, ChannelTablePage::ColumnTxOption), QStringLiteral("Inv DCS : 754"));
    QCOMPARE(page->cellText(3, ChannelTablePage::ColumnRxOption), QStringLiteral("Inv DCS : 023"));

    // Copied as text only (what a spreadsheet gives back) and pasted below.
    selectRows(page->grid(), 1, 3);
    QVERIFY(editing.copy());
    auto* back = new QMimeData;
    back->setText(QApplication::clipboard()->mimeData()->text());
    QVERIFY(editing.pasteMimeData(back, 101, ChannelTablePage::ColumnLabel));
    delete back;
    for (int i = 0; i < 3; ++i) QCOMPARE(gridRow(page, 101 + i), gridRow(page, 1 + i));
}

void TestUndo::pasteIsUndoneAsOneStep() {
    Rig rig;
    ChannelTablePage* page = rig.channels();
    ChannelGridEditing& editing = *rig.undo->gridEditing();
    auto* typed = new QMimeData;
    typed->setText(QStringLiteral("Rx Freq.\tScan CH\n446.5\tON\n446.6\tON\n"));
    QVERIFY(editing.pasteMimeData(typed, 7, 0));
    delete typed;
    QCOMPARE(rig.s().channelTable.anyScanChannel, 1);
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(1));
    QVERIFY(rig.undo->undo());
    QCOMPARE(page->cellText(7, ChannelTablePage::ColumnRxFrequency), QString());
    QCOMPARE(page->cellText(8, ChannelTablePage::ColumnScan), QString());
    QCOMPARE(rig.s().channelTable.anyScanChannel, 0);
    QVERIFY(rig.undo->redo());
    QCOMPARE(page->cellText(8, ChannelTablePage::ColumnScan), QStringLiteral("ON"));
}

void TestUndo::headerEditsAreSteps() {
    Rig rig;
    QVERIFY(rig.activated);
    // Speaker: one step; choosing the same entry again is none.
    rig.view->speakerList()->setCurrentIndex(1);
    emit rig.view->speakerList()->activated(1);
    emit rig.view->speakerList()->activated(1);
    QCOMPARE(rig.s().header.speaker, 1);
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(1));
    QCOMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo Set Speaker"));

    // The logo typed in one go is one step.
    PrintableTextEdit* logo = rig.view->logoEdit();
    logo->setFocus();
    QTRY_VERIFY(logo->hasFocus());
    logo->selectAll();
    QTest::keyClicks(logo, QStringLiteral("RADIO"));
    QCOMPARE(rig.s().header.lcdDisplayLogo, std::string("RADIO"));
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(2));
    QCOMPARE(QString::fromStdString(rig.undo->history().currentText()).section('\n', 0, 0),
             QStringLiteral("1,0,0,RADIO\r"));
    // Set by a refresh, the logo is no step of its own.
    rig.view->setFocus();
    rig.s().header.lcdDisplayLogo = "OTHER";
    rig.view->refreshHeader();
    QCOMPARE(logo->text(), QStringLiteral("OTHER"));
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(2));
    rig.s().header.lcdDisplayLogo = "RADIO";
    rig.view->refreshHeader();

    // A change of model resets the channels: undone, they are back.
    rig.s().channelTable.groups[0].channels[9].rxFrequency = "446.50000";
    rig.channels()->showGroup(0);
    rig.undo->recordEdit(QStringLiteral("Set channel 9 Rx Freq."));
    rig.view->modelList()->setCurrentIndex(1);
    emit rig.view->modelList()->activated(1);
    QCOMPARE(rig.s().header.model, 1);
    QVERIFY(!rig.s().channelTable.groups[0].channels[9].isProgrammed());
    QCOMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo Set Model"));
    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.s().header.model, 0);
    QCOMPARE(rig.view->modelNameField()->text(), QStringLiteral("KS-340"));
    QCOMPARE(rig.channels()->cellText(9, ChannelTablePage::ColumnRxFrequency), QStringLiteral("446.50000"));
    QVERIFY(rig.undo->undo());
    QVERIFY(rig.undo->undo());
    QCOMPARE(logo->text(), QStringLiteral("Vandrell"));
    QCOMPARE(rig.s().header.lcdDisplayLogo, std::string("Vandrell"));
    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.view->speakerList()->currentIndex(), 0);
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(0));
}

void TestUndo::radioWriteIsNoStepAndAReadIsUndone() {
    QVERIFY2(!SimulatorProcess::findProgram().isEmpty(), "ks340sim was not built");
    Rig rig;
    MainView* v = rig.view.get();
    v->setSimulatorArguments({"--baud", "0"});
    QVERIFY(v->chooseSimulatedRadio());
    rig.s().modem.modemText[0] = "WRITTEN";
    rig.undo->recordEdit(QStringLiteral("Set Modem Text 1"));
    // A programmed channel: the write derives its radio codes.
    ChannelEntry& first = rig.s().channelTable.groups[0].channels[1];
    first.rxFrequency = "446.50000";
    first.inUse = 1;
    rig.undo->recordEdit(QStringLiteral("Set channel 1 Rx Freq."));
    QCOMPARE(first.rxStepCode, 0);

    auto closeWhen = [](ModalAnswerer& a, const QString& done) {
        a.onOtherModal = [&a, done](QWidget* modal) {
            if (auto* d = qobject_cast<ProgrammingDialog*>(modal); d && a.sawText(done)) d->okButton()->click();
        };
    };
    {
        ModalAnswerer answer(yesToAll);
        closeWhen(answer, QStringLiteral("Writing Data Complete!"));
        v->programRadio(2);
        QVERIFY(answer.sawText(QStringLiteral("Writing Data Complete!")));
    }
    // What the write derived is taken into the current step.
    QVERIFY(first.rxStepCode != 0);
    QCoreApplication::processEvents();
    QCOMPARE(rig.undo->history().record(rig.s(), "probe"), UndoHistory::Recorded::Unchanged);
    QCOMPARE(rig.undo->history().undoCount(), std::size_t(2));

    // New (as the main window records it), then the radio read back. The
    // pages rewriting their defaults make no steps of their own.
    const std::size_t steps = rig.undo->history().undoCount();
    QVERIFY(v->newConfiguration(false));
    QCOMPARE(rig.undo->history().undoCount(), steps);
    rig.undo->recordStep(QStringLiteral("New"));
    QCOMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo New"));
    QCOMPARE(rig.s().modem.modemText[0], std::string());
    {
        ModalAnswerer answer(yesToAll);
        closeWhen(answer, QStringLiteral("Reading Data Complete!"));
        v->programRadio(1);
        QVERIFY(answer.sawText(QStringLiteral("Reading Data Complete!")));
    }
    QTRY_COMPARE(rig.undo->undoAction()->text(), QStringLiteral("Undo Read from radio"));
    QCOMPARE(rig.s().modem.modemText[0], std::string("WRITTEN"));
    auto* modem = v->page(MainView::ModemTab);
    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.s().modem.modemText[0], std::string());
    QVERIFY(rig.undo->undo());
    QCOMPARE(rig.s().modem.modemText[0], std::string("WRITTEN"));
    QVERIFY(modem->findChildren<QLineEdit*>().size() > 0);
    bool shown = false;
    for (QLineEdit* e : modem->findChildren<QLineEdit*>()) shown = shown || e->text() == QStringLiteral("WRITTEN");
    QVERIFY(shown);
}

void TestUndo::aTypedEditOfEveryPageIsUndoneAndRedone() {
    Rig rig;
    QVERIFY(rig.activated);
    QList<int> pagesTried;
    for (int index = MainView::OptionTab; index < MainView::PageCount; ++index) {
        rig.view->tabs()->setCurrentIndex(index);
        // The first text field of the page that takes a typed digit.
        for (QLineEdit* field : rig.view->page(index)->findChildren<QLineEdit*>()) {
            if (!field->isVisible() || !field->isEnabled() || field->isReadOnly()) continue;
            const auto before = std::make_unique<RadioSettings>(rig.s());
            const QString oldText = field->text();
            const std::size_t steps = rig.undo->history().undoCount();
            field->setFocus();
            QTRY_VERIFY(field->hasFocus());
            field->end(false);
            QTest::keyClicks(field, QStringLiteral("1"));
            // Leaving the field commits what commits on leaving.
            rig.view->modelList()->setFocus();
            QTRY_VERIFY(!field->hasFocus());
            const std::size_t added = rig.undo->history().undoCount() - steps;
            if (added == 0) continue;  // the field refused the digit
            pagesTried << index;
            const auto after = std::make_unique<RadioSettings>(rig.s());
            const QString newText = field->text();
            QVERIFY(newText != oldText);
            rig.view->tabs()->setCurrentIndex(MainView::RadioTab);
            for (std::size_t k = 0; k < added; ++k) QVERIFY(rig.undo->undo());
            // Every saved value as it was (values derived before use, such as
            // the longest lead-in time, may differ).
            QVERIFY2(formatSettingFile(rig.s()) == formatSettingFile(*before),
                     qPrintable(QStringLiteral("page %1").arg(index)));
            QCOMPARE(field->text(), oldText);
            QCOMPARE(rig.view->tabs()->currentIndex(), index);
            for (std::size_t k = 0; k < added; ++k) QVERIFY(rig.undo->redo());
            QVERIFY2(formatSettingFile(rig.s()) == formatSettingFile(*after),
                     qPrintable(QStringLiteral("page %1").arg(index)));
            QCOMPARE(field->text(), newText);
            break;
        }
    }
    // The option page's one text field (Auto Mute Timer) is off until Auto
    // Mute is on; its lists are tried above.
    QCOMPARE(pagesTried, (QList<int>{MainView::ToneSequenceTab, MainView::EncodeTab, MainView::DecodeTab,
                                     MainView::DtmfTab, MainView::ModemTab}));
}

KS340_APP_TEST_MAIN(TestUndo)
#include "tst_app_undo.moc"
