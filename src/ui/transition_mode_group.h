#pragma once

#include <QGroupBox>

#include "output/output_controls.h"

class QButtonGroup;

namespace tavrelia {

class TBaseForm;

// RadioGroupRate on the tab "Плавность": how the output moves to a new scene.
class TransitionModeGroup : public QGroupBox {
    Q_OBJECT
public:
    explicit TransitionModeGroup(TBaseForm& form);

private:
    OutputControls controls_;
    QButtonGroup* items_ = nullptr;
};

}  // namespace tavrelia
