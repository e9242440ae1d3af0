#include "controls/FilterEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

#include "model/ChannelValidator.h"

namespace ks340 {

namespace {

bool isControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

}  // namespace

FilterEdit::FilterEdit(QWidget* parent) : QLineEdit(parent) {}

QString FilterEdit::filtered(const QString& text) const {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (acceptsCharacter(c)) out.append(c);
    return out;
}

void FilterEdit::insertFromClipboard(QClipboard::Mode mode) {
    if (isReadOnly()) return;
    const QString text = filtered(QGuiApplication::clipboard()->text(mode));
    if (text.isEmpty() && !hasSelectedText()) return;
    insert(text);
}

void FilterEdit::pasteFiltered() { insertFromClipboard(QClipboard::Clipboard); }

void FilterEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteFiltered();
        event->accept();
        return;
    }
    const QString text = event->text();
    bool printable = false;
    for (QChar c : text)
        if (!isControl(c)) printable = true;
    // Keys without printable text (editing keys, backspace, shortcuts)
    // go to the line edit unchanged.
    if (printable) {
        for (QChar c : text) {
            if (!acceptsCharacter(c)) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void FilterEdit::inputMethodEvent(QInputMethodEvent* event) {
    const QString commit = event->commitString();
    const QString kept = filtered(commit);
    if (kept == commit) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent replaced(event->preeditString(), event->attributes());
    replaced.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void FilterEdit::dropEvent(QDropEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!data || !data->hasText()) {
        QLineEdit::dropEvent(event);
        return;
    }
    QMimeData kept;
    kept.setText(filtered(data->text()));
    QDropEvent replaced(event->position(), event->possibleActions(), &kept, event->buttons(), event->modifiers(),
                        event->type());
    replaced.setDropAction(event->dropAction());
    QLineEdit::dropEvent(&replaced);
    event->setDropAction(replaced.dropAction());
    event->setAccepted(replaced.isAccepted());
}

void FilterEdit::mouseReleaseEvent(QMouseEvent* event) {
    // Middle-click pastes the selection on desktops that have one.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        if (rect().contains(event->position().toPoint())) insertFromClipboard(QClipboard::Selection);
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FilterEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    // The standard paste entry is rerouted through the filter.
    for (QAction* action : menu->actions()) {
        const bool wasPaste = disconnect(action, &QAction::triggered, this, &QLineEdit::paste) ||
                              disconnect(action, SIGNAL(triggered()), this, SLOT(paste())) ||
                              disconnect(action, SIGNAL(triggered(bool)), this, SLOT(paste()));
        if (wasPaste) connect(action, &QAction::triggered, this, &FilterEdit::pasteFiltered);
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
    event->accept();
}

bool DtmfDigitEdit::accepts(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'D') || (u >= 'a' && u <= 'd') || u == '*' || u == '#';
}

bool PrintableTextEdit::accepts(QChar c) { return isLabelCharacter(c.unicode()); }

bool NumberEdit::accepts(QChar c) { return c.unicode() >= '0' && c.unicode() <= '9'; }

bool OneToEightEdit::accepts(QChar c) { return c.unicode() >= '1' && c.unicode() <= '8'; }

bool SelcallAddressEdit::accepts(QChar c) {
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'E') || (u >= 'a' && u <= 'e') || u == 'S' || u == 's' ||
           u == 'X' || u == 'x';
}

bool ToneSequenceEdit::accepts(QChar c) {
    const char16_t u = c.unicode();
    return SelcallAddressEdit::accepts(c) || u == 'K' || u == 'k';
}

}  // namespace ks340
