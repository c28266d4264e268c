#include "playback/conveyor.h"

#include <QFileInfo>

#include "playback/sequencer.h"

namespace tavrelia {

namespace {
// The keys of buttons 1..19; button 20 has none.
constexpr char kKeys[] = "QWERTYUIOPASDFGHJKL";
constexpr int kKeyedButtons = sizeof kKeys - 1;
}  // namespace

Conveyor::Conveyor(Parts parts, QObject* parent)
    : QObject(parent),
      settings_(parts.settings),
      showFiles_(parts.showFiles),
      image_(parts.image),
      sequencer_(parts.sequencer),
      lock_(parts.lock)
{
}

const QString& Conveyor::fileOf(int n) const
{
    return settings_.conveyorFiles[n - 1];
}

QString Conveyor::shortName(const QString& fileName, int length)
{
    QString name = QFileInfo(fileName).fileName().left(length);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    return name;
}

QString Conveyor::ConvertorFileName() const
{
    return shortName(showFiles_.openFileName, kBoundNameLength);
}

int Conveyor::buttonOfKey(int virtualKey)
{
    for (int n = 1; n <= kKeyedButtons; ++n) {
        if (kKeys[n - 1] == virtualKey)
            return n;
    }
    return 0;
}

QString Conveyor::captionOf(int n, const QString& text, const char* separator,
                            const char* withoutKey)
{
    if (n > kKeyedButtons)
        return QString::fromUtf8(withoutKey) + text;
    return QLatin1Char(kKeys[n - 1]) + QString::fromUtf8(separator) + text;
}

void Conveyor::ReadIniFile()
{
    for (int n = 1; n <= kButtons; ++n) {
        Button& b = buttons_[n - 1];
        const QString& file = fileOf(n);
        b.bound = !file.isEmpty();
        b.caption = b.bound ? captionOf(n, shortName(file, kStartUpNameLength), "=", " ")
                            : captionOf(n, QStringLiteral("пусто"), " ", "");
    }
    emit changed();
}

void Conveyor::bind(int n, const QString& fileName)
{
    settings_.conveyorFiles[n - 1] = fileName;
    showFiles_.openFileName = fileName;
    Button& b = buttons_[n - 1];
    b.bound = true;
    b.caption = captionOf(n, ConvertorFileName(), "=", " ");
    emit changed();
}

void Conveyor::SpeedButtonKonvNewClick()
{
    for (int n = 1; n <= kButtons; ++n) {
        settings_.conveyorFiles[n - 1].clear();
        buttons_[n - 1] = {false, false, captionOf(n, QStringLiteral("(пусто)"), " ", "")};
    }
    emit changed();
}

void Conveyor::releaseAll()   // KonveyrButtonOff
{
    for (Button& b : buttons_)
        b.pressed = false;
}

void Conveyor::SpeedButtonClick(int n)
{
    Button& b = buttons_[n - 1];
    b.pressed = !b.pressed;
    SpeedButtonJob(n);
    emit changed();
}

void Conveyor::SpeedButtonJob(int n)
{
    if (mode_ != Mode::Hand)
        return;
    releaseAll();
    buttons_[n - 1].pressed = true;
    emit changed();
    if (!buttons_[n - 1].bound)
        return;
    showFiles_.openFileName = fileOf(n);
    ManualLoad();
}

bool Conveyor::keyJob(int virtualKey)
{
    const int n = buttonOfKey(virtualKey);
    if (n == 0)
        return false;
    SpeedButtonJob(n);
    return true;
}

void Conveyor::setMode(Mode mode)
{
    mode_ = mode;
    if (listMode()) {
        if (mode == Mode::ListBegin)
            ConveyorPosition = 1;
        KonveyrJob();
        sequencer_.ModePlay();
    } else {
        sequencer_.ModeStop();
    }
    emit changed();
}

void Conveyor::ManualLoad()
{
    const FileResult result = showFiles_.BlocOpenFile(
        [this](const ConsoleLock::Guard&) { image_[ShowImage::kCurrentScene] = 0; });
    label_ = ConvertorFileName();
    emit changed();
    emit loaded(result);
}

void Conveyor::KonveyrJob(const ShowFiles::WithLock& withLock)
{
    int found = 0;
    for (int n = 1; n <= kButtons && found == 0; ++n) {
        if (ConveyorPosition != n)
            continue;
        const Button& b = buttons_[n - 1];
        if (b.pressed && b.bound)
            found = n;
        else
            ++ConveyorPosition;
    }

    const auto fromSceneZero = [&](const ConsoleLock::Guard& held) {
        image_[ShowImage::kCurrentScene] = 0;
        if (withLock)
            withLock(held);
    };
    FileResult result;
    if (found != 0) {
        showFiles_.openFileName = fileOf(found);
        result = showFiles_.BlocOpenFile(fromSceneZero);
    } else {
        fromSceneZero(lock_.hold());
    }

    if (ConveyorPosition <= kButtons)
        label_ = QString::number(ConveyorPosition) + QLatin1Char(' ') + ConvertorFileName();
    if (++ConveyorPosition > kButtons)
        ConveyorPosition = 1;
    emit changed();
    if (found != 0)
        emit loaded(result);
}

}  // namespace tavrelia
