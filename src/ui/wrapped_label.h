#pragma once

#include <QLabel>

namespace tavrelia {

// A message shown whole: wrapped at the width it has and asking for the height of
// all its lines, also from a layout that sizes its widgets before it knows their
// widths (a tab's page does).
class WrappedLabel : public QLabel {
    Q_OBJECT
public:
    explicit WrappedLabel(QWidget* parent = nullptr);

    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace tavrelia
