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

void DeskHeading::paintEvent(QPaintEvent*)
{
    const QStringList parts = titles();
    const int count = static_cast<int>(std::min(parts.size(), columns_.size()));
    // Each title centred over its column, then pushed apart where neighbours would
    // touch: rightwards first, then back leftwards from the right edge.
    const QFontMetrics metrics = fontMetrics();
    QList<int> left;
    QList<int> width;
    for (int k = 0; k < count; ++k) {
        const QWidget* column = columns_[k];
        const int centre = column->mapTo(window(), column->rect().center()).x() -
                           mapTo(window(), QPoint(0, 0)).x();
        width.append(metrics.horizontalAdvance(parts[k]));
        left.append(std::max(centre - width[k] / 2, k == 0 ? 0 : left[k - 1] + width[k - 1] + kTitleGap));
    }
    int limit = this->width();
    for (int k = count - 1; k >= 0; --k) {
        left[k] = std::min(left[k], limit - width[k]);
        limit = left[k] - kTitleGap;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    for (int k = 0; k < count; ++k)
        painter.drawText(QRect(left[k], 0, width[k], height()), Qt::AlignLeft | Qt::AlignVCenter, parts[k]);
}

}  // namespace tavrelia
