#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/ChannelValidator.h"
#include "model/Windows1252.h"

using namespace ks340;

class FilterEditTest : public QObject {
    Q_OBJECT

private:
    // Types every character of text, one key event each.
    static void typeText(FilterEdit& edit, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&edit, &press);
        }
    }

private slots:
    void oneToEightRefusesZeroAndNine() {
        OneToEightEdit edit;
        typeText(edit, "09");
        QCOMPARE(edit.text(), QString());
        typeText(edit, "18");
        QCOMPARE(edit.text(), QString("18"));
        typeText(edit, "90a4");
        QCOMPARE(edit.text(), QString("184"));
    }

    void printableTextSet() {
        PrintableTextEdit edit;
        typeText(edit, "Ab 1,'\\");
        QCOMPARE(edit.text(), QString("Ab 1'\\"));
        edit.clear();
        typeText(edit, "#()*+-./?_");
        QCOMPARE(edit.text(), QString("#()*+-./?_"));
        edit.clear();
        // Refused punctuation.
        typeText(edit, ",;:!\"$%&<>=@[]^`{}|~");
        QCOMPARE(edit.text(), QString());
        // Letters of the code page pass, letters outside it do not.
        typeText(edit, QString::fromUtf8("éÄßŠœŸ"));
        QCOMPARE(edit.text(), QString::fromUtf8("éÄßŠœŸ"));
        edit.clear();
        typeText(edit, QString::fromUtf8("ЖπĀ€×÷²"));
        QCOMPARE(edit.text(), QString());
    }

    void letterCaseAndKindDifferences() {
        DtmfDigitEdit dtmf;
        SelcallAddressEdit selcall;
        ToneSequenceEdit tones;
        NumberEdit number;
        for (FilterEdit* e : std::initializer_list<FilterEdit*>{&dtmf, &selcall, &tones, &number})
            typeText(*e, "eEkKsSxXdD*#9");
        QCOMPARE(dtmf.text(), QString("dD*#9"));
        QCOMPARE(selcall.text(), QString("eEsSxXdD9"));
        QCOMPARE(tones.text(), QString("eEkKsSxXdD9"));
        QCOMPARE(number.text(), QString("9"));
    }

    void backspaceAndEditingKeysWorkInEveryKind() {
        std::vector<std::unique_ptr<FilterEdit>> edits;
        edits.emplace_back(new DtmfDigitEdit);
        edits.emplace_back(new PrintableTextEdit);
        edits.emplace_back(new NumberEdit);
        edits.emplace_back(new OneToEightEdit);
        edits.emplace_back(new SelcallAddressEdit);
        edits.emplace_back(new ToneSequenceEdit);
        for (auto& e : edits) {
            typeText(*e, "123");
            QCOMPARE(e->text(), QString("123"));
            QTest::keyClick(e.get(), Qt::Key_Backspace);
            QCOMPARE(e->text(), QString("12"));
            QTest::keyClick(e.get(), Qt::Key_Home);
            QTest::keyClick(e.get(), Qt::Key_Delete);
            QCOMPARE(e->text(), QString("2"));
        }
    }

    void refusedKeyKeepsSelection() {
        NumberEdit edit;
        edit.setText("1234");
        edit.selectAll();
        typeText(edit, "x");
        QCOMPARE(edit.text(), QString("1234"));
        QVERIFY(edit.hasSelectedText());
    }

    void programTextIsNotFiltered() {
        PrintableTextEdit text;
        text.setText("A,B;C");
        QCOMPARE(text.text(), QString("A,B;C"));
        OneToEightEdit seq;
        seq.setText("909");
        QCOMPARE(seq.text(), QString("909"));
        seq.insert("0");
        QCOMPARE(seq.text(), QString("9090"));
    }

    void pastedTextIsFiltered() {
        QApplication::clipboard()->setText("1,2;3 x\n4");
        NumberEdit edit;
        edit.setText("9");
        QSignalSpy edited(&edit, &QLineEdit::textEdited);
        QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit.text(), QString("91234"));
        QCOMPARE(edited.count(), 1);

        QApplication::clipboard()->setText("Name, first");
        PrintableTextEdit text;
        text.setMaxLength(9);
        QTest::keyClick(&text, Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(text.text(), QString("Name firs"));

        // A paste with nothing acceptable replaces the selection with nothing.
        QApplication::clipboard()->setText(",,,");
        text.selectAll();
        text.pasteFiltered();
        QCOMPARE(text.text(), QString());
    }

    void contextMenuPasteIsFiltered() {
        QApplication::clipboard()->setText("12,34");
        OneToEightEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(2, 2), edit.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&edit, &ev);
        QMenu* menu = nullptr;
        QTRY_VERIFY((menu = edit.findChild<QMenu*>()) != nullptr || QApplication::activePopupWidget());
        if (!menu) menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        QAction* paste = nullptr;
        for (QAction* a : menu->actions())
            if (a->text().startsWith("&Paste")) paste = a;
        QVERIFY2(paste, "standard menu has no paste action");
        paste->trigger();
        QCOMPARE(edit.text(), QString("1234"));
        menu->close();
    }

    void droppedAndInputMethodTextIsFiltered() {
        SelcallAddressEdit edit;
        QMimeData data;
        data.setText("1f2g3");
        edit.setAcceptDrops(true);
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &enter);
        QDropEvent drop(QPointF(1, 1), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&edit, &drop);
        QCOMPARE(edit.text(), QString("123"));

        QInputMethodEvent im(QString(), {});
        im.setCommitString("zE,5");
        QApplication::sendEvent(&edit, &im);
        QCOMPARE(edit.text(), QString("123E5"));
    }

    // The label alphabet of the core (which files, paste and the command
    // line use) is the desktop's: every Windows-1252 letter or digit as Qt
    // classes it, plus the fixed punctuation.
    void labelAlphabetMatchesTheDesktopsLetters() {
        const QString punctuation = QStringLiteral(" #'()*+-./?\\_");
        for (int b = 0x20; b <= 0xFF; ++b) {
            const char32_t cp = cp1252ToUnicode(static_cast<unsigned char>(b));
            if (cp == 0) continue;
            const QChar c(static_cast<char16_t>(cp));
            const bool desktop = c.isLetter() || c.isDigit() || punctuation.contains(c);
            QVERIFY2(isLabelCharacter(cp) == desktop, qPrintable(QStringLiteral("byte 0x%1").arg(b, 0, 16)));
            QCOMPARE(PrintableTextEdit::accepts(c), desktop);
        }
    }
};

QTEST_MAIN(FilterEditTest)
#include "tst_controls_filteredits.moc"
