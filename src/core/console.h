#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <mutex>

#include "control/controls.h"
#include "editing/beam_editor.h"
#include "editing/channel_colors.h"
#include "editing/channel_desk.h"
#include "editing/channel_names.h"
#include "editing/color_file.h"
#include "editing/level_graph.h"
#include "editing/name_block_copy.h"
#include "editing/window_color.h"
#include "editing/scene_list.h"
#include "output/control_state.h"
#include "output/device_feed.h"
#include "output/output_engine.h"
#include "output/output_thread.h"
#include "output/packet_writer.h"
#include "output/usb_link.h"
#include "playback/automats.h"
#include "playback/channel_rates.h"
#include "playback/conveyor.h"
#include "playback/sequencer.h"
#include "playback/static_picture_editor.h"
#include "show/settings_file.h"
#include "show/show_files.h"
#include "show/show_folder.h"
#include "show/show_image.h"
#include "view3d/hand_scan.h"

namespace tavrelia {

// The root of the controller: owns the show and everything the output tick shares
// with the user interface, and the one lock that guards them.
//
// Thread rules
// - The user-interface thread is the only writer of the show image, the undo copy,
//   the scene buffer, the control state, the play state and the recoding table; it
//   writes them with the lock held. It may read them without the lock.
// - The output thread takes the lock for frame assembly only and never writes
//   anything above except OutputFrame, the output half of the device feed (and its
//   own private state).
// - Anyone else reads OutputFrame with the lock held.
// The mutex is recursive so that an operation made of other operations (New runs
// the clear, the clear runs the tempo update...) can lock at every level.
class Console {
public:
    using Mutex = std::recursive_mutex;
    using Lock = std::unique_lock<Mutex>;

    static constexpr int kFrameSlots = 513;
    static constexpr int kChannels = 256;   // index = channel number, 1..255 used

    Console();
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    [[nodiscard]] Lock lock() const { return Lock(mutex_); }
    Mutex& mutex() const { return mutex_; }

    // Editors' scene address; the output tick keeps its own.
    void RaschetAdr(uint8_t scene) { SceneAddress = ShowImage::sceneAddress(scene); }

    // The data part of a new show: image, scene buffer, output frame, play flag.
    void clearShowData();

    ShowImage image;
    ShowImage::Bytes undoImage{};
    std::array<uint8_t, 256> sceneBuffer{};
    int SceneAddress = ShowImage::sceneAddress(0);

    ControlState controls;

    // Play state: set by the sequencer, read by the tick.
    bool PlayFlag = false;
    std::array<uint8_t, kChannels> FadeSteps{};

    // Output slots 0..512; written only by the output tick (and zeroed by a new show).
    std::array<uint8_t, kFrameSlots> OutputFrame{};

    // Output slot i carries the frame slot RecodeTable[i].
    std::array<uint16_t, kFrameSlots> RecodeTable{};
    void resetRecodeTable();

    // Where the program's own files live, the show's file names and its loads and
    // saves, and what Tavy.ini holds (UI thread only).
    ShowFolder folder;
    ShowFiles showFiles{*this};
    SettingsFile settings;
    // Tavy.ini at path into the settings, the open dialog's name (the last show) and
    // the conveyor's buttons.
    void readSettingsFile(const QString& path);

    // Creates the show folder when missing; at the first start (no settings and no
    // colour file yet) lays in a colour file of the start-up values, as an
    // installation would. False with the reason in error.
    bool installShowFolder(QString* error);

    // The USB DMX interface; the output thread's packets reach it through the writer.
    UsbLink usbLink;

    // Playing the show, and the operations on its list of scenes.
    Sequencer sequencer{*this};
    SceneList sceneList{*this};
    // Twenty show files played by hand or one after another at every wrap.
    Conveyor conveyor{*this};

    // What the 3D view draws; the output tick fills it from every frame.
    DeviceFeed deviceFeed;

    // The 50 ms tick and the thread that runs it from start-up to the close sequence.
    OutputEngine output{*this};
    // A timing probe sees each tick's deadline once the tick is done (on the output
    // thread: it must not block or allocate). realTime false keeps the thread at
    // normal priority, to compare.
    using TickProbe = std::function<void(OutputThread::Clock::time_point deadline)>;
    void startOutput(TickProbe probe = {}, bool realTime = true);
    void stopOutput();
    bool outputRealTime() const { return outputThread_.realTime(); }

    // The channel desk, its rates and names, and the strips' display tables.
    ChannelDesk desk{*this};
    ChannelRates rates{*this};
    ChannelNames names{*this};
    ChannelColors colors;
    NameBlockCopy nameBlockCopy{*this};
    // The display tables and the 3D placement in tavrEdit.col.
    ColorFile colorFile{*this};
    WindowColor windowColor{*this};

    // The two editors that draw the show: figures across scenes, a channel's graph.
    BeamEditor beamEditor{*this};
    LevelGraph levelGraph{*this};

    // The two chase automats, and the working picture of the static-picture editor.
    Automats automats{*this};
    StaticPictureEditor pictureEditor{*this};
    // The hand-scan pad's pair over the selected channels.
    HandScan handScan{*this};

    // The operator's live controls: what the window, the keys, the player and the
    // remotes press.
    Controls live{{sequencer, OutputControls(*this), desk, automats, conveyor, handScan, usbLink, image,
                   controls}};

private:
    mutable Mutex mutex_;
    PacketWriter packetWriter_{usbLink};
    OutputThread outputThread_;
};

}  // namespace tavrelia
