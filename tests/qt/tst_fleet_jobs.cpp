// Fleet jobs run by ks340ctl against several simulated radios at once.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

#include "cli_sim_support.h"
#include "fleet/qt/FleetRunner.h"
#include "link/serial/SerialLatency.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"

using namespace ks340test;

namespace {

// N simulated radios in one ks340sim, linked as DIR/r1..rN.
class SimFleet {
public:
    bool start(const QString& dir, int count, const QStringList& extra) {
        QStringList args{QStringLiteral("--count"),  QString::number(count),        QStringLiteral("--link"),
                         dir + QStringLiteral("/r"), QStringLiteral("--baud"),      QStringLiteral("0"),
                         QStringLiteral("-q"),       QStringLiteral("--swap-radio")};
        proc_.start(simBinary(), args + extra);
        if (!proc_.waitForStarted(5000)) return false;
        QElapsedTimer t;
        t.start();
        QStringList paths;
        while (paths.size() < count && t.elapsed() < 10000) {
            if (!proc_.canReadLine()) proc_.waitForReadyRead(100);
            while (proc_.canReadLine()) paths << QString::fromLocal8Bit(proc_.readLine()).trimmed();
        }
        devices_ = paths;
        for (int k = 1; k <= count; ++k) ports_ << dir + QStringLiteral("/r%1").arg(k);
        return paths.size() == count;
    }
    ~SimFleet() {
        proc_.terminate();
        if (!proc_.waitForFinished(3000)) proc_.kill();
        proc_.waitForFinished(1000);
    }
    QStringList ports() const { return ports_; }
    QStringList devices() const { return devices_; }

private:
    QProcess proc_;
    QStringList ports_, devices_;
};

bool writeBase(const QString& path, int band) {
    ks340::RadioSettings s = ks340::newRadioSettings();
    s.header.radioBand = band;
    ks340::prepareForSave(s);
    return ks340::writeSettingFile(path.toStdString(), s).ok;
}

QString unitList(int count) {
    QString text = QStringLiteral("Unit,encode.aniSequence,header.lcdDisplayLogo\n");
    for (int i = 1; i <= count; ++i)
        text += QStringLiteral("U%1,%2,FLEET %1\n").arg(i, 2, 10, QChar('0')).arg(i % 8 + 1);
    return text;
}

// The report's rows by unit: Unit,Port,Start,End,Result,Step,Reason,Backup,SHA-256,Verify,Read First
QMap<QString, QStringList> report(const QString& dir) {
    QMap<QString, QStringList> rows;
    const QStringList lines =
        QString::fromUtf8(readFile(dir + QStringLiteral("/fleet-report.csv"))).split(QStringLiteral("\r\n"));
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty()) continue;
        const std::vector<std::string> f = ks340::splitCsvLine(lines[i].toStdString());
        QStringList cells;
        for (const std::string& c : f) cells << QString::fromStdString(c);
        rows[cells.value(0)] = cells;
    }
    return rows;
}

QStringList fleetArgs(const QString& dir, const QStringList& ports) {
    QStringList args{QStringLiteral("fleet"),    dir + QStringLiteral("/base.ks3"),
                     QStringLiteral("--units"),  dir + QStringLiteral("/units.csv"),
                     QStringLiteral("--report"), dir + QStringLiteral("/report")};
    for (const QString& p : ports) args << QStringLiteral("--port") << p;
    return args;
}

}  // namespace

class FleetJobs : public QObject {
    Q_OBJECT
private slots:
    void faultsOnOnePortLeaveTheOthersRunning();
    void aRadioOfAnotherBandIsNeverWritten();
    void refusedBeforeAnyRadioIsTouched();
    void resumesAfterTheJobIsKilled();
    void promptModeWaitsForEnterAndRedoWritesAgain();
    void adapterLatencyTimerIsRead();
};

