// USB serial adapters hold received bytes back for their latency timer
// (often 16 ms) before they pass them on: with one short reply per packet
// that would add seconds to every transfer. The driver's low-latency mode
// and a latency timer of 1 ms avoid it.
#pragma once

#include <QString>

namespace ks340 {

// Asks the serial driver of the open descriptor for low-latency mode
// (Linux: ASYNC_LOW_LATENCY through TIOCSSERIAL). Ports that have no such
// setting (pseudo-terminals, other platforms) are left as they are.
void requestLowLatency(int fd);

// The latency timer of the USB adapter behind `devicePath` in milliseconds
// (Linux: /sys/class/tty/NAME/device/latency_timer), or -1 when the device
// has none. `sysRoot` replaces /sys in tests.
int adapterLatencyTimerMs(const QString& devicePath, const QString& sysRoot = QStringLiteral("/sys"));

// Above this the port diagnosis names the latency timer.
inline constexpr int kSlowLatencyTimerMs = 2;

}  // namespace ks340
