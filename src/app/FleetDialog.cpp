#include "app/FleetDialog.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "link/serial/PortInfo.h"
#include "app/SimulatorProcess.h"
#include "fleet/qt/FleetRunner.h"

namespace ks340 {

namespace {

constexpr int kPathRole = Qt::UserRole + 1;

QString withoutAmpersand(QString text) { return text.remove(QLatin1Char('&')); }

// A line edit with its label (the buddy gives the accessible name) and a
// "Browse..." button.
QLineEdit* pathRow(QGridLayout* grid, int row, const QString& label, QPushButton** browse) {
    auto* edit = new QLineEdit;
    auto* caption = new QLabel(label);
    caption->setBuddy(edit);
    edit->setAccessibleName(withoutAmpersand(label).chopped(1));
    *browse = new QPushButton(QStringLiteral("Browse..."));
    (*browse)->setAccessibleName(withoutAmpersand(label).chopped(1) + QStringLiteral(" Browse"));
    grid->addWidget(caption, row, 0);
    grid->addWidget(edit, row, 1);
    grid->addWidget(*browse, row, 2);
    return edit;
}

}  // namespace

FleetDialog::FleetDialog(const QString& basePath, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Fleet Programming"));
    auto* layout = new QVBoxLayout(this);

    auto* files = new QGridLayout;
    QPushButton* browseBase = nullptr;
    QPushButton* browseUnits = nullptr;
    QPushButton* browseReport = nullptr;
    base_ = pathRow(files, 0, QStringLiteral("&Base configuration:"), &browseBase);
    units_ = pathRow(files, 1, QStringLiteral("&Unit list:"), &browseUnits);
    report_ = pathRow(files, 2, QStringLiteral("Report &folder:"), &browseReport);
    base_->setText(basePath);
    connect(browseBase, &QPushButton::clicked, this,
            [this] { browse(base_, false, QStringLiteral("Setting files (*.ks3)")); });
    connect(browseUnits, &QPushButton::clicked, this,
            [this] { browse(units_, false, QStringLiteral("Unit lists (*.csv)")); });
    connect(browseReport, &QPushButton::clicked, this, [this] { browse(report_, true, {}); });
    layout->addLayout(files);

    auto* portBox = new QHBoxLayout;
    auto* portLabel = new QLabel(QStringLiteral("&Ports:"));
    ports_ = new QListWidget;
    ports_->setAccessibleName(QStringLiteral("Ports"));
    ports_->setMaximumHeight(110);
    portLabel->setBuddy(ports_);
    auto* portSide = new QFormLayout;
    simulated_ = new QSpinBox;
    simulated_->setRange(0, 16);
    simulated_->setAccessibleName(QStringLiteral("Simulated radios"));
    auto* simLabel = new QLabel(QStringLiteral("&Simulated radios:"));
    simLabel->setBuddy(simulated_);
    portSide->addRow(simLabel, simulated_);
    auto_ = new QCheckBox(QStringLiteral("&Automatic: a read request every 2 s until a radio answers"));
    auto_->setAccessibleName(withoutAmpersand(auto_->text()));
    portSide->addRow(auto_);
    portBox->addWidget(portLabel);
    portBox->addWidget(ports_, 1);
    portBox->addLayout(portSide);
    layout->addLayout(portBox);

    table_ = new QTableWidget(0, 5);
    table_->setHorizontalHeaderLabels({QStringLiteral("Unit"), QStringLiteral("Result"), QStringLiteral("Port"),
                                       QStringLiteral("Step"), QStringLiteral("Reason")});
    table_->setAccessibleName(QStringLiteral("Units"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->verticalHeader()->hide();
    layout->addWidget(table_, 1);

    portRows_ = new QFormLayout;
    layout->addLayout(portRows_);
    overall_ = new QLabel;
    overall_->setAccessibleName(QStringLiteral("Overall progress"));
    layout->addWidget(overall_);

    buttons_ = new QDialogButtonBox;
    start_ = buttons_->addButton(QStringLiteral("S&tart"), QDialogButtonBox::ActionRole);
    pause_ = buttons_->addButton(QStringLiteral("&Pause"), QDialogButtonBox::ActionRole);
    stop_ = buttons_->addButton(QStringLiteral("St&op"), QDialogButtonBox::ActionRole);
    openReport_ = buttons_->addButton(QStringLiteral("Open &Report"), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons_->addButton(QDialogButtonBox::Close);
    for (QPushButton* b : {start_, pause_, stop_, openReport_, close})
        b->setAccessibleName(withoutAmpersand(b->text()));
    pause_->setEnabled(false);
    stop_->setEnabled(false);
    openReport_->setEnabled(false);
    connect(start_, &QPushButton::clicked, this, &FleetDialog::start);
    connect(pause_, &QPushButton::clicked, this, &FleetDialog::pauseOrResume);
    connect(stop_, &QPushButton::clicked, this, &FleetDialog::stop);
    connect(openReport_, &QPushButton::clicked, this, [this] {
        if (runner_) QDesktopServices::openUrl(QUrl::fromLocalFile(runner_->reportPdfPath()));
    });
    connect(close, &QPushButton::clicked, this, &FleetDialog::reject);
    layout->addWidget(buttons_);

    // Cables plugged in while the dialog is open appear without a restart.
    refreshPorts();
    connect(&hotplug_, &QTimer::timeout, this, &FleetDialog::refreshPorts);
    hotplug_.start(2000);
    connect(&redraw_, &QTimer::timeout, this, [this] {
        if (!portsDirty_ || !runner_ || !runner_->scheduler()) return;
        portsDirty_ = false;
        for (int p = 0; p < static_cast<int>(bars_.size()); ++p) updatePort(p);
        updateOverall();
    });
    redraw_.start(200);
    resize(820, 600);
}

FleetDialog::~FleetDialog() {
    runner_.reset();
    stopSimulatedRadios();
}

void FleetDialog::browse(QLineEdit* edit, bool folder, const QString& filter) {
    const QString path = folder ? QFileDialog::getExistingDirectory(this, QString(), edit->text())
                                : QFileDialog::getOpenFileName(this, QString(), edit->text(), filter);
    if (!path.isEmpty()) edit->setText(path);
}

void FleetDialog::refreshPorts() {
    QStringList present;
    for (const PortDetails& port : listPortDetails()) {
        present << port.path;
        bool known = false;
        for (int i = 0; i < ports_->count(); ++i) known |= ports_->item(i)->data(kPathRole).toString() == port.path;
        if (known) continue;
        QString text = port.path;
        if (!port.byIdPath.isEmpty()) text += QStringLiteral("  (%1)").arg(QFileInfo(port.byIdPath).fileName());
        if (!port.description.isEmpty()) text += QStringLiteral("  %1").arg(port.description);
        if (!port.accessible) text += QStringLiteral("  (no access)");
        auto* item = new QListWidgetItem(text, ports_);
        item->setData(kPathRole, port.stableName());
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

bool FleetDialog::startSimulatedRadios(int count, QString* error) {
    stopSimulatedRadios();
    const QString program = SimulatorProcess::findProgram();
    if (program.isEmpty()) {
        *error = QStringLiteral("The simulated radio was not found next to the program.");
        return false;
    }
    QStringList args{QStringLiteral("--count"), QString::number(count), QStringLiteral("--swap-radio"),
                     QStringLiteral("-q")};
    if (QFileInfo::exists(base_->text())) args << QStringLiteral("--ks3") << base_->text();
    args += simArguments_;
    sims_.start(program, args);
    if (!sims_.waitForStarted(5000)) {
        *error = sims_.errorString();
        return false;
    }
    while (simPaths_.size() < count && sims_.waitForReadyRead(5000))
        while (sims_.canReadLine()) simPaths_ << QString::fromLocal8Bit(sims_.readLine()).trimmed();
    if (simPaths_.size() < count) {
        *error = QStringLiteral("The simulated radios did not start.");
        stopSimulatedRadios();
        return false;
    }
    return true;
}

void FleetDialog::stopSimulatedRadios() {
    simPaths_.clear();
    if (sims_.state() == QProcess::NotRunning) return;
    sims_.terminate();
    if (!sims_.waitForFinished(2000)) sims_.kill();
    sims_.waitForFinished(1000);
}

void FleetDialog::start() {
    fleet::FleetSetup setup;
    setup.basePath = base_->text();
    setup.unitsPath = units_->text();
    setup.reportDir = report_->text();
    setup.autoMode = auto_->isChecked();
    for (int i = 0; i < ports_->count(); ++i)
        if (ports_->item(i)->checkState() == Qt::Checked) setup.ports << ports_->item(i)->data(kPathRole).toString();
    QStringList problems;
    if (setup.reportDir.isEmpty()) problems << QStringLiteral("Choose a report folder.");
    if (simulated_->value() > 0) {
        QString why;
        if (!startSimulatedRadios(simulated_->value(), &why))
            problems << why;
        else
            setup.ports += simPaths_;
    }
    runner_ = std::make_unique<fleet::FleetRunner>();
    if (problems.isEmpty()) runner_->prepare(setup, &problems);
    if (!problems.isEmpty()) {
        QMessageBox::warning(this, QStringLiteral("Fleet Programming"),
                             QStringLiteral("Nothing was written:\n") + problems.join(QLatin1Char('\n')));
        runner_.reset();
        stopSimulatedRadios();
        return;
    }
    connect(runner_.get(), &fleet::FleetRunner::unitUpdated, this, &FleetDialog::updateUnit);
    // Progress comes with every packet: the bars are redrawn a few times a second.
    connect(runner_.get(), &fleet::FleetRunner::portUpdated, this, [this] { portsDirty_ = true; });
    connect(runner_.get(), &fleet::FleetRunner::prompt, this, &FleetDialog::onPrompt);
    connect(runner_.get(), &fleet::FleetRunner::finished, this, &FleetDialog::onFinished, Qt::QueuedConnection);

    table_->setRowCount(static_cast<int>(runner_->state().units.size()));
    for (int u = 0; u < table_->rowCount(); ++u) updateUnit(u);
    QString why;
    buildPortRows();
    running_ = true;
    start_->setEnabled(false);
    pause_->setEnabled(true);
    stop_->setEnabled(true);
    openReport_->setEnabled(false);
    if (!runner_->start(&why)) {
        running_ = false;
        QMessageBox::warning(this, QStringLiteral("Fleet Programming"), QStringLiteral("Nothing was written:\n") + why);
        start_->setEnabled(true);
        pause_->setEnabled(false);
        stop_->setEnabled(false);
        runner_.reset();
        stopSimulatedRadios();
        return;
    }
    updateOverall();
}

void FleetDialog::buildPortRows() {
    while (portRows_->rowCount() > 0) portRows_->removeRow(0);
    bars_.clear();
    next_.clear();
    for (int p = 0; p < static_cast<int>(runner_->setup().ports.size()); ++p) {
        const QString name = QStringLiteral("Port %1 %2").arg(p + 1).arg(runner_->setup().ports[p]);
        auto* row = new QWidget;
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        auto* bar = new QProgressBar;
        bar->setAccessibleName(name);
        bar->setFormat(QStringLiteral("idle"));
        bar->setValue(0);
        auto* next = new QPushButton(QStringLiteral("Next Radio Connected"));
        next->setAccessibleName(name + QStringLiteral(" Next Radio Connected"));
        next->setEnabled(false);
        connect(next, &QPushButton::clicked, this, [this, p, next] {
            next->setEnabled(false);
            runner_->scheduler()->release(p);
        });
        h->addWidget(bar, 1);
        h->addWidget(next);
        auto* label = new QLabel(name + QLatin1Char(':'));
        label->setBuddy(bar);
        portRows_->addRow(label, row);
        bars_.push_back(bar);
        next_.push_back(next);
    }
}

void FleetDialog::updateUnit(int unit) {
    if (!runner_ || unit >= table_->rowCount()) return;
    const fleet::UnitRecord& r = runner_->state().units[static_cast<std::size_t>(unit)];
    const QStringList cells{
        QString::fromStdString(r.name), QString::fromLatin1(fleet::unitStatusName(r.status)),
        QString::fromStdString(r.port),
        r.status == fleet::UnitStatus::Failed ? QString::fromLatin1(fleet::unitStepName(r.failedStep)) : QString(),
        QString::fromStdString(r.reason)};
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells[c]);
        if (c == 4) item->setToolTip(cells[c]);
        table_->setItem(unit, c, item);
    }
    updateOverall();
}

void FleetDialog::updatePort(int port) {
    if (!runner_ || port >= static_cast<int>(bars_.size())) return;
    const fleet::PortView& v = runner_->scheduler()->ports()[static_cast<std::size_t>(port)];
    QProgressBar* bar = bars_[static_cast<std::size_t>(port)];
    QString text = QString::fromLatin1(fleet::portPhaseName(v.phase));
    if (v.unit >= 0)
        text = QString::fromStdString(runner_->state().units[static_cast<std::size_t>(v.unit)].name) +
               QLatin1Char(' ') + text;
    bar->setRange(0, v.total > 0 ? v.total : 1);
    bar->setValue(v.total > 0 ? v.done : 0);
    bar->setFormat(v.total > 0 ? text + QStringLiteral(" %v/%m") : text);
    if (v.phase != fleet::PortPhase::Prompt) next_[static_cast<std::size_t>(port)]->setEnabled(false);
}

void FleetDialog::updateOverall() {
    if (!runner_ || !runner_->scheduler()) return;
    int done = 0, failed = 0;
    for (const fleet::UnitRecord& r : runner_->state().units) {
        done += r.status == fleet::UnitStatus::Done;
        failed += r.status == fleet::UnitStatus::Failed;
    }
    const int left = runner_->secondsLeft();
    QString text = QStringLiteral("%1 of %2 units done, %3 failed, %4 left")
                       .arg(done)
                       .arg(runner_->unitsPlanned())
                       .arg(failed)
                       .arg(runner_->scheduler()->unitsLeft());
    if (left > 0)
        text += QStringLiteral(", about %1 left")
                    .arg(left < 90 ? QStringLiteral("%1 s").arg(left) : QStringLiteral("%1 min").arg((left + 30) / 60));
    if (runner_->scheduler()->finished())
        text += QStringLiteral(". Report: %1").arg(QDir::toNativeSeparators(runner_->reportCsvPath()));
    overall_->setText(text);
}

void FleetDialog::onPrompt(int port, int unit) {
    updatePort(port);
    QPushButton* next = next_[static_cast<std::size_t>(port)];
    next->setEnabled(true);
    next->setToolTip(QStringLiteral("Connect the radio for unit %1, then press this button")
                         .arg(QString::fromStdString(runner_->state().units[static_cast<std::size_t>(unit)].name)));
}

void FleetDialog::pauseOrResume() {
    fleet::FleetScheduler* s = runner_ ? runner_->scheduler() : nullptr;
    if (!s) return;
    if (s->paused()) {
        s->resume();
        pause_->setText(QStringLiteral("&Pause"));
    } else {
        s->pause();
        pause_->setText(QStringLiteral("&Resume"));
    }
    pause_->setAccessibleName(withoutAmpersand(pause_->text()));
}

bool FleetDialog::confirmAbandon() {
    fleet::FleetScheduler* s = runner_ ? runner_->scheduler() : nullptr;
    if (!running_ || !s || !s->transferInProgress()) return true;
    const QString question =
        s->writeInProgress()
            ? QStringLiteral(
                  "A radio is being written. Abandoning the write leaves that radio unusable until its "
                  "backup is written back (the report gives the command).\n\nAbandon it?")
            : QStringLiteral("Radios are being read. Abandon the transfers in progress?");
    if (QMessageBox::question(this, QStringLiteral("Fleet Programming"), question, QMessageBox::Yes | QMessageBox::No,
                              QMessageBox::No) != QMessageBox::Yes)
        return false;
    s->abandon();
    return true;
}

// The first Stop lets the radios in progress finish; pressed again it
// offers to abandon them.
void FleetDialog::stop() {
    fleet::FleetScheduler* s = runner_ ? runner_->scheduler() : nullptr;
    if (!s) return;
    if (s->stopping()) {
        confirmAbandon();
        return;
    }
    s->stop();
}

void FleetDialog::reject() {
    if (running_) {
        if (!confirmAbandon()) return;
        if (runner_ && runner_->scheduler()) runner_->scheduler()->stop();
    }
    QDialog::reject();
}

void FleetDialog::onFinished() {
    running_ = false;
    start_->setEnabled(true);
    pause_->setEnabled(false);
    stop_->setEnabled(false);
    openReport_->setEnabled(true);
    for (int p = 0; p < static_cast<int>(bars_.size()); ++p) updatePort(p);
    for (QPushButton* b : next_) b->setEnabled(false);
    updateOverall();
    overall_->setText(overall_->text() +
                      QStringLiteral(". Report: %1").arg(QDir::toNativeSeparators(runner_->reportCsvPath())));
    stopSimulatedRadios();
}

}  // namespace ks340
