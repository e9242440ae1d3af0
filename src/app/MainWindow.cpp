#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include <QActionGroup>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>

#include "app/AboutDialog.h"
#include "app/ChangeNotice.h"
#include "app/FileActions.h"
#include "app/Icons.h"
#include "app/MainView.h"
#include "app/ProgrammingDialog.h"
#include "app/SimulatorProcess.h"
#include "app/UndoController.h"
#include "app/UserGuide.h"
#include "image/ImageBackup.h"
#include "link/serial/PortInfo.h"
#include "link/serial/PortNames.h"
#include "pages/channel/ChannelGridEditing.h"
#include "print/Reports.h"

namespace ks340 {

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowIcon(applicationIcon());
    view_ = new MainView;
    setCentralWidget(view_);
    undo_ = new UndoController(view_->settings(), this);
    undo_->attachTo(view_);
    notice_ = new ChangeNotice(undo_, view_->settings());
    view_->setNotice(notice_);
    connect(undo_, &UndoController::historyChanged, this, &MainWindow::updateTitle);
    buildToolBar();
    buildMenus();
    extra_ = installFileActions(this, fileMenu_, view_->settings(), [this] {
        view_->showReplacedConfiguration();
        undo_->recordStep(QStringLiteral("Import from file"));
    });
    connect(view_, &MainView::fileSaved, undo_, &UndoController::markSaved);
    addWriteImageAction();
    connect(view_, &MainView::programmingDialogOpened, this,
            [this](ProgrammingDialog* dialog) { extra_->attachToDialog(dialog); });
    connect(view_, &MainView::fileOpened, this, [this](const QString& path) {
        recent_.add(path);
        rebuildRecentFiles();
    });
    rebuildRecentFiles();
    updateTitle();
    fitToScreen();
}

QString MainWindow::titleText() const {
    const QString file = view_->currentFile();
    const QString name = file.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(file).fileName();
    const QString mark = undo_->unsavedChanges() > 0 ? QStringLiteral("*") : QString();
    return QStringLiteral("%1%2 - %3").arg(name, mark, QString::fromLatin1(kApplicationTitle));
}

void MainWindow::updateTitle() { setWindowTitle(titleText()); }

MainWindow::~MainWindow() = default;

// "Write Radio Image to Radio...": a saved image goes back to a radio byte
// for byte, placed after "Open Radio Image...".
void MainWindow::addWriteImageAction() {
    auto* action = new QAction(QStringLiteral("Write Radio Image to Radio..."), this);
    QAction* before = nullptr;
    const QList<QAction*> items = fileMenu_->actions();
    for (int i = 0; i + 1 < items.size(); ++i)
        if (items[i]->text() == QLatin1String("Open Radio Image...")) before = items[i + 1];
    fileMenu_->insertAction(before, action);
    connect(action, &QAction::triggered, this, [this] {
        const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Write Radio Image to Radio"), QString(),
                                                          QStringLiteral("Radio image (*.img)"));
        if (!path.isEmpty()) writeImageFileToRadio(path);
    });
}

bool MainWindow::writeImageFileToRadio(const QString& path) {
    MemoryImage image{};
    std::string error;
    if (!readImageFile(QFile::encodeName(path).toStdString(), image, error)) {
        QMessageBox::critical(this, QStringLiteral("Error"), QString::fromStdString(error));
        return false;
    }
    view_->writeImageAsIs(image);
    return true;
}

