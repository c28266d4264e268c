#pragma once

// The console in-process as a remote drives it: no widget library, the real output
// thread, the serial backend on a pseudo-terminal and the packets decoded, the event
// loop run by the test while it waits for the wire.
//
// The show: scene s (0-based) of four has 10 * (s + 1) on channel 1; picture 5 puts 99
// on channel 20, the macro picture (16) 77 on channel 21. Scenes jump (mode vykl) and
// last half a minute each, so a playing show stays put during a test.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <thread>

#include "console.h"
#include "dmx_wire.h"
#include "output/serial_driver.h"

namespace tavrelia::wire {

class ConsoleOnTheWire : public ::testing::Test {
protected:
    static constexpr int kScenes = 4;
    using Frame = std::vector<uint8_t>;

    void SetUp() override
    {
        writeShow();
        live.setMode(OutputEngine::Vykl);
        live.setTempo(170);
        console.usbLink.setDriver(std::make_unique<SerialDriver>(pty.slavePath()));
        console.usbLink.InitUsbDevise();
        console.startOutput();
        console.sequencer.start();
        ASSERT_TRUE(wire([](const Frame&) { return true; })) << "no packets";
    }
    void TearDown() override { console.stopOutput(); }

    // Runs the event loop (the sequencer's and the automats' timers, sockets) until a
    // packet that arrived after the call satisfies wanted. False on time-out.
    bool wire(const std::function<bool(const Frame&)>& wanted,
              std::chrono::milliseconds timeout = std::chrono::milliseconds(2000))
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
    bool slotIs(int slot, int level) { return wire([=](const Frame& f) { return f.at(slot) == level; }); }
    // Every packet in the next while carries level in slot.
    bool slotStays(int slot, int level, std::chrono::milliseconds during)
    {
        return !wire([=](const Frame& f) { return f.at(slot) != level; }, during);
    }

    Pty pty;
    PacketReader reader{pty};
    Console console;
    Controls& live = console.live;

private:
    void writeShow()
    {
        auto guard = console.lock();
        ShowImage& image = console.image;
        image.resetToNewShow();
        image[ShowImage::kLastScene] = kScenes - 1;
        for (int s = 0; s < kScenes; ++s)
            image.DataWrite(static_cast<uint8_t>(s), 1, static_cast<uint8_t>(10 * (s + 1)));
        image[ShowImage::pictureFlagAddress(4, 20)] = 1;
        image[ShowImage::pictureLevelAddress(4, 20)] = 99;
        image[ShowImage::pictureFlagAddress(15, 21)] = 1;
        image[ShowImage::pictureLevelAddress(15, 21)] = 77;
    }
};

// A test binary's main(): the settings and show folders in a temporary home, an event
// loop for the console's timers.
inline int runInAHomeOfItsOwn(int argc, char* argv[])
{
    QTemporaryDir home;
    for (const char* variable : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME"})
        qputenv(variable, home.path().toUtf8());
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace tavrelia::wire
