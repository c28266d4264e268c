#include "beam_editor_panel.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QRadioButton>
#include <QScrollBar>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "base_form.h"
#include "console.h"
#include "undo_buttons.h"
#include "xy_pad.h"

namespace tavrelia {

namespace {
using Figure = FigureMaker::Figure;

constexpr int kBarHeight = 17;
constexpr int kRepeatStartMs = 700;
constexpr int kRepeatHeldMs = 50;
constexpr int kIconSide = 22;
constexpr int kPairMaximum = 253;   // Y on channel 255

// Codes of the whole-path steps.
enum Code { Right = 1, Left, Up, Down, MirrorX, MirrorY, Smaller, Larger };

bool repeats(int code)
{
    return (code >= Right && code <= Down) || code == Smaller || code == Larger;
}

struct FigureInfo {
    Figure figure;
    const char* name;
    const char* caption;   // empty: the figure's own picture
};
constexpr FigureInfo kFigureButtons[] = {
    {Figure::Line, "SpeedButtonEditXYmadeLine", ""},
    {Figure::Triangle, "SpeedButtonEditXYmadeTreug", ""},
    {Figure::Rectangle, "SpeedButtonEditXYmadeRect", ""},
    {Figure::Zigzag, "SpeedButtonEditXYmadeSnake", ""},
    {Figure::XFigure, "SpeedButtonEditXYmadeSix", "X"},
    {Figure::Circle, "SpeedButtonEditXYmadeCucle", ""},
    {Figure::Eight, "SpeedButtonEditXYmade8", ""},
    {Figure::FourLeaf, "SpeedButtonEditXYmadePent", "88"},
    {Figure::Spiral, "SpeedButtonEditSpiral", ""},
};

// A button's picture is the figure itself, made over 32 scenes at the start sizes.
QIcon figureIcon(Figure figure)
{
    QPixmap pixmap(kIconSide, kIconSide);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::blue, 1.2));
    QPolygonF line;
    const auto points = FigureMaker({1, 32}, 200, 7).make(figure);
    for (const XyPoint& p : *points)
        line << QPointF(p.x * (kIconSide - 1) / 255.0, (255 - p.y) * (kIconSide - 1) / 255.0);
    painter.drawPolyline(line);
    return QIcon(pixmap);
}

QString channelCaption(const ShowImage& image, int channel)
{
    return QStringLiteral("Ch") + QString::number(channel) + QStringLiteral("  ")
           + ChannelNames::storedName(image, channel);
}
}  // namespace

BeamEditorPanel::BeamEditorPanel(TBaseForm& form)
    : form_(form),
      console_(form.console()),
      editor_(form.console().beamEditor),
      page_(form.inputPage(TBaseForm::InputTab::RedaktorLucha))
{
    setObjectName(QStringLiteral("BeamEditorPanel"));
    auto* rows = new QVBoxLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    auto* heading = new QLabel(
        QStringLiteral("Динамика изменения двух соседних каналов по выделенным сценам "), this);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    rows->addWidget(heading);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(8);
    rows->addLayout(columns, 1);

    auto* left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(buildPad());
    left->addWidget(buildFigureBars());
    left->addWidget(buildPairs());
    left->addStretch(1);
    columns->addLayout(left);

    auto* right = new QVBoxLayout;
    right->setSpacing(4);
    right->addWidget(buildRange());
    right->addWidget(buildMoves());
    right->addWidget(buildFigures());
    right->addWidget(buildLayoutChoice());
    auto* memory = new QHBoxLayout;
    addUndoButtons(form_, memory, 4);
    right->addLayout(memory);
    right->addStretch(1);
    columns->addLayout(right);
    columns->addStretch(1);
    page_->layout()->addWidget(this);

    connect(allScenes_, &QCheckBox::toggled, this, &BeamEditorPanel::ReLabelEdiXY);

    timerRepeat_ = new QTimer(this);
    timerRepeat_->setObjectName(QStringLiteral("TimerRepeatButton"));
    timerRepeat_->setInterval(kRepeatStartMs);
    connect(timerRepeat_, &QTimer::timeout, this, &BeamEditorPanel::TimerRepeatButtonTimer);

    connect(&form_, &TBaseForm::inputTabRefresh, this, [this](QWidget* tab) {
        if (tab != page_)
            return;
        ReLabelEdiXY();
        if (console_.play.PlayFlag)
            return;
        editor_.DragMode = BeamEditor::Drag::None;
        ReturnEditXY();
    });
    connect(&form_, &TBaseForm::mouseWheel, this, [this](QWidget* tab, int delta) {
        if (tab == page_)
            FormMouseWheel(delta);
    });
    pairs_[0].bar->installEventFilter(this);
}

