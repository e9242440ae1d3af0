// Help's choice of file, and the About box with its diagnostics.
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

#include "app/AboutDialog.h"
#include "app/UserGuide.h"
#include "link/serial/PortInfo.h"
#include "qt/port_support.h"

using namespace ks340;
using porttest::deniedPort;
using porttest::touch;

class TestHelpAbout : public QObject {
    Q_OBJECT

private slots:
    // --- Help Topics ---------------------------------------------------------
    void helpPrefersTheChmThenTheFirstGuideFound() {
        QTemporaryDir work, first, second;
        QVERIFY(work.isValid() && first.isValid() && second.isValid());
        touch(second.filePath("index.html"));

        HelpPlaces places;
        places.workingDirectory = work.path();
        places.guideDirectories = {first.path(), QString(), second.path()};
        // No help file, no guide in the first folder: the second folder's guide.
        QCOMPARE(findHelpFile(places), QFileInfo(second.filePath("index.html")).absoluteFilePath());

        touch(first.filePath("index.html"));
        QCOMPARE(findHelpFile(places), QFileInfo(first.filePath("index.html")).absoluteFilePath());

        touch(work.filePath("KS340_390.chm"));
        QCOMPARE(findHelpFile(places), QFileInfo(work.filePath("KS340_390.chm")).absoluteFilePath());
        QCOMPARE(findUserGuide(places), QFileInfo(first.filePath("index.html")).absoluteFilePath());

        QList<QUrl> opened;
        QVERIFY(openHelpTopics(places, [&](const QUrl& url) {
            opened << url;
            return true;
        }));
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(work.filePath("KS340_390.chm"))});

        // Nothing anywhere: nothing is opened.
        HelpPlaces none;
        none.workingDirectory = QTemporaryDir().path();
        opened.clear();
        QVERIFY(!openHelpTopics(none, [&](const QUrl& url) {
            opened << url;
            return true;
        }));
        QVERIFY(opened.isEmpty());
        // A guide folder without index.html does not count.
        none.guideDirectories = {work.path()};
        QVERIFY(findUserGuide(none).isEmpty());
    }

    // The places the program looks in by default: next to the executable
    // first, and this build's own guide, which the build made.
    void defaultHelpPlacesFindTheBuiltGuide() {
        const HelpPlaces places = defaultHelpPlaces();
        QCOMPARE(places.workingDirectory, QDir::currentPath());
        QVERIFY(places.guideDirectories.size() >= 3);
        QVERIFY2(QDir::cleanPath(places.guideDirectories.first())
                     .startsWith(QDir::cleanPath(QCoreApplication::applicationDirPath() + "/..")),
                 qPrintable(places.guideDirectories.first()));
        QVERIFY(places.guideDirectories.first().endsWith("share/doc/ks340/guide"));
        const QString builtGuide = QStringLiteral(KS340_BINARY_DIR "/docs/guide");
        QCOMPARE(QDir::cleanPath(places.guideDirectories.last()), QDir::cleanPath(builtGuide));
        QVERIFY2(QFileInfo::exists(builtGuide + "/index.html"), "the user guide was not built");
        QVERIFY(findUserGuide(places).endsWith("/index.html"));
    }

    // --- About box -----------------------------------------------------------
    void aboutShowsVersionsAndLicence() {
        QVERIFY2(QRegularExpression("^\\d+\\.\\d+\\.\\d+$").match(programVersion()).hasMatch(),
                 qPrintable(programVersion()));
        AboutDialog about;
        auto* version = about.findChild<QLabel*>("versionLabel");
        auto* qt = about.findChild<QLabel*>("qtVersionLabel");
        auto* licence = about.findChild<QLabel*>("licenceLabel");
        QVERIFY(version && qt && licence);
        QCOMPARE(version->text(), QStringLiteral("Version %1").arg(programVersion()));
        QCOMPARE(qt->text(), QStringLiteral("Qt %1").arg(QString::fromLatin1(qVersion())));
        QVERIFY(!programLicence().isEmpty());
        QCOMPARE(licence->text(), QStringLiteral("Licence: %1").arg(programLicence()));
        for (QLabel* label : {version, qt, licence}) QCOMPARE(label->accessibleName(), label->text());
        QCOMPARE(about.copyButton()->text(), QStringLiteral("Copy diagnostics"));
        QCOMPARE(about.copyButton()->accessibleName(), QStringLiteral("Copy diagnostics"));
        QVERIFY(about.copyButton()->focusPolicy() & Qt::TabFocus);
    }

    void copyDiagnosticsPutsTheFactsOnTheClipboard() {
        QApplication::clipboard()->setText(QStringLiteral("before"));
        AboutDialog about;
        QTest::mouseClick(about.copyButton(), Qt::LeftButton);
        const QString text = QApplication::clipboard()->text();
        const QStringList lines = text.split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("KS340 Programmer %1").arg(programVersion()));
        QVERIFY2(lines.value(1).startsWith(QStringLiteral("Qt %1 (built with ").arg(qVersion())), qPrintable(text));
        QVERIFY2(lines.value(2).startsWith("OS: ") && lines.value(2).contains(QSysInfo::kernelVersion()),
                 qPrintable(text));
        QCOMPARE(lines.value(3), QStringLiteral("User: %1").arg(currentUserName()));
        QCOMPARE(lines.value(4), QStringLiteral("Groups: %1").arg(currentUserGroups().join(' ')));
        QVERIFY2(lines.value(5).startsWith("Serial ports"), qPrintable(text));
        QVERIFY(!about.statusLabel()->text().isEmpty());
    }

    void diagnosticsListEveryPortWithOwnerAndMode() {
        DiagnosticsFacts facts;
        facts.programVersion = QStringLiteral("9.8.7");
        facts.qtRuntimeVersion = QStringLiteral("6.4.2");
        facts.qtBuildVersion = QStringLiteral("6.4.1");
        facts.operatingSystem = QStringLiteral("Debian GNU/Linux 12, linux 6.1.0, x86_64");
        facts.userName = QStringLiteral("alice");
        facts.sessionGroups = {QStringLiteral("alice"), QStringLiteral("plugdev")};
        PortDetails usb = deniedPort("dialout", S_IFCHR | 0660);
        usb.description = QStringLiteral("CP2102 USB to UART");
        usb.hasUsbIds = true;
        usb.vendorId = 0x10c4;
        usb.productId = 0xea60;
        usb.byIdPath = QStringLiteral("/dev/serial/by-id/usb-Silicon_Labs_CP2102-if00-port0");
        PortDetails builtIn;
        builtIn.path = QStringLiteral("/dev/ttyS0");
        builtIn.exists = true;
        builtIn.accessible = true;
        builtIn.owner = QStringLiteral("root");
        builtIn.group = QStringLiteral("dialout");
        builtIn.mode = S_IFCHR | 0660;
        facts.ports = {usb, builtIn};

        const QStringList lines = diagnosticsText(facts).split('\n');
        QCOMPARE(lines.value(0), QStringLiteral("KS340 Programmer 9.8.7"));
        QCOMPARE(lines.value(1), QStringLiteral("Qt 6.4.2 (built with 6.4.1)"));
        QCOMPARE(lines.value(4), QStringLiteral("Groups: alice plugdev"));
        QCOMPARE(lines.value(5), QStringLiteral("Serial ports:"));
        QCOMPARE(lines.value(6), QStringLiteral("  /dev/ttyUSB0, by-id usb-Silicon_Labs_CP2102-if00-port0, "
                                                "\"CP2102 USB to UART\", usb 10c4:ea60, crw-rw---- root:dialout, "
                                                "no access"));
        QCOMPARE(lines.value(7), QStringLiteral("  /dev/ttyS0, crw-rw---- root:dialout, can open"));

        facts.ports.clear();
        facts.sessionGroups.clear();
        const QString empty = diagnosticsText(facts);
        QVERIFY(empty.contains("Serial ports: none found"));
        QVERIFY(empty.contains("Groups: (none)"));
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_app_help_about.moc"
