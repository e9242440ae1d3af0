// Helpers for the channel page tests: answering modal dialogs and message
// boxes that the code under test opens with exec().
#pragma once

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <memory>

namespace ks340::test {

// Number of whenModal polls still waiting for their widget.
inline int& pendingModalPolls() {
    static int count = 0;
    return count;
}

// Runs act on the first modal widget of type T that becomes active (polled
// every 5 ms). Returns a flag that tells whether act ran. When no such widget
// shows up within about two seconds the active modal widget is closed so
// that the test fails instead of hanging.
template <typename T>
std::shared_ptr<bool> whenModal(std::function<void(T*)> act, int tries = 400) {
    auto ran = std::make_shared<bool>(false);
    ++pendingModalPolls();
    auto poll = std::make_shared<std::function<void(int)>>();
    *poll = [=](int left) {
        QTimer::singleShot(5, [=] {
            if (T* w = qobject_cast<T*>(QApplication::activeModalWidget()); w && w->isVisible()) {
                *ran = true;
                --pendingModalPolls();
                *poll = nullptr;  // break the cycle
                QPointer<T> guard(w);
                act(w);
                // A check that failed inside act returned early: close the
                // widget so that the test reports instead of hanging.
                if (guard && guard->isVisible() && QTest::currentTestFailed()) guard->close();
                return;
            }
            if (left > 0) {
                (*poll)(left - 1);
                return;
            }
            --pendingModalPolls();
            *poll = nullptr;
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
        });
    };
    (*poll)(tries);
    return ran;
}

// What a message box said and how it was answered.
struct BoxSeen {
    QString title;
    QString text;
    bool seen = false;
};

// Answers the next message box with the given button and records its texts.
inline std::shared_ptr<BoxSeen> answerBox(QMessageBox::StandardButton answer) {
    auto seen = std::make_shared<BoxSeen>();
    whenModal<QMessageBox>([=](QMessageBox* box) {
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->seen = true;
        if (QAbstractButton* b = box->button(answer))
            b->click();
        else
            box->reject();
    });
    return seen;
}

}  // namespace ks340::test
