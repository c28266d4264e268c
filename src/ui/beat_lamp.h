#pragma once

#include <QColor>
#include <QWidget>

namespace tavrelia {

// A small square of one colour without an outline: the sequencer's beat lamp.
class BeatLampShape : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE setBrushColor)
public:
    explicit BeatLampShape(QWidget* parent = nullptr);

    QColor brushColor() const { return brush_; }
    void setBrushColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_ = Qt::white;
};

}  // namespace tavrelia
