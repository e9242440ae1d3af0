// Tone Sequence tab: the 5-tone set with its fifteen tone frequencies, the
// tone length and the eight tone sequences with their lead-in, first-tone
// and lead-out times.
#pragma once

#include <array>
#include <functional>

#include <QHash>

#include "controls/TabPage.h"

class QComboBox;
class QLineEdit;

namespace ks340 {

class NumberEdit;
class ToneSequenceEdit;

class ToneSequencePage : public TabPage {
    Q_OBJECT
public:
    ToneSequencePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent = nullptr);

    // Writes the tone sequence defaults into the record and shows them.
    void initialisePage() override;
    // Shows the record: the chosen set's table tones (or the typed texts of
    // the "User" set), the sequences and all times.
    void refreshFromSettings() override;
    // Before saving and before a radio transfer: takes the tone fields as
    // shown into the record and derives the tone cycle values, then runs
    // collectLongestLeadIn().
    void collectIntoSettings() override;
    // The largest lead-in time the page shows, into longestLeadInTime.
    void collectLongestLeadIn();

    // Controls, for the view and the tests. tone is 0..14, sequence 1..8.
    QComboBox* toneSetList() const { return toneSet_; }
    NumberEdit* toneField(int tone) const { return tones_.at(static_cast<std::size_t>(tone)); }
    NumberEdit* toneLengthField() const { return toneLength_; }
    ToneSequenceEdit* sequenceField(int sequence) const;
    NumberEdit* leadInTimeField(int sequence) const;
    NumberEdit* firstToneTimeField(int sequence) const;
    NumberEdit* leadOutTimeField(int sequence) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    void connectHandlers();
    // Runs handler when the field loses focus or Return is pressed in it.
    void onLeave(QLineEdit* field, std::function<void()> handler);

    void toneSetChosen(int position);
    void showTones();  // the tones as the chosen set shows them
    void setToneFieldsEditable(bool editable);
    void setTimesEditable(int sequence);
    void toneLeft(int tone);
    void toneLengthLeft();
    void timeLeft(QLineEdit* field, int ToneSequence::*member, int sequence, const QString& label);
    void sequenceEdited(int sequence, const QString& text);
    void sequenceLeft(int sequence);
    void edited(const QString& what);

    QComboBox* toneSet_ = nullptr;
    std::array<NumberEdit*, kToneCount> tones_{};
    NumberEdit* toneLength_ = nullptr;
    // Index 0..7 for sequences 1..8.
    std::array<ToneSequenceEdit*, 8> sequences_{};
    std::array<NumberEdit*, 8> leadIn_{};
    std::array<NumberEdit*, 8> firstTone_{};
    std::array<NumberEdit*, 8> leadOut_{};

    QHash<QObject*, std::function<void()>> leaveHandlers_;
    // Set while the page itself changes its controls.
    bool updating_ = false;
};

}  // namespace ks340
