#pragma once

#include <array>

#include <QWidget>

#include "playback/hot_keys.h"

class QCheckBox;
class QLabel;

namespace tavrelia {

class Controls;
class TBaseForm;
class TStaticForm;

// The tab "Стат. картины": the sixteen picture boxes the output lays over the
// frame, the keyboard switch and the last key's code; the keys that hold, latch and
// release the pictures and drive play, stop and blackout; and the ways into the
// picture editor (menu entry and tool button).
class StaticPicturesPanel : public QWidget {
    Q_OBJECT
public:
    explicit StaticPicturesPanel(TBaseForm& form);

    void FormKeyDown(int virtualKey);
    void FormKeyUp(int virtualKey, bool ctrlHeld);
    void CheckBoxFlashOnClick(bool checked);

private:
    void buildBoxes();
    void buildEditorEntries();

    TBaseForm& form_;
    Controls& live_;
    TStaticForm* editor_ = nullptr;
    std::array<QCheckBox*, HotKeys::kPictures> boxes_{};
    QCheckBox* flashOn_ = nullptr;
    QLabel* labelKeySp_ = nullptr;
};

}  // namespace tavrelia
