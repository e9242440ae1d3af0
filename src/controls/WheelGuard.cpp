#include "controls/WheelGuard.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

namespace ks340 {

namespace {

void guard(QComboBox* list, QObject* filter) {
    list->setFocusPolicy(Qt::StrongFocus);
    // Installing twice would still call the filter once; removing first
    // keeps a second install() from stacking anything.
    list->removeEventFilter(filter);
    list->installEventFilter(filter);
}

}  // namespace

WheelGuard* WheelGuard::instance() {
    static WheelGuard* guard = new WheelGuard(QCoreApplication::instance());
    return guard;
}

void WheelGuard::install(QWidget* root) {
    if (!root) return;
    WheelGuard* filter = instance();
    if (auto* list = qobject_cast<QComboBox*>(root)) guard(list, filter);
    for (QComboBox* list : root->findChildren<QComboBox*>()) guard(list, filter);
}

bool WheelGuard::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && !widget->hasFocus()) {
            // Not accepted: the application hands the wheel to the parent.
            event->ignore();
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ks340
