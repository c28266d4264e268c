#include "show/atomic_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tavrelia {

namespace {
QString writeErrorText(const QString& path, const QString& reason)
{
    return QStringLiteral("Ошибка записи файла %1\n%2").arg(QDir::toNativeSeparators(path), reason);
}
}  // namespace

QString writeFileAtomically(const QString& path, QByteArrayView data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return writeErrorText(path, file.errorString());
    // All of it must be on the disk before the rename: commit() does not see a write
    // that fails in its own final flush (a small file on a full disk, a size limit)
    // and would put the cut file in the old one's place.
    if (file.write(data.data(), data.size()) != data.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return writeErrorText(path, reason);
    }
    if (::fsync(file.handle()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        file.cancelWriting();
        return writeErrorText(path, reason);
    }
    if (!file.commit())
        return writeErrorText(path, file.errorString());
    return {};
}

QString readErrorText(const QString& path, const QString& reason)
{
    return QStringLiteral("Ошибка чтения файла %1\n%2").arg(QDir::toNativeSeparators(path), reason);
}

QString readFileStart(const QString& path, qsizetype size, const QString& shortReason,
                      QByteArray* bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return readErrorText(path, file.errorString());
    QByteArray read = file.read(size);
    if (read.size() < size) {
        if (file.error() != QFileDevice::NoError)
            return readErrorText(path, file.errorString());
        return readErrorText(path, QStringLiteral("%1: %2 байт из %3").arg(shortReason).arg(read.size()).arg(size));
    }
    *bytes = std::move(read);
    return {};
}

}  // namespace tavrelia
