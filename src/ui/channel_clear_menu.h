#pragma once

#include <QObject>

namespace tavrelia {

class TBaseForm;

// The menu "Установки": clearing the channel names, their name colours, their type
// pictures and their group colours, each after a question.
class ChannelClearMenu : public QObject {
    Q_OBJECT
public:
    explicit ChannelClearMenu(TBaseForm& form);

    void ClearNameChannelItemClick();
    void itemColorClick();
    void itemGrafHintClick();
    void itemColSplitClick();

private:
    bool ask(const char* question);

    TBaseForm& form_;
};

}  // namespace tavrelia
