#pragma once

#include <QMainWindow>
#include <QString>

#include "dialogs.h"
#include "show/show_files.h"

class QAction;
class QCloseEvent;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class QVBoxLayout;

namespace tavrelia {

class ChannelDeskPanel;
class Console;
class HelpWindow;
class KeyPreview;

// The main window. It owns the frame (menus, tool bar, status line, the page
// controls) and the refresh of the window from the show; the panels of each tab
// live in their own classes and hook into the signals below.
class TBaseForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TBaseForm(Console& console, QWidget* parent = nullptr);
    ~TBaseForm() override;

    Console& console() { return console_; }
    // The channel desk: other panels reload its faders and selection boxes.
    ChannelDeskPanel* channelDesk() const { return channelDesk_; }
    // The window's hot keys: every key user connects to its signals.
    KeyPreview* keyPreview() const { return keyPreview_; }

    static constexpr int kWidth = 898;
    static constexpr int kHeight = 651;

    // Menus of MainMenuBase, created on first use and kept in their fixed order.
    enum class MenuId { Shou, Sceny, Ustanovki, Opcii, Pomosh };
    QMenu* menu(MenuId id);
    // Adds an entry to a menu in its fixed order, whatever order the entries are added
    // in. "Опции": 0 hand scan, 1 static pictures, 2 auto-add scenes, 3 sound window.
    void addMenuEntry(MenuId id, int order, QAction* action);

    // Tool bar buttons, kept in their fixed order whatever order they are added in.
    void addToolButton(int order, QToolButton* button);

    // Tab pages of the three page controls, created on first use and kept in their
    // fixed order whatever order the panels ask for them in. Each page has a
    // QVBoxLayout that its panels add to.
    enum class InputTab { Fadera, Grafik, RedaktorLucha, Kopirovanie, Avtomaty, Opcii, DmxCoder, Sinhro };
    enum class UstTab { Plavnost, Urovni, StatKartiny };
    enum class TempTab { Sekvenser, CvetKanala };
    QWidget* inputPage(InputTab tab);
    // Groups side by side on an input tab, in rows numbered from the top and laid below
    // what the tab holds when the row is first asked for. Each column takes an equal
    // share of the row's width; a group asked into a column that holds one already is
    // stacked below it.
    void addToRow(InputTab tab, int row, int column, QWidget* group);
    QWidget* ustPage(UstTab tab);
    QWidget* tempPage(TempTab tab);
    QTabWidget* pageControlInput() const { return pageControlInput_; }
    QTabWidget* pageControlUst() const { return pageControlUst_; }
    QTabWidget* pageControlTemp() const { return pageControlTemp_; }
    QVBoxLayout* rightColumn() const { return rightColumn_; }

    // The window caption is always the link-state prefix and the show's file name.
    void setCaptionPrefix(const QString& prefix);
    QString captionPrefix() const { return captionPrefix_; }
    void setCaptionName(const QString& name);

    // Short status confirmation; cleared by the next TimerStatus tick.
    void OutStatus(const QString& text);
    QLabel* statusPanel0() const { return statusPanel0_; }
    void TimerStatusTimer();

    void ReturnPageControlAll();
    void ReturnDataSystem();

    // The window's wheel handler: acts on the visible input tab wherever the pointer
    // is in the window, and leaves the event to the control under the pointer too.
    void FormMouseWheel(int delta);

    // Start-up and close sequences. main() runs FormCreate once the window exists,
    // with the show the command line names, if any; closing the window runs FormClose
    // once.
    void FormCreate(const QString& show = {});
    void FormClose();
    // A logout, a kill: nobody answers any more. The close sequence runs with the show
    // into the autosave file instead of the Save As dialog, messages to the standard
    // error. The session's end (which may yet be cancelled) only writes the files.
    void endWithoutAsking();
    void saveWithoutAsking();
    void ReadIniFile();
    void WriteIniFile();

