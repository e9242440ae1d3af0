// One read or write of the radio's memory image over a serial port.
//
// Used by both ks340ctl and the programming dialog: open the port, start a
// read or write, follow progress(), and wait for finished(). Everything runs
// on the thread that owns the session, driven by its event loop.
#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "link/ProgrammingExchange.h"
#include "link/serial/PortNames.h"

namespace ks340 {

class SerialTransport;
class WatchdogTimer;

class RadioSession : public QObject {
    Q_OBJECT
public:
    explicit RadioSession(QObject* parent = nullptr);
    ~RadioSession() override;

    // Opens a port by name (device path or "COMn"), by COM number, or as a
    // resolved --port argument. On failure openErrorMessage() holds
    // "Com%d Port Open Error!!" (or the device path in place of Com%d).
    bool open(const QString& portName);
    bool openComNumber(int comNumber);
    bool open(const PortChoice& choice);
    void close();
    bool isOpen() const;
    QString openErrorMessage() const { return openError_; }

    // Start (or restart) a transfer. With the port closed (never opened, or
    // lost) the transfer fails at once: finished(false, "Communication
    // Error!!") is emitted before these return.
    void startRead();
    void startRead(const LinkImage& base);
    void startWrite(const LinkImage& image);
    // Abandons a running transfer quietly.
    void cancel();

    bool busy() const;
    bool running() const;
    ProgrammingExchange::State state() const;
    int errorCount() const;
    // The written image, or the image read (complete after finished(true)).
    const LinkImage& image() const;

    // Sees every byte each way while set (sent: true for bytes to the
    // radio), for a transfer trace. Set or clear it between transfers.
    using TraceObserver = std::function<void(bool sent, const std::uint8_t* data, int n)>;
    void setTraceObserver(TraceObserver observer);

signals:
    // Progress bar position: done in 0..total (write 509, read 510).
    void progress(int done, int total);
    // True while blocks are exchanged (buttons disabled).
    void busyChanged(bool busy);
    // End of a transfer: "Writing Data Complete!", "Reading Data Complete!"
    // or "Communication Error!!".
    void finished(bool ok, const QString& message);
    // A received burst was dropped because the queue was full.
    void bufferFull();

private:
    class Listener;
    class Tap;
    void handleLost();
    void traceReceived();

    std::unique_ptr<Listener> listener_;
    SerialTransport* transport_;
    WatchdogTimer* timer_;
    std::unique_ptr<Tap> tap_;
    std::unique_ptr<ProgrammingExchange> exchange_;
    TraceObserver trace_;
    int tracedQueued_ = 0;  // bytes still queued that the trace has already seen
    QString openError_;
};

}  // namespace ks340
