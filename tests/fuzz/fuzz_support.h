#pragma once

// What the fuzz targets share: a private folder for the files they write (HOME and
// the XDG folders point into it), reading a file back, and the check that stops the
// run on a broken promise so that libFuzzer keeps the input that broke it.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(condition)                                                        \
    do {                                                                               \
        if (!(condition)) {                                                            \
            std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                              \
        }                                                                              \
    } while (false)

namespace tavrelia::fuzz {

class Sandbox {
public:
    Sandbox()
        // A file system in memory where there is one: every input is written out.
        : root_(QDir(QFileInfo(QStringLiteral("/dev/shm")).isDir() ? QStringLiteral("/dev/shm")
                                                             : QDir::tempPath())
                    .filePath(QStringLiteral("tavrelia-fuzz-XXXXXX")))
    {
        if (!root_.isValid())
            std::abort();
        for (const char* name : {"home", "data", "config", "runtime", "work"})
            QDir(root_.path()).mkpath(QString::fromLatin1(name));
        qputenv("HOME", path("home").toUtf8());
        qputenv("XDG_DATA_HOME", path("data").toUtf8());
        qputenv("XDG_CONFIG_HOME", path("config").toUtf8());
        qputenv("XDG_RUNTIME_DIR", path("runtime").toUtf8());
    }

    QString path(const QString& name) const { return root_.filePath(name); }

    // Writes bytes to name (relative to the sandbox) and returns its full path.
    QString write(const QString& name, const QByteArray& bytes) const;

private:
    QTemporaryDir root_;
};

inline QByteArray bytesOf(const uint8_t* data, size_t size)
{
    return QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

inline QString writeFile(const QString& path, const QByteArray& bytes)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
        std::abort();
    return path;
}

inline QString Sandbox::write(const QString& name, const QByteArray& bytes) const
{
    return writeFile(path(name), bytes);
}

inline QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace tavrelia::fuzz
