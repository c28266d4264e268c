#pragma once

#include <QString>

#include <memory>

#include "usb_driver.h"

namespace tavrelia {

// Which interface backend this machine uses, kept in the program's own Linux
// settings file ($XDG_CONFIG_HOME/Tavrelia/Tavrelia.conf, group Interface).
struct InterfaceSettings {
    enum class Backend { Ftdi, Serial };

    Backend backend = Backend::Ftdi;
    QString serialDevice = QStringLiteral("/dev/ttyUSB0");

    static QString filePath();
    // Missing file or keys give the defaults; an unknown backend name gives ftdi.
    static InterfaceSettings load();
    // False when the file could not be written.
    bool save() const;

    bool operator==(const InterfaceSettings&) const = default;
};

// The driver for the chosen backend.
std::unique_ptr<UsbDriver> makeUsbDriver(const InterfaceSettings& settings);

}  // namespace tavrelia
