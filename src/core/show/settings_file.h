#pragma once

#include <array>

#include <QByteArray>
#include <QString>

namespace tavrelia {

// Tavy.ini: the conveyor's twenty show files and the last show file.
//   [Konveir] File01..File20    [LastFile] Path
// A missing file or key reads as empty. Section and key names match in any case,
// as Windows INI readers do. A name is written so that it reads back the same
// (quoted when it starts or ends with a blank or a quote); one with a line break
// cannot be held by the format and is written empty.
struct SettingsFile {
    static constexpr int kConveyorFiles = 20;

    std::array<QString, kConveyorFiles> conveyorFiles;
    QString lastFile;

    // Written as UTF-8; a file that is not valid UTF-8 comes from the Windows program
    // and is read as code page 1251.
    static SettingsFile read(const QString& path);
    static QString decoded(const QByteArray& bytes);
    static SettingsFile parse(const QString& text);
    QString text() const;
    // Replaces the file atomically; on failure returns the error, the old file stays.
    QString write(const QString& path) const;

    static QString conveyorKey(int index);   // 0 -> "File01"
};

}  // namespace tavrelia
