// The main view: the header (model, band, speaker, display logo) above the
// tab control with the seven pages. It owns the configuration, runs the
// commands that replace it (New, Open, a change of model or band, a radio
// read), saves it, keeps the chosen port and opens the programming dialog.
#pragma once

#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

#include "app/PortSetting.h"
#include "controls/TabPage.h"
#include "image/MemoryImage.h"
#include "link/serial/PortNames.h"
#include "print/Reports.h"

class QComboBox;
class QLineEdit;

namespace ks340 {

class PrintableTextEdit;
class ProgrammingDialog;
class SimulatorProcess;
class TabHost;

class MainView : public QWidget {
    Q_OBJECT
public:
    enum PageIndex {
        RadioTab = 0,
        OptionTab = 1,
        ToneSequenceTab = 2,
        EncodeTab = 3,
        DecodeTab = 4,
        DtmfTab = 5,
        ModemTab = 6,
        PageCount = 7
    };
    static const std::array<const char*, PageCount> kTabCaptions;

    // Reads setting.opt from the working directory.
    explicit MainView(QWidget* parent = nullptr);
    ~MainView() override;

    RadioSettings& settings() { return settings_; }
    ViewFlags& flags() { return flags_; }
    TabHost* tabs() const { return tabs_; }
    TabPage* page(int index) const;
    QComboBox* modelList() const { return modelList_; }
    QComboBox* bandList() const { return bandList_; }
    QComboBox* speakerList() const { return speakerList_; }
    PrintableTextEdit* logoEdit() const { return logoEdit_; }
    QLineEdit* modelNameField() const { return modelName_; }
    QLineEdit* bandNameField() const { return bandName_; }

    // --- Commands -----------------------------------------------------------
    // Asks "All data will be initialized." (unless ask is false); on OK resets
    // the header, the channel table and every page. Returns true when reset.
    bool newConfiguration(bool ask = true);
    // Reads a setting file; on failure shows the error and changes nothing.
    bool openFile(const QString& path);
    // Writes a setting file; on failure shows the error.
    bool saveFile(const QString& path);
    // The Open and Save commands with their file dialogs. Both start in the
    // folder of the file last opened or saved; Save fills in its name and
    // asks before it replaces an existing file. True when saved.
    void openWithDialog();
    bool saveWithDialog();
    // The setting file the configuration was last opened from or saved to;
    // empty after New and before the first save.
    QString currentFile() const { return currentFile_; }
    // Puts a widget between the header and the pages (the change notice).
    void setNotice(QWidget* notice);
    // Prepares the configuration and runs the programming dialog: request
    // 1 reads, 2 writes, 0 leaves header.requestedAction as it is.
    void programRadio(int request);
    // Writes a radio image to the radio byte for byte, as it was saved.
    void writeImageAsIs(const MemoryImage& image);
    // The header's selection changes as the user makes them.
    void chooseModel(int model);
    void chooseBand(int radioBand);
    void chooseSpeaker(int speaker);

    // Printing: mode 1 channels, 2 options, 3 both.
    void printReport(int mode);
    void previewReport(int mode);
    void printSetup();
    // The file name and today's date for the foot of printed pages.
    ReportInfo reportInfo() const;

    // --- Port choice --------------------------------------------------------
    const PortSetting& portSetting() const { return port_; }
    bool simulatedRadioChosen() const { return simulated_; }
    void chooseComPort(int comNumber);
    void chooseDevicePath(const QString& path);
    // Starts the simulated radio and uses its port. False (with a message)
    // when it cannot be started.
    bool chooseSimulatedRadio();
    // Arguments given to the simulated radio when it is started.
    void setSimulatorArguments(const QStringList& arguments) { simulatorArguments_ = arguments; }
    SimulatorProcess* simulator() const { return simulator_.get(); }
    // The port the programming dialog opens.
    PortChoice currentPort() const;

    // --- Refreshing ---------------------------------------------------------
    // Shows the header record without any reset.
    void refreshHeader();
    // Every page shows its record (channel page first).
    void refreshAllPages();
    // Every page writes its defaults and shows them.
    void initialiseAllPages();
    // The header and every page show a configuration that was replaced as a
    // whole (as after opening a setting file).
    void showReplacedConfiguration();

signals:
    // A setting file was opened successfully (for the recent-file list).
    void fileOpened(const QString& path);
    // The configuration was saved to a setting file.
    void fileSaved(const QString& path);
    // The programming dialog is about to run modally.
    void programmingDialogOpened(ProgrammingDialog* dialog);

private:
    void runProgrammingDialog(const MemoryImage* imageAsIs);
    void buildHeader();
    void buildPages();
    void fillBandList();

    RadioSettings settings_;
    ViewFlags flags_;
    QString currentFile_;
    QString lastFile_;  // kept over New: its folder is where the dialogs start
    PortSetting port_;
    bool simulated_ = false;
    QStringList simulatorArguments_;
    std::unique_ptr<SimulatorProcess> simulator_;
    std::unique_ptr<QPrinter> printer_;

    QComboBox* modelList_ = nullptr;
    QComboBox* bandList_ = nullptr;
    QComboBox* speakerList_ = nullptr;
    PrintableTextEdit* logoEdit_ = nullptr;
    QLineEdit* modelName_ = nullptr;
    QLineEdit* bandName_ = nullptr;
    TabHost* tabs_ = nullptr;
};

}  // namespace ks340
