#include "wrapped_label.h"

#include <QResizeEvent>

namespace tavrelia {

WrappedLabel::WrappedLabel(QWidget* parent) : QLabel(parent)
{
    setWordWrap(true);
}

QSize WrappedLabel::minimumSizeHint() const
{
    // Any width a dozen characters wide will do: the lines follow it.
    return {fontMetrics().averageCharWidth() * 12, std::max(QLabel::minimumSizeHint().height(), heightForWidth(width()))};
}

void WrappedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    // Narrower or wider: more or fewer lines.
    if (event->size().width() != event->oldSize().width())
        updateGeometry();
}

}  // namespace tavrelia
