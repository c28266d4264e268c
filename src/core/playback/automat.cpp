#include "playback/automat.h"

#include <algorithm>

#include <QByteArray>

#include "editing/code_page_1251.h"

namespace tavrelia {

namespace {

// The four effects by step: which of the four channels are bright.
constexpr const char* kPatterns[Automat::kPrograms][Automat::kSteps] = {
    {"BDDD", "DBDD", "DDBD", "DDDB", "BDDD", "DBDD", "DDBD", "DDDB"},   // one running light
    {"BBDD", "DBBD", "DDBB", "BDDB", "BBDD", "DBBD", "DDBB", "BDDB"},   // two running lights
    {"BBDD", "DDBB", "BBDD", "DDBB", "DBBD", "BDDB", "DBBD", "BDDB"},   // running shadow
    {"BDDD", "BBDD", "BBBD", "BBBB", "DBBB", "DDBB", "DDDB", "DDDD"},   // code with filling
};

// System bytes of automat 1; automat 2's follow five bytes on.
constexpr int kFieldStride = ShowImage::kAvtomat2Speed - ShowImage::kAvtomat1Speed;

}  // namespace

Automat::Automat(Parts parts, int number, QObject* parent)
    : QObject(parent),
      parts_(parts),
      number_(number),
      turnDown_(number == 1 ? 10 : 12),
      turnUp_(number == 1 ? 20 : 24)
{
    timer_.setObjectName(QStringLiteral("TimerTempAvtomat%1").arg(number));
    // The step period is a tempo the audience sees.
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setInterval(kFirstPeriodMs);
    connect(&timer_, &QTimer::timeout, this, &Automat::TimerTempAvtomatTimer);
}

int Automat::periodOf(uint8_t speed)
{
    const int v = speed == 0 ? kZeroSpeed : std::clamp<int>(speed, kMinSpeed, kMaxSpeed);
    return v * v;
}

QString Automat::speedLabel(int periodMs)
{
    return QString::number(60000 / periodMs) + QStringLiteral(" Flash/мин ");
}

const char* Automat::pattern(int program, int step)
{
    return kPatterns[program - 1][step];
}

int Automat::offset(int field) const
{
    return field + (number_ - 1) * kFieldStride;
}

uint8_t Automat::storedSpeed() const
{
    return parts_.image[offset(ShowImage::kAvtomat1Speed)];
}

uint8_t Automat::storedChannel() const
{
    return parts_.image[offset(ShowImage::kAvtomat1Channel)];
}

uint8_t Automat::storedMode() const
{
    return parts_.image[offset(ShowImage::kAvtomat1Mode)];
}

uint8_t Automat::storedBright() const
{
    return parts_.image[offset(ShowImage::kAvtomat1Bright)];
}

uint8_t Automat::storedDark() const
{
    return parts_.image[offset(ShowImage::kAvtomat1Dark)];
}

void Automat::TempAvtomatStatus()
{
    const int period = periodOf(storedSpeed());
    // setInterval restarts a running timer: only a new period may do that.
    if (period != timer_.interval())
        timer_.setInterval(period);
    emit speedChanged(speedLabel(period));
}

void Automat::takeStoredSettings()
{
    TempAvtomatStatus();
    setChannel(storedChannel());
    const int mode = storedMode();
    if (mode >= 1 && mode <= kPrograms)
        setProgram(mode);
}

void Automat::start()
{
    // Its steps are a tempo: a running timer is never restarted.
    if (!timer_.isActive())
        timer_.start();
}

void Automat::setSpeed(int position)
{
    {
        auto guard = parts_.lock.hold();
        parts_.image[offset(ShowImage::kAvtomat1Speed)] = static_cast<uint8_t>(position);
    }
    TempAvtomatStatus();
}

void Automat::setChannel(int position)
{
    auto guard = parts_.lock.hold();
    channel_ = std::clamp(position, 0, kMaxChannel);
    parts_.image[offset(ShowImage::kAvtomat1Channel)] = static_cast<uint8_t>(channel_);
}

void Automat::setMode(int mode)
{
    auto guard = parts_.lock.hold();
    parts_.image[offset(ShowImage::kAvtomat1Mode)] = static_cast<uint8_t>(mode);
}

void Automat::setProgram(int program)
{
    program_ = std::clamp(program, 1, kPrograms);
}

void Automat::setBright(int position)
{
    auto guard = parts_.lock.hold();
    parts_.image[offset(ShowImage::kAvtomat1Bright)] = static_cast<uint8_t>(255 - position);
}

void Automat::setDark(int position)
{
    auto guard = parts_.lock.hold();
    parts_.image[offset(ShowImage::kAvtomat1Dark)] = static_cast<uint8_t>(255 - position);
}

void Automat::TimerTempAvtomatTimer()
{
    bool stepped = false;
    {
        // The tick must never see the flag dropped between two steps of a running automat.
        auto guard = parts_.lock.hold();
        active_ = false;
        const bool runs = runAlone_ || (withShow_ && parts_.play.PlayFlag);
        if (!parts_.controls.blackOut && runs) {
            JobAvtomat();
            stepped = true;
        }
    }
    emit ticked(stepped);
}

void Automat::JobAvtomat()
{
    auto guard = parts_.lock.hold();
    active_ = true;
    if (step_ == 3 && ++cycle_ > turnUp_)
        cycle_ = 0;
    if (cycle_ < turnDown_)
        step_ = (step_ + 1) % kSteps;
    else
        step_ = (step_ + kSteps - 1) % kSteps;
    runProgram();
}

void Automat::runProgram()
{
    const uint8_t bright = storedBright();
    const uint8_t dark = storedDark();
    const char* lit = pattern(program_, step_);
    for (int i = 0; i < kChannels; ++i)
        values_[i] = lit[i] == 'B' ? bright : dark;
}

QString Automat::stepText() const
{
    return QStringLiteral("Step = ") + QString::number(step_ + 1);
}

QString Automat::channelsText() const
{
    QString text = QStringLiteral(" Каналы ");
    for (int i = 1; i <= kChannels; ++i)
        text += QString::number(channel_ + i) + (i < kChannels ? QStringLiteral("  ") : QString());
    return text;
}

QString Automat::firstChannelText() const
{
    // The name store keeps blanks as zero bytes: the whole name shows, not its first word.
    QByteArray name(reinterpret_cast<const char*>(parts_.image.data())
                        + ShowImage::nameAddress(channel_ + 1),
                    ShowImage::kNameSize);
    name.replace('\0', ' ');
    QString text = CodePage1251::decode(name);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return QStringLiteral(" Начиная от - ") + text;
}

void Automat::writeTo(DmxFrame& frame, const ConsoleLock::Guard&) const
{
    if (!active_)
        return;
    std::copy(values_.begin(), values_.end(), frame.begin() + channel_ + 1);
}

}  // namespace tavrelia
