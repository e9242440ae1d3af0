#include "controls/FilterEdit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

namespace ks340 {

namespace {

// Code points of the Windows-1252 bytes 0x80..0x9F that are assigned.
constexpr char16_t kUpperRange[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030,
                                    0x0160, 0x2039, 0x0152, 0x017D, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                                    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};

bool isControl(QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; }

}  // namespace

bool isWindows1252Character(QChar c) {
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return true;
    for (char16_t v : kUpperRange)
        if (u == v) return true;
    return false;
}

bool isWindows1252LetterOrDigit(QChar c) {
    if (!isWindows1252Character(c)) return false;
    return c.isLetter() || c.isDigit();
}

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

bool PrintableTextEdit::accepts(QChar c) {
    if (isWindows1252LetterOrDigit(c)) return true;
    switch (c.unicode()) {
        case ' ':
        case '#':
        case '\'':
        case '(':
        case ')':
        case '*':
        case '+':
        case '-':
        case '.':
        case '/':
        case '?':
        case '\\':
        case '_':
            return true;
        default:
            return false;
    }
}

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
