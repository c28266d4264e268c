#pragma once

// Waiting for the wire while this thread's event loop runs (the sequencer's and the
// automats' timers, a socket notifier), for tests that drive the core in-process.

#include <QCoreApplication>

#include <functional>
#include <thread>

#include "dmx_wire.h"

namespace tavrelia::wire {

// True once a packet that arrived after the call satisfies wanted; false on time-out.
inline bool wireWhileRunning(PacketReader& reader, const std::function<bool(const std::vector<uint8_t>&)>& wanted,
                             std::chrono::milliseconds timeout)
{
    const size_t from = reader.packets().size();
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        const std::vector<Packet> packets = reader.packets();
        for (size_t i = from; i < packets.size(); ++i) {
            if (wanted(packets[i].frame))
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
}

}  // namespace tavrelia::wire
