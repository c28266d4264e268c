#include "output/frame_writer.h"

#include <sys/prctl.h>

#include <algorithm>
#include <utility>

#include "output/output_thread.h"

namespace tavrelia {

FrameWriter::FrameWriter(FrameSink& device) : device_(device), thread_([this] { run(); }) {}

FrameWriter::~FrameWriter()
{
    {
        std::lock_guard<std::mutex> g(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool FrameWriter::readyForFrame(bool demo)
{
    std::lock_guard<std::mutex> g(mutex_);
    return !busy_ && device_.readyForFrame(demo);
}

void FrameWriter::writeFrame(DmxFrameView frame)
{
    if (!validFrame(frame))
        return;
    {
        std::lock_guard<std::mutex> g(mutex_);
        std::copy(frame.begin(), frame.end(), pending_.begin());
        pendingSize_ = frame.size();
    }
    wake_.notify_one();
}

void FrameWriter::drain()
{
    std::unique_lock<std::mutex> lock(mutex_);
    idle_.wait(lock, [this] { return pendingSize_ == 0 && !busy_; });
}

void FrameWriter::run()
{
    prctl(PR_SET_NAME, "tavrelia-write", 0UL, 0UL, 0UL);
    // The frame goes out as soon as its turn has come.
    OutputThread::raiseToRealTime();
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pendingSize_ != 0; });
        if (stop_)
            return;
        // Its turn: a frame handed meanwhile replaces this one.
        wake_.wait_until(lock, lastWrite_ + kWireFrame, [this] { return stop_; });
        if (stop_)
            return;
        const size_t size = std::exchange(pendingSize_, 0);
        std::copy_n(pending_.begin(), size, writing_.begin());
        busy_ = true;
        lastWrite_ = Clock::now();
        lock.unlock();
        device_.writeFrame(DmxFrameView(writing_.data(), size));
        lock.lock();
        busy_ = false;
        idle_.notify_all();
    }
}

}  // namespace tavrelia
