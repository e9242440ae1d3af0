#include "app/MainView.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QVBoxLayout>

#include <algorithm>

#include "app/ProgrammingDialog.h"
#include "app/SimulatorProcess.h"
#include "app/TabHost.h"
#include "controls/FilterEdit.h"
#include "controls/WheelGuard.h"
#include "image/MemoryImage.h"
#include "model/Defaults.h"
#include "model/Signalling.h"
#include "model/Tables.h"
#include "model/Windows1252.h"
#include "pages/channel/ChannelTablePage.h"
#include "pages/channel/OptionPage.h"
#include "pages/signalling/DtmfStatusPage.h"
#include "pages/signalling/ModemPage.h"
#include "pages/signalling/SelcallDecodePage.h"
#include "pages/signalling/SelcallEncodePage.h"
#include "pages/signalling/ToneSequencePage.h"
#include "print/Reports.h"

namespace ks340 {

const std::array<const char*, MainView::PageCount> MainView::kTabCaptions = {
    "        Radio        ", "      Option       ",     "  Tone Sequence  ",    "      Encode       ",
    "      Decode       ",   "DTMF and Selcall Status", "        Modem        "};

namespace {

QString fromView(std::string_view text) { return QString::fromUtf8(text.data(), qsizetype(text.size())); }

QString fromRecord(const std::string& bytes) { return QString::fromStdString(cp1252ToUtf8(bytes)); }

QLineEdit* readOnlyField(const QString& accessibleName) {
    auto* field = new QLineEdit;
    field->setReadOnly(true);
    field->setAccessibleName(accessibleName);
    QPalette p = field->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Window));
    field->setPalette(p);
    return field;
}

}  // namespace

MainView::MainView(QWidget* parent) : QWidget(parent), simulator_(new SimulatorProcess) {
    buildHeader();
    buildPages();

    // First show: header reset, every page writes its defaults, port read.
    flags_.requestedAction = 0;
    flags_.memoryMapEnabled = 0;
    resetHeader(settings_.header);
    refreshHeader();
    initialiseAllPages();
    port_ = readPortSetting();
    wrapHeader();
}

MainView::~MainView() {
    if (simulator_) simulator_->stop();
}

