#pragma once

#include <QByteArrayView>
#include <QString>

namespace tavrelia {

// How a load or save of one of the program's files went.
struct FileResult {
    enum class Status { Done, Missing, Failed };
    Status status = Status::Done;
    QString error;   // Failed: file name and the system's reason
    bool done() const { return status == Status::Done; }
};

// Replaces path with data as a whole: written to a temporary file beside it and
// renamed over it, so a failed write leaves the old file as it was.
// Returns an empty string on success, else the file name and the system's reason.
QString writeFileAtomically(const QString& path, QByteArrayView data);

// The error text for a file that could not be read.
QString readErrorText(const QString& path, const QString& reason);

// Reads the first `size` bytes of path into bytes. A file that cannot be read or
// is shorter gives the error text (`shortReason` names what it is shorter than,
// e.g. "Файл короче шоу") and leaves bytes as it was.
QString readFileStart(const QString& path, qsizetype size, const QString& shortReason,
                      QByteArray* bytes);

}  // namespace tavrelia
