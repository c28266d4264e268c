#pragma once

#include <QWidget>

class QButtonGroup;
class QCloseEvent;
class QGroupBox;
class QHBoxLayout;
class QIcon;
class QLabel;
class QScrollBar;
class QToolButton;

namespace tavrelia {

class Console;
class StaticPictureEditor;
class TBaseForm;

// The static-picture editor: a small window beside the main window that reads the
// sixteen pictures into the working picture (scene 0 and the desk's selection) and
// writes it back into them. It does not block the main window: the desk is where the
// working picture is edited.
class TStaticForm : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 250;
    static constexpr int kHeight = 192;

    explicit TStaticForm(TBaseForm& form);

    // Opens the editor over the show; ignored while it is open.
    void ChaserItemClick();
    void ReadChaser(int picture);
    void SaveChaser(int picture);
    void ScrollBar1Change(int position);
    void SpeedButtonDel1Click();
    void SpeedButtonDelAllClick();
    void SpeedButtonUndoStClick();
    // The show in memory was replaced while the editor was open: it closes without
    // putting the old show's scene 0, rates and selection into the new one.
    void abandon();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QButtonGroup* buildPictureGroup(const QString& title, const QString& hint, const char* prefix,
                                    void (TStaticForm::*handler)(int));
    QGroupBox* buildSceneChoice();
    QGroupBox* buildEraseGroup();
    QToolButton* addEraseButton(QHBoxLayout* row, const char* name, const QString& hint,
                                const QIcon& icon);
    // Pressing the group's hidden button releases its visible ones.
    static void release(QButtonGroup* group);
    void releaseBoth();
    // CheckBoxFromMemory, the window refresh and the desk faders.
    void refreshMainWindow();
    void afterErase();

    TBaseForm& form_;
    Console& console_;
    StaticPictureEditor& editor_;
    QButtonGroup* readGroup_ = nullptr;
    QButtonGroup* saveGroup_ = nullptr;
    QScrollBar* sceneBar_ = nullptr;
    QLabel* label1_ = nullptr;
    QToolButton* undoButton_ = nullptr;
};

}  // namespace tavrelia
