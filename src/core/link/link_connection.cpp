#include "link/link_connection.h"

namespace tavrelia {

LinkConnection::LinkConnection(LinkSession& session, QObject* parent)
    : Connection(kId, kGroup, parent), session_(session)
{
    connect(&session_, &LinkSession::changed, this, &LinkConnection::show);
}

void LinkConnection::start(SettingsStore& store)
{
    took(store.group(kGroup));
    session_.start();
}

void LinkConnection::stop()
{
    session_.stop();
}

void LinkConnection::show()
{
    static constexpr State kStates[] = {State::Off, State::Starting, State::On, State::Fault};
    setWhere(session_.on() ? QStringLiteral("Link session") : QString());
    setCounts({{QStringLiteral("peers"), quint64(session_.peers())}});
    setState(kStates[int(session_.state())], session_.reason());
}

}  // namespace tavrelia
