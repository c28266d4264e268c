#include "show/show_folder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tavrelia {

ShowFolder::ShowFolder()
    : ShowFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                 + QStringLiteral("/Tavrelia"))
{
}

ShowFolder::ShowFolder(const QString& path) : path_(QDir::cleanPath(path)) {}

bool ShowFolder::create(QString* error) const
{
    if (QDir().mkpath(path_) && QFileInfo(path_).isDir())
        return true;
    if (error)
        *error = QStringLiteral("Не удалось создать папку %1").arg(QDir::toNativeSeparators(path_));
    return false;
}

QString ShowFolder::settingsFile() const
{
    return resolve(QStringLiteral("Tavy.ini"));
}

QString ShowFolder::autosaveFile() const
{
    return resolve(QStringLiteral("ShouTemp.tvl"));
}

QString ShowFolder::colorFile() const
{
    return resolve(QStringLiteral("tavrEdit.col"));
}

QString ShowFolder::resolve(const QString& fileName) const
{
    if (QDir::isAbsolutePath(fileName))
        return fileName;
    return QDir(path_).filePath(fileName);
}

}  // namespace tavrelia
