#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QToolBar>
#include <QtTest>

#include "app/FileActions.h"
#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/MemoryMapModel.h"
#include "app/ProgrammingDialog.h"
#include "app/SimulatorProcess.h"
#include "controls/FilterEdit.h"
#include "image/MemoryImage.h"
#include "pages/signalling/ModemPage.h"
#include "qt/tst_app_support.h"

using namespace ks340;
using ks340test::ModalAnswerer;
using ks340test::Sandbox;
using ks340test::toolAction;

namespace {

// Presses and releases a key on the dialog's window, as the keyboard does.
void pressKey(QDialog* dialog, Qt::Key key) { QTest::keyClick(dialog->windowHandle(), key); }

int okBottom(ProgrammingDialog* d) { return d->okButton()->mapTo(d, QPoint(0, d->okButton()->height())).y(); }

}  // namespace

class ProgrammingTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(!SimulatorProcess::findProgram().isEmpty(), "ks340sim was not built"); }

    void portOpenErrorClosesTheDialog() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        v->chooseDevicePath(sandbox.file("no-such-tty"));
        {
            ModalAnswerer answer(ks340test::yesToAll);
            bool dialogOpened = false;
            connect(v, &MainView::programmingDialogOpened, this, [&] { dialogOpened = true; });
            toolAction(w, "Write to Radio")->trigger();
            QVERIFY(dialogOpened);
            // The message keeps its text and adds the reason below it.
            QCOMPARE(answer.seen.size(), 1);
            QVERIFY2(answer.seen[0].startsWith("Error: " + sandbox.file("no-such-tty") + " Port Open Error!!\n\n"),
                     qPrintable(answer.seen[0]));
            QVERIFY2(answer.seen[0].contains("no such device"), qPrintable(answer.seen[0]));
            QCOMPARE(v->flags().requestedAction, 0);
            // Nothing went out: no backup of a failed write.
            QVERIFY(QDir(FileActions::backupDirectory()).entryList({"*-write-failed.img"}).isEmpty());
        }

        // A COM number whose device cannot be opened names the COM number.
        if (!QFileInfo::exists("/dev/ttyS2") || !QFileInfo("/dev/ttyS2").isWritable()) {
            ModalAnswerer again(ks340test::yesToAll);
            v->chooseComPort(3);
            toolAction(w, "Read from Radio")->trigger();
            QCOMPARE(again.seen.size(), 1);
            QVERIFY2(again.seen[0].startsWith("Error: Com3 Port Open Error!!"), qPrintable(again.seen[0]));
            QCOMPARE(v->flags().requestedAction, 0);
        }
    }

    void answeringNoSendsNothing() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        v->setSimulatorArguments({"--baud", "0"});
        QVERIFY(v->chooseSimulatedRadio());
        ModalAnswerer no([](const QString&, const QString&) { return QMessageBox::No; });
        ProgrammingDialog* dialog = nullptr;
        connect(v, &MainView::programmingDialogOpened, this, [&](ProgrammingDialog* d) { dialog = d; });
        toolAction(w, "Read from Radio")->trigger();
        QVERIFY(dialog != nullptr);
        QCOMPARE(no.seen, QStringList({"Radio Connection: Is the radio connected?"}));
        QCOMPARE(v->flags().requestedAction, 0);
        QVERIFY(!v->flags().radioReadDone);
    }

    void memoryMapToggle() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        v->setSimulatorArguments({"--baud", "0"});
        QVERIFY(v->chooseSimulatedRadio());
        v->settings().header.lcdDisplayLogo = "MAPTEST";

        QStringList answers;  // what to answer to the memory-map question, in turn
        ModalAnswerer answer([&](const QString& caption, const QString&) {
            if (caption == "Enable/Disable Memory Map")
                return answers.isEmpty() ? QMessageBox::No
                                         : (answers.takeFirst() == "Yes" ? QMessageBox::Yes : QMessageBox::No);
            return QMessageBox::Yes;
        });
        bool checked = false;
        answer.onOtherModal = [&](QWidget* modal) {
            auto* d = qobject_cast<ProgrammingDialog*>(modal);
            if (!d || checked || !answer.sawText("Is the radio connected?")) return;
            checked = true;
            // Read/Write from the menu: nothing starts by itself.
            QVERIFY(!d->job().running());
            QVERIFY(!d->mapShown());
            QVERIFY(d->memoryMap()->isHidden());
            QCOMPARE(d->height(), okBottom(d) + ProgrammingDialog::kMapHiddenMargin);

            answers << "Yes";
            const int before = int(answer.seen.size());
            pressKey(d, Qt::Key_F6);
            pressKey(d, Qt::Key_F7);
            QTRY_VERIFY(d->mapShown());
            QTest::qWait(50);
            QCOMPARE(int(answer.seen.size()), before + 1);  // asked once per F7
            QCOMPARE(answer.seen.last(), QString("Enable/Disable Memory Map: Enable memory map --> "
                                                 "Press Yes\n\nDisable memory map --> Press No"));
            QCOMPARE(v->flags().memoryMapEnabled, 1);
            QVERIFY(!d->memoryMap()->isHidden());
            QCOMPARE(d->height(), okBottom(d) + ProgrammingDialog::kMapShownMargin);
            QAbstractItemModel* m = d->memoryMap()->model();
            QCOMPARE(m->rowCount(), 512);
            QCOMPARE(m->columnCount(), 16);
            QCOMPARE(m->headerData(0, Qt::Vertical).toString(), QString("000"));
            QCOMPARE(m->headerData(511, Qt::Vertical).toString(), QString("1FF"));
            QCOMPARE(m->headerData(10, Qt::Horizontal).toString(), QString("A"));
            const MemoryImage expected = encodeMemoryImage(v->settings());
            for (int address : {0, 0x17, 0x100, 0x1234, 0x1FDF, 0x1FFF}) {
                const QString cell = m->index(address / 16, address % 16).data().toString();
                QCOMPARE(cell, QString("%1").arg(expected[std::size_t(address)], 2, 16, QLatin1Char('0')).toUpper());
            }

            // F6, another key, F7: no question.
            const int asked = int(answer.seen.size());
            pressKey(d, Qt::Key_F6);
            pressKey(d, Qt::Key_A);
            pressKey(d, Qt::Key_F7);
            QTest::qWait(50);
            QCOMPARE(int(answer.seen.size()), asked);

            // F6, F7, No: back to 15 pixels below OK.
            answers << "No";
            pressKey(d, Qt::Key_F6);
            pressKey(d, Qt::Key_F7);
            QTRY_VERIFY(!d->mapShown());
            QVERIFY(d->memoryMap()->isHidden());
            QCOMPARE(d->height(), okBottom(d) + ProgrammingDialog::kMapHiddenMargin);
            QCOMPARE(v->flags().memoryMapEnabled, 0);
            d->okButton()->click();
        };
        v->flags().requestedAction = 0;
        v->programRadio(0);
        QVERIFY(checked);
    }

    void writeThenReadThroughTheDialog() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        v->setSimulatorArguments({"--baud", "0"});
        QVERIFY(v->chooseSimulatedRadio());

        // The configuration to write: another model and band, speaker, logo.
        emit v->modelList()->activated(1);
        emit v->bandList()->activated(1);
        emit v->speakerList()->activated(1);
        v->logoEdit()->setText("WRITTEN");
        const HeaderSettings written = v->settings().header;
        auto* modem = static_cast<ModemPage*>(v->page(MainView::ModemTab));
        modem->modemTextField(0)->setFocus();
        QTest::keyClicks(modem->modemTextField(0), "HELLO");
        QCOMPARE(v->settings().modem.modemText[0], std::string("HELLO"));

        bool buttonsDisabledWhileBusy = false;
        bool buttonsEnabledAtEnd = false;
        int progressMax = -1, progressLast = -1;
        auto answer = std::make_unique<ModalAnswerer>(ks340test::yesToAll);
        connect(v, &MainView::programmingDialogOpened, this, [&](ProgrammingDialog* d) {
            connect(&d->job(), &SerialTransferJob::busyChanged, d, [&, d](bool busy) {
                // Cancel stays enabled: it stops the transfer after asking.
                if (busy)
                    buttonsDisabledWhileBusy = !d->writeButton()->isEnabled() && !d->readButton()->isEnabled() &&
                                               !d->okButton()->isEnabled() && d->cancelButton()->isEnabled();
            });
            connect(&d->job(), &SerialTransferJob::finished, d, [&, d] {
                progressMax = d->progressBar()->maximum();
                progressLast = d->progressBar()->value();
            });
        });
        answer->onOtherModal = [&](QWidget* modal) {
            auto* d = qobject_cast<ProgrammingDialog*>(modal);
            if (!d) return;
            if (answer->sawText("Writing Data Complete!")) {
                buttonsEnabledAtEnd = d->writeButton()->isEnabled() && d->okButton()->isEnabled();
                d->okButton()->click();
            }
        };
        toolAction(w, "Write to Radio")->trigger();
        QCOMPARE(answer->seen,
                 QStringList({"Radio Connection: Is the radio connected?", "Information: Writing Data Complete!"}));
        answer.reset();
        QVERIFY(buttonsDisabledWhileBusy);
        QVERIFY(buttonsEnabledAtEnd);
        QCOMPARE(progressMax, 509);
        QCOMPARE(progressLast, 509);
        QCOMPARE(v->flags().requestedAction, 0);
        QVERIFY(!v->flags().radioReadDone);

        // Back to the defaults, then read the radio and close with Cancel.
        QVERIFY(v->newConfiguration(false));
        QCOMPARE(v->modelNameField()->text(), QString("KS-340"));
        QCOMPARE(modem->modemTextField(0)->text(), QString());
        ModalAnswerer readAnswer(ks340test::yesToAll);
        readAnswer.onOtherModal = [&](QWidget* modal) {
            auto* d = qobject_cast<ProgrammingDialog*>(modal);
            if (d && readAnswer.sawText("Reading Data Complete!")) {
                QVERIFY(v->flags().radioReadDone);
                d->cancelButton()->click();
            }
        };
        toolAction(w, "Read from Radio")->trigger();
        QCOMPARE(readAnswer.seen,
                 QStringList({"Radio Connection: Is the radio connected?", "Information: Reading Data Complete!"}));
        const HeaderSettings& h = v->settings().header;
        QCOMPARE(h.model, written.model);
        QCOMPARE(h.radioBand, written.radioBand);
        QCOMPARE(h.speaker, written.speaker);
        QCOMPARE(h.lcdDisplayLogo, written.lcdDisplayLogo);
        QCOMPARE(v->flags().requestedAction, 0);
        QVERIFY(!v->flags().radioReadDone);
        // The header shows what was read.
        QCOMPARE(v->modelList()->currentIndex(), 1);
        QCOMPARE(v->modelNameField()->text(), QString("KS-390"));
        QCOMPARE(v->bandNameField()->text(), QString("VHF2 (148 ~ 174Mhz)"));
        QCOMPARE(v->speakerList()->currentIndex(), 1);
        QCOMPARE(v->logoEdit()->text(), QString("WRITTEN"));
        // So do the pages.
        QCOMPARE(modem->modemTextField(0)->text(), QString("HELLO"));

        // The simulator stops with the program.
        SimulatorProcess* sim = v->simulator();
        QVERIFY(sim->isRunning());
        w.setConfirmExit(false);
        w.close();
        QVERIFY(!sim->isRunning());
    }

    // Verify After Write: the read-back starts by itself and one box
    // reports both; the question before names the port in a box wide
    // enough for its caption.
    void writeWithVerifyEndsWithOneBox() {
        Sandbox sandbox;
        FileActions::setVerifyAfterWrite(true);
        MainWindow w;
        MainView* v = w.view();
        v->setSimulatorArguments({"--baud", "0"});
        QVERIFY(v->chooseSimulatedRadio());
        QString portLine;
        bool wideEnough = false;
        ModalAnswerer answer([&](const QString& caption, const QString&) {
            if (caption == "Radio Connection") {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                portLine = box->informativeText();
                wideEnough = box->width() >= box->fontMetrics().horizontalAdvance(caption) + 100;
            }
            return QMessageBox::Yes;
        });
        answer.onOtherModal = [&](QWidget* modal) {
            auto* d = qobject_cast<ProgrammingDialog*>(modal);
            if (d && answer.seen.size() == 2) d->okButton()->click();
        };
        toolAction(w, "Write to Radio")->trigger();
        FileActions::setVerifyAfterWrite(false);
        QCOMPARE(answer.seen, QStringList({"Radio Connection: Is the radio connected?",
                                           "Information: Writing Data Complete!\n\nVerify OK: the radio holds "
                                           "the bytes written."}));
        QVERIFY2(portLine.startsWith("Port: /dev/"), qPrintable(portLine));
        QVERIFY(wideEnough);
        w.setConfirmExit(false);
    }

    // Closing while a write runs asks first and names the backup; No goes
    // on, Yes stops and says what the radio holds.
    void closingDuringAWriteAsksFirst() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        v->setSimulatorArguments({"--baud", "0", "--reply-delay", "5"});
        QVERIFY(v->chooseSimulatedRadio());
        v->flags().memoryMapEnabled = 1;
        int step = 0;
        bool stillRunningAfterNo = false;
        ModalAnswerer answer([&](const QString& caption, const QString&) {
            if (caption == "Stop Transfer") return step == 1 ? QMessageBox::No : QMessageBox::Yes;
            return QMessageBox::Yes;
        });
        answer.onOtherModal = [&](QWidget* modal) {
            auto* d = qobject_cast<ProgrammingDialog*>(modal);
            if (!d) return;
            if (step == 0 && d->job().job().writeStarted() && d->job().job().blocksWritten() > 200) {
                QVERIFY(d->cancelButton()->isEnabled());
                QVERIFY(!d->timeLeftLabel()->text().isEmpty());
                // For the user guide: the dialog during a write.
                const QString shots = QString::fromLocal8Bit(KS340_BINARY_DIR) + QStringLiteral("/screenshots");
                QDir().mkpath(shots);
                d->grab().save(shots + QStringLiteral("/programming-dialog.png"));
                step = 1;
                d->close();  // the close box; answered No
                stillRunningAfterNo = d->job().running() && d->isVisible();
                step = 2;
                QTest::keyClick(d, Qt::Key_Escape);  // answered Yes
            }
        };
        toolAction(w, "Write to Radio")->trigger();
        QCOMPARE(step, 2);
        QVERIFY(stillRunningAfterNo);
        QCOMPARE(answer.seen.size(), 4);
        const QString backups = FileActions::backupDirectory();
        for (int i : {1, 2}) {
            QVERIFY2(answer.seen[i].startsWith("Stop Transfer: Stop writing?\n\nThe radio will be partly written"),
                     qPrintable(answer.seen[i]));
            QVERIFY2(answer.seen[i].contains("The backup " + backups), qPrintable(answer.seen[i]));
            QVERIFY2(answer.seen[i].contains("restores it"), qPrintable(answer.seen[i]));
        }
        QVERIFY2(answer.seen[3].startsWith("Transfer Stopped: Writing stopped.\nThe radio is partly written: it "
                                           "accepted "),
                 qPrintable(answer.seen[3]));
        QVERIFY2(answer.seen[3].contains("-write-failed.img holds the image being written"),
                 qPrintable(answer.seen[3]));
        QCOMPARE(v->flags().requestedAction, 0);
        w.setConfirmExit(false);
    }

    void radioImageIsWrittenByteForByte() {
        Sandbox sandbox;
        // An image no encoder would make: every byte counts up, so any byte
        // re-encoded on the way would show.
        MemoryImage image{};
        for (std::size_t i = 0; i < image.size(); ++i) image[i] = std::uint8_t(i * 7 + 3);
        const QString imagePath = sandbox.file("saved.img");
        {
            QFile f(imagePath);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(reinterpret_cast<const char*>(image.data()), qint64(image.size()));
        }
        const QString radioMemory = sandbox.file("radio.img");
        MainWindow w;
        MainView* v = w.view();
        const RadioSettings before = v->settings();
        v->setSimulatorArguments({"--baud", "0", "--save", radioMemory});
        QVERIFY(v->chooseSimulatedRadio());

        {
            ModalAnswerer answer(ks340test::yesToAll);
            answer.onOtherModal = [&](QWidget* modal) {
                auto* d = qobject_cast<ProgrammingDialog*>(modal);
                if (d && answer.sawText("Writing Data Complete!")) d->okButton()->click();
            };
            QVERIFY(w.writeImageFileToRadio(imagePath));
            QVERIFY(answer.sawText("Writing Data Complete!"));
        }
        QTRY_VERIFY(QFileInfo(radioMemory).size() == qint64(image.size()));
        QFile saved(radioMemory);
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QByteArray bytes = saved.readAll();
        // The radio's last half-block is not part of a write.
        const int written = int(kTransferBlockCount) * 16;
        QCOMPARE(bytes.left(written), QByteArray(reinterpret_cast<const char*>(image.data()), written));
        // The configuration being edited is not touched.
        QVERIFY(v->settings() == before);
        QCOMPARE(v->flags().requestedAction, 0);

        // A file that is not an image is refused with a message.
        const QString notImage = sandbox.file("short.img");
        {
            QFile f(notImage);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("too short");
        }
        ModalAnswerer error(ks340test::yesToAll);
        QVERIFY(!w.writeImageFileToRadio(notImage));
        QCOMPARE(error.seen.size(), 1);
        QVERIFY(error.seen[0].startsWith("Error: "));
        w.setConfirmExit(false);
    }
};

KS340_APP_TEST_MAIN(ProgrammingTest)
#include "tst_app_programming.moc"
