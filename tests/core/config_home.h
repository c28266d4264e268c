#pragma once

// A test with its own XDG_CONFIG_HOME, for the readers of Tavrelia.conf.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace tavrelia::test {

class ConfigHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_CONFIG_HOME", oldConfig); }

    void writeConf(const char* text)
    {
        QDir().mkpath(dir.filePath("Tavrelia"));
        QFile f(dir.filePath("Tavrelia/Tavrelia.conf"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
        f.flush();   // a later flush would stamp the time again
        // QSettings keeps a read file while its size and time stamp stay the same:
        // two cases of one length written within a second must still be read afresh.
        f.setFileTime(QDateTime::currentDateTime().addSecs(++writes_), QFileDevice::FileModificationTime);
    }

    QTemporaryDir dir;
    QByteArray oldConfig;
    int writes_ = 0;
};

}  // namespace tavrelia::test
