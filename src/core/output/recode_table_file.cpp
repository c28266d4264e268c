#include "output/recode_table_file.h"

#include "show/atomic_file.h"

namespace tavrelia {

bool RecodeTableFile::load(DmxOutput::Recoding& table, ConsoleLock& lock, const QString& path,
                           QString* error)
{
    // Read everything first: a short or unreadable file leaves the table alone.
    QByteArray bytes;
    *error = readFileStart(path, kFileSize, QStringLiteral("Файл короче таблицы"), &bytes);
    if (!error->isEmpty())
        return false;
    auto g = lock.hold();
    for (int i = 0; i < kEntries; ++i) {
        const auto low = static_cast<uint8_t>(bytes[2 * i]);
        const auto high = static_cast<uint8_t>(bytes[2 * i + 1]);
        table[i] = static_cast<uint16_t>(low | high << 8);
    }
    return true;
}

bool RecodeTableFile::save(const DmxOutput::Recoding& table, const QString& path, QString* error)
{
    QByteArray bytes(kFileSize, '\0');
    for (int i = 0; i < kEntries; ++i) {
        bytes[2 * i] = static_cast<char>(table[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(table[i] >> 8);
    }
    *error = writeFileAtomically(path, bytes);
    return error->isEmpty();
}

}  // namespace tavrelia
