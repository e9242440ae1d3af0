// Helpers shared by the desktop program's tests: a private configuration
// folder and working directory, and an answerer for modal message boxes.
#pragma once

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include <functional>

namespace ks340test {

// Answers every modal message box that comes up while it runs: `answer`
// chooses the button from the caption and the text. Other modal windows are
// handed to `onOtherModal` (e.g. to close the programming dialog).
class ModalAnswerer : public QObject {
public:
    using Answer = std::function<QMessageBox::StandardButton(const QString& caption, const QString& text)>;
    explicit ModalAnswerer(Answer answer) : answer_(std::move(answer)) {
        // Two timers: while a handler of other windows waits for a message
        // box of its own, the box timer still runs and answers it.
        connect(&timer_, &QTimer::timeout, this, &ModalAnswerer::answerBox);
        connect(&otherTimer_, &QTimer::timeout, this, &ModalAnswerer::handleOther);
        timer_.start(5);
        otherTimer_.start(5);
    }

    std::function<void(QWidget*)> onOtherModal;

    // "caption: text" of every box answered, in order.
    QStringList seen;

    bool sawText(const QString& text) const {
        for (const QString& s : seen)
            if (s.endsWith(QStringLiteral(": ") + text)) return true;
        return false;
    }

private:
    void handleOther() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && !qobject_cast<QMessageBox*>(modal) && onOtherModal) onOtherModal(modal);
    }

    void answerBox() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            // A property, not the address: a later box may reuse the memory.
            if (box->property("answeredByTest").toBool() || !box->isVisible()) return;
            box->setProperty("answeredByTest", true);
            seen << box->windowTitle() + QStringLiteral(": ") + box->text();
            QAbstractButton* button = box->button(answer_(box->windowTitle(), box->text()));
            if (!button) button = box->buttons().value(0);
            QTimer::singleShot(0, button, &QAbstractButton::click);
        }
    }

    Answer answer_;
    QTimer timer_;
    QTimer otherTimer_;
};

// Answers Yes/OK to everything.
inline QMessageBox::StandardButton yesToAll(const QString&, const QString&) { return QMessageBox::Yes; }

// Runs the test in a fresh working directory with its own settings folder
// (the recent-file list), so nothing of the user's is read or written.
class Sandbox {
public:
    Sandbox() {
        old_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }
    ~Sandbox() { QDir::setCurrent(old_); }
    QString path() const { return dir_.path(); }
    QString file(const QString& name) const { return QDir(dir_.path()).filePath(name); }

private:
    QTemporaryDir dir_;
    QString old_;
};

// Call first in main(): settings and data (backups) go to a temporary folder.
inline void isolateSettings(QTemporaryDir& configDir) {
    qputenv("XDG_CONFIG_HOME", (configDir.path() + "/config").toLocal8Bit());
    qputenv("XDG_DATA_HOME", (configDir.path() + "/data").toLocal8Bit());
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
#ifdef KS340_BINARY_DIR
    if (qEnvironmentVariableIsEmpty("KS340_BINARY_DIR")) qputenv("KS340_BINARY_DIR", KS340_BINARY_DIR);
#endif
}

// One notch of the mouse wheel, down, over the middle of `w`.
inline void wheel(QWidget* w) {
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent event(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

// The main window's tool bar button with this tool tip.
template <typename Window>
QAction* toolAction(Window& w, const QString& tip) {
    for (QAction* a : w.toolBar()->actions())
        if (a->toolTip() == tip) return a;
    return nullptr;
}

}  // namespace ks340test

#define KS340_APP_TEST_MAIN(TestClass)           \
    int main(int argc, char** argv) {            \
        QTemporaryDir configDir;                 \
        ks340test::isolateSettings(configDir);   \
        QApplication app(argc, argv);            \
        app.setAttribute(Qt::AA_Use96Dpi, true); \
        TestClass test;                          \
        QTEST_SET_MAIN_SOURCE_PATH               \
        return QTest::qExec(&test, argc, argv);  \
    }
