// File menu commands for channel CSV files and raw radio images, and the
// transfer options (image backups, transfer trace, verify after write),
// kept with the program's own settings.
//
// installFileActions adds to the File menu:
//   "Export Channels (CSV)...", "Import Channels (CSV)...",
//   "Save Radio Image...", "Open Radio Image...",
//   and a "Transfer Options" submenu with the four checkable settings.
#pragma once

#include <QObject>
#include <QString>

#include <fstream>
#include <functional>
#include <memory>
#include <optional>

#include "formats/ChannelCsv.h"
#include "image/MemoryImage.h"
#include "link/TransferJob.h"
#include "model/RadioSettings.h"

class QAction;
class QMainWindow;
class QMenu;

namespace ks340 {

class ProgrammingDialog;

class FileActions : public QObject {
    Q_OBJECT
public:
    // `refresh` is called after the configuration's channels or the whole
    // configuration were replaced: show the header and every page from the
    // record as after opening a setting file.
    FileActions(QMainWindow* window, RadioSettings& settings, std::function<void()> refresh);
    ~FileActions() override;

    // --- Settings (QSettings, under the program's own key) -------------------
    static bool backupsEnabled();    // default on
    static bool traceEnabled();      // default off
    static bool verifyAfterWrite();  // default off
    static bool readFirst();         // "Back up the radio before writing", default off
    static void setBackupsEnabled(bool on);
    static void setTraceEnabled(bool on);
    static void setVerifyAfterWrite(bool on);
    static void setReadFirst(bool on);
    // <user data>/KS340/backups and <user data>/KS340/traces
    static QString backupDirectory();
    static QString traceDirectory();

    // --- Commands without their dialogs (false with message() on failure) ---
    bool exportChannels(const QString& path, ChannelCsvFormat format);
    // All or nothing; errors() lists every bad row.
    bool importChannels(const QString& path, bool cutLongLabels);
    // Saves the last image read from the radio (or opened).
    bool saveRadioImage(const QString& path);
    // Decodes an image file into the configuration as a radio read is; the
    // image is kept so it can be saved or written as it is.
    bool openRadioImage(const QString& path);

    const std::optional<MemoryImage>& lastImage() const { return lastImage_; }
    QString message() const { return message_; }
    const std::vector<CsvIssue>& errors() const { return errors_; }

    // The options of the next transfers: backups, verify, read first, and
    // a new trace file when tracing is on (lastTracePath()).
    TransferOptions transferOptions();
    // Remembers what a transfer left: the image read (for "Save Radio
    // Image..."), the backup kept, the verify report.
    void recordResult(const TransferResult& result);
    // Both for one programming dialog.
    void attachToDialog(ProgrammingDialog* dialog);
    QString lastBackupPath() const { return lastBackup_; }
    QString lastVerifyReport() const { return lastVerify_; }
    QString lastTracePath() const { return lastTrace_; }

    // The text shown after a verify read: empty when the radio holds the
    // bytes written, else the differing addresses and their settings.
    static QString verifyReport(const MemoryImage& sent, const MemoryImage& readBack);

    // The menu commands (dialogs included); tests replace the file chooser
    // and the message and question boxes.
    std::function<QString(const QString& caption, const QString& filter, bool save)> chooseFile;
    std::function<void(const QString& title, const QString& text)> showMessage;
    std::function<bool(const QString& title, const QString& text)> askQuestion;

    QAction* exportAction() const { return export_; }
    QAction* importAction() const { return import_; }
    QAction* saveImageAction() const { return saveImage_; }
    QAction* openImageAction() const { return openImage_; }
    QAction* backupsAction() const { return backups_; }
    QAction* traceAction() const { return trace_; }
    QAction* verifyAction() const { return verify_; }
    QAction* readFirstAction() const { return readFirst_; }

    void addTo(QMenu* fileMenu);

private:
    void runExport();
    void runImport();
    void runSaveImage();
    void runOpenImage();

    QMainWindow* window_;
    RadioSettings& settings_;
    std::function<void()> refresh_;
    std::optional<MemoryImage> lastImage_;
    QString message_;
    std::vector<CsvIssue> errors_;
    QString lastBackup_;
    QString lastTrace_;
    QString lastVerify_;
    std::ofstream traceStream_;
    std::unique_ptr<TransferTrace> transferTrace_;

    QAction* export_ = nullptr;
    QAction* import_ = nullptr;
    QAction* saveImage_ = nullptr;
    QAction* openImage_ = nullptr;
    QAction* backups_ = nullptr;
    QAction* trace_ = nullptr;
    QAction* verify_ = nullptr;
    QAction* readFirst_ = nullptr;
};

// Creates the commands (owned by `window`) and adds them to `fileMenu`
// after "Print Setting" (or at its end).
FileActions* installFileActions(QMainWindow* window, QMenu* fileMenu, RadioSettings& settings,
                                std::function<void()> refresh);

}  // namespace ks340
