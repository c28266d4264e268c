#include "base_form.h"

#include <algorithm>
#include <utility>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStorageInfo>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QTabBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "about_form.h"
#include "automat_group.h"
#include "beam_editor_panel.h"
#include "blackout_group.h"
#include "block_copy_panel.h"
#include "channel_clear_menu.h"
#include "channel_color_panel.h"
#include "channel_desk_panel.h"
#include "channel_rates_panel.h"
#include "compact_tab_style.h"
#include "console.h"
#include "conveyor_panel.h"
#include "device_placement_panel.h"
#include "dialogs.h"
#include "dmx_coder_panel.h"
#include "form_color_group.h"
#include "hand_scan_form.h"
#include "help_window.h"
#include "key_preview.h"
#include "level_all_bar.h"
#include "name_block_copy_panel.h"
#include "osc_panel.h"
#include "level_graph_panel.h"
#include "scene_list_panel.h"
#include "sequencer_panel.h"
#include "timecode_panel.h"
#include "static_pictures_panel.h"
#include "style_icon.h"
#include "transition_mode_group.h"
#include "audio_panel.h"
#include "link_panel.h"
#include "midi_panel.h"
#include "remote_panel.h"
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

using Handler = void (TBaseForm::*)();

struct MenuEntry {
    TBaseForm::MenuId menu;
    const char* objectName;
    const char* text;
    const char* shortcut;
    Handler handler;
};
constexpr MenuEntry kMenuEntries[] = {
    {TBaseForm::MenuId::Shou, "NewItem", "Создать новое Шоу", "Ctrl+N", &TBaseForm::NewItemClick},
    {TBaseForm::MenuId::Shou, "OpenItem", "Открыть Шоу", "Ctrl+O", &TBaseForm::OpenItemClick},
    {TBaseForm::MenuId::Shou, "SaveAsItem", "Сохранить Шоу как ...", "Ctrl+W",
     &TBaseForm::SaveAsItemClick},
    {TBaseForm::MenuId::Shou, "SaveItem", "Сохранить Шоу", "Ctrl+S", &TBaseForm::SaveItemClick},
    {TBaseForm::MenuId::Shou, "ExitItem", "Выход", "Ctrl+Q", &TBaseForm::ExitItemClick},
    {TBaseForm::MenuId::Pomosh, "AboutItem", "О программе", "", &TBaseForm::AboutItemClick},
    {TBaseForm::MenuId::Pomosh, "HelpItem", "Справка", "F1", &TBaseForm::HelpItemClick},
};

struct ToolButtonInfo {
    int order;
    const char* objectName;
    const char* hint;
    QStyle::StandardPixmap icon;
    Handler handler;
};
constexpr ToolButtonInfo kToolButtons[] = {
    {0, "SpeedButtonNEW", "Новое Шоу", QStyle::SP_FileIcon, &TBaseForm::NewItemClick},
    {1, "SpeedButtonOPEN", "Открыть Шоу", QStyle::SP_DialogOpenButton, &TBaseForm::OpenItemClick},
    {2, "SpeedButtonSAVE", "Сохранить существующее Шоу ", QStyle::SP_DialogSaveButton,
     &TBaseForm::SaveItemClick},
    {3, "SpeedButtonSAVEAS", "Записать Шоу под новым Именем ", QStyle::SP_DriveFDIcon,
     &TBaseForm::SaveAsItemClick},
    {11, "SpeedButtonHELP", "Справка", QStyle::SP_DialogHelpButton, &TBaseForm::HelpItemClick},
    {12, "SpeedButtonABOUT", "О программе", QStyle::SP_MessageBoxInformation,
     &TBaseForm::AboutItemClick},
};

constexpr int kAvtoSavePeriodMs = 180000;
constexpr qint64 kMegabyte = 1000000;
}  // namespace

TBaseForm::TBaseForm(Console& console, QWidget* parent) : QMainWindow(parent), console_(console)
{
    setObjectName(QStringLiteral("TBaseForm"));
    setWindowTitle(QStringLiteral("TAVRELIA"));
    buildFrame();
    buildMenus();
    buildToolButtons();
    buildStatusBar();
    buildPanels();
    resize(kWidth, kHeight);
    centreOnScreen();
    // The wheel belongs to the window wherever the pointer is, before any control.
    qApp->installEventFilter(this);
}

TBaseForm::~TBaseForm() = default;

