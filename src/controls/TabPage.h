// Common base of the seven tab pages hosted by the main window's tab control.
#pragma once

#include <QWidget>

#include "model/RadioSettings.h"

namespace ks340 {

// Values the main window holds beside the configuration and hands to the
// pages and the programming dialog by reference. While fileLoadActive or
// radioReadDone is set the pages ignore the change notifications that their
// own refresh causes.
struct ViewFlags {
    bool fileLoadActive = false;
    bool radioReadDone = false;
    // 0 none, 1 read from the radio, 2 write to it: set by the toolbar
    // commands, consumed and reset to 0 by the programming dialog.
    int requestedAction = 0;
    // The programming dialog's memory-map switch; off when the view starts.
    int memoryMapEnabled = 0;
};

class TabPage : public QWidget {
    Q_OBJECT
public:
    TabPage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr)
        : QWidget(parent), settings_(settings), flags_(flags) {}

    // Writes the page's defaults into its sub-record and shows them
    // (start-up, New, a change of model or band).
    virtual void initialisePage() { refreshFromSettings(); }
    // Shows the values held in the record.
    virtual void refreshFromSettings() = 0;
    // Derives the values only the memory image needs (tone page, decode page).
    virtual void collectIntoSettings() {}
    // The page became the current tab.
    virtual void pageSelected() {}

signals:
    // The user changed something in the record through this page.
    void settingsEdited(const QString& what);

protected:
    bool quiet() const { return flags_.fileLoadActive || flags_.radioReadDone; }

    RadioSettings& settings_;
    ViewFlags& flags_;
};

}  // namespace ks340