QLabel* BeamEditorPanel::addLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text, this);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QScrollBar* BeamEditorPanel::addBar(const char* name, Qt::Orientation orientation, int minimum,
                                    int maximum, int value)
{
    auto* bar = new QScrollBar(orientation, this);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setRange(minimum, maximum);
    bar->setPageStep(1);
    bar->setValue(value);
    if (orientation == Qt::Horizontal)
        bar->setFixedHeight(kBarHeight);
    connect(bar, &QScrollBar::valueChanged, this, &BeamEditorPanel::ReLabelEdiXY);
    return bar;
}

QGridLayout* BeamEditorPanel::gridBox()
{
    auto* box = new QWidget(this);
    auto* grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    return grid;
}

QToolButton* BeamEditorPanel::addButton(QGridLayout* grid, int row, int column, const char* name,
                                        const QString& caption, const QString& hint)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setFixedSize(28, 26);
    grid->addWidget(button, row, column);
    return button;
}

QWidget* BeamEditorPanel::buildPad()
{
    auto* box = new QWidget(this);
    auto* rows = new QVBoxLayout(box);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(2);
    auto* row = new QHBoxLayout;
    row->setSpacing(2);
    auto* grid = new XyGrid(box);
    pad_ = new XyPad(console_, grid);
    connect(pad_, &XyPad::pressed, this, &BeamEditorPanel::PaintBoxXYMouseDown);
    connect(pad_, &XyPad::moved, this, &BeamEditorPanel::PaintBoxXYMouseMove);
    connect(pad_, &XyPad::released, this, &BeamEditorPanel::PaintBoxXYMouseUp);
    row->addWidget(grid);
    option_ = addBar("ScrollBarEditWide", Qt::Vertical, 0, 10, 7);
    option_->setToolTip(QStringLiteral("вид или длинна конца фигуры"));
    option_->setFixedHeight(XyGrid::kSide);
    row->addWidget(option_);
    row->addStretch(1);
    rows->addLayout(row);

    auto* captions = new QHBoxLayout;
    captions->setSpacing(6);
    labelPosX_ = addLabel("LabelESPosX", QStringLiteral("X = "));
    labelPosY_ = addLabel("LabelESPosY", QStringLiteral("Y = "));
    labelScene_ = addLabel("LabelEXYscena", QStringLiteral(" Сцена ? "));
    // Rewritten on every mouse move: a fixed size keeps the tab from being laid
    // out and repainted each time.
    const struct {
        QLabel* label;
        const char* widest;
    } fixed[] = {{labelPosX_, "X = 255 "}, {labelPosY_, "Y = 255 "}, {labelScene_, " Размер 256 "}};
    for (const auto& f : fixed) {
        f.label->setFixedSize(f.label->fontMetrics().horizontalAdvance(QString::fromUtf8(f.widest)),
                              f.label->sizeHint().height());
        captions->addWidget(f.label);
    }
    captions->addStretch(1);
    rows->addLayout(captions);
    return box;
}

QWidget* BeamEditorPanel::buildFigureBars()
{
    QGridLayout* grid = gridBox();
    QWidget* box = grid->parentWidget();
    grid->setVerticalSpacing(1);
    labelFigure_ = addLabel("LabelmadeFigure");
    grid->addWidget(labelFigure_, 0, 0, 1, 2);
    size_ = addBar("ScrollBarEditMaxX", Qt::Horizontal, 20, 250, 200);
    size_->setToolTip(QStringLiteral("размер создаваемой фигуры"));
    grid->addWidget(size_, 1, 0, 1, 2);
    labelAngle_ = addLabel("LabelEditRL");
    grid->addWidget(labelAngle_, 2, 0, 1, 2);
    rotate_ = addBar("ScrollBarRotate", Qt::Horizontal, 1, 359, 45);
    grid->addWidget(rotate_, 3, 0);
    auto* turn = addButton(grid, 3, 1, "SpeedButtonRotateLeft", QStringLiteral("⟳"),
                           QStringLiteral("Выполнить поворот "));
    turn->setFixedHeight(kBarHeight + 2);
    connect(turn, &QToolButton::clicked, this, &BeamEditorPanel::SpeedButtonRotateLeftClick);
    box->setFixedWidth(XyGrid::kSide + option_->sizeHint().width() + 2);
    return box;
}

