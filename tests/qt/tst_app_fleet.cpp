// The Fleet Programming dialog: reachable and named controls, and a job on
// simulated radios run from it.
#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "app/FleetDialog.h"
#include "cli_sim_support.h"
#include "fleet/qt/FleetRunner.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

using namespace ks340;

class FleetDialogTest : public QObject {
    Q_OBJECT
private slots:
    void runsAJobOnSimulatedRadiosWithNamedControls();
};

void FleetDialogTest::runsAJobOnSimulatedRadiosWithNamedControls() {
    QTemporaryDir dir;
    RadioSettings s = newRadioSettings();
    prepareForSave(s);
    QVERIFY(writeSettingFile((dir.path() + "/base.ks3").toStdString(), s).ok);
    QVERIFY(ks340test::writeFile(dir.path() + "/units.csv", "Unit,header.lcdDisplayLogo\nA1,ONE\nA2,TWO\nA3,THREE\n"));

    FleetDialog dialog(dir.path() + "/base.ks3");
    dialog.setSimulatorArguments({"--baud", "0"});
    dialog.show();
    auto named = [&](const QString& name) {
        for (QWidget* w : dialog.findChildren<QWidget*>())
            if (w->accessibleName() == name) return w;
        return static_cast<QWidget*>(nullptr);
    };
    qobject_cast<QLineEdit*>(named("Unit list"))->setText(dir.path() + "/units.csv");
    qobject_cast<QLineEdit*>(named("Report folder"))->setText(dir.path() + "/report");
    qobject_cast<QSpinBox*>(named("Simulated radios"))->setValue(2);
    qobject_cast<QCheckBox*>(named("Automatic: a read request every 2 s until a radio answers"))->setChecked(true);
    qobject_cast<QAbstractButton*>(named("Start"))->click();
    QVERIFY(dialog.runner());
    // A real event loop: QTest's waits sleep between passes and would pace the radios.
    QSignalSpy finished(dialog.runner(), &fleet::FleetRunner::finished);
    QVERIFY(finished.wait(60000));

    const auto* table = qobject_cast<QTableWidget*>(named("Units"));
    QCOMPARE(table->rowCount(), 3);
    for (int row = 0; row < 3; ++row) QCOMPARE(table->item(row, 1)->text(), QStringLiteral("done"));
    QTRY_VERIFY(named("Open Report")->isEnabled());
    QVERIFY(named("Port 2 " + dialog.runner()->setup().ports[1]));  // a progress bar per port
    QVERIFY(QFile::exists(dir.path() + "/report/fleet-report.pdf"));

    // Every control the keyboard reaches carries a name.
    for (QWidget* w : dialog.findChildren<QWidget*>())
        if (w->isVisible() && (w->focusPolicy() & Qt::TabFocus) &&
            !qobject_cast<QAbstractScrollArea*>(w->parentWidget()) &&
            !qobject_cast<QAbstractSpinBox*>(w->parentWidget()))
            QVERIFY2(!w->accessibleName().isEmpty() || w->inherits("QHeaderView") || w->inherits("QScrollBar"),
                     w->metaObject()->className());
}

QTEST_MAIN(FleetDialogTest)
#include "tst_app_fleet.moc"
