#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "model/SettingFile.h"
#include "model/Signalling.h"
#include "pages/signalling/ToneSequencePage.h"

using namespace ks340;

namespace {

// Answers the message boxes the page shows, noting what they said.
class MessageCatcher : public QObject {
public:
    MessageCatcher() {
        timer_.setInterval(10);
        connect(&timer_, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts << box->text();
            titles << box->windowTitle();
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }
    QStringList texts;
    QStringList titles;

private:
    QTimer timer_;
};

const std::array<int, 15> kCcir{1981, 1124, 1197, 1275, 1358, 1446, 1540, 1640, 1747, 1860, 2400, 930, 2247, 991, 2110};

}  // namespace

class ToneSequencePageTest : public QObject {
    Q_OBJECT

    RadioSettings settings_;
    ViewFlags flags_;
    ToneSequencePage* page_ = nullptr;

    void leave(QLineEdit* field) {
        page_->toneSetList()->setFocus();
        QTRY_VERIFY(!field->hasFocus());
    }

    // Replaces the field's text by typing, then moves the focus away.
    void typeAndLeave(QLineEdit* field, const QString& text) {
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        field->selectAll();
        QTest::keyClick(field, Qt::Key_Delete);
        QTest::keyClicks(field, text);
        leave(field);
    }

