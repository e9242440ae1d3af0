// The File menu's channel CSV and radio image commands and the transfer
// options, called directly and through their actions.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include "app/FileActions.h"
#include "image/ImageBackup.h"
#include "link/serial/SerialTransferJob.h"
#include "model/Defaults.h"
#include "model/Signalling.h"

using namespace ks340;

namespace {

RadioSettings sampleSettings() {
    RadioSettings s = newRadioSettings();
    ChannelEntry& e = s.channelTable.groups[0].channels[3];
    e.inUse = 1;
    e.label = "HOME";
    e.rxFrequency = "445.00000";
    e.txFrequency = "450.00000";
    e.txSquelch = 12;
    e.bandwidth = 1;
    e.txPower = 1;
    e.scanChannel = 1;
    return s;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

class FileActionsTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void menuHoldsTheCommandsAfterPrintSetting();
    void optionsAreKeptInTheProgramSettings();
    void channelsGoOutAndComeBack();
    void badImportChangesNothingAndOffersToCutLabels();
    void radioImagesOpenAndSave();
    void verifyReportNamesTheSettings();
    void sessionTransfersKeepBackupsAndTraces();
    void verifyAfterWriteFindsTheWrongByte();

private:
    QTemporaryDir dir_;
    QString file(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
};

void FileActionsTest::initTestCase() {
    QVERIFY(dir_.isValid());
    QStandardPaths::setTestModeEnabled(true);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir_.filePath("settings"));
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir_.filePath("settings"));
}

void FileActionsTest::menuHoldsTheCommandsAfterPrintSetting() {
    QMainWindow window;
    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("File(&F)"));
    menu->addAction(QStringLiteral("Print Setting(&R)"));
    QAction* recent = menu->addSeparator();
    menu->addAction(QStringLiteral("Exit(&X)"));
    RadioSettings settings = newRadioSettings();
    FileActions* a = installFileActions(&window, menu, settings, [] {});
    QVERIFY(a);
    QStringList texts;
    for (QAction* x : menu->actions()) texts << (x->isSeparator() ? QStringLiteral("-") : x->text());
    QCOMPARE(texts, (QStringList{"Print Setting(&R)", "-", "Export Channels (CSV)...", "Import Channels (CSV)...",
                                 "Save Radio Image...", "Open Radio Image...", "Transfer Options", "-", "Exit(&X)"}));
    QCOMPARE(menu->actions().indexOf(recent), 7);
    QVERIFY2(!a->saveImageAction()->isEnabled(), "nothing read yet");
    QVERIFY(a->backupsAction()->isCheckable());
}

void FileActionsTest::optionsAreKeptInTheProgramSettings() {
    QMainWindow window;
    RadioSettings settings = newRadioSettings();
    FileActions a(&window, settings, [] {});
    a.traceAction()->setChecked(true);
    a.backupsAction()->setChecked(false);
    QVERIFY(FileActions::traceEnabled());
    QVERIFY(!FileActions::backupsEnabled());
    // A new window reads them back.
    FileActions b(&window, settings, [] {});
    QVERIFY(b.traceAction()->isChecked());
    QVERIFY(!b.backupsAction()->isChecked());
    b.traceAction()->setChecked(false);
    b.backupsAction()->setChecked(true);
    QVERIFY(!FileActions::traceEnabled());
}

void FileActionsTest::channelsGoOutAndComeBack() {
    QMainWindow window;
    RadioSettings settings = sampleSettings();
    int refreshed = 0;
    FileActions a(&window, settings, [&] { ++refreshed; });
    for (ChannelCsvFormat format : {ChannelCsvFormat::Native, ChannelCsvFormat::Common}) {
        const QString path = file(format == ChannelCsvFormat::Native ? "own.csv" : "common.csv");
        QVERIFY2(a.exportChannels(path, format), qPrintable(a.message()));
        QVERIFY(a.message().startsWith("1 channel"));
        const RadioSettings before = settings;
        settings.channelTable.groups[0].channels[3] = ChannelEntry{};
        QVERIFY2(a.importChannels(path, false), qPrintable(a.message()));
        QVERIFY(settings.channelTable.groups[0].channels[3] == before.channelTable.groups[0].channels[3]);
    }
    QCOMPARE(refreshed, 2);
}

