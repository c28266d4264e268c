#include "audio/audio_connection.h"

namespace tavrelia {

AudioConnection::AudioConnection(AudioInput& input, QObject* parent)
    : Connection(kId, kGroup, parent), input_(input)
{
    connect(&input_, &AudioInput::changed, this, &AudioConnection::show);
}

void AudioConnection::start(SettingsStore& store)
{
    SettingsStore::Group group = store.group(kGroup);
    const QString device = group.text(QStringLiteral("Device"), kDefaultDevice);
    took(group);
    input_.start(device);
}

void AudioConnection::stop()
{
    input_.stop();
}

void AudioConnection::show()
{
    static constexpr State kStates[] = {State::Off, State::Starting, State::On, State::Fault};
    const bool on = input_.state() == AudioInput::State::On;
    setWhere(on ? QStringLiteral("%1, %2 Hz, %3 ch").arg(input_.device()).arg(input_.rate()).arg(input_.channels())
                : input_.device());
    setCounts({{QStringLiteral("overruns"), input_.overruns()}});
    setState(kStates[int(input_.state())], input_.reason());
}

}  // namespace tavrelia
