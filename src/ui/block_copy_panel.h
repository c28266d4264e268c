#pragma once

#include <QWidget>

#include "editing/scene_list.h"

class QGridLayout;
class QGroupBox;
class QSpinBox;
class QToolButton;

namespace tavrelia {

class TBaseForm;

// The four block copies of channel levels on the tab "Копирование".
class BlockCopyPanel : public QWidget {
    Q_OBJECT
public:
    explicit BlockCopyPanel(TBaseForm& form);

    void SpeedButtonLevelBlocCopyClick();
    void SpeedButtonLevelJobScensClick();
    void SpeedButtonScenAllCopyClick();
    void SpeedButtonScenaBlocCopyClick();

private:
    struct ChannelInputs {
        QSpinBox* first = nullptr;
        QSpinBox* last = nullptr;
        QSpinBox* to = nullptr;
        SceneList::Channels value() const;
    };
    QGroupBox* group(const char* title);
    ChannelInputs channelRow(QGridLayout* grid, int row, const char* first, const char* last,
                             const char* to);
    QSpinBox* spin(const char* name, int min, int max, int value);
    QToolButton* copyButton(const char* name, const QString& hint);
    void report(SceneList::CopyResult result);

    TBaseForm& form_;
    SceneList& list_;
    ChannelInputs currentScene_;
    ChannelInputs allScenes_;
    ChannelInputs rangeChannels_;
    QSpinBox* rangeFirst_ = nullptr;
    QSpinBox* rangeLast_ = nullptr;
    QSpinBox* rangeOffset_ = nullptr;
};

}  // namespace tavrelia
