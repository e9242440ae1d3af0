#include "pages/channel/ChannelGridEditing.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QItemSelectionModel>
#include <QMessageBox>
#include <QMimeData>
#include <QTableWidget>

#include <algorithm>
#include <set>

#include "pages/channel/ChannelGrid.h"

namespace ks340 {

namespace {

const QString kMimeType =
    QString::fromLatin1(kChannelClipboardMimeType.data(), qsizetype(kChannelClipboardMimeType.size()));
constexpr int kShownIssues = 12;

std::vector<int> toVector(const QList<int>& list) { return std::vector<int>(list.begin(), list.end()); }

QString rangeText(const QList<int>& channels) {
    if (channels.size() == 1) return QStringLiteral("channel %1").arg(channels.front());
    return QStringLiteral("%1 channels").arg(channels.size());
}

}  // namespace

ChannelGridEditing::ChannelGridEditing(QTableWidget* grid, RadioSettings& settings, QWidget* dialogParent)
    : QObject(grid), grid_(grid), settings_(settings), dialogParent_(dialogParent ? dialogParent : grid) {
    grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto make = [this, grid](const QString& text, const QList<QKeySequence>& keys) {
        auto* a = new QAction(text, this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        grid->addAction(a);
        return a;
    };
    copyAction_ = make(QStringLiteral("Copy"), QKeySequence::keyBindings(QKeySequence::Copy));
    pasteAction_ = make(QStringLiteral("Paste"), QKeySequence::keyBindings(QKeySequence::Paste));
    deleteAction_ = make(QStringLiteral("Clear"), {QKeySequence(Qt::Key_Delete)});
    fillDownAction_ = make(QStringLiteral("Fill down"), {QKeySequence(Qt::CTRL | Qt::Key_D)});
    connect(copyAction_, &QAction::triggered, this, [this] { copy(); });
    connect(pasteAction_, &QAction::triggered, this, [this] { paste(); });
    connect(deleteAction_, &QAction::triggered, this, [this] { deleteSelected(); });
    connect(fillDownAction_, &QAction::triggered, this, [this] { fillDown(); });
    // The grid's own Delete clears its current row: it now clears the
    // selected rows, after one question.
    if (auto* channelGrid = qobject_cast<ChannelGrid*>(grid)) {
        disconnect(channelGrid, &ChannelGrid::deletePressed, nullptr, nullptr);
        connect(channelGrid, &ChannelGrid::deletePressed, this, [this](int) { deleteSelected(); });
    }
    if (grid->contextMenuPolicy() == Qt::DefaultContextMenu) grid->setContextMenuPolicy(Qt::ActionsContextMenu);
}

int ChannelGridEditing::group() const { return settings_.channelTable.currentGroup; }

QList<int> ChannelGridEditing::selectedChannels() const {
    QList<int> channels;
    if (!grid_) return channels;
    std::set<int> rows;
    if (QItemSelectionModel* sel = grid_->selectionModel())
        for (const QModelIndex& i : sel->selectedIndexes()) rows.insert(i.row());
    if (rows.empty() && grid_->currentRow() >= 0) rows.insert(grid_->currentRow());
    const int shown = std::min(grid_->rowCount(), shownChannelCount(settings_.channelTable, group()));
    for (int r : rows)
        if (r < shown) channels.append(r + 1);
    return channels;
}

QMimeData* ChannelGridEditing::mimeDataFor(const QList<int>& channels) const {
    auto* data = new QMimeData;
    const std::vector<int> list = toVector(channels);
    data->setText(QString::fromStdString(channelsToTsv(settings_.channelTable, group(), list)));
    const std::string own = channelsToOwnFormat(settings_, group(), list);
    data->setData(kMimeType, QByteArray(own.data(), qsizetype(own.size())));
    return data;
}

bool ChannelGridEditing::copy() {
    const QList<int> channels = selectedChannels();
    if (channels.isEmpty()) return false;
    QApplication::clipboard()->setMimeData(mimeDataFor(channels));
    return true;
}

bool ChannelGridEditing::paste() {
    const QList<int> channels = selectedChannels();
    if (channels.isEmpty() || !grid_) return false;
    const int column = grid_->currentColumn() >= 0 ? grid_->currentColumn() : kColumnLabel;
    return pasteMimeData(QApplication::clipboard()->mimeData(), channels.front(), column);
}

bool ChannelGridEditing::pasteMimeData(const QMimeData* data, int firstChannel, int anchorColumn) {
    if (!data) return false;
    std::optional<ChannelRows> rows;
    if (data->hasFormat(kMimeType)) {
        const QByteArray own = data->data(kMimeType);
        rows = parseOwnFormat(std::string_view(own.constData(), std::size_t(own.size())));
    }
    if (!rows && data->hasText()) rows = parseSpreadsheetText(data->text().toStdString(), anchorColumn);
    if (!rows || rows->size() == 0) {
        inform(QStringLiteral("Info"), QStringLiteral("The clipboard holds no channels to paste."));
        return false;
    }
    const PasteOutcome out = pasteChannels(settings_, group(), firstChannel, *rows);
    if (!out.ok) {
        QStringList lines;
        for (int i = 0; i < int(out.errors.size()) && i < kShownIssues; ++i)
            lines << QString::fromStdString(formatClipboardIssue(out.errors[std::size_t(i)]));
        if (int(out.errors.size()) > kShownIssues)
            lines << QStringLiteral("and %1 more.").arg(int(out.errors.size()) - kShownIssues);
        inform(QStringLiteral("Info"),
               QStringLiteral("Check Your Input Data!\n\nNothing was pasted:\n") + lines.join('\n'));
        return false;
    }
    const int count = out.lastChannel - out.firstChannel + 1;
    changed(count == 1 ? QStringLiteral("Paste channel %1").arg(out.firstChannel)
                       : QStringLiteral("Paste %1 channels").arg(count));
    if (grid_) {
        // The pasted rows stay selected.
        grid_->clearSelection();
        grid_->setRangeSelected(
            QTableWidgetSelectionRange(out.firstChannel - 1, 0, out.lastChannel - 1, grid_->columnCount() - 1), true);
    }
    return true;
}

bool ChannelGridEditing::deleteSelected() {
    const QList<int> channels = selectedChannels();
    if (channels.isEmpty()) return false;
    if (confirmDelete_) {
        const QString caption =
            channels.size() == 1 ? QStringLiteral("One Channel Clear") : QStringLiteral("Channel Clear");
        const QString text = channels.size() == 1 ? QStringLiteral("    Really Clear?")
                                                  : QStringLiteral("Really Clear %1 Channels?").arg(channels.size());
        if (QMessageBox::question(dialogParent_, caption, text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) !=
            QMessageBox::Yes)
            return false;
    }
    clearChannels(settings_.channelTable, settings_.option, group(), toVector(channels));
    changed(QStringLiteral("Clear ") + rangeText(channels));
    return true;
}

bool ChannelGridEditing::fillDown() {
    const int column = grid_ ? grid_->currentColumn() : -1;
    const auto setting = fillSettingOfColumn(column);
    if (!setting) {
        inform(QStringLiteral("Info"),
               QStringLiteral("Fill down copies Scan CH, BandWidth, Tx Power, RX Option or Tx Option: "
                              "choose a cell of one of those columns."));
        return false;
    }
    return fillDown(*setting);
}

bool ChannelGridEditing::fillDown(FillSetting setting) {
    const QList<int> channels = selectedChannels();
    const FillOutcome out = ks340::fillDown(settings_.channelTable, group(), toVector(channels), setting);
    if (!out.ok) {
        inform(QStringLiteral("Info"), QStringLiteral("Fill down: ") + QString::fromStdString(out.error) + '.');
        return false;
    }
    if (out.changed > 0)
        changed(QStringLiteral("Fill down ") +
                QString::fromLatin1(fillSettingName(setting).data(), qsizetype(fillSettingName(setting).size())));
    else if (refreshRows_)
        refreshRows_();
    return true;
}

void ChannelGridEditing::changed(const QString& what) {
    if (refreshRows_) refreshRows_();
    emit settingsEdited(what);
}

void ChannelGridEditing::inform(const QString& caption, const QString& text) {
    lastMessage_ = text;
    QMessageBox::information(dialogParent_, caption, text);
}

}  // namespace ks340