void MainWindow::buildMenus() {
    fileMenu_ = menuBar()->addMenu(QStringLiteral("File(&F)"));
    QAction* a = fileMenu_->addAction(QStringLiteral("New(&N)"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(a, &QAction::triggered, view_, [this] {
        if (view_->newConfiguration()) undo_->recordStep(QStringLiteral("New"));
    });
    a = fileMenu_->addAction(QStringLiteral("Open(&O)..."));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(a, &QAction::triggered, view_, &MainView::openWithDialog);
    a = fileMenu_->addAction(QStringLiteral("Save(&S)"));
    a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(a, &QAction::triggered, view_, &MainView::saveWithDialog);
    fileMenu_->addSeparator();
    connect(fileMenu_->addAction(QStringLiteral("Channel Print(&C)")), &QAction::triggered, view_,
            [this] { view_->printReport(kPrintChannels); });
    connect(fileMenu_->addAction(QStringLiteral("Option Print(&O)")), &QAction::triggered, view_,
            [this] { view_->printReport(kPrintOptions); });
    connect(fileMenu_->addAction(QStringLiteral("All Print")), &QAction::triggered, view_,
            [this] { view_->printReport(kPrintAll); });
    fileMenu_->addSeparator();
    connect(fileMenu_->addAction(QStringLiteral("Channel Preview(&H)")), &QAction::triggered, view_,
            [this] { view_->previewReport(kPrintChannels); });
    connect(fileMenu_->addAction(QStringLiteral("Option Preview(&P)")), &QAction::triggered, view_,
            [this] { view_->previewReport(kPrintOptions); });
    connect(fileMenu_->addAction(QStringLiteral("All Preview")), &QAction::triggered, view_,
            [this] { view_->previewReport(kPrintAll); });
    fileMenu_->addSeparator();
    connect(fileMenu_->addAction(QStringLiteral("Print Setting(&R)")), &QAction::triggered, view_,
            &MainView::printSetup);
    recentSeparator_ = fileMenu_->addSeparator();
    recentPlaceholder_ = fileMenu_->addAction(QStringLiteral("Recent File"));
    recentPlaceholder_->setEnabled(false);
    for (int i = 0; i < kRecentFileCount; ++i) {
        recentActions_[std::size_t(i)] = fileMenu_->addAction(QString());
        connect(recentActions_[std::size_t(i)], &QAction::triggered, this, [this, i] { openRecentFile(i); });
    }
    fileMenu_->addSeparator();
    exitAction_ = fileMenu_->addAction(QStringLiteral("Exit(&X)"));
    connect(exitAction_, &QAction::triggered, this, &QWidget::close);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("Edit(&E)"));
    edit->addAction(undo_->undoAction());
    edit->addAction(undo_->redoAction());
    edit->addSeparator();
    edit->addAction(undo_->gridEditing()->copyAction());
    edit->addAction(undo_->gridEditing()->pasteAction());
    edit->addAction(undo_->gridEditing()->deleteAction());
    edit->addAction(undo_->gridEditing()->fillDownAction());

    programMenu_ = menuBar()->addMenu(QStringLiteral("Program(&P)"));
    a = programMenu_->addAction(QStringLiteral("Read/Write(&R)"));
    connect(a, &QAction::triggered, view_, [this] { view_->programRadio(0); });
    // The toolbar's two radio commands, here with their keys.
    programMenu_->addAction(readAction_);
    programMenu_->addAction(writeAction_);
    portMenu_ = programMenu_->addMenu(QStringLiteral("Port"));
    connect(portMenu_, &QMenu::aboutToShow, this, &MainWindow::rebuildPortMenu);
    rebuildPortMenu();

    helpMenu_ = menuBar()->addMenu(QStringLiteral("Help(&H)"));
    connect(helpMenu_->addAction(QStringLiteral("Help Topics")), &QAction::triggered, this, &MainWindow::openHelp);
    connect(helpMenu_->addAction(QStringLiteral("About(&A)...")), &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::buildToolBar() {
    toolBar_ = new QToolBar(QStringLiteral("Toolbar"), this);
    toolBar_->setObjectName(QStringLiteral("mainToolBar"));
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setIconSize(QSize(24, 24));
    addToolBar(Qt::TopToolBarArea, toolBar_);

    auto add = [this](const QIcon& icon, const QString& text) {
        QAction* a = toolBar_->addAction(icon, text);
        a->setToolTip(text);
        a->setObjectName(QStringLiteral("tool ") + text);
        return a;
    };
    QStyle* s = style();
    connect(add(s->standardIcon(QStyle::SP_FileIcon), QStringLiteral("New")), &QAction::triggered, view_, [this] {
        if (view_->newConfiguration()) undo_->recordStep(QStringLiteral("New"));
    });
    connect(add(s->standardIcon(QStyle::SP_DialogOpenButton), QStringLiteral("Open")), &QAction::triggered, view_,
            &MainView::openWithDialog);
    connect(add(s->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Save")), &QAction::triggered, view_,
            &MainView::saveWithDialog);
    toolBar_->addSeparator();
    // Ctrl+Shift+R / Ctrl+Shift+W: no standard key of any platform (Ctrl+R
    // refreshes, Ctrl+W closes).
    writeAction_ = add(writeToRadioIcon(), QStringLiteral("Write to Radio"));
    writeAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W));
    connect(writeAction_, &QAction::triggered, view_, [this] { view_->programRadio(2); });
    readAction_ = add(readFromRadioIcon(), QStringLiteral("Read from Radio"));
    readAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_R));
    connect(readAction_, &QAction::triggered, view_, [this] { view_->programRadio(1); });
    toolBar_->addSeparator();
    QAction* print = add(printIcon(), QStringLiteral("Print"));
    print->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(print, &QAction::triggered, view_, [this] { view_->printReport(kPrintAll); });
    toolBar_->addSeparator();
    connect(add(aboutIcon(), QStringLiteral("About")), &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::rebuildRecentFiles() {
    const QStringList& files = recent_.files();
    recentPlaceholder_->setVisible(files.isEmpty());
    for (int i = 0; i < kRecentFileCount; ++i) {
        QAction* a = recentActions_[std::size_t(i)];
        if (i < files.size()) {
            a->setText(RecentFileList::menuText(i, files[i]));
            a->setToolTip(files[i]);
            a->setVisible(true);
        } else {
            a->setVisible(false);
        }
    }
}

void MainWindow::openRecentFile(int index) {
    const QStringList& files = recent_.files();
    if (index < 0 || index >= files.size()) return;
    const QString path = files[index];
    if (!QFileInfo::exists(path)) {
        QMessageBox::critical(this, QStringLiteral("Error"),
                              QStringLiteral("%1\nThe file does not exist any more.").arg(path));
        recent_.remove(path);
        rebuildRecentFiles();
        return;
    }
    view_->openFile(path);
}

void MainWindow::rebuildPortMenu() {
    portMenu_->clear();
    // One choice among the COM numbers, the ports present and the simulated
    // radio.
    delete portGroup_;
    portGroup_ = new QActionGroup(this);
    portGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    auto addChoice = [this](const QString& text) {
        QAction* a = portMenu_->addAction(text);
        a->setCheckable(true);
        portGroup_->addAction(a);
        return a;
    };
    const PortSetting& setting = view_->portSetting();
    const bool simulated = view_->simulatedRadioChosen();
    // The COM numbers --port accepts.
    for (int n = 1; n <= kMaxComNumber; ++n) {
        QAction* a = addChoice(QStringLiteral("COM %1").arg(n));
        a->setChecked(!simulated && !setting.usesDevicePath() && setting.comPortNumber == n);
        connect(a, &QAction::triggered, this, [this, n] { view_->chooseComPort(n); });
    }
    portMenu_->addSeparator();
    // Ports present: description, USB vendor:product, the stable by-id name
    // (remembered rather than the ttyUSBn name) and whether this user can open it.
    const QList<PortDetails> ports = listPortDetails();
    for (const PortDetails& port : ports) {
        QAction* a = addChoice(portMenuText(port));
        a->setToolTip(portMenuToolTip(port));
        a->setChecked(!simulated && port.matches(setting.devicePath));
        const QString name = port.stableName();
        connect(a, &QAction::triggered, this, [this, name] { view_->chooseDevicePath(name); });
    }
    portMenu_->setToolTipsVisible(true);
    // A device path from setting.opt that is not present now still shows.
    if (setting.usesDevicePath() &&
        std::none_of(ports.begin(), ports.end(), [&](const PortDetails& p) { return p.matches(setting.devicePath); })) {
        QAction* a = addChoice(QString(setting.devicePath).replace('&', "&&"));
        a->setChecked(!simulated);
        const QString path = setting.devicePath;
        connect(a, &QAction::triggered, this, [this, path] { view_->chooseDevicePath(path); });
    }
    if (ports.isEmpty() && !setting.usesDevicePath()) {
        QAction* none = portMenu_->addAction(QStringLiteral("No serial ports found"));
        none->setEnabled(false);
    }
    portMenu_->addSeparator();
    QAction* sim = addChoice(QStringLiteral("Simulated radio"));
    sim->setChecked(simulated);
    connect(sim, &QAction::triggered, this, [this] { view_->chooseSimulatedRadio(); });
}

bool MainWindow::openHelp() { return openHelpTopics(defaultHelpPlaces(), urlOpener_); }

void MainWindow::showAbout() {
    AboutDialog about(this);
    about.exec();
}

void MainWindow::fitToScreen() {
    // Room for the window frame that the desktop adds around the window.
    const QSize frame(16, 36);
    QSize size = sizeHint().expandedTo(QSize(900, 640));
    if (const QScreen* screen = QApplication::primaryScreen()) {
        const QRect avail = screen->availableGeometry();
        size = size.boundedTo(avail.size() - frame);
        resize(size);
        move(avail.center() - rect().center());
    } else {
        resize(size);
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (confirmExit_) {
        // Unsaved changes can be saved on the way out.
        QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
        if (undo_->unsavedChanges() > 0) buttons |= QMessageBox::Save;
        const auto answer =
            QMessageBox::question(this, QStringLiteral("Exit"), undo_->exitQuestion(), buttons, QMessageBox::Yes);
        const bool leave = answer == QMessageBox::Yes || (answer == QMessageBox::Save && view_->saveWithDialog());
        if (!leave) {
            event->ignore();
            return;
        }
    }
    if (SimulatorProcess* sim = view_->simulator()) sim->stop();
    event->accept();
}

}  // namespace ks340
