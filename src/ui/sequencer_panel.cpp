#include "sequencer_panel.h"

#include <algorithm>

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "color_swatch.h"
#include "console.h"
#include "style_icon.h"

namespace tavrelia {

namespace {
constexpr int kLampMs = 100;
constexpr int kStopShownMs = 100;
constexpr int kClockMs = 1000;
constexpr int kBarHeight = 17;

QScrollBar* horizontalBar(QWidget* parent, const char* name, int min, int max, int value)
{
    auto* bar = new QScrollBar(Qt::Horizontal, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(min, max);
    bar->setValue(value);
    bar->setPageStep(10);
    bar->setFixedHeight(kBarHeight);
    return bar;
}

QLabel* label(QWidget* parent, const char* name, const QString& text)
{
    auto* created = new QLabel(text, parent);
    created->setObjectName(QString::fromLatin1(name));
    return created;
}
}  // namespace

SequencerPanel::SequencerPanel(TBaseForm& form)
    : QWidget(form.tempPage(TBaseForm::TempTab::Sekvenser)),
      form_(form),
      console_(form.console()),
      sequencer_(form.console().sequencer),
      live_(form.console().live)
{
    setObjectName(QStringLiteral("SequencerPanel"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    // Close rows: the beat's lamp, tempo and source share them, and the column has no
    // height to spare.
    rows->setSpacing(2);
    buildTempoRow();
    buildModeRow();
    buildClockRow();
    buildPresetRow();
    parentWidget()->layout()->addWidget(this);

    connect(&sequencer_, &Sequencer::tempoChanged, labelTemp_, &QLabel::setText);
    connect(&live_, &Controls::tempoChanged, tempBar_, &QScrollBar::setValue);
    connect(&sequencer_, &Sequencer::beat, this, &SequencerPanel::showBeat);
    connect(&sequencer_, &Sequencer::modeChanged, this, &SequencerPanel::showMode);
    connect(&sequencer_, &Sequencer::advanced, &form_, &TBaseForm::ReturnPageControlAll);
    connect(&form_, &TBaseForm::dataSystemRefresh, this, &SequencerPanel::ReturnTempo);
    // New and open apply the show's tempo to the period at once.
    connect(&form_, &TBaseForm::showCleared, &sequencer_, &Sequencer::TempStatus);
    connect(&form_, &TBaseForm::showLoaded, &sequencer_, &Sequencer::TempStatus);
    // A show stopped other than by Stop (the blackout, the picture editor) shows Stop
    // at the desk's next refresh, a tenth of a second on.
    connect(&live_, &Controls::playingChanged, this, [this](bool playing) {
        if (!playing)
            QTimer::singleShot(kStopShownMs, this, &SequencerPanel::showStopWhenNotPlaying);
    });
    // The picture editor holds the show: nothing to play meanwhile.
    connect(&console_.pictureEditor, &StaticPictureEditor::openChanged, playButton_,
            [this](bool open) { playButton_->setVisible(!open); });

    lampTimer_ = new QTimer(this);
    lampTimer_->setObjectName(QStringLiteral("TimerColorLentaTempa"));
    lampTimer_->setInterval(kLampMs);
    lampTimer_->setSingleShot(true);
    connect(lampTimer_, &QTimer::timeout, this, &SequencerPanel::TimerColorLentaTempaTimer);
    lampTimer_->start();

    clockTimer_ = new QTimer(this);
    clockTimer_->setObjectName(QStringLiteral("TimerShouClock"));
    clockTimer_->setInterval(kClockMs);
    connect(clockTimer_, &QTimer::timeout, this, &SequencerPanel::TimerShouClockTimer);
    clockTimer_->start();

    sequencer_.start();
}

void SequencerPanel::buildTempoRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    tempBar_ = horizontalBar(this, "ScrollBarTemp", Sequencer::kMinTempo, Sequencer::kMaxTempo,
                             ShowImage::kNewTempo);
    tempBar_->setProperty("control", QStringLiteral("tempo"));
    tempBar_->setToolTip(QStringLiteral("Установка времени перехода на следующую сцену"));
    connect(tempBar_, &QScrollBar::valueChanged, this, &SequencerPanel::ScrollBarTempChange);
    row->addWidget(tempBar_, 1);
    labelTemp_ = label(this, "LabelTemp", QStringLiteral("120 сцен/мин"));
    labelTemp_->setMinimumWidth(labelTemp_->fontMetrics().horizontalAdvance(
        QStringLiteral("600  Сцен/мин ")));
    row->addWidget(labelTemp_);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void SequencerPanel::buildModeRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(3);
    auto makeButton = [this, row](const char* name, QStyle::StandardPixmap icon,
                                  const QString& hint) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(name));
        button->setIcon(styleIcon(icon));
        button->setIconSize(QSize(18, 18));
        button->setCheckable(true);
        button->setToolTip(hint);
        row->addWidget(button);
        return button;
    };
    stopButton_ = makeButton("SpeedButtonStop", QStyle::SP_MediaStop,
                             QStringLiteral("Остановить Шоу - горячая кнопка /-/ "));
    stopButton_->setProperty("control", QStringLiteral("stop"));
    playButton_ = makeButton("SpeedButtonPlay", QStyle::SP_MediaPlay,
                             QStringLiteral("Запустить Шоу - горячая кнопка /+/ "));
    playButton_->setProperty("control", QStringLiteral("play"));
    modeGroup_ = new QButtonGroup(this);
    modeGroup_->addButton(stopButton_);
    modeGroup_->addButton(playButton_);
    stopButton_->setChecked(true);
    connect(stopButton_, &QToolButton::clicked, this, &SequencerPanel::SpeedButtonStopClick);
    connect(playButton_, &QToolButton::clicked, this, &SequencerPanel::SpeedButtonPlayClick);
    playButton_->installEventFilter(this);

