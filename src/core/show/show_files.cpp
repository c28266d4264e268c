#include "show/show_files.h"

#include <QFileInfo>

#include "show/atomic_file.h"

namespace tavrelia {

namespace {
using Status = ShowFiles::Result::Status;

ShowFiles::Result failed(QString error)
{
    return {Status::Failed, std::move(error)};
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
    if (result.done())
        saveFileName = openFileName;
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
}

}  // namespace tavrelia
