#include "hand_scan_form.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>
#include <QtMath>

#include <algorithm>

#include "base_form.h"
#include "color_swatch.h"
#include "console.h"
#include "hand_scan_pad.h"
#include "style_icon.h"

namespace tavrelia {

namespace {
constexpr int kMarkerSide = 20;
// Room around the pad for the marker, which overhangs it at the edges.
constexpr int kPadMargin = 12;
constexpr int kAreaToolButtonOrder = 10;
const QColor kPadColour(200, 200, 255);
const QColor kZeroColour(192, 220, 192);
constexpr int kZeroLines = 14;

const char* const kZeroText =
    "Стандарт DMX512 (1990) предписывает\n"
    "передавать в нулевом канале строки\n"
    "стартовый код 0.\n"
    "Некоторые приборы отвечают и на другие\n"
    "стартовые коды, а приборы разных\n"
    "производителей не всегда работают\n"
    "вместе на одной линии.\n"
    "Меняйте это значение, только если\n"
    "точно знаете, что ваши приборы\n"
    "его ожидают.\n"
    "Значение хранится в шоу; в линию\n"
    "пока всегда уходит стартовый код 0.\n"
    "\n"
    "Используйте с осторожностью.";

QCheckBox* makeBox(QWidget* parent, const char* name, const QString& caption, const QString& hint)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(hint);
    return box;
}
}  // namespace

THandScanForm::THandScanForm(TBaseForm& form)
    : QWidget(&form, Qt::Dialog | Qt::WindowStaysOnTopHint), form_(form),
      handScan_(form.console().handScan)
{
    setObjectName(QStringLiteral("THandScanForm"));
    setWindowTitle(QStringLiteral("Поле для ручного управления лучем сканера"));
    setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    buildPadGroup();
    buildZeroGroup();
    layout->addWidget(groupBoxXY_);
    layout->addWidget(groupBoxZero_);
    // A dialog border: the size the pad needs and no other.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    hookIntoMainWindow();
}

void THandScanForm::buildPadGroup()
{
    groupBoxXY_ = new QGroupBox(QStringLiteral("Ручное управление лучем сканера "), this);
    groupBoxXY_->setObjectName(QStringLiteral("GroupBoxXY"));
    auto* layout = new QVBoxLayout(groupBoxXY_);

    auto* area = new QWidget(groupBoxXY_);
    area->setFixedSize(HandScanPad::kSide + 2 * kPadMargin, HandScanPad::kSide + 2 * kPadMargin);
    shapeCentr_ = new ColorSwatch(area, ColorSwatch::Frame::Round);
    shapeCentr_->setObjectName(QStringLiteral("ShapeCentr"));
    shapeCentr_->setBrushColor(Qt::yellow);
    shapeCentr_->setFixedSize(kMarkerSide, kMarkerSide);
    shapeXY_ = new HandScanPad(area);
    shapeXY_->setObjectName(QStringLiteral("ShapeXY"));
    shapeXY_->setToolTip(QStringLiteral(
        "Положение курсора на поле воздействует на два канала, начиная с первой отметки в столбце =Выбор = "));
    shapeXY_->move(kPadMargin, kPadMargin);
    // FormCreate: the marker behind the pad, so that the pad gets the mouse.
    shapeCentr_->stackUnder(shapeXY_);
    shapeCentr_->move(kPadMargin + HandScanPad::kSide / 2 - kMarkerSide / 2,
                      kPadMargin + HandScanPad::kSide / 2 - kMarkerSide / 2);
    layout->addWidget(area, 0, Qt::AlignHCenter);

    connect(shapeXY_, &MousePad::pressed, this, [this](Qt::MouseButton, QPoint at) {
        showResult(handScan_.mouseDown(at.x(), at.y(), options()));
    });
    connect(shapeXY_, &MousePad::moved, this, [this](QPoint at) {
        showResult(handScan_.mouseMove(at.x(), at.y(), options()));
    });
    connect(shapeXY_, &MousePad::released, this, [this] { handScan_.endDrag(); });

    auto* boxes = new QHBoxLayout;
    checkBoxX_ = makeBox(groupBoxXY_, "CheckBoxX", QStringLiteral("X=255"),
                         QStringLiteral("Инверсия по X"));
    checkBoxY_ = makeBox(groupBoxXY_, "CheckBoxY", QStringLiteral("Y=255"),
                         QStringLiteral("Инверсия по Y"));
    checkBoxXY_ = makeBox(groupBoxXY_, "CheckBoxX_Y", QStringLiteral("X<->Y"),
                          QStringLiteral("Меняет местами координаты  X <> Y "));
    checkBoxManualArea_ = makeBox(groupBoxXY_, "CheckBoxManualArea", QStringLiteral("Приоритет"),
                                  QStringLiteral("Управлять в любом режиме"));
    // Wide enough for "X=255" whatever the value.
    for (QCheckBox* box : {checkBoxX_, checkBoxY_})
        box->setMinimumWidth(box->sizeHint().width());
    for (QCheckBox* box : {checkBoxX_, checkBoxY_, checkBoxXY_, checkBoxManualArea_})
        boxes->addWidget(box);
    layout->addLayout(boxes);
    connect(checkBoxManualArea_, &QCheckBox::toggled, this, &THandScanForm::CheckBoxManualAreaClick);
    connect(&form_.console().live, &Controls::handScanChanged, checkBoxManualArea_,
            [this](bool priority) { checkBoxManualArea_->setChecked(priority); });
}

