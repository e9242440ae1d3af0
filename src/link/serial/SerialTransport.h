// The exchange's transport on a real (or pseudo-terminal) serial port.
//
// Opens the port exclusively at 19200 baud 8N1 with RTS on. Every burst of
// received bytes is moved into the ReceiveQueue on the thread that owns this
// object, then received() is emitted (connect it directly to the exchange).
// Closing first waits, bounded, until every byte written has left the port:
// the last acknowledgement of a read must reach the radio.
#pragma once

#include <QObject>
#include <QSerialPort>
#include <QString>

#include "link/ReceiveQueue.h"
#include "link/TransferJob.h"
#include "link/serial/PortNames.h"

namespace ks340 {

class SerialTransport : public QObject, public TransferPort {
    Q_OBJECT
public:
    static constexpr int kBaudRate = 19200;
    static constexpr int kReadChunk = 2048;
    static constexpr int kCloseDrainMs = 250;

    explicit SerialTransport(QObject* parent = nullptr);
    ~SerialTransport() override;

    // Opens `portName` (a device path or "COMn"); false when the name is
    // empty, the port is missing or in use, or the line settings are
    // refused. A second open while open is refused. A stale lock file of the
    // port is taken over first (openNote() says so).
    bool open(const QString& portName);
    // The port open(message, reason) opens, named as the user chose it.
    void setPort(const PortChoice& choice) { choice_ = choice; }
    const PortChoice& port() const { return choice_; }
    void close() override;
    bool isOpen() const override;
    QString portName() const { return portName_; }
    QString errorString() const;

    // TransferPort
    bool open(std::string& message, std::string& reason) override;
    void drain(int timeoutMs) override;
    std::string name() const override;
    std::string openNote() const override { return note_.toStdString(); }

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
    void takeReceived();
    void onError(QSerialPort::SerialPortError error);

    QSerialPort port_;
    QString portName_;
    PortChoice choice_;
    QString note_;
    ReceiveQueue queue_;
    bool lostReported_ = false;
};

}  // namespace ks340
