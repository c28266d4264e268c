#pragma once

#include <QColor>
#include <QWidget>

namespace tavrelia {

// A block of one colour: framed for a strip's group colour, plain for the beat lamp,
// rounded for the automats' channels, round for their timer lamps and the hand scan marker.
class ColorSwatch : public QWidget {
    Q_OBJECT
public:
    enum class Frame { Outlined, Plain, Rounded, Round };
    explicit ColorSwatch(QWidget* parent = nullptr, Frame frame = Frame::Outlined);

    QColor brushColor() const { return brush_; }
    void setBrushColor(const QColor& color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor brush_ = Qt::white;
    Frame frame_;
};

}  // namespace tavrelia