void MainView::buildHeader() {
    modelList_ = new QComboBox;
    bandList_ = new QComboBox;
    speakerList_ = new QComboBox;
    logoEdit_ = new PrintableTextEdit;
    logoEdit_->setMaxLength(9);
    modelName_ = readOnlyField(QStringLiteral("Model Name"));
    bandName_ = readOnlyField(QStringLiteral("Band Name"));
    modelList_->setObjectName(QStringLiteral("modelList"));
    bandList_->setObjectName(QStringLiteral("bandList"));
    speakerList_->setObjectName(QStringLiteral("speakerList"));
    logoEdit_->setObjectName(QStringLiteral("logoEdit"));

    for (std::string_view name : ModelTable) modelList_->addItem(fromView(name));
    for (std::string_view name : SpeakerTable) speakerList_->addItem(fromView(name));
    const QFontMetrics fm(font());
    modelName_->setFixedWidth(fm.horizontalAdvance(QStringLiteral("KS-390")) + 16);
    bandName_->setFixedWidth(fm.horizontalAdvance(QStringLiteral("UHF2 (440 ~ 480Mhz)")) + 16);
    logoEdit_->setFixedWidth(fm.horizontalAdvance(QStringLiteral("MMMMMMMMM")) + 12);

    auto label = [](const QString& text, QWidget* buddy) {
        auto* l = new QLabel(text);
        l->setBuddy(buddy);
        QString name = text;
        name.remove('&');
        buddy->setAccessibleName(name);
        return l;
    };

    // One row, so that the pages keep as much height as possible; on a
    // narrow window (or with large fonts) Speaker and the logo wrap onto a
    // second row instead of widening the window.
    auto* box = new QGroupBox;
    headerBox_ = box;
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(8, 4, 8, 4);
    rows->setSpacing(4);
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(label(QStringLiteral("&Model"), modelList_));
    row->addWidget(modelList_);
    row->addWidget(modelName_);
    row->addSpacing(10);
    row->addWidget(label(QStringLiteral("&Band"), bandList_));
    row->addWidget(bandList_);
    row->addWidget(bandName_);
    row->addSpacing(10);
    headerTail_ = new QWidget;
    auto* tail = new QHBoxLayout(headerTail_);
    tail->setContentsMargins(0, 0, 0, 0);
    tail->setSpacing(6);
    tail->addWidget(label(QStringLiteral("&Speaker"), speakerList_));
    tail->addWidget(speakerList_);
    tail->addSpacing(10);
    tail->addWidget(label(QStringLiteral("LCD &Display Logo"), logoEdit_));
    tail->addWidget(logoEdit_);
    row->addWidget(headerTail_);
    row->addStretch(1);
    rows->addLayout(row);
    headerFirstRow_ = row;
    headerSecondRow_ = new QHBoxLayout;
    headerSecondRow_->addStretch(1);
    rows->addLayout(headerSecondRow_);

    tabs_ = new TabHost;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 2, 4, 4);
    layout->setSpacing(4);
    layout->addWidget(box);
    layout->addWidget(tabs_, 1);

    // A wheel notch over Model or Band would clear every channel.
    WheelGuard::install(box);

    setTabOrder(modelList_, modelName_);
    setTabOrder(modelName_, bandList_);
    setTabOrder(bandList_, bandName_);
    setTabOrder(bandName_, speakerList_);
    setTabOrder(speakerList_, logoEdit_);
    setTabOrder(logoEdit_, tabs_);

    connect(modelList_, qOverload<int>(&QComboBox::activated), this, &MainView::chooseModel);
    connect(bandList_, qOverload<int>(&QComboBox::activated), this, &MainView::chooseBand);
    connect(speakerList_, qOverload<int>(&QComboBox::activated), this, &MainView::chooseSpeaker);
    connect(logoEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.header.lcdDisplayLogo = utf8ToCp1252(text.toStdString()); });
}

void MainView::buildPages() {
    std::array<TabPage*, PageCount> pages = {
        new ChannelTablePage(settings_, flags_),  new OptionPage(settings_, flags_),
        new ToneSequencePage(settings_, flags_),  new SelcallEncodePage(settings_, flags_),
        new SelcallDecodePage(settings_, flags_), new DtmfStatusPage(settings_, flags_),
        new ModemPage(settings_, flags_)};
    for (int i = 0; i < PageCount; ++i) tabs_->addPage(pages[i], QString::fromLatin1(kTabCaptions[i]));
}

TabPage* MainView::page(int index) const { return tabs_->page(index); }

void MainView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    wrapHeader();
}

void MainView::wrapHeader() {
    // The header's widths: its first row without Speaker and the logo, and
    // those two.
    const int spacing = headerFirstRow_->spacing();
    const int tailWidth = headerTail_->minimumSizeHint().width();
    int first = headerFirstRow_->minimumSize().width();
    if (!headerWrapped_) first -= tailWidth + spacing;
    const QMargins m = headerBox_->contentsMargins() + headerBox_->layout()->contentsMargins();
    const int frame = m.left() + m.right() + layout()->contentsMargins().left() + layout()->contentsMargins().right();
    // The window may be as narrow as the wrapped header.
    headerBox_->setMinimumWidth(std::max(first, tailWidth) + frame);
    const bool wrap = width() < first + spacing + tailWidth + frame;
    if (wrap == headerWrapped_) return;
    headerWrapped_ = wrap;
    if (wrap) {
        headerFirstRow_->removeWidget(headerTail_);
        headerSecondRow_->insertWidget(0, headerTail_);
    } else {
        headerSecondRow_->removeWidget(headerTail_);
        headerFirstRow_->insertWidget(headerFirstRow_->count() - 1, headerTail_);
    }
}

void MainView::fillBandList() {
    const QSignalBlocker block(bandList_);
    bandList_->clear();
    const int model = isValidModel(settings_.header.model) ? settings_.header.model : 0;
    for (const BandRow& row : BandTable[std::size_t(model)]) bandList_->addItem(fromView(row.name));
}

