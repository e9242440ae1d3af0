// Help Topics: the help file "KS340_390.chm" in the working directory when
// there is one, else the user guide installed with the program.
#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>

#include <functional>

namespace ks340 {

inline constexpr const char* kHelpChmName = "KS340_390.chm";
inline constexpr const char* kGuideIndexName = "index.html";

// Where help is looked for, in this order: the help file in
// `workingDirectory`, then the guide folders (each holding index.html).
struct HelpPlaces {
    QString workingDirectory;
    QStringList guideDirectories;
};

// The working directory, and the guide next to the program (relative to its
// executable), under the configured install prefix, and in the build tree.
HelpPlaces defaultHelpPlaces();

// The file Help Topics opens: the help file, else the first guide index
// found; empty when there is neither.
QString findHelpFile(const HelpPlaces& places);
// The first guide index found, ignoring any help file; empty when none.
QString findUserGuide(const HelpPlaces& places);

using UrlOpener = std::function<bool(const QUrl&)>;

// Opens what findHelpFile finds with `open` (the desktop's default handler
// when not given). False when nothing was found or it could not be opened.
bool openHelpTopics(const HelpPlaces& places = defaultHelpPlaces(), const UrlOpener& open = {});

// The program's version, e.g. "1.0.0".
QString programVersion();

}  // namespace ks340
