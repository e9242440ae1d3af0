#include "app/ChangeNotice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>

#include "app/UndoController.h"
#include "print/Reports.h"

namespace ks340 {

namespace {

QString channels(int n) { return n == 1 ? QStringLiteral("1 channel") : QStringLiteral("%1 channels").arg(n); }

QString changes(int n) {
    return n == 1 ? QStringLiteral("1 unsaved change") : QStringLiteral("%1 unsaved changes").arg(n);
}

}  // namespace

ChangeNotice::ChangeNotice(UndoController* undo, const RadioSettings& settings, QWidget* parent)
    : QFrame(parent), undo_(undo), settings_(settings) {
    setObjectName(QStringLiteral("changeNotice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, p.color(QPalette::ToolTipBase));
    p.setColor(QPalette::WindowText, p.color(QPalette::ToolTipText));
    setPalette(p);
    setAccessibleName(QStringLiteral("Notice"));

    label_ = new QLabel;
    label_->setWordWrap(true);
    label_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    undoButton_ = new QPushButton(QStringLiteral("Undo"));
    undoButton_->setAccessibleName(QStringLiteral("Undo"));
    closeButton_ = new QToolButton;
    closeButton_->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    closeButton_->setAutoRaise(true);
    closeButton_->setToolTip(QStringLiteral("Close"));
    closeButton_->setAccessibleName(QStringLiteral("Close notice"));

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 2, 4, 2);
    row->addWidget(label_, 1);
    row->addWidget(undoButton_);
    row->addWidget(closeButton_);
    hide();

    connect(undoButton_, &QPushButton::clicked, this, [this] {
        hide();
        undo_->undo();
    });
    connect(closeButton_, &QToolButton::clicked, this, &QWidget::hide);
    connect(undo_, &UndoController::stepRecorded, this, &ChangeNotice::onStep);
    connect(undo_, &UndoController::restored, this, &QWidget::hide);
    // Every state the history reaches is the "before" of the next step.
    connect(undo_, &UndoController::historyChanged, this, &ChangeNotice::remember);
    remember();
}

QString ChangeNotice::text() const { return isHidden() ? QString() : label_->text(); }

int ChangeNotice::visibleChannels(const RadioSettings& settings) {
    return int(buildPrintRows(settings.channelTable).size());
}

QString ChangeNotice::noteFor(const QString& step, int channelsBefore, int channelsNow, int unsavedBefore) {
    QString note;
    if (step.startsWith(QLatin1String("Load ")) || step == QLatin1String("Read from radio")) {
        if (unsavedBefore > 0) {
            const QString what = step == QLatin1String("Read from radio") ? QStringLiteral("Read from radio")
                                                                          : QStringLiteral("Opened ") + step.mid(5);
            note = QStringLiteral("%1: %2 replaced.").arg(what, changes(unsavedBefore));
        }
        return note;
    }
    const int lost = channelsBefore - channelsNow;
    const bool groups = step.contains(QLatin1String("group"), Qt::CaseInsensitive);
    const bool header = step == QLatin1String("Set Model") || step == QLatin1String("Set Band");
    // One channel cleared in the grid is the edit the user just made there.
    if (lost >= 2 || (lost == 1 && (groups || header))) {
        if (groups)
            note = QStringLiteral("%1: %2 hidden (outside the groups' sizes).").arg(step, channels(lost));
        else
            note = QStringLiteral("%1: %2 cleared.").arg(step, channels(lost));
    }
    return note;
}

void ChangeNotice::onStep(const QString& step) {
    const QString note = noteFor(step, channelsBefore_, visibleChannels(settings_), unsavedBefore_);
    if (note.isEmpty()) {
        hide();
        return;
    }
    label_->setText(note);
    show();
}

void ChangeNotice::remember() {
    channelsBefore_ = visibleChannels(settings_);
    unsavedBefore_ = undo_->unsavedChanges();
}

}  // namespace ks340
