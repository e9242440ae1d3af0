#include "link/serial/RadioSession.h"

#include "link/serial/SerialTransport.h"
#include "link/serial/WatchdogTimer.h"

namespace ks340 {

class RadioSession::Listener : public ExchangeListener {
public:
    explicit Listener(RadioSession& session) : session_(session) {}
    void progressChanged(int position, int maximum) override {
        emit session_.progress(position, maximum);
    }
    void busyChanged(bool busy) override { emit session_.busyChanged(busy); }
    void finished(bool ok, const std::string& message) override {
        emit session_.finished(ok, QString::fromStdString(message));
    }

private:
    RadioSession& session_;
};

RadioSession::RadioSession(QObject* parent)
    : QObject(parent),
      listener_(std::make_unique<Listener>(*this)),
      transport_(new SerialTransport(this)),
      timer_(new WatchdogTimer([this] { exchange_->onWatchdogExpired(); }, this)),
      exchange_(std::make_unique<ProgrammingExchange>(*transport_, *timer_, *listener_)) {
    connect(transport_, &SerialTransport::received, this,
            [this] { exchange_->onReceiveNotification(); });
    connect(transport_, &SerialTransport::bufferFull, this, &RadioSession::bufferFull);
    connect(transport_, &SerialTransport::lost, this, &RadioSession::handleLost);
}

RadioSession::~RadioSession() {
    exchange_->cancel();
    transport_->close();
}

bool RadioSession::open(const PortChoice& choice) {
    openError_.clear();
    if (transport_->open(choice.name)) return true;
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
    if (!transport_->isOpen()) exchange_->onTransportLost();
}

void RadioSession::startWrite(const LinkImage& image) {
    exchange_->startWrite(image);
    if (!transport_->isOpen()) exchange_->onTransportLost();
}

void RadioSession::cancel() { exchange_->cancel(); }

bool RadioSession::busy() const { return exchange_->busy(); }

bool RadioSession::running() const { return exchange_->exchangeState() != ProgrammingExchange::Idle; }

ProgrammingExchange::State RadioSession::state() const { return exchange_->exchangeState(); }

int RadioSession::errorCount() const { return exchange_->errorCount(); }

const LinkImage& RadioSession::image() const { return exchange_->image(); }

void RadioSession::handleLost() { exchange_->onTransportLost(); }

}  // namespace ks340
