// The remote's tests run with an event loop (the server and its clients are Qt
// objects) and with HOME and the XDG folders in a fresh temporary folder, so that
// Tavrelia.conf is the test's own.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv)
{
    QTemporaryDir home;
    for (const char* dir : {"data", "config", "runtime"})
        QDir(home.path()).mkpath(QString::fromLatin1(dir));
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", (home.path() + QStringLiteral("/runtime")).toUtf8());
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrelia"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrelia"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
