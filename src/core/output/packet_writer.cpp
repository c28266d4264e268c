#include "output/packet_writer.h"

#include <sys/prctl.h>

#include <algorithm>

#include "output/output_thread.h"

namespace tavrelia {

PacketWriter::PacketWriter(PacketSink& device) : device_(device), thread_([this] { run(); }) {}

PacketWriter::~PacketWriter()
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool PacketWriter::readyForPacket(bool demo)
{
    std::lock_guard<std::mutex> g(mutex_);
    return length_ == 0 && device_.readyForPacket(demo);
}

void PacketWriter::writePacket(const uint8_t* data, size_t size)
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        if (length_ != 0 || size == 0 || size > packet_.size())
            return;
        std::copy_n(data, size, packet_.begin());
        length_ = size;
    }
    wake_.notify_one();
}

void PacketWriter::drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return length_ == 0; });
}

void PacketWriter::run()
{
    prctl(PR_SET_NAME, "tavrelia-write", 0UL, 0UL, 0UL);
    // The packet goes out as soon as the tick has built it.
    OutputThread::raiseToRealTime();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || length_ != 0; });
        if (length_ != 0) {
            // The tick hands over nothing while length_ is set: the packet stays put.
            const size_t length = length_;
            lock.unlock();
            device_.writePacket(packet_.data(), length);
            lock.lock();
            length_ = 0;
            idle_.notify_all();
        }
        if (stop_)
            return;
    }
}

}  // namespace tavrelia
