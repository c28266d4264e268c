#pragma once

#include <QString>

#include <vector>

namespace tavrelia {

// A QR code of a short text (the remote's address), as its square of modules, for a
// phone's camera. Made with libqrencode at error correction level M.
class QrCode {
public:
    // An empty code (size 0) when the text cannot be encoded.
    static QrCode encode(const QString& text);

    int size() const { return size_; }   // modules on a side, without the quiet zone
    bool dark(int x, int y) const { return modules_[static_cast<size_t>(y * size_ + x)]; }

private:
    int size_ = 0;
    std::vector<bool> modules_;
};

}  // namespace tavrelia
