#include "qr_code.h"

#include <qrencode.h>

#include <memory>

namespace tavrelia {

QrCode QrCode::encode(const QString& text)
{
    QrCode code;
    const QByteArray bytes = text.toUtf8();
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> made(
        QRcode_encodeString8bit(bytes.constData(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!made)
        return code;
    code.size_ = made->width;
    code.modules_.resize(static_cast<size_t>(made->width) * made->width);
    for (size_t i = 0; i < code.modules_.size(); ++i)
        code.modules_[i] = (made->data[i] & 1) != 0;
    return code;
}

}  // namespace tavrelia
