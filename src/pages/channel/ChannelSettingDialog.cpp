#include "pages/channel/ChannelSettingDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "controls/FilterEdit.h"
#include "controls/WheelGuard.h"
#include "model/ChannelStep.h"
#include "model/ChannelValidator.h"
#include "model/Tables.h"
#include "model/ToneCode.h"
#include "model/Windows1252.h"

namespace ks340 {

namespace {

QLineEdit* readOnlyField(QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setReadOnly(true);
    e->setMaximumWidth(60);
    return e;
}

}  // namespace

QString recordText(const std::string& bytes) { return QString::fromStdString(cp1252ToUtf8(bytes)); }

std::string recordBytes(const QString& text) { return utf8ToCp1252(text.toStdString()); }

QString signallingText(int toneCode, int inverseDcs) {
    return QString::fromStdString(toneCodeText(toneCode, inverseDcs));
}

ChannelSettingDialog::ChannelSettingDialog(ChannelTable& table, const HeaderSettings& header, ChannelEntry& pending,
                                           int clickedColumn, QWidget* parent)
    : QDialog(parent), table_(table), header_(header), pending_(pending), clickedColumn_(clickedColumn) {
    setWindowTitle(QStringLiteral("Channel Setting"));
    rx_.pendingCode = &pending_.rxSquelch;
    tx_.pendingCode = &pending_.txSquelch;

    // Channel identification and label.
    groupNo_ = readOnlyField(this);
    groupNo_->setAccessibleName(QStringLiteral("Group NO."));
    channelNo_ = readOnlyField(this);
    channelNo_->setAccessibleName(QStringLiteral("Channel NO."));
    label_ = new PrintableTextEdit(this);
    label_->setAccessibleName(QStringLiteral("Label"));
    label_->setMaxLength(kChannelLabelLength);
    label_->setMinimumWidth(label_->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWWWW")) + 12);

    auto* top = new QGridLayout;
    auto* groupLabel = new QLabel(QStringLiteral("Group NO."), this);
    groupLabel->setBuddy(groupNo_);
    auto* channelLabel = new QLabel(QStringLiteral("Channel NO."), this);
    channelLabel->setBuddy(channelNo_);
    auto* labelLabel = new QLabel(QStringLiteral("&Label"), this);
    labelLabel->setBuddy(label_);
    top->addWidget(groupLabel, 0, 0);
    top->addWidget(groupNo_, 0, 1);
    top->addWidget(channelLabel, 0, 2);
    top->addWidget(channelNo_, 0, 3);
    top->addWidget(labelLabel, 0, 4);
    top->addWidget(label_, 0, 5);
    top->setColumnStretch(6, 1);

    QWidget* rxBox = buildDirection(rx_, QStringLiteral("Rx Setting"), QStringLiteral("R&x Frequency"));
    QWidget* txBox = buildDirection(tx_, QStringLiteral("Tx Setting"), QStringLiteral("&Tx Frequency"));

    rxEqualsTx_ = new QPushButton(QStringLiteral("Rx = Tx"), this);
    rxEqualsTx_->setAutoDefault(false);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setText(QStringLiteral("&OK"));
    ok_->setDefault(true);
    cancel_ = buttons->button(QDialogButtonBox::Cancel);
    cancel_->setText(QStringLiteral("&Cancel"));
    buttons->addButton(rxEqualsTx_, QDialogButtonBox::ActionRole);
    connect(rxEqualsTx_, &QPushButton::clicked, this, &ChannelSettingDialog::copyRxToTx);
    connect(ok_, &QPushButton::clicked, this, &ChannelSettingDialog::okPressed);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* directions = new QHBoxLayout;
    directions->addWidget(rxBox);
    directions->addWidget(txBox);
    // Says when a typed frequency was moved onto the raster.
    notice_ = new QLabel(this);
    notice_->setWordWrap(true);
    notice_->setAccessibleName(QStringLiteral("Notice"));
    notice_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    notice_->hide();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(directions);
    layout->addWidget(notice_);
    layout->addWidget(buttons);

    // Tab order: label, Rx controls, Tx controls, buttons.
    setTabOrder(label_, rx_.frequency);
    QWidget* chain[] = {rx_.frequency,
                        rx_.off,
                        rx_.ctcss,
                        rx_.ctcssList,
                        rx_.dcs,
                        rx_.dcsList,
                        rx_.inverseBox,
                        tx_.frequency,
                        tx_.off,
                        tx_.ctcss,
                        tx_.ctcssList,
                        tx_.dcs,
                        tx_.dcsList,
                        tx_.inverseBox,
                        rxEqualsTx_,
                        ok_,
                        buttons->button(QDialogButtonBox::Cancel)};
    for (std::size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);

    // ---- Opening ----
    pending_.rxSquelch = 0;
    pending_.txSquelch = 0;
    for (Direction* d : {&rx_, &tx_}) {
        d->ctcssList->setCurrentIndex(0);
        d->dcsList->setCurrentIndex(0);
        d->ctcssList->setEnabled(false);
        d->dcsList->setEnabled(false);
        d->inverseBox->setEnabled(false);
        d->state = RadioState{};
    }
    showMembers();

    const int groupIndex = table_.currentGroup;
    const int channelIndex = table_.currentChannel;
    const bool validChannel =
        groupIndex >= 0 && groupIndex < kGroupSlots && channelIndex >= 1 && channelIndex < kChannelSlots;
    static const ChannelEntry kEmpty{};
    const ChannelEntry& channel = validChannel ? table_.groups[groupIndex].channels[channelIndex] : kEmpty;

    label_->setText(recordText(channel.label).left(kChannelLabelLength));
    groupNo_->setText(groupIndex == 0 ? QStringLiteral("None") : QString::number(groupIndex));
    channelNo_->setText(QString::number(channelIndex));
    if (!channel.rxFrequency.empty()) {
        rx_.frequency->setText(recordText(channel.rxFrequency));
        if (!channel.txFrequency.empty()) tx_.frequency->setText(recordText(channel.txFrequency));
    }
    takeMembers();

    // A code outside the lists (a damaged file) opens as Off.
    const int rxCode = isValidToneCode(channel.rxSquelch) ? channel.rxSquelch : kToneOff;
    const int txCode = isValidToneCode(channel.txSquelch) ? channel.txSquelch : kToneOff;
    showSignalling(rx_, rxCode, channel.rxInverseDcs);
    showSignalling(tx_, txCode, channel.txInverseDcs);
    pending_.rxSquelch = rxCode;
    pending_.txSquelch = txCode;
    // The wheel over a tone list it has not been clicked into leaves the tone alone.
    WheelGuard::install(this);

    switch (clickedColumn_) {
        case 1:
            label_->setFocus();
            break;
        case 2:
        case 3:
            rx_.frequency->setFocus();
            break;
        case 4:
        case 5:
            tx_.frequency->setFocus();
            break;
        default:
            label_->setFocus();
            break;
    }
}

QWidget* ChannelSettingDialog::buildDirection(Direction& d, const QString& title, const QString& frequencyLabel) {
    auto* box = new QGroupBox(title, this);
    d.frequency = new QLineEdit(box);
    d.frequency->setAccessibleName(QString(frequencyLabel).remove(QLatin1Char('&')));
    d.frequency->installEventFilter(this);
    // A notice belongs to the text it was given for.
    connect(d.frequency, &QLineEdit::textEdited, this, [this, &d] {
        d.notice.clear();
        showNotices();
    });
    d.off = new QRadioButton(QStringLiteral("Off"), box);
    d.ctcss = new QRadioButton(QStringLiteral("CTCSS"), box);
    d.dcs = new QRadioButton(QStringLiteral("DCS"), box);
    d.ctcssList = new QComboBox(box);
    d.ctcssList->setAccessibleName(QStringLiteral("CTCSS"));
    for (const CtcssEntry& e : CtcssTable)
        d.ctcssList->addItem(QString::fromLatin1(e.text.data(), static_cast<int>(e.text.size())));
    d.dcsList = new QComboBox(box);
    d.dcsList->setAccessibleName(QStringLiteral("DCS"));
    for (const DcsEntry& e : DcsTable)
        d.dcsList->addItem(QString::fromLatin1(e.text.data(), static_cast<int>(e.text.size())));
    d.inverseBox = new QCheckBox(QStringLiteral("Inverse DCS"), box);

    auto* freqLabel = new QLabel(frequencyLabel, box);
    freqLabel->setBuddy(d.frequency);
    auto* grid = new QGridLayout(box);
    grid->addWidget(freqLabel, 0, 0);
    grid->addWidget(d.frequency, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("MHz"), box), 0, 2);
    grid->addWidget(d.off, 1, 0);
    grid->addWidget(d.ctcss, 2, 0);
    grid->addWidget(d.ctcssList, 2, 1);
    grid->addWidget(d.dcs, 3, 0);
    grid->addWidget(d.dcsList, 3, 1);
    grid->addWidget(d.inverseBox, 4, 1);
    grid->setColumnStretch(3, 1);

    connect(d.off, &QRadioButton::clicked, this, [this, &d] { chooseOff(d); });
    connect(d.ctcss, &QRadioButton::clicked, this, [this, &d] { chooseCtcss(d); });
    connect(d.dcs, &QRadioButton::clicked, this, [this, &d] { chooseDcs(d); });
    connect(d.ctcssList, &QComboBox::activated, this, [&d](int k) { *d.pendingCode = ctcssCodeFromPosition(k); });
    connect(d.dcsList, &QComboBox::activated, this, [&d](int k) { *d.pendingCode = dcsCodeFromPosition(k); });
    return box;
}

void ChannelSettingDialog::chooseOff(Direction& d) {
    *d.pendingCode = kToneOff;
    d.ctcssList->setEnabled(false);
    d.dcsList->setEnabled(false);
    d.inverseBox->setEnabled(false);
}

void ChannelSettingDialog::chooseCtcss(Direction& d) {
    *d.pendingCode = kFirstCtcssCode;
    d.ctcssList->setEnabled(true);
    d.ctcssList->setCurrentIndex(0);  // the list shows the pending code
    d.dcsList->setEnabled(false);
    d.inverseBox->setEnabled(false);
}

void ChannelSettingDialog::chooseDcs(Direction& d) {
    *d.pendingCode = kFirstDcsCode;
    d.dcsList->setEnabled(true);
    d.dcsList->setCurrentIndex(0);
    d.inverseBox->setEnabled(true);
    d.ctcssList->setEnabled(false);
}

void ChannelSettingDialog::showSignalling(Direction& d, int code, int inverse) {
    d.state = RadioState{};
    d.state.off = 0;
    if (isCtcssCode(code)) {
        d.state.ctcss = 1;
        d.ctcssList->setEnabled(true);
        d.ctcssList->setCurrentIndex(ctcssPositionFromCode(code));
        d.dcsList->setEnabled(false);
        d.inverseBox->setEnabled(false);
    } else if (isDcsCode(code)) {
        d.state.dcs = 1;
        d.state.inverse = inverse != 0 ? 1 : 0;
        d.dcsList->setEnabled(true);
        d.dcsList->setCurrentIndex(dcsPositionFromCode(code));
        d.inverseBox->setEnabled(true);
        d.ctcssList->setEnabled(false);
    } else {
        d.state.off = 1;
        d.ctcssList->setEnabled(false);
        d.dcsList->setEnabled(false);
        d.inverseBox->setEnabled(false);
    }
    d.off->setChecked(d.state.off != 0);
    d.ctcss->setChecked(d.state.ctcss != 0);
    d.dcs->setChecked(d.state.dcs != 0);
    d.inverseBox->setChecked(d.state.inverse != 0);
}

void ChannelSettingDialog::takeMembers() {
    labelText_ = label_->text();
    rxText_ = rx_.frequency->text();
    txText_ = tx_.frequency->text();
    for (Direction* d : {&rx_, &tx_}) {
        d->state.off = d->off->isChecked() ? 1 : 0;
        d->state.ctcss = d->ctcss->isChecked() ? 1 : 0;
        d->state.dcs = d->dcs->isChecked() ? 1 : 0;
        d->state.inverse = d->inverseBox->isChecked() ? 1 : 0;
    }
}

void ChannelSettingDialog::showMembers() {
    label_->setText(labelText_);
    rx_.frequency->setText(rxText_);
    tx_.frequency->setText(txText_);
    for (Direction* d : {&rx_, &tx_}) {
        d->off->setChecked(d->state.off != 0);
        d->ctcss->setChecked(d->state.ctcss != 0);
        d->dcs->setChecked(d->state.dcs != 0);
        d->inverseBox->setChecked(d->state.inverse != 0);
    }
}

bool ChannelSettingDialog::snapFrequencyField(QLineEdit* field) {
    if (field != rx_.frequency && field != tx_.frequency) return true;
    Direction& d = field == rx_.frequency ? rx_ : tx_;
    const FieldCheck r =
        checkChannelFrequency(field->text().toStdString(), header_.model, header_.radioBand, FrequencyEntry::Typed);
    if (r.ok) {
        if (!r.value.empty()) field->setText(QString::fromStdString(r.value));
        if (!r.notice.empty()) {
            d.notice = QString::fromStdString(r.notice);
            showNotices();
        }
        return true;
    }
    label_->setText(labelText_);
    rx_.frequency->setText(rxText_);
    tx_.frequency->setText(txText_);
    rx_.notice.clear();
    tx_.notice.clear();
    showNotices();
    QMessageBox::warning(this, QStringLiteral("Warning"), QString::fromStdString(bandWarningText(header_.radioBand)));
    return false;
}

QStringList ChannelSettingDialog::notices() const {
    QStringList out;
    for (const Direction* d : {&rx_, &tx_})
        if (!d->notice.isEmpty()) out << d->notice;
    return out;
}

void ChannelSettingDialog::showNotices() {
    const QStringList list = notices();
    notice_->setText(list.join(QLatin1Char('\n')));
    notice_->setVisible(!list.isEmpty());
}

bool ChannelSettingDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == rx_.frequency || watched == tx_.frequency)) {
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        // Leaving the field checks it; a window switch or a popup does not,
        // nor going to Cancel, which drops the typed text anyway.
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason &&
            QApplication::focusWidget() != cancel_)
            snapFrequencyField(static_cast<QLineEdit*>(watched));
    }
    return QDialog::eventFilter(watched, event);
}

