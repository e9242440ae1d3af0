// ks340ctl read and write against the simulated radio over a
// pseudo-terminal, with and without line faults.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

#include "link/serial/SerialTransport.h"
#include "qt/cli_sim_support.h"

namespace {

using namespace ks340test;

// Runs ks340ctl without touching the user's backups folder.
Run ctl(QStringList args, int timeoutMs = 60000) {
    if (!args.isEmpty() && (args.first() == "read" || args.first() == "write")) args << "--no-backup";
    return runCtl(args, timeoutMs);
}

// The bytes a write sends and a read brings back.
QByteArray exchanged(const QByteArray& image) { return image.left(0x1FE0); }

}  // namespace

class SerialEndToEndTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void writeThenReadReturnsTheSameBytes_data();
    void writeThenReadReturnsTheSameBytes();
    void hangUpDuringReadLeavesNoOutput();
    void hangUpDuringWriteFails();
    void radioThatRefusesEverythingGivesUp();
    void portThatCannotBeOpened();
    void settingFileGoesToTheRadioEncoded();
    void readIntoSettingFileDecodes();
    void usageErrors();

private:
    QTemporaryDir dir_;
    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
};

void SerialEndToEndTest::initTestCase() {
    QVERIFY2(QFileInfo::exists(simBinary()), "ks340sim was not built");
    QVERIFY2(QFileInfo::exists(ctlBinary()), "ks340ctl was not built");
    QVERIFY(dir_.isValid());
}

void SerialEndToEndTest::writeThenReadReturnsTheSameBytes_data() {
    QTest::addColumn<QStringList>("faults");
    QTest::newRow("clean line") << QStringList{};
    QTest::newRow("dropped replies") << QStringList{"--drop-reply", "0.015", "--seed", "7"};
    QTest::newRow("corrupted packets") << QStringList{"--corrupt-packet", "0.05", "--seed", "11"};
    QTest::newRow("burst start") << QStringList{"--burst"};
    QTest::newRow("stray bytes") << QStringList{"--stray-bytes=0.03", "--seed", "5"};
    QTest::newRow("refused requests") << QStringList{"--refuse-requests", "3"};
    QTest::newRow("everything") << QStringList{
        "--drop-reply",      "0.01", "--corrupt-packet", "0.02", "--stray-bytes=0.01", "--burst",
        "--refuse-requests", "2",    "--seed",           "3"};
}

void SerialEndToEndTest::writeThenReadReturnsTheSameBytes() {
    QFETCH(QStringList, faults);
    Sim sim;
    QVERIFY2(sim.start(faults), "the simulated radio did not start");
    const QByteArray image = randomImage(static_cast<unsigned>(qHash(faults.join(' '))));
    const QString in = file("in.img");
    const QString out = file("out.img");
    QFile::remove(out);
    QVERIFY(writeFile(in, image));

    const Run w = ctl({"write", in, "--port", sim.path()});
    QVERIFY2(w.exitCode == 0, qPrintable(w.err + sim.errors()));
    QCOMPARE(w.out.trimmed(), QStringLiteral("Writing Data Complete!"));
    QVERIFY2(!w.err.contains("Is the radio connected?"), "asked although stdin is not a terminal");

    const Run r = ctl({"read", "--port", sim.path(), "-o", out});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err + sim.errors()));
    QCOMPARE(r.out.trimmed(), QStringLiteral("Reading Data Complete!"));
    const QByteArray back = readFile(out);
    QCOMPARE(back.size(), 8192);
    QCOMPARE(exchanged(back), exchanged(image));
}

void SerialEndToEndTest::hangUpDuringReadLeavesNoOutput() {
    Sim sim;
    QVERIFY(sim.start({"--hangup-after", "200"}));
    const QString out = file("hangup.img");
    QFile::remove(out);
    const Run r = ctl({"read", "--port", sim.path(), "-o", out, "--stats"});
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Communication Error!!"), qPrintable(r.err));
    QVERIFY(!r.out.contains("Complete"));
    QVERIFY(!QFileInfo::exists(out));
    // Ended by the hang-up itself: giving up after a dozen watchdog
    // expiries of 100 ms would take longer than a second.
    const QRegularExpression stats(QStringLiteral("transfer ([0-9.]+) s"));
    const QRegularExpressionMatch m = stats.match(r.err);
    QVERIFY2(m.hasMatch(), qPrintable(r.err));
    QVERIFY2(m.captured(1).toDouble() < 1.0, qPrintable(r.err));
}

void SerialEndToEndTest::hangUpDuringWriteFails() {
    Sim sim;
    QVERIFY(sim.start({"--hangup-after", "50"}));
    const QString in = file("hw.img");
    QVERIFY(writeFile(in, randomImage(4)));
    const Run w = ctl({"write", in, "--port", sim.path()});
    QCOMPARE(w.exitCode, 1);
    QVERIFY2(w.err.contains("Communication Error!!\n" + sim.path() + " went away during the transfer"),
             qPrintable(w.err));
    QVERIFY(!w.out.contains("Complete"));
}

