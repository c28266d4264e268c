#pragma once

// One run of the real program: its own home and XDG folders, the serial backend
// pointed at a terminal the test controls, no display.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/prctl.h>

#include <csignal>
#include <functional>
#include <memory>

#include "console.h"
#include "dmx_wire.h"
#include "show/settings_file.h"
#include "show/show_image.h"

namespace tavrelia::wire {

class ProgramRun {
public:
    ProgramRun()
    {
        for (const char* name : {"home", "data", "config", "runtime"})
            QDir().mkpath(dir(name));
        QFile::setPermissions(dir("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ExeOwner);
        device.pointAt(*pty);
        writeConf("[Interface]\nBackend=serial\nSerialDevice=" +
                  QString::fromStdString(device.path().string()).toUtf8() + "\n");
    }

    ~ProgramRun()
    {
        reader.reset();
        process.kill();
        process.waitForFinished(5000);
    }

    QString dir(const char* name) const { return root.filePath(QString::fromLatin1(name)); }

    static void writeFile(const QString& path, const QByteArray& bytes)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    void writeConf(const QByteArray& text) { writeFile(dir("config") + "/Tavrelia/Tavrelia.conf", text); }

    static QByteArray bytesOf(const ShowImage& image)
    {
        return QByteArray(reinterpret_cast<const char*>(image.data()), ShowImage::kImageSize);
    }

    // Three scenes of 10, 20, 30 on channel 1 at this tempo, written to the shows folder
    // of the run's home as name; more may add to the show first. Gives its path.
    QString writeThreeScenes(const char* name, uint8_t tempo, const std::function<void(ShowImage&)>& more = {})
    {
        ShowImage image;
        image.resetToNewShow();
        image.copyIdentHeader();
        for (int scene = 0; scene < 3; ++scene)
            image.DataWrite(static_cast<uint8_t>(scene), 1, static_cast<uint8_t>(10 * (scene + 1)));
        image[ShowImage::kLastScene] = 2;
        image[ShowImage::kSceneTempo] = tempo;
        if (more)
            more(image);
        const QString path = dir("home") + "/shows/" + QString::fromLatin1(name);
        writeFile(path, bytesOf(image));
        return path;
    }

    // A show whose scene 1 holds these levels, at rate 255 so they are out at once,
    // named in Tavy.ini as the last show so the program loads it at start-up.
    void prepareShow(const std::vector<std::pair<int, uint8_t>>& levels)
    {
        ShowImage image;
        image.resetToNewShow();
        image.copyIdentHeader();
        for (auto [channel, level] : levels) {
            image.DataWrite(0, static_cast<uint8_t>(channel), level);
            image[ShowImage::rateAddress(channel)] = 255;
        }
        const QString show = dir("data") + "/Tavrelia/light.tvl";
        writeFile(show, bytesOf(image));
        SettingsFile settings;
        settings.lastFile = show;
        ASSERT_TRUE(settings.write(dir("data") + "/Tavrelia/Tavy.ini").isEmpty());
        // A previous run leaves its colour file beside it.
        Console previous;
        ASSERT_TRUE(previous.colorFile.SaveColorEdit(dir("data") + "/Tavrelia/tavrEdit.col").done());
    }

    void start(const QStringList& arguments = {}, const QString& program = QStringLiteral(TAVRELIA_BINARY))
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", dir("home"));
        env.insert("XDG_DATA_HOME", dir("data"));
        env.insert("XDG_CONFIG_HOME", dir("config"));
        env.insert("XDG_RUNTIME_DIR", dir("runtime"));
        if (withoutDisplay) {
            for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(name);
        } else {
            env.insert("QT_QPA_PLATFORM", "offscreen");
        }
        process.setProcessEnvironment(env);
        // To files: this thread runs no event loop to read a pipe.
        process.setStandardOutputFile(root.filePath("output.txt"));
        process.setStandardErrorFile(root.filePath("errors.txt"));
        // A test that dies takes its program with it: left running, the program would
        // go on opening its device path, which a later test's terminal may take over.
        process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        process.start(program, arguments);
        ASSERT_TRUE(process.waitForStarted(10000));
    }

    // Waits for `count` packets after those already seen; the polling opens the
    // terminal about a second after start-up.
    std::vector<Packet> packets(size_t count, std::chrono::milliseconds timeout = std::chrono::seconds(10))
    {
        reader->waitFor([&](const auto& p) { return p.size() >= count; }, timeout);
        return reader->packets();
    }

    std::string standardOutput() const { return read("output.txt"); }
    std::string standardError() const { return read("errors.txt"); }
    std::string output() const { return standardOutput() + standardError(); }

    // No display and no platform in the environment: a window can only come up on a
    // platform the command line names.
    bool withoutDisplay = false;
    QTemporaryDir root;
    std::unique_ptr<Pty> pty = std::make_unique<Pty>();
    DevicePath device{root.filePath("dmx").toStdString()};
    std::unique_ptr<PacketReader> reader = std::make_unique<PacketReader>(*pty);
    QProcess process;

private:
    std::string read(const char* name) const
    {
        QFile file(root.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
    }
};

}  // namespace tavrelia::wire