void FileActionsTest::badImportChangesNothingAndOffersToCutLabels() {
    QMainWindow window;
    RadioSettings settings = sampleSettings();
    int refreshed = 0;
    FileActions a(&window, settings, [&] { ++refreshed; });
    const QString path = file("long.csv");
    QVERIFY(writeAll(path, "Location,Name,Frequency\n5,Much Too Long,446.000000\n"));
    QStringList questions, messages;
    a.chooseFile = [&](const QString&, const QString&, bool save) { return save ? QString() : path; };
    a.askQuestion = [&](const QString&, const QString& text) {
        questions << text;
        return false;
    };
    a.showMessage = [&](const QString&, const QString& text) { messages << text; };

    const RadioSettings before = settings;
    a.importAction()->trigger();
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions[0].contains("line 2, Name"));
    QVERIFY(settings == before);
    QCOMPARE(refreshed, 0);
    QCOMPARE(a.errors().size(), std::size_t(1));

    a.askQuestion = [&](const QString&, const QString&) { return true; };
    a.importAction()->trigger();
    QCOMPARE(settings.channelTable.groups[0].channels[5].label, std::string("Much Too"));
    QVERIFY2(!settings.channelTable.groups[0].channels[3].isProgrammed(), "the list is replaced");
    QCOMPARE(refreshed, 1);

    // Another fault is no question: just the list of errors.
    QVERIFY(writeAll(path, "Location,Name,Frequency\n5,Ok,146.000000\n"));
    int asked = 0;
    a.askQuestion = [&](const QString&, const QString&) { return ++asked > 0; };
    const RadioSettings kept = settings;
    a.importAction()->trigger();
    QCOMPARE(asked, 0);
    QVERIFY(messages.last().contains("line 2, Frequency"));
    QVERIFY(settings == kept);
}

void FileActionsTest::radioImagesOpenAndSave() {
    QMainWindow window;
    RadioSettings settings = newRadioSettings();
    int refreshed = 0;
    FileActions a(&window, settings, [&] { ++refreshed; });
    QVERIFY(!a.saveRadioImage(file("none.img")));
    QVERIFY(!QFile::exists(file("none.img")));

    RadioSettings source = sampleSettings();
    source.option.beep = 0;
    prepareForTransfer(source);
    const MemoryImage image = encodeMemoryImage(source);
    QVERIFY(writeAll(file("radio.img"), QByteArray(reinterpret_cast<const char*>(image.data()), int(image.size()))));
    QVERIFY(writeAll(file("short.img"), QByteArray(100, 'x')));
    QVERIFY(!a.openRadioImage(file("short.img")));
    QVERIFY(a.message().contains("100"));
    QCOMPARE(refreshed, 0);

    QVERIFY2(a.openRadioImage(file("radio.img")), qPrintable(a.message()));
    QCOMPARE(refreshed, 1);
    QCOMPARE(settings.option.beep, 0);
    QCOMPARE(settings.channelTable.groups[0].channels[3].rxFrequency, std::string("445.00000"));
    QCOMPARE(settings.channelTable.groups[0].channels[3].label, std::string("HOME"));
    QVERIFY(a.saveImageAction()->isEnabled());
    QVERIFY(a.saveRadioImage(file("copy.img")));
    QCOMPARE(readAll(file("copy.img")), readAll(file("radio.img")));
}

void FileActionsTest::verifyReportNamesTheSettings() {
    MemoryImage a{}, b{};
    QVERIFY(FileActions::verifyReport(a, b).isEmpty());
    b[9 * 4] = 1;
    const QString report = FileActions::verifyReport(a, b);
    QVERIFY2(report.contains("0x0024: sent 00, read 01 (Channel 4)"), qPrintable(report));
}

