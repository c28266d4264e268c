#pragma once

#include "connections/connection.h"
#include "output/interface_settings.h"

namespace tavrelia {

class OutputThread;
class UsbLink;

// The DMX interface as a connection: the backend of [Interface] given to the link,
// which then finds the device, opens it and opens it again after a loss by itself,
// and whether the output thread sends a change at once.
class InterfaceConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("interface");

    InterfaceConnection(UsbLink& link, OutputThread& output, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;
    // What the last start read.
    const InterfaceSettings& settings() const { return settings_; }

private:
    QString description() const;

    UsbLink& link_;
    OutputThread& output_;
    InterfaceSettings settings_;
};

}  // namespace tavrelia
