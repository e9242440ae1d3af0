// One setting file, two programs: the desktop program's write (the view's
// collect steps and the programming dialog's encoding) and ks340ctl encode
// send the same bytes.
#include <QToolBar>
#include <QtTest>

#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/ProgrammingDialog.h"
#include "image/ImageTestSupport.h"
#include "model/SettingFile.h"
#include "qt/cli_sim_support.h"
#include "qt/tst_app_support.h"

using namespace ks340;
using ks340test::ModalAnswerer;
using ks340test::Sandbox;
using ks340test::toolAction;

namespace {

// The image the desktop program's "Write to Radio" encodes for the file
// (the port cannot be opened, so nothing is sent).
QByteArray desktopImage(const QString& file, const QString& noPort) {
    MainWindow w;
    MainView* v = w.view();
    if (!v->openFile(file)) return {};
    v->chooseDevicePath(noPort);
    ModalAnswerer answer(ks340test::yesToAll);
    QByteArray bytes;
    QObject::connect(v, &MainView::programmingDialogOpened, v, [&](ProgrammingDialog* d) {
        bytes = QByteArray(reinterpret_cast<const char*>(d->image().data()), int(d->image().size()));
    });
    toolAction(w, "Write to Radio")->trigger();
    return bytes;
}

}  // namespace

class SameBytesTest : public QObject {
    Q_OBJECT
private slots:
    void desktopAndCommandLineEncodeAFileAlike_data() {
        QTest::addColumn<int>("seed");
        QTest::newRow("built-in set, other tones in the file") << 0;
        QTest::newRow("random configuration 1") << 1;
        QTest::newRow("random configuration 2") << 2;
    }

    void desktopAndCommandLineEncodeAFileAlike() {
        QFETCH(int, seed);
        Sandbox sandbox;
        RadioSettings s = newRadioSettings();
        if (seed == 0) {
            s.header.radioBand = kBandVhf2;
            s.channelTable.groups[0].channels[1].rxFrequency = "150.00500";
            s.toneSequence.toneset = 1;  // ZVEI1
            s.toneSequence.sequences[3].sequence = "12345";
        } else {
            s = test::RandomConfig(static_cast<std::uint32_t>(seed)).make();
            prepareForSave(s);
        }
        std::string text = formatSettingFile(s);
        if (seed == 0) {
            // Hand-edited: the tone frequencies are not ZVEI1's.
            RadioSettings odd = s;
            for (int k = 0; k < kToneCount; ++k) odd.toneSequence.toneFrequency[static_cast<std::size_t>(k)] = 700 + k;
            text = formatSettingFile(odd);
            QVERIFY(text != formatSettingFile(s));
        }
        const QString file = sandbox.file("in.ks3");
        QVERIFY(ks340test::writeFile(file, QByteArray::fromStdString(text)));

        const ks340test::Run run = ks340test::runCtl({"encode", file, "-o", sandbox.file("cli.img")});
        QCOMPARE(run.exitCode, 0);
        const QByteArray cli = ks340test::readFile(sandbox.file("cli.img"));
        QCOMPARE(cli.size(), 8192);

        const QByteArray desktop = desktopImage(file, sandbox.file("no-such-tty"));
        QCOMPARE(desktop.size(), 8192);
        QCOMPARE(desktop.toHex(), cli.toHex());
    }
};

KS340_APP_TEST_MAIN(SameBytesTest)
#include "tst_app_same_bytes.moc"
