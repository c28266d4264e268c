#include "show/show_files.h"

#include <QFileInfo>

#include <algorithm>

#include "show/atomic_file.h"

namespace tavrelia {

namespace {
using Status = ShowFiles::Result::Status;

ShowFiles::Result failed(QString error)
{
    return {Status::Failed, std::move(error)};
}

// What a show holds for its user: without the identification block and the scene
// shown, and with the names' blanks one way, as the desk rewrites them back and forth.
QByteArray showContent(QByteArray bytes)
{
    if (bytes.size() < ShowImage::kImageSize)
        return bytes;
    bytes[ShowImage::kCurrentScene] = 0;
    char* names = bytes.data() + ShowImage::kNamesBase;
    std::replace(names, names + ShowImage::kNamesClearSize, ' ', '\0');
    return bytes.mid(ShowImage::kIdentSize);
}
}  // namespace

ShowFiles::ShowFiles(Parts parts)
    : image_(parts.image),
      folder_(parts.folder),
      lock_(parts.lock),
      clearShowData_(std::move(parts.clearShowData))
{
}

ShowFiles::Result ShowFiles::BlocOpenFile(const WithLock& withLock)
{
    Result result = readOpenFile();
    {
        auto guard = lock_.hold();
        if (result.done())
            std::copy(loaded_.begin(), loaded_.end(), image_.data());
        if (withLock)
            withLock(guard);
    }
    loaded_.clear();
    if (result.done()) {
        saveFileName = openFileName;
        saved_ = showContent(imageBytes());
        if (onLoaded)
            onLoaded(folder_.resolve(openFileName));
    }
    if (result.status != Status::Failed)
        ShowNamed = true;
    return result;
}

ShowFiles::Result ShowFiles::readOpenFile()
{
    if (openFileName.isEmpty())
        return {Status::Missing, {}};
    // Read everything before the lock: a file that is short or unreadable leaves the
    // show alone, and the output tick waits for a memory copy only.
    return readShowFile(folder_.resolve(openFileName), &loaded_);
}

ShowFiles::Result ShowFiles::readShowFile(const QString& path, QByteArray* bytes)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return {Status::Missing, {}};
    QString error = readFileStart(path, ShowImage::kImageSize, QStringLiteral("Файл короче шоу"), bytes);
    if (!error.isEmpty())
        return failed(std::move(error));
    return {};
}

ShowFiles::Result ShowFiles::SaveFile()
{
    return writeWithHeader(saveFileName);
}

ShowFiles::Result ShowFiles::SaveFileAs(const QString& fileName)
{
    Result result = writeWithHeader(fileName);
    if (result.done()) {
        saveFileName = fileName;
        ShowNamed = true;
        if (onRenamed)
            onRenamed(folder_.resolve(fileName));
    }
    return result;
}

ShowFiles::Result ShowFiles::writeWithHeader(const QString& fileName)
{
    // The file gets the identification block at once, the show in memory only once
    // the file is written: a failed save leaves the show as it was.
    QByteArray bytes = imageBytes();
    const auto& header = ShowImage::identHeader();
    std::copy(header.begin(), header.end(), bytes.begin());
    Result result = write(folder_.resolve(fileName), bytes);
    if (result.done()) {
        auto guard = lock_.hold();
        image_.copyIdentHeader();
        saved_ = showContent(bytes);
    }
    return result;
}

ShowFiles::Result ShowFiles::autosave()
{
    // The folder is ours: put it back if someone removed it.
    QString error;
    if (!folder_.create(&error))
        return failed(error);
    return write(folder_.autosaveFile(), imageBytes());
}

QString ShowFiles::autosaveStatus() const
{
    if (saveFileName.isEmpty())
        return {};
    return QStringLiteral("Автосохранение файла ") + QFileInfo(saveFileName).fileName();
}

QByteArray ShowFiles::imageBytes() const
{
    // The UI thread is the image's only writer, so it reads it without the lock.
    return QByteArray(reinterpret_cast<const char*>(image_.data()), ShowImage::kImageSize);
}

ShowFiles::Result ShowFiles::write(const QString& path, const QByteArray& bytes)
{
    QString error = writeFileAtomically(path, bytes);
    if (!error.isEmpty())
        return failed(std::move(error));
    return {};
}

void ShowFiles::clearAll()
{
    clearShowData_();
    ShowNamed = false;
    saved_ = showContent(imageBytes());
    if (onLoaded)
        onLoaded({});
}

bool ShowFiles::changed() const
{
    return showContent(imageBytes()) != saved_;
}

QDateTime ShowFiles::unsavedAutosave() const
{
    const QFileInfo autosaved(folder_.autosaveFile());
    const QFileInfo last(folder_.resolve(openFileName));
    if (!autosaved.isFile() || (!openFileName.isEmpty() && last.isFile() && last.lastModified() > autosaved.lastModified()))
        return {};
    QByteArray kept;
    QByteArray lastShow;
    if (!readShowFile(autosaved.filePath(), &kept).done())
        return {};
    if (!openFileName.isEmpty() && readShowFile(last.filePath(), &lastShow).done() &&
        showContent(kept) == showContent(lastShow))
        return {};
    // The show in memory (a new one at start-up) is nothing to offer.
    if (showContent(kept) == saved_)
        return {};
    return autosaved.lastModified();
}

ShowFiles::Result ShowFiles::openAutosave()
{
    Result result = readShowFile(folder_.autosaveFile(), &loaded_);
    if (result.done()) {
        auto guard = lock_.hold();
        std::copy(loaded_.begin(), loaded_.end(), image_.data());
    }
    loaded_.clear();
    if (result.done()) {
        saveFileName = openFileName.isEmpty() ? saveFileName : openFileName;
        ShowNamed = false;
        saved_.clear();
    }
    return result;
}

}  // namespace tavrelia
