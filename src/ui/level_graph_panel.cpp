#include "level_graph_panel.h"

#include <QButtonGroup>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "color_swatch.h"
#include "console.h"
#include "graph_pad.h"
#include "undo_buttons.h"

namespace tavrelia {

namespace {
constexpr int kBarHeight = 17;

struct ToolInfo {
    LevelGraph::Tool tool;
    const char* name;
    const char* caption;
    const char* hint;
};
constexpr ToolInfo kTools[] = {
    {LevelGraph::Tool::Arrow, "SpeedButtonGrafArrow", "↖", "Устанавливать значение только одного канала"},
    {LevelGraph::Tool::Pen, "SpeedButtonGrafPen", "✎",
     "Повторять значение текущего канала во всех рабочих сценах"},
    {LevelGraph::Tool::Line, "SpeedButtonGrafLine", "╱",
     "Интерполировать уровни каналов. Начало - левая кнопка, конец - правая."},
};

QString levelText(int level)
{
    return QString::number(level) + QStringLiteral("     ") + QString::number(ChannelDesk::percent(level))
           + QStringLiteral("%");
}
}  // namespace

LevelGraphPanel::LevelGraphPanel(TBaseForm& form)
    : form_(form),
      console_(form.console()),
      graph_(form.console().levelGraph),
      page_(form.inputPage(TBaseForm::InputTab::Grafik))
{
    setObjectName(QStringLiteral("LevelGraphPanel"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(3);
    buildPadRows();
    buildBarRows();
    rows->addStretch(1);
    page_->layout()->addWidget(this);

    connect(&form_, &TBaseForm::inputTabRefresh, this, [this](QWidget* tab) {
        if (tab != page_)
            return;
        ReturnGrafikLabel();
        RepaintGrafik();
    });
    connect(&form_, &TBaseForm::showCleared, this, [this] { setZoom(LevelGraph::kNewShowZoom); });
    connect(&form_, &TBaseForm::showOpened, this,
            [this] { setZoom(LevelGraph::zoomPositionFor(console_.image.lastScene())); });
    connect(&form_, &TBaseForm::mouseWheel, this, [this](QWidget* tab, int delta) {
        if (tab == page_)
            FormMouseWheel(delta);
    });
    channelBar_->installEventFilter(this);
}

QLabel* LevelGraphPanel::addLabel(const char* name)
{
    auto* label = new QLabel(this);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QScrollBar* LevelGraphPanel::addBar(const char* name, int maximum, const QString& hint)
{
    auto* bar = new QScrollBar(Qt::Horizontal, this);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(0, maximum);
    bar->setPageStep(1);
    bar->setFixedHeight(kBarHeight);
    bar->setToolTip(hint);
    return bar;
}

void LevelGraphPanel::buildPadRows()
{
    auto* rows = static_cast<QVBoxLayout*>(layout());
    auto* heading = new QLabel(QStringLiteral("Динамика изменения канала по выделенным сценам"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);

    rows->addWidget(heading);
    auto* nameRow = new QHBoxLayout;
    groupColor_ = new ColorSwatch(this);
    groupColor_->setObjectName(QStringLiteral("graphGroupColor"));
    groupColor_->setFixedSize(40, 14);
    nameRow->addWidget(groupColor_);
    labelName_ = addLabel("LabelNameChanel");
    nameRow->addWidget(labelName_);
    nameRow->addStretch(1);
    rows->addLayout(nameRow);

    pad_ = new GraphPad(console_, this);
    rows->addWidget(pad_, 0, Qt::AlignLeft);
    connect(pad_, &GraphPad::pressed, this, &LevelGraphPanel::PaintBoxGrafikMouseDown);
    connect(pad_, &GraphPad::moved, this, &LevelGraphPanel::PaintBoxGrafikMouseMove);
    connect(pad_, &GraphPad::released, this, [this] { graph_.release(); });

    areaBar_ = addBar("ScrollBarGrafikArea", 0, QStringLiteral("Блок редактируемых сцен"));
    areaBar_->setFixedWidth(LevelGraph::kWidth);
    rows->addWidget(areaBar_);
    connect(areaBar_, &QScrollBar::valueChanged, this, [this] {
        ReturnGrafikLabel();
        RepaintGrafik();
    });

    auto* pageRow = new QHBoxLayout;
    labelFrom_ = addLabel("LabelScenaGrafikFrom");
    labelZoom_ = addLabel("LabelGrafZoom");
    labelLast_ = addLabel("LabelScenaGrafikLast");
    pageRow->addWidget(labelFrom_);
    pageRow->addStretch(1);
    pageRow->addWidget(labelZoom_);
    pageRow->addStretch(1);
    pageRow->addWidget(labelLast_);
    auto* pageRowBox = new QWidget(this);
    pageRowBox->setFixedWidth(LevelGraph::kWidth);
    pageRow->setContentsMargins(0, 0, 0, 0);
    pageRowBox->setLayout(pageRow);
    rows->addWidget(pageRowBox);
}

void LevelGraphPanel::buildBarRows()
{
    auto* bars = new QWidget(this);
    bars->setFixedWidth(LevelGraph::kWidth);
    auto* rows = new QVBoxLayout(bars);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(3);

    auto* channelRow = new QHBoxLayout;
    channelRow->addWidget(new QLabel(QStringLiteral("Канал"), bars));
    channelBar_ = addBar("ScrollBarChanellGrafik", 255, QStringLiteral("Устанавливает номер редактируемого канала"));
    channelRow->addWidget(channelBar_, 1);
    channelRow->addSpacing(10);
    channelRow->addWidget(new QLabel(QStringLiteral("Масштаб"), bars));
    zoomBar_ = addBar("ScrollBarGrafikZoom", LevelGraph::kZoomPositions - 1, QStringLiteral("Масштаб сцен"));
    zoomBar_->setFixedWidth(80);
    channelRow->addWidget(zoomBar_);
    rows->addLayout(channelRow);
    connect(channelBar_, &QScrollBar::valueChanged, this, [this] {
        ReturnGrafikLabel();
        RepaintGrafik();
    });
    connect(zoomBar_, &QScrollBar::valueChanged, this, &LevelGraphPanel::ScrollBarGrafikZoomChange);

    auto* lastRow = new QHBoxLayout;
    lastRow->addWidget(new QLabel(QStringLiteral("Установить последнюю Сцену"), bars));
    lastSceneBar_ = addBar("ScrollBarMaxScenaGrafic", 255, QStringLiteral("Установка номера последней сцены"));
    lastRow->addWidget(lastSceneBar_, 1);
    connect(lastSceneBar_, &QScrollBar::valueChanged, this, &LevelGraphPanel::ScrollBarMaxScenaGraficChange);
    rows->addLayout(lastRow);

    auto* toolRow = new QHBoxLayout;
    toolRow->setSpacing(2);
    tools_ = new QButtonGroup(this);
    for (const ToolInfo& info : kTools) {
        auto* button = new QToolButton(bars);
        button->setObjectName(QString::fromLatin1(info.name));
        button->setText(QString::fromUtf8(info.caption));
        button->setToolTip(QString::fromUtf8(info.hint));
        button->setCheckable(true);
        button->setFixedSize(26, 24);
        tools_->addButton(button, static_cast<int>(info.tool));
        toolRow->addWidget(button);
    }
    tools_->button(static_cast<int>(LevelGraph::Tool::Arrow))->setChecked(true);
    toolRow->addStretch(1);
    addUndoButtons(form_, toolRow, 3);
    rows->addLayout(toolRow);
    static_cast<QVBoxLayout*>(layout())->addWidget(bars);

    auto* labels = static_cast<QVBoxLayout*>(layout());
    labelScene_ = addLabel("LabelScenaGrafik");
    labelNewLevel_ = addLabel("LabelLevelNewGrafik");
    labelSceneLevel_ = addLabel("LabelLevelDmxGrafik");
    // Rewritten on every mouse move: a fixed size keeps the tab from being laid
    // out and repainted each time.
    for (QLabel* label : {labelScene_, labelNewLevel_, labelSceneLevel_}) {
        label->setFixedSize(LevelGraph::kWidth, label->sizeHint().height());
        labels->addWidget(label);
    }
}

LevelGraph::Tool LevelGraphPanel::tool() const
{
    return static_cast<LevelGraph::Tool>(tools_->checkedId());
}

int LevelGraphPanel::channelPosition() const
{
    return channelBar_->value();
}

int LevelGraphPanel::page() const
{
    return areaBar_->value();
}

void LevelGraphPanel::ReturnGrafikLabel()
{
    {
        // The bar shows the show's value; storing it back would change nothing.
        const QSignalBlocker blocker(lastSceneBar_);
        lastSceneBar_->setValue(console_.image.lastScene());
    }
    const int channel = channelPosition() + 1;
    labelName_->setText(QStringLiteral(" Канал ") + QString::number(channel) + QStringLiteral("  ")
                        + ChannelNames::storedName(console_.image, channel));
    const ChannelColors& colors = console_.colors;
    groupColor_->setBrushColor(QColor(colors.GroupRed[channel], colors.GroupGreen[channel],
                                      colors.GroupBlue[channel]));
    areaBar_->setMaximum(graph_.zoom() - 1);
    labelFrom_->setText(QStringLiteral("от Сцены = ") + QString::number(graph_.pageStart(page()) + 1));
    labelLast_->setText(QStringLiteral("до Сцены = ") + QString::number(graph_.pageStart(page() + 1)));
    labelZoom_->setText(QStringLiteral(" Масштаб = ") + QString::number(graph_.zoom()) + QStringLiteral("/1"));
    areaBar_->setEnabled(graph_.zoom() != 1);
}

void LevelGraphPanel::RepaintGrafik()
{
    pad_->showPage(page(), channelPosition());
}

void LevelGraphPanel::setZoom(int position)
{
    zoomBar_->setValue(position);
    graph_.setZoomPosition(zoomBar_->value());
}

void LevelGraphPanel::ScrollBarGrafikZoomChange(int position)
{
    graph_.setZoomPosition(position);
    ReturnGrafikLabel();
    RepaintGrafik();
}

void LevelGraphPanel::ScrollBarMaxScenaGraficChange(int position)
{
    graph_.setLastScene(position);
    form_.ReturnPageControlAll();
}

void LevelGraphPanel::GrafikLabel(QPoint at)
{
    const int scene = graph_.sceneAt(at.x(), page());
    const QString number = QString::number(scene + 1);
    labelScene_->setText(QStringLiteral(" Сцена = ") + number);
    labelNewLevel_->setText(QStringLiteral(" Новый уровень канала = ") + levelText(LevelGraph::levelAt(at.y())));
    labelSceneLevel_->setText(QStringLiteral(" Уровень канала сцены ") + number + QStringLiteral(" = ")
                              + levelText(graph_.level(scene, channelPosition())));
}

void LevelGraphPanel::PaintBoxGrafikMouseDown(Qt::MouseButton button, QPoint at)
{
    GrafikLabel(at);
    const int oldStart = graph_.GraphLineStart;
    const auto pressed = button == Qt::LeftButton    ? LevelGraph::Button::Left
                         : button == Qt::RightButton ? LevelGraph::Button::Right
                                                     : LevelGraph::Button::Other;
    const SceneSpan written = graph_.press(pressed, tool(), at.x(), at.y(), page(), channelPosition());
    pad_->scenesChanged(written, oldStart);
}

void LevelGraphPanel::PaintBoxGrafikMouseMove(QPoint at)
{
    GrafikLabel(at);
    if (graph_.GraphMouseDown)
        pad_->scenesChanged(graph_.move(tool(), at.x(), at.y(), page(), channelPosition()), graph_.GraphLineStart);
}

void LevelGraphPanel::FormMouseWheel(int delta)
{
    if (delta > 0)
        channelBar_->setValue(channelBar_->value() + 1);
    else if (delta < 0)
        channelBar_->setValue(channelBar_->value() - 1);
}

// The window's wheel handler steps the channel bar; under the pointer the bar
// would take a second step of its own.
bool LevelGraphPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == channelBar_ && event->type() == QEvent::Wheel) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavrelia
