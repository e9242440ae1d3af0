// The About box: version, Qt version, licence, and "Copy diagnostics", which
// puts the facts a support request needs on the clipboard.
#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <QStringList>

#include "link/serial/PortInfo.h"

class QLabel;
class QPushButton;

namespace ks340 {

// The facts "Copy diagnostics" reports.
struct DiagnosticsFacts {
    QString programVersion;
    QString qtRuntimeVersion;
    QString qtBuildVersion;
    QString operatingSystem;  // pretty name, kernel, architecture
    QString userName;
    QStringList sessionGroups;
    QList<PortDetails> ports;
};

DiagnosticsFacts collectDiagnostics();
QString diagnosticsText(const DiagnosticsFacts& facts);

// SPDX identifier of the licence, e.g. "MIT".
QString programLicence();

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QPushButton* copyButton() const { return copyButton_; }
    QLabel* statusLabel() const { return status_; }

    // Puts diagnosticsText(collectDiagnostics()) on the clipboard.
    void copyDiagnostics();

private:
    QPushButton* copyButton_ = nullptr;
    QLabel* status_ = nullptr;
};

}  // namespace ks340
