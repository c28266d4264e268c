#pragma once

#include <QObject>

#include "playback/hot_keys.h"

class QKeyEvent;
class QWidget;

namespace tavrelia {

// The main window's key preview: sees every key pressed or released in the main
// window, whichever of its controls has the focus, before that control does (the
// control still gets the key, except Space outside a text field). Keys of other windows (the picture editor, modal
// boxes) and auto-repeats are not seen. With preview off, only keys that reach the
// window while none of its controls has the focus are seen.
//
// Every key user hooks in with one connect:
//   connect(form.keyPreview(), &KeyPreview::keyDown, this, [](int virtualKey, bool ctrlHeld) {...});
class KeyPreview : public QObject {
    Q_OBJECT
public:
    explicit KeyPreview(QWidget& window);

    void setPreview(bool on) { preview_ = on; }
    bool preview() const { return preview_; }

signals:
    // FormKeyDown: after the Ctrl-held flag was set for Ctrl.
    void keyDown(int virtualKey, bool ctrlHeld);
    // FormKeyUp: before the Ctrl-held flag is cleared for Ctrl, so releasing a picture
    // key while Ctrl is down reports ctrlHeld.
    void keyUp(int virtualKey, bool ctrlHeld);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    static int codeOf(const QKeyEvent& key);
    bool seesKeyOf(QObject* receiver) const;
    bool spaceKeptFrom(QObject* receiver, int code) const;

    QWidget& window_;
    HotKeys keys_;
    bool preview_ = true;
};

}  // namespace tavrelia
