// Spreadsheet-style editing of several rows of the channel grid: copy to
// the clipboard, paste, clear after one question and fill down.
//
// Attach it to the grid of the channel page: row r of the grid is channel
// r + 1 of the group the channel table shows (currentGroup). After each
// change it lets the page show the rows again and reports the change with
// settingsEdited, as the pages do.
#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

#include "formats/ChannelClipboard.h"

class QAction;
class QMimeData;
class QTableWidget;
class QWidget;

namespace ks340 {

class ChannelGridEditing : public QObject {
    Q_OBJECT
public:
    // Makes the grid select several rows (click, Shift+click, Ctrl+click,
    // Ctrl+A) and adds the actions to it (shortcuts while the grid has the
    // focus, and its context menu). The Delete key of a ChannelGrid, which
    // cleared the current row, clears the selected rows instead.
    ChannelGridEditing(QTableWidget* grid, RadioSettings& settings, QWidget* dialogParent = nullptr);

    // Shows the rows of the shown group again after a change.
    void setRefreshRows(std::function<void()> refresh) { refreshRows_ = std::move(refresh); }
    // Delete asks before it clears (on by default).
    void setConfirmDelete(bool confirm) { confirmDelete_ = confirm; }

    // Channel numbers of the selected rows, ascending; the current row when
    // nothing is selected.
    QList<int> selectedChannels() const;

    // The two forms of the channels: text/plain (tab-separated with a
    // header line) and the program's own MIME type.
    QMimeData* mimeDataFor(const QList<int>& channels) const;

    // Copy (Ctrl+C): the selected rows to the clipboard.
    bool copy();
    // Paste (Ctrl+V): the clipboard from the first selected row on.
    bool paste();
    // The same for given data (own form first, then text), from channel
    // firstChannel on; text without a header fills the columns from
    // anchorColumn on. Failing rows are reported and nothing changes.
    bool pasteMimeData(const QMimeData* data, int firstChannel, int anchorColumn);
    // Delete: the selected channels cleared after one question.
    bool deleteSelected();
    // Fill down (Ctrl+D): the setting of the current column (Scan CH,
    // BandWidth, Tx Power, RX Option or Tx Option) from the first selected
    // channel to the others.
    bool fillDown();
    bool fillDown(FillSetting setting);

    QAction* copyAction() const { return copyAction_; }
    QAction* pasteAction() const { return pasteAction_; }
    QAction* deleteAction() const { return deleteAction_; }
    QAction* fillDownAction() const { return fillDownAction_; }

    // The last message shown to the user (for tests and the status line).
    QString lastMessage() const { return lastMessage_; }

signals:
    // The channel table was changed ("Paste 20 channels", "Clear 3 channels",
    // "Fill down Scan CH").
    void settingsEdited(const QString& what);

private:
    int group() const;
    void changed(const QString& what);
    void inform(const QString& caption, const QString& text);

    QPointer<QTableWidget> grid_;
    RadioSettings& settings_;
    QPointer<QWidget> dialogParent_;
    std::function<void()> refreshRows_;
    bool confirmDelete_ = true;
    QString lastMessage_;
    QAction* copyAction_ = nullptr;
    QAction* pasteAction_ = nullptr;
    QAction* deleteAction_ = nullptr;
    QAction* fillDownAction_ = nullptr;
};

}  // namespace ks340
