// Single-line edit fields that only let through the characters their field
// can hold. Typed, pasted, dropped and input-method text is filtered; text
// the program puts in with setText() or insert() is taken as it is.
#pragma once

#include <QClipboard>
#include <QLineEdit>
#include <QString>

class QMenu;

namespace ks340 {

class FilterEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit FilterEdit(QWidget* parent = nullptr);

    // The character set of this field kind (backspace is handled by the
    // line edit itself and always works).
    virtual bool acceptsCharacter(QChar c) const = 0;

    // text without the characters this kind refuses.
    QString filtered(const QString& text) const;

public slots:
    // Inserts the filtered clipboard text at the cursor (replacing the selection).
    void pasteFiltered();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void insertFromClipboard(QClipboard::Mode mode);
};

// "0"-"9", "A"-"D", "a"-"d", "*", "#"
class DtmfDigitEdit : public FilterEdit {
    Q_OBJECT
public:
    using FilterEdit::FilterEdit;
    static bool accepts(QChar c);
    bool acceptsCharacter(QChar c) const override { return accepts(c); }
};

// The channel label's alphabet (isLabelCharacter): letters and digits of
// Windows-1252, space and # ' ( ) * + - . / ? \ _
class PrintableTextEdit : public FilterEdit {
    Q_OBJECT
public:
    using FilterEdit::FilterEdit;
    static bool accepts(QChar c);
    bool acceptsCharacter(QChar c) const override { return accepts(c); }
};

// "0"-"9"
class NumberEdit : public FilterEdit {
    Q_OBJECT
public:
    using FilterEdit::FilterEdit;
    static bool accepts(QChar c);
    bool acceptsCharacter(QChar c) const override { return accepts(c); }
};

// "1"-"8"
class OneToEightEdit : public FilterEdit {
    Q_OBJECT
public:
    using FilterEdit::FilterEdit;
    static bool accepts(QChar c);
    bool acceptsCharacter(QChar c) const override { return accepts(c); }
};

// "0"-"9", "A"-"E", "a"-"e", "S", "s", "X", "x"
class SelcallAddressEdit : public FilterEdit {
    Q_OBJECT
public:
    using FilterEdit::FilterEdit;
    static bool accepts(QChar c);
    bool acceptsCharacter(QChar c) const override { return accepts(c); }
};

// "0"-"9", "A"-"E", "a"-"e", "K", "k", "S", "s", "X", "x"
class ToneSequenceEdit : public FilterEdit {
    Q_OBJECT
public:
    using FilterEdit::FilterEdit;
    static bool accepts(QChar c);
    bool acceptsCharacter(QChar c) const override { return accepts(c); }
};

}  // namespace ks340
