// Lists that ignore the mouse wheel unless they have the keyboard focus, so
// that scrolling over a page never changes a setting by accident. The wheel
// then goes to the page (which scrolls) instead.
#pragma once

#include <QObject>

class QWidget;

namespace ks340 {

class WheelGuard : public QObject {
public:
    // Guards every list inside `root` (and `root` itself when it is one):
    // they take the focus by click or Tab only (Qt::StrongFocus) and pass
    // the wheel on while they do not have the focus.
    static void install(QWidget* root);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit WheelGuard(QObject* parent) : QObject(parent) {}
    static WheelGuard* instance();
};

}  // namespace ks340
