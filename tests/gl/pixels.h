#pragma once

// What the GL tests look for in a picture of the stage, and where they keep the
// pictures when TAVRELIA_SHOT_DIR names a folder.

#include <QByteArray>
#include <QImage>

#include <algorithm>

namespace tavrelia::test {

// The stage and the device bodies are grey: light is what has a colour.
inline bool coloured(QRgb c)
{
    const int high = std::max({qRed(c), qGreen(c), qBlue(c)});
    const int low = std::min({qRed(c), qGreen(c), qBlue(c)});
    return high - low > 30;
}

inline bool reddish(QRgb c)
{
    return qRed(c) > qGreen(c) + 50 && qRed(c) > qBlue(c) + 50;
}

inline int countPixels(const QImage& image, bool (*wanted)(QRgb) = coloured)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            n += wanted(image.pixel(x, y));
    }
    return n;
}

inline void saveShot(const QImage& image, const QString& name)
{
    const QByteArray dir = qgetenv("TAVRELIA_SHOT_DIR");
    if (!dir.isEmpty())
        image.save(QString::fromLocal8Bit(dir) + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace tavrelia::test
