#include "link/serial/WatchdogTimer.h"

#include <utility>

namespace ks340 {

WatchdogTimer::WatchdogTimer(std::function<void()> onExpired, QObject* parent)
    : QObject(parent), timer_(this), onExpired_(std::move(onExpired)) {
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, [this] {
        if (onExpired_) onExpired_();
    });
}

void WatchdogTimer::start(int milliseconds) { timer_.start(milliseconds); }

void WatchdogTimer::stop() { timer_.stop(); }

}  // namespace ks340