    auto* tap = new QToolButton(this);
    tap->setObjectName(QStringLiteral("SpeedButtonTap"));
    tap->setProperty("control", QStringLiteral("tap"));
    tap->setText(QStringLiteral("Tap"));
    tap->setToolTip(QStringLiteral("Темп по ударам - горячая кнопка /9/ "));
    tap->setFixedHeight(playButton_->sizeHint().height());
    connect(tap, &QToolButton::pressed, &live_, &Controls::tap);
    row->addWidget(tap);

    row->addSpacing(4);
    lamp_ = new ColorSwatch(this, ColorSwatch::Frame::Plain);
    lamp_->setAttribute(Qt::WA_OpaquePaintEvent);   // fills itself: its blink repaints only itself
    lamp_->setObjectName(QStringLiteral("ShapeTempClikc"));
    lamp_->setFixedSize(14, 14);
    row->addWidget(lamp_);
    addBeatLamp(row);
    row->addStretch(1);

    ring_ = new QCheckBox(QStringLiteral("Кольцо"), this);
    ring_->setObjectName(QStringLiteral("CheckBoxRepeat"));
    ring_->setChecked(true);
    ring_->setToolTip(
        QStringLiteral("При наличии флажка сцены повторяются по кругу безконечно"));
    row->addWidget(ring_);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

// Following the beat, where it comes from, and how many of its beats a scene lasts.
void SequencerPanel::addBeatFollow(QHBoxLayout* row)
{
    auto* follow = new QCheckBox(this);
    follow->setObjectName(QStringLiteral("CheckBoxClockFollow"));
    follow->setProperty("control", QStringLiteral("beat/follow"));
    follow->setToolTip(QStringLiteral("Сцены меняются на доли источника"));
    connect(follow, &QCheckBox::toggled, &live_, &Controls::setClockFollow);
    connect(&live_, &Controls::clockFollowChanged, follow, &QCheckBox::setChecked);
    row->addWidget(follow);
    // As low as the row's buttons: the column has no height to spare.
    const auto combo = [this, row, follow](const char* name, const char* control, const QString& hint,
                                           const QStringList& items, const QString& widest) {
        auto* box = new QComboBox(this);
        box->setObjectName(QString::fromLatin1(name));
        box->setProperty("control", QString::fromLatin1(control));
        box->setToolTip(hint);
        box->addItems(items);
        box->setFixedSize(box->fontMetrics().horizontalAdvance(widest) + 4 * box->fontMetrics().averageCharWidth(),
                          follow->sizeHint().height() + 2);
        row->addWidget(box);
        return box;
    };
    auto* source = combo("ComboBoxBeatSource", "beat/source", QStringLiteral("Источник долей"),
                         {QStringLiteral("tap"), QStringLiteral("midi"), QStringLiteral("link"), QStringLiteral("audio")},
                         QStringLiteral("audio"));
    source->setCurrentText(live_.beatSource());
    connect(source, &QComboBox::textActivated, &live_, &Controls::setBeatSource);
    // A source this build lacks is refused: the box shows the one in force.
    connect(source, &QComboBox::textActivated, source, [this, source] { source->setCurrentText(live_.beatSource()); });
    connect(&live_, &Controls::beatSourceChanged, source, &QComboBox::setCurrentText);
    auto* beats = combo("ComboBoxBeatsPerScene", "beat/per-scene", QStringLiteral("Долей на сцену"),
                        {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("4"), QStringLiteral("8")},
                        QStringLiteral("8"));
    beats->setCurrentText(QString::number(live_.beatsPerScene()));
    connect(beats, &QComboBox::textActivated, this, [this](const QString& count) { live_.setBeatsPerScene(count.toInt()); });
    connect(&live_, &Controls::beatsPerSceneChanged, beats,
            [beats](int count) { beats->setCurrentText(QString::number(count)); });
}

// A lamp that flashes on every beat of the source, and the source's tempo.
void SequencerPanel::addBeatLamp(QHBoxLayout* row)
{
    beatLamp_ = new ColorSwatch(this, ColorSwatch::Frame::Round);
    beatLamp_->setObjectName(QStringLiteral("ShapeBeat"));
    beatLamp_->setToolTip(QStringLiteral("Доля источника"));
    beatLamp_->setFixedSize(14, 14);
    beatLamp_->setBrushColor(palette().color(QPalette::Button));
    row->addWidget(beatLamp_);
    beatTempo_ = label(this, "LabelBeatTempo", QString());
    beatTempo_->setToolTip(QStringLiteral("Темп источника долей, ударов в минуту"));
    beatTempo_->setFixedWidth(beatTempo_->fontMetrics().horizontalAdvance(QStringLiteral("999.9 BPM")));
    row->addWidget(beatTempo_);
    beatLampTimer_ = new QTimer(this);
    beatLampTimer_->setObjectName(QStringLiteral("TimerBeatLamp"));
    beatLampTimer_->setInterval(kLampMs);
    beatLampTimer_->setSingleShot(true);
    connect(beatLampTimer_, &QTimer::timeout, beatLamp_,
            [this] { beatLamp_->setBrushColor(palette().color(QPalette::Button)); });
    connect(&live_, &Controls::beat, this, &SequencerPanel::flashBeat);
    connect(&live_, &Controls::beatTempoChanged, this, &SequencerPanel::showBeatTempo);
    showBeatTempo(live_.beatTempo());
}

void SequencerPanel::flashBeat()
{
    beatLamp_->setBrushColor(QColor(255, 160, 0));
    beatLampTimer_->start();
}

void SequencerPanel::showBeatTempo(double bpm)
{
    beatTempo_->setText(bpm > 0 ? QStringLiteral("%1 BPM").arg(bpm, 0, 'f', 1) : QStringLiteral("- BPM"));
}

void SequencerPanel::buildClockRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    labelTimeShou_ = label(this, "LabelTimeShou", QStringLiteral("Время в Шоу ?"));
    labelTimePause_ = label(this, "LabelTimePause", QStringLiteral("Время  Паузы  "));
    // The clocks change every second. A label of fixed size repaints only itself; any
    // other would lay out the window again and repaint the whole tab each time.
    const QSize widest(labelTimePause_->fontMetrics().horizontalAdvance(
                           QStringLiteral("Паузa = 23ч 59м 59с ")),
                       labelTimePause_->sizeHint().height());
    for (QLabel* clock : {labelTimeShou_, labelTimePause_}) {
        clock->setFixedSize(widest);
        clock->setAutoFillBackground(true);   // opaque: the group box under it stays as it is
        row->addWidget(clock);
    }
    row->addStretch(1);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void SequencerPanel::buildPresetRow()
{
    auto* row = new QHBoxLayout;
    row->setSpacing(4);
    presetBar_ = horizontalBar(this, "ScrollBarScenHand", 0, 255, 1);
    connect(presetBar_, &QScrollBar::valueChanged, this, &SequencerPanel::ScrollBarScenHandChange);
    row->addWidget(presetBar_, 1);
    labelPreset_ = label(this, "LabelScenHand", QStringLiteral("Уст 1"));
    labelPreset_->setMinimumWidth(labelPreset_->fontMetrics().horizontalAdvance(
        QStringLiteral("Уст 256")));
    row->addWidget(labelPreset_);
    auto* set = new QToolButton(this);
    set->setObjectName(QStringLiteral("SpeedButtonScenHand"));
    set->setText(QStringLiteral("Set"));
    set->setToolTip(QStringLiteral("Предварительная  установка начальной сцены "));
    connect(set, &QToolButton::clicked, this, &SequencerPanel::SpeedButtonScenHandClick);
    row->addWidget(set);
    row->addSpacing(4);
    addBeatFollow(row);
    static_cast<QVBoxLayout*>(layout())->addLayout(row);
}

void SequencerPanel::ScrollBarTempChange(int position)
{
    live_.setTempo(position);
}

void SequencerPanel::ReturnTempo()
{
    tempBar_->setValue(console_.image.sceneTempo());
    // The bar's handler stores the clamped tempo only when the position moved; a
    // stored tempo the bar cannot show is put right even when it did not.
    if (console_.image.sceneTempo() != tempBar_->value())
        ScrollBarTempChange(tempBar_->value());
    sequencer_.TempStatus();
}

void SequencerPanel::SpeedButtonPlayClick()
{
    live_.play();
}

void SequencerPanel::SpeedButtonPlayDblClick()
{
    live_.go(1);   // the sequencer's step refreshes the window
}

void SequencerPanel::SpeedButtonStopClick()
{
    live_.stop();
}

bool SequencerPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == playButton_ && event->type() == QEvent::MouseButtonDblClick)
        SpeedButtonPlayDblClick();
    return QWidget::eventFilter(watched, event);
}

