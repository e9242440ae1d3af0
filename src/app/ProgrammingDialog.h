// "Programming Menu": reads the configuration from the radio or writes it to
// the radio over the chosen port, with a progress bar, completion messages
// and the memory map (F6 then F7).
//
// The caller prepares the configuration for the transfer first
// (prepareForTransfer and the pages' collect steps). When the dialog has
// been shown it opens the port, asks whether the radio is connected and
// starts the transfer that flags.requestedAction asks for. After a
// completed read the configuration holds the radio's values and
// flags.radioReadDone is set. flags.requestedAction is 0 whenever the dialog
// has closed.
#pragma once

#include <QDialog>

#include "controls/TabPage.h"
#include "image/MemoryImage.h"
#include "link/serial/PortNames.h"
#include "link/serial/RadioSession.h"

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
    QTableView* memoryMap() const { return mapView_; }
    MemoryMapModel* memoryMapModel() const { return mapModel_; }
    RadioSession& session() { return session_; }
    // The image written, or the image as read so far.
    const MemoryImage& image() const { return image_; }
    bool mapShown() const { return mapShown_; }

public slots:
    void startRead();
    void startWrite();
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    enum class Action { None, Read, Write };

    void begin();
    void layOutMemoryMap();
    void askMemoryMap();
    void onBusyChanged(bool busy);
    void onProgress(int done, int total);
    void onFinished(bool ok, const QString& message);
    void setButtonsEnabled(bool enabled);

    RadioSettings& settings_;
    ViewFlags& flags_;
    PortChoice port_;
    RadioSession session_;
    MemoryImage image_{};
    Action action_ = Action::None;
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
    QWidget* controls_ = nullptr;
    QTableView* mapView_ = nullptr;
    MemoryMapModel* mapModel_ = nullptr;
};

}  // namespace ks340
