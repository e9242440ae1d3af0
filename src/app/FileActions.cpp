#include "app/FileActions.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

#include "app/ProgrammingDialog.h"
#include "app/RecentFiles.h"
#include "fileio/AtomicFile.h"
#include "formats/CsvFile.h"
#include "image/ImageBackup.h"
#include "image/ImageVerify.h"
#include "link/TransferTrace.h"
#include "model/Defaults.h"

namespace ks340 {

namespace {

constexpr const char* kBackupsKey = "Transfer/Keep Image Backups";
constexpr const char* kTraceKey = "Transfer/Trace Transfers";
constexpr const char* kVerifyKey = "Transfer/Verify After Write";
constexpr const char* kReadFirstKey = "Transfer/Back Up Radio Before Writing";

QSettings programSettings() {
    return QSettings(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
}

bool flag(const char* key, bool fallback) { return programSettings().value(QLatin1String(key), fallback).toBool(); }
void setFlag(const char* key, bool on) { programSettings().setValue(QLatin1String(key), on); }

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

QString dataFolder(const char* name) {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/KS340/") +
           QLatin1String(name);
}

}  // namespace

FileActions::FileActions(QMainWindow* window, RadioSettings& settings, std::function<void()> refresh)
    : QObject(window), window_(window), settings_(settings), refresh_(std::move(refresh)) {
    chooseFile = [this](const QString& caption, const QString& filter, bool save) {
        return save ? QFileDialog::getSaveFileName(window_, caption, QString(), filter)
                    : QFileDialog::getOpenFileName(window_, caption, QString(), filter);
    };
    showMessage = [this](const QString& title, const QString& text) { QMessageBox::information(window_, title, text); };
    askQuestion = [this](const QString& title, const QString& text) {
        return QMessageBox::question(window_, title, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    };

    export_ = new QAction(QStringLiteral("Export Channels (CSV)..."), this);
    import_ = new QAction(QStringLiteral("Import Channels (CSV)..."), this);
    saveImage_ = new QAction(QStringLiteral("Save Radio Image..."), this);
    openImage_ = new QAction(QStringLiteral("Open Radio Image..."), this);
    backups_ = new QAction(QStringLiteral("Keep Image Backups"), this);
    trace_ = new QAction(QStringLiteral("Trace Transfers"), this);
    verify_ = new QAction(QStringLiteral("Verify After Write"), this);
    readFirst_ = new QAction(QStringLiteral("Back up the radio before writing"), this);
    readFirst_->setToolTip(
        QStringLiteral("Reads the radio before each write and keeps that image as the backup, so a write to the "
                       "wrong radio can be undone."));
    for (QAction* a : {backups_, trace_, verify_, readFirst_}) a->setCheckable(true);
    readFirst_->setChecked(readFirst());
    backups_->setChecked(backupsEnabled());
    trace_->setChecked(traceEnabled());
    verify_->setChecked(verifyAfterWrite());
    saveImage_->setEnabled(false);

    connect(export_, &QAction::triggered, this, &FileActions::runExport);
    connect(import_, &QAction::triggered, this, &FileActions::runImport);
    connect(saveImage_, &QAction::triggered, this, &FileActions::runSaveImage);
    connect(openImage_, &QAction::triggered, this, &FileActions::runOpenImage);
    connect(backups_, &QAction::toggled, this, [](bool on) { setBackupsEnabled(on); });
    connect(trace_, &QAction::toggled, this, [](bool on) { setTraceEnabled(on); });
    connect(verify_, &QAction::toggled, this, [](bool on) { setVerifyAfterWrite(on); });
    connect(readFirst_, &QAction::toggled, this, [](bool on) { setReadFirst(on); });
}

FileActions::~FileActions() = default;

bool FileActions::backupsEnabled() { return flag(kBackupsKey, true); }
bool FileActions::traceEnabled() { return flag(kTraceKey, false); }
bool FileActions::verifyAfterWrite() { return flag(kVerifyKey, false); }
bool FileActions::readFirst() { return flag(kReadFirstKey, false); }
void FileActions::setReadFirst(bool on) { setFlag(kReadFirstKey, on); }
void FileActions::setBackupsEnabled(bool on) { setFlag(kBackupsKey, on); }
void FileActions::setTraceEnabled(bool on) { setFlag(kTraceKey, on); }
void FileActions::setVerifyAfterWrite(bool on) { setFlag(kVerifyKey, on); }
QString FileActions::backupDirectory() { return dataFolder("backups"); }
QString FileActions::traceDirectory() { return dataFolder("traces"); }

void FileActions::addTo(QMenu* fileMenu) {
    const QList<QAction*> actions = fileMenu->actions();
    QAction* before = nullptr;
    for (int i = 0; i < actions.size(); ++i)
        if (actions[i]->text().startsWith(QStringLiteral("Print Setting")) && i + 1 < actions.size())
            before = actions[i + 1];
    fileMenu->insertSeparator(before);
    fileMenu->insertActions(before, {export_, import_, saveImage_, openImage_});
    QMenu* options = new QMenu(QStringLiteral("Transfer Options"), fileMenu);
    options->addActions({backups_, trace_, verify_, readFirst_});
    fileMenu->insertMenu(before, options);
}

bool FileActions::exportChannels(const QString& path, ChannelCsvFormat format) {
    const std::string csv = exportChannelCsv(settings_, format);
    const fileio::IoStatus written = fileio::writeFileAtomically(localPath(path), csv);
    if (!written.ok) {
        message_ =
            QStringLiteral("%1\nThe file could not be written.").arg(QString::fromLocal8Bit(written.error.c_str()));
        return false;
    }
    const auto rows = std::count(csv.begin(), csv.end(), '\n') - 1;
    message_ = QStringLiteral("%1 channel(s) exported.").arg(rows);
    return true;
}

namespace {

QString issueLines(const std::vector<CsvIssue>& issues) {
    QStringList lines;
    for (const CsvIssue& i : issues) lines << QString::fromStdString(formatCsvIssue(i));
    return lines.mid(0, 20).join(QLatin1Char('\n')) +
           (lines.size() > 20 ? QStringLiteral("\n... %1 more").arg(lines.size() - 20) : QString());
}

}  // namespace

bool FileActions::importChannels(const QString& path, bool cutLongLabels, bool skipUnfit) {
    errors_.clear();
    unfitRows_ = fittingRows_ = 0;
    std::string text, error;
    if (!readCsvFile(localPath(path), text, error)) {
        message_ = QStringLiteral("%1\nThe file could not be read.").arg(QString::fromLocal8Bit(error.c_str()));
        return false;
    }
    CsvImportOptions options;
    options.cutLongLabels = cutLongLabels;
    options.skipUnfit = skipUnfit;
    const CsvImportResult r = importChannelCsv(text, settings_, options);
    unfitRows_ = r.unfitRows;
    fittingRows_ = r.fittingRows;
    if (!r.ok) {
        errors_ = r.errors;
        message_ = QStringLiteral("Nothing was imported:\n") + issueLines(r.errors);
        return false;
    }
    message_ = QStringLiteral("%1 channel(s) imported.").arg(r.channels);
    if (!r.skipped.empty())
        message_ += QStringLiteral("\n\n%1 row(s) were left out:\n").arg(r.unfitRows) + issueLines(r.skipped);
    if (refresh_) refresh_();
    return true;
}

QString FileActions::skipUnfitQuestion() const {
    return (unfitRows_ == 1 ? QStringLiteral("1 row cannot be stored in this radio:\n")
                            : QStringLiteral("%1 rows cannot be stored in this radio:\n").arg(unfitRows_)) +
           issueLines(errors_) + QStringLiteral("\n\nImport the other %1?").arg(fittingRows_);
}

bool FileActions::saveRadioImage(const QString& path) {
    if (!lastImage_) {
        message_ = QStringLiteral("No radio image has been read yet.");
        return false;
    }
    std::string error;
    if (!writeImageFile(localPath(path), *lastImage_, error)) {
        message_ = QString::fromStdString(error);
        return false;
    }
    return true;
}

bool FileActions::openRadioImage(const QString& path) {
    MemoryImage image{};
    std::string error;
    if (!readImageFile(localPath(path), image, error)) {
        message_ = QString::fromStdString(error);
        return false;
    }
    // As a radio read: decoded over the configuration being edited.
    settings_ = configurationFromImage(image, settings_);
    lastImage_ = image;
    saveImage_->setEnabled(true);
    if (refresh_) refresh_();
    return true;
}

TransferOptions FileActions::transferOptions() {
    TransferOptions options;
    options.keepBackups = backupsEnabled();
    options.backupDirectory = localPath(backupDirectory());
    options.verify = verifyAfterWrite();
    options.readFirst = readFirst();
    if (!traceEnabled()) return options;
    QDir().mkpath(traceDirectory());
    lastTrace_ =
        QDir(traceDirectory())
            .filePath(QStringLiteral("trace-%1.txt")
                          .arg(QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd-HHmmss-zzz"))));
    transferTrace_.reset();
    traceStream_ = std::ofstream(localPath(lastTrace_), std::ios::app);
    if (!traceStream_) {
        lastTrace_.clear();
        return options;
    }
    transferTrace_ = std::make_unique<TransferTrace>(traceStream_);
    options.trace = transferTrace_.get();
    return options;
}

void FileActions::recordResult(const TransferResult& result) {
    const std::string& backup = result.backupPath.empty() ? result.restoreBackup : result.backupPath;
    lastBackup_ = QFile::decodeName(backup.c_str());
    if (result.kind == TransferKind::Read && result.ok()) {
        lastImage_ = result.image;
        saveImage_->setEnabled(true);
    }
    if (result.verify != VerifyResult::NotRun) lastVerify_ = QString::fromStdString(verifyText(result));
}

void FileActions::attachToDialog(ProgrammingDialog* dialog) {
    dialog->transferOptions() = transferOptions();
    connect(dialog, &ProgrammingDialog::transferFinished, this, &FileActions::recordResult);
    connect(dialog, &QObject::destroyed, this, [this] {
        transferTrace_.reset();
        traceStream_.close();
    });
}

QString FileActions::verifyReport(const MemoryImage& sent, const MemoryImage& readBack) {
    const std::vector<ByteMismatch> m = compareWrittenImage(sent, readBack);
    if (m.empty()) return {};
    return QStringLiteral("Verify failed: %1 byte(s) differ from what was written:\n").arg(m.size()) +
           QString::fromStdString(formatByteMismatches(m, 20));
}

void FileActions::runExport() {
    const QString path = chooseFile(QStringLiteral("Export Channels (CSV)"),
                                    QStringLiteral("Channel list (*.csv);;Common channel CSV (*.csv)"), true);
    if (path.isEmpty()) return;
    const bool common = askQuestion(QStringLiteral("Export Channels (CSV)"),
                                    QStringLiteral("Write the common channel CSV of multi-radio programmers "
                                                   "(Location, Name, Frequency, ...)?\nNo writes this program's "
                                                   "own columns."));
    exportChannels(path, common ? ChannelCsvFormat::Common : ChannelCsvFormat::Native);
    showMessage(QStringLiteral("Export Channels (CSV)"), message_);
}

void FileActions::runImport() {
    const QString path =
        chooseFile(QStringLiteral("Import Channels (CSV)"), QStringLiteral("CSV files (*.csv)"), false);
    if (path.isEmpty()) return;
    if (importChannels(path, false)) {
        showMessage(QStringLiteral("Import Channels (CSV)"), message_);
        return;
    }
    // Only over-long labels wrong: offer to cut them.
    const bool onlyLabels = !errors_.empty() && std::all_of(errors_.begin(), errors_.end(), [](const CsvIssue& i) {
        return i.reason.find("longer than") != std::string::npos;
    });
    if (onlyLabels && askQuestion(QStringLiteral("Import Channels (CSV)"),
                                  message_ + QStringLiteral("\n\nCut the labels to 8 characters and import?"))) {
        importChannels(path, true);
    } else if (!onlyLabels && unfitRows_ > 0 && fittingRows_ > 0 &&
               askQuestion(QStringLiteral("Import Channels (CSV)"), skipUnfitQuestion())) {
        importChannels(path, false, true);
    }
    showMessage(QStringLiteral("Import Channels (CSV)"), message_);
}

void FileActions::runSaveImage() {
    const QString path = chooseFile(QStringLiteral("Save Radio Image"), QStringLiteral("Radio image (*.img)"), true);
    if (path.isEmpty()) return;
    if (!saveRadioImage(path)) showMessage(QStringLiteral("Error"), message_);
}

void FileActions::runOpenImage() {
    const QString path =
        chooseFile(QStringLiteral("Open Radio Image"), QStringLiteral("Radio image (*.img *.bin)"), false);
    if (path.isEmpty()) return;
    if (!openRadioImage(path)) showMessage(QStringLiteral("Error"), message_);
}

FileActions* installFileActions(QMainWindow* window, QMenu* fileMenu, RadioSettings& settings,
                                std::function<void()> refresh) {
    auto* actions = new FileActions(window, settings, std::move(refresh));
    if (fileMenu) actions->addTo(fileMenu);
    return actions;
}

}  // namespace ks340