    bool chooseSet(const QString& name) {
        const int index = page_->toneSetList()->findText(name);
        if (index < 0) return false;
        page_->toneSetList()->setCurrentIndex(index);
        return true;
    }

private slots:
    void init() {
        settings_ = RadioSettings{};
        flags_ = ViewFlags{};
        resetSelcallDecodeSettings(settings_.selcallDecode);
        page_ = new ToneSequencePage(settings_, flags_);
        page_->initialisePage();
        page_->resize(1000, 700);
        page_->show();
        page_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page_));
    }
    void cleanup() {
        delete page_;
        page_ = nullptr;
    }

    void initialPage() {
        ToneSequenceSettings expected;
        resetToneSequenceSettings(expected);
        QCOMPARE(settings_.toneSequence, expected);
        QStringList names;
        for (int i = 0; i < page_->toneSetList()->count(); ++i) names << page_->toneSetList()->itemText(i);
        QCOMPARE(names, QStringList({"EEA", "ZVEI1", "ZVEI2", "ZVEI3/DZVEI", "PZVEI", "CCIR", "CCITT", "User"}));
        QCOMPARE(page_->toneSetList()->currentText(), QString("EEA"));
        QCOMPARE(page_->toneField(0)->text(), QString("1981"));
        QCOMPARE(page_->toneField(10)->text(), QString("1055"));
        QCOMPARE(page_->toneField(14)->text(), QString("2110"));
        for (int i = 0; i < 15; ++i) QVERIFY(page_->toneField(i)->isReadOnly());
        QCOMPARE(page_->toneLengthField()->text(), QString("40"));
        QCOMPARE(page_->sequenceField(1)->text(), QString("12XX5"));
        QCOMPARE(page_->sequenceField(2)->text(), QString("54321"));
        for (int n = 1; n <= 8; ++n) {
            const bool locked = n > 2;
            QCOMPARE(page_->leadInTimeField(n)->isReadOnly(), locked);
            QCOMPARE(page_->firstToneTimeField(n)->isReadOnly(), locked);
            QCOMPARE(page_->leadOutTimeField(n)->isReadOnly(), locked);
            QCOMPARE(page_->firstToneTimeField(n)->text(), QString("40"));
            QCOMPARE(page_->sequenceField(n)->maxLength(), 8);
            QCOMPARE(page_->leadInTimeField(n)->maxLength(), 4);
        }
        page_->collectLongestLeadIn();
        QCOMPARE(settings_.toneSequence.longestLeadInTime, 300);
    }

    void timeSnapping_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("snapped");
        QTest::newRow("3") << "3" << 5;
        QTest::newRow("7") << "7" << 5;
        QTest::newRow("8") << "8" << 10;
        QTest::newRow("12") << "12" << 10;
        QTest::newRow("1274") << "1274" << 1275;
        QTest::newRow("9999") << "9999" << 1275;
        QTest::newRow("empty") << "" << 0;
        QTest::newRow("multiple of 5") << "640" << 640;
    }
    void timeSnapping() {
        QFETCH(QString, typed);
        QFETCH(int, snapped);
        const ToneSequenceSettings before = settings_.toneSequence;
        typeAndLeave(page_->leadInTimeField(2), typed);
        QCOMPARE(page_->leadInTimeField(2)->text(), QString::number(snapped));
        QCOMPARE(settings_.toneSequence.sequences[2].leadInTime, snapped);
        typeAndLeave(page_->firstToneTimeField(1), typed);
        QCOMPARE(settings_.toneSequence.sequences[1].firstToneTime, snapped);
        typeAndLeave(page_->leadOutTimeField(1), typed);
        QCOMPARE(page_->leadOutTimeField(1)->text(), QString::number(snapped));
        QCOMPARE(settings_.toneSequence.sequences[1].leadOutTime, snapped);
        // Each field changes only its own value.
        ToneSequenceSettings expected = before;
        expected.sequences[2].leadInTime = snapped;
        expected.sequences[1].firstToneTime = snapped;
        expected.sequences[1].leadOutTime = snapped;
        QCOMPARE(settings_.toneSequence, expected);
    }

    void toneLengthAlsoSetsTheDecoder() {
        typeAndLeave(page_->toneLengthField(), "93");
        QCOMPARE(page_->toneLengthField()->text(), QString("95"));
        QCOMPARE(settings_.toneSequence.toneLength, 95);
        QCOMPARE(settings_.selcallDecode.decoderToneLength, 95);
    }

    void toneFrequencyCheck_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("too low") << "12"
                                 << "400";
        QTest::newRow("just below") << "399"
                                    << "400";
        QTest::newRow("too high") << "3001"
                                  << "3000";
        QTest::newRow("in range") << "2999"
                                  << "2999";
        QTest::newRow("zero") << "0"
                              << "0";
        QTest::newRow("empty") << ""
                               << "0";
    }
    void toneFrequencyCheck() {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QVERIFY(chooseSet("User"));
        QVERIFY(!page_->toneField(3)->isReadOnly());
        typeAndLeave(page_->toneField(3), typed);
        QCOMPARE(page_->toneField(3)->text(), shown);
        QCOMPARE(settings_.toneSequence.toneFrequency[3], shown.toInt());
    }

    void ccirThenUser() {
        QSignalSpy spy(page_, &TabPage::settingsEdited);
        QVERIFY(chooseSet("CCIR"));
        QCOMPARE(settings_.toneSequence.toneset, 5);
        QCOMPARE(settings_.toneSequence.toneLength, 100);
        QCOMPARE(page_->toneLengthField()->text(), QString("100"));
        QCOMPARE(settings_.selcallDecode.decoderToneLength, 100);
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(page_->firstToneTimeField(n)->text(), QString("100"));
            QCOMPARE(settings_.toneSequence.sequences[static_cast<std::size_t>(n)].firstToneTime, 100);
        }
        for (int i = 0; i < 15; ++i) {
            QCOMPARE(page_->toneField(i)->text(), QString::number(kCcir[static_cast<std::size_t>(i)]));
            QVERIFY(page_->toneField(i)->isReadOnly());
        }
        QCOMPARE(settings_.toneSequence.toneFrequency, kCcir);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), QString("Set Toneset"));

        QVERIFY(chooseSet("User"));
        QCOMPARE(settings_.toneSequence.toneset, 7);
        for (int i = 0; i < 15; ++i) {
            QCOMPARE(page_->toneField(i)->text(), QString::number(kCcir[static_cast<std::size_t>(i)]));
            QVERIFY(!page_->toneField(i)->isReadOnly());
        }
        QCOMPARE(settings_.toneSequence.toneFrequency, kCcir);
        QCOMPARE(settings_.toneSequence.toneLength, 100);
        // Collected as the User set's own tones.
        page_->collectIntoSettings();
        QCOMPARE(settings_.toneSequence.userTone[10], std::string("2400"));
        QCOMPARE(settings_.toneSequence.toneFrequency, kCcir);
    }

    void sequenceLimit_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("SSKK") << "SSKK" << true;
        QTest::newRow("sSkK") << "sSkK" << true;
        QTest::newRow("12XX5") << "12XX5" << true;
        QTest::newRow("SSS") << "SSS" << false;
        QTest::newRow("SsS") << "SsS" << false;
        QTest::newRow("1KKK") << "1KKK" << false;
        QTest::newRow("kKk") << "kKk" << false;
    }
    void sequenceLimit() {
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        MessageCatcher catcher;
        ToneSequenceEdit* field = page_->sequenceField(3);
        typeAndLeave(field, typed);
        if (accepted) {
            QTest::qWait(50);
            QVERIFY(catcher.texts.isEmpty());
            QCOMPARE(field->text(), typed);
            QCOMPARE(settings_.toneSequence.sequences[3].sequence, typed.toStdString());
            QVERIFY(!page_->leadInTimeField(3)->isReadOnly());
            return;
        }
        QTRY_COMPARE(catcher.texts, QStringList({"Check Your Input Data!"}));
        QCOMPARE(catcher.titles, QStringList({"Info"}));
        QVERIFY(field->text().isEmpty());
        QVERIFY(settings_.toneSequence.sequences[3].sequence.empty());
        QVERIFY(page_->leadInTimeField(3)->isReadOnly());
        QVERIFY(page_->leadOutTimeField(3)->isReadOnly());
        // The focus goes back to the field once the window is active again.
        QTRY_COMPARE(page_->focusWidget(), field);
        page_->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(page_));
        QTRY_VERIFY(field->hasFocus());
    }

    void sequenceStoredOnEveryKeystroke() {
        ToneSequenceEdit* field = page_->sequenceField(4);
        field->setFocus();
        QTRY_VERIFY(field->hasFocus());
        QTest::keyClicks(field, "1a");
        QCOMPARE(settings_.toneSequence.sequences[4].sequence, std::string("1a"));
        QVERIFY(!page_->firstToneTimeField(4)->isReadOnly());
        // Characters outside the sequence alphabet are dropped.
        QTest::keyClicks(field, "zF,k");
        QCOMPARE(settings_.toneSequence.sequences[4].sequence, std::string("1ak"));
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QTest::keyClick(field, Qt::Key_Backspace);
        QVERIFY(settings_.toneSequence.sequences[4].sequence.empty());
        QVERIFY(page_->firstToneTimeField(4)->isReadOnly());
    }

    void sequence5LeadIn() {
        typeAndLeave(page_->leadInTimeField(1), "100");
        typeAndLeave(page_->leadInTimeField(2), "200");
        page_->collectLongestLeadIn();
        QCOMPARE(settings_.toneSequence.longestLeadInTime, 200);

        ToneSequenceEdit* five = page_->sequenceField(5);
        five->setFocus();
        QTRY_VERIFY(five->hasFocus());
        QTest::keyClicks(five, "9");
        QCOMPARE(page_->leadInTimeField(5)->text(), QString("300"));
        QCOMPARE(settings_.toneSequence.sequences[5].leadInTime, 300);
        QVERIFY(!page_->leadInTimeField(5)->isReadOnly());
        page_->collectLongestLeadIn();
        QCOMPARE(settings_.toneSequence.longestLeadInTime, 300);
        // Other sequences do not get the rule.
        typeAndLeave(page_->sequenceField(6), "77");
        QCOMPARE(page_->leadInTimeField(6)->text(), QString("0"));

        // The longest lead-in reads the fields as shown, before they are left.
        QLineEdit* lead = page_->leadInTimeField(5);
        lead->setFocus();
        QTRY_VERIFY(lead->hasFocus());
        lead->selectAll();
        QTest::keyClicks(lead, "1000");
        page_->collectIntoSettings();  // runs the longest lead-in step too
        QCOMPARE(settings_.toneSequence.longestLeadInTime, 1000);
        QCOMPARE(settings_.toneSequence.sequences[5].leadInTime, 300);
    }

    void cyclePairs() {
        QVERIFY(chooseSet("User"));
        const int frequencies[] = {1981, 2400, 400, 3000, 697};
        for (int i = 0; i < 5; ++i) typeAndLeave(page_->toneField(i), QString::number(frequencies[i]));
        typeAndLeave(page_->toneField(5), "0");
        page_->collectIntoSettings();
        const ToneSequenceSettings& t = settings_.toneSequence;
        const int counts[] = {84, 102, 17, 127, 29, 0};
        const int remainders[] = {2, 1, 1, 2, 6, 0};
        for (std::size_t i = 0; i < 6; ++i) {
            QCOMPARE(t.toneCycleCount[i], counts[i]);
            QCOMPARE(t.toneCycleRemainder[i], remainders[i]);
        }
        QCOMPARE(t.userTone[0], std::string("1981"));
        QCOMPARE(t.userTone[4], std::string("697"));
        QCOMPARE(t.toneFrequency[4], 697);
    }

    void refreshShowsTheSetsOwnTones() {
        ToneSequenceSettings& t = settings_.toneSequence;
        t.toneset = 1;  // ZVEI1
        t.toneFrequency.fill(1234);
        t.sequences[7].sequence = "S1K";
        t.sequences[7].leadOutTime = 85;
        const RadioSettings before = settings_;
        flags_.fileLoadActive = true;
        page_->refreshFromSettings();
        flags_.fileLoadActive = false;
        QVERIFY(settings_ == before);
        QCOMPARE(page_->toneSetList()->currentText(), QString("ZVEI1"));
        QCOMPARE(page_->toneField(0)->text(), QString("2400"));
        QCOMPARE(page_->toneField(10)->text(), QString("2800"));
        QCOMPARE(page_->sequenceField(7)->text(), QString("S1K"));
        QCOMPARE(page_->leadOutTimeField(7)->text(), QString("85"));
        QVERIFY(!page_->leadOutTimeField(7)->isReadOnly());
        // Leaving a locked field still stores what it shows.
        page_->toneField(1)->setFocus();
        QTRY_VERIFY(page_->toneField(1)->hasFocus());
        leave(page_->toneField(1));
        QCOMPARE(t.toneFrequency[1], 1060);
        // What the radio gets is what the page shows.
        page_->collectIntoSettings();
        QCOMPARE(t.toneFrequency[0], 2400);
        QCOMPARE(t.toneCycleCount[0], 102);

        t.toneset = 7;
        t.userTone[2] = "880";
        page_->refreshFromSettings();
        QCOMPARE(page_->toneField(2)->text(), QString("880"));
        QVERIFY(!page_->toneField(2)->isReadOnly());
    }

    void savedFileOpensTheSame() {
        QVERIFY(chooseSet("PZVEI"));
        QVERIFY(chooseSet("User"));
        typeAndLeave(page_->toneField(14), "2750");
        typeAndLeave(page_->toneField(7), "12");
        typeAndLeave(page_->toneLengthField(), "62");
        typeAndLeave(page_->sequenceField(1), "");
        typeAndLeave(page_->sequenceField(3), "ABKS");
        typeAndLeave(page_->sequenceField(8), "x0e");
        typeAndLeave(page_->leadInTimeField(3), "456");
        typeAndLeave(page_->firstToneTimeField(8), "33");
        typeAndLeave(page_->leadOutTimeField(2), "1300");

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const std::string path = dir.filePath("tones.ks3").toStdString();
        page_->collectIntoSettings();
        QVERIFY(writeSettingFile(path, settings_).ok);

        RadioSettings loaded;
        ViewFlags loadedFlags;
        ToneSequencePage reopened(loaded, loadedFlags);
        reopened.initialisePage();
        loadedFlags.fileLoadActive = true;
        QVERIFY(readSettingFile(path, loaded).ok);
        reopened.refreshFromSettings();
        loadedFlags.fileLoadActive = false;

        QCOMPARE(loaded.toneSequence.toneset, 7);
        QCOMPARE(loaded.toneSequence.userTone, settings_.toneSequence.userTone);
        QCOMPARE(loaded.toneSequence.toneFrequency, settings_.toneSequence.toneFrequency);
        QCOMPARE(loaded.toneSequence.toneLength, 60);
        QCOMPARE(loaded.selcallDecode.decoderToneLength, 60);
        QCOMPARE(loaded.toneSequence.sequences, settings_.toneSequence.sequences);
        QCOMPARE(reopened.toneSetList()->currentText(), QString("User"));
        for (int i = 0; i < 15; ++i) {
            QCOMPARE(reopened.toneField(i)->text(), page_->toneField(i)->text());
            QCOMPARE(reopened.toneField(i)->isReadOnly(), false);
        }
        QCOMPARE(reopened.toneField(7)->text(), QString("400"));
        QCOMPARE(reopened.toneLengthField()->text(), page_->toneLengthField()->text());
        for (int n = 1; n <= 8; ++n) {
            QCOMPARE(reopened.sequenceField(n)->text(), page_->sequenceField(n)->text());
            QCOMPARE(reopened.leadInTimeField(n)->text(), page_->leadInTimeField(n)->text());
            QCOMPARE(reopened.firstToneTimeField(n)->text(), page_->firstToneTimeField(n)->text());
            QCOMPARE(reopened.leadOutTimeField(n)->text(), page_->leadOutTimeField(n)->text());
            QCOMPARE(reopened.leadInTimeField(n)->isReadOnly(), page_->leadInTimeField(n)->isReadOnly());
        }
        QCOMPARE(reopened.leadOutTimeField(2)->text(), QString("1275"));
        QVERIFY(reopened.leadInTimeField(1)->isReadOnly());
    }

    void fitsTheTabAreaWithLabelsReadable() {
        // The tab area of the main window at its default size.
        const QSize tabArea(1000, 590);
        QVERIFY(page_->minimumSizeHint().width() <= tabArea.width());
        QVERIFY(page_->minimumSizeHint().height() <= tabArea.height());
        page_->resize(tabArea);
        QTRY_COMPARE(page_->size(), tabArea);
        for (QLabel* label : page_->findChildren<QLabel*>()) {
            QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
            QVERIFY(label->geometry().bottom() < tabArea.height());
            if (label->buddy()) QCOMPARE(label->buddy()->accessibleName(), label->text());
        }
        for (QLineEdit* field : page_->findChildren<QLineEdit*>()) QVERIFY(!field->accessibleName().isEmpty());
        // A picture of the page for a look by eye: <build>/screenshots.
        const QString dirName = QString::fromLocal8Bit(KS340_BINARY_DIR) + "/screenshots";
        QVERIFY(QDir().mkpath(dirName));
        QVERIFY(page_->grab().save(QDir(dirName).filePath("tone-sequence-page.png")));
    }
};

QTEST_MAIN(ToneSequencePageTest)
#include "tst_signalling_tone_page.moc"
