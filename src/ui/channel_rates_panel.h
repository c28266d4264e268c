#pragma once

#include <QWidget>

class QLabel;
class QScrollBar;

namespace tavrelia {

class Console;
class TBaseForm;

// The rate of all selected channels and the caption of the last rate chosen, on
// the "Плавность" tab.
class ChannelRatesPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChannelRatesPanel(TBaseForm& form);

private:
    void ScrollBarRateLeuelChange(int position);

    Console& console_;
    QScrollBar* rateLevel_ = nullptr;
    QLabel* labelRate_ = nullptr;
};

}  // namespace tavrelia
