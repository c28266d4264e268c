#include "wheel_route.h"

#include <QEvent>
#include <QWheelEvent>
#include <QWidget>

namespace tavrelia {

namespace {
class WheelRoute : public QObject {
public:
    WheelRoute(QWidget* panel, std::function<void(int)> action)
        : QObject(panel), action_(std::move(action))
    {
        panel->installEventFilter(this);
        for (QWidget* child : panel->findChildren<QWidget*>())
            child->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Wheel)
            return QObject::eventFilter(watched, event);
        action_(static_cast<QWheelEvent*>(event)->angleDelta().y());
        return true;
    }

private:
    std::function<void(int)> action_;
};
}  // namespace

void routeWheel(QWidget* panel, std::function<void(int delta)> action)
{
    new WheelRoute(panel, std::move(action));
}

}  // namespace tavrelia
