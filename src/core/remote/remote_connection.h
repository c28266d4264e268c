#pragma once

#include "connections/connection.h"
#include "remote/remote_server.h"

namespace tavrelia {

// The phone remote as a connection: the server listening as [Remote] says, the
// addresses to type on a phone and how many are connected.
class RemoteConnection : public Connection {
    Q_OBJECT
public:
    RemoteConnection(NamedControls& named, PinOwner& pins, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;

private:
    void showClients(int count);

    RemoteServer server_;
};

}  // namespace tavrelia
