// Group Setting and Group Set dialogs driven through their controls.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "ChannelTestSupport.h"
#include "controls/FilterEdit.h"
#include "model/Defaults.h"
#include "pages/channel/ChannelGrid.h"
#include "pages/channel/GroupSetDialog.h"
#include "pages/channel/GroupSettingDialog.h"

using namespace ks340;
using namespace ks340::test;

class ChannelGroupsTest : public QObject {
    Q_OBJECT

    RadioSettings settings;
    ChannelTable& table() { return settings.channelTable; }

    // Double-clicks row `group` of `column` and types `text` into Group Set.
    std::shared_ptr<bool> typeCapability(GroupSettingDialog& d, int group, const QString& text, bool ok = true) {
        auto ran = whenModal<GroupSetDialog>([text, ok](GroupSetDialog* set) {
            QTest::keyClicks(set->capabilityField(), text);
            if (ok)
                set->accept();
            else
                set->reject();
        });
        emit d.grid()->cellChosen(group - 1, 1);
        return ran;
    }

private slots:
    void init() { settings = newRadioSettings(); }

    void noGroupsShowsEmptyTotals() {
        GroupSettingDialog d(table());
        QCOMPARE(d.totalCapabilityField()->text(), QStringLiteral("0"));
        QCOMPARE(d.totalUseField()->text(), QStringLiteral("0"));
        QCOMPARE(d.leftCapabilityField()->text(), QStringLiteral("208"));
        QCOMPARE(d.leftUseField()->text(), QStringLiteral("208"));
        QCOMPARE(d.grid()->rowCount(), 13);
        QCOMPARE(d.grid()->horizontalHeaderItem(0)->text(), QStringLiteral("Group"));
        QCOMPARE(d.grid()->horizontalHeaderItem(1)->text(), QStringLiteral("Capability"));
        QCOMPARE(d.grid()->horizontalHeaderItem(2)->text(), QStringLiteral("Use"));
        for (int g = 1; g <= 13; ++g) {
            QCOMPARE(d.grid()->cellText(g - 1, 0), QString::number(g));
            QVERIFY(d.grid()->cellText(g - 1, 1).isEmpty());
            QVERIFY(d.grid()->cellText(g - 1, 2).isEmpty());
        }
    }

    void opensWithTheStoredSizesAndUse() {
        table().groups[2].capability = 20;
        table().groups[2].usedChannels = 5;
        table().groups[7].capability = 30;
        table().groups[7].usedChannels = 30;
        table().channelsLeft = 0;  // stale: recomputed on opening
        GroupSettingDialog d(table());
        QCOMPARE(d.grid()->cellText(1, 1), QStringLiteral("20"));
        QCOMPARE(d.grid()->cellText(1, 2), QStringLiteral("5"));
        QCOMPARE(d.grid()->cellText(6, 1), QStringLiteral("30"));
        QCOMPARE(d.totalCapabilityField()->text(), QStringLiteral("50"));
        QCOMPARE(d.totalUseField()->text(), QStringLiteral("35"));
        QCOMPARE(d.leftCapabilityField()->text(), QStringLiteral("158"));
        QCOMPARE(d.leftUseField()->text(), QStringLiteral("173"));
        QCOMPARE(table().totalCapability, 50);
        QCOMPARE(table().channelsLeft, 158);
    }

    void sizingAGroupSwitchesScanMode() {
        GroupSettingDialog d(table());
        auto ran = typeCapability(d, 1, QStringLiteral("100"));
        QVERIFY(*ran);
        QCOMPARE(d.grid()->cellText(0, 1), QStringLiteral("100"));
        QCOMPARE(d.totalCapabilityField()->text(), QStringLiteral("100"));
        QCOMPARE(d.leftCapabilityField()->text(), QStringLiteral("108"));
        QCOMPARE(table().groups[1].capability, 100);
        QCOMPARE(table().scanMode, 1);
        QCOMPARE(table().groupScanFlag, 1);
        QCOMPARE(table().currentGroup, 1);
        QVERIFY(d.capabilitiesChanged());
        // Use stays as it was.
        QCOMPARE(d.totalUseField()->text(), QStringLiteral("0"));

        // An empty field frees the group again.
        QVERIFY(*typeCapability(d, 1, QString()));
        QVERIFY(d.grid()->cellText(0, 1).isEmpty());
        QCOMPARE(table().groups[1].capability, 0);
        QCOMPARE(table().scanMode, 0);
        QCOMPARE(table().groupScanFlag, 0);
        QCOMPARE(d.leftCapabilityField()->text(), QStringLiteral("208"));
    }

