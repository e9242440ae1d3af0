#include "app/ProgrammingDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>
#include <QWindow>

#include "app/FileActions.h"
#include "app/Icons.h"
#include "app/MemoryMapModel.h"

namespace ks340 {

ProgrammingDialog::ProgrammingDialog(RadioSettings& settings, ViewFlags& flags, const PortChoice& port, QWidget* parent)
    : QDialog(parent), settings_(settings), flags_(flags), port_(port) {
    setWindowTitle(QStringLiteral("Programming Menu"));
    setModal(true);
    setSizeGripEnabled(false);

    writeButton_ = new QPushButton(writeToRadioIcon(), QStringLiteral("&Write to Radio"));
    readButton_ = new QPushButton(readFromRadioIcon(), QStringLiteral("&Read from Radio"));
    for (QPushButton* b : {writeButton_, readButton_}) {
        b->setIconSize(QSize(24, 24));
        b->setMinimumHeight(44);
        b->setAutoDefault(false);
    }
    writeButton_->setObjectName(QStringLiteral("writeButton"));
    readButton_->setObjectName(QStringLiteral("readButton"));

    progress_ = new QProgressBar;
    progress_->setAccessibleName(QStringLiteral("Progress"));
    progress_->setTextVisible(false);
    progress_->setRange(0, 509);
    progress_->setValue(0);
    progress_->setFixedHeight(14);

    status_ = new QLabel;
    status_->setAlignment(Qt::AlignCenter);
    status_->setMinimumWidth(80);
    status_->setAccessibleName(QStringLiteral("Blocks"));
    timeLeft_ = new QLabel;
    timeLeft_->setMinimumWidth(QFontMetrics(timeLeft_->font()).horizontalAdvance(QStringLiteral("99 min 59 s left")));
    timeLeft_->setAccessibleName(QStringLiteral("Time Left"));

    buttonBox_ = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    okButton_ = buttonBox_->button(QDialogButtonBox::Ok);
    cancelButton_ = buttonBox_->button(QDialogButtonBox::Cancel);
    okButton_->setText(QStringLiteral("&OK"));
    cancelButton_->setText(QStringLiteral("&Cancel"));
    okButton_->setDefault(true);
    connect(buttonBox_, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox_, &QDialogButtonBox::rejected, this, &QDialog::reject);

    mapModel_ = new MemoryMapModel(this);
    mapView_ = new QTableView;
    mapView_->setObjectName(QStringLiteral("memoryMap"));
    mapView_->setAccessibleName(QStringLiteral("Memory Map"));
    mapView_->setModel(mapModel_);
    mapView_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mapView_->setSelectionMode(QAbstractItemView::SingleSelection);
    mapView_->setWordWrap(false);
    {
        const QFontMetrics fm(mapView_->font());
        const int cell = fm.horizontalAdvance(QStringLiteral("FF")) + 10;
        QHeaderView* h = mapView_->horizontalHeader();
        h->setSectionResizeMode(QHeaderView::Fixed);
        h->setMinimumSectionSize(cell);
        h->setDefaultSectionSize(cell);
        QHeaderView* v = mapView_->verticalHeader();
        v->setSectionResizeMode(QHeaderView::Fixed);
        v->setDefaultSectionSize(fm.height() + 4);
        v->setMinimumWidth(fm.horizontalAdvance(QStringLiteral("1FF")) + 12);
    }
    mapView_->hide();

    auto* top = new QHBoxLayout;
    top->addStretch(1);
    top->addWidget(writeButton_, 3);
    top->addStretch(1);
    top->addWidget(readButton_, 3);
    top->addStretch(1);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_);
    bottom->addWidget(timeLeft_);
    bottom->addStretch(1);
    bottom->addWidget(buttonBox_);

    controls_ = new QWidget;
    auto* controlsLayout = new QVBoxLayout(controls_);
    controlsLayout->setContentsMargins(0, 0, 0, 0);
    controlsLayout->addLayout(top);
    controlsLayout->addWidget(progress_);
    controlsLayout->addLayout(bottom);
    controls_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(controls_, 0, Qt::AlignTop);
    layout->addWidget(mapView_, 1);

    connect(writeButton_, &QPushButton::clicked, this, &ProgrammingDialog::startWrite);
    connect(readButton_, &QPushButton::clicked, this, &ProgrammingDialog::startRead);
    connect(&job_, &SerialTransferJob::progress, this, &ProgrammingDialog::onProgress);
    connect(&job_, &SerialTransferJob::busyChanged, this, &ProgrammingDialog::onBusyChanged);
    connect(&job_, &SerialTransferJob::finished, this, &ProgrammingDialog::onFinished);
    connect(&job_, &SerialTransferJob::bufferFull, this,
            [this] { QMessageBox::warning(this, QStringLiteral("Error"), QStringLiteral("buff full")); });

