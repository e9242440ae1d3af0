#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QToolBar>
#include <QtTest>

#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/PortSetting.h"
#include "app/RecentFiles.h"
#include "app/TabHost.h"
#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "qt/tst_app_support.h"

using namespace ks340;
using ks340test::ModalAnswerer;
using ks340test::Sandbox;

namespace {

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (QAction* a : menu->actions())
        if (!a->isSeparator() && a->isVisible()) texts << a->text();
    return texts;
}

QAction* findAction(QMenu* menu, const QString& text) {
    for (QAction* a : menu->actions())
        if (a->text() == text) return a;
    return nullptr;
}

QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// A widget of `root` whose accessible name is `name`.
template <typename T>
T* named(QWidget* root, const QString& name) {
    for (T* w : root->findChildren<T*>())
        if (w->accessibleName() == name) return w;
    return nullptr;
}

// Makes a few edits in every part of the record.
void editEverything(RadioSettings& s) {
    s.header.lcdDisplayLogo = "EDITED";
    s.header.speaker = 1;
    s.channelTable.groups[0].channels[1].rxFrequency = "445.00000";
    s.channelTable.groups[0].channels[1].label = "CH1";
    s.option.beep = 1;
    s.toneSequence.toneLength = 170;
    s.selcallDecode.decodeEntries[0].address = "12345";
    s.dtmf.dtmfCodes[0] = "123";
    s.modem.modemText[0] = "MODEM";
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void startUpShowsMenusToolbarHeaderAndTabs() {
        Sandbox sandbox;
        MainWindow w;
        QCOMPARE(w.windowTitle(), QString("Untitled - Vandrell KS340/390 Series PC Programmer"));

        QStringList menus;
        for (QAction* a : w.menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, QStringList({"File(&F)", "Edit(&E)", "Program(&P)", "Help(&H)"}));
        // The program's own commands, in this order (the CSV and radio image
        // commands come after "Print Setting(&R)").
        const QStringList fileItems = actionTexts(w.fileMenu());
        const QStringList expectedOrder = {"New(&N)",
                                           "Open(&O)...",
                                           "Save(&S)",
                                           "Channel Print(&C)",
                                           "Option Print(&O)",
                                           "All Print",
                                           "Channel Preview(&H)",
                                           "Option Preview(&P)",
                                           "All Preview",
                                           "Print Setting(&R)",
                                           "Recent File",
                                           "Exit(&X)"};
        QCOMPARE(fileItems.mid(0, 10), expectedOrder.mid(0, 10));
        int at = 0;
        for (const QString& item : expectedOrder) {
            const int found = int(fileItems.indexOf(item, at));
            QVERIFY2(found >= at, qPrintable(item));
            at = found + 1;
        }
        QCOMPARE(fileItems.last(), QString("Exit(&X)"));
        QVERIFY(fileItems.contains("Export Channels (CSV)..."));
        QCOMPARE(findAction(w.fileMenu(), "New(&N)")->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(findAction(w.fileMenu(), "Open(&O)...")->shortcut(), QKeySequence("Ctrl+O"));
        QCOMPARE(findAction(w.fileMenu(), "Save(&S)")->shortcut(), QKeySequence("Ctrl+S"));
        QCOMPARE(actionTexts(w.programMenu()).value(0), QString("Read/Write(&R)"));
        QCOMPARE(actionTexts(w.helpMenu()), QStringList({"Help Topics", "About(&A)..."}));

        const QStringList ports = actionTexts(w.portMenu());
        QCOMPARE(ports.mid(0, 8),
                 QStringList({"COM 1", "COM 2", "COM 3", "COM 4", "COM 5", "COM 6", "COM 7", "COM 8"}));
        QCOMPARE(ports.last(), QString("Simulated radio"));

        // Toolbar order, tooltips and icons; the separators in their places.
        QStringList tools;
        for (QAction* a : w.toolBar()->actions()) {
            tools << (a->isSeparator() ? QString("|") : a->toolTip());
            if (!a->isSeparator()) QVERIFY2(!a->icon().isNull(), qPrintable(a->toolTip()));
        }
        QCOMPARE(tools, QStringList({"New", "Open", "Save", "|", "Write to Radio", "Read from Radio", "|", "Print", "|",
                                     "About"}));

        MainView* v = w.view();
        QStringList captions;
        for (int i = 0; i < v->tabs()->count(); ++i) captions << v->tabs()->tabText(i);
        QCOMPARE(captions, QStringList({"        Radio        ", "      Option       ", "  Tone Sequence  ",
                                        "      Encode       ", "      Decode       ", "DTMF and Selcall Status",
                                        "        Modem        "}));
        for (int i = 0; i < MainView::PageCount; ++i) QVERIFY(v->page(i) != nullptr);

        QCOMPARE(v->modelList()->count(), 2);
        QCOMPARE(v->modelList()->itemText(1), QString("KS-390 Series"));
        QCOMPARE(v->modelList()->currentText(), QString("KS-340 Series"));
        QCOMPARE(v->bandList()->currentText(), QString("UHF2 (440 ~ 480Mhz)"));
        QCOMPARE(v->bandList()->itemText(1), QString("VHF2 (148 ~ 174Mhz)"));
        QCOMPARE(v->modelNameField()->text(), QString("KS-340"));
        QCOMPARE(v->bandNameField()->text(), QString("UHF2 (440 ~ 480Mhz)"));
        QVERIFY(v->modelNameField()->isReadOnly());
        QVERIFY(v->bandNameField()->isReadOnly());
        QCOMPARE(v->speakerList()->currentText(), QString("Internal"));
        QCOMPARE(v->logoEdit()->text(), QString("Vandrell"));
        QCOMPARE(v->logoEdit()->maxLength(), 9);
        QCOMPARE(v->modelList()->accessibleName(), QString("Model"));
        QCOMPARE(v->logoEdit()->accessibleName(), QString("LCD Display Logo"));
        QCOMPARE(v->settings().header.requestedAction, 0);
        QCOMPARE(v->settings().header.memoryMapEnabled, 0);

        // No setting.opt yet: port 1, and the file is created holding "1".
        QCOMPARE(fileBytes(sandbox.file("setting.opt")), QByteArray("1"));
        w.rebuildPortMenu();
        QVERIFY(findAction(w.portMenu(), "COM 1")->isChecked());
        QVERIFY(!findAction(w.portMenu(), "COM 2")->isChecked());
    }

    void newAsksAndResetsToStartUpState() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        const RadioSettings startUp = v->settings();

        editEverything(v->settings());
        v->refreshHeader();
        v->refreshAllPages();
        const RadioSettings edited = v->settings();
        {
            ModalAnswerer cancel([](const QString&, const QString&) { return QMessageBox::Cancel; });
            findAction(w.fileMenu(), "New(&N)")->trigger();
            QCOMPARE(cancel.seen, QStringList({"New: All data will be initialized."}));
        }
        QVERIFY(v->settings() == edited);
        QCOMPARE(v->logoEdit()->text(), QString("EDITED"));

        ModalAnswerer ok([](const QString&, const QString&) { return QMessageBox::Ok; });
        findAction(w.fileMenu(), "New(&N)")->trigger();
        QCOMPARE(ok.seen.size(), 1);
        QVERIFY(v->settings() == startUp);
        QCOMPARE(v->logoEdit()->text(), QString("Vandrell"));
        QCOMPARE(v->speakerList()->currentIndex(), 0);
    }

    void modelChangeResetsPagesButKeepsLogoAndSpeaker() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        MainView* v = w.view();
        const RadioSettings startUp = v->settings();

        // The user types a logo and picks the external speaker.
        v->logoEdit()->selectAll();
        QTest::keyClicks(v->logoEdit(), "My,Radio");  // the comma is refused
        QCOMPARE(v->settings().header.lcdDisplayLogo, std::string("MyRadio"));
        v->speakerList()->setFocus();
        QTest::keyClick(v->speakerList(), Qt::Key_Down);
        QCOMPARE(v->settings().header.speaker, 1);
        editEverything(v->settings());
        v->settings().header.lcdDisplayLogo = "MyRadio";
        v->refreshAllPages();
        const RadioSettings edited = v->settings();

        // Choosing the model already selected changes nothing.
        v->modelList()->setFocus();
        emit v->modelList()->activated(0);
        QVERIFY(v->settings() == edited);

        QTest::keyClick(v->modelList(), Qt::Key_Down);
        const RadioSettings& s = v->settings();
        QCOMPARE(s.header.model, 1);
        QCOMPARE(s.header.radioBand, 0);
        QCOMPARE(s.header.lcdDisplayLogo, std::string("MyRadio"));
        QCOMPARE(s.header.speaker, 1);
        QCOMPARE(v->modelNameField()->text(), QString("KS-390"));
        QCOMPARE(v->bandList()->itemText(0), QString("UHF2 (440 ~ 470Mhz)"));
        QCOMPARE(v->bandNameField()->text(), QString("UHF2 (440 ~ 470Mhz)"));
        QVERIFY(s.channelTable.sameContent(startUp.channelTable));
        QVERIFY(s.option == startUp.option);
        QVERIFY(s.toneSequence == startUp.toneSequence);
        QVERIFY(s.selcallDecode == startUp.selcallDecode);
        QVERIFY(s.dtmf == startUp.dtmf);
        QVERIFY(s.modem == startUp.modem);

        // A band change resets the same way and keeps the model.
        editEverything(v->settings());
        v->bandList()->setFocus();
        QTest::keyClick(v->bandList(), Qt::Key_Down);
        QCOMPARE(s.header.model, 1);
        QCOMPARE(s.header.radioBand, 1);
        QCOMPARE(v->bandNameField()->text(), QString("VHF2 (148 ~ 174Mhz)"));
        QVERIFY(s.channelTable.sameContent(startUp.channelTable));
        QVERIFY(s.modem == startUp.modem);
        QCOMPARE(s.header.lcdDisplayLogo, std::string("EDITED"));
    }

    void openOfBadFileShowsErrorAndChangesNothing() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        editEverything(v->settings());
        v->refreshHeader();
        const RadioSettings before = v->settings();

        const QString empty = sandbox.file("empty.ks3");
        writeBytes(empty, "\r\n\r\n");
        const QString truncated = sandbox.file("short.ks3");
        writeBytes(truncated, "1,1,1,Other\r\n0,0,0,0,208,208,0,0,0,0,0,0,1,0,0,0,0\r\n1,0,0,0,0,0,0,300,0\r\n");
        const QString missing = sandbox.file("missing.ks3");

        for (const QString& path : {empty, truncated, missing}) {
            ModalAnswerer answer(ks340test::yesToAll);
            QVERIFY(!v->openFile(path));
            QCOMPARE(answer.seen.size(), 1);
            QVERIFY2(answer.seen[0].startsWith("Error: "), qPrintable(answer.seen[0]));
            QVERIFY2(answer.seen[0].contains(QFileInfo(path).fileName()), qPrintable(answer.seen[0]));
            QVERIFY(v->settings() == before);
            QCOMPARE(v->logoEdit()->text(), QString("EDITED"));
            QCOMPARE(v->modelList()->currentIndex(), 0);
        }
        QVERIFY(w.recentFiles().files().isEmpty());
    }

    void saveOpenAndRecentFiles() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        emit v->modelList()->activated(1);
        emit v->bandList()->activated(1);
        v->logoEdit()->setText("SAVED");
        emit v->speakerList()->activated(1);
        const QString path = sandbox.file("radio.ks3");
        QVERIFY(v->saveFile(path));
        const RadioSettings saved = v->settings();

        {
            ModalAnswerer ok(ks340test::yesToAll);
            QVERIFY(v->newConfiguration(false));
        }
        QCOMPARE(v->settings().header.model, 0);
        QVERIFY(v->openFile(path));
        QCOMPARE(v->settings().header.model, 1);
        QCOMPARE(v->settings().header.radioBand, 1);
        QCOMPARE(v->settings().header.speaker, 1);
        QCOMPARE(v->modelList()->currentIndex(), 1);
        QCOMPARE(v->bandList()->currentText(), QString("VHF2 (148 ~ 174Mhz)"));
        QCOMPARE(v->modelNameField()->text(), QString("KS-390"));
        QCOMPARE(v->logoEdit()->text(), QString("SAVED"));
        QCOMPARE(v->speakerList()->currentIndex(), 1);
        QVERIFY(!v->flags().fileLoadActive);
        QCOMPARE(w.recentFiles().files(), QStringList({QFileInfo(path).absoluteFilePath()}));
        QVERIFY(findAction(w.fileMenu(), "&1 " + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath())) ||
                actionTexts(w.fileMenu()).filter("radio.ks3").size() == 1);

        // Choosing the entry opens the file.
        v->newConfiguration(false);
        QCOMPARE(v->settings().header.model, 0);
        w.openRecentFile(0);
        QCOMPARE(v->settings().header.model, 1);
        QCOMPARE(v->logoEdit()->text(), QString("SAVED"));
        QCOMPARE(v->settings().header.lcdDisplayLogo, saved.header.lcdDisplayLogo);

        // A saved file written twice is byte for byte the same.
        const QString again = sandbox.file("again.ks3");
        QVERIFY(v->saveFile(again));
        QCOMPARE(fileBytes(again), fileBytes(path));
    }

    void recentFileListKeepsFourNewestFirst() {
        Sandbox sandbox;
        {
            RecentFileList list;
            for (const char* name : {"a.ks3", "b.ks3", "c.ks3", "d.ks3", "e.ks3", "c.ks3"})
                list.add(sandbox.file(name));
        }
        RecentFileList reloaded;
        QStringList names;
        for (const QString& f : reloaded.files()) names << QFileInfo(f).fileName();
        QCOMPARE(names, QStringList({"c.ks3", "e.ks3", "d.ks3", "b.ks3"}));
        QVERIFY(RecentFileList::menuText(1, "/x/a&b.ks3").startsWith("&2 "));
        QVERIFY(RecentFileList::menuText(1, "/x/a&b.ks3").endsWith("a&&b.ks3"));
    }

    void portMenuWritesSettingOpt() {
        Sandbox sandbox;
        {
            MainWindow w;
            w.rebuildPortMenu();
            findAction(w.portMenu(), "COM 3")->trigger();
            QCOMPARE(fileBytes(sandbox.file("setting.opt")), QByteArray("3"));
            w.rebuildPortMenu();
            for (int n = 1; n <= 8; ++n)
                QCOMPARE(findAction(w.portMenu(), QString("COM %1").arg(n))->isChecked(), n == 3);
            const PortChoice port = w.view()->currentPort();
            QVERIFY(port.byNumber);
            QCOMPARE(port.comNumber, 3);
        }
        {
            // The next start shows COM 3 checked.
            MainWindow w;
            QCOMPARE(w.view()->portSetting().comPortNumber, 3);
            w.rebuildPortMenu();
            QVERIFY(findAction(w.portMenu(), "COM 3")->isChecked());
        }
        // Unreadable content: port 0, nothing checked.
        writeBytes(sandbox.file("setting.opt"), "abc");
        {
            MainWindow w;
            QCOMPARE(w.view()->portSetting().comPortNumber, 0);
            w.rebuildPortMenu();
            for (int n = 1; n <= 8; ++n) QVERIFY(!findAction(w.portMenu(), QString("COM %1").arg(n))->isChecked());
        }
        // A device path is the chosen port.
        writeBytes(sandbox.file("setting.opt"), "/dev/ttyKS340test");
        {
            MainWindow w;
            QCOMPARE(w.view()->portSetting().devicePath, QString("/dev/ttyKS340test"));
            QCOMPARE(w.view()->currentPort().name, QString("/dev/ttyKS340test"));
            w.rebuildPortMenu();
            QAction* device = findAction(w.portMenu(), "/dev/ttyKS340test");
            QVERIFY(device && device->isChecked());
            QVERIFY(!findAction(w.portMenu(), "COM 1")->isChecked());
            findAction(w.portMenu(), "COM 8")->trigger();
            QCOMPARE(fileBytes(sandbox.file("setting.opt")), QByteArray("8"));
        }
    }

    void settingOptReading() {
        QCOMPARE(leadingDecimal("  12abc"), 12);
        QCOMPARE(leadingDecimal("-3"), -3);
        QCOMPARE(leadingDecimal("COM3"), 0);
        QCOMPARE(leadingDecimal(""), 0);
        QCOMPARE(leadingDecimal("99999999999999999999"), 1000000000);
        Sandbox sandbox;
        PortSetting s;
        s.comPortNumber = 7;
        QVERIFY(writePortSetting(s, sandbox.path()));
        QCOMPARE(fileBytes(sandbox.file("setting.opt")), QByteArray("7"));
        QCOMPARE(readPortSetting(sandbox.path()).comPortNumber, 7);
        writeBytes(sandbox.file("setting.opt"), "5\r\n");
        QCOMPARE(readPortSetting(sandbox.path()).comPortNumber, 5);
    }

    void optionAndDecodeTabReactions() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        MainView* v = w.view();
        TabPage* option = v->page(MainView::OptionTab);
        const QStringList scanControls = {"Scan Tx", "Scan Wait Time", "Scan Speed Time", "Priority LB Time"};

        // No channel has Scan CH on: the scan controls are disabled.
        v->settings().channelTable.anyScanChannel = 0;
        v->tabs()->setCurrentIndex(MainView::OptionTab);
        for (const QString& name : scanControls) {
            QWidget* c = named<QWidget>(option, name);
            QVERIFY2(c, qPrintable(name));
            QVERIFY2(!c->isEnabled(), qPrintable(name));
        }

        // With scan channels and scanTx 2 the list offers the non-priority pair.
        v->settings().channelTable.anyScanChannel = 1;
        v->settings().option.scanTx = 2;
        v->tabs()->setCurrentIndex(MainView::RadioTab);
        v->tabs()->setCurrentIndex(MainView::OptionTab);
        auto* scanTx = named<QComboBox>(option, "Scan Tx");
        QVERIFY(scanTx);
        QVERIFY(scanTx->isEnabled());
        QCOMPARE(scanTx->count(), 2);
        QCOMPARE(scanTx->itemText(0), QString("Normal Scan Tx"));
        QCOMPARE(scanTx->itemText(1), QString("Rx Only/No Tx"));
        QCOMPARE(scanTx->currentIndex(), 1);
        QVERIFY(!named<QWidget>(option, "Priority LB Time")->isEnabled());
        QVERIFY(named<QWidget>(option, "Scan Wait Time")->isEnabled());

        // Decode: shows the tone page's tone length.
        v->tabs()->setCurrentIndex(MainView::ToneSequenceTab);
        auto* toneLength = named<QLineEdit>(v->page(MainView::ToneSequenceTab), "Tone Length");
        QVERIFY(toneLength);
        toneLength->setFocus();
        toneLength->selectAll();
        QTest::keyClicks(toneLength, "150");
        v->tabs()->setCurrentIndex(MainView::DecodeTab);
        auto* decoderLength = named<QLineEdit>(v->page(MainView::DecodeTab), "Decoder Tone Length");
        QVERIFY(decoderLength);
        QCOMPARE(decoderLength->text(), toneLength->text());
        QCOMPARE(decoderLength->text(), QString("150"));
    }

    void tabsRememberTheFocusedControl() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        MainView* v = w.view();
        v->tabs()->setCurrentIndex(MainView::ModemTab);
        QList<QLineEdit*> edits = v->page(MainView::ModemTab)->findChildren<QLineEdit*>();
        QLineEdit* chosen = nullptr;
        for (QLineEdit* e : edits)
            if (e->isEnabled() && e->isVisible() && e->focusPolicy() != Qt::NoFocus)
                chosen = e;  // the last one, not the first the page would pick itself
        QVERIFY(chosen);
        chosen->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), chosen);
        QCOMPARE(v->tabs()->rememberedFocus(MainView::ModemTab), chosen);

        v->tabs()->setCurrentIndex(MainView::EncodeTab);
        QTRY_VERIFY(QApplication::focusWidget() != chosen);
        v->tabs()->setCurrentIndex(MainView::ModemTab);
        QTRY_COMPARE(QApplication::focusWidget(), chosen);
    }

    void headerIsReachedByTabInReadingOrder() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        MainView* v = w.view();
        v->modelList()->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(v->modelList()));
        const QList<QWidget*> order = {v->modelNameField(), v->bandList(), v->bandNameField(), v->speakerList(),
                                       v->logoEdit()};
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
        }
        // Alt+S reaches the speaker list through its label; Alt+P stays the
        // Program menu's.
        v->modelList()->setFocus();
        QTest::keyClick(&w, Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(v->speakerList()));
        QCOMPARE(v->modelNameField()->accessibleName(), QString("Model Name"));
        QCOMPARE(v->bandNameField()->accessibleName(), QString("Band Name"));
    }

    void exitAsksFirst() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        {
            ModalAnswerer no([](const QString&, const QString&) { return QMessageBox::No; });
            QVERIFY(!w.close());
            QCOMPARE(no.seen, QStringList({"Exit: Do you want to exit program?"}));
        }
        QVERIFY(w.isVisible());
        // An unsaved change is counted below the question; undoing it takes it away.
        emit w.view()->speakerList()->activated(1);
        {
            ModalAnswerer no([](const QString&, const QString&) { return QMessageBox::No; });
            QVERIFY(!w.close());
            QCOMPARE(no.seen, QStringList({"Exit: Do you want to exit program?\n\n"
                                           "1 change has not been saved."}));
        }
        QMenu* edit = nullptr;
        for (QAction* a : w.menuBar()->actions())
            if (a->text() == "Edit(&E)") edit = a->menu();
        QVERIFY(edit);
        QAction* undo = edit->actions().value(0);
        QVERIFY(undo && undo->isEnabled());
        QVERIFY(undo->shortcuts().contains(QKeySequence(QStringLiteral("Ctrl+Z"))));
        undo->trigger();
        QCOMPARE(w.view()->settings().header.speaker, 0);
        QCOMPARE(w.view()->speakerList()->currentIndex(), 0);
        {
            ModalAnswerer no([](const QString&, const QString&) { return QMessageBox::No; });
            QVERIFY(!w.close());
            QCOMPARE(no.seen, QStringList({"Exit: Do you want to exit program?"}));
        }
        {
            ModalAnswerer yes(ks340test::yesToAll);
            QAction* exit = findAction(w.fileMenu(), "Exit(&X)");
            exit->trigger();
            QCOMPARE(yes.seen.size(), 1);
        }
        QVERIFY(!w.isVisible());
    }

    void helpOpensTheFileOfTheWorkingDirectory() {
        Sandbox sandbox;
        MainWindow w;
        QList<QUrl> opened;
        w.setUrlOpener([&](const QUrl& url) {
            opened << url;
            return true;
        });
        writeBytes(sandbox.file("KS340_390.chm"), "help");
        QAction* help = nullptr;
        for (QAction* a : w.helpMenu()->actions())
            if (a->text() == "Help Topics") help = a;
        QVERIFY(help);
        help->trigger();
        QCOMPARE(opened.size(), 1);
        QCOMPARE(QFileInfo(opened[0].toLocalFile()).canonicalFilePath(),
                 QFileInfo(sandbox.file("KS340_390.chm")).canonicalFilePath());
    }
};

KS340_APP_TEST_MAIN(MainWindowTest)
#include "tst_app_mainwindow.moc"
