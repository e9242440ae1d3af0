#include "pages/signalling/ToneSequencePage.h"
#include "pages/signalling/PageWidgets.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPalette>
#include <QPointer>
#include <QScopedValueRollback>
#include <QTimer>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"
#include "model/Decimal.h"
#include "model/Defaults.h"
#include "model/Signalling.h"
#include "model/ToneLists.h"
#include "model/Windows1252.h"

namespace ks340 {

using namespace tonelists;

namespace {

using namespace pagewidgets;

QString qs(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

// A setting's label and unit from the settings table.
QString labelOf(const std::string& key) { return QString::fromStdString(settingLabel(key)); }
QString unitOf(const std::string& key) { return QString::fromStdString(settingUnit(key)); }

NumberEdit* numberField() {
    auto* edit = new NumberEdit;
    edit->setMaxLength(kToneFieldLength);
    edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 16);
    return edit;
}

QLabel* unitLabel(const QString& unit) {
    auto* label = new QLabel(unit);
    label->setContentsMargins(0, 0, 8, 0);
    return label;
}

// Read-only fields get the window's background so that locked and open
// fields can be told apart at a glance.
void setLocked(QLineEdit* field, bool locked) {
    field->setReadOnly(locked);
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, QApplication::palette(field).color(locked ? QPalette::Window : QPalette::Base));
    field->setPalette(palette);
}

ToneSequence& sequenceEntry(ToneSequenceSettings& t, int sequence) {
    return t.sequences[static_cast<std::size_t>(sequence)];
}

}  // namespace

ToneSequencePage::ToneSequencePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {
    buildLayout();
    connectHandlers();
    // The view writes the defaults through initialisePage(); until then the
    // page shows whatever the record holds.
    refreshFromSettings();
}

ToneSequenceEdit* ToneSequencePage::sequenceField(int sequence) const {
    return sequences_.at(static_cast<std::size_t>(sequence - 1));
}
NumberEdit* ToneSequencePage::leadInTimeField(int sequence) const {
    return leadIn_.at(static_cast<std::size_t>(sequence - 1));
}
NumberEdit* ToneSequencePage::firstToneTimeField(int sequence) const {
    return firstTone_.at(static_cast<std::size_t>(sequence - 1));
}
NumberEdit* ToneSequencePage::leadOutTimeField(int sequence) const {
    return leadOut_.at(static_cast<std::size_t>(sequence - 1));
}