void FleetJobs::faultsOnOnePortLeaveTheOthersRunning() {
    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path() + "/base.ks3", 0));
    QVERIFY(writeFile(dir.path() + "/units.csv", unitList(10).toUtf8()));
    SimFleet sims;
    QVERIFY(
        sims.start(dir.path(), 4,
                   {"--ks3", dir.path() + "/base.ks3", "--radio", "2", "--drop-reply", "2%", "--corrupt-packet", "2%",
                    "--seed", "7", "--radio", "3", "--refuse-requests", "2", "--radio", "4", "--hangup-after", "300"}));
    const Run run = runCtl(fleetArgs(dir.path(), sims.ports()) << "--auto", 120000);
    QCOMPARE(run.exitCode, 1);  // one unit failed

    const auto rows = report(dir.path() + "/report");
    QCOMPARE(rows.size(), 10);
    QStringList failed;
    QSet<QString> portsUsed;
    for (const QStringList& r : rows) {
        if (r[4] == "failed") {
            failed << r[0];
            // The radio hung up while it was read first: never written.
            QCOMPARE(r[1], sims.ports()[3]);
            QCOMPARE(r[5], QStringLiteral("read first"));
            QVERIFY2(r[6].contains("the port went away") && r[6].contains("nothing was written"), qPrintable(r[6]));
            QVERIFY(r[8].isEmpty());
        } else {
            QCOMPARE(r[4], QStringLiteral("done"));
            QCOMPARE(r[9], QStringLiteral("match"));
            QCOMPARE(r[10], QStringLiteral("yes"));
            QVERIFY(QFile::exists(r[7]));
            QCOMPARE(readFile(r[7]).size(), 8192);
            QCOMPARE(r[8].size(), 64);
            portsUsed.insert(r[1]);
        }
    }
    QCOMPARE(failed.size(), 1);
    // The damaged line and the refusing radio still did their share.
    QVERIFY(portsUsed.contains(sims.ports()[1]));
    QVERIFY(portsUsed.contains(sims.ports()[2]));
    QVERIFY(run.out.contains("9 of 10 units done, 1 failed"));
    QVERIFY(QFile::exists(dir.path() + "/report/fleet-report.pdf"));
}

void FleetJobs::aRadioOfAnotherBandIsNeverWritten() {
    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path() + "/base.ks3", 0));
    QVERIFY(writeBase(dir.path() + "/vhf.ks3", 1));
    QVERIFY(writeFile(dir.path() + "/units.csv", unitList(4).toUtf8()));
    SimFleet sims;
    QVERIFY(sims.start(dir.path(), 2,
                       {"--ks3", dir.path() + "/base.ks3", "--radio", "2", "--ks3", dir.path() + "/vhf.ks3", "--save",
                        dir.path() + "/radio2.img"}));
    const Run run = runCtl(fleetArgs(dir.path(), sims.ports()) << "--auto", 60000);
    QCOMPARE(run.exitCode, 1);
    const auto rows = report(dir.path() + "/report");
    int mismatched = 0;
    for (const QStringList& r : rows) {
        if (r[1] != sims.ports()[1]) {
            QCOMPARE(r[4], QStringLiteral("done"));
            continue;
        }
        ++mismatched;
        QCOMPARE(r[5], QStringLiteral("model check"));
        QVERIFY2(r[6].contains("VHF2") && r[6].contains("UHF2"), qPrintable(r[6]));
        QVERIFY(QFile::exists(r[7]));  // its backup was kept all the same
    }
    // One failed unit: the port then waits for that radio to be taken off.
    QCOMPARE(mismatched, 1);
    QVERIFY(!QFile::exists(dir.path() + "/radio2.img"));  // no write reached it
}

void FleetJobs::refusedBeforeAnyRadioIsTouched() {
    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path() + "/base.ks3", 0));
    SimFleet sims;
    QVERIFY(sims.start(dir.path(), 2, {"--save", dir.path() + "/radio.img"}));

    // One bad row: the whole list is refused with its line and column.
    QVERIFY(writeFile(dir.path() + "/units.csv", "Unit,header.lcdDisplayLogo\nA,FLEET\nB,MUCH TOO LONG A LOGO\n"));
    Run run = runCtl(fleetArgs(dir.path(), sims.ports()) << "--auto");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("line 3, column header.lcdDisplayLogo"), qPrintable(run.err));

    // A link and the device it names are one port.
    QVERIFY(writeFile(dir.path() + "/units.csv", unitList(2).toUtf8()));
    run = runCtl(fleetArgs(dir.path(), {sims.ports()[0], sims.ports()[1], sims.devices()[0]}) << "--auto");
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("name the same device"), qPrintable(run.err));
    QCOMPARE(ks340::fleet::sameDeviceProblem({sims.ports()[0], sims.devices()[1]}), QString());

    QVERIFY(!QFile::exists(dir.path() + "/report/fleet-state.json"));
    QVERIFY(!QFile::exists(dir.path() + "/radio-1.img") && !QFile::exists(dir.path() + "/radio-2.img"));
}