// Every panel of the window, in the order their refresh steps must run.
void TBaseForm::buildPanels()
{
    keyPreview_ = new KeyPreview(*this);
    channelDesk_ = new ChannelDeskPanel(*this);
    new UsbStatePanel(*this);
    new OscPanel(*this);
    new SequencerPanel(*this);
    auto* sceneList = new SceneListPanel(*this, *channelDesk_);
    new ChannelColorPanel(*this);
    new LevelGraphPanel(*this);
    auto* beamEditor = new BeamEditorPanel(*this);
    connect(beamEditor, &BeamEditorPanel::sceneChosen, sceneList, &SceneListPanel::showChosenScene);
    new BlockCopyPanel(*this);
    new NameBlockCopyPanel(*this);
    new FormColorGroup(*this);
    new MidiPanel(*this);
    new RemotePanel(*this);
    new LinkPanel(*this);
    new TimecodePanel(*this);
    new AudioPanel(*this);
    // The outside sources' groups stand at the top of their tab.
    static_cast<QBoxLayout*>(inputPage(InputTab::Sinhro)->layout())->addStretch();
    new ChannelClearMenu(*this);
    new ChannelRatesPanel(*this);
    new TransitionModeGroup(*this);
    new LevelAllBar(*this);
    new BlackOutGroup(*this, *channelDesk_);
    new ConveyorPanel(*this);
    new DmxCoderPanel(*this);
    new DevicePlacementPanel(*this);
    new THandScanForm(*this);
    new StaticPicturesPanel(*this);
    new AutomatGroup(*this, console_.automats.avtomat1);
    new AutomatGroup(*this, console_.automats.avtomat2);
    connect(this, &TBaseForm::startUpOutput, this, [this] { console_.startOutput(); });
    connect(this, &TBaseForm::closeOutput, this, [this] { console_.stopOutput(); });
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
    auto* compactTabs = new CompactTabStyle;
    compactTabs->setParent(pageControlInput_->tabBar());
    pageControlInput_->tabBar()->setStyle(compactTabs);
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

}

// Two groups of one page in a row, where the first was: the colour group leaves room.

void TBaseForm::buildMenus()
{
    for (const MenuEntry& entry : kMenuEntries) {
        QAction* action = menu(entry.menu)->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QString::fromLatin1(entry.objectName));
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        connect(action, &QAction::triggered, this, [this, handler = entry.handler] {
            (this->*handler)();
        });
    }
    // Announced by the menu, never given an action.
    auto* sound = new QAction(QStringLiteral("Опции окна зука"), this);
    sound->setObjectName(QStringLiteral("SoundOptionsItem"));
    addMenuEntry(MenuId::Opcii, 3, sound);
}

void TBaseForm::buildToolButtons()
{
    for (const ToolButtonInfo& info : kToolButtons) {
        auto* button = new QToolButton(toolBar_);
        button->setObjectName(QString::fromLatin1(info.objectName));
        button->setToolTip(QString::fromUtf8(info.hint));
        button->setIcon(styleIcon(info.icon));
        connect(button, &QToolButton::clicked, this, [this, handler = info.handler] {
            (this->*handler)();
        });
        addToolButton(info.order, button);
    }
}

void TBaseForm::buildStatusBar()
{
    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusPanel0_ = new QLabel(QStringLiteral("empty"), statusBar());
    statusPanel0_->setObjectName(QStringLiteral("StatusPanel0"));
    statusPanel0_->setFixedWidth(200);
    statusBar()->addWidget(statusPanel0_);

    labelDiskFree_ = new QLabel(statusBar());
    labelDiskFree_->setObjectName(QStringLiteral("LabelDiskFree"));
    statusBar()->addPermanentWidget(labelDiskFree_);
    labelDiskSize_ = new QLabel(statusBar());
    labelDiskSize_->setObjectName(QStringLiteral("LabelDiskSize"));
    statusBar()->addPermanentWidget(labelDiskSize_);

    timerStatus_ = new QTimer(this);
    timerStatus_->setObjectName(QStringLiteral("TimerStatus"));
    timerStatus_->setInterval(2000);
    connect(timerStatus_, &QTimer::timeout, this, &TBaseForm::TimerStatusTimer);

    timerAvtoSave_ = new QTimer(this);
    timerAvtoSave_->setObjectName(QStringLiteral("TimerAvtoSave"));
    timerAvtoSave_->setInterval(kAvtoSavePeriodMs);
    connect(timerAvtoSave_, &QTimer::timeout, this, &TBaseForm::TimerAvtoSaveTimer);
    timerAvtoSave_->start();
}

