#include "app/UserGuide.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#ifndef KS340_VERSION
#define KS340_VERSION "unknown"
#endif

namespace ks340 {

HelpPlaces defaultHelpPlaces() {
    HelpPlaces places;
    places.workingDirectory = QDir::currentPath();
#ifdef KS340_GUIDE_FROM_BIN
    const QString exeDir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
    if (!exeDir.isEmpty())
        places.guideDirectories << QDir::cleanPath(exeDir + QLatin1Char('/') + QStringLiteral(KS340_GUIDE_FROM_BIN));
#endif
#ifdef KS340_GUIDE_INSTALL_DIR
    places.guideDirectories << QStringLiteral(KS340_GUIDE_INSTALL_DIR);
#endif
#ifdef KS340_GUIDE_BUILD_DIR
    places.guideDirectories << QStringLiteral(KS340_GUIDE_BUILD_DIR);
#endif
    return places;
}

QString findUserGuide(const HelpPlaces& places) {
    for (const QString& dir : places.guideDirectories) {
        if (dir.isEmpty()) continue;
        const QFileInfo index(QDir(dir).filePath(QString::fromLatin1(kGuideIndexName)));
        if (index.isFile() && index.isReadable()) return index.absoluteFilePath();
    }
    return {};
}

QString findHelpFile(const HelpPlaces& places) {
    if (!places.workingDirectory.isEmpty()) {
        const QFileInfo chm(QDir(places.workingDirectory).filePath(QString::fromLatin1(kHelpChmName)));
        if (chm.exists()) return chm.absoluteFilePath();
    }
    return findUserGuide(places);
}

bool openHelpTopics(const HelpPlaces& places, const UrlOpener& open) {
    const QString file = findHelpFile(places);
    if (file.isEmpty()) return false;
    const QUrl url = QUrl::fromLocalFile(file);
    return open ? open(url) : QDesktopServices::openUrl(url);
}

QString programVersion() { return QStringLiteral(KS340_VERSION); }

}  // namespace ks340
