#pragma once

// Records which widgets of a window paint, and what part of them, while a test
// drives it: a drag must repaint only what it changed.

#include <QApplication>
#include <QPaintEvent>
#include <QRegion>
#include <QSet>
#include <QWidget>

namespace tavrelia::test {

class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }

    void clear()
    {
        painted_.clear();
        regions_.clear();
    }
    bool painted(const QString& name) const { return painted_.contains(name); }
    QRegion region(const QString& name) const { return regions_.value(name); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == window_) {
            painted_.insert(watched->objectName());
            regions_[watched->objectName()] += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
    }

private:
    QWidget* window_;
    QSet<QString> painted_;
    QHash<QString, QRegion> regions_;
};

}  // namespace tavrelia::test
