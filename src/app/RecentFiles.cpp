#include "app/RecentFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace ks340 {

namespace {

QSettings programSettings() {
    return QSettings(QString::fromLatin1(kSettingsOrganisation), QString::fromLatin1(kSettingsApplication));
}

QString keyOf(int i) { return QStringLiteral("Recent File List/File%1").arg(i + 1); }

QString normalised(const QString& path) { return QDir::cleanPath(QFileInfo(path).absoluteFilePath()); }

}  // namespace

RecentFileList::RecentFileList() {
    QSettings settings = programSettings();
    for (int i = 0; i < kRecentFileCount; ++i) {
        const QString file = settings.value(keyOf(i)).toString();
        if (!file.isEmpty() && !files_.contains(file)) files_.append(file);
    }
}

void RecentFileList::add(const QString& path) {
    const QString file = normalised(path);
    files_.removeAll(file);
    files_.prepend(file);
    while (files_.size() > kRecentFileCount) files_.removeLast();
    store();
}

void RecentFileList::remove(const QString& path) {
    if (files_.removeAll(normalised(path)) > 0 || files_.removeAll(path) > 0) store();
}

QString RecentFileList::menuText(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    const QString home = QDir::toNativeSeparators(QDir::homePath());
    if (!home.isEmpty() && shown.startsWith(home + QDir::separator()))
        shown = QStringLiteral("~") + shown.mid(home.size());
    if (shown.size() > 60) shown = QStringLiteral("...") + shown.right(57);
    shown.replace('&', QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

void RecentFileList::store() const {
    QSettings settings = programSettings();
    for (int i = 0; i < kRecentFileCount; ++i) {
        if (i < files_.size())
            settings.setValue(keyOf(i), files_[i]);
        else
            settings.remove(keyOf(i));
    }
}

}  // namespace ks340
