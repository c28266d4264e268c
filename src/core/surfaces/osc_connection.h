#pragma once

#include "connections/connection.h"
#include "surfaces/osc_server.h"

namespace tavrelia {

// OSC as a connection: the server listening as [OSC] says, its counts and its
// last dropped message.
class OscConnection : public Connection {
    Q_OBJECT
public:
    OscConnection(NamedControls& named, PinOwner& pins, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;
    OscServer& server() { return server_; }

private:
    void showCounts();

    OscServer server_;
};

}  // namespace tavrelia
