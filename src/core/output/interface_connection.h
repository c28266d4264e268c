#pragma once

#include "connections/connection.h"
#include "output/interface_settings.h"

namespace tavrelia {

class UsbLink;

// The DMX interface as a connection: the backend of [Interface] given to the link,
// which then finds the device, opens it and opens it again after a loss by itself.
class InterfaceConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("interface");

    explicit InterfaceConnection(UsbLink& link, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;
    // What the last start read.
    const InterfaceSettings& settings() const { return settings_; }

private:
    QString description() const;

    UsbLink& link_;
    InterfaceSettings settings_;
};

}  // namespace tavrelia