void TBaseForm::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
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

void TBaseForm::addMenuEntry(MenuId id, int order, QAction* action)
{
    action->setProperty(kOrderProperty, order);
    QMenu* entries = menu(id);
    action->setParent(entries);
    QAction* before = nullptr;
    for (QAction* existing : entries->actions()) {
        if (orderOf(existing) > order) {
            before = existing;
            break;
        }
    }
    entries->insertAction(before, action);
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

void TBaseForm::addToRow(InputTab tab, int row, int column, QWidget* group)
{
    QWidget* tabPage = inputPage(tab);
    const QString rowName = QStringLiteral("RowOfGroups%1").arg(row);
    auto* rowLayout = tabPage->findChild<QHBoxLayout*>(rowName);
    if (!rowLayout) {
        rowLayout = new QHBoxLayout;
        rowLayout->setObjectName(rowName);
        rowLayout->setContentsMargins(0, 0, 0, 0);
        static_cast<QBoxLayout*>(tabPage->layout())->addLayout(rowLayout);
    }
    const QString columnName = rowName + QStringLiteral("Column%1").arg(column);
    auto* columnLayout = tabPage->findChild<QVBoxLayout*>(columnName);
    if (!columnLayout) {
        columnLayout = new QVBoxLayout;
        columnLayout->setObjectName(columnName);
        columnLayout->setAlignment(Qt::AlignTop);
        columnLayout->setSpacing(0);
        rowLayout->addLayout(columnLayout, 1);
    }
    columnLayout->addWidget(group);
}

QWidget* TBaseForm::inputPage(InputTab tab)
{
    static constexpr const char* kNames[] = {"TabSheetScroll", "TabSheetGrafik", "TabSheetEdit",
                                             "TabSheetCopy", "TabSheetAvtomat", "TabSheetOptions",
                                             "TabSheetCoder", "TabSheetSync"};
    // The last: what the scenes follow from outside (a Link session, the sound, timecode).
    static constexpr const char* kTitles[] = {"Фэйдера", "График Канала", "Редактор луча",
                                              "Копирование", "Автоматы", "Опции", "DMX coder", "Синхро"};
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
    const ShowFiles& files = console_.showFiles;
    if (!files.saveFileName.isEmpty())
        setCaptionName(files.saveFileName);
    else if (!files.openFileName.isEmpty())
        setCaptionName(files.openFileName);
    emit dataSystemRefresh();
}

void TBaseForm::ReturnPageControlAll()
{
    ReturnDataSystem();
    emit colorRefresh();
    ReturnDataSystem();
    emit inputTabRefresh(pageControlInput_->currentWidget());
    // The surfaces follow what the refresh showed.
    console_.live.refresh();
}

void TBaseForm::FormMouseWheel(int delta)
{
    emit mouseWheel(pageControlInput_->currentWidget(), delta);
}

bool TBaseForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Wheel && watched->isWidgetType()
        && static_cast<QWidget*>(watched)->window() == this) {
        const auto* wheel = static_cast<QWheelEvent*>(event);
        // A wheel event that no control takes travels up to the window as copies
        // of itself with the same time stamp: act on the first delivery only.
        const bool copy = !wheel->spontaneous() && wheel->timestamp() != 0
                          && wheel->timestamp() == lastWheelTimestamp_;
        if (wheel->spontaneous())
            lastWheelTimestamp_ = wheel->timestamp();
        if (!copy)
            FormMouseWheel(wheel->angleDelta().y());
    }
    return QMainWindow::eventFilter(watched, event);
}

const QString& TBaseForm::noFileName()
{
    static const QString name = QStringLiteral(" Нет имени файла ");
    return name;
}

// ---- Start-up and close ----

void TBaseForm::FormCreate(const QString& show)
{
    QString error;
    if (!console_.installShowFolder(&error))
        Dialogs::current().critical(this, error);

    console_.connections.startAll();                       // 1: the interface and remotes
    emit startUpInterface();
    // 2: the name colours and the recoding table start so with the console.
    {                                                      // 3
        auto guard = console_.lock();
        console_.image.prepareAtStartUp();
    }
    fillDiskLabels();                                      // 4
    ClearAll();                                            // 5
    emit startUpOutput();                                  // 6
    ReadIniFile();                                         // 7
    if (!show.isEmpty())
        console_.showFiles.openFileName = show;
    if (!offerAutosave() && !console_.showFiles.openFileName.isEmpty())   // 8
        BlocOpenFile();
    ReturnPageControlAll();                                // 9
    OutStatus(QString());                                  // 10
    emit startUpTables();                                  // 11
}

