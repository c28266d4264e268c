#include "undo_buttons.h"

#include <QBoxLayout>
#include <QToolButton>

#include "base_form.h"
#include "console.h"

namespace tavrelia {

namespace {
QToolButton* undoPairButton(QWidget* parent, const QString& name, const QString& text,
                            const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return button;
}
}  // namespace

void addUndoButtons(TBaseForm& form, QBoxLayout* layout, int number)
{
    QWidget* parent = layout->parentWidget();
    SceneList& list = form.console().sceneList;
    auto* remember = undoPairButton(parent, QStringLiteral("SpeedButtonMem%1").arg(number),
                                    QStringLiteral("Запомнить"),
                                    QStringLiteral("Запомнить Сцену"));
    auto* undo = undoPairButton(parent, QStringLiteral("SpeedButtonUndo%1").arg(number),
                                QStringLiteral("Вернуть"),
                                QStringLiteral("Вернуть прежнюю сцену"));
    undo->setEnabled(list.undoAvailable());
    QObject::connect(remember, &QToolButton::clicked, &list, &SceneList::ToMemoryUndo);
    QObject::connect(undo, &QToolButton::clicked, &form, [&form, &list] {
        if (list.undo())
            form.ReturnPageControlAll();
    });
    QObject::connect(&list, &SceneList::undoAvailableChanged, undo, &QToolButton::setEnabled);
    layout->addWidget(remember);
    layout->addWidget(undo);
}

}  // namespace tavrelia
