#include "surfaces/osc_server.h"

#include <QSocketNotifier>
#include <QTimer>

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstring>
#include <memory>

#include "control/named_controls.h"

namespace tavrelia {

namespace {

using AddressList = std::unique_ptr<addrinfo, decltype(&freeaddrinfo)>;

// A numeric address and port as a socket address; nothing with the reason in error.
AddressList numericAddress(const QString& host, uint16_t port, QString* error)
{
    addrinfo hints{};
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV | AI_PASSIVE;
    addrinfo* found = nullptr;
    const int status = getaddrinfo(host.toLatin1().constData(), QByteArray::number(port).constData(), &hints, &found);
    if (status != 0) {
        *error = QStringLiteral("%1: %2").arg(host, QString::fromLocal8Bit(gai_strerror(status)));
        return {nullptr, &freeaddrinfo};
    }
    return {found, &freeaddrinfo};
}

// The sender's address in digits, without its port.
QString hostOf(const sockaddr* from, socklen_t length)
{
    char host[NI_MAXHOST] = {};
    if (getnameinfo(from, length, host, sizeof host, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return QString::fromLatin1(host);
}

QString systemError(const QString& what)
{
    return QStringLiteral("%1: %2").arg(what, QString::fromLocal8Bit(std::strerror(errno)));
}

}  // namespace

OscServer::OscServer(NamedControls& named, PinOwner& pins, QObject* parent)
    : QObject(parent), named_(named), pins_(pins)
{
    connect(&pins_, &PinOwner::changed, this, &OscServer::closeToAll);
}

OscServer::~OscServer()
{
    stop();
}

bool OscServer::start(const OscSettings& settings, QString* error)
{
    stop();
    const QString host = settings.address.isEmpty() ? QStringLiteral("0.0.0.0") : settings.address;
    const AddressList local = numericAddress(host, settings.port, error);
    if (!local)
        return false;
    AddressList target{nullptr, &freeaddrinfo};
    if (settings.hasFeedbackTarget()) {
        target = numericAddress(settings.feedbackHost, settings.feedbackPort, error);
        if (!target)
            return false;
        if (target->ai_family != local->ai_family) {
            *error = QStringLiteral("the feedback target %1 cannot be reached from %2").arg(settings.feedbackHost, host);
            return false;
        }
    }
    const int fd = ::socket(local->ai_family, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = systemError(QStringLiteral("socket"));
        return false;
    }
    const int only = 1;
    if (local->ai_family == AF_INET6)
        ::setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof only);
    if (::bind(fd, local->ai_addr, local->ai_addrlen) != 0) {
        *error = systemError(QStringLiteral("%1 port %2").arg(host).arg(settings.port));
        ::close(fd);
        return false;
    }
    socket_ = fd;
    buffer_.resize(kMaxDatagram);
    notifier_ = new QSocketNotifier(static_cast<qintptr>(socket_), QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &OscServer::readDatagrams);
    connect(&named_, &NamedControls::changed, this, &OscServer::stateChanged);
    if (target) {
        sockaddr_storage address{};
        std::memcpy(&address, target->ai_addr, target->ai_addrlen);
        target_ = address;
        targetLength_ = target->ai_addrlen;
        // Once the event loop runs: after whatever the start-up still changes.
        QTimer::singleShot(0, this, [this] {
            if (target_)
                sendAll(reinterpret_cast<const sockaddr*>(&*target_), targetLength_, false);
        });
    }
    emit countsChanged();
    return true;
}

void OscServer::stop()
{
    if (socket_ < 0)
        return;
    disconnect(&named_, &NamedControls::changed, this, &OscServer::stateChanged);
    delete notifier_;
    notifier_ = nullptr;
    ::close(socket_);
    socket_ = -1;
    clients_.clear();
    openHosts_.clear();
    target_.reset();
    emit countsChanged();
}

void OscServer::closeToAll()
{
    openHosts_.clear();
    clients_.clear();
    emit pinChanged();
    emit countsChanged();
}

uint16_t OscServer::port() const
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (socket_ < 0 || ::getsockname(socket_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    const auto* v4 = reinterpret_cast<const sockaddr_in*>(&address);
    const auto* v6 = reinterpret_cast<const sockaddr_in6*>(&address);
    return ntohs(address.ss_family == AF_INET6 ? v6->sin6_port : v4->sin_port);
}

void OscServer::readDatagrams()
{
    const quint64 before = counts_.received;
    for (int i = 0; i < kDatagramsPerTurn && socket_ >= 0; ++i) {
        sockaddr_storage from{};
        socklen_t length = sizeof from;
        const ssize_t size = ::recvfrom(socket_, buffer_.data(), buffer_.size(), MSG_TRUNC,
                                        reinterpret_cast<sockaddr*>(&from), &length);
        if (size < 0)
            break;   // nothing more this turn
        if (static_cast<size_t>(size) > buffer_.size()) {
            ++counts_.received;
            drop({OscCodec::Fault::Malformed, QStringLiteral("a datagram of %1 bytes").arg(size)});
            continue;
        }
        take(buffer_.data(), static_cast<size_t>(size), reinterpret_cast<const sockaddr*>(&from), length);
    }
    if (counts_.received != before)
        emit countsChanged();
}

void OscServer::take(const char* data, size_t size, const sockaddr* from, socklen_t length)
{
    ++counts_.received;
    const OscCodec::Decoded decoded = OscCodec::decode(data, size);
    if (decoded.refusal && decoded.refusal->fault == OscCodec::Fault::Malformed) {
        drop(*decoded.refusal);
        return;
    }
    const OscClients::Clock::time_point now = OscClients::Clock::now();
    const QString host = hostOf(from, length);
    const bool pin = decoded.message && decoded.message->name == QLatin1String(OscCodec::kPin);
    if (pin)
        takePin(decoded.message->value.toString(), host, now);
    if (!open(host, now)) {
        if (!pin)
            drop({OscCodec::Fault::Refused, QStringLiteral("no PIN from %1 yet").arg(host)});
        return;
    }
    // Any OSC message makes its sender a client; a new one first gets every state.
    const std::optional<bool> floats = decoded.message ? decoded.message->floats : std::nullopt;
    if (clients_.heard(from, length, floats, now))
        sendAll(from, length, floats.value_or(false));
    if (pin)
        return;
    if (decoded.refusal) {
        drop(*decoded.refusal);
        return;
    }
    if (const std::optional<QString> why = named_.apply(decoded.message->name, decoded.message->value)) {
        drop({OscCodec::Fault::Refused, *why});   // the reason names the control
        return;
    }
    ++counts_.applied;
}

void OscServer::drop(const OscCodec::Refusal& refusal)
{
    switch (refusal.fault) {
    case OscCodec::Fault::Malformed:
        ++counts_.malformed;
        break;
    case OscCodec::Fault::Unknown:
        ++counts_.unknown;
        break;
    case OscCodec::Fault::Refused:
        ++counts_.refused;
        break;
    }
    lastFault_ = refusal.reason;
}

void OscServer::takePin(const QString& pin, const QString& host, OscClients::Clock::time_point now)
{
    if (!hasPin()) {
        drop({OscCodec::Fault::Refused, QStringLiteral("the desk has no PIN")});
        return;
    }
    const PinGuard::Answer answer = pins_.check(host, pin, now);
    switch (answer.verdict) {
    case PinGuard::Verdict::Accepted:
        if (openHosts_.size() >= kOpenHosts && !openHosts_.contains(host)) {
            const auto quietest = std::min_element(openHosts_.begin(), openHosts_.end());
            openHosts_.erase(quietest);
        }
        openHosts_.insert(host, now);
        ++counts_.applied;
        break;
    case PinGuard::Verdict::Refused:
        drop({OscCodec::Fault::Refused, QStringLiteral("wrong PIN from %1").arg(host)});
        break;
    case PinGuard::Verdict::Waiting:
        drop({OscCodec::Fault::Refused, QStringLiteral("PIN from %1 during its wait").arg(host)});
        break;
    }
}

bool OscServer::open(const QString& host, OscClients::Clock::time_point now)
{
    const auto found = openHosts_.find(host);
    if (found == openHosts_.end())
        return false;
    if (now - *found > OscClients::kQuietLimit) {
        openHosts_.erase(found);
        return false;
    }
    *found = now;
    return true;
}

void OscServer::stateChanged(const QString& name, const QVariant& value)
{
    clients_.forgetQuiet(OscClients::Clock::now());
    // Built at most once per form: as numbers in the controls' ranges and as floats.
    std::optional<QByteArray> encoded[2];
    auto datagram = [&](bool floats) -> const QByteArray& {
        std::optional<QByteArray>& slot = encoded[floats ? 1 : 0];
        if (!slot)
            slot = OscCodec::encode(name, value, floats);
        return *slot;
    };
    for (const OscClients::Client& client : clients_.clients())
        send(datagram(client.floats), reinterpret_cast<const sockaddr*>(&client.address), client.length);
    if (target_)
        send(datagram(false), reinterpret_cast<const sockaddr*>(&*target_), targetLength_);
    emit countsChanged();
}

void OscServer::sendAll(const sockaddr* to, socklen_t length, bool floats)
{
    for (const auto& [name, value] : named_.snapshot())
        send(OscCodec::encode(name, value, floats), to, length);
}

void OscServer::send(const QByteArray& datagram, const sockaddr* to, socklen_t length)
{
    // A full send buffer drops the feedback rather than wait.
    if (::sendto(socket_, datagram.constData(), static_cast<size_t>(datagram.size()), MSG_DONTWAIT | MSG_NOSIGNAL,
                 to, length) == datagram.size())
        ++counts_.sent;
}

}  // namespace tavrelia
