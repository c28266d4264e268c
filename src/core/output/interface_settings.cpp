#include "interface_settings.h"

#include <QSettings>
#include <QStandardPaths>

#include <limits>

#include "ftdi_driver.h"
#include "ola_loader.h"
#include "serial_driver.h"

namespace tavrelia {

namespace {
const QString kBackendKey = QStringLiteral("Interface/Backend");
const QString kSerialDeviceKey = QStringLiteral("Interface/SerialDevice");
const QString kOlaUniverseKey = QStringLiteral("Interface/OlaUniverse");
const QString kOlaPortKey = QStringLiteral("Interface/OlaPort");

struct BackendName {
    InterfaceSettings::Backend backend;
    const char* name;
};
constexpr BackendName kBackendNames[] = {
    {InterfaceSettings::Backend::Ftdi, "ftdi"},
    {InterfaceSettings::Backend::Serial, "serial"},
    {InterfaceSettings::Backend::Ola, "ola"},
};

// A whole number within 0..max, or the fallback for anything else.
template <typename T>
T numberOr(const QSettings& file, const QString& key, T fallback, T min = 0)
{
    bool ok = false;
    const qulonglong value = file.value(key).toString().trimmed().toULongLong(&ok);
    return ok && value >= min && value <= std::numeric_limits<T>::max() ? static_cast<T>(value)
                                                                         : fallback;
}
}  // namespace

QString InterfaceSettings::filePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/Tavrelia/Tavrelia.conf");
}

std::optional<InterfaceSettings::Backend> InterfaceSettings::backendNamed(const QString& name)
{
    const QString wanted = name.trimmed().toLower();
    for (const BackendName& entry : kBackendNames) {
        if (wanted == QLatin1String(entry.name))
            return entry.backend;
    }
    return std::nullopt;
}

QString InterfaceSettings::nameOf(Backend backend)
{
    for (const BackendName& entry : kBackendNames) {
        if (entry.backend == backend)
            return QString::fromLatin1(entry.name);
    }
    return {};
}

InterfaceSettings InterfaceSettings::load(QString* error)
{
    InterfaceSettings result;
    const QSettings file(filePath(), QSettings::IniFormat);
    const QString name = file.value(kBackendKey).toString();
    if (const auto backend = backendNamed(name))
        result.backend = *backend;
    else if (error && !name.trimmed().isEmpty())
        *error = QStringLiteral("unknown backend \"%1\" in %2 (ftdi, serial or ola)")
                     .arg(name, filePath());
    const QString device = file.value(kSerialDeviceKey).toString().trimmed();
    if (!device.isEmpty())
        result.serialDevice = device;
    result.olaUniverse = numberOr<uint32_t>(file, kOlaUniverseKey, kDefaultOlaUniverse);
    result.olaPort = numberOr<uint16_t>(file, kOlaPortKey, kDefaultOlaPort, 1);
    return result;
}

bool InterfaceSettings::writeKeys(std::initializer_list<std::pair<QString, QVariant>> values)
{
    QSettings file(filePath(), QSettings::IniFormat);
    for (const auto& [key, value] : values) {
        if (!value.isNull())
            file.setValue(key, value);
    }
    file.sync();
    // A format error is about what was read; the file has been written all the same.
    return file.status() != QSettings::AccessError;
}

bool InterfaceSettings::save() const
{
    // The port is for tests and unusual daemons: it stays out of the file until set.
    const bool withPort = olaPort != kDefaultOlaPort || QSettings(filePath(), QSettings::IniFormat).contains(kOlaPortKey);
    return writeKeys({{kBackendKey, nameOf(backend)},
                      {kSerialDeviceKey, serialDevice},
                      {kOlaUniverseKey, olaUniverse},
                      {kOlaPortKey, withPort ? QVariant(olaPort) : QVariant()}});
}

std::unique_ptr<UsbDriver> makeUsbDriver(const InterfaceSettings& settings)
{
    switch (settings.backend) {
    case InterfaceSettings::Backend::Serial:
        return std::make_unique<SerialDriver>(settings.serialDevice.toStdString());
    case InterfaceSettings::Backend::Ola:
        return makeOlaDriver(settings.olaUniverse, settings.olaPort);
    case InterfaceSettings::Backend::Ftdi:
        break;
    }
    return std::make_unique<FtdiDriver>();
}

}  // namespace tavrelia
