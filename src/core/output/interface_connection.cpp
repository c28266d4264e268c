#include "output/interface_connection.h"

#include "output/output_thread.h"
#include "output/usb_link.h"

namespace tavrelia {

InterfaceConnection::InterfaceConnection(UsbLink& link, OutputThread& output, QObject* parent)
    : Connection(kId, InterfaceSettings::kGroup, parent), link_(link), output_(output)
{
}

void InterfaceConnection::start(SettingsStore& store)
{
    SettingsStore::Group group = store.group(InterfaceSettings::kGroup);
    settings_ = InterfaceSettings::read(group);
    took(group);
    output_.setSendOnChange(settings_.sendOnChange);
    link_.setDriver(makeUsbDriver(settings_));
    link_.InitUsbDevise();
    setWhere(description());
    setState(State::On);
}

void InterfaceConnection::stop()
{
    link_.CloseUsbDevise();
    setState(State::Off);
}

QString InterfaceConnection::description() const
{
    switch (settings_.backend) {
    case InterfaceSettings::Backend::Ola:
        return QStringLiteral("ola universe %1 (olad on port %2)").arg(settings_.olaUniverse).arg(settings_.olaPort);
    case InterfaceSettings::Backend::Serial:
        return QStringLiteral("serial %1").arg(settings_.serialDevice);
    case InterfaceSettings::Backend::Ftdi:
        break;
    }
    return QStringLiteral("ftdi");
}

}  // namespace tavrelia