void FileActionsTest::sessionTransfersKeepBackupsAndTraces() {
    QString binDir = qEnvironmentVariable("KS340_BINARY_DIR");
    if (binDir.isEmpty()) binDir = QStringLiteral(KS340_BINARY_DIR);
    const QString sim = QDir(binDir).filePath("src/sim/ks340sim");
    QVERIFY2(QFile::exists(sim), "ks340sim was not built");
    QProcess radio;
    radio.start(sim, {"--baud", "0", "-q"});
    QVERIFY(radio.waitForStarted(5000));
    QVERIFY(radio.waitForReadyRead(5000));
    const QString port = QString::fromLocal8Bit(radio.readLine()).trimmed();

    FileActions::setBackupsEnabled(true);
    FileActions::setTraceEnabled(true);
    QMainWindow window;
    RadioSettings settings = newRadioSettings();
    FileActions a(&window, settings, [] {});
    MemoryImage image{};
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 13);
    {
        SerialTransferJob job;
        TransferOptions options = a.transferOptions();
        connect(&job, &SerialTransferJob::finished, &a, &FileActions::recordResult);
        QVERIFY(job.open(port));
        QSignalSpy done(&job, &SerialTransferJob::finished);
        options.kind = TransferKind::Write;
        options.image = image;
        job.start(options);
        QVERIFY(done.wait(30000));
        QVERIFY(job.lastResult().ok());
        QVERIFY(a.lastBackupPath().endsWith("-write.img"));
        MemoryImage kept{};
        std::string error;
        QVERIFY(readImageFile(QFile::encodeName(a.lastBackupPath()).toStdString(), kept, error));
        QVERIFY(kept == image);

        options.kind = TransferKind::Read;
        options.image = {};
        job.start(options);
        QVERIFY(done.wait(30000));
        QVERIFY(job.lastResult().ok());
        QVERIFY(a.lastBackupPath().endsWith("-read.img"));
        QVERIFY(a.lastImage().has_value());
        QVERIFY(std::equal(image.begin(), image.begin() + kTransferSize, a.lastImage()->begin()));
        job.close();
    }
    const QByteArray trace = readAll(a.lastTracePath());
    QVERIFY2(trace.count("PC>  99 ") >= 510, trace.left(400).constData());
    QVERIFY(trace.contains("<RD"));
    QVERIFY(a.lastBackupPath().startsWith(FileActions::backupDirectory()));
    FileActions::setTraceEnabled(false);
    radio.terminate();
    radio.waitForFinished(3000);
}

void FileActionsTest::verifyAfterWriteFindsTheWrongByte() {
    QString binDir = qEnvironmentVariable("KS340_BINARY_DIR");
    if (binDir.isEmpty()) binDir = QStringLiteral(KS340_BINARY_DIR);
    const QString sim = QDir(binDir).filePath("src/sim/ks340sim");
    QVERIFY2(QFile::exists(sim), "ks340sim was not built");
    QProcess radio;
    radio.start(sim, {"--baud", "0", "-q", "--wrong-byte", "0x75"});
    QVERIFY(radio.waitForStarted(5000));
    QVERIFY(radio.waitForReadyRead(5000));
    const QString port = QString::fromLocal8Bit(radio.readLine()).trimmed();

    FileActions::setVerifyAfterWrite(true);
    QMainWindow window;
    RadioSettings settings = newRadioSettings();
    FileActions a(&window, settings, [] {});
    {
        SerialTransferJob job;
        TransferOptions options = a.transferOptions();
        QVERIFY(options.verify);
        connect(&job, &SerialTransferJob::finished, &a, &FileActions::recordResult);
        QVERIFY(job.open(port));
        QSignalSpy done(&job, &SerialTransferJob::finished);
        options.kind = TransferKind::Write;
        job.start(options);
        // The write and its read-back are one job: one end.
        QVERIFY(done.wait(30000));
        QTest::qWait(20);
        QCOMPARE(done.size(), 1);
        QCOMPARE(job.lastResult().outcome, TransferOutcome::VerifyFailed);
        QCOMPARE(job.lastResult().message, std::string("Writing Data Complete!"));
        job.close();
    }
    QVERIFY2(a.lastVerifyReport().contains("0x0075: sent 00, read FF (Channel 13)"), qPrintable(a.lastVerifyReport()));
    FileActions::setVerifyAfterWrite(false);
    radio.terminate();
    radio.waitForFinished(3000);
}

QTEST_MAIN(FileActionsTest)
#include "tst_app_fileactions.moc"
