#include "strip_bar.h"

#include <QPainter>
#include <QStyleOptionSlider>

namespace tavrelia {

StripBar::StripBar(QWidget* parent) : QScrollBar(Qt::Horizontal, parent) {}

void StripBar::paintEvent(QPaintEvent* event)
{
    QScrollBar::paintEvent(event);
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect fill = style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                               QStyle::SC_ScrollBarSubPage, this);
    const QRect handle = style()->subControlRect(QStyle::CC_ScrollBar, &option,
                                                 QStyle::SC_ScrollBarSlider, this);
    QPainter painter(this);
    const QColor accent = isEnabled() ? QColor(60, 105, 165) : palette().color(QPalette::Mid);
    QColor tint = accent;
    tint.setAlpha(70);
    painter.fillRect(fill.adjusted(0, 2, 0, -2), tint);
    painter.fillRect(handle.adjusted(1, 2, -1, -2), accent);
}

}  // namespace tavrelia