void MainView::refreshHeader() {
    const HeaderSettings& h = settings_.header;
    {
        const QSignalBlocker b1(modelList_);
        const QSignalBlocker b2(speakerList_);
        modelList_->setCurrentIndex(isValidModel(h.model) ? h.model : -1);
        speakerList_->setCurrentIndex(isValidSpeaker(h.speaker) ? h.speaker : -1);
    }
    fillBandList();
    {
        const QSignalBlocker b(bandList_);
        bandList_->setCurrentIndex(isValidBand(h.radioBand) ? h.radioBand : -1);
    }
    modelName_->setText(fromView(shortModelName(h.model)));
    bandName_->setText(fromView(bandName(h.model, h.radioBand)));
    const QString logo = fromRecord(h.lcdDisplayLogo);
    if (logoEdit_->text() != logo) logoEdit_->setText(logo);
}

void MainView::refreshAllPages() {
    for (int i = 0; i < PageCount; ++i) page(i)->refreshFromSettings();
}

void MainView::showReplacedConfiguration() {
    flags_.fileLoadActive = true;
    refreshHeader();
    refreshAllPages();
    flags_.fileLoadActive = false;
}

void MainView::initialiseAllPages() {
    for (int i = 0; i < PageCount; ++i) page(i)->initialisePage();
}

bool MainView::newConfiguration(bool ask) {
    if (ask) {
        const auto answer =
            QMessageBox::question(this, QStringLiteral("New"), QStringLiteral("All data will be initialized."),
                                  QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok);
        if (answer != QMessageBox::Ok) return false;
    }
    resetRadioSettings(settings_);
    currentFile_.clear();
    refreshHeader();
    initialiseAllPages();
    return true;
}

void MainView::chooseModel(int model) {
    if (!ks340::chooseModel(settings_, model)) return;
    refreshHeader();
    initialiseAllPages();
}

void MainView::chooseBand(int radioBand) {
    if (!ks340::chooseBand(settings_, radioBand)) return;
    refreshHeader();
    initialiseAllPages();
}

void MainView::chooseSpeaker(int speaker) {
    if (isValidSpeaker(speaker)) settings_.header.speaker = speaker;
}

bool MainView::openFile(const QString& path) {
    const FileResult result = openSettingFile(QFile::encodeName(path).toStdString(), settings_);
    if (!result.ok) {
        QString message = QString::fromStdString(result.error);
        if (message.isEmpty()) message = QStringLiteral("%1\nThe file could not be read.").arg(path);
        QMessageBox::critical(this, QStringLiteral("Error"), message);
        return false;
    }
    showReplacedConfiguration();
    currentFile_ = lastFile_ = QFileInfo(path).absoluteFilePath();
    emit fileOpened(path);
    if (!result.warning.empty())
        QMessageBox::warning(this, QStringLiteral("Open"), QString::fromStdString(result.warning));
    return true;
}

bool MainView::saveFile(const QString& path) {
    prepareForSave(settings_);
    page(ToneSequenceTab)->collectIntoSettings();
    const FileResult result = writeSettingFile(QFile::encodeName(path).toStdString(), settings_);
    if (!result.ok) {
        QString message = QString::fromStdString(result.error);
        if (message.isEmpty()) message = QStringLiteral("%1\nThe file could not be written.").arg(path);
        QMessageBox::critical(this, QStringLiteral("Error"), message);
        return false;
    }
    currentFile_ = lastFile_ = QFileInfo(path).absoluteFilePath();
    emit fileSaved(path);
    return true;
}