void FleetJobs::resumesAfterTheJobIsKilled() {
    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path() + "/base.ks3", 0));
    QVERIFY(writeFile(dir.path() + "/units.csv", unitList(8).toUtf8()));
    SimFleet sims;
    QVERIFY(sims.start(dir.path(), 1, {"--ks3", dir.path() + "/base.ks3"}));
    const QStringList args = fleetArgs(dir.path(), sims.ports()) << "--auto";

    QProcess first;
    first.start(ctlBinary(), args);
    QVERIFY(first.waitForStarted(5000));
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 60000) {
        int done = 0;
        for (const QStringList& r : report(dir.path() + "/report")) done += r[4] == "done";
        if (done >= 2) break;
        QTest::qWait(20);
    }
    ::kill(static_cast<pid_t>(first.processId()), SIGKILL);
    QVERIFY(first.waitForFinished(5000));
    const auto before = report(dir.path() + "/report");
    QStringList doneBefore;
    for (const QStringList& r : before)
        if (r[4] == "done") doneBefore << r[0];
    QVERIFY(doneBefore.size() >= 2 && doneBefore.size() < 8);

    const Run second = runCtl(args, 60000);
    QCOMPARE(second.exitCode, 0);
    QVERIFY2(second.err.contains(QStringLiteral("resuming: %1 of 8 units are done already").arg(doneBefore.size())),
             qPrintable(second.err));
    const auto after = report(dir.path() + "/report");
    QCOMPARE(after.size(), 8);
    for (const QStringList& r : after) {
        QCOMPARE(r[4], QStringLiteral("done"));
        if (doneBefore.contains(r[0])) QCOMPARE(r, before[r[0]]);  // not written again
    }
}

void FleetJobs::promptModeWaitsForEnterAndRedoWritesAgain() {
    QTemporaryDir dir;
    QVERIFY(writeBase(dir.path() + "/base.ks3", 0));
    QVERIFY(writeFile(dir.path() + "/units.csv", unitList(2).toUtf8()));
    SimFleet sims;
    QVERIFY(sims.start(dir.path(), 1, {"--ks3", dir.path() + "/base.ks3"}));
    const QStringList args = fleetArgs(dir.path(), sims.ports());

    QProcess job;
    job.setProcessChannelMode(QProcess::MergedChannels);
    job.start(ctlBinary(), args);
    QVERIFY(job.waitForStarted(5000));
    QByteArray out;
    const auto waitFor = [&](const QByteArray& text) {
        QElapsedTimer t;
        t.start();
        while (!out.contains(text) && t.elapsed() < 30000) {
            job.waitForReadyRead(100);
            out += job.readAll();
        }
        return out.contains(text);
    };
    QVERIFY2(waitFor("unit U01, then press Enter"), out.constData());
    QTest::qWait(300);
    QVERIFY(!out.contains("U01: done"));  // nothing happens before Enter
    job.write("\n");
    QVERIFY2(waitFor("unit U02, then press Enter"), out.constData());
    QVERIFY(out.contains("U01: done"));
    job.write("\n");
    QVERIFY2(waitFor("U02: done"), out.constData());
    job.closeWriteChannel();
    QVERIFY(job.waitForFinished(30000));
    QCOMPARE(job.exitCode(), 0);

    // --redo writes the named unit again and only that one.
    const Run redo = runCtl(QStringList(args) << "--redo" << "U01" << "--auto", 60000);
    QCOMPARE(redo.exitCode, 0);
    const QString all = redo.out + redo.err;
    QVERIFY2(all.contains("U01: done") && !all.contains("U02: done"), qPrintable(all));
    const auto rows = report(dir.path() + "/report");
    QCOMPARE(rows.size(), 2);
    for (const QStringList& r : rows) QCOMPARE(r[4], QStringLiteral("done"));
}

void FleetJobs::adapterLatencyTimerIsRead() {
    QTemporaryDir sys;
    QVERIFY(QDir().mkpath(sys.path() + "/class/tty/ttyUSB7/device"));
    QVERIFY(writeFile(sys.path() + "/class/tty/ttyUSB7/device/latency_timer", "16\n"));
    QCOMPARE(ks340::adapterLatencyTimerMs("/dev/ttyUSB7", sys.path()), 16);
    QCOMPARE(ks340::adapterLatencyTimerMs("/dev/ttyUSB8", sys.path()), -1);  // no such timer: not named
}

QTEST_GUILESS_MAIN(FleetJobs)
#include "tst_fleet_jobs.moc"