void ToneSequencePage::buildLayout() {
    // Toneset: the list, then the tones in two columns (0-7, 8-E).
    auto* toneBox = new QGroupBox(tr("Toneset"));
    auto* toneGrid = new QGridLayout(toneBox);
    toneSet_ = new QComboBox;
    for (const ToneSet& set : ToneSetTable) toneSet_->addItem(qs(set.name), set.id);
    auto* toneSetLabel = new QLabel(labelOf("tone.toneset"));
    toneSetLabel->setBuddy(toneSet_);
    toneSet_->setAccessibleName(toneSetLabel->text());
    toneGrid->addWidget(toneSetLabel, 0, 0);
    toneGrid->addWidget(toneSet_, 0, 1, 1, 4);
    toneGrid->setRowMinimumHeight(1, 8);
    for (int i = 0; i < kToneCount; ++i) {
        NumberEdit* field = numberField();
        tones_[static_cast<std::size_t>(i)] = field;
        const std::string key = "tone.toneFrequency[" + std::string(1, toneDigit(i)) + "]";
        const QString text = labelOf(key);
        auto* label = new QLabel(text);
        label->setBuddy(field);
        field->setAccessibleName(text);
        const int row = 2 + i % 8;
        const int column = i < 8 ? 0 : 3;
        toneGrid->addWidget(label, row, column);
        toneGrid->addWidget(field, row, column + 1);
        toneGrid->addWidget(unitLabel(unitOf(key)), row, column + 2);
    }
    toneGrid->setColumnMinimumWidth(2, 30);
    toneGrid->setColumnStretch(6, 1);
    toneGrid->setRowStretch(10, 1);

    // Sequence: the tone length, then one row per sequence with its times.
    auto* sequenceBox = new QGroupBox(tr("Sequence"));
    auto* grid = new QGridLayout(sequenceBox);
    toneLength_ = numberField();
    auto* toneLengthLabel = new QLabel(labelOf("tone.toneLength"));
    toneLengthLabel->setBuddy(toneLength_);
    toneLength_->setAccessibleName(toneLengthLabel->text());
    grid->addWidget(toneLengthLabel, 0, 0);
    grid->addWidget(toneLength_, 0, 2);
    grid->addWidget(unitLabel(unitOf("tone.toneLength")), 0, 3);
    grid->setRowMinimumHeight(1, 8);
    const QString timeNames[3] = {tr("Lead In Time"), tr("1st Tone Time"), tr("Lead Out Time")};
    for (int c = 0; c < 3; ++c) grid->addWidget(new QLabel(timeNames[c]), 2, 2 + 2 * c, 1, 2);
    for (int n = 1; n <= kSequenceCount; ++n) {
        const auto k = static_cast<std::size_t>(n - 1);
        auto* sequence = new ToneSequenceEdit;
        sequence->setMaxLength(kSequenceLength);
        sequence->setFixedWidth(sequence->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWWW")) + 16);
        sequences_[k] = sequence;
        const std::string key = "tone.sequence[" + std::to_string(n) + "].";
        const QString name = labelOf(key + "sequence");
        auto* label = new QLabel(name);
        label->setBuddy(sequence);
        sequence->setAccessibleName(name);
        const int row = 2 + n;
        grid->addWidget(label, row, 0);
        grid->addWidget(sequence, row, 1);
        std::array<NumberEdit*, 3> times{numberField(), numberField(), numberField()};
        leadIn_[k] = times[0];
        firstTone_[k] = times[1];
        leadOut_[k] = times[2];
        const char* timeKeys[3] = {"leadInTime", "firstToneTime", "leadOutTime"};
        for (int c = 0; c < 3; ++c) {
            // The row's sequence and the column heading name the field.
            times[static_cast<std::size_t>(c)]->setAccessibleName(labelOf(key + timeKeys[c]));
            times[static_cast<std::size_t>(c)]->setAccessibleDescription(name);
            grid->addWidget(times[static_cast<std::size_t>(c)], row, 2 + 2 * c);
            grid->addWidget(unitLabel(unitOf(key + timeKeys[c])), row, 3 + 2 * c);
        }
    }
    grid->setColumnStretch(8, 1);
    grid->setRowStretch(2 + kSequenceCount + 1, 1);

    auto* columns = new QHBoxLayout;
    columns->addWidget(toneBox, 0);
    columns->addWidget(sequenceBox, 0);
    columns->addStretch(1);
    auto* outer = new QVBoxLayout(this);
    outer->addLayout(columns);
    outer->addStretch(1);

    // Keyboard order follows the reading order.
    std::vector<QWidget*> order{toneSet_};
    for (NumberEdit* tone : tones_) order.push_back(tone);
    order.push_back(toneLength_);
    for (std::size_t k = 0; k < sequences_.size(); ++k) {
        order.push_back(sequences_[k]);
        order.push_back(leadIn_[k]);
        order.push_back(firstTone_[k]);
        order.push_back(leadOut_[k]);
    }
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
}

void ToneSequencePage::onLeave(QLineEdit* field, std::function<void()> handler) {
    leaveHandlers_.insert(field, handler);
    field->installEventFilter(this);
    connect(field, &QLineEdit::returnPressed, this, [handler] { handler(); });
}

bool ToneSequencePage::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        const auto it = leaveHandlers_.constFind(watched);
        if (it != leaveHandlers_.constEnd()) (*it)();
    }
    return TabPage::eventFilter(watched, event);
}

void ToneSequencePage::edited(const QString& what) { emit settingsEdited(tr("Set %1").arg(what)); }

