#include "channel_clear_menu.h"

#include <QAction>
#include <QMenu>

#include "base_form.h"
#include "console.h"
#include "dialogs.h"

namespace tavrelia {

namespace {
using Handler = void (ChannelClearMenu::*)();

struct Entry {
    const char* objectName;
    const char* text;
    const char* shortcut;
    Handler handler;
};
constexpr Entry kEntries[] = {
    {"ClearNameChannelItem", "Очистить имена каналов", "Ctrl+I", &ChannelClearMenu::ClearNameChannelItemClick},
    {"itemColor", "Очистить цвета имен каналов", "", &ChannelClearMenu::itemColorClick},
    {"itemGrafHint", "Очистить графическую подсказку каналов", "", &ChannelClearMenu::itemGrafHintClick},
    {"itemColSplit", "Очистить цвет условного разделения каналов", "", &ChannelClearMenu::itemColSplitClick},
};
}  // namespace

ChannelClearMenu::ChannelClearMenu(TBaseForm& form) : QObject(&form), form_(form)
{
    QMenu* menu = form.menu(TBaseForm::MenuId::Ustanovki);
    for (const Entry& entry : kEntries) {
        QAction* action = menu->addAction(QString::fromUtf8(entry.text));
        action->setObjectName(QString::fromLatin1(entry.objectName));
        action->setShortcut(QKeySequence(QString::fromLatin1(entry.shortcut)));
        connect(action, &QAction::triggered, this, [this, handler = entry.handler] { (this->*handler)(); });
    }
}

bool ChannelClearMenu::ask(const char* question)
{
    return Dialogs::current().question(&form_, QString::fromUtf8(question));
}

void ChannelClearMenu::ClearNameChannelItemClick()
{
    if (ask("Очистить имена каналов?"))
        form_.console().names.clearAll();
}

void ChannelClearMenu::itemColorClick()
{
    if (!ask("Очистить цвета имен каналов?"))
        return;
    form_.console().colors.clearNameColors();
    form_.ReturnPageControlAll();
}

void ChannelClearMenu::itemGrafHintClick()
{
    if (!ask("Очистить графическую подсказку каналов?"))
        return;
    form_.console().colors.clearPictures();
    form_.ReturnPageControlAll();
}

void ChannelClearMenu::itemColSplitClick()
{
    if (!ask("Очистить цветовые границы каналов?"))
        return;
    Console& console = form_.console();
    // The window colour, as its bars show it: the swatches vanish into the window.
    console.colors.clearGroupColors(console.windowColor.color());
    form_.ReturnPageControlAll();
}

}  // namespace tavrelia
