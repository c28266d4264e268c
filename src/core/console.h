#pragma once

#include <array>
#include <cstdint>
#include <functional>

#include "console_lock.h"
#include "console_state.h"
#include "audio/audio_beat.h"
#include "audio/audio_input.h"
#include "connections/connections.h"
#include "control/controls.h"
#include "control/pin_owner.h"
#include "control/named_controls.h"
#include "editing/beam_editor.h"
#include "editing/channel_colors.h"
#include "editing/channel_desk.h"
#include "editing/channel_names.h"
#include "editing/color_file.h"
#include "editing/level_graph.h"
#include "editing/name_block_copy.h"
#include "editing/window_color.h"
#include "link/link_beat.h"
#include "link/link_session.h"
#include "editing/scene_list.h"
#include "output/output_controls.h"
#include "output/frame_watch.h"
#include "output/output_engine.h"
#include "output/output_thread.h"
#include "output/frame_writer.h"
#include "output/usb_link.h"
#include "playback/automats.h"
#include "playback/beat.h"
#include "playback/clock_beat.h"
#include "playback/channel_rates.h"
#include "playback/conveyor.h"
#include "playback/sequencer.h"
#include "playback/static_picture_editor.h"
#include "playback/tap_beat.h"
#include "show/settings_file.h"
#include "show/show_files.h"
#include "settings/settings_store.h"
#include "show/show_folder.h"
#include "timecode/timecode.h"
#include "view3d/hand_scan.h"

namespace tavrelia {

// The root of the controller: owns the show and everything the output tick shares
// with the user interface, and the one lock that guards them (its ConsoleState);
// builds every module with the few parts it works on.
//
// Thread rules
// - The user-interface thread is the only writer of the show image, the undo copy,
//   the scene buffer, the control state, the play state and the recoding table; it
//   writes them with the lock held. It may read them without the lock.
// - The output thread takes the lock for frame assembly only and never writes
//   anything above except the output frame, the output half of the device feed (and
//   its own private state).
// - Anyone else reads the output frame with the lock held.
class Console : public ConsoleState {
public:
    using Mutex = ConsoleLock::Mutex;
    using Lock = ConsoleLock::Guard;

    Console();
    ~Console();
    Console(const Console&) = delete;
    Console& operator=(const Console&) = delete;

    [[nodiscard]] Lock lock() const { return consoleLock.hold(); }
    Mutex& mutex() const { return consoleLock.mutex(); }

    // The data part of a new show: image, scene buffer, output frame; the show stops.
    void clearShowData();

    // Where the program's own files live, the show's file names and its loads and
    // saves, and what Tavy.ini holds (UI thread only).
    ShowFolder folder;
    ShowFiles showFiles{{image, folder, consoleLock, [this] { clearShowData(); }}};
    SettingsFile settings;
    // Tavy.ini at path into the settings, the open dialog's name (the last show) and
    // the conveyor's buttons.
    void readSettingsFile(const QString& path);
    // The colour file into the show folder (made again when removed); the error or
    // empty.
    QString saveColorFile() const;

    // Creates the show folder when missing; at the first start (no settings and no
    // colour file yet) lays in a colour file of the start-up values, as an
    // installation would. False with the reason in error.
    bool installShowFolder(QString* error);

    // The DMX interface; the output thread's frames reach it through the writer.
    UsbLink usbLink;

    // Playing the show, and the operations on its list of scenes. The sequencer hands
    // the wrap to the conveyor, built after it.
    Sequencer sequencer{{image, play, controls, conveyor, consoleLock}};
    SceneList sceneList{{image, undoImage, sceneBuffer, play, consoleLock}};
    // Twenty show files played by hand or one after another at every wrap.
    Conveyor conveyor{{settings, showFiles, image, sequencer, consoleLock}};

    // The 50 ms tick and the thread that runs it from start-up to the close sequence.
    OutputEngine output{{image, play, controls, dmx, deviceFeed, consoleLock}};
    // Says on the user-interface thread when the output frame has changed.
    FrameWatch frameWatch;
    // A timing probe sees each tick's deadline once the tick is done (on the output
    // thread: it must not block or allocate). realTime false keeps the thread at
    // normal priority, to compare.
    using TickProbe = std::function<void(OutputThread::Clock::time_point deadline)>;
    void startOutput(TickProbe probe = {}, bool realTime = true);
    void stopOutput();
    // A live control changed the output: with sending on change on, the output thread
    // sends the new frame now rather than at its next tick.
    void outputChanged() { outputThread_.poke(); }
    const OutputThread& outputThread() const { return outputThread_; }
    bool outputRealTime() const { return outputThread_.realTime(); }
    // The operator's switches of the output.
    OutputControls outputControls{{image, play, controls, dmx, consoleLock}};

    // The channel desk, its rates and names, and the strips' display tables.
    ChannelDesk desk{{image, controls, play, dmx, consoleLock}};
    ChannelRates rates{image, desk, consoleLock};
    ChannelNames names{image, desk, consoleLock};
    ChannelColors colors;
    NameBlockCopy nameBlockCopy{image, names, colors, sceneList, consoleLock};
    // The display tables and the 3D placement in tavrEdit.col.
    ColorFile colorFile{colors, deviceFeed, consoleLock};
    WindowColor windowColor{image, consoleLock};

    // The two editors that draw the show: figures across scenes, a channel's graph.
    BeamEditor beamEditor{{image, play, sceneList, consoleLock}};
    LevelGraph levelGraph{image, consoleLock};

    // The two chase automats, and the working picture of the static-picture editor.
    Automats automats{{image, play, controls, consoleLock}};
    StaticPictureEditor pictureEditor{{image, play, desk, sceneList, undoImage, consoleLock}};
    // The hand-scan pad's pair over the selected channels.
    HandScan handScan{{image, controls, play, consoleLock}};

    // The sources of the beat, and the one beat the scenes may follow (a MIDI clock's
    // until another is chosen).
    ClockBeat clockBeat;
    TapBeat tapBeat;
    LinkSession linkSession;
    LinkBeat linkBeat{linkSession};
    AudioInput audioInput;
    AudioBeat audioBeat{audioInput};
    Beat beat{sequencer, {{QStringLiteral("midi"), &clockBeat}, {QStringLiteral("tap"), &tapBeat},
                          {QStringLiteral("link"), &linkBeat}, {QStringLiteral("audio"), &audioBeat}}};

    // The time of a timecode source and the show's timecode list (beside the show
    // file, loaded with it), chased and recorded.
    Timecode timecode;

    // The operator's live controls: what the window, the keys, the player and the
    // remotes press.
    Controls live{{sequencer, outputControls, desk, automats, conveyor, handScan, usbLink, image,
                   controls, {beat, clockBeat, tapBeat, linkSession, audioInput}, timecode,
                   [this] { outputChanged(); }}};
    // The same controls by the names the remotes use.
    NamedControls named{live, image};
    // This machine's Tavrelia.conf, the PIN of the network connections, and every
    // connection (the interface, OSC, MIDI, the phone remote ...), started by
    // connections.startAll() and stopped with the console at the latest.
    SettingsStore store;
    PinOwner pins{store};
    Connections connections{store};

private:
    FrameWriter frameWriter_{usbLink};
    OutputThread outputThread_;
};

}  // namespace tavrelia