void ToneSequencePage::connectHandlers() {
    connect(toneSet_, &QComboBox::currentIndexChanged, this, [this](int position) {
        if (updating_ || quiet() || position < 0) return;
        toneSetChosen(position);
        edited(labelOf("tone.toneset"));
    });
    for (int i = 0; i < kToneCount; ++i) onLeave(tones_[static_cast<std::size_t>(i)], [this, i] { toneLeft(i); });
    onLeave(toneLength_, [this] { toneLengthLeft(); });
    for (int n = 1; n <= kSequenceCount; ++n) {
        const auto k = static_cast<std::size_t>(n - 1);
        const std::string key = "tone.sequence[" + std::to_string(n) + "].";
        connect(sequences_[k], &QLineEdit::textEdited, this,
                [this, n](const QString& text) { sequenceEdited(n, text); });
        onLeave(sequences_[k], [this, n] { sequenceLeft(n); });
        onLeave(leadIn_[k], [this, n, k, what = labelOf(key + "leadInTime")] {
            timeLeft(leadIn_[k], &ToneSequence::leadInTime, n, what);
        });
        onLeave(firstTone_[k], [this, n, k, what = labelOf(key + "firstToneTime")] {
            timeLeft(firstTone_[k], &ToneSequence::firstToneTime, n, what);
        });
        onLeave(leadOut_[k], [this, n, k, what = labelOf(key + "leadOutTime")] {
            timeLeft(leadOut_[k], &ToneSequence::leadOutTime, n, what);
        });
    }
}

// ---- Handlers ----

void ToneSequencePage::toneSetChosen(int position) {
    QScopedValueRollback<bool> guard(updating_, true);
    chooseToneSet(settings_, position);
    if (position == kUserToneSet) {
        // The fields keep what they show and become editable.
        setToneFieldsEditable(true);
        return;
    }
    setToneFieldsEditable(false);
    showTones();
    const int length = settings_.toneSequence.toneLength;
    toneLength_->setText(QString::number(length));
    for (int n = 1; n <= kSequenceCount; ++n)
        firstTone_[static_cast<std::size_t>(n - 1)]->setText(QString::number(length));
}

void ToneSequencePage::showTones() {
    for (int i = 0; i < kToneCount; ++i)
        tones_[static_cast<std::size_t>(i)]->setText(shown(shownToneText(settings_.toneSequence, i)));
}

void ToneSequencePage::setToneFieldsEditable(bool editable) {
    for (NumberEdit* tone : tones_) setLocked(tone, !editable);
}

void ToneSequencePage::setTimesEditable(int sequence) {
    const auto k = static_cast<std::size_t>(sequence - 1);
    const bool locked = sequences_[k]->text().isEmpty();
    setLocked(leadIn_[k], locked);
    setLocked(firstTone_[k], locked);
    setLocked(leadOut_[k], locked);
}

void ToneSequencePage::toneLeft(int tone) {
    NumberEdit* field = tones_[static_cast<std::size_t>(tone)];
    if (updating_ || quiet()) return;
    const int value = checkToneFrequency(leadingDecimal(field->text().toStdString()));
    field->setText(QString::number(value));
    int& frequency = settings_.toneSequence.toneFrequency[static_cast<std::size_t>(tone)];
    if (frequency != value) {
        frequency = value;
        edited(qs(toneLabel(tone)));
    }
}

void ToneSequencePage::toneLengthLeft() {
    if (updating_ || quiet()) return;
    const int value = snapToFiveMs(toneLength_->text().toStdString());
    toneLength_->setText(QString::number(value));
    // The decoder listens with the same tone length.
    if (settings_.toneSequence.toneLength != value || settings_.selcallDecode.decoderToneLength != value) {
        setToneLength(settings_, value);
        edited(labelOf("tone.toneLength"));
    }
}

