#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "show/show_folder.h"

using tavrelia::ShowFolder;

namespace {

class EnvGuard {
public:
    explicit EnvGuard(const char* name) : name_(name), had_(qEnvironmentVariableIsSet(name)),
                                           old_(qgetenv(name)) {}
    ~EnvGuard() { had_ ? qputenv(name_, old_) : qunsetenv(name_); }
private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

}  // namespace

TEST(ShowFolder, FollowsXdgDataHomeOrHome)
{
    QTemporaryDir tmp;
    EnvGuard home("HOME"), data("XDG_DATA_HOME");
    qputenv("HOME", tmp.path().toUtf8());

    qputenv("XDG_DATA_HOME", (tmp.path() + "/data").toUtf8());
    EXPECT_EQ(ShowFolder().path(), tmp.path() + "/data/Tavrelia");

    qunsetenv("XDG_DATA_HOME");
    EXPECT_EQ(ShowFolder().path(), tmp.path() + "/.local/share/Tavrelia");
}

TEST(ShowFolder, NamesItsFilesAndResolvesRelativeNamesInside)
{
    const ShowFolder folder("/srv/shows/");
    EXPECT_EQ(folder.settingsFile(), "/srv/shows/Tavy.ini");
    EXPECT_EQ(folder.autosaveFile(), "/srv/shows/ShouTemp.tvl");
    EXPECT_EQ(folder.colorFile(), "/srv/shows/tavrEdit.col");
    EXPECT_EQ(folder.resolve("Unit_001"), "/srv/shows/Unit_001");
    EXPECT_EQ(folder.resolve("/home/op/a.tvl"), "/home/op/a.tvl");
}

TEST(ShowFolder, CreatesMissingFoldersAndReportsWhatItCannotCreate)
{
    QTemporaryDir tmp;
    const ShowFolder nested(tmp.path() + "/a/b/Tavrelia");
    QString error;
    EXPECT_TRUE(nested.create(&error));
    EXPECT_TRUE(QDir(nested.path()).exists());
    EXPECT_TRUE(nested.create(&error)) << "an existing folder is fine";

    QFile blocker(tmp.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const ShowFolder blocked(tmp.path() + "/file/Tavrelia");
    EXPECT_FALSE(blocked.create(&error));
    EXPECT_TRUE(error.contains(blocked.path())) << error.toStdString();
}
