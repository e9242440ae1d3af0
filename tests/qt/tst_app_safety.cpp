// What keeps a user's work from being lost by accident: lists that ignore
// a stray mouse wheel, the file name and unsaved mark in the title, Save in
// the exit question, the notice with Undo after channels were cleared, and
// a killed program that takes its simulated radio with it.
#include <QActionGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QWheelEvent>
#include <QtTest>

#include <csignal>

#include "app/ChangeNotice.h"
#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/TabHost.h"
#include "app/UndoController.h"
#include "controls/FilterEdit.h"
#include "qt/tst_app_support.h"

using namespace ks340;
using ks340test::ModalAnswerer;
using ks340test::Sandbox;
using ks340test::wheel;

namespace {

void programChannels(MainView* v, int count) {
    for (int c = 1; c <= count; ++c) v->settings().channelTable.groups[0].channels[c].rxFrequency = "450.00000";
    v->showReplacedConfiguration();
}

bool processAlive(qint64 pid) { return pid > 0 && ::kill(pid_t(pid), 0) == 0; }

}  // namespace

class SafetyTest : public QObject {
    Q_OBJECT
private slots:
    void wheelChangesAListOnlyWithTheFocus() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QComboBox* band = w.view()->bandList();
        QComboBox* onPage = w.view()->page(MainView::OptionTab)->findChild<QComboBox*>();
        w.view()->tabs()->setCurrentIndex(MainView::OptionTab);
        for (QComboBox* list : {band, onPage}) {
            QCOMPARE(list->focusPolicy(), Qt::StrongFocus);
            w.view()->logoEdit()->setFocus();
            const int before = list->currentIndex();
            wheel(list);
            QCOMPARE(list->currentIndex(), before);
        }
        QCOMPARE(w.view()->settings().header.radioBand, 0);
        // With the focus the wheel still chooses, as the user expects.
        band->setFocus();
        QTRY_VERIFY(band->hasFocus());
        wheel(band);
        QCOMPARE(band->currentIndex(), 1);
        w.setConfirmExit(false);
    }

    void titleNamesTheFileAndMarksUnsavedChanges() {
        Sandbox sandbox;
        MainWindow w;
        const QString caption = QStringLiteral(" - Vandrell KS340/390 Series PC Programmer");
        QCOMPARE(w.windowTitle(), "Untitled" + caption);
        emit w.view()->speakerList()->activated(1);
        QCOMPARE(w.windowTitle(), "Untitled*" + caption);
        QVERIFY(w.view()->saveFile(sandbox.file("fleet.ks3")));
        QCOMPARE(w.windowTitle(), "fleet.ks3" + caption);
        emit w.view()->speakerList()->activated(0);
        QCOMPARE(w.windowTitle(), "fleet.ks3*" + caption);
        w.undoController()->undo();
        QCOMPARE(w.windowTitle(), "fleet.ks3" + caption);
        w.setConfirmExit(false);
    }

    void exitQuestionOffersSaveWhenUnsaved() {
        Sandbox sandbox;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QStringList buttons;
        auto record = [&buttons](QMessageBox::StandardButton answer) {
            return [&buttons, answer](const QString&, const QString&) {
                buttons.clear();
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                    for (QAbstractButton* b : box->buttons()) buttons << b->text().remove('&');
                return answer;
            };
        };
        {
            ModalAnswerer no(record(QMessageBox::No));
            QVERIFY(!w.close());
        }
        buttons.sort();
        QCOMPARE(buttons, QStringList({"No", "Yes"}));
        emit w.view()->speakerList()->activated(1);
        const QString path = sandbox.file("kept.ks3");
        {
            ModalAnswerer save(record(QMessageBox::Save));
            save.onOtherModal = [path](QWidget* modal) {
                if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                    dialog->selectFile(path);
                    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
                }
            };
            QVERIFY(w.close());
        }
        buttons.sort();
        QCOMPARE(buttons, QStringList({"No", "Save", "Yes"}));
        QVERIFY(QFile::exists(path));
    }

    void noticeAfterClearedChannelsUndoesThem() {
        Sandbox sandbox;
        MainWindow w;
        MainView* v = w.view();
        programChannels(v, 5);
        w.undoController()->recordStep(QStringLiteral("Set channels"));
        ChangeNotice* notice = w.changeNotice();
        QVERIFY(notice->text().isEmpty());
        // The band list chooses the other band: every channel goes.
        v->bandList()->setCurrentIndex(1);
        emit v->bandList()->activated(1);
        QCOMPARE(ChangeNotice::visibleChannels(v->settings()), 0);
        QCOMPARE(notice->text(), QStringLiteral("Set Band: 5 channels cleared."));
        notice->undoButton()->click();
        QCOMPARE(ChangeNotice::visibleChannels(v->settings()), 5);
        QCOMPARE(v->settings().header.radioBand, 0);
        QVERIFY(notice->text().isEmpty());
        // The next edit takes a notice away.
        emit v->bandList()->activated(1);
        QVERIFY(!notice->text().isEmpty());
        emit v->speakerList()->activated(1);
        QVERIFY(notice->text().isEmpty());
        // A file opened over unsaved edits says what was replaced.
        QVERIFY(v->saveFile(sandbox.file("other.ks3")));
        emit v->speakerList()->activated(0);
        QVERIFY(v->openFile(sandbox.file("other.ks3")));
        QCOMPARE(notice->text(), QStringLiteral("Opened other.ks3: 1 unsaved change replaced."));
        QCOMPARE(ChangeNotice::noteFor("Set Channel 3 Rx Freq.", 4, 3, 0), QString());
        QCOMPARE(ChangeNotice::noteFor("Set group capabilities", 9, 4, 0),
                 QStringLiteral("Set group capabilities: 5 channels hidden (outside the groups' sizes)."));
        w.setConfirmExit(false);
    }

    void readAndWriteKeysClashWithNoStandardKey() {
        Sandbox sandbox;
        MainWindow w;
        for (QAction* a : {w.readAction(), w.writeAction()}) {
            QVERIFY(!a->shortcut().isEmpty());
            for (int k = QKeySequence::HelpContents; k <= QKeySequence::Backspace; ++k)
                QVERIFY2(!QKeySequence::keyBindings(QKeySequence::StandardKey(k)).contains(a->shortcut()),
                         qPrintable(a->shortcut().toString()));
            QVERIFY(w.programMenu()->actions().contains(a));
        }
        QVERIFY(w.readAction()->shortcut() != w.writeAction()->shortcut());
        w.setConfirmExit(false);
    }

    void portChoicesAreOneExclusiveGroup() {
        Sandbox sandbox;
        MainWindow w;
        w.rebuildPortMenu();
        QAction* com10 = nullptr;
        QList<QAction*> choices;
        for (QAction* a : w.portMenu()->actions()) {
            if (a->text() == "COM 10") com10 = a;
            if (a->isCheckable()) choices << a;
        }
        QVERIFY(com10);
        QVERIFY(com10->actionGroup() && com10->actionGroup()->isExclusive());
        for (QAction* a : choices) QCOMPARE(a->actionGroup(), com10->actionGroup());
        com10->trigger();
        QCOMPARE(w.view()->currentPort().comNumber, 10);
        w.setConfirmExit(false);
    }

    void terminationEndsTheSimulatedRadio() {
        Sandbox sandbox;
        const QString program = QString::fromLocal8Bit(KS340_BINARY_DIR) + QStringLiteral("/src/app/ks340");
        QVERIFY2(QFileInfo::exists(program), "ks340 was not built");
        QProcess ks340;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        ks340.setProcessEnvironment(env);
        ks340.start(program, {QStringLiteral("--simulated-radio")});
        QVERIFY(ks340.waitForStarted());
        // The simulator is the program's child.
        qint64 sim = 0;
        const QString children = QStringLiteral("/proc/%1/task/%1/children").arg(ks340.processId());
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                QFile f(children);
                if (!f.open(QIODevice::ReadOnly)) return false;
                sim = f.readAll().trimmed().split(' ').value(0).toLongLong();
                return sim > 0;
            }(),
            10000);
        QVERIFY(processAlive(sim));
        ::kill(pid_t(ks340.processId()), SIGTERM);
        QVERIFY(ks340.waitForFinished(10000));
        QCOMPARE(ks340.exitStatus(), QProcess::NormalExit);
        QCOMPARE(ks340.exitCode(), 128 + SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!processAlive(sim), 5000);
    }
};

QTEST_MAIN(SafetyTest)
#include "tst_app_safety.moc"
