#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <utility>

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

    static QString filePath();
    // Sets these keys of the file and leaves the rest as it is; a key whose value is
    // null is left alone too. False when the file could not be written.
    static bool writeKeys(std::initializer_list<std::pair<QString, QVariant>> values);
    // Missing file or keys give the defaults; an unknown backend name gives ftdi and,
    // when asked for, a message saying so.
    static InterfaceSettings load(QString* error = nullptr);
    // False when the file could not be written.
    bool save() const;

    // "ftdi", "serial", "ola" in any case; nothing for any other name.
    static std::optional<Backend> backendNamed(const QString& name);
    static QString nameOf(Backend backend);

    bool operator==(const InterfaceSettings&) const = default;
};

// The driver for the chosen backend.
std::unique_ptr<UsbDriver> makeUsbDriver(const InterfaceSettings& settings);

}  // namespace tavrelia
