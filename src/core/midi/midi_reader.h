#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace tavrelia {

// Reads MIDI devices on a thread of its own, at raised priority where the system
// allows it, so that a clock's pulse is read when it comes whatever the window's
// thread is doing. Each read is stamped on this thread as it is made; the bytes, with
// their stamp, reach the owner's thread through its event loop (bytes) and so does a
// device that is gone (lost).
//
// Thread: add and remove on the owner's thread; remove returns once the reading
// thread no longer looks at the descriptor, so the caller may close it.
class MidiReader : public QObject {
    Q_OBJECT
public:
    using Clock = std::chrono::steady_clock;

    explicit MidiReader(QObject* parent = nullptr);
    ~MidiReader() override;
    MidiReader(const MidiReader&) = delete;
    MidiReader& operator=(const MidiReader&) = delete;

    void add(int fd, const QString& path);
    void remove(int fd);
    // Whether the reading thread got a raised priority (real-time, or a lower nice).
    bool raised() const { return raised_.load(); }

signals:
    void bytes(const QString& path, const QByteArray& bytes, tavrelia::MidiReader::Clock::time_point at);
    void lost(const QString& path);

private:
    // What the reading thread has read or lost, for the owner's thread.
    struct Read {
        QString path;
        QByteArray data;   // empty: the device is lost
        Clock::time_point at;
    };

    void run();
    void wake();
    // The owner's thread: hands on what was read, in order. Called by name through the
    // event queue, so the reads themselves pass under the mutex.
    Q_INVOKABLE void deliver();

    int wakeFd_ = -1;
    std::mutex mutex_;
    std::condition_variable seen_;
    std::map<int, QString> devices_;   // the descriptors to read, by the owner's wish
    uint64_t generation_ = 0;          // of devices_
    uint64_t seenGeneration_ = 0;      // the reading thread's copy
    bool stop_ = false;
    std::vector<Read> reads_;          // not yet delivered
    std::atomic<bool> raised_{false};
    std::thread thread_;
};

}  // namespace tavrelia
