#include "link/serial/RadioSession.h"

#include "link/serial/SerialTransport.h"
#include "link/serial/WatchdogTimer.h"

#include <vector>

namespace ks340 {

class RadioSession::Listener : public ExchangeListener {
public:
    explicit Listener(RadioSession& session) : session_(session) {}
    void progressChanged(int position, int maximum) override { emit session_.progress(position, maximum); }
    void busyChanged(bool busy) override { emit session_.busyChanged(busy); }
    void finished(bool ok, const std::string& message) override {
        emit session_.finished(ok, QString::fromStdString(message));
    }

private:
    RadioSession& session_;
};

// Passes the exchange's bytes through to the port, showing them to the
// trace observer on the way.
class RadioSession::Tap : public Transport {
public:
    explicit Tap(RadioSession& session) : session_(session) {}
    int write(const std::uint8_t* data, int n) override {
        if (session_.trace_ && n > 0) session_.trace_(true, data, n);
        return session_.transport_->write(data, n);
    }
    ReceiveQueue& queue() override { return session_.transport_->queue(); }

private:
    RadioSession& session_;
};

RadioSession::RadioSession(QObject* parent)
    : QObject(parent),
      listener_(std::make_unique<Listener>(*this)),
      transport_(new SerialTransport(this)),
      timer_(new WatchdogTimer([this] { exchange_->onWatchdogExpired(); }, this)),
      tap_(std::make_unique<Tap>(*this)),
      exchange_(std::make_unique<ProgrammingExchange>(*tap_, *timer_, *listener_)) {
    connect(transport_, &SerialTransport::received, this, [this] {
        if (trace_) traceReceived();
        exchange_->onReceiveNotification();
        tracedQueued_ = transport_->queue().count();
    });
    connect(transport_, &SerialTransport::bufferFull, this, &RadioSession::bufferFull);
    connect(transport_, &SerialTransport::lost, this, &RadioSession::handleLost);
}

RadioSession::~RadioSession() {
    exchange_->cancel();
    transport_->close();
}

bool RadioSession::open(const PortChoice& choice) {
    openError_.clear();
    if (transport_->open(choice.name)) {
        tracedQueued_ = 0;
        return true;
    }
    openError_ = portOpenErrorMessage(choice);
    return false;
}

bool RadioSession::open(const QString& portName) { return open(resolvePortArgument(portName)); }

bool RadioSession::openComNumber(int comNumber) {
    PortChoice choice;
    choice.byNumber = true;
    choice.comNumber = comNumber;
    choice.name = portNameForComNumber(comNumber);
    return open(choice);
}

void RadioSession::close() {
    exchange_->cancel();
    transport_->close();
}

bool RadioSession::isOpen() const { return transport_->isOpen(); }

void RadioSession::startRead() { startRead(LinkImage{}); }

void RadioSession::startRead(const LinkImage& base) {
    exchange_->startRead(base);
    tracedQueued_ = 0;
    if (!transport_->isOpen()) exchange_->onTransportLost();
}

void RadioSession::startWrite(const LinkImage& image) {
    exchange_->startWrite(image);
    tracedQueued_ = 0;
    if (!transport_->isOpen()) exchange_->onTransportLost();
}

void RadioSession::cancel() { exchange_->cancel(); }

bool RadioSession::busy() const { return exchange_->busy(); }

bool RadioSession::running() const { return exchange_->exchangeState() != ProgrammingExchange::Idle; }

ProgrammingExchange::State RadioSession::state() const { return exchange_->exchangeState(); }

int RadioSession::errorCount() const { return exchange_->errorCount(); }

const LinkImage& RadioSession::image() const { return exchange_->image(); }

void RadioSession::handleLost() { exchange_->onTransportLost(); }

void RadioSession::setTraceObserver(TraceObserver observer) {
    trace_ = std::move(observer);
    tracedQueued_ = transport_->queue().count();
}

// Shows the observer the bytes queued since the last notification. The
// exchange may have left the start of a packet in the queue; those bytes
// were shown last time. The queue is emptied and refilled in order.
void RadioSession::traceReceived() {
    ReceiveQueue& queue = transport_->queue();
    const int n = queue.count();
    if (n <= tracedQueued_) return;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n));
    const int taken = queue.take(bytes.data(), n);
    queue.pushBurst(bytes.data(), static_cast<std::size_t>(taken));
    if (taken > tracedQueued_) trace_(false, bytes.data() + tracedQueued_, taken - tracedQueued_);
}

}  // namespace ks340