void SerialEndToEndTest::radioThatRefusesEverythingGivesUp() {
    Sim sim;
    QVERIFY(sim.start({"--refuse-requests", "1000"}));
    const QString out = file("refused.img");
    QVERIFY(writeFile(out, "previous contents"));
    const Run r = ctl({"read", "--port", sim.path(), "-o", out}, 30000);
    QCOMPARE(r.exitCode, 1);
    QVERIFY2(r.err.contains("Communication Error!!"), qPrintable(r.err));
    QCOMPARE(readFile(out), QByteArray("previous contents"));  // untouched

    const QString in = file("refused-in.img");
    QVERIFY(writeFile(in, randomImage(2)));
    const Run w = ctl({"write", in, "--port", sim.path()}, 30000);
    QCOMPARE(w.exitCode, 1);
    QVERIFY2(w.err.contains("Communication Error!!\nthe radio on " + sim.path() + " did not accept the request"),
             qPrintable(w.err));
}

void SerialEndToEndTest::portThatCannotBeOpened() {
    const QString out = file("never.img");
    Run r = ctl({"read", "--port", "/dev/ks340-missing", "-o", out});
    QCOMPARE(r.exitCode, 1);
    // The program's message, then the reason and the fix.
    QCOMPARE(r.err.section('\n', 0, 0), QStringLiteral("/dev/ks340-missing Port Open Error!!"));
    QVERIFY2(r.err.contains("/dev/ks340-missing: no such device."), qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(out));
    r = ctl({"read", "--port", "COM11", "-o", out});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err.trimmed(), QStringLiteral("Com11 Port Open Error!!"));

    // A port already held (here by this test) cannot be opened by ks340ctl.
    Sim sim;
    QVERIFY(sim.start({}));
    ks340::SerialTransport holder;
    QVERIFY(holder.open(sim.path()));
    r = ctl({"read", "--port", sim.path(), "-o", out});
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.err.section('\n', 0, 0), sim.path() + QStringLiteral(" Port Open Error!!"));
    // A live holder's lock is not taken over: the reason names the holder.
    QVERIFY2(r.err.contains(QStringLiteral("is in use by another program (tst_serial_endtoend, process %1)")
                                .arg(QCoreApplication::applicationPid())),
             qPrintable(r.err));
    QVERIFY(!QFileInfo::exists(out));
}

void SerialEndToEndTest::settingFileGoesToTheRadioEncoded() {
    const QString ks3 = file("new.ks3");
    const Run n = ctl({"new", "-o", ks3});
    QVERIFY2(n.exitCode == 0, qPrintable(n.err));

    // The radio loaded with the file directly, as the reference.
    Sim reference;
    QVERIFY(reference.start({"--ks3", ks3}));
    const QString expected = file("expected.img");
    QCOMPARE(ctl({"read", "--port", reference.path(), "-o", expected}).exitCode, 0);

    Sim radio;
    QVERIFY(radio.start({}));
    const Run w = ctl({"write", ks3, "--port", radio.path()});
    QVERIFY2(w.exitCode == 0, qPrintable(w.err));
    const QString got = file("got.img");
    QCOMPARE(ctl({"read", "--port", radio.path(), "-o", got}).exitCode, 0);
    QCOMPARE(exchanged(readFile(got)), exchanged(readFile(expected)));
}

void SerialEndToEndTest::readIntoSettingFileDecodes() {
    const QString ks3 = file("source.ks3");
    const Run n = ctl({"new", "-o", ks3});
    QVERIFY2(n.exitCode == 0, qPrintable(n.err));
    Sim radio;
    QVERIFY(radio.start({"--ks3", ks3}));
    const QString image = file("source.img");
    QCOMPARE(ctl({"read", "--port", radio.path(), "-o", image}).exitCode, 0);
    const QString readBack = file("read.ks3");
    const Run r = ctl({"read", "--port", radio.path(), "-o", readBack});
    QVERIFY2(r.exitCode == 0, qPrintable(r.err));
    QVERIFY(QFileInfo(readBack).size() > 0);

    // The decoded file goes back to the radio as the same image.
    Sim second;
    QVERIFY(second.start({}));
    QCOMPARE(ctl({"write", readBack, "--port", second.path()}).exitCode, 0);
    const QString again = file("again.img");
    QCOMPARE(ctl({"read", "--port", second.path(), "-o", again}).exitCode, 0);
    QCOMPARE(exchanged(readFile(again)), exchanged(readFile(image)));
}

void SerialEndToEndTest::usageErrors() {
    QCOMPARE(ctl({"read", "-o", file("x.img")}).exitCode, 2);    // no port
    QCOMPARE(ctl({"read", "--port", "/dev/null"}).exitCode, 2);  // no output
    QCOMPARE(ctl({"read", "--port", "COM1", "-o", file("x.txt")}).exitCode, 2);
    QCOMPARE(ctl({"write", "--port", "COM1"}).exitCode, 2);  // no input
    QCOMPARE(ctl({"write", file("a.img"), "--bogus"}).exitCode, 2);
    QCOMPARE(ctl({"ports", "extra"}).exitCode, 2);
    QCOMPARE(ctl({"ports"}).exitCode, 0);
    // A short image file is refused before the port is touched.
    const QString shortImage = file("short.img");
    QVERIFY(writeFile(shortImage, QByteArray(100, 'x')));
    const Run w = ctl({"write", shortImage, "--port", "/dev/ks340-missing"});
    QCOMPARE(w.exitCode, 1);
    QVERIFY(w.err.contains("8192"));
    QVERIFY(!w.err.contains("Port Open Error"));
}

QTEST_GUILESS_MAIN(SerialEndToEndTest)
#include "tst_serial_endtoend.moc"
