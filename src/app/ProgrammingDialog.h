// "Programming Menu": reads the configuration from the radio or writes it to
// the radio over the chosen port, with a progress bar, completion messages
// and the memory map (F6 then F7).
//
// The caller prepares the configuration for the transfer first
// (prepareForTransfer and the pages' collect steps). When the dialog has
// been shown it opens the port, asks whether the radio is connected (naming
// the port) and starts the transfer that header.requestedAction asks for.
// Each transfer is one TransferJob: with the transfer options it reads the
// radio first, keeps backups, traces, and verifies a write, and ends with
// one message box. After a completed read the configuration holds the
// radio's values and flags.radioReadDone is set. requestedAction is 0
// whenever the dialog has closed.
//
// While a transfer runs, closing the dialog (close box, Esc, Alt+F4,
// Cancel) asks first; a write that has begun says that the radio will be
// partly written and names the backup that restores it. Stopping ends the
// exchange and says what the radio now holds.
#pragma once

#include <QDialog>

#include "controls/TabPage.h"
#include "image/MemoryImage.h"
#include "link/serial/PortNames.h"
#include "link/serial/SerialTransferJob.h"

class QDialogButtonBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableView;

namespace ks340 {

class MemoryMapModel;

class ProgrammingDialog : public QDialog {
    Q_OBJECT
public:
    // Extra room below the OK button without and with the memory map.
    static constexpr int kMapHiddenMargin = 15;
    static constexpr int kMapShownMargin = 400;

    ProgrammingDialog(RadioSettings& settings, ViewFlags& flags, const PortChoice& port, QWidget* parent = nullptr);
    ~ProgrammingDialog() override;

    // Writes these bytes as they are instead of the encoded configuration
    // (a saved radio image put back on a radio).
    void setImageToWrite(const MemoryImage& image);

    QPushButton* writeButton() const { return writeButton_; }
    QPushButton* readButton() const { return readButton_; }
    QPushButton* okButton() const { return okButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    QProgressBar* progressBar() const { return progress_; }
    QLabel* blocksLabel() const { return status_; }
    QLabel* timeLeftLabel() const { return timeLeft_; }
    QTableView* memoryMap() const { return mapView_; }
    MemoryMapModel* memoryMapModel() const { return mapModel_; }
    SerialTransferJob& job() { return job_; }
    // Backups, verify, read first and trace of the transfers this dialog
    // starts (kind and image are set per transfer). Defaults: the desktop
    // program's transfer options.
    TransferOptions& transferOptions() { return options_; }
    // The image written, or the image as read so far.
    const MemoryImage& image() const { return image_; }
    bool mapShown() const { return mapShown_; }

public slots:
    void startRead();
    void startWrite();
    void done(int result) override;
    // Cancel, Esc and the close box: asks first while a transfer runs.
    void reject() override;

signals:
    // A transfer ended (after its message box was shown).
    void transferFinished(const ks340::TransferResult& result);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void begin();
    bool askRadioConnected();
    // The question before stopping a running transfer; true when it may end.
    bool confirmStop();
    void layOutMemoryMap();
    void askMemoryMap();
    void onBusyChanged(bool busy);
    void onProgress(const TransferProgress& progress);
    void onFinished(const TransferResult& result);
    void setButtonsEnabled(bool enabled);

    RadioSettings& settings_;
    ViewFlags& flags_;
    PortChoice port_;
    SerialTransferJob job_;
    TransferOptions options_;
    MemoryImage image_{};
    bool begun_ = false;
    bool mapShown_ = false;
    bool mapKeyArmed_ = false;

    QPushButton* writeButton_ = nullptr;
    QPushButton* readButton_ = nullptr;
    QPushButton* okButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QDialogButtonBox* buttonBox_ = nullptr;
    QProgressBar* progress_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* timeLeft_ = nullptr;
    QWidget* controls_ = nullptr;
    QTableView* mapView_ = nullptr;
    MemoryMapModel* mapModel_ = nullptr;
};

}  // namespace ks340