void MainView::openWithDialog() {
    QFileDialog dialog(this, QStringLiteral("Open"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QStringLiteral("KS340/390 Setting File (*.ks3)"));
    dialog.setDefaultSuffix(QStringLiteral("ks3"));
    if (!lastFile_.isEmpty()) dialog.setDirectory(QFileInfo(lastFile_).absolutePath());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    openFile(dialog.selectedFiles().constFirst());
}

bool MainView::saveWithDialog() {
    QFileDialog dialog(this, QStringLiteral("Save As"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("KS340_390 Setting File (*.ks3)"));
    dialog.setDefaultSuffix(QStringLiteral("ks3"));
    // Replacing an existing file asks first (the dialog's own question).
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (!lastFile_.isEmpty()) dialog.setDirectory(QFileInfo(lastFile_).absolutePath());
    if (!currentFile_.isEmpty()) dialog.selectFile(QFileInfo(currentFile_).fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return saveFile(dialog.selectedFiles().constFirst());
}

void MainView::setNotice(QWidget* notice) {
    if (auto* column = qobject_cast<QVBoxLayout*>(layout())) column->insertWidget(1, notice);
}

void MainView::programRadio(int request) {
    if (request == 1 || request == 2) flags_.requestedAction = request;
    // The field being typed in commits its value when it loses the focus.
    modelList_->setFocus(Qt::OtherFocusReason);
    prepareForTransfer(settings_);
    page(ToneSequenceTab)->collectIntoSettings();
    page(DecodeTab)->collectIntoSettings();

    runProgrammingDialog(nullptr);
}

void MainView::writeImageAsIs(const MemoryImage& image) {
    flags_.requestedAction = 2;
    runProgrammingDialog(&image);
}

void MainView::runProgrammingDialog(const MemoryImage* imageAsIs) {
    if (simulated_ && !simulator_->isRunning() && !simulator_->start(simulatorArguments_)) {
        QMessageBox::critical(this, QStringLiteral("Error"), simulator_->errorString());
        flags_.requestedAction = 0;
        return;
    }
    {
        ProgrammingDialog dialog(settings_, flags_, currentPort(), window());
        if (imageAsIs) dialog.setImageToWrite(*imageAsIs);
        emit programmingDialogOpened(&dialog);
        dialog.exec();
    }
    flags_.requestedAction = 0;
    // After a completed read the record holds the radio's values, whether
    // the dialog was closed with OK or Cancel: show them everywhere.
    if (flags_.radioReadDone) {
        refreshHeader();
        refreshAllPages();
        flags_.radioReadDone = false;
    }
}

void MainView::printReport(int mode) {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    QString error;
    if (!ks340::printReport(*printer_, settings_, mode, &error, reportInfo()))
        QMessageBox::critical(this, QStringLiteral("Error"), error);
}

void MainView::previewReport(int mode) {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintPreviewDialog preview(printer_.get(), this);
    connect(&preview, &QPrintPreviewDialog::paintRequested, this,
            [this, mode](QPrinter* printer) { paintReport(*printer, settings_, mode, reportInfo()); });
    preview.exec();
}

ReportInfo MainView::reportInfo() const {
    ReportInfo info;
    if (!currentFile_.isEmpty()) info.fileName = QFileInfo(currentFile_).fileName();
    return info;
}

void MainView::printSetup() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPageSetupDialog dialog(printer_.get(), this);
    dialog.exec();
}

void MainView::chooseComPort(int comNumber) {
    simulated_ = false;
    simulator_->stop();
    port_.comPortNumber = comNumber;
    port_.devicePath.clear();
    writePortSetting(port_);
}

void MainView::chooseDevicePath(const QString& path) {
    simulated_ = false;
    simulator_->stop();
    port_.devicePath = path;
    port_.comPortNumber = 0;
    writePortSetting(port_);
}

bool MainView::chooseSimulatedRadio() {
    if (!simulator_->start(simulatorArguments_)) {
        QMessageBox::critical(this, QStringLiteral("Error"), simulator_->errorString());
        return false;
    }
    simulated_ = true;
    return true;
}

PortChoice MainView::currentPort() const {
    if (simulated_) {
        PortChoice choice;
        choice.name = simulator_->portPath();
        return choice;
    }
    if (port_.usesDevicePath()) {
        PortChoice choice;
        choice.name = port_.devicePath;
        return choice;
    }
    PortChoice choice;
    choice.byNumber = true;
    choice.comNumber = port_.comPortNumber;
    choice.name = portNameForComNumber(port_.comPortNumber);
    return choice;
}

}  // namespace ks340
