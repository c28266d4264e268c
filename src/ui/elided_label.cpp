#include "elided_label.h"

#include <QPalette>

namespace tavrelia {

ElidedLabel::ElidedLabel(QWidget* parent) : QLabel(parent)
{
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

ElidedLabel* ElidedLabel::problems(const char* name, QWidget* parent)
{
    auto* label = new ElidedLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, QColor(0xb0, 0, 0));
    label->setPalette(red);
    label->hide();
    return label;
}

void ElidedLabel::setFullText(const QString& text)
{
    fullText_ = text;
    setToolTip(text);
    elide();
}

void ElidedLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    elide();
}

void ElidedLabel::elide()
{
    setText(fontMetrics().elidedText(fullText_, Qt::ElideRight, contentsRect().width()));
}

}  // namespace tavrelia
