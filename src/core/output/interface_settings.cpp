#include "interface_settings.h"

#include <limits>

#include "ftdi_driver.h"
#include "ola_loader.h"
#include "serial_driver.h"

namespace tavrelia {

namespace {
const QString kBackendKey = QStringLiteral("Backend");
const QString kSerialDeviceKey = QStringLiteral("SerialDevice");
const QString kOlaUniverseKey = QStringLiteral("OlaUniverse");
const QString kOlaPortKey = QStringLiteral("OlaPort");
const QString kSendOnChangeKey = QStringLiteral("SendOnChange");

struct BackendName {
    InterfaceSettings::Backend backend;
    const char* name;
};
constexpr BackendName kBackendNames[] = {
    {InterfaceSettings::Backend::Ftdi, "ftdi"},
    {InterfaceSettings::Backend::Serial, "serial"},
    {InterfaceSettings::Backend::Ola, "ola"},
};
}  // namespace

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

InterfaceSettings InterfaceSettings::read(SettingsStore::Group& group)
{
    InterfaceSettings result;
    QStringList names;
    for (const BackendName& entry : kBackendNames)
        names.append(QString::fromLatin1(entry.name));
    result.backend = *backendNamed(group.word(kBackendKey, names, nameOf(result.backend)));
    result.serialDevice = group.text(kSerialDeviceKey, result.serialDevice);
    result.olaUniverse = static_cast<uint32_t>(
        group.number(kOlaUniverseKey, 0, std::numeric_limits<uint32_t>::max(), kDefaultOlaUniverse));
    result.olaPort = group.port(kOlaPortKey, kDefaultOlaPort);
    result.sendOnChange = group.flag(kSendOnChangeKey, result.sendOnChange);
    return result;
}

bool InterfaceSettings::save(SettingsStore& store) const
{
    QList<SettingsStore::Edit> edits = {{kBackendKey, nameOf(backend)},
                                        {kSerialDeviceKey, serialDevice},
                                        {kOlaUniverseKey, QString::number(olaUniverse)}};
    // The port is for tests and unusual daemons: it stays out of the file until set.
    if (olaPort != kDefaultOlaPort || !store.group(kGroup).text(kOlaPortKey).isEmpty())
        edits.append({kOlaPortKey, QString::number(olaPort)});
    return store.write(kGroup, edits);
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
