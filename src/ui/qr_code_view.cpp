#include "qr_code_view.h"

#include <QPainter>

namespace tavrelia {

namespace {
constexpr int kModulePixels = 3;
}  // namespace

QrCodeView::QrCodeView(QWidget* parent) : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void QrCodeView::setText(const QString& text)
{
    text_ = text;
    code_ = QrCode::encode(text);
    updateGeometry();
    update();
}

QSize QrCodeView::sizeHint() const
{
    const int side = (code_.size() + 2 * kQuietModules) * kModulePixels;
    return {side, side};
}

void QrCodeView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    const int modules = code_.size() + 2 * kQuietModules;
    const int pixels = std::max(1, std::min(width(), height()) / modules);
    const int left = (width() - modules * pixels) / 2 + kQuietModules * pixels;
    const int top = (height() - modules * pixels) / 2 + kQuietModules * pixels;
    for (int y = 0; y < code_.size(); ++y) {
        for (int x = 0; x < code_.size(); ++x) {
            if (code_.dark(x, y))
                painter.fillRect(left + x * pixels, top + y * pixels, pixels, pixels, Qt::black);
        }
    }
}

}  // namespace tavrelia
