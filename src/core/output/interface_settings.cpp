#include "interface_settings.h"

#include <QSettings>
#include <QStandardPaths>

#include "ftdi_driver.h"
#include "serial_driver.h"

namespace tavrelia {

namespace {
const QString kBackendKey = QStringLiteral("Interface/Backend");
const QString kSerialDeviceKey = QStringLiteral("Interface/SerialDevice");
const QString kFtdi = QStringLiteral("ftdi");
const QString kSerial = QStringLiteral("serial");
}  // namespace

QString InterfaceSettings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tavrelia/Tavrelia.conf");
}

InterfaceSettings InterfaceSettings::load()
{
    InterfaceSettings result;
    const QSettings file(filePath(), QSettings::IniFormat);
    if (file.value(kBackendKey).toString().trimmed().toLower() == kSerial)
        result.backend = Backend::Serial;
    const QString device = file.value(kSerialDeviceKey).toString().trimmed();
    if (!device.isEmpty())
        result.serialDevice = device;
    return result;
}

bool InterfaceSettings::save() const
{
    QSettings file(filePath(), QSettings::IniFormat);
    file.setValue(kBackendKey, backend == Backend::Serial ? kSerial : kFtdi);
    file.setValue(kSerialDeviceKey, serialDevice);
    file.sync();
    return file.status() == QSettings::NoError;
}

std::unique_ptr<UsbDriver> makeUsbDriver(const InterfaceSettings& settings)
{
    if (settings.backend == InterfaceSettings::Backend::Serial)
        return std::make_unique<SerialDriver>(settings.serialDevice.toStdString());
    return std::make_unique<FtdiDriver>();
}

}  // namespace tavrelia
