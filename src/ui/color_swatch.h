#pragma once

#include <QColor>
#include <QWidget>

namespace tavrelia {

// A framed block of one colour (a strip's group colour).
class ColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit ColorSwatch(QWidget* parent = nullptr);

    QColor brushColor() const { return brush_; }
    void setBrushColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_ = Qt::white;
};

}  // namespace tavrelia
