#pragma once

#include <QWidget>

#include "qr_code.h"

namespace tavrelia {

// A QR code drawn black on white with its quiet zone, each module a whole number of
// pixels so that a camera reads it from the screen.
class QrCodeView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kQuietModules = 4;

    explicit QrCodeView(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const { return text_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    QrCode code_;
};

}  // namespace tavrelia