    options_.keepBackups = FileActions::backupsEnabled();
    options_.backupDirectory = QFile::encodeName(FileActions::backupDirectory()).toStdString();
    options_.verify = FileActions::verifyAfterWrite();
    options_.readFirst = FileActions::readFirst();

    image_ = encodeMemoryImage(settings_);
    mapShown_ = settings_.header.memoryMapEnabled != 0;
    layOutMemoryMap();

    qApp->installEventFilter(this);
}

void ProgrammingDialog::setImageToWrite(const MemoryImage& image) {
    image_ = image;
    if (mapShown_) mapModel_->showImage(image_);
}

ProgrammingDialog::~ProgrammingDialog() {
    qApp->removeEventFilter(this);
    job_.close();
}

void ProgrammingDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    layOutMemoryMap();
    if (!begun_) {
        begun_ = true;
        QMetaObject::invokeMethod(this, &ProgrammingDialog::begin, Qt::QueuedConnection);
    }
}

void ProgrammingDialog::begin() {
    if (!isVisible()) return;
    if (job_.isOpen() || !job_.open(port_)) {
        // The message keeps its text; the reason and its fix follow it.
        TransferResult failed = job_.lastResult();
        if (failed.message.empty()) failed.message = portOpenErrorMessage(port_).toStdString();
        QMessageBox::critical(this, QStringLiteral("Error"), QString::fromStdString(resultText(failed)));
        reject();
        return;
    }
    if (!askRadioConnected()) {
        reject();
        return;
    }
    const int request = settings_.header.requestedAction;
    if (request == 1) {
        settings_.header.requestedAction = 0;
        startRead();
    } else if (request == 2) {
        settings_.header.requestedAction = 0;
        startWrite();
    }
}

bool ProgrammingDialog::askRadioConnected() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("Radio Connection"),
                    QStringLiteral("Is the radio connected?"), QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::Yes);
    box.setInformativeText(QStringLiteral("Port: %1").arg(job_.portName()));
    // Room for the whole caption in the title bar, with its buttons.
    const QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(box.windowTitle()) + 160;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(captionWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, grid->columnCount());
    return box.exec() == QMessageBox::Yes;
}

void ProgrammingDialog::startRead() {
    if (!job_.isOpen()) return;
    TransferOptions options = options_;
    options.kind = TransferKind::Read;
    // Bytes a read does not fill keep what the configuration encoded.
    options.image = image_;
    progress_->setRange(0, int(kTransferBlockCount));
    progress_->setValue(0);
    job_.start(options);
}

void ProgrammingDialog::startWrite() {
    if (!job_.isOpen()) return;
    TransferOptions options = options_;
    options.kind = TransferKind::Write;
    options.image = image_;
    progress_->setRange(0, int(kTransferBlockCount) - 1);
    progress_->setValue(0);
    job_.start(options);
}

void ProgrammingDialog::onProgress(const TransferProgress& p) {
    // A write shows the block going out (0..509), a read the block stored (0..510).
    const int maximum = p.phase == TransferPhase::Write ? p.total - 1 : p.total;
    const int value = std::min(p.done, maximum);
    if (progress_->maximum() != maximum) progress_->setMaximum(maximum);
    progress_->setValue(value);
    status_->setText(QStringLiteral("%1 / %2").arg(value).arg(maximum));
    timeLeft_->setText(QString::fromStdString(timeLeftText(p.secondsLeft)));
}

void ProgrammingDialog::onBusyChanged(bool busy) { setButtonsEnabled(!busy); }

// Cancel stays enabled: it stops a running transfer after asking.
void ProgrammingDialog::setButtonsEnabled(bool enabled) {
    for (QPushButton* b : {writeButton_, readButton_, okButton_}) b->setEnabled(enabled);
}

void ProgrammingDialog::onFinished(const TransferResult& result) {
    setButtonsEnabled(true);
    timeLeft_->clear();
    const QString text = QString::fromStdString(resultText(result));
    switch (result.outcome) {
        case TransferOutcome::Done:
            if (result.kind == TransferKind::Read) {
                image_ = result.image;
                settings_ = configurationFromImage(image_, settings_);
                flags_.radioReadDone = true;
            }
            QMessageBox::information(this, QStringLiteral("Information"), text);
            break;
        case TransferOutcome::Cancelled:
            if (result.writeStarted && result.phase == TransferPhase::Write)
                QMessageBox::warning(this, QStringLiteral("Transfer Stopped"), text);
            else
                QMessageBox::information(this, QStringLiteral("Transfer Stopped"), text);
            break;
        default:
            QMessageBox::critical(this, QStringLiteral("Error"), text);
            break;
    }
    emit transferFinished(result);
}

