#include "audio_panel.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QSignalBlocker>

#include <algorithm>
#include <cmath>

#include "audio/audio_connection.h"
#include "base_form.h"
#include "console.h"

namespace tavrelia {

namespace {
// The meter's range, dB of full scale.
constexpr int kFloorDb = -60;
}  // namespace

AudioPanel::AudioPanel(TBaseForm& form)
    : QGroupBox(QStringLiteral("Звуковой вход"), form.inputPage(TBaseForm::InputTab::Sinhro)),
      console_(form.console())
{
    setObjectName(QStringLiteral("GroupBoxAudio"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    setCheckable(true);
    setToolTip(QStringLiteral("Доли по звуку со входа (источник долей audio)"));
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(6, 0, 6, 2);
    layout->setVerticalSpacing(2);
    device_ = new QLineEdit(this);
    device_->setObjectName(QStringLiteral("EditAudioDevice"));
    device_->setToolTip(QStringLiteral("Устройство ALSA: default, hw:1, plughw:1,0 ..."));
    layout->addWidget(device_, 0, 0, 1, 2);
    state_ = new QLabel(this);
    state_->setObjectName(QStringLiteral("LabelAudioState"));
    layout->addWidget(state_, 0, 2);
    tempo_ = new QLabel(this);
    tempo_->setObjectName(QStringLiteral("LabelAudioTempo"));
    tempo_->setToolTip(QStringLiteral("Темп, найденный в звуке"));
    tempo_->setFixedWidth(tempo_->fontMetrics().horizontalAdvance(QStringLiteral("999.9 BPM")));
    layout->addWidget(tempo_, 1, 0);
    confidence_ = new QLabel(this);
    confidence_->setObjectName(QStringLiteral("LabelAudioConfidence"));
    confidence_->setToolTip(QStringLiteral("Уверенность в долях"));
    layout->addWidget(confidence_, 1, 1);
    level_ = new QProgressBar(this);
    level_->setObjectName(QStringLiteral("ProgressBarAudioLevel"));
    level_->setToolTip(QStringLiteral("Уровень входа, дБ"));
    level_->setRange(kFloorDb, 0);
    level_->setTextVisible(false);
    level_->setFixedHeight(tempo_->sizeHint().height() - 4);
    layout->addWidget(level_, 1, 2);
    form.addToRow(TBaseForm::InputTab::Sinhro, 1, 1, this);

    connect(this, &QGroupBox::toggled, this,
            [this](bool on) { write(QStringLiteral("Enabled"), on ? QStringLiteral("true") : QStringLiteral("false")); });
    connect(device_, &QLineEdit::editingFinished, this, [this] {
        const QString device = device_->text().trimmed();
        write(QStringLiteral("Device"), device.isEmpty() ? AudioConnection::kDefaultDevice : device);
    });
    connect(&console_.connections, &Connections::changed, this, [this](const QString& id) {
        if (id == AudioConnection::kId)
            showInput();
    });
    connect(&console_.audioInput, &AudioInput::beatChanged, this, &AudioPanel::showBeat);
    connect(&console_.audioInput, &AudioInput::levelChanged, this, &AudioPanel::showLevel);
    device_->setText(console_.store.group(AudioConnection::kGroup)
                         .text(QStringLiteral("Device"), AudioConnection::kDefaultDevice));
    showInput();
    showBeat();
}

// Written to the file; the connections start, stop or restart the input from it.
void AudioPanel::write(const QString& key, const QString& value)
{
    if (!console_.store.write(AudioConnection::kGroup, {{key, value}}))
        state_->setText(QStringLiteral("Не удалось записать файл настроек ") + console_.store.path());
}

void AudioPanel::showInput()
{
    const Connections& connections = console_.connections;
    const Connection::State state = connections.state(AudioConnection::kId);
    {
        const QSignalBlocker quiet(this);
        setChecked(state != Connection::State::Off);
    }
    const QStringList problems = connections.problems(AudioConnection::kId);
    static const QString kStates[] = {QStringLiteral("Выключен"), QStringLiteral("Подключение..."), QString(), QString()};
    QString text = problems.isEmpty() ? kStates[int(state)] : problems.join(QStringLiteral("; "));
    if (problems.isEmpty() && state == Connection::State::On)
        text = connections.where(AudioConnection::kId);
    if (problems.isEmpty() && state == Connection::State::Fault)
        text = connections.reason(AudioConnection::kId);
    state_->setText(text);
    state_->setToolTip(text);
    if (state != Connection::State::On)
        showLevel(kFloorDb);
}

void AudioPanel::showBeat()
{
    const AudioInput& input = console_.audioInput;
    tempo_->setText(input.found() ? QStringLiteral("%1 BPM").arg(input.bpm(), 0, 'f', 1) : QStringLiteral("- BPM"));
    confidence_->setText(input.found() ? QStringLiteral("%1 %").arg(std::lround(input.confidence() * 100)) : QString());
}

void AudioPanel::showLevel(double db)
{
    level_->setValue(std::clamp(static_cast<int>(std::lround(db)), kFloorDb, 0));
}

}  // namespace tavrelia
