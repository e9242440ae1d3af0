// Helpers shared by the signalling page tests: user actions on widgets and
// the keyboard/accessibility checks every page must pass.
#pragma once

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QtTest>

namespace sigtest {

// Chooses item `index` with the keyboard (every step is a user choice).
inline void choose(QComboBox* list, int index) {
    QVERIFY(list->isEnabled());
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < index; ++i) QTest::keyClick(list, Qt::Key_Down);
    QCOMPARE(list->currentIndex(), index);
}

inline void backspaces(QLineEdit* field, int count) {
    field->end(false);
    for (int i = 0; i < count; ++i) QTest::keyClick(field, Qt::Key_Backspace);
}

// Replaces the field's text by typing.
inline void retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

// Types `keys` one at a time; what the field shows and `target` holds after each.
struct Typed {
    QStringList shown;
    QList<int> stored;
};
inline Typed typeKeys(QLineEdit* field, const QString& keys, const int& target) {
    Typed typed;
    for (QChar key : keys) {
        QTest::keyClicks(field, QString(key));
        typed.shown << field->text();
        typed.stored << target;
    }
    return typed;
}

// Moves the keyboard focus (the page's window must be active).
inline void focus(QWidget* w) {
    w->setFocus();
    QTRY_VERIFY(w->hasFocus());
}

inline void showActive(QWidget* page) {
    page->resize(1000, 650);
    page->show();
    page->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(page));
}

// Every widget of `expected` comes in this order when tabbing from the first.
inline void verifyTabOrder(const QList<QWidget*>& expected) {
    QList<QWidget*> chain;
    QWidget* w = expected.first();
    do {
        if (w->focusPolicy() & Qt::TabFocus) chain << w;
        w = w->nextInFocusChain();
    } while (w != expected.first() && chain.size() < 1000);
    int last = -1;
    for (QWidget* x : expected) {
        const int at = chain.indexOf(x);
        QVERIFY2(at > last, qPrintable(x->accessibleName()));
        last = at;
    }
}

// Each label names its field (after the name of its row or box where the
// label repeats: "Call 1 Check Open"), and all `expected` fields and lists
// have a name.
inline void verifyNamed(QWidget* page, int expected) {
    for (QLabel* label : page->findChildren<QLabel*>()) {
        if (!label->buddy()) continue;
        const QString name = label->buddy()->accessibleName();
        QVERIFY2(name == label->text() || name.endsWith(QLatin1Char(' ') + label->text()), qPrintable(name));
    }
    int count = 0;
    for (QWidget* w : page->findChildren<QWidget*>()) {
        if (!qobject_cast<QLineEdit*>(w) && !qobject_cast<QComboBox*>(w)) continue;
        QVERIFY2(!w->accessibleName().isEmpty(), w->metaObject()->className());
        ++count;
    }
    QCOMPARE(count, expected);
}

// The page fits the tab area of the default window without scrolling.
inline void verifyFitsTab(QWidget* page) {
    QVERIFY2(
        page->minimumSizeHint().width() <= 1000 && page->minimumSizeHint().height() <= 650,
        qPrintable(QStringLiteral("%1x%2").arg(page->minimumSizeHint().width()).arg(page->minimumSizeHint().height())));
}

}  // namespace sigtest
