#include "app/ProgrammingDialog.h"
#include "app/PortInfo.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
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
    connect(&session_, &RadioSession::progress, this, &ProgrammingDialog::onProgress);
    connect(&session_, &RadioSession::busyChanged, this, &ProgrammingDialog::onBusyChanged);
    connect(&session_, &RadioSession::finished, this, &ProgrammingDialog::onFinished);
    connect(&session_, &RadioSession::bufferFull, this,
            [this] { QMessageBox::warning(this, QStringLiteral("Error"), QStringLiteral("buff full")); });

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
    session_.cancel();
    session_.close();
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
    if (session_.isOpen() || !session_.open(port_)) {
        // The message keeps its text; the reason and its fix follow it.
        QString text = portOpenErrorMessage(port_);
        if (!session_.isOpen() && !port_.name.isEmpty())
            text += QStringLiteral("\n\n") + explainPortOpenFailure(port_.name);
        QMessageBox::critical(this, QStringLiteral("Error"), text);
        reject();
        return;
    }
    const auto answer =
        QMessageBox::question(this, QStringLiteral("Radio Connection"), QStringLiteral("Is the radio connected?"),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
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

void ProgrammingDialog::startRead() {
    if (!session_.isOpen()) return;
    action_ = Action::Read;
    progress_->setRange(0, int(kTransferBlockCount));
    progress_->setValue(0);
    // Bytes a read does not fill keep what the configuration encoded.
    session_.startRead(image_);
}

void ProgrammingDialog::startWrite() {
    if (!session_.isOpen()) return;
    action_ = Action::Write;
    progress_->setRange(0, int(kTransferBlockCount) - 1);
    progress_->setValue(0);
    session_.startWrite(image_);
}

void ProgrammingDialog::onProgress(int done, int total) {
    if (progress_->maximum() != total) progress_->setMaximum(total);
    progress_->setValue(done);
    status_->setText(QStringLiteral("%1 / %2").arg(done).arg(total));
}

void ProgrammingDialog::onBusyChanged(bool busy) { setButtonsEnabled(!busy); }

void ProgrammingDialog::setButtonsEnabled(bool enabled) {
    for (QPushButton* b : {writeButton_, readButton_, okButton_, cancelButton_}) b->setEnabled(enabled);
}

void ProgrammingDialog::onFinished(bool ok, const QString& message) {
    const Action action = action_;
    action_ = Action::None;
    setButtonsEnabled(true);
    if (!ok) {
        QMessageBox::critical(this, QStringLiteral("Error"), message);
        return;
    }
    if (action == Action::Read) {
        image_ = session_.image();
        settings_ = configurationFromImage(image_, settings_);
        flags_.radioReadDone = true;
    }
    QMessageBox::information(this, QStringLiteral("Information"), message);
}

void ProgrammingDialog::done(int result) {
    session_.cancel();
    session_.close();
    settings_.header.requestedAction = 0;
    QDialog::done(result);
}

void ProgrammingDialog::closeEvent(QCloseEvent* event) {
    // The close box also ends a transfer that has stopped answering.
    QDialog::closeEvent(event);
}

void ProgrammingDialog::keyPressEvent(QKeyEvent* event) {
    // Escape acts as Cancel, and Cancel is disabled while blocks are exchanged.
    if (event->key() == Qt::Key_Escape && !cancelButton_->isEnabled()) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
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
