#include "base_form.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "console.h"
#include "usb_state_panel.h"

namespace tavrelia {

namespace {
const char* const kOrderProperty = "tavreliaOrder";

int orderOf(const QObject* object)
{
    return object->property(kOrderProperty).toInt();
}

struct MenuInfo {
    const char* objectName;
    const char* title;
};
// Menus in their order on the bar.
constexpr MenuInfo kMenus[] = {
    {"MenuShou", "Шоу"},
    {"MenuSceny", "Сцены"},
    {"MenuUstanovki", "Установки"},
    {"MenuOpcii", "Опции"},
    {"MenuPomosh", "Помощь"},
};
}  // namespace

TBaseForm::TBaseForm(Console& console, QWidget* parent) : QMainWindow(parent), console_(console)
{
    setObjectName(QStringLiteral("TBaseForm"));
    setWindowTitle(QStringLiteral("TAVRELIA"));
    buildFrame();
    buildPanels();
    resize(kWidth, kHeight);
}

TBaseForm::~TBaseForm() = default;

// Every panel of the window, in the order their refresh steps must run.
void TBaseForm::buildPanels()
{
    new UsbStatePanel(*this);
}

void TBaseForm::buildFrame()
{
    menuBar()->setObjectName(QStringLiteral("MainMenuBase"));

    toolBar_ = addToolBar(QStringLiteral("ToolBar1"));
    toolBar_->setObjectName(QStringLiteral("ToolBar1"));
    toolBar_->setMovable(false);
    toolBar_->setIconSize(QSize(20, 20));

    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    columns->setContentsMargins(4, 2, 4, 2);
    columns->setSpacing(4);

    pageControlInput_ = new QTabWidget(central);
    pageControlInput_->setObjectName(QStringLiteral("PageControlInput"));
    connect(pageControlInput_, &QTabWidget::currentChanged, this,
            [this] { ReturnPageControlAll(); });   // PageControlInputChange
    columns->addWidget(pageControlInput_, 1);

    rightColumn_ = new QVBoxLayout;
    rightColumn_->setSpacing(2);
    columns->addLayout(rightColumn_);

    groupScenes_ = new QGroupBox(QStringLiteral("Управление сценами"), central);
    groupScenes_->setObjectName(QStringLiteral("GroupBoxScenes"));
    auto* scenesLayout = new QVBoxLayout(groupScenes_);
    scenesLayout->setContentsMargins(2, 2, 2, 2);
    pageControlTemp_ = new QTabWidget(groupScenes_);
    pageControlTemp_->setObjectName(QStringLiteral("PageControlTemp"));
    scenesLayout->addWidget(pageControlTemp_);
    rightColumn_->addWidget(groupScenes_);

    groupUst_ = new QGroupBox(QStringLiteral(" Установки каналов и Клавиатуры  "), central);
    groupUst_->setObjectName(QStringLiteral("GroupBoxUst"));
    auto* ustLayout = new QVBoxLayout(groupUst_);
    ustLayout->setContentsMargins(2, 2, 2, 2);
    pageControlUst_ = new QTabWidget(groupUst_);
    pageControlUst_->setObjectName(QStringLiteral("PageControlUst"));
    ustLayout->addWidget(pageControlUst_);
    rightColumn_->addWidget(groupUst_);
    rightColumn_->addStretch(1);

    // Both groups appear with their first tab.
    groupScenes_->hide();
    groupUst_->hide();

    setCentralWidget(central);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusPanel0_ = new QLabel(QStringLiteral("empty"), statusBar());
    statusPanel0_->setObjectName(QStringLiteral("StatusPanel0"));
    statusPanel0_->setFixedWidth(200);
    statusBar()->addWidget(statusPanel0_);

    timerStatus_ = new QTimer(this);
    timerStatus_->setObjectName(QStringLiteral("TimerStatus"));
    timerStatus_->setInterval(2000);
    connect(timerStatus_, &QTimer::timeout, this, &TBaseForm::TimerStatusTimer);
}

QMenu* TBaseForm::menu(MenuId id)
{
    const MenuInfo& info = kMenus[static_cast<int>(id)];
    if (auto* existing = menuBar()->findChild<QMenu*>(QString::fromLatin1(info.objectName)))
        return existing;
    auto* created = new QMenu(QString::fromUtf8(info.title), menuBar());
    created->setObjectName(QString::fromLatin1(info.objectName));
    created->setProperty(kOrderProperty, static_cast<int>(id));
    QAction* before = nullptr;
    for (QAction* action : menuBar()->actions()) {
        if (action->menu() && orderOf(action->menu()) > static_cast<int>(id)) {
            before = action;
            break;
        }
    }
    menuBar()->insertMenu(before, created);
    return created;
}

void TBaseForm::addToolButton(int order, QToolButton* button)
{
    button->setProperty(kOrderProperty, order);
    button->setAutoRaise(true);
    QAction* before = nullptr;
    for (QAction* action : toolBar_->actions()) {
        QWidget* widget = toolBar_->widgetForAction(action);
        if (widget && orderOf(widget) > order) {
            before = action;
            break;
        }
    }
    QAction* action = toolBar_->insertWidget(before, button);
    action->setObjectName(button->objectName() + QStringLiteral("Action"));
}

QWidget* TBaseForm::page(QTabWidget* tabs, int order, const char* objectName,
                         const char* title)
{
    const QString name = QString::fromLatin1(objectName);
    for (int i = 0; i < tabs->count(); ++i) {
        if (tabs->widget(i)->objectName() == name)
            return tabs->widget(i);
    }
    auto* created = new QWidget;
    created->setObjectName(name);
    created->setProperty(kOrderProperty, order);
    auto* layout = new QVBoxLayout(created);
    layout->setContentsMargins(4, 4, 4, 4);
    int index = 0;
    while (index < tabs->count() && orderOf(tabs->widget(index)) < order)
        ++index;
    const QSignalBlocker blocker(tabs);
    tabs->insertTab(index, created, QString::fromUtf8(title));
    tabs->setCurrentIndex(0);
    if (tabs == pageControlTemp_)
        groupScenes_->show();
    if (tabs == pageControlUst_)
        groupUst_->show();
    return created;
}

QWidget* TBaseForm::inputPage(InputTab tab)
{
    static constexpr const char* kNames[] = {"TabSheetScroll", "TabSheetGrafik", "TabSheetEditXY",
                                             "TabSheetCopy", "TabSheetAvtomat", "TabSheetOptions",
                                             "TabSheetCoder"};
    static constexpr const char* kTitles[] = {"Фэйдера", "График Канала", "Редактор луча",
                                              "Копирование", "Автоматы", "Опции", "DMX coder"};
    const int i = static_cast<int>(tab);
    return page(pageControlInput_, i, kNames[i], kTitles[i]);
}

QWidget* TBaseForm::ustPage(UstTab tab)
{
    static constexpr const char* kNames[] = {"TabSheetRate", "TabSheetLevels", "TabSheetStatic"};
    static constexpr const char* kTitles[] = {"Плавность", "Уровни", "Стат. картины"};
    const int i = static_cast<int>(tab);
    return page(pageControlUst_, i, kNames[i], kTitles[i]);
}

QWidget* TBaseForm::tempPage(TempTab tab)
{
    static constexpr const char* kNames[] = {"TabSheetSeqvenser", "TabSheetColor"};
    static constexpr const char* kTitles[] = {"Секвенсер", "Цвет канала"};
    const int i = static_cast<int>(tab);
    return page(pageControlTemp_, i, kNames[i], kTitles[i]);
}

void TBaseForm::setCaptionPrefix(const QString& prefix)
{
    captionPrefix_ = prefix;
}

void TBaseForm::setCaptionName(const QString& name)
{
    captionName_ = name;
    setWindowTitle(captionPrefix_ + name);
}

void TBaseForm::OutStatus(const QString& text)
{
    // Enabling a running timer does not restart its period.
    if (!timerStatus_->isActive())
        timerStatus_->start();
    statusPanel0_->setText(text);
}

void TBaseForm::TimerStatusTimer()
{
    statusPanel0_->clear();
    timerStatus_->stop();
}

void TBaseForm::ReturnDataSystem()
{
    emit dataSystemRefresh();
}

void TBaseForm::ReturnPageControlAll()
{
    ReturnDataSystem();
    emit colorRefresh();
    ReturnDataSystem();
    emit inputTabRefresh(pageControlInput_->currentWidget());
}

}  // namespace tavrelia