QWidget* BeamEditorPanel::buildRange()
{
    QGridLayout* grid = gridBox();
    QWidget* box = grid->parentWidget();
    grid->setVerticalSpacing(2);
    grid->addWidget(new QLabel(QStringLiteral("От Сцены"), box), 0, 0);
    from_ = new QSpinBox(box);
    from_->setObjectName(QStringLiteral("SpinEditESSfrom"));
    from_->setRange(1, 250);
    from_->setValue(1);
    grid->addWidget(from_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("До Сцены"), box), 1, 0);
    to_ = new QSpinBox(box);
    to_->setObjectName(QStringLiteral("SpinEditESSto"));
    to_->setRange(2, 255);
    to_->setValue(32);
    grid->addWidget(to_, 1, 1);
    connect(from_, &QSpinBox::valueChanged, this, &BeamEditorPanel::SpinEditESSfromChange);
    connect(to_, &QSpinBox::valueChanged, this, &BeamEditorPanel::SpinEditESStoChange);

    allScenes_ = new QCheckBox(QStringLiteral("Все сцены"), box);
    allScenes_->setObjectName(QStringLiteral("CheckBoxEditXYAllScenes"));
    allScenes_->setChecked(true);
    grid->addWidget(allScenes_, 2, 0, 1, 2);
    changeScene_ = new QCheckBox(QStringLiteral("Менять Сцену"), box);
    changeScene_->setObjectName(QStringLiteral("CheckBoxAllScen"));
    changeScene_->setToolTip(QStringLiteral("Перетаскивание луча меняет текущую сцену"));
    changeScene_->setChecked(true);
    grid->addWidget(changeScene_, 3, 0, 1, 2);
    return box;
}

QWidget* BeamEditorPanel::buildMoves()
{
    QGridLayout* grid = gridBox();
    QWidget* box = grid->parentWidget();
    grid->setSpacing(1);
    struct Move {
        int code;
        int row, column;
        const char* name;
        const char* caption;
        const char* hint;
    };
    static constexpr Move kMoves[] = {
        {Up, 0, 1, "SpeedButtonEditPosUp", "↑", "Смещение фигуры"},
        {Left, 1, 0, "SpeedButtonEditPosLeft", "←", "Смещение фигуры"},
        {Right, 1, 2, "SpeedButtonEditPosRight", "→", "Смещение фигуры"},
        {Down, 2, 1, "SpeedButtonEditPosDown", "↓", "Смещение фигуры"},
        {Smaller, 0, 4, "SpeedButtonEditRazmerMene", "−", "Уменьшить фигуру"},
        {Larger, 0, 5, "SpeedButtonEditRazmerMore", "+", "Увеличить фигуру"},
        {MirrorX, 2, 4, "SpeedButtonGorizontMirror", "⇆", "Зеркальное отображение"},
        {MirrorY, 2, 5, "SpeedButtonVerticalMirror", "⇅", "Зеркальное отображение"},
    };
    for (const Move& m : kMoves) {
        QToolButton* button = addButton(grid, m.row, m.column, m.name, QString::fromUtf8(m.caption),
                                        QString::fromUtf8(m.hint));
        const int code = m.code;
        if (repeats(code)) {
            connect(button, &QToolButton::pressed, this, [this, code] { repeatButtonDown(code); });
            connect(button, &QToolButton::released, this, &BeamEditorPanel::repeatButtonUp);
        } else {
            connect(button, &QToolButton::pressed, this, [this, code] { mirrorButtonDown(code); });
        }
    }
    grid->setColumnMinimumWidth(3, 10);
    grid->setColumnStretch(6, 1);
    return box;
}

QWidget* BeamEditorPanel::buildFigures()
{
    QGridLayout* grid = gridBox();
    QWidget* box = grid->parentWidget();
    grid->setSpacing(1);
    int i = 0;
    for (const FigureInfo& info : kFigureButtons) {
        QToolButton* button = addButton(grid, i / 5, i % 5, info.name, QString::fromUtf8(info.caption),
                                        QString());
        if (!*info.caption) {
            button->setIcon(figureIcon(info.figure));
            button->setIconSize(QSize(kIconSide, kIconSide));
        }
        connect(button, &QToolButton::clicked, this, [this, f = info.figure] { makeFigure(f); });
        ++i;
    }
    grid->setColumnStretch(5, 1);
    return box;
}

