#include "app/UndoController.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

#include <memory>

#include "app/MainView.h"
#include "app/ProgrammingDialog.h"
#include "app/TabHost.h"
#include "controls/FilterEdit.h"
#include "controls/TabPage.h"
#include "image/MemoryImage.h"
#include "model/Windows1252.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/ChannelGridEditing.h"
#include "pages/channel/ChannelTablePage.h"

namespace ks340 {

namespace {

// The text field the user is typing in, if the focus is in one.
const QWidget* typingField() {
    QWidget* w = QApplication::focusWidget();
    if (qobject_cast<QLineEdit*>(w) || qobject_cast<QAbstractSpinBox*>(w) || qobject_cast<QPlainTextEdit*>(w) ||
        qobject_cast<QTextEdit*>(w))
        return w;
    return nullptr;
}

}  // namespace

UndoController::UndoController(RadioSettings& settings, QObject* parent) : QObject(parent), settings_(settings) {
    // Restoring works like loading a file: the channel table is rebuilt as
    // it is for a loaded file.
    history_.setAfterLoad([](RadioSettings& s) { refreshChannelTable(s, true); });
    history_.reset(settings_);

    undoAction_ = new QAction(QStringLiteral("Undo"), this);
    undoAction_->setObjectName(QStringLiteral("undoAction"));
    undoAction_->setShortcuts(QKeySequence::Undo);
    connect(undoAction_, &QAction::triggered, this, &UndoController::undo);

    redoAction_ = new QAction(QStringLiteral("Redo"), this);
    redoAction_->setObjectName(QStringLiteral("redoAction"));
    redoAction_->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(redoAction_, &QAction::triggered, this, &UndoController::redo);
    updateActions();
}

UndoController::~UndoController() = default;

void UndoController::watchPage(TabPage* page, int pageIndex) {
    connect(page, &TabPage::settingsEdited, this,
            [this, pageIndex](const QString& what) { recordEditOnPage(what, pageIndex); });
}

void UndoController::attachTo(MainView* view) {
    for (int i = 0; i < MainView::PageCount; ++i) watchPage(view->page(i), i);

    setRefresh([view](const Restore& r) {
        // As after a file load: the pages show the record without writing
        // back into it.
        ViewFlags& flags = view->flags();
        const bool wasLoading = flags.fileLoadActive;
        flags.fileLoadActive = true;
        view->refreshHeader();
        view->refreshAllPages();
        flags.fileLoadActive = wasLoading;
        if (r.page >= 0 && r.page < MainView::PageCount) view->tabs()->setCurrentIndex(r.page);
        // The channel group the step was made in, when it is one of the list.
        auto* channels = static_cast<ChannelTablePage*>(view->page(MainView::RadioTab));
        if (r.currentGroup > 0 && view->settings().channelTable.groupScanFlag != 0) {
            const int index = channels->groupNumberList()->findText(QString::number(r.currentGroup));
            if (index >= 0) {
                channels->groupNumberList()->setCurrentIndex(index);
                channels->showGroup(r.currentGroup);
            }
        }
    });

    // The header's fields; the view's own handlers run first.
    connect(view->modelList(), qOverload<int>(&QComboBox::activated), this,
            [this] { recordStep(QStringLiteral("Set Model")); });
    connect(view->bandList(), qOverload<int>(&QComboBox::activated), this,
            [this] { recordStep(QStringLiteral("Set Band")); });
    connect(view->speakerList(), qOverload<int>(&QComboBox::activated), this,
            [this] { recordStep(QStringLiteral("Set Speaker")); });
    // The logo as the user types it (a refresh of the header sets it too):
    // recorded once the view has stored it, whichever of the two signals
    // comes first.
    auto logoTyped = std::make_shared<bool>(false);
    connect(view->logoEdit(), &QLineEdit::textEdited, this, [this, view, logoTyped] {
        if (QString::fromStdString(cp1252ToUtf8(view->settings().header.lcdDisplayLogo)) == view->logoEdit()->text())
            recordEdit(QStringLiteral("Set LCD Display Logo"));
        else
            *logoTyped = true;
    });
    connect(view->logoEdit(), &QLineEdit::textChanged, this, [this, logoTyped] {
        if (*logoTyped) {
            *logoTyped = false;
            recordEdit(QStringLiteral("Set LCD Display Logo"));
        }
    });

    connect(view, &MainView::fileOpened, this, [this](const QString& path) {
        recordStep(QStringLiteral("Load ") + QFileInfo(path).fileName());
        markSaved();
    });
    connect(view, &MainView::programmingDialogOpened, this, [this, view](ProgrammingDialog* dialog) {
        connect(dialog, &QDialog::finished, this, [this, view] {
            const bool read = view->flags().radioReadDone;
            // Once the view has shown what the dialog left in the record.
            QTimer::singleShot(0, this, [this, read] {
                if (read)
                    recordStep(QStringLiteral("Read from radio"));
                else
                    absorb();
            });
        });
    });

    auto* channels = static_cast<ChannelTablePage*>(view->page(MainView::RadioTab));
    gridEditing_ = new ChannelGridEditing(channels->grid(), view->settings(), channels);
    gridEditing_->setRefreshRows([channels, view] { channels->showGroup(view->settings().channelTable.currentGroup); });
    // Reported as the channel page's own changes.
    connect(gridEditing_, &ChannelGridEditing::settingsEdited, channels, &TabPage::settingsEdited);

    start();
}

QString UndoController::stepText(const QString& description) {
    static const char* const kVerbs[] = {"Set ",  "Clear ", "Paste ",  "Fill ",   "Delete ", "Load ",
                                         "Read ", "New",    "Change ", "Import ", "Open "};
    const QString text = description.trimmed();
    for (const char* verb : kVerbs)
        if (text.startsWith(QLatin1String(verb))) return text;
    return QStringLiteral("Set ") + text;
}

QString UndoController::exitQuestion(int unsavedChanges) {
    QString text = QStringLiteral("Do you want to exit program?");
    if (unsavedChanges == 1)
        text += QStringLiteral("\n\n1 change has not been saved.");
    else if (unsavedChanges > 1)
        text += QStringLiteral("\n\n%1 changes have not been saved.").arg(unsavedChanges);
    return text;
}

void UndoController::start() {
    history_.reset(settings_);
    updateActions();
    emit historyChanged();
}

void UndoController::record(const QString& description, int pageIndex, bool mergeable) {
    // Showing a restored configuration is no edit.
    if (restoring_) return;
    UndoHistory::RecordOptions options;
    options.context = pageIndex;
    if (mergeable) {
        if (const QWidget* field = typingField())
            options.coalesceKey = description.toStdString() + '@' + std::to_string(reinterpret_cast<quintptr>(field));
    }
    const QString text = stepText(description);
    if (history_.record(settings_, text.toStdString(), options) == UndoHistory::Recorded::Unchanged) return;
    updateActions();
    emit stepRecorded(text);
    emit historyChanged();
}

void UndoController::recordEdit(const QString& description) { record(description, -1, true); }

void UndoController::recordEditOnPage(const QString& description, int pageIndex) {
    record(description, pageIndex, true);
}

void UndoController::recordStep(const QString& description) { record(description, -1, false); }

void UndoController::absorb() {
    if (restoring_) return;
    history_.absorb(settings_);
    updateActions();
    emit historyChanged();
}

void UndoController::markSaved() {
    history_.markSaved(settings_);
    updateActions();
    emit historyChanged();
}

bool UndoController::restore(bool undo) {
    restoring_ = true;
    const UndoHistory::Restored r = undo ? history_.undo(settings_) : history_.redo(settings_);
    if (r.ok) {
        if (refresh_) refresh_({QString::fromStdString(r.text), undo, r.context, r.currentGroup});
        // What showing it derived (the group shown, its flags) belongs to
        // this state.
        history_.absorb(settings_);
    }
    restoring_ = false;
    updateActions();
    if (r.ok) {
        emit historyChanged();
        emit restored(QString::fromStdString(r.text), undo);
    }
    return r.ok;
}

bool UndoController::undo() { return restore(true); }
bool UndoController::redo() { return restore(false); }

void UndoController::updateActions() {
    const QString undoText = QString::fromStdString(history_.undoText());
    const QString redoText = QString::fromStdString(history_.redoText());
    undoAction_->setEnabled(history_.canUndo());
    undoAction_->setText(undoText.isEmpty() ? QStringLiteral("Undo") : QStringLiteral("Undo ") + undoText);
    redoAction_->setEnabled(history_.canRedo());
    redoAction_->setText(redoText.isEmpty() ? QStringLiteral("Redo") : QStringLiteral("Redo ") + redoText);
    // Menu texts take '&' as a mnemonic mark; a step text never means one.
    undoAction_->setText(undoAction_->text().replace('&', QStringLiteral("&&")));
    redoAction_->setText(redoAction_->text().replace('&', QStringLiteral("&&")));
}

}  // namespace ks340
