// ks340ctl's backups, verify, trace, channel CSV and diff, end to end with
// the simulated radio over a pseudo-terminal.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

#include <signal.h>

#include "qt/cli_sim_support.h"

namespace {

using namespace ks340test;

Run ctl(const QStringList& args) { return runCtl(args); }

QByteArray sent(const QByteArray& image) { return image.left(0x1FE0); }

QStringList backups(const QString& dir) {
    QStringList files = QDir(dir).entryList({QStringLiteral("ks340-*.img")}, QDir::Files, QDir::Name);
    for (QString& f : files) f = QDir(dir).filePath(f);
    return files;
}

}  // namespace

class CliTransfersTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void everyTransferKeepsABackupThatRestoresTheRadio();
    void noBackupKeepsNone();
    void ctrlCStopsAReadAtOnceAndAWriteOnTheSecond();
    void verifyFindsTheByteTheRadioStoredWrongly();
    void traceHoldsEveryByteEachWay();
    void csvImportExportAndDiff();
    void badCsvChangesNothing();

private:
    QTemporaryDir dir_;
    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
};

void CliTransfersTest::initTestCase() {
    QVERIFY2(QFileInfo::exists(ctlBinary()), "ks340ctl was not built");
    QVERIFY2(QFileInfo::exists(simBinary()), "ks340sim was not built");
    QVERIFY(dir_.isValid());
}