void ChannelSettingDialog::copyRxToTx() {
    takeMembers();
    txText_ = rxText_;
    tx_.notice.clear();
    showNotices();
    tx_.state.off = 0;
    tx_.state.ctcss = 0;
    tx_.state.dcs = 0;
    if (rx_.state.ctcss) {
        tx_.state.ctcss = 1;
        tx_.dcsList->setEnabled(false);
        tx_.dcsList->setCurrentIndex(0);
        tx_.ctcssList->setEnabled(true);
        tx_.ctcssList->setCurrentIndex(rx_.ctcssList->currentIndex());
        tx_.inverseBox->setEnabled(false);
        pending_.txSquelch = ctcssCodeFromPosition(rx_.ctcssList->currentIndex());
    } else if (rx_.state.dcs) {
        tx_.state.dcs = 1;
        tx_.ctcssList->setEnabled(false);
        tx_.ctcssList->setCurrentIndex(0);
        tx_.dcsList->setEnabled(true);
        tx_.dcsList->setCurrentIndex(rx_.dcsList->currentIndex());
        tx_.inverseBox->setEnabled(true);
        pending_.txSquelch = dcsCodeFromPosition(rx_.dcsList->currentIndex());
    } else {
        tx_.state.off = 1;
        tx_.ctcssList->setEnabled(false);
        tx_.ctcssList->setCurrentIndex(0);
        tx_.dcsList->setEnabled(false);
        tx_.dcsList->setCurrentIndex(0);
        tx_.inverseBox->setEnabled(false);
        pending_.txSquelch = kToneOff;
    }
    tx_.state.inverse = rx_.state.inverse != 0 ? 1 : 0;
    showMembers();
}

void ChannelSettingDialog::okPressed() {
    const bool rxWasEmpty = rx_.frequency->text().isEmpty();
    snapFrequencyField(rx_.frequency);
    snapFrequencyField(tx_.frequency);
    if (rxWasEmpty && !tx_.frequency->text().isEmpty())
        QMessageBox::information(this, QStringLiteral("Info"), QStringLiteral("Please input the Rx Frequency!!"));
    takeMembers();
    accept();
}

}  // namespace ks340
