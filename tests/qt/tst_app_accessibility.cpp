// Every control reached by Tab carries a name a screen reader can say, and
// no two controls on one page share it ("Programmable Key 1 Short Key", not
// three "Short Key"s).
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QtTest>

#include "app/MainView.h"
#include "app/MainWindow.h"
#include "app/TabHost.h"
#include "qt/tst_app_support.h"

using namespace ks340;

namespace {

// The name set on the control, else the text of the label it is the buddy
// of (what Qt's accessibility hands to a screen reader as its label).
QString accessibleName(QWidget* w) {
    if (!w->accessibleName().trimmed().isEmpty()) return w->accessibleName().trimmed();
    if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text().remove(QLatin1Char('&')).trimmed();
    for (QLabel* label : w->window()->findChildren<QLabel*>())
        if (label->buddy() == w) return label->text().remove(QLatin1Char('&')).trimmed();
    return {};
}

// "name" -> the controls carrying it, for the focusable controls in root.
QMap<QString, QStringList> namesIn(QWidget* root, QStringList& unnamed) {
    QMap<QString, QStringList> names;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy()) continue;
        // Parts of a composite control (the line edit inside a combo box).
        if (qobject_cast<QComboBox*>(w->parentWidget()) || w->window() != root->window()) continue;
        const QString name = accessibleName(w);
        const QString what =
            QStringLiteral("%1 %2").arg(QString::fromLatin1(w->metaObject()->className()), w->objectName());
        if (name.isEmpty())
            unnamed << what;
        else
            names[name] << what;
    }
    return names;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private slots:
    void focusableControlsHaveUniqueNamesOnEachPage() {
        ks340test::Sandbox sandbox;
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        MainView* view = w.view();
        QList<QPair<QString, QWidget*>> parts;
        parts << qMakePair(QStringLiteral("header"), view->modelList()->parentWidget());
        for (int i = 0; i < MainView::PageCount; ++i)
            parts << qMakePair(QString::fromLatin1(MainView::kTabCaptions[i]).trimmed(),
                               static_cast<QWidget*>(view->page(i)));
        QStringList problems;
        for (const auto& [part, root] : parts) {
            QStringList unnamed;
            const QMap<QString, QStringList> names = namesIn(root, unnamed);
            for (const QString& u : unnamed) problems << QStringLiteral("%1: no name: %2").arg(part, u);
            for (auto it = names.begin(); it != names.end(); ++it)
                if (it.value().size() > 1)
                    problems << QStringLiteral("%1: \"%2\" x%3 (%4)")
                                    .arg(part, it.key())
                                    .arg(it.value().size())
                                    .arg(it.value().join(", "));
            QVERIFY2(names.size() > 2, qPrintable(part));
        }
        for (const QString& p : problems) qWarning("%s", qPrintable(p));
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_app_accessibility.moc"