    // Menu "Шоу" and its tool buttons.
    enum class SaveOutcome { Saved, Cancelled, Failed };
    void NewItemClick();
    void OpenItemClick();
    void SaveItemClick();
    void SaveAsItemClick();
    void ExitItemClick();
    // Loads the show the open dialog names; false when a read error stopped it.
    bool BlocOpenFile();
    // What a load did, shown: the caption, or the message of a missing or unreadable
    // file (at once, or after the running handler and one at a time); then the
    // load's own refresh steps. False on a read error.
    enum class Message { Now, Later };
    bool reportLoad(const ShowFiles::Result& result, Message when);
    SaveOutcome SaveFile();
    SaveOutcome SaveFileAs();
    // A new show: the core's data, the name, the start tabs; then showCleared().
    void ClearAll();
    void TimerAvtoSaveTimer();

    // Menu "Помощь".
    void AboutItemClick();
    void HelpItemClick();

    static const QString& noFileName();   // " Нет имени файла "
    // The show open or save dialog starting with fileName.
    FileDialogRequest showDialog(const QString& title, const QString& fileName) const;

signals:
    // Steps of the start-up sequence that other parts of the window perform.
    void startUpInterface();   // step 1: open the USB interface, show what it found
    void startUpOutput();      // step 6: start the output tick
    void startUpTables();      // step 11: colour file, recoding page
    // Steps of the close sequence, before the show is offered for saving.
    void closeWindows();       // steps 1-2: save the colour file, close the 3D window
    void closeOutput();        // step 3: stop the output tick
    void closeInterface();     // step 4: close the USB interface

    // Steps of ReturnDataSystem after the caption, in connection order.
    void dataSystemRefresh();
    // The visible input tab's refresh in ReturnPageControlAll.
    void inputTabRefresh(QWidget* visibleTab);
    // The window colour step of ReturnPageControlAll.
    void colorRefresh();
    // The window's part of a new show (after the core's clear) and of a load, which
    // runs after an open of a missing file too. showReplaced() comes first when a
    // file really replaced the show in memory.
    void showCleared();
    void showReplaced();
    void showLoaded();
    // Save As has run (written or cancelled): its colour step.
    void savedAs();
    // The open menu's step after its load (not the start-up load).
    void showOpened();
    // FormMouseWheel: the visible input tab's wheel action.
    void mouseWheel(QWidget* visibleTab, int delta);

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildFrame();
    void buildMenus();
    void buildToolButtons();
    void buildStatusBar();
    void buildPanels();
    void centreOnScreen();
    void fillDiskLabels();
    void selectStartTabs();
    SaveOutcome reportSave(const QString& error);
    // The show in memory may go: unchanged, saved, or the user said No.
    bool changesSettled();
    // After a run that ended unsaved, its autosave offered against the last file;
    // true when it was opened.
    bool offerAutosave();
    void autosaveQuietly();
    void showLoadMessage(bool error, const QString& text, Message when);
    QWidget* page(QTabWidget* tabs, int order, const char* objectName, const char* title);

    Console& console_;
    ChannelDeskPanel* channelDesk_ = nullptr;
    KeyPreview* keyPreview_ = nullptr;
    QTabWidget* pageControlInput_ = nullptr;
    QTabWidget* pageControlUst_ = nullptr;
    QTabWidget* pageControlTemp_ = nullptr;
    QGroupBox* groupScenes_ = nullptr;
    QGroupBox* groupUst_ = nullptr;
    QVBoxLayout* rightColumn_ = nullptr;
    QToolBar* toolBar_ = nullptr;
    QLabel* statusPanel0_ = nullptr;
    QTimer* timerStatus_ = nullptr;
    QTimer* timerAvtoSave_ = nullptr;
    QLabel* labelDiskFree_ = nullptr;
    QLabel* labelDiskSize_ = nullptr;
    HelpWindow* helpWindow_ = nullptr;
    bool closed_ = false;
    bool offeringAutosave_ = false;
    quint64 lastWheelTimestamp_ = 0;
    bool autosaveErrorOpen_ = false;
    bool loadMessagePending_ = false;
    QString captionPrefix_ = QStringLiteral(" Initalization ");
    QString captionName_;
};

}  // namespace tavrelia
