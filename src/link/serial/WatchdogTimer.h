// One-shot watchdog on a QTimer: expiry is delivered on the thread that owns
// it, the same thread as the exchange.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>

#include "link/ProgrammingExchange.h"

namespace ks340 {

class WatchdogTimer : public QObject, public Timer {
    Q_OBJECT
public:
    explicit WatchdogTimer(std::function<void()> onExpired, QObject* parent = nullptr);

    void start(int milliseconds) override;
    void stop() override;
    bool isActive() const { return timer_.isActive(); }

private:
    QTimer timer_;
    std::function<void()> onExpired_;
};

}  // namespace ks340