void TBaseForm::FormClose()
{
    emit closeWindows();    // 1, 2
    emit closeOutput();     // 3
    emit closeInterface();  // 4
    console_.connections.stopAll();
    SaveFileAs();           // 5: always offered, whatever changed
    WriteIniFile();         // 6
}

void TBaseForm::closeEvent(QCloseEvent* event)
{
    if (!closed_) {
        closed_ = true;
        timerAvtoSave_->stop();
        FormClose();
        // An open help window would keep the program running.
        if (helpWindow_)
            helpWindow_->close();
    }
    event->accept();
}

void TBaseForm::endWithoutAsking()
{
    const QuietDialogs quiet;
    if (!std::exchange(closed_, true)) {
        timerAvtoSave_->stop();
        emit closeWindows();   // the colour file among them
        emit closeOutput();
        emit closeInterface();
    }
    autosaveQuietly();
    WriteIniFile();
}

void TBaseForm::saveWithoutAsking()
{
    const QuietDialogs quiet;
    const QString colors = console_.saveColorFile();
    if (!colors.isEmpty())
        Dialogs::current().critical(this, colors);
    autosaveQuietly();
    WriteIniFile();
}

void TBaseForm::autosaveQuietly()
{
    if (offeringAutosave_)
        return;
    const ShowFiles::Result saved = console_.showFiles.autosave();
    if (!saved.done())
        Dialogs::current().critical(this, saved.error);
}

bool TBaseForm::offerAutosave()
{
    const QDateTime time = console_.showFiles.unsavedAutosave();
    if (time.isNull())
        return false;
    const QString kept = QStringLiteral("Автосохранение от ") + time.toString(QStringLiteral("dd.MM.yyyy HH:mm:ss"));
    const QString& last = console_.showFiles.openFileName;
    const QStringList choices{kept, last.isEmpty() ? QStringLiteral("Новое шоу") : QFileInfo(last).fileName()};
    // The file asked about is not written over while the question waits.
    offeringAutosave_ = true;
    const int choice =
        Dialogs::current().choose(this, QStringLiteral("Шоу прошлого сеанса не было сохранено. Что открыть?"), choices);
    offeringAutosave_ = false;
    if (choice != 0)
        return false;
    reportLoad(console_.showFiles.openAutosave(), Message::Now);
    return true;
}

bool TBaseForm::changesSettled()
{
    if (!console_.showFiles.changed())
        return true;
    switch (Dialogs::current().yesNoCancel(this, QStringLiteral("Сохранить изменения?"))) {
    case Dialogs::Answer::Yes:
        return SaveFile() == SaveOutcome::Saved;
    case Dialogs::Answer::No:
        return true;
    case Dialogs::Answer::Cancel:
        break;
    }
    return false;
}

void TBaseForm::ReadIniFile()
{
    console_.readSettingsFile(console_.folder.settingsFile());
}

void TBaseForm::WriteIniFile()
{
    console_.settings.lastFile = console_.showFiles.saveFileName;
    const QString error = console_.settings.write(console_.folder.settingsFile());
    if (!error.isEmpty())
        Dialogs::current().critical(this, error);
}

void TBaseForm::fillDiskLabels()
{
    const QStorageInfo disk(console_.folder.path());
    labelDiskFree_->setText(QStringLiteral("Свободно на диске")
                            + QString::number(disk.bytesAvailable() / kMegabyte)
                            + QStringLiteral(" Mb"));
    labelDiskSize_->setText(QStringLiteral("Размер диска  ")
                            + QString::number(disk.bytesTotal() / kMegabyte) + QStringLiteral(" Mb"));
}

// ---- Menu "Шоу" ----

FileDialogRequest TBaseForm::showDialog(const QString& title, const QString& fileName) const
{
    return {title, QString::fromUtf8(ShowFiles::kFilter),
            QString::fromLatin1(ShowFiles::kDefaultSuffix), fileName, console_.folder.path()};
}

void TBaseForm::NewItemClick()
{
    if (!Dialogs::current().question(this, QStringLiteral("Создать новое ШОУ?")))
        return;
    // A changed show is asked about; an unchanged one gets the Save As dialog as
    // always. A save that failed keeps the show: clearing it now would lose it.
    if (console_.showFiles.changed() ? !changesSettled() : SaveFileAs() == SaveOutcome::Failed)
        return;
    ClearAll();
    setCaptionName(noFileName());
    ReturnPageControlAll();
}

