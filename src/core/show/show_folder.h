#pragma once

#include <QString>

namespace tavrelia {

// The folder that holds the program's own files: $XDG_DATA_HOME/Tavrelia
// (~/.local/share/Tavrelia by default). Show files chosen by the user may live
// anywhere; a show name without a directory means this folder.
class ShowFolder {
public:
    ShowFolder();                              // from the environment
    explicit ShowFolder(const QString& path);

    const QString& path() const { return path_; }
    // Creates the folder when missing; false with the reason in error.
    bool create(QString* error = nullptr) const;

    QString settingsFile() const;   // Tavy.ini
    QString autosaveFile() const;   // ShouTemp.tvl
    QString colorFile() const;      // tavrEdit.col
    // An absolute name as it is; a relative one inside the folder.
    QString resolve(const QString& fileName) const;

private:
    QString path_;
};

}  // namespace tavrelia