void CliTransfersTest::everyTransferKeepsABackupThatRestoresTheRadio() {
    const QByteArray original = randomImage(11);
    QVERIFY(writeFile(file("radio.img"), original));
    Sim sim;
    QVERIFY(sim.start({"--image", file("radio.img")}));
    const QString backupDir = file("backups");

    // A read keeps what the radio held.
    Run r = ctl({"read", "--port", sim.path(), "-o", file("read.ks3"), "--backup-dir", backupDir});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(backups(backupDir).size(), 1);
    const QString readBackup = backups(backupDir).first();
    QVERIFY(readBackup.endsWith("-read.img"));
    QCOMPARE(sent(readFile(readBackup)), sent(original));
    QVERIFY2(r.err.contains(readBackup), qPrintable(r.err));

    // A write keeps what it sent.
    const QByteArray other = randomImage(12);
    QVERIFY(writeFile(file("other.img"), other));
    r = ctl({"write", file("other.img"), "--port", sim.path(), "--backup-dir", backupDir});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(backups(backupDir).size(), 2);
    const QString writeBackup = backups(backupDir).last();
    QVERIFY(writeBackup.endsWith("-write.img"));
    QCOMPARE(readFile(writeBackup), other);

    // Writing the read backup puts the radio back exactly as it was.
    r = ctl({"write", readBackup, "--port", sim.path(), "--no-backup"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    r = ctl({"read", "--port", sim.path(), "-o", file("restored.img"), "--no-backup"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QCOMPARE(sent(readFile(file("restored.img"))), sent(original));
    QCOMPARE(backups(backupDir).size(), 2);
}

void CliTransfersTest::noBackupKeepsNone() {
    Sim sim;
    QVERIFY(sim.start({}));
    QVERIFY(writeFile(file("nb.img"), randomImage(3)));
    const QString backupDir = file("nobackups");
    Run r = ctl({"write", file("nb.img"), "--port", sim.path(), "--no-backup", "--backup-dir", backupDir});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(backups(backupDir).isEmpty());
    r = ctl({"read", "--port", sim.path(), "-o", file("nb2.img"), "--verify"});
    QCOMPARE(r.exitCode, 2);

    // A port that does not open sends nothing and keeps no backup.
    r = ctl({"write", file("nb.img"), "--port", "/dev/ks340-missing", "--backup-dir", backupDir});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(backups(backupDir).isEmpty());
}

void CliTransfersTest::ctrlCStopsAReadAtOnceAndAWriteOnTheSecond() {
    {
        Sim slow;
        QVERIFY(slow.start({"--reply-delay", "5"}));
        QProcess read;
        read.start(ctlBinary(), {"read", "--port", slow.path(), "-o", file("stopped.img"), "--no-backup"});
        QVERIFY(read.waitForStarted(5000));
        QTest::qWait(500);
        ::kill(pid_t(read.processId()), SIGINT);
        QVERIFY(read.waitForFinished(5000));
        QCOMPARE(read.exitCode(), 130);
        const QString err = QString::fromLocal8Bit(read.readAllStandardError());
        QVERIFY2(err.contains("Reading stopped.\nThe radio was not changed."), qPrintable(err));
        QVERIFY(!QFileInfo::exists(file("stopped.img")));
    }
    Sim slow;
    QVERIFY(slow.start({"--reply-delay", "5"}));
    QVERIFY(writeFile(file("cc.img"), randomImage(8)));
    const QString backupDir = file("ccbackups");
    QProcess write;
    write.start(ctlBinary(), {"write", file("cc.img"), "--port", slow.path(), "--backup-dir", backupDir});
    QVERIFY(write.waitForStarted(5000));
    // The write's backup appears when its first block goes out.
    QTRY_VERIFY_WITH_TIMEOUT(!backups(backupDir).isEmpty(), 5000);
    QTest::qWait(200);
    ::kill(pid_t(write.processId()), SIGINT);
    QVERIFY(!write.waitForFinished(300));  // one Ctrl-C only warns
    QString err = QString::fromLocal8Bit(write.readAllStandardError());
    QVERIFY2(err.contains("stopping now leaves the radio partly written"), qPrintable(err));
    QVERIFY2(err.contains("Press Ctrl-C again"), qPrintable(err));
    ::kill(pid_t(write.processId()), SIGINT);
    QVERIFY(write.waitForFinished(5000));
    QCOMPARE(write.exitCode(), 130);
    err += QString::fromLocal8Bit(write.readAllStandardError());
    const QStringList kept = backups(backupDir);
    QCOMPARE(kept.size(), 1);
    QVERIFY(kept[0].endsWith("-write-failed.img"));
    QCOMPARE(readFile(kept[0]), randomImage(8));
    QVERIFY2(err.contains("Writing stopped.\nThe radio is partly written"), qPrintable(err));
    QVERIFY2(err.contains("The backup " + kept[0] + " holds the image being written"), qPrintable(err));
}

void CliTransfersTest::verifyFindsTheByteTheRadioStoredWrongly() {
    QVERIFY(writeFile(file("v.img"), randomImage(21)));
    {
        Sim good;
        QVERIFY(good.start({}));
        const Run r = ctl({"write", file("v.img"), "--port", good.path(), "--verify", "--no-backup"});
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QVERIFY2(r.out.contains("Verify OK"), qPrintable(r.out));
    }
    Sim bad;
    QVERIFY(bad.start({"--wrong-byte", "0x75", "--wrong-byte", "0x1015"}));
    const Run r = ctl({"write", file("v.img"), "--port", bad.path(), "--verify", "--no-backup"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.out.contains("Writing Data Complete!"), qPrintable(r.out));
    QVERIFY2(r.err.contains("2 byte(s) differ"), qPrintable(r.err));
    // Address 0x75 lies in channel 13's record, 0x1015 in channel 1's label.
    QVERIFY2(r.err.contains(QRegularExpression("0x0075: sent [0-9A-F]{2}, read [0-9A-F]{2} \\(Channel 13\\)")),
             qPrintable(r.err));
    QVERIFY2(r.err.contains(QRegularExpression("0x1015: .*\\(Channel 1 Label\\)")), qPrintable(r.err));
}

void CliTransfersTest::traceHoldsEveryByteEachWay() {
    Sim sim;
    QVERIFY(sim.start({}));
    QVERIFY(writeFile(file("t.img"), randomImage(5)));
    const QString trace = file("trace.txt");
    const Run r = ctl({"--trace", trace, "write", file("t.img"), "--port", sim.path(), "--no-backup"});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    const QStringList lines = QString::fromLatin1(readFile(trace)).split('\n', Qt::SkipEmptyParts);
    int blocks = 0, replies = 0, packetsSent = 0, bytesReceived = 0;
    double last = -1;
    const QRegularExpression line(QStringLiteral("^\\s*(\\d+\\.\\d{3}) ms  (PC>|<RD|---)  (.*)$"));
    QByteArray blockBytes;
    for (const QString& l : lines) {
        const QRegularExpressionMatch m = line.match(l);
        QVERIFY2(m.hasMatch(), qPrintable(l));
        const double t = m.captured(1).toDouble();
        QVERIFY2(t >= last, "times only go forward");
        last = t;
        if (m.captured(2) == "PC>" && m.captured(3).startsWith("99 ")) {
            ++blocks;
            // Block 0's data bytes: the packet is 99, address (2), data (16), 66.
            if (blocks == 1) blockBytes = QByteArray::fromHex(m.captured(3).toLatin1()).mid(3, 16);
        }
        if (m.captured(2) == "PC>") ++packetsSent;
        if (m.captured(2) == "<RD") {
            ++replies;
            bytesReceived += int(m.captured(3).split(' ').size());
        }
    }
    QVERIFY2(blocks >= 510, qPrintable(QString::number(blocks)));
    QVERIFY(replies >= 511);
    // Each packet gets one two-byte answer: bytes seen twice would show here.
    QVERIFY2(bytesReceived <= 2 * packetsSent, qPrintable(QStringLiteral("%1 %2").arg(bytesReceived).arg(packetsSent)));
    QVERIFY(bytesReceived >= 2 * 511);
    QCOMPARE(blockBytes, randomImage(5).left(16));
    QVERIFY(lines.last().contains("Writing Data Complete!"));
}

void CliTransfersTest::csvImportExportAndDiff() {
    QCOMPARE(ctl({"new", "-o", file("a.ks3")}).exitCode, 0);
    const QByteArray csv =
        "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode,TStep,Skip,Power,"
        "Comment\n"
        "1,Base,445.000000,+,5.000000,TSQL,88.5,100.0,023,NN,NFM,12.50,,High,\n"
        "12,Simplex,446.006250,,0.000000,,88.5,88.5,023,NN,FM,6.25,S,Low,\n";
    QVERIFY(writeFile(file("in.csv"), csv));
    Run r = ctl({"import-csv", file("a.ks3"), file("in.csv"), "-o", file("b.ks3")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(r.out.contains("2 channel(s) imported"));

    r = ctl({"diff", file("a.ks3"), file("b.ks3")});
    QCOMPARE(r.exitCode, 1);
    const QStringList diff = r.out.split('\n', Qt::SkipEmptyParts);
    QVERIFY2(diff.contains(QString::fromUtf8("Channel 1 Rx Freq.: (empty) \u2192 445.00000")), qPrintable(r.out));
    QVERIFY2(diff.contains(QString::fromUtf8("Channel 1 Tx Freq.: (empty) \u2192 450.00000")), qPrintable(r.out));
    QVERIFY2(diff.contains(QString::fromUtf8("Channel 1 RX Option: (empty) \u2192 CTCSS : 100.0")), qPrintable(r.out));
    QVERIFY2(diff.contains(QString::fromUtf8("Channel 12 Tx Power: (empty) \u2192 Low")), qPrintable(r.out));
    for (const QString& d : diff) QVERIFY2(d.startsWith("Channel 1 ") || d.startsWith("Channel 12 "), qPrintable(d));
    QCOMPARE(ctl({"diff", file("b.ks3"), file("b.ks3")}).exitCode, 0);

    // The same configuration as an image compares equal in its channels.
    QCOMPARE(ctl({"encode", file("b.ks3"), "-o", file("b.img")}).exitCode, 0);
    r = ctl({"diff", file("b.ks3"), file("b.img")});
    QVERIFY2(!r.out.contains("Channel "), qPrintable(r.out));

    // Exported in our own layout and imported again, nothing differs.
    r = ctl({"export-csv", file("b.img"), "-o", file("own.csv")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(readFile(file("own.csv")).startsWith("Group,CH,Label,Rx Freq.,RX Option,"));
    QVERIFY(ctl({"import-csv", file("a.ks3"), file("own.csv"), "-o", file("c.ks3")}).exitCode == 0);
    r = ctl({"diff", file("b.ks3"), file("c.ks3")});
    QVERIFY2(r.exitCode == 0, qPrintable(r.out));
    r = ctl({"export-csv", file("c.ks3"), "-o", file("common.csv"), "--format", "common"});
    QCOMPARE(r.exitCode, 0);
    QVERIFY(
        readFile(file("common.csv")).contains("\r\n12,Simplex,446.006250,,0.000000,,88.5,88.5,023,NN,FM,6.25,S,Low,"));
    QCOMPARE(ctl({"export-csv", file("c.ks3"), "-o", file("x.csv"), "--format", "other"}).exitCode, 2);
}

void CliTransfersTest::badCsvChangesNothing() {
    QCOMPARE(ctl({"new", "-o", file("n.ks3")}).exitCode, 0);
    QVERIFY(writeFile(file("bad.csv"),
                      "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,Mode\n"
                      "1,Ok,445.000000,,0,,88.5,88.5,023,NN,FM\n"
                      "2,Vhf,150.000000,,0,,88.5,88.5,023,NN,FM\n"
                      "3,Much Too Long,445.000000,,0,,88.5,88.5,023,NN,FM\n"));
    QFile::remove(file("out.ks3"));
    Run r = ctl({"import-csv", file("n.ks3"), file("bad.csv"), "-o", file("out.ks3")});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("line 3, Frequency: 150.000000 MHz is outside the band"), qPrintable(r.err));
    QVERIFY2(r.err.contains("line 4, Name:"), qPrintable(r.err));
    QVERIFY(r.err.contains("nothing was imported"));
    QVERIFY(!QFileInfo::exists(file("out.ks3")));
    r = ctl({"import-csv", file("n.ks3"), file("bad.csv"), "-o", file("out.ks3"), "--cut-labels"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY(!r.err.contains("line 4"));
}

QTEST_GUILESS_MAIN(CliTransfersTest)
#include "tst_serial_cli_transfers.moc"
