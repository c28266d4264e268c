#include "output/recode_table_file.h"

#include <QFile>
#include <QSaveFile>

#include "console.h"

namespace tavrelia {

bool RecodeTableFile::load(Console& console, const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    const QByteArray bytes = file.read(kFileSize);
    if (bytes.size() < kFileSize) {
        *error = file.error() != QFileDevice::NoError
                     ? path + QStringLiteral(": ") + file.errorString()
                     : path + QStringLiteral(": файл короче %1 байт").arg(kFileSize);
        return false;
    }
    auto g = console.lock();
    for (int i = 0; i < kEntries; ++i) {
        const auto low = static_cast<uint8_t>(bytes[2 * i]);
        const auto high = static_cast<uint8_t>(bytes[2 * i + 1]);
        console.RecodeTable[i] = static_cast<uint16_t>(low | high << 8);
    }
    return true;
}

bool RecodeTableFile::save(const Console& console, const QString& path, QString* error)
{
    QByteArray bytes(kFileSize, '\0');
    {
        auto g = console.lock();
        for (int i = 0; i < kEntries; ++i) {
            bytes[2 * i] = static_cast<char>(console.RecodeTable[i] & 0xFF);
            bytes[2 * i + 1] = static_cast<char>(console.RecodeTable[i] >> 8);
        }
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != kFileSize || !file.commit()) {
        *error = path + QStringLiteral(": ") + file.errorString();
        return false;
    }
    return true;
}

}  // namespace tavrelia
