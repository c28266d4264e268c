#pragma once

#include <array>

#include <QString>

namespace tavrelia {

// Tavy.ini: the conveyor's twenty show files and the last show file.
//   [Konveir] File01..File20    [LastFile] Path
// A missing file or key reads as empty. Section and key names match in any case,
// as Windows INI readers do.
struct SettingsFile {
    static constexpr int kConveyorFiles = 20;

    std::array<QString, kConveyorFiles> conveyorFiles;
    QString lastFile;

    static SettingsFile read(const QString& path);
    static SettingsFile parse(const QString& text);
    QString text() const;
    // Replaces the file atomically; on failure returns the error, the old file stays.
    QString write(const QString& path) const;

    static QString conveyorKey(int index);   // 0 -> "File01"
};

}  // namespace tavrelia