QWidget* BeamEditorPanel::buildPairs()
{
    QGridLayout* grid = gridBox();
    QWidget* box = grid->parentWidget();
    grid->setHorizontalSpacing(4);
    grid->setVerticalSpacing(1);
    for (int k = 1; k <= kPairs; ++k) {
        PairRow& row = pairs_[k - 1];
        if (k > 1) {
            row.copy = new QCheckBox(box);
            row.copy->setObjectName(QStringLiteral("CheckBoxEditXY%1").arg(k));
            row.copy->setToolTip(QStringLiteral(
                "При включенном флажке содежимое Редактируемого поля  записывается в память"));
            grid->addWidget(row.copy, k - 1, 0);
        }
        row.bar = addBar(qPrintable(QStringLiteral("ScrollBarEditXYCh%1").arg(k)), Qt::Horizontal, 0,
                         kPairMaximum, 0);
        row.bar->setFixedWidth(90);
        grid->addWidget(row.bar, k - 1, 1);
        row.first = addLabel(qPrintable(QStringLiteral("LabelXYareaFirrtName%1").arg(k)));
        row.second = addLabel(qPrintable(QStringLiteral("LabelXYareaSecondName%1").arg(k)));
        grid->addWidget(row.first, k - 1, 2);
        grid->addWidget(row.second, k - 1, 3);
    }
    connect(pairs_[0].bar, &QScrollBar::valueChanged, this, &BeamEditorPanel::ReturnEditXY);
    auto* copy = new QToolButton(box);
    copy->setObjectName(QStringLiteral("SpeedButtonEditXYcopy"));
    copy->setText(QStringLiteral("Копировать"));
    copy->setToolTip(QStringLiteral("Выполнить копирование в каналы, выбранные флажками "));
    connect(copy, &QToolButton::clicked, this, &BeamEditorPanel::SpeedButtonEditXYcopyClick);
    grid->addWidget(copy, kPairs, 1);
    grid->setColumnStretch(2, 1);
    grid->setColumnStretch(3, 1);
    return box;
}

QWidget* BeamEditorPanel::buildLayoutChoice()
{
    auto* group = new QGroupBox(QStringLiteral("Расположение каналов  X - Y "), this);
    group->setObjectName(QStringLiteral("RadioGroup16bit"));
    auto* items = new QVBoxLayout(group);
    items->setContentsMargins(4, 2, 4, 2);
    items->setSpacing(0);
    auto* adjacent = new QRadioButton(QStringLiteral("Рядом"), group);
    adjacent->setObjectName(QStringLiteral("RadioGroup16bitItem0"));
    adjacent->setChecked(true);
    gapped_ = new QRadioButton(QStringLiteral("Через канал"), group);
    gapped_->setObjectName(QStringLiteral("RadioGroup16bitItem1"));
    items->addWidget(adjacent);
    items->addWidget(gapped_);
    connect(gapped_, &QRadioButton::toggled, this, [this] {
        setPairMaximum();
        ReLabelEdiXY();
        ReturnEditXY();
    });
    return group;
}

// With the fine channel between X and Y the last pair starts one channel lower.
void BeamEditorPanel::setPairMaximum()
{
    for (PairRow& row : pairs_)
        row.bar->setMaximum(gapped_->isChecked() ? kPairMaximum - 1 : kPairMaximum);
}

SceneRange BeamEditorPanel::range() const
{
    return {from_->value(), to_->value()};
}

XyPair BeamEditorPanel::pair(int k) const
{
    return XyPair::fromBar(pairs_[k - 1].bar->value(), gapped_->isChecked());
}

void BeamEditorPanel::ReLabelEdiXY()
{
    labelScene_->setText(QStringLiteral(" Сцена ? "));
    setPadHint(false);
    if (allScenes_->isChecked()) {
        // The first scene goes first so the last one is never pulled down to it.
        from_->setValue(1);
        to_->setValue(console_.image.lastScene() + 1);
    }
    for (int k = 1; k <= kPairs; ++k) {
        const XyPair p = pair(k);
        pairs_[k - 1].first->setText(channelCaption(console_.image, p.x));
        pairs_[k - 1].second->setText(channelCaption(console_.image, p.y));
    }
    const int angle = rotate_->value();
    labelAngle_->setText(angle < 180 ? QStringLiteral("Вправо ") + QString::number(angle)
                                     : QStringLiteral("Влево ") + QString::number(360 - angle));
    labelFigure_->setText(QStringLiteral(" Размер фигуры ") + QString::number(size_->value())
                          + QStringLiteral("       Опция ") + QString::number(option_->value()));
}

void BeamEditorPanel::ReturnEditXY()
{
    pad_->showPath(range(), pair(1));
}

void BeamEditorPanel::SpinEditESSfromChange(int value)
{
    if (value >= to_->value())
        from_->setValue(to_->value());
    ReturnEditXY();
}

void BeamEditorPanel::SpinEditESStoChange(int value)
{
    if (value <= from_->value())
        to_->setValue(from_->value());
    ReturnEditXY();
}

void BeamEditorPanel::ButtonRepeat(int code)
{
    editor_.ButtonRepeat(code, range(), pair(1));
    ReturnEditXY();
}