void SequencerPanel::showMode(bool playing)
{
    (playing ? playButton_ : stopButton_)->setChecked(true);
}

void SequencerPanel::showStopWhenNotPlaying()
{
    if (!sequencer_.playing())
        stopButton_->setChecked(true);
}

void SequencerPanel::showBeat(BeatLamp lamp)
{
    lampTimer_->start();
    switch (lamp) {
    case BeatLamp::Go:
        lamp_->setBrushColor(QColor(0, 255, 0));
        break;
    case BeatLamp::BlackOut:
        lamp_->setBrushColor(Qt::black);
        break;
    case BeatLamp::Macro:
        lamp_->setBrushColor(QColor(255, 0, 0));
        break;
    }
}

void SequencerPanel::TimerColorLentaTempaTimer()
{
    lampTimer_->stop();
    lamp_->setBrushColor(palette().color(QPalette::Button));
}

void SequencerPanel::TimerShouClockTimer()
{
    live_.clockTick();
    if (sequencer_.playing())
        labelTimeShou_->setText(QStringLiteral("Шоу   = ") + sequencer_.clockText());
    else
        labelTimePause_->setText(QStringLiteral("Паузa = ") + sequencer_.clockText());
}

void SequencerPanel::ScrollBarScenHandChange(int position)
{
    labelPreset_->setText(QStringLiteral("Уст ") + QString::number(position + 1));
}

// The scene the preset names, as far as the scene bar reaches (one past the last).
void SequencerPanel::SpeedButtonScenHandClick()
{
    const int reach = std::min(console_.image.lastScene() + 1, 255);
    if (console_.sceneList.stepTo(static_cast<uint8_t>(std::min(presetBar_->value(), reach))))
        form_.ReturnPageControlAll();
}

}  // namespace tavrelia
