#include "app/AboutDialog.h"

#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>
#include <QtGlobal>

#include "app/MainWindow.h"
#include "app/UserGuide.h"

#ifndef KS340_LICENSE
#define KS340_LICENSE "MIT"
#endif
#ifndef KS340_APP_ID
#define KS340_APP_ID "org.ks340.programmer"
#endif

namespace ks340 {

QString programLicence() { return QStringLiteral(KS340_LICENSE); }

DiagnosticsFacts collectDiagnostics() {
    DiagnosticsFacts f;
    f.programVersion = programVersion();
    f.qtRuntimeVersion = QString::fromLatin1(qVersion());
    f.qtBuildVersion = QStringLiteral(QT_VERSION_STR);
    f.operatingSystem = QStringLiteral("%1, %2 %3, %4")
                            .arg(QSysInfo::prettyProductName(), QSysInfo::kernelType(), QSysInfo::kernelVersion(),
                                 QSysInfo::currentCpuArchitecture());
    f.userName = currentUserName();
    f.sessionGroups = currentUserGroups();
    f.ports = listPortDetails();
    return f;
}

QString diagnosticsText(const DiagnosticsFacts& f) {
    QStringList lines;
    lines << QStringLiteral("KS340 Programmer %1").arg(f.programVersion);
    lines << QStringLiteral("Qt %1 (built with %2)").arg(f.qtRuntimeVersion, f.qtBuildVersion);
    lines << QStringLiteral("OS: %1").arg(f.operatingSystem);
    lines << QStringLiteral("User: %1").arg(f.userName);
    lines << QStringLiteral("Groups: %1")
                 .arg(f.sessionGroups.isEmpty() ? QStringLiteral("(none)") : f.sessionGroups.join(QLatin1Char(' ')));
    if (f.ports.isEmpty()) {
        lines << QStringLiteral("Serial ports: none found");
    } else {
        lines << QStringLiteral("Serial ports:");
        for (const PortDetails& port : f.ports) lines << QStringLiteral("  ") + portDiagnosticsLine(port);
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About KS340"));

    auto* icon = new QLabel(this);
    const QIcon appIcon = QIcon::fromTheme(QStringLiteral(KS340_APP_ID), windowIcon());
    if (!appIcon.isNull()) icon->setPixmap(appIcon.pixmap(64, 64));
    icon->setAccessibleName(QStringLiteral("Program icon"));

    auto* title = new QLabel(QStringLiteral("<b>%1</b>").arg(QString::fromLatin1(kApplicationTitle)), this);
    auto* version = new QLabel(QStringLiteral("Version %1").arg(programVersion()), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* qt = new QLabel(QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())), this);
    qt->setObjectName(QStringLiteral("qtVersionLabel"));
    auto* licence = new QLabel(QStringLiteral("Licence: %1").arg(programLicence()), this);
    licence->setObjectName(QStringLiteral("licenceLabel"));
    auto* what = new QLabel(QStringLiteral("Reads, edits and writes the settings of the "
                                           "KS-340 and KS-390 Series radios."),
                            this);
    what->setWordWrap(true);
    for (QLabel* label : {title, version, qt, licence, what}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAccessibleName(label->text().remove(QStringLiteral("<b>")).remove(QStringLiteral("</b>")));
    }
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("statusLabel"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    copyButton_ = buttons->addButton(QStringLiteral("Copy diagnostics"), QDialogButtonBox::ActionRole);
    copyButton_->setAccessibleName(QStringLiteral("Copy diagnostics"));
    copyButton_->setToolTip(
        QStringLiteral("Copies the program and Qt versions, the system, the serial ports with their owners "
                       "and modes, and your groups, for a support request."));
    connect(copyButton_, &QPushButton::clicked, this, &AboutDialog::copyDiagnostics);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* texts = new QVBoxLayout;
    for (QLabel* label : {title, version, qt, licence, what}) texts->addWidget(label);
    auto* top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addLayout(texts, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    buttons->button(QDialogButtonBox::Close)->setDefault(true);
}

void AboutDialog::copyDiagnostics() {
    QGuiApplication::clipboard()->setText(diagnosticsText(collectDiagnostics()));
    status_->setText(QStringLiteral("The diagnostics are on the clipboard."));
}

}  // namespace ks340
