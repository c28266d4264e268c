#pragma once

// A fresh console and main window with a new show, for the scene and sequencer
// widget tests.

#include <QAction>
#include <QLabel>
#include <QScrollBar>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "base_form.h"
#include "console.h"
#include "remote/remote_connection.h"
#include "test_environment.h"

namespace tavrelia::test {

struct Window {
    Window()
    {
        RemoteConnection::add(console);
        console.showFiles.clearAll();   // as New makes it: nothing changed yet
        form.ReturnPageControlAll();
    }
    template <typename T = QWidget>
    T* find(const char* name)
    {
        return child<T>(form, QString::fromLatin1(name));
    }
    QString text(const char* label) { return find<QLabel>(label)->text(); }
    QScrollBar* bar(const char* name) { return find<QScrollBar>(name); }
    QAction* action(const char* name) { return find<QAction>(name); }
    void click(const char* button) { find<QAbstractButton>(button)->click(); }
    // The refresh clamps the current scene to the range shown before, so the
    // range goes first.
    void setScenes(int current, int last)
    {
        console.image[ShowImage::kLastScene] = static_cast<uint8_t>(last);
        form.ReturnPageControlAll();
        console.image[ShowImage::kCurrentScene] = static_cast<uint8_t>(current);
        form.ReturnPageControlAll();
    }
    int current() const { return console.image.currentScene(); }
    // Which pictures the output lays over the frame, 1 for each that is on.
    QString pictures() const
    {
        QString on;
        for (bool picture : console.controls.pictures)
            on += picture ? QChar(u'1') : QChar(u'0');
        return on;
    }
    int last() const { return console.image.lastScene(); }
    // Shortcuts take the window's real route.
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
    {
        if (!form.isVisible()) {
            form.show();
            QVERIFY(QTest::qWaitForWindowActive(&form));
        }
        QTest::keyClick(form.windowHandle(), key, modifiers);
    }

    Console console;
    TBaseForm form{console};
};

}  // namespace tavrelia::test
