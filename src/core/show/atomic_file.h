#pragma once

#include <QByteArrayView>
#include <QString>

namespace tavrelia {

// Replaces path with data as a whole: written to a temporary file beside it and
// renamed over it, so a failed write leaves the old file as it was.
// Returns an empty string on success, else the file name and the system's reason.
QString writeFileAtomically(const QString& path, QByteArrayView data);

// The error text for a file that could not be read.
QString readErrorText(const QString& path, const QString& reason);

}  // namespace tavrelia
