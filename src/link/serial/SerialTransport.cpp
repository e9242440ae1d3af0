#include "link/serial/SerialTransport.h"

#include <QDeadlineTimer>
#include <QThread>

#include "link/serial/PortInfo.h"

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif

namespace ks340 {

SerialTransport::SerialTransport(QObject* parent) : QObject(parent), port_(this) {
    connect(&port_, &QSerialPort::readyRead, this, &SerialTransport::takeReceived);
    connect(&port_, &QSerialPort::errorOccurred, this, &SerialTransport::onError);
}

SerialTransport::~SerialTransport() { close(); }

bool SerialTransport::open(const QString& portName) {
    note_.clear();
    if (port_.isOpen() || portName.isEmpty()) return false;
    portName_ = portName;
    note_ = takeOverStaleSerialLock(portName);
    port_.setPortName(portName);
    // QSerialPort opens the device exclusively (lock file and TIOCEXCL).
    if (!port_.open(QIODevice::ReadWrite)) return false;
    if (!port_.setBaudRate(kBaudRate) || !port_.setDataBits(QSerialPort::Data8) ||
        !port_.setParity(QSerialPort::NoParity) || !port_.setStopBits(QSerialPort::OneStop) ||
        !port_.setFlowControl(QSerialPort::NoFlowControl)) {
        port_.close();
        return false;
    }
    // Pseudo-terminals have no modem lines: RTS is best effort.
    port_.setRequestToSend(true);
    port_.clear(QSerialPort::AllDirections);
    port_.clearError();
    queue_.clear();
    lostReported_ = false;
    return true;
}

bool SerialTransport::open(std::string& message, std::string& reason) {
    if (port_.isOpen()) {
        message = portOpenErrorMessage(choice_).toStdString();
        reason = "the port is open already";
        return false;
    }
    if (open(choice_.name)) return true;
    message = portOpenErrorMessage(choice_).toStdString();
    reason = choice_.name.isEmpty() ? std::string() : explainPortOpenFailure(choice_.name).toStdString();
    return false;
}

std::string SerialTransport::name() const {
    const QString shown = portName_.isEmpty() ? choice_.name : portName_;
    return shown.toStdString();
}

void SerialTransport::drain(int timeoutMs) {
    if (!port_.isOpen()) return;
    const QDeadlineTimer deadline(timeoutMs);
    // Qt's own buffer first, then the driver's output queue.
    while (port_.bytesToWrite() > 0 && !deadline.hasExpired())
        if (!port_.waitForBytesWritten(int(deadline.remainingTime()))) break;
#ifdef Q_OS_UNIX
    const int fd = int(port_.handle());
    if (fd < 0) return;
    int queued = 0;
    while (::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 && !deadline.hasExpired()) QThread::usleep(200);
    // Nothing left in the queue: tcdrain now waits only for the last
    // characters in the transmitter, well under the time-out. With bytes
    // still queued it could wait for ever, so it is skipped.
    if (queued == 0) ::tcdrain(fd);
#endif
}

void SerialTransport::close() {
    if (!port_.isOpen()) return;
    drain(kCloseDrainMs);
    // Only received bytes are thrown away: discarding output would lose
    // what has not reached the radio yet.
    port_.clear(QSerialPort::Input);
    port_.close();
}

bool SerialTransport::isOpen() const { return port_.isOpen(); }

QString SerialTransport::errorString() const { return port_.errorString(); }

int SerialTransport::write(const std::uint8_t* data, int n) {
    if (!port_.isOpen() || n <= 0) return 0;
    const qint64 written = port_.write(reinterpret_cast<const char*>(data), n);
    if (written < 0) {
        port_.clearError();
        return 0;
    }
    // Hand the bytes to the driver now rather than on the next event loop pass.
    port_.flush();
    return static_cast<int>(written);
}

void SerialTransport::takeReceived() {
    char buffer[kReadChunk];
    for (;;) {
        const qint64 n = port_.read(buffer, sizeof buffer);
        if (n <= 0) break;
        if (!queue_.pushBurst(reinterpret_cast<const std::uint8_t*>(buffer), static_cast<std::size_t>(n)))
            emit bufferFull();
    }
    if (queue_.count() > 0) emit received();
}

void SerialTransport::onError(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError) return;
    // A failed read means the device is gone or the line hung up: the read
    // notifier would otherwise fire again at once, forever.
    if (error == QSerialPort::ResourceError || error == QSerialPort::PermissionError ||
        error == QSerialPort::ReadError) {
        if (!port_.isOpen() || lostReported_) return;
        lostReported_ = true;
        port_.close();
        emit lost();
        return;
    }
    // Write and other errors: clear the error state and carry on; missing
    // replies are recovered by the exchange.
    port_.clearError();
}

}  // namespace ks340
