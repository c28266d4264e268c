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
    statesTimer_ = new QTimer(this);
    statesTimer_->setInterval(kStatesInterval);
    connect(statesTimer_, &QTimer::timeout, this, &OscServer::sendSomeStates);
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
    answered_.clear();
    statesDue_.clear();
    statesTimer_->stop();
    target_.reset();
    emit countsChanged();
}

void OscServer::closeToAll()
{
    clients_.clear();
    // The fixed target goes on getting its states: it needs no PIN.
    std::erase_if(statesDue_, [this](const StatesDue& due) {
        return !target_ || due.length != targetLength_ || std::memcmp(&due.address, &*target_, due.length) != 0;
    });
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
            drop({OscCodec::Fault::Malformed, QStringLiteral("датаграмма в %1 байт").arg(size)});
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
    const Clock::time_point now = Clock::now();
    const Sender sender{from, length, hostOf(from, length), size};
    const QString name = decoded.message ? decoded.message->name : QString();
    const std::optional<bool> floats = decoded.message ? decoded.message->floats : std::nullopt;
    if (name == QLatin1String(OscCodec::kPin)) {
        if (!takePin(decoded.message->value.toString(), sender, now))
            return;
        // Let in: every state to the port it came from.
        clients_.heard(from, length, floats, now);
        sendAll(from, length, clients_.find(from, length)->floats);
        return;
    }
    if (!pins_.isLetIn(sender.host)) {
        drop({OscCodec::Fault::Refused, QStringLiteral("%1: нет PIN").arg(sender.host)});
        answer("needed", sender, now);
        return;
    }
    // Any other port of a machine let in is a client from its first message on.
    clients_.heard(from, length, floats, now);
    if (name == QLatin1String(OscCodec::kSync)) {
        sendAll(from, length, clients_.find(from, length)->floats);
        ++counts_.applied;
        return;
    }
    if (decoded.refusal) {
        drop(*decoded.refusal);
        return;
    }
    if (named_.apply(decoded.message->name, decoded.message->value)) {
        drop({OscCodec::Fault::Refused, refusedText(decoded.message->name)});
        return;
    }
    ++counts_.applied;
}

QString OscServer::refusedText(const QString& name)
{
    const NamedControls::Info* info = NamedControls::find(name);
    if (!info->writable)
        return QStringLiteral("%1 только показывается").arg(name);
    switch (info->kind) {
    case NamedControls::Kind::Word:
        return QStringLiteral("%1 — одно из: %2").arg(name, info->words.join(QStringLiteral(", ")));
    case NamedControls::Kind::Pair:
        return QStringLiteral("%1 — два числа %2..%3").arg(name).arg(info->min).arg(info->max);
    default:
        return QStringLiteral("%1 — %2..%3").arg(name).arg(info->min).arg(info->max);
    }
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

bool OscServer::takePin(const QString& pin, const Sender& sender, Clock::time_point now)
{
    const bool letIn = pins_.isLetIn(sender.host);
    // A machine already let in is told nothing: it hears the states.
    auto refuse = [&](const QString& why, const char* word) {
        drop({OscCodec::Fault::Refused, why});
        if (!letIn)
            answer(word, sender, now);
        return false;
    };
    if (!hasPin())
        return refuse(QStringLiteral("у пульта нет PIN"), "needed");
    switch (pins_.check(sender.host, pin, now).verdict) {
    case PinGuard::Verdict::Accepted:
        pins_.letIn(sender.host);
        ++counts_.applied;
        return true;
    case PinGuard::Verdict::Refused:
        return refuse(QStringLiteral("%1: неверный PIN").arg(sender.host), "wrong");
    case PinGuard::Verdict::Waiting:
        // Not looked at: whether it was right is not known.
        return refuse(QStringLiteral("%1: PIN раньше срока").arg(sender.host), "needed");
    }
    return false;
}

void OscServer::answer(const char* word, const Sender& sender, Clock::time_point now)
{
    const QByteArray datagram = OscCodec::encode(QLatin1String(OscCodec::kPin), QString::fromLatin1(word), false);
    if (static_cast<size_t>(datagram.size()) > sender.sent)
        return;
    const auto last = answered_.constFind(sender.host);
    if (last != answered_.cend() && now - *last < kAnswerEvery)
        return;
    if (answered_.size() >= kAnswered && last == answered_.cend()) {
        answered_.removeIf([now](QHash<QString, Clock::time_point>::iterator each) {
            return now - each.value() >= kAnswerEvery;
        });
        // Answers to this many machines a second are a flood: it gets none.
        if (answered_.size() >= kAnswered)
            return;
    }
    answered_.insert(sender.host, now);
    send(datagram, sender.address, sender.length);
}

void OscServer::stateChanged(const QString& name, const QVariant& value)
{
    clients_.forgetQuiet(Clock::now());
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
    auto due = std::find_if(statesDue_.begin(), statesDue_.end(), [&](const StatesDue& each) {
        return each.length == length && std::memcmp(&each.address, to, length) == 0;
    });
    if (due == statesDue_.end()) {
        // Bounded: a client and the target each, the longest due gives way.
        if (statesDue_.size() > OscClients::kMaxClients)
            statesDue_.erase(statesDue_.begin());
        due = statesDue_.emplace(statesDue_.end());
        std::memcpy(&due->address, to, length);
        due->length = length;
    }
    due->floats = floats;
    due->next = 0;
    sendSomeStates();
    statesTimer_->start();
}

void OscServer::sendSomeStates()
{
    const QList<NamedControls::Info>& all = NamedControls::all();
    for (StatesDue& due : statesDue_) {
        const qsizetype end = std::min(all.size(), due.next + kStatesPerTurn);
        // Each read as it goes out, so a state that changed meanwhile is never sent old.
        for (; due.next < end; ++due.next) {
            const QString& name = all[due.next].name;
            send(OscCodec::encode(name, named_.value(name), due.floats), reinterpret_cast<const sockaddr*>(&due.address),
                 due.length);
        }
    }
    std::erase_if(statesDue_, [&](const StatesDue& due) { return due.next == all.size(); });
    if (statesDue_.empty())
        statesTimer_->stop();
    emit countsChanged();
}

void OscServer::send(const QByteArray& datagram, const sockaddr* to, socklen_t length)
{
    // A full send buffer drops the feedback rather than wait.
    if (::sendto(socket_, datagram.constData(), static_cast<size_t>(datagram.size()), MSG_DONTWAIT | MSG_NOSIGNAL,
                 to, length) == datagram.size())
        ++counts_.sent;
}

}  // namespace tavrelia