void THandScanForm::buildZeroGroup()
{
    groupBoxZero_ = new QGroupBox(QStringLiteral(" Установка нулевого канала строки DMX512 "), this);
    groupBoxZero_->setObjectName(QStringLiteral("GroupBoxZero"));
    auto* layout = new QGridLayout(groupBoxZero_);
    scrollBarZero_ = new QScrollBar(Qt::Horizontal, groupBoxZero_);
    scrollBarZero_->setObjectName(QStringLiteral("ScrollBarZero"));
    scrollBarZero_->setRange(0, 255);
    connect(scrollBarZero_, &QScrollBar::valueChanged, this, &THandScanForm::ScrollBarZeroChange);
    labelZero_ = new QLabel(QStringLiteral("0"), groupBoxZero_);
    labelZero_->setObjectName(QStringLiteral("LabelZero"));
    auto* memo = new QPlainTextEdit(QString::fromUtf8(kZeroText), groupBoxZero_);
    memo->setObjectName(QStringLiteral("MemoZero"));
    memo->setReadOnly(true);
    // All of the text at once, line for line: no wrapping, no scrolling.
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    const QFontMetrics metrics = memo->fontMetrics();
    int widest = 0;
    for (const QString& line : QString::fromUtf8(kZeroText).split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    const int margins = 2 * (memo->frameWidth() + qCeil(memo->document()->documentMargin())) + 4;
    memo->setFixedSize(widest + margins, metrics.lineSpacing() * kZeroLines + margins);
    layout->addWidget(scrollBarZero_, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("start Byte = "), groupBoxZero_), 1, 0);
    layout->addWidget(labelZero_, 1, 1);
    layout->addWidget(memo, 2, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    groupBoxZero_->hide();
}

void THandScanForm::hookIntoMainWindow()
{
    auto* areaItem = new QAction(QStringLiteral("Поле для ручного управления лучем сканера"), this);
    areaItem->setObjectName(QStringLiteral("AreaItem"));
    areaItem->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));
    form_.addMenuEntry(TBaseForm::MenuId::Opcii, 0, areaItem);
    connect(areaItem, &QAction::triggered, this, &THandScanForm::AreaItemClick);

    auto* button = new QToolButton;
    button->setObjectName(QStringLiteral("SpeedButtonAREA"));
    button->setToolTip(QStringLiteral("Окно ручного управления сканера "));
    button->setIcon(styleIcon(QStyle::SP_ArrowUp));
    connect(button, &QToolButton::clicked, this, &THandScanForm::AreaItemClick);
    form_.addToolButton(kAreaToolButtonOrder, button);
}

void THandScanForm::openAs(Mode mode, const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, colour);
    setPalette(p);
    mode_ = mode;
    // Also when the window is already the active one and no activation follows.
    showMode();
    show();
    raise();
    activateWindow();
}

void THandScanForm::AreaItemClick()
{
    handScan_.endDrag();
    openAs(Mode::Pad, kPadColour);
}

void THandScanForm::ZeroDmxItemClick()
{
    openAs(Mode::ZeroChannel, kZeroColour);
}

void THandScanForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange)
        return;
    if (isActiveWindow())
        FormActivate();
    else
        FormDeactivate();
}

// The priority never outlives the window's turn as the active one.
void THandScanForm::dropPriority()
{
    checkBoxManualArea_->setChecked(false);
    form_.console().live.setHandPriority(false);
}

void THandScanForm::FormActivate()
{
    dropPriority();
    showMode();
}

void THandScanForm::showMode()
{
    const bool pad = mode_ == Mode::Pad;
    groupBoxXY_->setVisible(pad);
    groupBoxZero_->setVisible(!pad);
    if (!pad) {
        scrollBarZero_->setValue(handScan_.startCode());
        labelZero_->setText(QString::number(handScan_.startCode()));
    }
}

void THandScanForm::FormDeactivate()
{
    dropPriority();
}

void THandScanForm::CheckBoxManualAreaClick(bool checked)
{
    form_.console().live.setHandPriority(checked);
}

void THandScanForm::ScrollBarZeroChange(int position)
{
    labelZero_->setText(QString::number(position));
    handScan_.setStartCode(static_cast<uint8_t>(position));
}

HandScan::Options THandScanForm::options() const
{
    return {checkBoxX_->isChecked(), checkBoxY_->isChecked(), checkBoxXY_->isChecked()};
}

void THandScanForm::showResult(const HandScan::Result& r)
{
    checkBoxX_->setText(QStringLiteral("X=") + QString::number(r.x));
    checkBoxY_->setText(QStringLiteral("Y=") + QString::number(r.y));
    if (r.written) {
        const QPoint pad = shapeXY_->pos();
        shapeCentr_->move(handScan_.column() + kMarkerSide / 2 + pad.x() - 19,
                          handScan_.row() + kMarkerSide / 2 + pad.y() - 19);
    }
    if (r.selectionChanged)
        form_.console().live.reloadSelection();
    form_.ReturnPageControlAll();
}

}  // namespace tavrelia
