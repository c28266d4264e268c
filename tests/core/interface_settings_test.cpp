#include <gtest/gtest.h>

#include <QFile>

#include "config_home.h"
#include "output/ftdi_driver.h"
#include "output/interface_settings.h"
#include "output/ola_driver.h"
#include "output/serial_driver.h"
#include "settings/settings_store.h"

using namespace tavrelia;

namespace {

using InterfaceSettingsTest = test::ConfigHome;

InterfaceSettings load(QStringList* problems = nullptr)
{
    return SettingsStore().read<InterfaceSettings>(problems);
}

bool save(const InterfaceSettings& settings)
{
    SettingsStore store;
    return settings.save(store);
}

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
        {"[Interface]\nBackend= OLA \n", B::Ola, "/dev/ttyUSB0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file ? c.file : "no file");
        QFile::remove(dir.filePath("Tavrelia/Tavrelia.conf"));
        if (c.file)
            writeConf(c.file);
        const InterfaceSettings s = load();
        EXPECT_EQ(s.backend, c.backend);
        EXPECT_EQ(s.serialDevice, QString::fromUtf8(c.device));
    }
}

// Universe and port of the ola backend: numbers in range or the defaults.
TEST_F(InterfaceSettingsTest, ReadsTheOlaUniverseAndPort)
{
    struct Case {
        const char* keys;
        uint32_t universe;
        uint16_t port;
    } cases[] = {
        {"", 1, 9010},
        {"OlaUniverse=0\nOlaPort=19010\n", 0, 19010},
        {"OlaUniverse=4294967295\nOlaPort=65535\n", 4294967295u, 65535},
        {"OlaUniverse=4294967296\nOlaPort=65536\n", 1, 9010},
        {"OlaUniverse=-2\nOlaPort=0\n", 1, 9010},
        {"OlaUniverse=two\nOlaPort=\n", 1, 9010},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        writeConf((std::string("[Interface]\nBackend=ola\n") + c.keys).c_str());
        const InterfaceSettings s = load();
        EXPECT_EQ(s.olaUniverse, c.universe);
        EXPECT_EQ(s.olaPort, c.port);
    }
}

TEST_F(InterfaceSettingsTest, UnknownBackendIsNamedWhenAskedFor)
{
    QStringList problems;
    writeConf("[Interface]\nBackend=artnet\n");
    EXPECT_EQ(load(&problems).backend, InterfaceSettings::Backend::Ftdi);
    EXPECT_EQ(problems, QStringList{"[Interface] Backend=artnet: not one of ftdi, serial, ola"});
    for (const char* text : {"", "[Interface]\nBackend=ola\n"}) {
        problems.clear();
        writeConf(text);
        load(&problems);
        EXPECT_TRUE(problems.isEmpty()) << text;
    }
}

TEST_F(InterfaceSettingsTest, SaveWritesTheFileUnderXdgConfigHome)
{
    EXPECT_EQ(SettingsStore::filePath(), dir.filePath("Tavrelia/Tavrelia.conf"));
    InterfaceSettings s;
    s.backend = InterfaceSettings::Backend::Serial;
    s.serialDevice = QStringLiteral("/tmp/dmx link");
    ASSERT_TRUE(save(s));
    EXPECT_EQ(load(), s);
    QFile f(SettingsStore::filePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    EXPECT_TRUE(text.contains("[Interface]")) << text.toStdString();
    EXPECT_TRUE(text.contains("Backend=serial")) << text.toStdString();
}

// A file Qt cannot make sense of is still replaced by a good one, and saying so.
TEST_F(InterfaceSettingsTest, SaveOverAMalformedFileSucceeds)
{
    writeConf("[Inter[Interface\x8d\x8d]\nBackend=ola\n");
    InterfaceSettings s;
    s.backend = InterfaceSettings::Backend::Serial;
    ASSERT_TRUE(save(s));
    EXPECT_EQ(load(), s);
}

TEST_F(InterfaceSettingsTest, SaveFailureIsReported)
{
    writeConf("");
    QFile::remove(dir.filePath("Tavrelia/Tavrelia.conf"));
    QDir().rmdir(dir.filePath("Tavrelia"));
    QFile blocker(dir.filePath("Tavrelia"));   // a file where the folder should be
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(save(InterfaceSettings{}));
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
    s.backend = InterfaceSettings::Backend::Ola;
    s.olaUniverse = 3;
    s.olaPort = 19010;
    driver = makeUsbDriver(s);
    auto* ola = dynamic_cast<OlaDriver*>(driver.get());
    ASSERT_NE(ola, nullptr);
    EXPECT_EQ(ola->universe(), 3u);
    EXPECT_EQ(ola->port(), 19010);
}

// A port nothing listens on: no device on the bus, and opening finds nothing.
TEST_F(InterfaceSettingsTest, OlaWithoutADaemonIsAnEmptyBus)
{
    OlaDriver driver(1, 1);
    uint32_t count = 9;
    EXPECT_EQ(driver.deviceCount(count), UsbStatus::Ok);
    EXPECT_EQ(count, 0u);
    UsbHandle handle = 0;
    EXPECT_EQ(driver.open(0, handle), UsbStatus::DeviceNotFound);
    const uint8_t frame[4] = {};
    EXPECT_EQ(driver.writeFrame(1, frame), UsbStatus::InvalidHandle);
}

}  // namespace
