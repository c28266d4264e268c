#include "desk_heading.h"

#include <QPainter>
#include <QRegularExpression>

namespace tavrelia {

namespace {
constexpr int kTitleGap = 6;
}

DeskHeading::DeskHeading(const QString& text, QWidget* parent) : QLabel(text, parent) {}

QStringList DeskHeading::titles() const
{
    static const QRegularExpression kSeparator(QStringLiteral(" {3,}"));
    return text().trimmed().split(kSeparator);
}

QSize DeskHeading::sizeHint() const
{
    // The columns below decide the width, not the blanks of the text.
    return {0, fontMetrics().height()};
}

QSize DeskHeading::minimumSizeHint() const
{
    return sizeHint();
}

void DeskHeading::paintEvent(QPaintEvent* event)
{
    const QStringList parts = titles();
    if (parts.size() != columns_.size()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics = fontMetrics();
    int freeFrom = 0;
    for (int k = 0; k < parts.size(); ++k) {
        const QWidget* column = columns_[k];
        const int centre = column->mapTo(window(), column->rect().center()).x() -
                           mapTo(window(), QPoint(0, 0)).x();
        const int width = metrics.horizontalAdvance(parts[k]);
        const int left = std::min(std::max(centre - width / 2, freeFrom), this->width() - width);
        painter.drawText(QRect(left, 0, width, height()), Qt::AlignLeft | Qt::AlignVCenter, parts[k]);
        freeFrom = left + width + kTitleGap;
    }
}

}  // namespace tavrelia
