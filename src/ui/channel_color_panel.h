#pragma once

#include <array>

#include <QWidget>

class QLabel;
class QScrollBar;

namespace tavrelia {

class ColorSwatch;
class Console;
class TBaseForm;

// The tab "Цвет канала": the name colour of a channel chosen by a double click on
// its name field, and the type picture and group colour of any channel. Also loads
// the colour file at start-up and saves it first at close.
class ChannelColorPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChannelColorPanel(TBaseForm& form);

    // The channel whose name colour the bars edit (a double click on its name field
    // chose it), its colour on the bars; none: ChannelColors::kNoChannel.
    void UpdateScrollRGBtxt(int channel);
    // A name colour bar: 0 red (ScrollBar31), 1 green, 2 blue.
    void nameColorBarChange(int component);
    void SpeedButton21Click();
    void ScrollBar35Change();
    void ScrollBar36Change();
    void SpeedButton22Click();

    void LoadColorEdit();
    void SaveColorEdit();

private:
    QScrollBar* bar(const char* name, int min, int max, int value, const char* hint);
    void showPictureLabel();

    TBaseForm& form_;
    Console& console_;
    std::array<QScrollBar*, 3> nameBars_{};
    ColorSwatch* shapeCltrey_ = nullptr;
    QLabel* labelEditColor_ = nullptr;
    QScrollBar* channelBar_ = nullptr;
    QScrollBar* pictureBar_ = nullptr;
};

}  // namespace tavrelia
