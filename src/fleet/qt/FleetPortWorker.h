// One port of a fleet job: a transfer job on its own serial transport,
// driven by the job's scheduler on the thread's event loop.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include "fleet/FleetJob.h"
#include "link/serial/SerialTransferJob.h"

namespace ks340::fleet {

class FleetPortWorker : public QObject, public PortDriver {
    Q_OBJECT
public:
    FleetPortWorker(const QString& portName, QObject* parent = nullptr);

    // Opens the port; false with the reason.
    bool open(QString* error);
    void close();
    void attach(FleetScheduler& scheduler, int index);
    const QString& portName() const { return portName_; }

    void startRead() override;
    void startWrite(const MemoryImage& image) override;
    void cancel() override;
    void wakeAfter(int milliseconds) override;

private:
    void begin(bool writing);
    void onFinished(const TransferResult& result);

    QString portName_;
    SerialTransferJob job_;
    QTimer wake_;
    FleetScheduler* scheduler_ = nullptr;
    int index_ = -1;
    bool writing_ = false;
    bool answered_ = false;
    int progress_ = 0;
    quint64 generation_ = 0;  // a cancelled transfer's late end is not reported
};

}  // namespace ks340::fleet
