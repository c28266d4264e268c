#include "midi/midi_surface.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "control/controls.h"

namespace tavrelia {

namespace {

using Kind = NamedControls::Kind;

bool isNote(const MidiMessage& m)
{
    return m.kind == MidiMessage::Kind::NoteOn || m.kind == MidiMessage::Kind::NoteOff;
}

bool isRealTime(const MidiMessage& m)
{
    return m.kind >= MidiMessage::Kind::Clock && m.kind <= MidiMessage::Kind::Stop;
}

bool isTimecode(const MidiMessage& m)
{
    return m.kind == MidiMessage::Kind::QuarterFrame || m.kind == MidiMessage::Kind::FullFrame;
}

int scaled(double fraction, int max)
{
    return static_cast<int>(std::lround(std::clamp(fraction, 0.0, 1.0) * max));
}

// A state as a fraction 0..1 of its range: on or off, a level, a word of its list.
double fractionOfState(const NamedControls::Info& info, const QVariant& value)
{
    switch (info.kind) {
    case Kind::Level:
        return info.max > info.min ? double(value.toInt() - info.min) / (info.max - info.min) : 0.0;
    case Kind::Word:
        return info.words.size() > 1 ? double(info.words.indexOf(value.toString())) / (info.words.size() - 1)
                                     : 0.0;
    default:
        return value.toInt() != 0 ? 1.0 : 0.0;
    }
}

QByteArray message(uint8_t status, int channel, int number, int value)
{
    const char bytes[] = {char(status | (channel - 1)), char(number), char(value)};
    return QByteArray(bytes, sizeof bytes);
}

}  // namespace

MidiSurface::MidiSurface(NamedControls& named, Controls& controls, QObject* parent)
    : QObject(parent), named_(named), controls_(controls)
{
    connect(&named_, &NamedControls::changed, this, &MidiSurface::stateChanged);
}

std::optional<QString> MidiSurface::refusal(const QString& name)
{
    const NamedControls::Info* info = NamedControls::find(name);
    if (!info)
        return QStringLiteral("no control %1").arg(name);
    if (!info->writable || info->kind == Kind::Pair)
        return QStringLiteral("%1 cannot be bound to a note or a controller").arg(name);
    return std::nullopt;
}

void MidiSurface::input(const QString& device, const QByteArray& bytes)
{
    input(device, bytes, controls_.now());
}

void MidiSurface::input(const QString& device, const QByteArray& bytes, std::chrono::steady_clock::time_point at)
{
    MidiParser& parser = parsers_[device];
    for (const char byte : bytes) {
        if (const std::optional<MidiMessage> message = parser.feed(static_cast<uint8_t>(byte)))
            handle(*message, at);
    }
}

void MidiSurface::handle(const MidiMessage& message, std::chrono::steady_clock::time_point at)
{
    if (isRealTime(message)) {
        controls_.clockMessage(message.kind, at);
        return;
    }
    if (isTimecode(message)) {
        controls_.timecodeMessage(message);
        return;
    }
    if (!learning_.isEmpty() || learnt_) {
        learnFrom(message);
        return;
    }
    for (const MidiMap::Entry& entry : map_.entries()) {
        if (entry.second.matches(message))
            act(entry.first, entry.second, message);
    }
}

void MidiSurface::learn(const QString& name)
{
    learning_ = refusal(name) ? QString() : name;
    learnt_.reset();
}

// A note or a controller binds at once; a controller 0..31 followed by its low half
// (number + 32) becomes a 14-bit pair. A note's release is not a control moved.
void MidiSurface::learnFrom(const MidiMessage& message)
{
    if (learnt_) {
        const MidiBinding pair{MidiBinding::Type::Cc14, learnt_->channel, learnt_->number};
        const bool lowHalf = message.kind == MidiMessage::Kind::ControlChange &&
                             message.channel + 1 == pair.channel && message.number == pair.number + 32;
        const QString name = std::exchange(learning_, QString());
        learnt_.reset();
        if (lowHalf) {
            const QStringList gone = map_.bind(name, pair);
            emit learned(name, pair, gone);
            return;
        }
        handle(message, controls_.now());
        return;
    }
    if (message.kind == MidiMessage::Kind::NoteOff)
        return;
    const MidiBinding binding{isNote(message) ? MidiBinding::Type::Note : MidiBinding::Type::Cc,
                              message.channel + 1, message.number};
    const QString name = learning_;
    const QStringList gone = map_.bind(name, binding);
    // Whoever hears of the binding sees whether learning goes on.
    if (binding.type == MidiBinding::Type::Cc && binding.number < 32)
        learnt_ = binding;   // learning_ stays until the next message says
    else
        learning_.clear();
    emit learned(name, binding, gone);
}

double MidiSurface::fractionOf(const MidiBinding& binding, const MidiMessage& message)
{
    if (binding.type != MidiBinding::Type::Cc14)
        return message.value / 127.0;
    uint8_t& high = high_[size_t(binding.channel - 1) * 32 + size_t(binding.number)];
    if (message.number == binding.number)
        high = message.value;
    const int low = message.number == binding.number ? 0 : message.value;
    return ((high << 7) | low) / 16383.0;
}

void MidiSurface::act(const QString& name, const MidiBinding& binding, const MidiMessage& message)
{
    const NamedControls::Info* info = NamedControls::find(name);
    const bool noteOn = message.kind == MidiMessage::Kind::NoteOn;
    const bool high = isNote(message) ? noteOn : message.value >= 64;
    const double fraction = fractionOf(binding, message);
    QVariant value;
    switch (info->kind) {
    case Kind::Press:
        value = int(high);
        break;
    case Kind::Switch:
        // A pad toggles on its press; a controller's button sends on and off itself.
        if (isNote(message) && !noteOn)
            return;
        value = isNote(message) ? int(named_.value(name).toInt() == 0) : int(high);
        break;
    case Kind::Level:
        value = info->min + scaled(fraction, info->max - info->min);
        break;
    case Kind::Word: {
        if (isNote(message) && !noteOn)
            return;
        const qsizetype count = info->words.size();
        const qsizetype index = isNote(message) ? (info->words.indexOf(named_.value(name).toString()) + 1) % count
                                                : std::min<qsizetype>(count - 1, qsizetype(fraction * count));
        value = info->words.value(index);
        break;
    }
    case Kind::Pair:
    case Kind::Text:
        return;
    }
    named_.apply(name, value);
}

void MidiSurface::stateChanged(const QString& name, const QVariant&)
{
    const bool paged = name == u"page";
    for (const MidiMap::Entry& entry : map_.entries()) {
        if (entry.first == name || (paged && entry.first.startsWith(u"fader/")))
            send(entry.first, entry.second);
    }
}

void MidiSurface::sendAll()
{
    for (const MidiMap::Entry& entry : map_.entries())
        send(entry.first, entry.second);
}

void MidiSurface::send(const QString& name, const MidiBinding& binding)
{
    const double fraction = fractionOfState(*NamedControls::find(name), named_.value(name));
    switch (binding.type) {
    case MidiBinding::Type::Note:
        emit output(message(0x90, binding.channel, binding.number, scaled(fraction, 127)));
        break;
    case MidiBinding::Type::Cc:
        emit output(message(0xB0, binding.channel, binding.number, scaled(fraction, 127)));
        break;
    case MidiBinding::Type::Cc14: {
        const int value = scaled(fraction, 16383);
        emit output(message(0xB0, binding.channel, binding.number, value >> 7) +
                    message(0xB0, binding.channel, binding.number + 32, value & 0x7F));
        break;
    }
    }
}

}  // namespace tavrelia
