// The four most recently opened setting files, kept with QSettings.
#pragma once

#include <QStringList>

namespace ks340 {

inline constexpr int kRecentFileCount = 4;

// Organisation and application names under which the program keeps its
// own settings.
inline constexpr const char* kSettingsOrganisation = "KS340_390(v0.71) Local AppWizard-Generated Applications";
inline constexpr const char* kSettingsApplication = "KS340";

class RecentFileList {
public:
    // Loads the list from the program's settings.
    RecentFileList();

    const QStringList& files() const { return files_; }

    // Puts the file first (absolute path), drops an older entry of the same
    // file and anything beyond four entries, and stores the list.
    void add(const QString& path);
    // Drops the entry (a file that could not be opened any more).
    void remove(const QString& path);

    // The menu text of entry i: "&1 name" with the path shortened.
    static QString menuText(int index, const QString& path);

private:
    void store() const;

    QStringList files_;
};

}  // namespace ks340
