#pragma once

#include <QObject>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

#include "output/frame_sink.h"
#include "usb_driver.h"

class QTimer;

namespace tavrelia {

// The link to the DMX interface: finds it, opens it when it appears, notices when it
// is lost and opens it again, and writes the frames of the output thread.
//
// Threads: enumeration, polling, init and close run on the user-interface thread;
// writeFrame runs on the frame writer's thread. Every driver call is made under io_, so a
// polling run and a write never overlap; polling only tries the lock, so a write
// stuck in its time-out never stalls the window. The flags are atomics because the
// output thread reads them under the console lock without taking io_.
class UsbLink : public QObject, public FrameSink {
    Q_OBJECT
public:
    static constexpr uint32_t DeviceIndex = 0;
    static constexpr uint32_t kTimeoutMs = 500;
    static constexpr int kPollingMs = 1000;
    static constexpr int kListTextMax = 49;

    // The driver call a status text names.
    enum class Operation : uint8_t {
        None, DeviceCount, SerialNo, Description, Open, Close, Reset, Timeouts, Queue, Write,
    };

    explicit UsbLink(QObject* parent = nullptr);
    ~UsbLink() override;

    // Replaces the driver; an interface open on the old one is closed first.
    void setDriver(std::unique_ptr<UsbDriver> driver);

    void InitUsbDevise();
    void GetListAllDevise();
    void TimerPollingTimer();
    void CloseUsbDevise();
    QTimer* timerPolling() const { return TimerPolling; }

    // Output thread (through the frame writer), console lock held; never blocks.
    bool readyForFrame(bool demo) override;
    // The frame writer's thread; the user-interface thread only once the output
    // thread has stopped (the player's last frame).
    void writeFrame(DmxFrameView frame) override;

    QString LinkStatusText() const;
    // The texts of the last enumeration (user-interface thread).
    QString UsbDeviceCountText() const { return usbDeviceCountText_; }
    QString UsbSerialText() const { return usbSerialText_; }
    QString UsbDescriptionText() const { return usbDescriptionText_; }

    // What the window shows of the link: caption prefix and status panel 0.
    struct Display {
        QString captionPrefix;
        QString statusPanel;
    };
    Display linkDisplay(bool demo) const;

    std::atomic<bool> DeviceOpen{false};
    std::atomic<bool> LinkReady{false};
    std::atomic<bool> ReportErrors{true};
    std::atomic<bool> RelistRequest{false};

private:
    // The thin wrapper round every driver call: reports a failure, returns the status.
    UsbStatus checked(Operation op, UsbStatus status);
    void report(Operation op, UsbStatus status);
    void listDevices();
    void openDevice();
    void dropDevice();
    QString listText(const UsbText& text) const;

    std::mutex io_;
    std::unique_ptr<UsbDriver> driver_;
    UsbHandle DeviceHandle = 0;
    // Last reported failure, operation in the high byte and status in the low one,
    // so the output thread can report without a lock or an allocation.
    std::atomic<uint32_t> lastFailure_{0};
    QTimer* TimerPolling = nullptr;
    QString usbDeviceCountText_;
    QString usbSerialText_;
    QString usbDescriptionText_;
};

}  // namespace tavrelia
