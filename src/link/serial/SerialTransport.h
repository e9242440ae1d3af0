// The exchange's transport on a real (or pseudo-terminal) serial port.
//
// Opens the port exclusively at 19200 baud 8N1 with RTS on. Every burst of
// received bytes is moved into the ReceiveQueue on the thread that owns this
// object, then received() is emitted (connect it directly to the exchange).
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include "link/ProgrammingExchange.h"
#include "link/ReceiveQueue.h"

namespace ks340 {

class SerialTransport : public QObject, public Transport {
    Q_OBJECT
public:
    static constexpr int kBaudRate = 19200;
    static constexpr int kReadChunk = 2048;

    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;

    // Opens `portName` (a device path or "COMn"); false when the name is
    // empty, the port is missing or in use, or the line settings are
    // refused. A second open while open is refused.
    bool open(const QString& portName);
    void close();
    bool isOpen() const;
    QString portName() const { return portName_; }
    QString errorString() const;

    int write(const std::uint8_t* data, int n) override;
    ReceiveQueue& queue() override { return queue_; }

signals:
    // New bytes are queued.
    void received();
    // A burst did not fit in the queue and was dropped ("buff full").
    void bufferFull();
    // The port went away while open (device removed, line hung up).
    void lost();

private:
    void drain();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString portName_;
    ReceiveQueue queue_;
    bool lostReported_ = false;
};

}  // namespace ks340
