#pragma once

// A widget test's main(): HOME and the XDG folders point into a fresh temporary folder
// before the application (or any settings) exists, so a test never touches the real
// user's shows, Tavy.ini or ~/.config/Tavrelia.
//
//   TAVRELIA_TEST_MAIN(MyTest)

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

namespace tavrelia::test {

// The named child of a window; a missing control ends the test at once.
template <typename T = QWidget>
T* child(const QObject& parent, const QString& name)
{
    auto* found = parent.findChild<T*>(name);
    if (!found)
        qFatal("no %s", qPrintable(name));
    return found;
}

inline QString testHome()
{
    return qEnvironmentVariable("HOME");
}

inline QString showFolderPath()
{
    return qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Tavrelia");
}

// Writes a file into the show folder; returns its path.
inline QString writeInShowFolder(const QString& name, const QByteArray& bytes)
{
    const QString path = QDir(showFolderPath()).filePath(name);
    QDir().mkpath(showFolderPath());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// This machine's settings file, Tavrelia.conf, in the test's own config folder.
inline QString confPath()
{
    return QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath(QStringLiteral("Tavrelia/Tavrelia.conf"));
}

inline void writeConf(const QString& text)
{
    QDir().mkpath(QFileInfo(confPath()).path());
    QFile f(confPath());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write %s", qPrintable(confPath()));
    f.write(text.toUtf8());
}

inline QString readConf()
{
    QFile f(confPath());
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

inline void isolateEnvironment(const QTemporaryDir& home)
{
    const QString root = home.path();
    for (const char* dir : {"data", "config", "runtime"})
        QDir(root).mkpath(QString::fromLatin1(dir));
    QFile::setPermissions(root + QStringLiteral("/runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", root.toUtf8());
    qputenv("XDG_DATA_HOME", (root + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (root + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (root + QStringLiteral("/runtime")).toUtf8());
}

}  // namespace tavrelia::test

#define TAVRELIA_TEST_MAIN(TestClass)                              \
    int main(int argc, char* argv[])                               \
    {                                                              \
        QTemporaryDir home;                                        \
        tavrelia::test::isolateEnvironment(home);                  \
        QApplication app(argc, argv);                              \
        TestClass test;                                            \
        return QTest::qExec(&test, argc, argv);                    \
    }