bool ProgrammingDialog::confirmStop() {
    QString text;
    const TransferJob& job = job_.job();
    if (job.phase() == TransferPhase::Write && job.writeStarted()) {
        text = QStringLiteral(
                   "Stop writing?\n\nThe radio will be partly written: it has accepted %1 of 510 blocks so far, "
                   "and it will not work as configured until it is written completely.")
                   .arg(job.blocksWritten());
        const QString backup = QFile::decodeName(job.restoreBackup().c_str());
        text +=
            backup.isEmpty()
                ? QStringLiteral("\n\nNo backup is kept: write the configuration again to complete it.")
                : QStringLiteral("\n\nThe backup %1 restores it (File > Write Radio Image to Radio...).").arg(backup);
    } else if (job.phase() == TransferPhase::Verify) {
        text = QStringLiteral("Stop checking the write?\n\nThe radio holds the whole write already.");
    } else if (job.options().kind == TransferKind::Write) {
        text = QStringLiteral("Stop the write?\n\nNothing has been written to the radio yet.");
    } else {
        text = QStringLiteral("Stop reading the radio?\n\nThe radio and the configuration stay as they are.");
    }
    const auto answer = QMessageBox::question(this, QStringLiteral("Stop Transfer"), text,
                                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) return false;
    // The transfer may have ended while the question was open.
    if (job_.running()) job_.stop();
    return true;
}

void ProgrammingDialog::reject() {
    if (job_.running() && !confirmStop()) return;
    QDialog::reject();
}

void ProgrammingDialog::done(int result) {
    job_.close();
    settings_.header.requestedAction = 0;
    QDialog::done(result);
}

bool ProgrammingDialog::eventFilter(QObject* watched, QEvent* event) {
    // Keys are looked at as they reach the dialog's window, once each and
    // before the focused control gets them.
    if (event->type() == QEvent::KeyPress && watched && watched == static_cast<QObject*>(windowHandle())) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_F7)
            mapKeyArmed_ = key->key() == Qt::Key_F6;
        else if (mapKeyArmed_)
            askMemoryMap();
    }
    return QDialog::eventFilter(watched, event);
}

void ProgrammingDialog::askMemoryMap() {
    const auto answer =
        QMessageBox::question(this, QStringLiteral("Enable/Disable Memory Map"),
                              QStringLiteral("Enable memory map --> Press Yes\n\nDisable memory map --> Press No"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    const bool yes = answer == QMessageBox::Yes;
    if (yes && mapShown_) return;
    settings_.header.memoryMapEnabled = yes ? 1 : 0;
    mapShown_ = yes;
    layOutMemoryMap();
}

void ProgrammingDialog::layOutMemoryMap() {
    const bool show = settings_.header.memoryMapEnabled != 0;
    if (show) {
        mapModel_->showImage(image_);
        mapView_->show();
    } else {
        mapView_->hide();
    }
    QLayout* l = layout();
    l->activate();
    // Width: the larger of the controls and the map with its scroll bar.
    const int mapWidth = mapView_->verticalHeader()->sizeHint().width() +
                         16 * mapView_->horizontalHeader()->defaultSectionSize() +
                         mapView_->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2 * mapView_->frameWidth() +
                         l->contentsMargins().left() + l->contentsMargins().right() + 2;
    const int width = std::max({l->minimumSize().width(), mapWidth, 420});
    // The controls keep their natural height; the OK button's bottom is
    // where the dialog ends, plus the room for the map.
    controls_->resize(std::max(controls_->width(), controls_->sizeHint().width()), controls_->sizeHint().height());
    controls_->layout()->activate();
    const int okBottom = l->contentsMargins().top() + okButton_->mapTo(controls_, QPoint(0, okButton_->height())).y();
    const int height = okBottom + (show ? kMapShownMargin : kMapHiddenMargin);
    setFixedSize(width, height);
    // The dialog keeps its place; only when the map would reach below the
    // screen does it move up.
    if (isVisible()) {
        if (const QScreen* screen = this->screen()) {
            const QRect avail = screen->availableGeometry();
            QRect frame = frameGeometry();
            if (frame.bottom() > avail.bottom()) {
                frame.moveBottom(avail.bottom());
                if (frame.top() < avail.top()) frame.moveTop(avail.top());
                move(frame.topLeft());
            }
        }
    }
}

}  // namespace ks340
