#pragma once

#include "connections/connection.h"
#include "link/link_session.h"

namespace tavrelia {

// The Ableton Link session as a connection: joined while [Link] Enabled is on (or the
// player's --beat link asks for it), with the number of peers as its count.
class LinkConnection : public Connection {
    Q_OBJECT
public:
    static inline const QString kId = QStringLiteral("link");
    static inline const QString kGroup = QStringLiteral("Link");

    explicit LinkConnection(LinkSession& session, QObject* parent = nullptr);

    void start(SettingsStore& store) override;
    void stop() override;

private:
    void show();

    LinkSession& session_;
};

}  // namespace tavrelia