void TBaseForm::OpenItemClick()
{
    if (!changesSettled())
        return;
    const QString name = Dialogs::current().openFile(
        this, showDialog(QStringLiteral("Открыть Шоу"), console_.showFiles.openFileName));
    if (name.isEmpty())
        return;
    console_.showFiles.openFileName = name;
    if (!BlocOpenFile())
        return;
    emit showOpened();
    ReturnPageControlAll();
}

bool TBaseForm::BlocOpenFile()
{
    return reportLoad(console_.showFiles.BlocOpenFile(), Message::Now);
}

bool TBaseForm::reportLoad(const ShowFiles::Result& result, Message when)
{
    switch (result.status) {
    case ShowFiles::Result::Status::Done:
        setCaptionName(console_.showFiles.openFileName);
        emit showReplaced();
        break;
    case ShowFiles::Result::Status::Missing:
        showLoadMessage(false, QStringLiteral("Файл не существует !"), when);
        break;
    case ShowFiles::Result::Status::Failed:
        showLoadMessage(true, result.error, when);
        return false;
    }
    emit showLoaded();
    return true;
}

void TBaseForm::showLoadMessage(bool error, const QString& text, Message when)
{
    const auto show = [this, error, text] {
        if (error)
            Dialogs::current().critical(this, text);
        else
            Dialogs::current().warning(this, text);
    };
    if (when == Message::Now) {
        show();
        return;
    }
    // Shown once the running handler is done, so a playing show goes on behind the
    // box; and one box at a time, whatever fails meanwhile.
    if (loadMessagePending_)
        return;
    loadMessagePending_ = true;
    QTimer::singleShot(0, this, [this, show] {
        show();
        loadMessagePending_ = false;
    });
}

void TBaseForm::SaveItemClick()
{
    SaveFile();
}

TBaseForm::SaveOutcome TBaseForm::SaveFile()
{
    if (!console_.showFiles.ShowNamed)
        return SaveFileAs();
    return reportSave(console_.showFiles.SaveFile().error);
}

void TBaseForm::SaveAsItemClick()
{
    // The colour step follows a cancelled dialog too, but not a failed write.
    if (SaveFileAs() != SaveOutcome::Failed)
        emit savedAs();
}

TBaseForm::SaveOutcome TBaseForm::SaveFileAs()
{
    const QString name = Dialogs::current().saveFile(
        this, showDialog(QStringLiteral("Сохранить Шоу как"), console_.showFiles.saveFileName));
    if (name.isEmpty())
        return SaveOutcome::Cancelled;
    return reportSave(console_.showFiles.SaveFileAs(name).error);
}

TBaseForm::SaveOutcome TBaseForm::reportSave(const QString& error)
{
    if (!error.isEmpty()) {
        Dialogs::current().critical(this, error);
        return SaveOutcome::Failed;
    }
    setCaptionName(console_.showFiles.saveFileName);
    return SaveOutcome::Saved;
}

void TBaseForm::ExitItemClick()
{
    close();
}

void TBaseForm::ClearAll()
{
    console_.showFiles.clearAll();
    setCaptionName(noFileName());
    selectStartTabs();
    emit showCleared();
}

void TBaseForm::selectStartTabs()
{
    for (QTabWidget* tabs : {pageControlInput_, pageControlTemp_}) {
        // The caller refreshes the window once it is done.
        const QSignalBlocker blocker(tabs);
        tabs->setCurrentIndex(0);
    }
}

void TBaseForm::TimerAvtoSaveTimer()
{
    if (offeringAutosave_)
        return;
    if (!timerStatus_->isActive())
        timerStatus_->start();
    const QString status = console_.showFiles.autosaveStatus();
    if (!status.isEmpty())
        statusPanel0_->setText(status);
    const ShowFiles::Result result = console_.showFiles.autosave();
    // One error box at a time: the timer goes on while it is open.
    if (!result.done() && !autosaveErrorOpen_) {
        autosaveErrorOpen_ = true;
        Dialogs::current().critical(this, result.error);
        autosaveErrorOpen_ = false;
    }
}

// ---- Menu "Помощь" ----

void TBaseForm::AboutItemClick()
{
    TAboutForm about(this);
    about.exec();
}

void TBaseForm::HelpItemClick()
{
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(this);
    helpWindow_->showContents();
}

}  // namespace tavrelia
