#pragma once

#include <array>

#include <QHash>
#include <QPixmap>
#include <QRgb>
#include <QWidget>

#include "editing/channel_desk.h"

class QButtonGroup;
class QCheckBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollBar;
class QTimer;
class QToolButton;
class QVBoxLayout;

namespace tavrelia {

class ColorSwatch;
class Console;
class DeskHeading;
class TBaseForm;

// The channel desk on the first input tab: 27 strips over the channels of the
// current scene, the page bar and the column of desk buttons, plus the manual
// mode switch on the "Уровни" tab.
class ChannelDeskPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr int kStrips = ChannelDesk::kStrips;

    explicit ChannelDeskPanel(TBaseForm& form);

    // The column that other panels add their desk buttons to.
    QVBoxLayout* buttonColumn() const { return buttonColumn_; }

    // Faders from the current scene; with manual mode on, checked strips keep theirs.
    void ReturnScrollBars();
    // Rate bars from the visible channels' rates (a bar that moves rewrites its rate).
    void ReturnRate();
    // Name fields from the store; a field being typed in keeps its text.
    void ReturnName();
    void CheckBoxFromMemory();
    void CheckBoxToMemory();
    void NamberDmx();
    void SetGobo(int strip, int picture);
    // Name fields in their channels' name colours: all 27, or one channel's if shown.
    void UpdateColorEditAll();
    void UstColorEditOne(int channel);
    void ShapeColor(int strip, int red, int green, int blue);
    void FormMouseWheel(int delta);
    void TimerDataDmxToDspTimer();
    // Leaving a name field: all fields into the store.
    void Edit2Exit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Refreshes the output captions, the pictures and the swatches for a while.
    void wakeRefresh();

    void followControls();
    struct Strip {
        QLabel* number = nullptr;
        QScrollBar* level = nullptr;
        QLabel* output = nullptr;
        int outputCaption = -1;   // what `output` shows: the level, plus 256 in percent
        QLabel* image = nullptr;
        int picture = -1;   // what `image` shows
        ColorSwatch* shape = nullptr;
        QRgb colour = 0;    // what `shape` shows; never a colour of the table (all opaque)
        QLineEdit* name = nullptr;
        QScrollBar* rate = nullptr;
        QCheckBox* select = nullptr;
    };

    void buildStrip(int i, QGridLayout* grid);
    void showOutput(Strip& strip, uint8_t level, bool inPercent);
    void buildPageBar(QGridLayout* grid);
    void buildInvertButtons(QGridLayout* grid);
    void buildButtonColumn();
    void buildManualSwitch();
    QToolButton* addButton(QLayout* layout, const char* name, const QString& caption,
                           const QString& hint);

    void ScrolbarVertPosChange(int position);
    void levelButton(bool allChannels, int level, const QString& status);
    void invertGroup(int first);
    void Edit1Click();
    void refreshOutputCaptions();
    void paintNameField(int strip);
    ChannelDesk::Strips<QString> nameFields() const;
    bool nameBeingTyped() const;
    QPixmap goboPixmap(int picture);

    TBaseForm& form_;
    Console& console_;
    QWidget* page_ = nullptr;
    std::array<Strip, kStrips> strips_{};
    DeskHeading* heading_ = nullptr;
    QScrollBar* pageBar_ = nullptr;
    QVBoxLayout* buttonColumn_ = nullptr;
    QToolButton* percentButton_ = nullptr;
    QToolButton* fastRefreshButton_ = nullptr;
    QTimer* timerDataDmxToDsp_ = nullptr;
    int refreshesLeft_ = 0;
    // Type pictures by index, each drawn the first time a strip shows it.
    QHash<int, QPixmap> imageListGobo_;
};

}  // namespace tavrelia
