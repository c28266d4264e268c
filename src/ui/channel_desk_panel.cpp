#include "channel_desk_panel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "color_swatch.h"
#include "console.h"
#include "desk_heading.h"
#include "gobo_pictures.h"
#include "strip_bar.h"
#include "playback/channel_rates.h"

namespace tavrelia {

namespace {
constexpr int kRowHeight = 17;   // with one pixel between rows: 18 px apart
constexpr int kInvertGroupSize = 5;
constexpr int kInvertGroups[] = {1, 6, 11, 16, 21};
constexpr int kWheelJump = 250;   // a faster turn jumps to the end of the page bar
constexpr int kRefreshMs = 100;

enum Column { ColNumber, ColLevel, ColOutput, ColImage, ColShape, ColName, ColRate, ColSelect,
              ColInvert, ColPageBar, ColCount };

const char* const kHeading =
    "Канал             Уровень             Выход    Тип   Границы   Имя  канала              "
    "Время изменения     Выбор";

QString numbered(const char* prefix, int i)
{
    return QString::fromLatin1(prefix) + QString::number(i);
}
}  // namespace

ChannelDeskPanel::ChannelDeskPanel(TBaseForm& form)
    : form_(form), console_(form.console()), page_(form.inputPage(TBaseForm::InputTab::Fadera))
{
    setObjectName(QStringLiteral("ChannelDeskPanel"));
    QFont deskFont = font();
    deskFont.setPointSizeF(8);
    setFont(deskFont);

    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    columns->setSpacing(6);

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    heading_ = new DeskHeading(QString::fromUtf8(kHeading), this);
    heading_->setObjectName(QStringLiteral("LabelOpis"));
    grid->addWidget(heading_, 0, 0, 1, ColCount);
    for (int i = 1; i <= kStrips; ++i)
        buildStrip(i, grid);
    const Strip& first = strips_[0];
    heading_->setColumns({first.number, first.level, first.output, first.image, first.shape,
                          first.name, first.rate, first.select});
    grid->setColumnStretch(ColLevel, 1);
    grid->setColumnStretch(ColName, 1);
    buildPageBar(grid);
    buildInvertButtons(grid);
    grid->setRowStretch(kStrips + 1, 1);
    columns->addLayout(grid, 1);

    buttonColumn_ = new QVBoxLayout;
    buttonColumn_->setObjectName(QStringLiteral("DeskButtonColumn"));
    buttonColumn_->setSpacing(2);
    buttonColumn_->setAlignment(Qt::AlignTop);
    columns->addLayout(buttonColumn_);
    buildButtonColumn();

    page_->layout()->addWidget(this);
    buildManualSwitch();

    connect(&form_, &TBaseForm::inputTabRefresh, this, [this](QWidget* tab) {
        if (tab != page_)
            return;
        ReturnScrollBars();
        ReturnRate();
        ReturnName();
        CheckBoxFromMemory();
        UpdateColorEditAll();
        wakeRefresh();
    });
    connect(&form_, &TBaseForm::mouseWheel, this, [this](QWidget* tab, int delta) {
        if (tab == page_)
            FormMouseWheel(delta);
    });
    connect(&form_, &TBaseForm::showCleared, this, [this] {
        CheckBoxFromMemory();
        pageBar_->setValue(0);
    });
    followControls();

    timerDataDmxToDsp_ = new QTimer(this);
    timerDataDmxToDsp_->setObjectName(QStringLiteral("TimerDataDmxToDsp"));
    timerDataDmxToDsp_->setInterval(kRefreshMs);
    connect(timerDataDmxToDsp_, &QTimer::timeout, this, [this] {
        TimerDataDmxToDspTimer();
        if (--refreshesLeft_ <= 0)
            timerDataDmxToDsp_->stop();
    });
    // The refresh runs while the output, the colours or the page move, and a round
    // of every strip after that; a desk that stands still costs nothing.
    connect(&console_.frameWatch, &FrameWatch::frameChanged, this, &ChannelDeskPanel::wakeRefresh);
    connect(&console_.colors, &ChannelColors::changed, this, [this](int channel) {
        channel < 0 ? UpdateColorEditAll() : UstColorEditOne(channel);
        wakeRefresh();
    });
    connect(&console_.names, &ChannelNames::changed, this, &ChannelDeskPanel::ReturnName);
    connect(&console_.rates, &ChannelRates::ratesChanged, this, &ChannelDeskPanel::ReturnRate);
    wakeRefresh();
}

void ChannelDeskPanel::wakeRefresh()
{
    refreshesLeft_ = ChannelDesk::kRefreshGroups;
    if (!timerDataDmxToDsp_->isActive())
        timerDataDmxToDsp_->start();
}

void ChannelDeskPanel::buildStrip(int i, QGridLayout* grid)
{
    Strip& s = strips_[i - 1];
    const int row = i;

    s.number = new QLabel(QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0')), this);
    s.number->setObjectName(QStringLiteral("Label%1c").arg(i, 2, 10, QLatin1Char('0')));
    s.number->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    s.number->setFixedSize(24, kRowHeight);
    grid->addWidget(s.number, row, ColNumber);

    s.level = new StripBar(this);
    s.level->setObjectName(numbered("ScrollBar", i));
    s.level->setProperty("control", QStringLiteral("fader/%1").arg(i));
    s.level->setRange(0, 255);
    s.level->setPageStep(10);
    s.level->setFixedHeight(kRowHeight);
    s.level->setMinimumWidth(90);
    s.level->setToolTip(QStringLiteral("Уровень канала DMX высттавленный пользователем в текущем шаге"));
    s.level->installEventFilter(this);
    connect(s.level, &QScrollBar::valueChanged, this,
            [this, i](int value) { console_.live.setFader(i, value); });
    grid->addWidget(s.level, row, ColLevel);

    s.output = new QLabel(QStringLiteral("255"), this);
    s.output->setObjectName(numbered("Label", i));
    s.output->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    s.output->setFixedSize(26, kRowHeight);
    s.output->setToolTip(QStringLiteral("Реальный уровень канала DMX на выходе"));
    grid->addWidget(s.output, row, ColOutput);

    s.image = new QLabel(this);
    s.image->setObjectName(numbered("Image", i));
    s.image->setFixedSize(16, 16);
    grid->addWidget(s.image, row, ColImage);

    s.shape = new ColorSwatch(this);
    s.shape->setObjectName(numbered("Shape", i));
    s.shape->setFixedSize(40, kRowHeight - 3);
    grid->addWidget(s.shape, row, ColShape);

    s.name = new QLineEdit(this);
    s.name->setObjectName(numbered("Edit", i));
    s.name->setMaxLength(ChannelNames::kNameSize);
    s.name->setFixedHeight(kRowHeight);
    // Room for a typical 16-character name without scrolling.
    s.name->setMinimumWidth(s.name->fontMetrics().horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOP")) + 10);
    s.name->setTextMargins(0, 0, 0, 0);
    s.name->setToolTip(QStringLiteral(
        "Имя канала. Максимальное число символов - 16. Для изменения цвета дабл-клик"));
    s.name->installEventFilter(this);
    connect(s.name, &QLineEdit::returnPressed, this, &ChannelDeskPanel::Edit2Exit);
    grid->addWidget(s.name, row, ColName);

    s.rate = new StripBar(this);
    s.rate->setObjectName(QStringLiteral("ScrollBarRate%1").arg(i, 2, 10, QLatin1Char('0')));
    s.rate->setRange(0, ChannelRates::kPositions - 1);
    s.rate->setPageStep(2);
    s.rate->setValue(ChannelRates::kStripDefault);
    s.rate->setFixedSize(72, kRowHeight);
    s.rate->setToolTip(QStringLiteral("Время изменения уровня DMX канала"));
    s.rate->installEventFilter(this);
    connect(s.rate, &QScrollBar::valueChanged, this, [this, i](int position) {
        console_.rates.applyToStrip(i, position);
    });
    grid->addWidget(s.rate, row, ColRate);

    s.select = new QCheckBox(this);
    s.select->setObjectName(numbered("CheckBox", i));
    s.select->setProperty("control", QStringLiteral("fader/%1/manual").arg(i));
    s.select->setFixedHeight(kRowHeight);
    connect(s.select, &QCheckBox::toggled, this,
            [this, i](bool checked) { console_.live.setFaderManual(i, checked); });
    grid->addWidget(s.select, row, ColSelect, Qt::AlignHCenter);
}

// A remote or a key moves the desk as the window does: the strips show it.
void ChannelDeskPanel::followControls()
{
    Controls& live = console_.live;
    connect(&live, &Controls::pageChanged, pageBar_, &QScrollBar::setValue);
    connect(&live, &Controls::faderChanged, this,
            [this](int strip, int level) { strips_[strip - 1].level->setValue(level); });
    connect(&live, &Controls::faderManualChanged, this,
            [this](int strip, bool on) { strips_[strip - 1].select->setChecked(on); });
}

void ChannelDeskPanel::buildPageBar(QGridLayout* grid)
{
    pageBar_ = new QScrollBar(Qt::Vertical, this);
    pageBar_->setObjectName(QStringLiteral("ScrolbarVertPos"));
    pageBar_->setProperty("control", QStringLiteral("page"));
    pageBar_->setRange(0, ChannelDesk::kMaxPage);
    pageBar_->setPageStep(kStrips);
    pageBar_->installEventFilter(this);
    connect(pageBar_, &QScrollBar::valueChanged, this, &ChannelDeskPanel::ScrolbarVertPosChange);
    grid->addWidget(pageBar_, 1, ColPageBar, kStrips, 1);
}

void ChannelDeskPanel::buildInvertButtons(QGridLayout* grid)
{
    for (int first : kInvertGroups) {
        auto* button = new QToolButton(this);
        button->setObjectName(numbered("SpeedButtonInv", first));
        button->setText(QStringLiteral("⇅"));
        button->setToolTip(QStringLiteral("Инвертирует состояние флажков в поле  Выбор "));
        button->setFixedWidth(18);
        button->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, [this, first] { invertGroup(first); });
        grid->addWidget(button, first, ColInvert, kInvertGroupSize, 1);
    }
}

QToolButton* ChannelDeskPanel::addButton(QLayout* layout, const char* name, const QString& caption,
                                         const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layout->addWidget(button);
    return button;
}

void ChannelDeskPanel::buildButtonColumn()
{
    auto* units = new QHBoxLayout;
    units->setSpacing(1);
    auto* dmx = addButton(units, "SpeedButtonOutLevel255", QStringLiteral("DMX"),
                          QStringLiteral("Уровень в стандарте DMX512  0-255"));
    percentButton_ = addButton(units, "SpeedButtonOutLevel100", QStringLiteral("%"),
                               QStringLiteral("Уровень в процентах"));
    auto* unitGroup = new QButtonGroup(this);
    for (QToolButton* button : {dmx, percentButton_}) {
        button->setCheckable(true);
        unitGroup->addButton(button);
    }
    dmx->setChecked(true);
    connect(unitGroup, &QButtonGroup::buttonToggled, this, &ChannelDeskPanel::wakeRefresh);
    buttonColumn_->addLayout(units);

    fastRefreshButton_ = addButton(buttonColumn_, "SpeedButtonLevel255", QStringLiteral("Быстро"),
                                   QStringLiteral("Скорость презаписи данных на мониторе"));
    fastRefreshButton_->setCheckable(true);
    fastRefreshButton_->setChecked(true);
    connect(fastRefreshButton_, &QToolButton::toggled, this, &ChannelDeskPanel::wakeRefresh);
    buttonColumn_->addSpacing(6);

    auto* allZero = addButton(buttonColumn_, "SpeedButtonAllScrl0", QStringLiteral("Все → 0"),
                              QStringLiteral("Установить уровни все каналов сцены  в '0'"));
    connect(allZero, &QToolButton::clicked, this,
            [this] { levelButton(true, 0, QStringLiteral(" Вся сцена установлена в 0")); });
    struct VisibleLevel {
        const char* name;
        int level;
        const char* hint;
        const char* status;
    };
    static constexpr VisibleLevel kVisible[] = {
        {"SpeedButtonVis0", 0, "Установить уровни видимых каналов в '0' ", " Установлено в 0 "},
        {"SpeedButtonVis127", 127, "Установить уровни видимых каналов в '127' ", " Установлено в 127"},
        {"SpeedButtonVis255", 255, "Установить уровни видимых каналов в '255' ", " Установлено в 255"},
    };
    for (const VisibleLevel& v : kVisible) {
        auto* button = addButton(buttonColumn_, v.name, QStringLiteral("Вид → %1").arg(v.level),
                                 QString::fromUtf8(v.hint));
        const QString status = QString::fromUtf8(v.status);
        connect(button, &QToolButton::clicked, this,
                [this, v, status] { levelButton(false, v.level, status); });
    }
    buttonColumn_->addSpacing(6);

    auto* offAll = addButton(buttonColumn_, "SpeedButtonOffAllCheck", QStringLiteral("☐ Все"),
                             QStringLiteral("Сбросить все флажки в столбце Выбор "));
    connect(offAll, &QToolButton::clicked, this, [this] {
        console_.desk.clearAllFlags();
        CheckBoxFromMemory();
        form_.OutStatus(QStringLiteral(" Все флажки Установлены "));
    });
    auto* offVisible = addButton(buttonColumn_, "SpeedButtonOffVisCheck", QStringLiteral("☐ Вид"),
                                 QStringLiteral("Сбросить все видимые флажки в столбце Выбор "));
    connect(offVisible, &QToolButton::clicked, this, [this] {   // ButtonResetFlagVyborClick
        console_.desk.setVisibleFlags(false);
        CheckBoxFromMemory();
    });
    auto* onVisible = addButton(buttonColumn_, "SpeedButtonOnVisCheck", QStringLiteral("☑ Вид"),
                                QStringLiteral("Включить все видимые флажки в столбце Выбор "));
    connect(onVisible, &QToolButton::clicked, this, [this] {
        console_.desk.setVisibleFlags(true);
        CheckBoxFromMemory();
    });
    buttonColumn_->addSpacing(6);
}

void ChannelDeskPanel::buildManualSwitch()
{
    auto* manual = new QCheckBox(QStringLiteral("Ручное управление"));
    manual->setObjectName(QStringLiteral("CheckBoxManual"));
    manual->setToolTip(QStringLiteral("Ручное управление выделенными каналами в текущей сцене"));
    connect(manual, &QCheckBox::toggled, &console_.live, &Controls::setManual);
    connect(&console_.live, &Controls::manualChanged, manual, &QCheckBox::setChecked);
    form_.ustPage(TBaseForm::UstTab::Urovni)->layout()->addWidget(manual);
}

void ChannelDeskPanel::levelButton(bool allChannels, int level, const QString& status)
{
    ChannelDesk& desk = console_.desk;
    const bool done = allChannels ? desk.setAllLevelsToZero()
                                  : desk.setVisibleLevels(static_cast<uint8_t>(level));
    if (!done)
        return;
    form_.OutStatus(status);
    ReturnScrollBars();
}

void ChannelDeskPanel::ScrolbarVertPosChange(int position)
{
    // Typed names belong to the page they were typed on.
    if (nameBeingTyped())
        Edit2Exit();
    // The core turns the page for the tick in one step; the widgets then follow
    // with the lock free, so the tick never waits for a repaint.
    console_.live.setPage(position);
    form_.ReturnPageControlAll();
    NamberDmx();
}

void ChannelDeskPanel::ReturnScrollBars()
{
    const auto levels = console_.desk.sceneLevels();
    const bool manual = console_.desk.manual();
    for (int i = 1; i <= kStrips; ++i) {
        Strip& s = strips_[i - 1];
        if (!(manual && s.select->isChecked()))
            s.level->setValue(levels[i - 1]);
    }
}

void ChannelDeskPanel::ReturnRate()
{
    const auto positions = console_.rates.stripPositions();
    for (int i = 1; i <= kStrips; ++i)
        strips_[i - 1].rate->setValue(positions[i - 1]);
}

void ChannelDeskPanel::ReturnName()
{
    const auto names = console_.names.ReturnName();
    for (int i = 1; i <= kStrips; ++i) {
        QLineEdit* field = strips_[i - 1].name;
        if (!(field->hasFocus() && field->isModified()))
            field->setText(names[i - 1]);
    }
}

void ChannelDeskPanel::CheckBoxFromMemory()
{
    const auto boxes = console_.desk.CheckBoxFromMemory();
    for (int i = 1; i <= kStrips; ++i)
        strips_[i - 1].select->setChecked(boxes[i - 1]);
}

void ChannelDeskPanel::CheckBoxToMemory()
{
    console_.desk.CheckBoxToMemory();
}

void ChannelDeskPanel::NamberDmx()
{
    for (int i = 1; i <= kStrips; ++i)
        strips_[i - 1].number->setText(QString::number(console_.desk.channelOf(i)));
}

void ChannelDeskPanel::invertGroup(int first)
{
    for (int i = first; i < first + kInvertGroupSize; ++i)
        strips_[i - 1].select->toggle();
    CheckBoxToMemory();
}

void ChannelDeskPanel::SetGobo(int strip, int picture)
{
    if (strip < 1 || strip > kStrips)
        return;
    // Set ten times a second: only a real change touches the label.
    Strip& shown = strips_[strip - 1];
    if (shown.picture == picture)
        return;
    shown.picture = picture;
    shown.image->setPixmap(goboPixmap(picture));
}

// An index past the list shows no picture.
QPixmap ChannelDeskPanel::goboPixmap(int picture)
{
    if (picture < 0 || picture >= kGoboPictures)
        return {};
    auto drawn = imageListGobo_.constFind(picture);
    if (drawn == imageListGobo_.constEnd())
        drawn = imageListGobo_.insert(picture, QPixmap::fromImage(goboPicture(picture)));
    return *drawn;
}

void ChannelDeskPanel::UpdateColorEditAll()
{
    for (int i = 1; i <= kStrips; ++i)
        paintNameField(i);
}

void ChannelDeskPanel::UstColorEditOne(int channel)
{
    const int strip = channel - console_.desk.pageOffset();
    if (strip >= 1 && strip <= kStrips)
        paintNameField(strip);
}

void ChannelDeskPanel::paintNameField(int strip)
{
    const ChannelColors::Rgb c = console_.colors.nameColor(console_.desk.channelOf(strip));
    const QColor color(c.red, c.green, c.blue);
    QLineEdit* field = strips_[strip - 1].name;
    if (field->palette().color(QPalette::Base) == color)
        return;
    QPalette palette = field->palette();
    palette.setColor(QPalette::Base, color);
    field->setPalette(palette);
}

void ChannelDeskPanel::ShapeColor(int strip, int red, int green, int blue)
{
    if (strip < 1 || strip > kStrips)
        return;
    // Set ten times a second: the swatch is touched only for a colour it does not show.
    Strip& shown = strips_[strip - 1];
    const QRgb colour = qRgb(red, green, blue);
    if (shown.colour == colour)
        return;
    shown.colour = colour;
    shown.shape->setBrushColor(QColor(colour));
}

void ChannelDeskPanel::FormMouseWheel(int delta)
{
    if (delta > 0)
        pageBar_->setValue(pageBar_->value() + 1);
    else if (delta < 0)
        pageBar_->setValue(pageBar_->value() - 1);
    if (delta > kWheelJump)
        pageBar_->setValue(pageBar_->maximum());
    else if (delta < -kWheelJump)
        pageBar_->setValue(pageBar_->minimum());
}

void ChannelDeskPanel::TimerDataDmxToDspTimer()
{
    if (form_.pageControlInput()->currentWidget() != page_)
        return;
    const ChannelColors& colors = console_.colors;
    for (int i = 1; i <= kStrips; ++i)
        SetGobo(i, colors.ChannelPicture[console_.desk.channelOf(i)]);
    for (int i = 1; i <= kStrips; ++i) {
        const int c = console_.desk.channelOf(i);
        ShapeColor(i, colors.GroupRed[c], colors.GroupGreen[c], colors.GroupBlue[c]);
    }
    refreshOutputCaptions();
}

void ChannelDeskPanel::refreshOutputCaptions()
{
    const auto levels = console_.desk.outputLevels();
    const bool inPercent = percentButton_->isChecked();
    int first = 1;
    int last = kStrips;
    if (!fastRefreshButton_->isChecked()) {
        last = 3 * console_.desk.nextRefreshGroup();
        first = last - 2;
    }
    for (int i = first; i <= last; ++i)
        showOutput(strips_[i - 1], levels[i - 1], inPercent);
}

// Ten times a second: a caption is made only for a level its label does not show yet.
void ChannelDeskPanel::showOutput(Strip& strip, uint8_t level, bool inPercent)
{
    const int caption = inPercent ? 256 + level : level;
    if (strip.outputCaption == caption)
        return;
    strip.outputCaption = caption;
    strip.output->setText(ChannelDesk::outputCaption(level, inPercent));
}

ChannelDesk::Strips<QString> ChannelDeskPanel::nameFields() const
{
    ChannelDesk::Strips<QString> fields;
    for (int i = 1; i <= kStrips; ++i)
        fields[i - 1] = strips_[i - 1].name->text();
    return fields;
}

bool ChannelDeskPanel::nameBeingTyped() const
{
    return std::any_of(strips_.begin(), strips_.end(),
                       [](const Strip& s) { return s.name->isModified(); });
}

void ChannelDeskPanel::Edit2Exit()
{
    console_.names.Edit2Exit(nameFields());
    for (Strip& s : strips_)
        s.name->setModified(false);
}

void ChannelDeskPanel::Edit1Click()
{
    // Typing a name must not fire the keyboard's hot keys.
    console_.live.setConveyorKeys(false);
    console_.live.setKeys(false);
}

bool ChannelDeskPanel::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::Wheel:
        // The window's wheel handler pages the desk; the strips' own bars never take
        // the wheel, or a turn would change the level of a channel just paged in.
        if (qobject_cast<QScrollBar*>(watched)) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::FocusOut:
        if (qobject_cast<QLineEdit*>(watched))
            Edit2Exit();
        break;
    case QEvent::MouseButtonPress:
        if (qobject_cast<QLineEdit*>(watched))
            Edit1Click();
        break;
    case QEvent::MouseButtonDblClick:
        for (int i = 1; i <= kStrips; ++i) {
            if (watched == strips_[i - 1].name)
                console_.colors.setEditChannel(console_.desk.channelOf(i));
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavrelia
