#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "settings/settings_store.h"
#include "usb_driver.h"

namespace tavrelia {

// Which interface backend this machine uses, kept in the program's own Linux
// settings file ($XDG_CONFIG_HOME/Tavrelia/Tavrelia.conf, group Interface).
struct InterfaceSettings {
    enum class Backend { Ftdi, Serial, Ola };

    static constexpr uint32_t kDefaultOlaUniverse = 1;
    static constexpr uint16_t kDefaultOlaPort = 9010;

    Backend backend = Backend::Ftdi;
    QString serialDevice = QStringLiteral("/dev/ttyUSB0");
    uint32_t olaUniverse = kDefaultOlaUniverse;
    uint16_t olaPort = kDefaultOlaPort;
    // A live control's change goes to the interface at once instead of at the next
    // tick; off, the interface gets a frame every tick and no other.
    bool sendOnChange = true;

    static inline const QString kGroup = QStringLiteral("Interface");
    // Missing keys give the defaults, a bad value its default and a problem of the
    // group (SettingsStore::read<InterfaceSettings>() reads the file's group).
    static InterfaceSettings read(SettingsStore::Group& group);
    // False when the file could not be written.
    bool save(SettingsStore& store) const;

    // "ftdi", "serial", "ola" in any case; nothing for any other name.
    static std::optional<Backend> backendNamed(const QString& name);
    static QString nameOf(Backend backend);

    bool operator==(const InterfaceSettings&) const = default;
};

// The driver for the chosen backend.
std::unique_ptr<UsbDriver> makeUsbDriver(const InterfaceSettings& settings);

}  // namespace tavrelia