void BeamEditorPanel::repeatButtonDown(int code)
{
    editor_.RepeatMode = code;
    ButtonRepeat(code);
    // Runs only while the button is held: an idle editor wakes nothing.
    timerRepeat_->start(kRepeatStartMs);
}

void BeamEditorPanel::mirrorButtonDown(int code)
{
    editor_.RepeatMode = 0;
    ButtonRepeat(code);
}

void BeamEditorPanel::repeatButtonUp()
{
    editor_.RepeatMode = 0;
    timerRepeat_->stop();
}

// Only a real change: a new interval restarts the timer.
void BeamEditorPanel::setRepeatInterval(int ms)
{
    if (timerRepeat_->interval() != ms)
        timerRepeat_->setInterval(ms);
}

void BeamEditorPanel::TimerRepeatButtonTimer()
{
    if (!repeats(editor_.RepeatMode))
        return timerRepeat_->stop();
    setRepeatInterval(kRepeatHeldMs);
    ButtonRepeat(editor_.RepeatMode);
}

void BeamEditorPanel::makeFigure(Figure figure)
{
    if (!editor_.makeFigure(figure, range(), pair(1), size_->value(), option_->value()))
        form_.OutStatus(QStringLiteral(" Фигура не построена: мало сцен "));
    ReturnEditXY();
}

void BeamEditorPanel::SpeedButtonRotateLeftClick()
{
    editor_.RotateArea(range(), pair(1), rotate_->value());
    ReturnEditXY();
}

void BeamEditorPanel::SpeedButtonEditXYcopyClick()
{
    std::vector<XyPair> targets;
    for (int k = 2; k <= kPairs; ++k) {
        if (pairs_[k - 1].copy->isChecked())
            targets.push_back(pair(k));
    }
    editor_.copyToPairs(range(), pair(1), targets);
}

void BeamEditorPanel::setPadHint(bool on, const QString& hint)
{
    pad_->setToolTip(on ? hint : QString());
}

void BeamEditorPanel::showFound(bool found)
{
    if (!found)
        return;
    const QString scene = QString::number(editor_.FoundScene + 1);
    labelScene_->setText(QStringLiteral(" Сцена ") + scene);
    setPadHint(true, QStringLiteral("Переместить сцену ") + scene);
}

void BeamEditorPanel::PaintBoxXYMouseDown(Qt::MouseButton button, QPoint pixel)
{
    const XyPoint at = XyPad::levelsAt(pixel);
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    const auto drag = button == Qt::LeftButton ? BeamEditor::Drag::Move : BeamEditor::Drag::Size;
    const bool chosen = editor_.padPressed(drag, range(), pair(1), at.x, at.y, changeScene_->isChecked());
    showFound(editor_.FoundScene != BeamEditor::kNone);
    if (chosen)
        emit sceneChosen();
}

void BeamEditorPanel::PaintBoxXYMouseMove(QPoint pixel)
{
    const XyPoint at = XyPad::levelsAt(pixel);
    labelPosY_->setText(QStringLiteral("Y = ") + QString::number(at.y));
    labelPosX_->setText(QStringLiteral("X = ") + QString::number(at.x));
    labelScene_->setText(QStringLiteral("  "));
    setPadHint(false);
    showFound(editor_.SearchScena(range(), pair(1), at.x, at.y));
    switch (editor_.DragMode) {
    case BeamEditor::Drag::Move:
        pad_->setCursor(Qt::ClosedHandCursor);
        if (const auto moved = editor_.dragFoundTo(pair(1), at.x, at.y))
            pad_->pointMoved(moved->scene, moved->from);
        break;
    case BeamEditor::Drag::Size:
        pad_->setCursor(Qt::SizeAllCursor);
        labelScene_->setText(QStringLiteral(" Размер "));
        break;
    case BeamEditor::Drag::None:
        break;
    }
}

void BeamEditorPanel::PaintBoxXYMouseUp()
{
    pad_->unsetCursor();
    editor_.padReleased();
    labelScene_->setText(QStringLiteral(" "));
    setPadHint(false);
}

void BeamEditorPanel::FormMouseWheel(int delta)
{
    QScrollBar* bar = pairs_[0].bar;
    if (delta > 0)
        bar->setValue(bar->value() + 1);
    else if (delta < 0)
        bar->setValue(bar->value() - 1);
}

// The window's wheel handler steps the channel bar; under the pointer the bar
// would take a second step of its own.
bool BeamEditorPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == pairs_[0].bar && event->type() == QEvent::Wheel) {
        event->ignore();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tavrelia
