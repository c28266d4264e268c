#include <gtest/gtest.h>

#include <QFile>

#include "config_home.h"
#include "settings/settings_store.h"
#include "surfaces/osc_settings.h"

using namespace tavrelia;

namespace {

using OscSettingsTest = test::ConfigHome;

TEST_F(OscSettingsTest, ReadsTheGroupAndReportsBadValuesKeepingTheRest)
{
    struct Case {
        const char* file;
        OscSettings expected;
        const char* problem;   // a key named in the problems, or none
    } cases[] = {
        {"", OscSettings{}, nullptr},
        {"[OSC]\nEnabled=true\nPort=9000\nAddress=127.0.0.1\nFeedbackHost=192.168.1.7\nFeedbackPort=9001\n",
         {true, 9000, "127.0.0.1", "192.168.1.7", 9001}, nullptr},
        {"[OSC]\nEnabled=TRUE\nAddress=::1\n", {true, 8000, "::1", "", 0}, nullptr},
        {"[OSC]\nEnabled=maybe\nPort=9000\n", {false, 9000, "", "", 0}, "[OSC] Enabled=maybe: not a switch"},
        {"[OSC]\nEnabled=true\nPort=0\n", {true, 8000, "", "", 0}, "[OSC] Port=0: not a port (1..65535)"},
        {"[OSC]\nEnabled=on\nPort=70000\n", {true, 8000, "", "", 0}, "[OSC] Port=70000"},
        {"[OSC]\nEnabled=1\nPort=80a\n", {true, 8000, "", "", 0}, "[OSC] Port=80a"},
        // Names would wait for a name server: only numbers are taken.
        {"[OSC]\nEnabled=true\nAddress=localhost\n", {true, 8000, "", "", 0}, "[OSC] Address=localhost: not an IP address in digits"},
        {"[OSC]\nFeedbackHost=tablet.local\nFeedbackPort=9000\n", {false, 8000, "", "", 9000}, "[OSC] FeedbackHost=tablet.local"},
        {"[OSC]\nFeedbackHost=10.0.0.2\nFeedbackPort=-1\n", {false, 8000, "", "10.0.0.2", 0}, "[OSC] FeedbackPort=-1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        writeConf(c.file);
        QStringList problems;
        const OscSettings settings = SettingsStore().read<OscSettings>(&problems);
        EXPECT_EQ(settings, c.expected);
        const QString said = problems.join('\n');
        if (c.problem)
            EXPECT_TRUE(problems.size() == 1 && said.startsWith(QLatin1String(c.problem))) << said.toStdString();
        else
            EXPECT_TRUE(problems.isEmpty()) << said.toStdString();
    }
}

TEST_F(OscSettingsTest, SavedSettingsReadBackBesideTheInterfaceGroup)
{
    writeConf("[Interface]\nBackend=serial\n");
    SettingsStore store;
    const OscSettings written{true, 9100, "127.0.0.1", "127.0.0.1", 9101};
    ASSERT_TRUE(written.save(store));
    EXPECT_EQ(store.read<OscSettings>(), written);
    const OscSettings none{false, 8000, "", "", 0};
    ASSERT_TRUE(none.save(store));
    EXPECT_EQ(store.read<OscSettings>(), none);
    QFile file(dir.filePath("Tavrelia/Tavrelia.conf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("Backend=serial"));
}

}  // namespace
