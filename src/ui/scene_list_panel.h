#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QScrollBar;
class QPushButton;
class QToolButton;

namespace tavrelia {

class Console;
class SceneList;
class ChannelDeskPanel;
class TBaseForm;

// The scene list's controls: the scene bar with its labels and buttons on the tab
// "Секвенсер", the menu "Сцены", the auto-add switch and the scene tool buttons.
class SceneListPanel : public QWidget {
    Q_OBJECT
public:
    SceneListPanel(TBaseForm& form, ChannelDeskPanel& desk);

    void ScrollBarStepChange(int position);
    void InsertScenaItemClick();
    void DeleteScenaItemClick();
    void ClearScenaItemClick();
    void CopyPredScenaClick();
    void CopyToBufferItemClick();
    void PasteFromBufferItemClick();
    void SpeedButtonNewScenaPasteClick();
    void AvtoDobScenaItemClick();
    // The scene steps of the window refresh.
    void ReturnSceneControls();
    // Another editor chose the current scene and may have grown the show to it:
    // the bar's range follows first, so nothing is clamped to the old range.
    void showChosenScene();

private:
    using Handler = void (SceneListPanel::*)();
    void buildSceneBar();
    void buildSceneButtons();
    void buildMenus();
    void buildToolButtons();
    QAction* addMenuEntry(const char* name, const char* text, const QKeySequence& keys,
                          Handler handler);
    void refreshAfter(bool changed);
    void enablePaste();
    void showMode(bool playing);

    TBaseForm& form_;
    Console& console_;
    SceneList& list_;
    QScrollBar* stepBar_ = nullptr;
    QLabel* labelStep_ = nullptr;
    QLabel* labelCoda_ = nullptr;
    QToolButton* newScene_ = nullptr;
    QToolButton* copyScene_ = nullptr;
    QToolButton* pasteNew_ = nullptr;
    QPushButton* paste_ = nullptr;
    QToolButton* deleteScene_ = nullptr;
    QToolButton* autoPlus_ = nullptr;
    QAction* editItem_ = nullptr;
    QAction* pasteItem_ = nullptr;
    QAction* pasteNewItem_ = nullptr;
    QAction* autoAddItem_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace tavrelia
