#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <chrono>
#include <map>
#include <memory>

class QTimer;

namespace tavrelia {

class FolderWatch;
class MidiReader;

// The kernel's raw MIDI devices (/dev/snd/midiC*D*), or the one device named in the
// settings: opened as they appear (their folder watched; looked for every second only
// without inotify, or while one is there that would not open), each dropped alone
// when it goes (an unplugged surface stops nothing else). Bytes are read as they come
// on a reading thread of their own (MidiReader), stamped there, and handed on through
// the event loop with their stamp; writes never wait (what a full device will not take is dropped:
// the next change sends the state again).
//
// Thread: the user-interface thread.
class RawMidiPorts : public QObject {
    Q_OBJECT
public:
    static constexpr int kScanMs = 1000;

    explicit RawMidiPorts(QObject* parent = nullptr);
    ~RawMidiPorts() override;

    // A device path, or empty for every raw MIDI device of the sound cards.
    void setDevice(const QString& path);
    void start();
    void stop();
    void send(const QByteArray& bytes);
    QStringList openPaths() const;

signals:
    void opened(const QString& path);
    void closed(const QString& path);
    // at: when the bytes were read from the device.
    void received(const QString& path, const QByteArray& bytes, std::chrono::steady_clock::time_point at);

private:
    struct Device;
    void scan();
    // False when the device is there but would not open (busy, not yet permitted).
    bool open(const QString& path);
    void drop(const QString& path);
    QStringList candidates() const;

    QString device_;
    QTimer* scanTimer_;
    FolderWatch* watch_;
    MidiReader* reader_;
    bool watching_ = false;
    std::map<QString, std::unique_ptr<Device>> devices_;
};

}  // namespace tavrelia
