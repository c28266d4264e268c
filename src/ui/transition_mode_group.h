#pragma once

#include <QGroupBox>

class QButtonGroup;

namespace tavrelia {

class Controls;
class TBaseForm;

// RadioGroupRate on the tab "Плавность": how the output moves to a new scene.
class TransitionModeGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TransitionModeGroup(TBaseForm& form);

private:
    Controls& live_;
    QButtonGroup* items_ = nullptr;
};

}  // namespace tavrelia
