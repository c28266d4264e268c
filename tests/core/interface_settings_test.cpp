#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "output/ftdi_driver.h"
#include "output/interface_settings.h"
#include "output/serial_driver.h"

using namespace tavrelia;

namespace {

class InterfaceSettingsTest : public ::testing::Test {
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
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(text);
    }

    QTemporaryDir dir;
    QByteArray oldConfig;
};

TEST_F(InterfaceSettingsTest, ReadsTheInterfaceGroup)
{
    using B = InterfaceSettings::Backend;
    struct Case {
        const char* file;
        B backend;
        const char* device;
    } cases[] = {
        {nullptr, B::Ftdi, "/dev/ttyUSB0"},
        {"[Interface]\nBackend=serial\nSerialDevice=/dev/ttyACM3\n", B::Serial, "/dev/ttyACM3"},
        {"[Interface]\nBackend=Serial\n", B::Serial, "/dev/ttyUSB0"},
        {"[Interface]\nBackend=usb\nSerialDevice=\n", B::Ftdi, "/dev/ttyUSB0"},
        {"[Other]\nBackend=serial\n", B::Ftdi, "/dev/ttyUSB0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        QFile::remove(dir.filePath("Tavrelia/Tavrelia.conf"));
        if (c.file)
            writeConf(c.file);
        const InterfaceSettings s = InterfaceSettings::load();
        EXPECT_EQ(s.backend, c.backend);
        EXPECT_EQ(s.serialDevice, QString::fromUtf8(c.device));
    }
}

TEST_F(InterfaceSettingsTest, SaveWritesTheFileUnderXdgConfigHome)
{
    EXPECT_EQ(InterfaceSettings::filePath(), dir.filePath("Tavrelia/Tavrelia.conf"));
    InterfaceSettings s;
    s.backend = InterfaceSettings::Backend::Serial;
    s.serialDevice = QStringLiteral("/tmp/dmx link");
    ASSERT_TRUE(s.save());
    EXPECT_EQ(InterfaceSettings::load(), s);
    QFile f(InterfaceSettings::filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[Interface]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Backend=serial")) << text.toStdString();
}

TEST_F(InterfaceSettingsTest, SaveFailureIsReported)
{
    writeConf("");
    QFile::remove(dir.filePath("Tavrelia/Tavrelia.conf"));
    QDir().rmdir(dir.filePath("Tavrelia"));
    QFile blocker(dir.filePath("Tavrelia"));   // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(InterfaceSettings{}.save());
}

TEST_F(InterfaceSettingsTest, DriverFollowsTheBackend)
{
    InterfaceSettings s;
    EXPECT_NE(dynamic_cast<FtdiDriver*>(makeUsbDriver(s).get()), nullptr);
    s.backend = InterfaceSettings::Backend::Serial;
    s.serialDevice = QStringLiteral("/dev/ttyUSB7");
    auto driver = makeUsbDriver(s);
    auto* serial = dynamic_cast<SerialDriver*>(driver.get());
    ASSERT_NE(serial, nullptr);
    EXPECT_EQ(serial->path(), "/dev/ttyUSB7");
}

}  // namespace
