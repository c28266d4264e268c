#include "style_icon.h"

#include <QApplication>
#include <QHash>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>

namespace tavrelia {

namespace {

class StyleIconEngine : public QIconEngine {
public:
    explicit StyleIconEngine(QStyle::StandardPixmap which) : which_(which) {}

    QIconEngine* clone() const override { return new StyleIconEngine(*this); }
    QString key() const override { return QStringLiteral("tavrelia.style"); }

    // `size` is in device pixels: QIcon asks for the size times the device's ratio and
    // sets the ratio on what comes back.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        const Key key{size.width(), size.height(), mode, state};
        auto found = pixmaps_.constFind(key);
        if (found != pixmaps_.constEnd())
            return *found;
        // The whole icon lives only for this call: only the size asked for is kept.
        const QIcon full = QApplication::style()->standardIcon(which_);
        return *pixmaps_.insert(key, full.pixmap(size, 1.0, mode, state));
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const qreal ratio = painter->device()->devicePixelRatio();
        QPixmap shown = pixmap(rect.size() * ratio, mode, state);
        shown.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect.topLeft(), shown);
    }

private:
    struct Key {
        int width;
        int height;
        QIcon::Mode mode;
        QIcon::State state;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& k, size_t seed = 0)
    {
        return qHashMulti(seed, k.width, k.height, int(k.mode), int(k.state));
    }

    QStyle::StandardPixmap which_;
    QHash<Key, QPixmap> pixmaps_;
};

}  // namespace

QIcon styleIcon(QStyle::StandardPixmap which)
{
    return QIcon(new StyleIconEngine(which));
}

}  // namespace tavrelia
