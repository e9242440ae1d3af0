// Undo and redo of every change of the configuration, for the whole window.
//
// Each page reports a committed change through TabPage::settingsEdited; the
// controller then takes a snapshot of the configuration. Undo and redo load
// the snapshot the way a setting file is loaded and let the window show it
// again through the refresh function it was given. Keystrokes in one text
// field within a short time become one step.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "model/UndoHistory.h"

class QAction;
class QWidget;

namespace ks340 {

class ChannelGridEditing;
class MainView;
class TabPage;

class UndoController : public QObject {
    Q_OBJECT
public:
    // What was restored, for the window to show it.
    struct Restore {
        QString text;          // the step undone or redone
        bool undo = true;      // false for redo
        int page = -1;         // page index the step was made on, -1 if none
        int currentGroup = 0;  // the channel group shown when the step was made
    };
    using RefreshFunction = std::function<void(const Restore&)>;

    explicit UndoController(RadioSettings& settings, QObject* parent = nullptr);
    ~UndoController() override;

    UndoHistory& history() { return history_; }
    const UndoHistory& history() const { return history_; }

    // Shows the restored configuration: header and every page, as after a
    // file load (fileLoadActive set while the pages refresh).
    void setRefresh(RefreshFunction refresh) { refresh_ = std::move(refresh); }

    // Records every change the page reports; pageIndex is handed back in
    // Restore::page.
    void watchPage(TabPage* page, int pageIndex);

    // Hooks the controller to the main view: every page, the header fields
    // (model, band, speaker, display logo), a successful Open ("Load
    // name.ks3", then saved), the programming dialog ("Read from radio"
    // after a read; the values derived for a write are absorbed), a refresh
    // function that shows a restored configuration as a loaded file is shown
    // (header, every page, the step's page and channel group), and the
    // several-row editing of the channel grid. Starts the history.
    void attachTo(MainView* view);
    // The channel grid's editing made by attachTo (null before).
    ChannelGridEditing* gridEditing() const { return gridEditing_; }

    // "Undo" / "Redo" with the step's text ("Undo Set Beep"), Ctrl+Z and
    // Ctrl+Y / Ctrl+Shift+Z; disabled when there is nothing to do. Add them
    // to a menu or a widget of the window to make the keys work.
    QAction* undoAction() const { return undoAction_; }
    QAction* redoAction() const { return redoAction_; }

    int unsavedChanges() const { return history_.unsavedChanges(); }
    // "Do you want to exit program?", with a line naming the unsaved
    // changes when there are any.
    static QString exitQuestion(int unsavedChanges);
    QString exitQuestion() const { return exitQuestion(unsavedChanges()); }

    // A page's description as a step text: "Set " is put before a bare
    // field name ("DTMF 1" -> "Set DTMF 1").
    static QString stepText(const QString& description);

    bool restoring() const { return restoring_; }

public slots:
    // Forgets every step; the configuration as it is counts as saved.
    void start();
    // A committed change of one field (merged with the keystrokes just
    // before it in the same text field).
    void recordEdit(const QString& description);
    void recordEditOnPage(const QString& description, int pageIndex);
    // A change that is never merged: "New", "Load file.ks3", "Read from
    // radio", a change of model or band.
    void recordStep(const QString& description);
    // Values the program derived itself (before saving or programming).
    void absorb();
    // The configuration was saved to (or loaded from) a file.
    void markSaved();
    bool undo();
    bool redo();

signals:
    // Steps were added, undone, redone or the saved state moved.
    void historyChanged();
    // A change was recorded (a new step, or keystrokes merged into the last
    // one); emitted before historyChanged.
    void stepRecorded(const QString& text);
    void restored(const QString& text, bool undo);

private:
    void record(const QString& description, int pageIndex, bool mergeable);
    bool restore(bool undo);
    void updateActions();

    RadioSettings& settings_;
    UndoHistory history_;
    RefreshFunction refresh_;
    QAction* undoAction_ = nullptr;
    QAction* redoAction_ = nullptr;
    ChannelGridEditing* gridEditing_ = nullptr;
    bool restoring_ = false;
};

}  // namespace ks340
