#pragma once

#include <QObject>

class QSocketNotifier;

namespace tavrelia {

// SIGINT, SIGTERM and SIGHUP (a logout, a closed terminal) as a Qt signal: the handler
// only writes a byte to a pipe, and the event loop turns it into received(). One
// instance per process.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

signals:
    void received(int signal);

private:
    void readPipe();

    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tavrelia
