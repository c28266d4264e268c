#include "timecode/ltc_connection.h"

#include <QPointer>

#include "timecode/ltc_reader.h"
#include "timecode/timecode.h"
#include "timecode/timecode_settings.h"

namespace tavrelia {

LtcConnection::LtcConnection(Timecode& timecode, QObject* parent)
    : Connection(kId, TimecodeSettings::kGroup, parent), timecode_(timecode), reader_(std::make_unique<LtcReader>())
{
}

LtcConnection::~LtcConnection()
{
    reader_->stop();
}

void LtcConnection::start(SettingsStore& store)
{
    SettingsStore::Group group = store.group(TimecodeSettings::kGroup);
    const TimecodeSettings settings = TimecodeSettings::read(group);
    took(group);
    timecode_.follow(kId, settings);
    setWhere(settings.device);
    QPointer<LtcConnection> self(this);
    QString error;
    const bool open = reader_->start(
        settings.device,
        [self](const LtcReader::Frame& frame) {
            QMetaObject::invokeMethod(self, [self, frame] {
                if (!self || self->state() != State::On)
                    return;
                self->timecode_.heard(frame.quarters, frame.rate, frame.direction, frame.at);
                self->setCounts({{QStringLiteral("frames"), ++self->frames_}});
            });
        },
        [self](const QString& reason) {
            QMetaObject::invokeMethod(self, [self, reason] {
                if (self)
                    self->setState(State::Fault, reason);
            });
        },
        &error);
    if (!open) {
        setState(State::Fault, error);
        return;
    }
    setState(State::On);
}

void LtcConnection::stop()
{
    reader_->stop();
    if (timecode_.source() == kId)
        timecode_.setSource({});
    setState(State::Off);
}

}  // namespace tavrelia