    void moreThanLeftIsIgnored() {
        GroupSettingDialog d(table());
        QVERIFY(*typeCapability(d, 1, QStringLiteral("108")));
        QCOMPARE(table().channelsLeft, 100);
        QVERIFY(*typeCapability(d, 2, QStringLiteral("150")));
        QVERIFY(d.grid()->cellText(1, 1).isEmpty());
        QCOMPARE(table().groups[2].capability, 0);
        QCOMPARE(table().channelsLeft, 100);
        // A group's own channels do not count as free.
        QVERIFY(*typeCapability(d, 1, QStringLiteral("110")));
        QCOMPARE(table().groups[1].capability, 108);
        // Exactly what is left is accepted.
        QVERIFY(*typeCapability(d, 13, QStringLiteral("100")));
        QCOMPARE(table().groups[13].capability, 100);
        QCOMPARE(table().channelsLeft, 0);
        QCOMPARE(table().totalCapability, 208);
    }

    void leadingZerosAreKeptInTheCellAndRunningEndsFollow() {
        GroupSettingDialog d(table());
        QVERIFY(*typeCapability(d, 3, QStringLiteral("007")));
        QCOMPARE(d.grid()->cellText(2, 1), QStringLiteral("007"));
        QCOMPARE(table().groups[3].capability, 7);
        QVERIFY(*typeCapability(d, 1, QStringLiteral("10")));
        QVERIFY(*typeCapability(d, 5, QStringLiteral("20")));
        const int ends[] = {10, 10, 17, 17, 37, 37, 37, 37, 37, 37, 37, 37, 37};
        for (int g = 1; g <= 13; ++g) QCOMPARE(table().groups[g].channelEnd, ends[g - 1]);
        QCOMPARE(d.totalCapabilityField()->text(), QStringLiteral("37"));
        QCOMPARE(d.leftCapabilityField()->text(), QStringLiteral("171"));
    }

    void cancelledGroupSetChangesNothing() {
        GroupSettingDialog d(table());
        QVERIFY(*typeCapability(d, 4, QStringLiteral("12"), false));
        QCOMPARE(table().groups[4].capability, 0);
        QVERIFY(!d.capabilitiesChanged());
    }

    void onlyTheCapabilityColumnOpensGroupSet() {
        GroupSettingDialog d(table());
        for (int column : {0, 2}) {
            bool opened = false;
            auto ran = whenModal<GroupSetDialog>(
                [&opened](GroupSetDialog* set) {
                    opened = true;
                    set->reject();
                },
                40);
            emit d.grid()->cellChosen(3, column);
            QTRY_COMPARE(pendingModalPolls(), 0);  // let the poll run out
            QVERIFY(!opened);
            QVERIFY(!*ran);
            QCOMPARE(table().currentGroup, 4);
        }
    }

    void keyboardOpensGroupSet() {
        GroupSettingDialog d(table());
        d.show();
        QVERIFY(QTest::qWaitForWindowActive(&d));
        d.grid()->setCurrentCell(1, 1);
        d.grid()->setFocus();
        bool focused = false;
        auto ran = whenModal<GroupSetDialog>([&focused](GroupSetDialog* set) {
            // The focus follows the activation; on a busy machine a moment later.
            focused = QTest::qWaitForWindowActive(set) &&
                      QTest::qWaitFor([set] { return QApplication::focusWidget() == set->capabilityField(); }, 5000);
            QTest::keyClicks(set->capabilityField(), QStringLiteral("12"));
            QTest::keyClick(set->capabilityField(), Qt::Key_Return);
        });
        QTest::keyClick(d.grid(), Qt::Key_Return);
        QVERIFY(*ran);
        QVERIFY(focused);
        QCOMPARE(table().groups[2].capability, 12);
        QVERIFY(d.isVisible());  // Enter in the grid does not close the dialog
    }

    void groupSetShowsTheGroupAndTakesDigitsOnly() {
        table().currentGroup = 9;
        GroupSetDialog set(table());
        QCOMPARE(set.windowTitle(), QStringLiteral("Group Set"));
        QCOMPARE(set.groupField()->text(), QStringLiteral("9"));
        QVERIFY(set.groupField()->isReadOnly());
        QVERIFY(set.capabilityText().isEmpty());
        QTest::keyClicks(set.capabilityField(), QStringLiteral("1a2-34"));
        QCOMPARE(set.capabilityText(), QStringLiteral("123"));
        QCOMPARE(set.capabilityField()->accessibleName(), QStringLiteral("Capability"));
    }
};

QTEST_MAIN(ChannelGroupsTest)
#include "tst_channel_groups.moc"
