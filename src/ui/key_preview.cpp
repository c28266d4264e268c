#include "key_preview.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QWidget>

namespace tavrelia {

KeyPreview::KeyPreview(QWidget& window) : QObject(&window), window_(window)
{
    // On the application, so a key is seen whichever control of the window has the focus.
    qApp->installEventFilter(this);
}

// A key travels from the focused control up to the window; only its first stop
// counts, so each key is seen once.
bool KeyPreview::seesKeyOf(QObject* receiver) const
{
    QWidget* focus = window_.focusWidget();
    if (!preview_)
        return receiver == &window_ && (!focus || focus == &window_);
    return receiver == (focus ? focus : &window_);
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!seesKeyOf(watched))
        return false;
    const int code = codeOf(*key);
    // A held key repeats; a toggle must not follow it, nor a held picture flicker.
    if (code != 0 && !key->isAutoRepeat()) {
        if (type == QEvent::KeyPress) {
            keys_.keyDown(code);
            emit keyDown(code, keys_.ctrlHeld());
        } else {
            emit keyUp(code, keys_.ctrlHeld());
            keys_.keyUp(code);
        }
    }
    return spaceKeptFrom(watched, code);
}

// The picture keys are keys, not the characters they type: Shift+3 holds picture 3,
// and 3 released after Shift was pressed releases it. X and Wayland say which key it
// was; elsewhere the symbol is all there is.
int KeyPreview::codeOf(const QKeyEvent& key)
{
    static const bool keyCodesKnown = QGuiApplication::platformName() == QLatin1String("xcb")
                                      || QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    const bool keypad = key.modifiers() & Qt::KeypadModifier;
    if (keyCodesKnown && !keypad) {
        if (const int digit = HotKeys::digitRowKey(key.nativeScanCode()))
            return digit;
    }
    return HotKeys::virtualKey(key.key(), keypad);
}

// Space flashes a picture; it must not also press the button or tick the box that
// happens to have the focus (the blackout box, say). Text fields still get it.
bool KeyPreview::spaceKeptFrom(QObject* receiver, int code) const
{
    return preview_ && code == HotKeys::kSpace && !qobject_cast<QLineEdit*>(receiver);
}

}  // namespace tavrelia