void ToneSequencePage::timeLeft(QLineEdit* field, int ToneSequence::*member, int sequence, const QString& label) {
    if (updating_ || quiet()) return;
    const int value = snapToFiveMs(field->text().toStdString());
    field->setText(QString::number(value));
    int& storedValue = sequenceEntry(settings_.toneSequence, sequence).*member;
    if (storedValue != value) {
        storedValue = value;
        edited(label);
    }
}

void ToneSequencePage::sequenceEdited(int sequence, const QString& text) {
    if (updating_ || quiet()) return;
    ToneSequence& entry = sequenceEntry(settings_.toneSequence, sequence);
    entry.sequence = stored(text);
    setTimesEditable(sequence);
    if (sequence == 5 && !text.isEmpty()) {
        // Sequence 5 always starts with the long lead-in; it is stored at
        // once so that what the page shows is what is saved and sent.
        leadIn_[4]->setText(QString::number(kSequence5LeadInTime));
        entry.leadInTime = kSequence5LeadInTime;
    }
    edited(qs(sequenceLabel(sequence)));
}

void ToneSequencePage::sequenceLeft(int sequence) {
    ToneSequenceEdit* field = sequences_[static_cast<std::size_t>(sequence - 1)];
    if (updating_ || quiet() || sequenceWithinLimits(stored(field->text()))) return;
    {
        QScopedValueRollback<bool> guard(updating_, true);
        field->clear();
    }
    sequenceEntry(settings_.toneSequence, sequence).sequence.clear();
    setTimesEditable(sequence);
    edited(qs(sequenceLabel(sequence)));
    // Shown once the focus change that got us here has finished.
    QPointer<ToneSequenceEdit> target(field);
    QTimer::singleShot(0, this, [this, target] {
        QMessageBox::information(this, tr("Info"), tr("Check Your Input Data!"), QMessageBox::Ok);
        if (target) target->setFocus(Qt::OtherFocusReason);
    });
}

// ---- Whole page ----

void ToneSequencePage::initialisePage() {
    resetToneSequenceSettings(settings_.toneSequence);
    refreshFromSettings();
}

void ToneSequencePage::refreshFromSettings() {
    QScopedValueRollback<bool> guard(updating_, true);
    const ToneSequenceSettings& t = settings_.toneSequence;
    toneSet_->setCurrentIndex(toneSet_->findData(t.toneset));
    // Only the "User" set's tones are typed; a built-in or unknown set's are shown locked.
    setToneFieldsEditable(t.toneset == kUserToneSet);
    showTones();
    for (int n = 1; n <= kSequenceCount; ++n) {
        const auto k = static_cast<std::size_t>(n - 1);
        const ToneSequence& entry = t.sequences[static_cast<std::size_t>(n)];
        sequences_[k]->setText(shown(entry.sequence));
        setTimesEditable(n);
        leadIn_[k]->setText(QString::number(entry.leadInTime));
        firstTone_[k]->setText(QString::number(entry.firstToneTime));
        leadOut_[k]->setText(QString::number(entry.leadOutTime));
    }
    toneLength_->setText(QString::number(t.toneLength));
}

void ToneSequencePage::collectIntoSettings() {
    ToneSequenceSettings& t = settings_.toneSequence;
    if (t.toneset == kUserToneSet)
        for (int i = 0; i < kToneCount; ++i)
            t.userTone[static_cast<std::size_t>(i)] = stored(tones_[static_cast<std::size_t>(i)]->text());
    collectToneSequence(t);
    // The longest lead-in is derived alongside; it is not saved, so working
    // it out before a save as well changes nothing there.
    collectLongestLeadIn();
}

void ToneSequencePage::collectLongestLeadIn() {
    // The lead-in times as the fields show them, sequences with or without text.
    ToneSequenceSettings shownTimes = settings_.toneSequence;
    for (int n = 1; n <= kSequenceCount; ++n)
        sequenceEntry(shownTimes, n).leadInTime =
            leadingDecimal(leadIn_[static_cast<std::size_t>(n - 1)]->text().toStdString());
    settings_.toneSequence.longestLeadInTime = longestLeadIn(shownTimes);
}

}  // namespace ks340
