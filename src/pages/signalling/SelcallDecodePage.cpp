#include "pages/signalling/SelcallDecodePage.h"
#include "pages/signalling/PageWidgets.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"
#include "model/Decimal.h"
#include "model/Defaults.h"
#include "model/Signalling.h"
#include "model/SignallingLists.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

using namespace pagewidgets;

NumberEdit* numberField(int maxLength) {
    auto* edit = new NumberEdit;
    edit->setMaxLength(maxLength);
    edit->setMaximumWidth(edit->fontMetrics().averageCharWidth() * 8 + 16);
    return edit;
}

}  // namespace

SelcallDecodePage::SelcallDecodePage(RadioSettings& settings, ViewFlags& flags, QWidget* parent)
    : TabPage(settings, flags, parent) {
    // Three rows of three boxes: the calls, controls 1-3, then control 4,
    // the group call and the decoder setup.
    auto* boxes = new QGridLayout;
    const signalling::ItemList& names = signalling::decodeEntryNames();
    std::vector<QWidget*> order;
    for (int i = 0; i < kDecodeEntries; ++i) {
        const auto n = static_cast<std::size_t>(i);
        auto* box = new QGroupBox(QString::fromStdString(names[n]));
        auto* grid = new QGridLayout(box);
        EntryControls& c = entries_[n];
        c.address = new SelcallAddressEdit;
        c.address->setMaxLength(signalling::kDecodeAddressLength);
        c.action = new QComboBox;
        fillList(c.action, signalling::decodeActionItems());
        c.ack = new QComboBox;
        fillList(c.ack, signalling::decodeAckItems());
        c.text = new PrintableTextEdit;
        c.text->setMaxLength(signalling::kDecodeTextLength);
        const std::string key = "decode.entry[" + std::to_string(i + 1) + "].";
        addSetting(grid, 0, 0, key + "address", c.address);
        addSetting(grid, 1, 0, key + "action", c.action);
        addSetting(grid, 2, 0, key + "ack", c.ack);
        addSetting(grid, 3, 0, key + "text", c.text);
        for (QWidget* field :
             {static_cast<QWidget*>(c.action), static_cast<QWidget*>(c.ack), static_cast<QWidget*>(c.text)})
            field->setAccessibleName(box->title() + QLatin1Char(' ') + field->accessibleName());
        grid->setColumnStretch(1, 1);
        boxes->addWidget(box, i / 3, i % 3);
        order.insert(order.end(), {c.address, c.action, c.ack, c.text});
    }

    auto* setupBox = new QGroupBox(tr("Decoder Setup"));
    auto* setup = new QGridLayout(setupBox);
    toneLength_ = numberField(4);
    covertRx_ = numberField(3);
    covertTx_ = numberField(3);
    addSetting(setup, 0, 0, "decode.decoderToneLength", toneLength_);
    addSetting(setup, 1, 0, "decode.covertRxTime", covertRx_);
    addSetting(setup, 2, 0, "decode.covertTxTime", covertTx_);
    setup->setColumnStretch(3, 1);
    setup->setRowStretch(3, 1);
    boxes->addWidget(setupBox, 2, 2);
    order.insert(order.end(), {toneLength_, covertRx_, covertTx_});
    for (int column = 0; column < 3; ++column) boxes->setColumnStretch(column, 1);

    auto* outer = new QVBoxLayout(this);
    outer->addLayout(boxes);
    outer->addStretch(1);
    for (std::size_t i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    for (int i = 0; i < kDecodeEntries; ++i) {
        const auto n = static_cast<std::size_t>(i);
        const EntryControls& c = entries_[n];
        connect(c.address, &QLineEdit::textChanged, this, [this, i](const QString& text) { addressChanged(i, text); });
        // Undo steps are named after the fields' accessible names ("Call 1 Text").
        connect(c.text, &QLineEdit::textChanged, this, [this, n, what = c.text->accessibleName()](const QString& text) {
            if (refreshing_) return;
            settings_.selcallDecode.decodeEntries[n].text = stored(text);
            emit settingsEdited(what);
        });
        connect(c.action, &QComboBox::activated, this, [this, n, what = c.action->accessibleName()](int position) {
            settings_.selcallDecode.decodeEntries[n].action = position;
            emit settingsEdited(what);
        });
        connect(c.ack, &QComboBox::activated, this, [this, n, what = c.ack->accessibleName()](int position) {
            settings_.selcallDecode.decodeEntries[n].ack = position;
            emit settingsEdited(what);
        });
    }
    connect(covertRx_, &QLineEdit::textChanged, this, [this](const QString& text) {
        covertTextChanged(covertRx_, settings_.selcallDecode.covertRxTime, text, covertRx_->accessibleName());
    });
    connect(covertTx_, &QLineEdit::textChanged, this, [this](const QString& text) {
        covertTextChanged(covertTx_, settings_.selcallDecode.covertTxTime, text, covertTx_->accessibleName());
    });
    toneLength_->installEventFilter(this);
}

bool SelcallDecodePage::eventFilter(QObject* watched, QEvent* event) {
    // A context menu opened on the field does not end the editing.
    if (watched == toneLength_ && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason)
        toneLengthLeft();
    return TabPage::eventFilter(watched, event);
}

void SelcallDecodePage::setEntryEnabled(int index, bool enabled) {
    const EntryControls& c = entries_[static_cast<std::size_t>(index)];
    c.action->setEnabled(enabled);
    c.ack->setEnabled(enabled);
    c.text->setEnabled(enabled);
}

void SelcallDecodePage::addressChanged(int index, const QString& text) {
    if (refreshing_) return;
    // Emptying the address keeps the entry's action, ack and text.
    settings_.selcallDecode.decodeEntries[static_cast<std::size_t>(index)].address = stored(text);
    setEntryEnabled(index, !text.isEmpty());
    emit settingsEdited(entries_[static_cast<std::size_t>(index)].address->accessibleName());
}

void SelcallDecodePage::covertTextChanged(NumberEdit* field, int& target, const QString& text, const QString& what) {
    if (refreshing_) return;
    int value = leadingDecimal(text.toStdString());
    if (value > signalling::kMaxCovertSeconds) {
        value = signalling::kMaxCovertSeconds;
        const QSignalBlocker block(field);
        field->setText(QString::number(value));
    }
    target = value;
    emit settingsEdited(what);
}

void SelcallDecodePage::toneLengthLeft() {
    const int value = snapToFiveMs(std::string_view(toneLength_->text().toStdString()));
    const bool changed = value != settings_.selcallDecode.decoderToneLength;
    settings_.selcallDecode.decoderToneLength = value;
    toneLength_->setText(QString::number(value));
    if (changed) emit settingsEdited(toneLength_->accessibleName());
}

void SelcallDecodePage::initialisePage() {
    resetSelcallDecodeSettings(settings_.selcallDecode);
    refreshFromSettings();
}

void SelcallDecodePage::refreshFromSettings() {
    refreshing_ = true;
    const SelcallDecodeSettings& d = settings_.selcallDecode;
    for (int i = 0; i < kDecodeEntries; ++i) {
        const auto n = static_cast<std::size_t>(i);
        const DecodeEntry& entry = d.decodeEntries[n];
        const EntryControls& c = entries_[n];
        c.address->setText(shown(entry.address));
        setEntryEnabled(i, !entry.address.empty());
        selectPosition(c.ack, entry.ack);
        selectPosition(c.action, entry.action);
        c.text->setText(shown(entry.text));
    }
    toneLength_->setText(QString::number(d.decoderToneLength));
    covertRx_->setText(QString::number(d.covertRxTime));
    covertTx_->setText(QString::number(d.covertTxTime));
    refreshing_ = false;
}

void SelcallDecodePage::collectIntoSettings() {
    // The fields as shown: an address or a tone length still being typed counts.
    SelcallDecodeSettings asShown = settings_.selcallDecode;
    for (std::size_t i = 0; i < entries_.size(); ++i)
        asShown.decodeEntries[i].address = stored(entries_[i].address->text());
    asShown.decoderToneLength = leadingDecimal(toneLength_->text().toStdString());
    settings_.selcallDecode.decodeDuration = decodeDuration(asShown);
}

void SelcallDecodePage::pageSelected() {
    // The tone page stores its tone length whenever its field loses focus,
    // which happens before another tab is shown, so the stored value is the
    // text that page shows. The field's own value is stored when it is left.
    toneLength_->setText(QString::number(settings_.toneSequence.toneLength));
}

}  // namespace ks340
