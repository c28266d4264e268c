#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>

#include "console_lock.h"
#include "show/atomic_file.h"
#include "show/show_folder.h"
#include "show/show_image.h"

namespace tavrelia {

// The show's files: the names the open and save dialogs hold, whether the show may
// be saved without asking, and the reads and writes of the show image. Dialogs,
// messages and the caption belong to the window; these operations report to it.
class ShowFiles {
public:
    static constexpr const char* kFilter = "Файлы DMX Tavrelia  (*.tvl)|*.tvl";
    static constexpr const char* kDefaultSuffix = "tvl";
    static constexpr const char* kDesignTimeName = "Unit_001";

    using Result = FileResult;
    // Runs under the lock of a load, with the new show in place.
    using WithLock = std::function<void(const ConsoleLock::Guard& held)>;

    // The show and where its files live; clearShowData empties the show in memory
    // for New (the image and what belongs to it elsewhere).
    struct Parts {
        ShowImage& image;
        const ShowFolder& folder;
        ConsoleLock& lock;
        std::function<void()> clearShowData;
    };
    explicit ShowFiles(Parts parts);

    // The open dialog's file name: what a load reads (set from Tavy.ini at start-up).
    QString openFileName;
    // The save dialog's file name: the show's current name.
    QString saveFileName = QString::fromLatin1(kDesignTimeName);
    // The show has a name that Save may write to without asking.
    bool ShowNamed = false;
    // Told the show file's path when a show was loaded from it (empty for New), and
    // when it was saved under another name: what lives beside the show follows.
    std::function<void(const QString& path)> onLoaded;
    std::function<void(const QString& path)> onRenamed;

    // Loads openFileName. Missing (or a folder): the show stays, ShowNamed is set.
    // Failed (unreadable, shorter than a show): nothing changes at all.
    // Done: the first 81,920 bytes replace the image, the save name follows.
    // withLock runs under the same lock as the swap (also when nothing was loaded),
    // so the output tick sees the new show only with what goes with it.
    Result BlocOpenFile(const WithLock& withLock = {});
    // The first 81,920 bytes of the show file at path into bytes, the show untouched:
    // Missing (or a folder), Failed with the reason (unreadable, short) or Done.
    static Result readShowFile(const QString& path, QByteArray* bytes);
    // Save to the current name; the caller runs Save As instead when !ShowNamed.
    Result SaveFile();
    // Save under fileName, chosen in the save dialog. The name and ShowNamed change
    // only when the file was written.
    Result SaveFileAs(const QString& fileName);
    // The image exactly as it is (its header too) into the autosave file.
    Result autosave();
    // "Автосохранение файла <name>", or empty when the show has no save name.
    QString autosaveStatus() const;
    // The data part of a new show; the show has no name to save to.
    void clearAll();

    // The show differs from what was last opened, saved or made new (the scene shown
    // and the names' blanks stored as zero bytes do not count).
    bool changed() const;
    // The autosave file's time when it is newer than the file openFileName names and
    // holds another show: the work of a run that ended without saving. Null otherwise.
    QDateTime unsavedAutosave() const;
    // Loads the autosave; the show keeps the name it had, but Save asks where to.
    Result openAutosave();

private:
    Result readOpenFile();
    Result writeWithHeader(const QString& fileName);
    QByteArray imageBytes() const;
    Result write(const QString& path, const QByteArray& bytes);

    ShowImage& image_;
    const ShowFolder& folder_;
    ConsoleLock& lock_;
    std::function<void()> clearShowData_;
    QByteArray loaded_;
    QByteArray saved_;   // the show as last opened, saved or made new
};

}  // namespace tavrelia
