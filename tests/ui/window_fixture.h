#pragma once

// A fresh console and main window with a new show, for the scene and sequencer
// widget tests.

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <memory>

#include "base_form.h"
#include "console.h"

namespace tavrelia::test {

struct Window {
    Window()
    {
        console.clearShowData();
        form.ReturnPageControlAll();
    }
    template <typename T = QWidget>
    T* find(const char* name)
    {
        auto* found = form.findChild<T*>(QString::fromLatin1(name));
        if (!found)
            qFatal("no %s", name);
        return found;
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

// Points HOME and the XDG folders at a temporary folder before anything runs.
inline void isolate(const QTemporaryDir& home)
{
    for (const char* dir : {"data", "config", "runtime"})
        QDir(home.path()).mkpath(QString::fromLatin1(dir));
    QFile::setPermissions(home.path() + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + QStringLiteral("/runtime")).toUtf8());
}

}  // namespace tavrelia::test

#define WINDOW_TEST_MAIN(TestClass)                    \
    int main(int argc, char* argv[])                   \
    {                                                  \
        QTemporaryDir home;                            \
        tavrelia::test::isolate(home);                 \
        QApplication app(argc, argv);                  \
        TestClass test;                                \
        return QTest::qExec(&test, argc, argv);        \
    }
