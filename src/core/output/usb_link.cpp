#include "usb_link.h"

#include <QTimer>

#include <algorithm>
#include <cstring>

namespace tavrelia {

namespace {

// The bus before a backend has been chosen: nothing on it.
class EmptyBus : public UsbDriver {
public:
    UsbStatus deviceCount(uint32_t& count) override
    {
        count = 0;
        return UsbStatus::Ok;
    }
    UsbStatus serialNumber(uint32_t, UsbText&) override { return UsbStatus::DeviceNotFound; }
    UsbStatus description(uint32_t, UsbText&) override { return UsbStatus::DeviceNotFound; }
    UsbStatus open(uint32_t, UsbHandle&) override { return UsbStatus::DeviceNotFound; }
    UsbStatus close(UsbHandle) override { return UsbStatus::InvalidHandle; }
    UsbStatus resetDevice(UsbHandle) override { return UsbStatus::InvalidHandle; }
    UsbStatus setTimeouts(UsbHandle, uint32_t, uint32_t) override
    {
        return UsbStatus::InvalidHandle;
    }
    UsbStatus queueStatus(UsbHandle, uint32_t&) override { return UsbStatus::InvalidHandle; }
    UsbStatus writeFrame(UsbHandle, DmxFrameView) override { return UsbStatus::InvalidHandle; }
};

const char* operationName(UsbLink::Operation op)
{
    switch (op) {
    case UsbLink::Operation::None: return "";
    case UsbLink::Operation::DeviceCount: return "GetFTDeviceCount";
    case UsbLink::Operation::SerialNo: return "GetFTDeviceSerialNo";
    case UsbLink::Operation::Description: return "GetFTDeviceDescription";
    case UsbLink::Operation::Open: return "FT_Open";
    case UsbLink::Operation::Close: return "FT_Close";
    case UsbLink::Operation::Reset: return "FT_ResetDevice";
    case UsbLink::Operation::Timeouts: return "FT_SetTimeouts";
    case UsbLink::Operation::Queue: return "FT_GetQueueStatus";
    case UsbLink::Operation::Write: return "Интерфейс отключен от компьютера ";
    }
    return "";
}

// Suffix of the status text by status code 1..6; other codes give no text at all.
const char* statusSuffix(int status)
{
    static constexpr const char* kSuffixes[] = {
        " - Ошибка Handle...",
        " - Устройство не найдено....",
        " - Устройство не открывается...",
        " - Ошибка ввода-вывода...",
        " - Не хватает ресурсов...",
        " - Неверный параметр ...",
    };
    return status >= 1 && status <= 6 ? kSuffixes[status - 1] : nullptr;
}

}  // namespace

UsbLink::UsbLink(QObject* parent)
    : QObject(parent), driver_(std::make_unique<EmptyBus>()), TimerPolling(new QTimer(this))
{
    setObjectName(QStringLiteral("UsbLink"));
    TimerPolling->setObjectName(QStringLiteral("TimerPolling"));
    TimerPolling->setInterval(kPollingMs);
    connect(TimerPolling, &QTimer::timeout, this, &UsbLink::TimerPollingTimer);
}

UsbLink::~UsbLink()
{
    std::lock_guard io(io_);
    dropDevice();
}

void UsbLink::setDriver(std::unique_ptr<UsbDriver> driver)
{
    std::lock_guard io(io_);
    dropDevice();
    driver_ = std::move(driver);
}

UsbStatus UsbLink::checked(Operation op, UsbStatus status)
{
    if (status != UsbStatus::Ok)
        report(op, status);
    return status;
}

void UsbLink::report(Operation op, UsbStatus status)
{
    if (!ReportErrors)
        return;
    LinkReady = false;
    lastFailure_ = (static_cast<uint32_t>(op) << 8) | static_cast<uint32_t>(status);
}

QString UsbLink::LinkStatusText() const
{
    const uint32_t failure = lastFailure_;
    const auto op = static_cast<Operation>(failure >> 8);
    const char* suffix = statusSuffix(static_cast<int>(failure & 0xFF));
    if (op == Operation::None || !suffix)
        return {};
    return QString::fromUtf8(operationName(op)) + QString::fromUtf8(suffix);
}

void UsbLink::InitUsbDevise()
{
    std::lock_guard io(io_);
    dropDevice();
    LinkReady = false;
    ReportErrors = true;
    TimerPolling->start();
    listDevices();
}

void UsbLink::GetListAllDevise()
{
    std::lock_guard io(io_);
    listDevices();
}

QString UsbLink::listText(const UsbText& text) const
{
    const auto end = std::find(text.begin(), text.begin() + kListTextMax, '\0');
    return QString::fromLatin1(text.data(), end - text.begin());
}

void UsbLink::listDevices()
{
    uint32_t count = 0;
    if (checked(Operation::DeviceCount, driver_->deviceCount(count)) != UsbStatus::Ok)
        count = 0;
    for (uint32_t i = 0; i < count; ++i) {
        UsbText text{};
        checked(Operation::SerialNo, driver_->serialNumber(i, text));
        usbSerialText_ = QStringLiteral("серийный номер = ") + listText(text);
        text.fill(0);
        checked(Operation::Description, driver_->description(i, text));
        usbDescriptionText_ = listText(text);
        RelistRequest = false;
    }
    if (count > 0) {
        usbDeviceCountText_ = QStringLiteral("Устройств на шине USB = ") + QString::number(count);
    } else {
        usbDeviceCountText_ = QStringLiteral("Нет USB устройствa ");
        usbSerialText_.clear();
        usbDescriptionText_.clear();
        LinkReady = false;
    }
}

void UsbLink::TimerPollingTimer()
{
    // A write is under way: this run is skipped, as if the timer had been off.
    std::unique_lock io(io_, std::try_to_lock);
    if (!io.owns_lock())
        return;
    ReportErrors = false;
    if (RelistRequest)
        listDevices();
    if (!DeviceOpen) {
        openDevice();
        return;
    }
    uint32_t rx = 0;
    const bool answers = checked(Operation::Queue, driver_->queueStatus(DeviceHandle, rx)) ==
                         UsbStatus::Ok;
    // A lost interface, or one whose write failed while it still answers: close the
    // handle and open it afresh, so output resumes on its own.
    if (!answers || !LinkReady) {
        dropDevice();
        RelistRequest = true;
    }
}

void UsbLink::openDevice()
{
    UsbHandle handle = 0;
    if (checked(Operation::Open, driver_->open(DeviceIndex, handle)) != UsbStatus::Ok)
        return;
    DeviceHandle = handle;
    DeviceOpen = true;
    LinkReady = true;
    checked(Operation::Reset, driver_->resetDevice(DeviceHandle));
    checked(Operation::Timeouts, driver_->setTimeouts(DeviceHandle, kTimeoutMs, kTimeoutMs));
}

void UsbLink::dropDevice()
{
    LinkReady = false;
    if (DeviceOpen)
        checked(Operation::Close, driver_->close(DeviceHandle));
    DeviceOpen = false;
    DeviceHandle = 0;
}

void UsbLink::CloseUsbDevise()
{
    TimerPolling->stop();
    std::lock_guard io(io_);
    dropDevice();
}

bool UsbLink::readyForFrame(bool demo)
{
    return DeviceOpen && !demo && LinkReady;
}

void UsbLink::writeFrame(DmxFrameView frame)
{
    std::lock_guard io(io_);
    // The link may have been closed since the tick asked.
    if (!DeviceOpen || !LinkReady)
        return;
    ReportErrors = true;
    checked(Operation::Write, driver_->writeFrame(DeviceHandle, frame));
}

UsbLink::Display UsbLink::linkDisplay(bool demo) const
{
    if (demo)
        return {QStringLiteral("DEMO mode: "), QStringLiteral("    DEMO MODE ")};
    if (DeviceOpen)
        return {QStringLiteral("Tavrelia v3.4 "), QString()};
    return {QStringLiteral(" DEMO MODE: "), LinkStatusText()};
}

}  // namespace tavrelia
