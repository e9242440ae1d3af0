// A short note above the pages after a change that cleared or hid channels
// or replaced the configuration (a new model or band, a smaller group, a
// file opened or a radio read over unsaved edits), with an Undo button. It
// is not modal and goes away with the next edit, an undo or its close button.
#pragma once

#include <QFrame>

class QLabel;
class QPushButton;
class QToolButton;

namespace ks340 {

struct RadioSettings;
class UndoController;

class ChangeNotice : public QFrame {
    Q_OBJECT
public:
    ChangeNotice(UndoController* undo, const RadioSettings& settings, QWidget* parent = nullptr);

    QString text() const;
    QPushButton* undoButton() const { return undoButton_; }

    // The note for a recorded step, from what the configuration held before
    // and holds now; empty when the step needs none.
    static QString noteFor(const QString& step, int channelsBefore, int channelsNow, int unsavedBefore);
    // Programmed channels the radio gets: the all-channel list, or in group
    // display the channels inside the groups' capabilities.
    static int visibleChannels(const RadioSettings& settings);

private:
    void onStep(const QString& step);
    void remember();

    UndoController* undo_;
    const RadioSettings& settings_;
    QLabel* label_ = nullptr;
    QPushButton* undoButton_ = nullptr;
    QToolButton* closeButton_ = nullptr;
    int channelsBefore_ = 0;
    int unsavedBefore_ = 0;
};

}  // namespace ks340
